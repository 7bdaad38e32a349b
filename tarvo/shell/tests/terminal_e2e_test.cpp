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

// A dialogue: each step sends its keys (none for "") and waits for its text.
struct Exchange {
    const char* keys;
    const char* shows;
};
void converse(TmuxSession& t, std::initializer_list<Exchange> steps) {
    for (const Exchange& step : steps) {
        if (*step.keys) t.send(step.keys);
        EXPECT_TRUE(t.shows(step.shows)) << "after " << step.keys << ":\n" << t.pane;
    }
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
    converse(t, {{"", "High Precision Ephemerides by Numerical Integration"},
                 {"", "Press a key to continue"},
                 {"Enter", "Select Option"},
                 {"x", "G. Integ. Order: 14  Normal"},
                 {"Escape", "Esc.   Quit"}});
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
    converse(t, {{"", "Press a key to continue"},
                 {"Enter", "Select Option"},
                 {"2", "Input Date"},
                 {"2000,01,15 Enter", "JD:  2451558.5000000"},
                 {"", "EARTH"},
                 {"Space", "JD:  2451561.5000000"},
                 {"Escape", "Key    Action     Status"},
                 {"Escape", "Select Option"}});
    t.send("Escape");
    EXPECT_TRUE(eventually([&] { return fs::exists(root / "USERDATA" / "FINAL.TVF"); }))
        << "no FINAL.TVF after the run";
}

} // namespace
