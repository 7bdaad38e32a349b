// Key codes and input events of the console.
//
// A key is a Unicode code point (printable characters, and the control
// codes Esc 27, Enter 13, Tab 9, Backspace 8) or one of the named keys
// below. Named keys lie above the Unicode range, so no typed character
// can ever be mistaken for one of them.
#pragma once

namespace console {

namespace Key {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Esc = 27;
inline constexpr int Space = 32;

inline constexpr int NamedBase = 0x110000; // first code above Unicode
inline constexpr int Up = NamedBase + 1;
inline constexpr int Down = NamedBase + 2;
inline constexpr int Left = NamedBase + 3;
inline constexpr int Right = NamedBase + 4;
inline constexpr int PgUp = NamedBase + 5;
inline constexpr int PgDn = NamedBase + 6;
inline constexpr int Home = NamedBase + 7;
inline constexpr int End = NamedBase + 8;
inline constexpr int Insert = NamedBase + 9;
inline constexpr int Delete = NamedBase + 10;
inline constexpr int F1 = NamedBase + 0x101; // F1 .. F12 are consecutive
inline constexpr int F12 = F1 + 11;
inline constexpr int Click = NamedBase + 0x201;      // left click on cell (col, row)
inline constexpr int RightClick = NamedBase + 0x202; // right click on cell (col, row)
inline constexpr int GfxClick = NamedBase + 0x203;   // left click in the graphics window at (x, y)
inline constexpr int GfxRightClick = NamedBase + 0x204; // right click in the graphics window
} // namespace Key

// One input event. For console clicks col and row give the 1-based
// character cell; for graphics-window clicks x and y give the pixel
// (0-based, from the window's top-left corner). Keys leave them 0.
struct Event {
    int key = 0;
    int col = 0, row = 0;
    int x = 0, y = 0;
};

inline constexpr bool isFunctionKey(int key) {
    return key >= Key::F1 && key <= Key::F12;
}
inline constexpr bool isClick(int key) {
    return key == Key::Click || key == Key::RightClick || key == Key::GfxClick ||
           key == Key::GfxRightClick;
}
// True for a key that stands for a character (including Space), false for
// control codes, named keys and clicks.
inline constexpr bool isCharacterKey(int key) {
    return key >= 32 && key < Key::NamedBase && key != 127;
}

} // namespace console
