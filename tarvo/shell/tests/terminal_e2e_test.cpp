// tarvo in a real terminal: tmux runs it, send-keys types, capture-pane reads.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace fs = std::filesystem;
using tarvo::testing::runProgram;

namespace {

using tarvo::testing::kBuiltTree;
using tarvo::testing::kTarvo;

// Polls the pane until `text` shows or about ten seconds pass.
bool paneShows(const std::string& tmux, const std::string& text, std::string& pane) {
    for (int i = 0; i < 100; ++i) {
        pane = runProgram(tmux + " capture-pane -p -t tarvo", "/tmp").output;
        if (pane.find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

TEST(TerminalEndToEnd, TitleScreenMenuAndEscInTmux) {
    if (std::system("command -v tmux >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "tmux is not installed";
    if (!fs::exists(kBuiltTree / "ASC" / "TITLE.121"))
        GTEST_SKIP() << "the data tree " << kBuiltTree << " has not been built";
    const std::string socket = "/tmp/tarvo-tmux-" + std::to_string(::getpid());
    const std::string tmux = "tmux -S '" + socket + "'";
    const std::string marker = "/tmp/tarvo-tmux-status-" + std::to_string(::getpid());
    fs::remove(marker);
    auto started = runProgram(tmux + " new-session -d -s tarvo -x 100 -y 30 \"TARVO12DIR='" +
                                  kBuiltTree.string() + "' '" + kTarvo.string() +
                                  "'; echo \\$? > '" + marker + "'; sleep 5\"",
                              "/tmp", "TERM=xterm-256color");
    if (started.status != 0) GTEST_SKIP() << "tmux cannot run here: " << started.output;
    std::string pane;
    EXPECT_TRUE(paneShows(tmux, "High Precision Ephemerides by Numerical Integration", pane))
        << pane;
    EXPECT_TRUE(paneShows(tmux, "Press a key to continue", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo Enter", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "Select Option", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo x", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "G. Integ. Order: 14  Normal", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo Escape", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "Esc.   Quit", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo Escape", "/tmp");
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
        ended = fs::exists(marker) && fs::file_size(marker) > 0;
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(ended) << "tarvo did not end after Esc in the menu";
    if (ended) {
        EXPECT_EQ(tarvo::testing::readFile(marker).substr(0, 1), "0");
    }
    runProgram(tmux + " kill-server", "/tmp");
    fs::remove(marker);
    fs::remove(socket);
}

TEST(TerminalEndToEnd, AShortRunInTmux) {
    if (std::system("command -v tmux >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "tmux is not installed";
    if (!fs::exists(kBuiltTree / "BIN" / "PL431MND.BIN"))
        GTEST_SKIP() << "the data tree " << kBuiltTree << " has no data set 2";
    char pattern[] = "/tmp/tarvo-tmux-run-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    for (const char* dir : {"BIN", "ASC", "IMG", "HLP"})
        fs::create_directory_symlink(kBuiltTree / dir, root / dir);
    fs::copy(kBuiltTree / "CFG", root / "CFG", fs::copy_options::recursive);
    fs::create_directories(root / "USERDATA");
    const std::string tmux = "tmux -S '" + (root / "socket").string() + "'";
    auto started =
        runProgram(tmux + " new-session -d -s tarvo -x 120 -y 30 \"cd '" +
                       (root / "USERDATA").string() + "' && '" + kTarvo.string() + "'; sleep 5\"",
                   "/tmp", "-u TARVO12DIR TERM=xterm-256color");
    if (started.status != 0) GTEST_SKIP() << "tmux cannot run here: " << started.output;
    std::string pane;
    EXPECT_TRUE(paneShows(tmux, "Press a key to continue", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo Enter", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "Select Option", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo 2", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "Input Date", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo 2000,01,15 Enter", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "JD:  2451558.5000000", pane)) << pane;
    EXPECT_TRUE(paneShows(tmux, "EARTH", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo Space", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "JD:  2451561.5000000", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo Escape", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "Key    Action     Status", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo Escape", "/tmp");
    EXPECT_TRUE(paneShows(tmux, "Select Option", pane)) << pane;
    runProgram(tmux + " send-keys -t tarvo Escape", "/tmp");
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
        ended = fs::exists(root / "USERDATA" / "FINAL.TVF");
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(ended) << "no FINAL.TVF after the run";
    runProgram(tmux + " kill-server", "/tmp");
}

} // namespace
