/*
 * pictor.h - exported operations of the graphics-window library pictor.
 *
 * Every operation X acts on the current window; its twin XEx takes the
 * window number (0..255) first and is otherwise identical. Arguments are
 * 32-bit signed integers in logical units, 64-bit floats for angles and
 * zero-terminated byte strings; results are 0 or an error code
 * (PICTOR_ERR_*), except the queries, which return the value asked for.
 *
 * Colours are 24-bit values: red in bits 0-7, green in 8-15, blue in 16-23.
 * Logical coordinates have their origin at the top-left corner of the
 * canvas, x to the right and y downwards; value v lands on canvas pixel
 * floor(v * scale), with scale = canvas size / logical size per axis.
 * Angles: degrees by default, 0 points to the left (9 o'clock), growing
 * clockwise on the screen (90 up, 180 right, 270 down).
 *
 * String arguments are borrowed: the library reads them up to their zero
 * byte and keeps no pointer. When the main executable exports a function
 * Gfx_OleStringParams, or after GfxOption(199, non-zero), the library
 * instead owns each string argument and releases it with free() before the
 * operation returns, on every path; callers then pass a fresh copy made by
 * PictorStringCopy for each call.
 */
#ifndef PICTOR_H
#define PICTOR_H

#include <stdint.h>

#include "pictor_host.h"

#if defined(__GNUC__)
#define PICTOR_API __attribute__((visibility("default")))
#else
#define PICTOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Error codes. Valid results of GfxMetrics always lie within
 * -16777216..16777216, so any result of 999000000 or more is an error. */
#define PICTOR_ERR_WINDOW 999000090      /* window number invalid or not open */
#define PICTOR_ERR_ARGUMENT 999000030    /* argument out of range */
#define PICTOR_ERR_MODE 999000048        /* not allowed in the window's present mode */
#define PICTOR_ERR_PLATFORM 999999999    /* refused by the platform, or a load failed */
#define PICTOR_ERR_PICTURE_LIB 999000022 /* optional picture library missing */
#define PICTOR_ERR_FILE_BASE 999001000   /* + errno of a failed file operation */
#define PICTOR_ERROR_FLOOR 999000000     /* results >= this are error codes */

/* Cursor position codes of MouseOverX/MouseOverY (any result >= 2147483392
 * means the cursor is not over the drawing). */
#define PICTOR_MOUSE_OUTSIDE 2147483392
#define PICTOR_MOUSE_LEFT_OF_CLIENT 2147483425
#define PICTOR_MOUSE_ABOVE_CLIENT 2147483426
#define PICTOR_MOUSE_RIGHT_OF_CLIENT 2147483427
#define PICTOR_MOUSE_BELOW_CLIENT 2147483428

/* GfxOption codes and values. */
#define PICTOR_OPT_LOGICAL_WIDTH 1
#define PICTOR_OPT_LOGICAL_HEIGHT 6
#define PICTOR_OPT_RADIANS 10
#define PICTOR_OPT_ZERO_DIRECTION 11
#define PICTOR_OPT_COUNTER_CLOCKWISE 12
#define PICTOR_OPT_STRING_HANDOVER 199
#define PICTOR_OPT_THREADED 999999001
#define PICTOR_KEEP_ASPECT 2147483402

/* Window style bit: the window is shown as soon as it is created. */
#define PICTOR_STYLE_VISIBLE 0x10000000

/* Parent handle of the console that hosts window 0. */
#define PICTOR_CONSOLE_PARENT ((intptr_t)1)

/* ---- window management ---- */
PICTOR_API int OpenGfx(intptr_t parent, int x, int y, int width, int height, int style);
PICTOR_API int OpenGfxEx(int window, intptr_t parent, int x, int y, int width, int height,
                         int style);
PICTOR_API int GfxWindow(int action);
PICTOR_API int GfxWindowEx(int window, int action);
PICTOR_API int GfxOption(int code, int value);
PICTOR_API int GfxOptionEx(int window, int code, int value);
PICTOR_API int GfxMetrics(int code);
PICTOR_API int GfxMetricsEx(int window, int code);
PICTOR_API int GfxRefresh(int force);
PICTOR_API int GfxRefreshEx(int window, int force);
PICTOR_API int MouseOverX(void);
PICTOR_API int MouseOverXEx(int window);
PICTOR_API int MouseOverY(void);
PICTOR_API int MouseOverYEx(int window);
PICTOR_API int GfxSyncCursor(void);
PICTOR_API int GfxSyncCursorEx(int window);
PICTOR_API int UseGfxWindow(int window);
PICTOR_API int GfxIsOpen(int window);
/* Platform handle of the on-screen window (an X11 window id), 0 when the
 * window is off-screen or not open. */
