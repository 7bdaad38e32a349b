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

// One tmux server on its own socket with one session "tarvo"; the server is
// killed when the object goes.
class TmuxSession {
  public:
    explicit TmuxSession(const std::string& socket)
        : tmux_("tmux -S '" + socket + "'"), socket_(socket) {}
    ~TmuxSession() {
        runProgram(tmux_ + " kill-server", "/tmp");
        fs::remove(socket_);
    }
    // Starts `command` in a pane of columns x rows; false when tmux cannot run here.
    bool start(const std::string& command, int columns, const std::string& environment,
               std::string& output) {
        auto r = runProgram(tmux_ + " new-session -d -s tarvo -x " + std::to_string(columns) +
                                " -y 30 \"" + command + "\"",
                            "/tmp", environment);
        output = r.output;
        return r.status == 0;
    }
    void send(const std::string& keys) {
        runProgram(tmux_ + " send-keys -t tarvo " + keys, "/tmp");
    }
    // Polls the pane until `text` shows or about ten seconds pass.
    bool shows(const std::string& text) {
        for (int i = 0; i < 100; ++i) {
            pane = runProgram(tmux_ + " capture-pane -p -t tarvo", "/tmp").output;
            if (pane.find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    std::string pane; // the last capture

  private:
    std::string tmux_, socket_;
};

// Waits about ten seconds for `done`.
template <class Condition> bool eventually(Condition done) {
    for (int i = 0; i < 100; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

bool tmuxMissing() {
    return std::system("command -v tmux >/dev/null 2>&1") != 0;
}

TEST(TerminalEndToEnd, TitleScreenMenuAndEscInTmux) {
    if (tmuxMissing()) GTEST_SKIP() << "tmux is not installed";
    if (!fs::exists(kBuiltTree / "ASC" / "TITLE.121"))
        GTEST_SKIP() << "the data tree " << kBuiltTree << " has not been built";
    const std::string marker = "/tmp/tarvo-tmux-status-" + std::to_string(::getpid());
    fs::remove(marker);
    TmuxSession t("/tmp/tarvo-tmux-" + std::to_string(::getpid()));
    std::string output;
    if (!t.start("TARVO12DIR='" + kBuiltTree.string() + "' '" + kTarvo.string() +
                     "'; echo \\$? > '" + marker + "'; sleep 5",
                 100, "TERM=xterm-256color", output))
        GTEST_SKIP() << "tmux cannot run here: " << output;
    EXPECT_TRUE(t.shows("High Precision Ephemerides by Numerical Integration")) << t.pane;
    EXPECT_TRUE(t.shows("Press a key to continue")) << t.pane;
    t.send("Enter");
    EXPECT_TRUE(t.shows("Select Option")) << t.pane;
    t.send("x");
    EXPECT_TRUE(t.shows("G. Integ. Order: 14  Normal")) << t.pane;
    t.send("Escape");
    EXPECT_TRUE(t.shows("Esc.   Quit")) << t.pane;
    t.send("Escape");
    const bool ended = eventually([&] { return fs::exists(marker) && fs::file_size(marker) > 0; });
    EXPECT_TRUE(ended) << "tarvo did not end after Esc in the menu";
    if (ended) {
        EXPECT_EQ(tarvo::testing::readFile(marker).substr(0, 1), "0");
    }
    fs::remove(marker);
}

TEST(TerminalEndToEnd, AShortRunInTmux) {
    if (tmuxMissing()) GTEST_SKIP() << "tmux is not installed";
    if (!fs::exists(kBuiltTree / "BIN" / "PL431MND.BIN"))
        GTEST_SKIP() << "the data tree " << kBuiltTree << " has no data set 2";
    char pattern[] = "/tmp/tarvo-tmux-run-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    for (const char* dir : {"BIN", "ASC", "IMG", "HLP"})
        fs::create_directory_symlink(kBuiltTree / dir, root / dir);
    fs::copy(kBuiltTree / "CFG", root / "CFG", fs::copy_options::recursive);
    fs::create_directories(root / "USERDATA");
    TmuxSession t((root / "socket").string());
    std::string output;
    if (!t.start("cd '" + (root / "USERDATA").string() + "' && '" + kTarvo.string() + "'; sleep 5",
                 120, "-u TARVO12DIR TERM=xterm-256color", output))
        GTEST_SKIP() << "tmux cannot run here: " << output;
    EXPECT_TRUE(t.shows("Press a key to continue")) << t.pane;
    t.send("Enter");
    EXPECT_TRUE(t.shows("Select Option")) << t.pane;
    t.send("2");
    EXPECT_TRUE(t.shows("Input Date")) << t.pane;
    t.send("2000,01,15 Enter");
    EXPECT_TRUE(t.shows("JD:  2451558.5000000")) << t.pane;
    EXPECT_TRUE(t.shows("EARTH")) << t.pane;
    t.send("Space");
    EXPECT_TRUE(t.shows("JD:  2451561.5000000")) << t.pane;
    t.send("Escape");
    EXPECT_TRUE(t.shows("Key    Action     Status")) << t.pane;
    t.send("Escape");
    EXPECT_TRUE(t.shows("Select Option")) << t.pane;
    t.send("Escape");
    EXPECT_TRUE(eventually([&] { return fs::exists(root / "USERDATA" / "FINAL.TVF"); }))
        << "no FINAL.TVF after the run";
}

} // namespace
