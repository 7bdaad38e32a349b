// The on-screen path under a private Xvfb server: the window must show
// the canvas, and keys and clicks sent to it must come back through
// PictorHostPollEvent. Oracle: a screenshot of the X display taken by xwd
// and decoded here from the XWD file format.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "test_window.h"

extern char** environ;

using namespace pictor_test;

namespace {

void pause(int ms) {
    timespec t{0, ms * 1000000L};
    nanosleep(&t, nullptr);
}

// A private X server on a free display number.
class PrivateXServer {
  public:
    // Tries display numbers from 90 up. Xvfb takes a number by creating
    // its lock file, which names the owner's process id; a server that
    // finds the number taken ends, and the next number is tried. So test
    // runs started together never share a server.
    bool start(std::string& why) {
        for (int n = 90; n < 130; ++n) {
            if (startOn(n)) return true;
        }
        return (why = "Xvfb could not take any display number from 90 to 129", false);
    }

    bool startOn(int n) {
        char display[16];
        std::snprintf(display, sizeof display, ":%d", n);
        std::vector<std::string> args{"Xvfb",       display,     "-screen", "0",
                                      "640x480x24", "-nolisten", "tcp",     "-noreset"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = -1;
            return false;
        }
        name_ = display;
        for (int tries = 0; tries < 200; ++tries) { // up to 10 s
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1; // the number was taken
                return false;
            }
            if (ownsDisplay()) {
                if (Display* probe = XOpenDisplay(display)) {
                    XCloseDisplay(probe);
                    return true;
                }
            }
            pause(50);
        }
        stop();
        return false;
    }

    ~PrivateXServer() { stop(); }
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    bool ownsDisplay() const {
        std::ifstream lock("/tmp/.X" + name_.substr(1) + "-lock");
        long owner = 0;
        return (lock >> owner) && owner == pid_;
    }
    const std::string& name() const { return name_; }

  private:
    pid_t pid_ = -1;
    std::string name_;
};

// The root window of an XWD dump as 0x00RRGGBB words.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

bool decodeXwd(const std::vector<uint8_t>& b, Screenshot& shot, std::string& why) {
    if (b.size() < 100) return (why = "short XWD file", false);
    const uint32_t headerSize = be32(b, 0), version = be32(b, 4), format = be32(b, 8);
    const uint32_t width = be32(b, 16), height = be32(b, 20), byteOrder = be32(b, 28);
    const uint32_t bitsPerPixel = be32(b, 44), bytesPerLine = be32(b, 48);
    const uint32_t redMask = be32(b, 56), greenMask = be32(b, 60), blueMask = be32(b, 64);
    const uint32_t colours = be32(b, 76);
    if (version != 7 || format != 2 /* ZPixmap */ || bitsPerPixel != 32)
        return (why = "unexpected XWD layout", false);
    const size_t data = headerSize + size_t{colours} * 12;
    if (data + size_t{bytesPerLine} * height > b.size()) return (why = "XWD file too short", false);
    auto shift = [](uint32_t m) {
        int s = 0;
        while (m && !(m & 1)) m >>= 1, ++s;
        return s;
    };
    shot.width = static_cast<int>(width);
    shot.height = static_cast<int>(height);
    shot.pixels.resize(size_t{width} * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const size_t at = data + size_t{y} * bytesPerLine + 4 * x;
            const uint32_t v =
                byteOrder == 0
                    ? (b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24))
                    : be32(b, at);
            const uint32_t r = (v & redMask) >> shift(redMask),
                           g = (v & greenMask) >> shift(greenMask),
                           bl = (v & blueMask) >> shift(blueMask);
            shot.pixels[size_t{y} * width + x] = (r << 16) | (g << 8) | bl;
        }
    return true;
}

bool screenshot(const std::string& display, Screenshot& shot, std::string& why) {
    const std::string file = "/tmp/pictor-xwd-" + std::to_string(getpid()) + ".xwd";
    const std::string command =
        "xwd -root -silent -display " + display + " -out " + file + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) return (why = "xwd failed", false);
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::remove(file.c_str());
    return decodeXwd(bytes, shot, why);
}

