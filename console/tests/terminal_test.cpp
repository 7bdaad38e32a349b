// The terminal backend in a real terminal: the demo program runs inside a
// private tmux server; keys go in with send-keys and the screen comes back
// with capture-pane. Oracles: tmux's own view of the pane (text, colours,
// title, alternate screen) and the ANSI colour numbering.
#include "terminal_colors.h"

#include "console/console.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(TerminalColours, ConsoleColoursMapToTheirAnsiNumbers) {
    using namespace console;
    // ANSI: 0 black 1 red 2 green 3 yellow 4 blue 5 magenta 6 cyan 7 white, +8 bright.
    EXPECT_EQ(ansiFromConsoleColor(Color::Black), 0);
    EXPECT_EQ(ansiFromConsoleColor(Color::Blue), 4);
    EXPECT_EQ(ansiFromConsoleColor(Color::Green), 2);
    EXPECT_EQ(ansiFromConsoleColor(Color::Cyan), 6);
    EXPECT_EQ(ansiFromConsoleColor(Color::Red), 1);
    EXPECT_EQ(ansiFromConsoleColor(Color::Magenta), 5);
    EXPECT_EQ(ansiFromConsoleColor(Color::Brown), 3);
    EXPECT_EQ(ansiFromConsoleColor(Color::LightGrey), 7);
    EXPECT_EQ(ansiFromConsoleColor(Color::DarkGrey), 8);
    EXPECT_EQ(ansiFromConsoleColor(Color::LightBlue), 12);
    EXPECT_EQ(ansiFromConsoleColor(Color::LightRed), 9);
    EXPECT_EQ(ansiFromConsoleColor(Color::Yellow), 11);
    EXPECT_EQ(ansiFromConsoleColor(Color::White), 15);
    bool seen[16] = {};
    for (int c = 0; c < 16; ++c) seen[ansiFromConsoleColor(c)] = true;
    for (bool s : seen) EXPECT_TRUE(s); // a permutation: no two colours alike
}

