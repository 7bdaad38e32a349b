// The console's side of the graphics window, against a stand-in for the
// graphics library's host calls defined here (they take the place of the
// weak references). Oracle: the host interface of pictor_host.h — the
// sizes, flags and key codes it documents.
#include "gfx_host.h"
#include "pictor_host.h"
#include "script_session.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace {

struct FakeHost {
    int openResult = 0;
    std::vector<std::vector<int>> opens;
    std::vector<std::vector<int>> mouse;
    std::deque<PictorHostEvent> events;
};
FakeHost host;

} // namespace

extern "C" {
int PictorHostOpen(int widthPx, int heightPx, int onScreen) {
    host.opens.push_back({widthPx, heightPx, onScreen});
    return host.openResult;
}
void PictorHostClose(void) {}
int PictorHostPollEvent(struct PictorHostEvent* ev) {
    if (host.events.empty()) return 0;
    *ev = host.events.front();
    host.events.pop_front();
    return 1;
}
void PictorHostSetMouse(int x, int y, int buttons) {
    host.mouse.push_back({x, y, buttons});
}
}

namespace {

using namespace console;

class GfxHost : public console_test::ScriptSession {
  protected:
    void SetUp() override { host = FakeHost{}; }
};

TEST_F(GfxHost, OpensAnOffScreenWindowOfTheCellsSizeInScripts) {
    start("");
    EXPECT_EQ(ConsoleGfx(1, 1, 80, 25), -1);
    ASSERT_EQ(host.opens.size(), 1u);
    EXPECT_EQ(host.opens[0], (std::vector<int>{80 * 8, 25 * 16, 0}));
}

TEST_F(GfxHost, AFailedOpenIsReported) {
    start("");
    host.openResult = 999000090;
    EXPECT_EQ(ConsoleGfx(1, 1, 10, 10), 0);
}

TEST_F(GfxHost, ScriptClicksPlaceTheMouseAndReleaseItAtTheNextRead) {
    start("gclick 30 40\ngrclick 5 6\nkey a\n");
    EXPECT_EQ(readKey().key, Key::GfxClick);
    ASSERT_EQ(host.mouse.size(), 1u);
    EXPECT_EQ(host.mouse[0], (std::vector<int>{30, 40, PICTOR_BUTTON_LEFT}));
    EXPECT_EQ(readKey().key, Key::GfxRightClick);
    ASSERT_EQ(host.mouse.size(), 3u);
    EXPECT_EQ(host.mouse[1], (std::vector<int>{30, 40, 0}));
    EXPECT_EQ(host.mouse[2], (std::vector<int>{5, 6, PICTOR_BUTTON_RIGHT}));
    EXPECT_EQ(readKey().key, 'a');
    ASSERT_EQ(host.mouse.size(), 4u);
    EXPECT_EQ(host.mouse[3], (std::vector<int>{5, 6, 0}));
}

TEST_F(GfxHost, WindowEventsAreTranslatedToConsoleEvents) {
    start("");
    EXPECT_FALSE(pollGfxEvent().has_value()); // nothing is looked at before the window opens
    ASSERT_EQ(ConsoleGfx(1, 1, 10, 10), -1);
    host.events = {{PICTOR_EVENT_KEY, 'q', 0, 0},
                   {PICTOR_EVENT_KEY, PICTOR_KEY_PGDN, 0, 0},
                   {PICTOR_EVENT_NONE, 0, 0, 0},
                   {PICTOR_EVENT_LEFT_CLICK, 0, 12, 34},
                   {PICTOR_EVENT_RIGHT_CLICK, 0, 56, 78}};
    auto e = pollGfxEvent();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->key, 'q');
    e = pollGfxEvent();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->key, Key::PgDn);
    e = pollGfxEvent(); // the empty event is skipped
    ASSERT_TRUE(e);
    EXPECT_EQ(e->key, Key::GfxClick);
    EXPECT_EQ(e->x, 12);
    EXPECT_EQ(e->y, 34);
    e = pollGfxEvent();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->key, Key::GfxRightClick);
    EXPECT_EQ(e->x, 56);
    EXPECT_FALSE(pollGfxEvent().has_value());
}

TEST(GfxKeys, NamedKeysOfTheWindowBecomeConsoleKeys) {
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_UP), Key::Up);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_DOWN), Key::Down);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_LEFT), Key::Left);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_RIGHT), Key::Right);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_PGUP), Key::PgUp);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_HOME), Key::Home);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_END), Key::End);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_F1), Key::F1);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_F1 + 11), Key::F12);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_ESC), Key::Esc);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_ENTER), Key::Enter);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_BACKSPACE), Key::Backspace);
    EXPECT_EQ(keyFromGfxKey(PICTOR_KEY_TAB), Key::Tab);
    EXPECT_EQ(keyFromGfxKey(0xB0), 0xB0);
}

} // namespace