TEST(X11Display, WindowShowsTheCanvasAndReturnsInput) {
    if (std::system("command -v Xvfb >/dev/null 2>&1 && command -v xwd >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb or xwd is not installed";
    PrivateXServer server;
    std::string why;
    if (!server.start(why)) GTEST_SKIP() << "no private X server: " << why;
    setenv("DISPLAY", server.name().c_str(), 1);

    ASSERT_EQ(PictorHostOpen(200, 100, -1), 0);
    ASSERT_NE(hGfx(), 0) << "the window should be on the screen of " << server.name();
    ASSERT_EQ(GfxOption(1, 0), 0);
    ASSERT_EQ(GfxOption(6, 0), 0);
    ASSERT_EQ(GfxWindow(2), 0); // draw with updates suspended, then reveal
    ASSERT_EQ(Brush(kBlue, 0, 0), 0);
    ASSERT_EQ(GfxCLS(), 0);
    ASSERT_EQ(Brush(kRed, 0, 0), 0);
    ASSERT_EQ(DrawFrom(20, 10), 0);
    ASSERT_EQ(DrawArea(50, 30), 0);
    ASSERT_EQ(GfxWindow(3), 0);
    ASSERT_EQ(Pen(kGreen, 0, 0), 0); // auto-update on: repainted at once
    ASSERT_EQ(DrawLine(100, 60, 180, 60), 0);
    PictorHostEvent ev{};
    PictorHostPollEvent(&ev); // takes the expose events

    Screenshot shot;
    ASSERT_TRUE(screenshot(server.name(), shot, why)) << why;
    ASSERT_GE(shot.width, 200);
    // Without a window manager the window sits at the root's top-left corner.
    EXPECT_EQ(shot.at(30, 20), 0xFF0000u); // red rectangle
    EXPECT_EQ(shot.at(69, 39), 0xFF0000u);
    EXPECT_EQ(shot.at(70, 40), 0x0000FFu);  // blue background just outside
    EXPECT_EQ(shot.at(150, 60), 0x00FF00u); // the line drawn with updates on
    EXPECT_EQ(shot.at(199, 99), 0x0000FFu);
    EXPECT_NE(shot.at(300, 300), 0x0000FFu); // outside the window: the root

    // Keys and clicks sent to the window come back through the host queue.
    Display* sender = XOpenDisplay(server.name().c_str());
    ASSERT_NE(sender, nullptr);
    const Window target = static_cast<Window>(hGfx());
    XEvent key{};
    key.xkey.type = KeyPress;
    key.xkey.display = sender;
    key.xkey.window = target;
    key.xkey.root = DefaultRootWindow(sender);
    key.xkey.keycode = XKeysymToKeycode(sender, XK_Escape);
    key.xkey.same_screen = True;
    XSendEvent(sender, target, True, KeyPressMask, &key);
    XEvent click{};
    click.xbutton.type = ButtonPress;
    click.xbutton.display = sender;
    click.xbutton.window = target;
    click.xbutton.root = DefaultRootWindow(sender);
    click.xbutton.button = Button3;
    click.xbutton.x = 42;
    click.xbutton.y = 17;
    click.xbutton.same_screen = True;
    XSendEvent(sender, target, True, ButtonPressMask, &click);
    XFlush(sender);
    std::vector<PictorHostEvent> got;
    for (int tries = 0; tries < 200 && got.size() < 2; ++tries) {
        while (PictorHostPollEvent(&ev)) got.push_back(ev);
        if (got.size() < 2) pause(10);
    }
    XCloseDisplay(sender);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].type, PICTOR_EVENT_KEY);
    EXPECT_EQ(got[0].key, PICTOR_KEY_ESC);
    EXPECT_EQ(got[1].type, PICTOR_EVENT_RIGHT_CLICK);
    EXPECT_EQ(got[1].x, 42);
    EXPECT_EQ(got[1].y, 17);
    EXPECT_EQ(MouseOverX(), 42); // the click also places the mouse
    EXPECT_EQ(MouseOverY(), 17);

    // Hidden, the window no longer covers the root.
    ASSERT_EQ(GfxWindow(0), 0);
    PictorHostPollEvent(&ev);
    ASSERT_TRUE(screenshot(server.name(), shot, why)) << why;
    EXPECT_NE(shot.at(30, 20), 0xFF0000u);
    PictorHostClose();
    EXPECT_EQ(GfxIsOpen(0), 0);
    resetLibrary();
}

} // namespace