// One tmux server of its own, so nothing of the user's tmux is touched.
class TmuxTerminal : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string demo = std::string(TARVO_BIN_DIR) + "/console_demo";
        if (access(demo.c_str(), X_OK) != 0) GTEST_SKIP() << "demo program not built: " << demo;
        if (std::system("command -v tmux > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "tmux is not installed: the terminal backend is not tested here";
        static int sessions = 0; // a fresh server per test: a killed one may linger a moment
        const std::string name =
            "console-test-" + std::to_string(getpid()) + "-" + std::to_string(++sessions);
        // The wrapper records the demo's pid and exit status in files: more
        // dependable than tmux's bookkeeping of dead panes.
        const std::string base = ::testing::TempDir() + name;
        socketPath_ = base + ".socket";
        wrapperPath_ = base + ".sh";
        pidFile_ = base + ".pid";
        statusFile_ = base + ".status";
        std::remove(pidFile_.c_str());
        std::remove(statusFile_.c_str());
        if (FILE* f = std::fopen(wrapperPath_.c_str(), "w")) {
            std::fprintf(f, "sh -c 'echo $$ > %s; exec env LANG=C.UTF-8 %s %s'\necho $? > %s\n",
                         pidFile_.c_str(), extraEnvironment().c_str(), demo.c_str(),
                         statusFile_.c_str());
            std::fclose(f);
        }
        const int rc = tmux("-f /dev/null new-session -d -x 120 -y 40 '/bin/sh " + wrapperPath_ +
                            "' \\; set-option -g remain-on-exit on");
        if (rc != 0) GTEST_SKIP() << "tmux cannot start a session here (status " << rc << ")";
        started_ = true;
    }
    void TearDown() override {
        if (started_) tmux("kill-server");
        for (const std::string& file : {socketPath_, wrapperPath_, pidFile_, statusFile_})
            std::remove(file.c_str());
    }
    // Environment settings for the demo beyond the UTF-8 locale.
    virtual std::string extraEnvironment() const { return ""; }

    int tmux(const std::string& args) {
        const std::string cmd = "tmux -S " + socketPath_ + " " + args + " > /dev/null 2>&1";
        return std::system(cmd.c_str());
    }
    std::string tmuxOutput(const std::string& args) {
        const std::string cmd = "tmux -S " + socketPath_ + " " + args + " 2>/dev/null";
        std::string out;
        if (FILE* p = popen(cmd.c_str(), "r")) {
            char buf[4096];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
            pclose(p);
        }
        return out;
    }
    std::string screen() { return tmuxOutput("capture-pane -p"); }
    // With the lines scrolled off: tmux pushes a dead pane's text there.
    std::string screenAndHistory() { return tmuxOutput("capture-pane -p -S -"); }
    std::string format(const std::string& f) {
        std::string s = tmuxOutput("display-message -p '" + f + "'");
        while (!s.empty() && s.back() == '\n') s.pop_back();
        return s;
    }
    // Waits (up to 10 s: the program starts and answers in a few ms) until
    // the screen shows text.
    bool waitFor(const std::string& text) {
        for (int i = 0; i < 200; ++i) {
            if (screen().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }
    bool waitForFormat(const std::string& f, const std::string& value) {
        for (int i = 0; i < 200; ++i) {
            if (format(f) == value) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }
    void keys(const std::string& k) { tmux("send-keys " + k); }

    // The first line of a file the wrapper writes, once it is there.
    std::string waitForFile(const std::string& path) {
        for (int i = 0; i < 200; ++i) {
            std::string line;
            if (FILE* f = std::fopen(path.c_str(), "r")) {
                char buf[64] = {};
                if (std::fgets(buf, sizeof buf, f)) line = buf;
                std::fclose(f);
            }
            if (!line.empty() && line.back() == '\n') {
                line.pop_back();
                return line;
            }
            std::this_thread::sleep_for(50ms);
        }
        return "";
    }

    std::string socketPath_, wrapperPath_, pidFile_, statusFile_;
    bool started_ = false;
};

TEST_F(TmuxTerminal, ShowsTheGridWithGlyphsColoursAndTitle) {
    ASSERT_TRUE(waitFor("Console demo")) << screen();
    const std::string s = screen();
    EXPECT_NE(s.find("Sky 21\xC2\xB0 \xE2\x96\x93\xE2\x96\x93\xE2\x96\x93"), std::string::npos)
        << s;
    EXPECT_NE(s.find("Size 81x27 terminal"), std::string::npos) << s;
    EXPECT_EQ(format("#{pane_title}"), "Console demo");
    EXPECT_EQ(format("#{alternate_on}"), "1");
    // Yellow on blue: bright yellow (93) on blue (44).
    const std::string coloured = tmuxOutput("capture-pane -p -e -S 1 -E 1");
    EXPECT_NE(coloured.find("93"), std::string::npos) << coloured;
    EXPECT_NE(coloured.find("44"), std::string::npos) << coloured;
}

TEST_F(TmuxTerminal, KeysLinesAndClicksArrive) {
    ASSERT_TRUE(waitFor("Choose 1-5"));
    keys("1");
    ASSERT_TRUE(waitFor("Your line:"));
    keys("'hi there' Enter");
    ASSERT_TRUE(waitFor("Line: [hi there]")) << screen();
    keys("2");
    ASSERT_TRUE(waitFor("Press keys"));
    keys("Up");
    EXPECT_TRUE(waitFor("Got key Up")) << screen();
    keys("F5");
    EXPECT_TRUE(waitFor("Got key F5")) << screen();
    keys("PPage");
    EXPECT_TRUE(waitFor("Got key PgUp")) << screen();
    // An xterm mouse press of button 1 on cell (7, 9): ESC [ M, then button,
    // column and row each + 32 (cells counted from 1).
    keys("-H 1b 5b 4d 20 28 2a");
    EXPECT_TRUE(waitFor("Got click col 8 row 10")) << screen();
    keys("Escape"); // a lone Esc, told from the sequences above by its delay
    EXPECT_TRUE(waitFor("Keys done")) << screen();
}

TEST_F(TmuxTerminal, SmallTerminalAsksForMoreRoomAndWaits) {
    ASSERT_TRUE(waitFor("Choose 1-5"));
    tmux("resize-window -x 60 -y 20");
    ASSERT_TRUE(waitFor("Please enlarge the terminal to at least 81 x 27")) << screen();
    // Light grey on black, not the black on black of an empty cell.
    const std::string line = tmuxOutput("capture-pane -p -e -S 0 -E 0");
    EXPECT_NE(line.find("37m"), std::string::npos) << line;
    keys("1"); // not taken while the grid cannot be shown
    tmux("resize-window -x 120 -y 40");
    ASSERT_TRUE(waitFor("Choose 1-5")) << screen();
    EXPECT_EQ(screen().find("Your line:"), std::string::npos);
    keys("3");
    EXPECT_TRUE(waitFor("Demo box")) << screen();
}

TEST_F(TmuxTerminal, AWiderGridAndBackLeavesNothingBehind) {
    ASSERT_TRUE(waitFor("Choose 1-5"));
    keys("w");
    ASSERT_TRUE(waitFor("Wide screen 108 columns")) << screen();
    EXPECT_NE(screen().find("right edge"), std::string::npos);
    keys("x");
    ASSERT_TRUE(waitFor("Choose 1-5")) << screen();
    EXPECT_EQ(screen().find("right edge"), std::string::npos) << screen();
}

TEST_F(TmuxTerminal, EscEndsTheProgramAndRestoresTheTerminal) {
    ASSERT_TRUE(waitFor("Choose 1-5"));
    keys("Escape");
    EXPECT_EQ(waitForFile(statusFile_), "0");
    EXPECT_EQ(format("#{alternate_on}"), "0");
}

TEST_F(TmuxTerminal, ACrashStillRestoresTheTerminal) {
    ASSERT_TRUE(waitFor("Choose 1-5"));
    const std::string pid = waitForFile(pidFile_);
    ASSERT_FALSE(pid.empty());
    ASSERT_EQ(kill(std::stoi(pid), SIGSEGV), 0);
    // Dies by the signal (status 139), or exits with a sanitizer's report.
    const std::string status = waitForFile(statusFile_);
    EXPECT_FALSE(status.empty() || status == "0") << status;
    EXPECT_EQ(format("#{alternate_on}"), "0");
}

// Terminals the console cannot drive: a clear message and status 2.
class UnknownTerminal : public TmuxTerminal {
    // ncurses keeps a little memory of the failed start-up until the exit,
    // which the leak checker of sanitizer builds would report.
    std::string extraEnvironment() const override {
        return "ASAN_OPTIONS=detect_leaks=0 TERM=no-such-terminal";
    }
};

TEST_F(UnknownTerminal, IsRefusedWithAMessage) {
    EXPECT_EQ(waitForFile(statusFile_), "2");
    EXPECT_NE(screenAndHistory().find("cannot drive this terminal (TERM=no-such-terminal)"),
              std::string::npos)
        << screenAndHistory();
}

class DumbTerminal : public TmuxTerminal {
    std::string extraEnvironment() const override { return "TERM=dumb"; }
};

TEST_F(DumbTerminal, WithoutCursorAddressingIsRefused) {
    EXPECT_EQ(waitForFile(statusFile_), "2");
    EXPECT_NE(screenAndHistory().find("cannot place the cursor (TERM=dumb)"), std::string::npos)
        << screenAndHistory();
}

// A terminal description with 8 colours and 64 pairs: bright foregrounds
// become bold, every pair still fits.
class EightColourTerminal : public TmuxTerminal {
    std::string extraEnvironment() const override { return "TERM=xterm"; }
};

TEST_F(EightColourTerminal, BrightColoursAreBoldAndPairsFit) {
    ASSERT_TRUE(waitFor("Console demo")) << screen();
    const std::string title = tmuxOutput("capture-pane -p -e -S 1 -E 1");
    EXPECT_NE(title.find("\033[1m"), std::string::npos) << title; // bright yellow: bold ...
    EXPECT_NE(title.find("33m"), std::string::npos) << title;     // ... yellow
    EXPECT_NE(title.find("44m"), std::string::npos) << title;     // on blue
    keys("1");
    ASSERT_TRUE(waitFor("Your line:"));
    keys("ok Enter");
    EXPECT_TRUE(waitFor("Line: [ok]")) << screen();
}

} // namespace
