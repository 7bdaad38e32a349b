#include "host_events.h"

#include <deque>

#include "screen.h"
#include "window_table.h"

namespace pictor {

namespace {
std::deque<PictorHostEvent>& queue() {
    static std::deque<PictorHostEvent> events;
    return events;
}
constexpr size_t kQueueLimit = 4096; // a stalled reader must not grow it without end
} // namespace

void pumpHostEvents() {
    pumpScreenEvents([](const ScreenEvent& e) {
        WindowRecord* w = windowOfScreen(e.source);
        if (!w) return;
        PictorHostEvent out{PICTOR_EVENT_NONE, 0, e.x, e.y};
        switch (e.kind) {
        case ScreenEvent::PointerMoved:
            w->mouse.over = true;
            w->mouse.x = e.x;
            w->mouse.y = e.y;
            return;
        case ScreenEvent::PointerLeft:
            w->mouse.over = false;
            return;
        case ScreenEvent::Key:
            out.type = PICTOR_EVENT_KEY;
            out.key = e.key;
            out.x = out.y = 0;
            break;
        case ScreenEvent::LeftClick:
        case ScreenEvent::RightClick:
            out.type = e.kind == ScreenEvent::LeftClick ? PICTOR_EVENT_LEFT_CLICK
                                                        : PICTOR_EVENT_RIGHT_CLICK;
            w->mouse.over = true;
            w->mouse.x = e.x;
            w->mouse.y = e.y;
            break;
        }
        if (queue().size() < kQueueLimit) queue().push_back(out);
    });
}

bool takeHostEvent(PictorHostEvent& event) {
    if (queue().empty()) return false;
    event = queue().front();
    queue().pop_front();
    return true;
}

} // namespace pictor
