// The table of graphics windows (numbers 0..255) and the current window.
#pragma once
#include "window_record.h"

namespace pictor {

constexpr int kMaxWindowNumber = 255;

// Number of entries in the table: 1 at load, grown when a larger number opens.
int windowTableSize();
void growWindowTable(int number);

// The entry of a number within the table, or nullptr.
WindowRecord* windowEntry(int number);

// The entry of an open window, or nullptr (the caller answers 999000090).
WindowRecord* openWindow(int number);

int& currentWindowNumber();

// Releases everything of the window and returns its entry to free.
void closeWindowRecord(WindowRecord& w);

// Finds the window a screen window belongs to.
WindowRecord* windowOfScreen(const ScreenWindow* screen);

} // namespace pictor
