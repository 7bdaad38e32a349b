// Temporary host entry points: window 0 is not yet drawn into.
#include "pictor_host.h"

extern "C" {
int PictorHostOpen(int widthPx, int heightPx, int onScreen) {
    (void)onScreen;
    return (widthPx > 0 && heightPx > 0) ? 0 : 999000030;
}
void PictorHostClose(void) {}
int PictorHostPollEvent(struct PictorHostEvent* ev) {
    if (ev) *ev = PictorHostEvent{0, 0, 0, 0};
    return 0;
}
void PictorHostSetMouse(int x, int y, int buttons) {
    (void)x;
    (void)y;
    (void)buttons;
}
}