PICTOR_API intptr_t hGfx(void);
PICTOR_API intptr_t hGfxEx(int window);

/* ---- pens, brushes, background, fonts ---- */
PICTOR_API int Pen(int colour, int style, int width);
PICTOR_API int PenEx(int window, int colour, int style, int width);
PICTOR_API int PenColor(int colour);
PICTOR_API int PenColorEx(int window, int colour);
PICTOR_API int PenStyle(int style);
PICTOR_API int PenStyleEx(int window, int style);
PICTOR_API int Brush(int colour, int style, int hatch);
PICTOR_API int BrushEx(int window, int colour, int style, int hatch);
PICTOR_API int BrushColor(int colour);
PICTOR_API int BrushColorEx(int window, int colour);
PICTOR_API int BrushStyle(int style);
PICTOR_API int BrushStyleEx(int window, int style);
PICTOR_API int GfxBkgdColor(int colour);
PICTOR_API int GfxBkgdColorEx(int window, int colour);
PICTOR_API int GfxFont(const char* face, int width, int height, int weight, int colour, int effects,
                       double angle);
PICTOR_API int GfxFontEx(int window, const char* face, int width, int height, int weight,
                         int colour, int effects, double angle);
PICTOR_API int GfxFontColor(int colour);
PICTOR_API int GfxFontColorEx(int window, int colour);

/* ---- drawing ---- */
PICTOR_API int GfxCLS(void);
PICTOR_API int GfxCLSEx(int window);
PICTOR_API int DrawFrom(int x, int y);
PICTOR_API int DrawFromEx(int window, int x, int y);
PICTOR_API int DrawTo(int x, int y);
PICTOR_API int DrawToEx(int window, int x, int y);
PICTOR_API int DrawLine(int x1, int y1, int x2, int y2);
PICTOR_API int DrawLineEx(int window, int x1, int y1, int x2, int y2);
PICTOR_API int DrawPixel(int x, int y, int colour);
PICTOR_API int DrawPixelEx(int window, int x, int y, int colour);
PICTOR_API int DrawAngle(double angle, int length);
PICTOR_API int DrawAngleEx(int window, double angle, int length);
PICTOR_API int CalcPoint(int* x, int* y, double angle, int length);
PICTOR_API int CalcPointEx(int window, int* x, int* y, double angle, int length);
PICTOR_API int GfxLPR(int* x, int* y);
PICTOR_API int GfxLPREx(int window, int* x, int* y);
PICTOR_API int DrawCircle(int radius);
PICTOR_API int DrawCircleEx(int window, int radius);
PICTOR_API int DrawArc(int width, int height, double startAngle, double endAngle);
PICTOR_API int DrawArcEx(int window, int width, int height, double startAngle, double endAngle);
PICTOR_API int DrawArea(int width, int height);
PICTOR_API int DrawAreaEx(int window, int width, int height);
PICTOR_API int DrawFlood(int mode, int colour);
PICTOR_API int DrawFloodEx(int window, int mode, int colour);
PICTOR_API int DrawTextRow(const char* text, int flags);
PICTOR_API int DrawTextRowEx(int window, const char* text, int flags);

/* ---- bitmaps ---- */
PICTOR_API int DisplayBitmap(const char* file);
PICTOR_API int DisplayBitmapEx(int window, const char* file);
PICTOR_API int StretchBitmap(const char* file, int width, int height);
PICTOR_API int StretchBitmapEx(int window, const char* file, int width, int height);
PICTOR_API int CropBitmap(const char* file, int width, int height, int x1, int y1, int x2, int y2);
PICTOR_API int CropBitmapEx(int window, const char* file, int width, int height, int x1, int y1,
                            int x2, int y2);
/* Returns the save depth in bits per pixel (24) on success. */
PICTOR_API int SaveGfxWindow(const char* file);
PICTOR_API int SaveGfxWindowEx(int window, const char* file);

/* ---- helpers of this library ---- */
/* A copy of text that the library may release (string hand-over mode). */
PICTOR_API char* PictorStringCopy(const char* text);
/* The first number n in first..last for which the file prefix + n written
 * with three digits + suffix (e.g. "TARVO" 7 ".BMP" -> TARVO007.BMP) does not
 * exist, in any letter case; -1 when all exist. Saving pictures under this
 * number never overwrites an earlier one. */
PICTOR_API int PictorFirstFreePicture(const char* prefix, const char* suffix, int first, int last);
/* The width in logical units of a row of text drawn by DrawTextRow in the
 * window's current font (its advance along the baseline), or an error code.
 * Lets a caller size a box from the text it will hold. */
PICTOR_API int PictorTextWidth(const char* text);
PICTOR_API int PictorTextWidthEx(int window, const char* text);

#ifdef __cplusplus
}
#endif

#endif
