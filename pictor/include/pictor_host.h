/*
 * pictor_host.h - how the console library hosts pictor's graphics window 0.
 *
 * The console library opens window 0 through PictorHostOpen, shows its
 * keys and clicks in its own input queue through PictorHostPollEvent and, in
 * script mode, places the mouse for pictor's cursor queries with
 * PictorHostSetMouse. Everything runs on the caller's thread.
 */
#ifndef PICTOR_HOST_H
#define PICTOR_HOST_H

#if defined(__GNUC__)
#define PICTOR_HOST_API __attribute__((visibility("default")))
#else
#define PICTOR_HOST_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Event types of PictorHostEvent.type. */
enum {
    PICTOR_EVENT_NONE = 0,
    PICTOR_EVENT_KEY = 1,
    PICTOR_EVENT_LEFT_CLICK = 2,
    PICTOR_EVENT_RIGHT_CLICK = 3
};

/* Key codes of PictorHostEvent.key: printable keys are their Unicode code
 * point; the others are these. */
enum {
    PICTOR_KEY_BACKSPACE = 8,
    PICTOR_KEY_TAB = 9,
    PICTOR_KEY_ENTER = 13,
    PICTOR_KEY_ESC = 27,
    PICTOR_KEY_UP = 0x1001,
    PICTOR_KEY_DOWN = 0x1002,
    PICTOR_KEY_LEFT = 0x1003,
    PICTOR_KEY_RIGHT = 0x1004,
    PICTOR_KEY_PGUP = 0x1005,
    PICTOR_KEY_PGDN = 0x1006,
    PICTOR_KEY_HOME = 0x1007,
    PICTOR_KEY_END = 0x1008,
    PICTOR_KEY_F1 = 0x1101 /* F1..F12 are 0x1101..0x110C */
};

/* Button bits of PictorHostSetMouse. */
enum { PICTOR_BUTTON_LEFT = 1, PICTOR_BUTTON_RIGHT = 2 };

/* Opens (or re-opens) window 0 with a canvas of widthPx x heightPx pixels.
 * onScreen -1: show the canvas in an X11 top-level window when DISPLAY is
 * set; 0: off-screen only. Returns 0 on success, else a pictor error code. */
PICTOR_HOST_API int PictorHostOpen(int widthPx, int heightPx, int onScreen);

/* Closes window 0 when it is open. */
PICTOR_HOST_API void PictorHostClose(void);

struct PictorHostEvent {
    int type; /* PICTOR_EVENT_* */
    int key;  /* key code for PICTOR_EVENT_KEY */
    int x;    /* click position in canvas pixels of window 0 */
    int y;
};

/* Non-blocking: takes one pending key or click of the on-screen windows.
 * Returns 1 when an event was taken, 0 when none is pending. */
PICTOR_HOST_API int PictorHostPollEvent(struct PictorHostEvent* ev);

/* Script clicks: puts the mouse at canvas pixel (x, y) of window 0 with the
 * given PICTOR_BUTTON_* bits; a position outside the canvas means the mouse
 * is not over the drawing. */
PICTOR_HOST_API void PictorHostSetMouse(int x, int y, int buttons);

#ifdef __cplusplus
}
#endif

#endif
