// The canvas shown in an X11 top-level window; events are taken with
// non-blocking XPending polling on the caller's thread.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <time.h>
#include <vector>

#include "pictor_host.h"
#include "screen.h"

namespace pictor {

namespace {

void sleepMilliseconds(int ms) {
    timespec t{0, ms * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

class X11Window;

// The one connection to the display, opened with the first window.
class X11Connection {
  public:
    // Never destroyed: windows still open at exit close on a live display,
    // whatever order static objects end in.
    static X11Connection* get() {
        static X11Connection* connection = new X11Connection;
        return connection->display_ && !connection->lost_ ? connection : nullptr;
    }
    bool lost() const { return lost_; }
    Display* display() const { return display_; }
    Visual* visual() const { return visual_; }
    int depth() const { return depth_; }
    Atom deleteAtom() const { return deleteWindow_; }
    // True when canvas words (0x00RRGGBB) are the visual's own pixel layout.
    bool canvasIsNative() const { return native_; }

    std::map<Window, X11Window*> windows;

  private:
    X11Connection() {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) return;
        display_ = XOpenDisplay(nullptr);
        if (!display_) return;
        // A display that goes away must not end the program: the canvas
        // lives on off-screen.
        XSetIOErrorHandler([](Display*) { return 0; });
        XSetIOErrorExitHandler(
            display_, [](Display*, void* self) { static_cast<X11Connection*>(self)->lost_ = true; },
            this);
        const int screen = DefaultScreen(display_);
        visual_ = DefaultVisual(display_, screen);
        depth_ = DefaultDepth(display_, screen);
        deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        const bool hostLittle = [] {
            const uint16_t probe = 1;
            return *reinterpret_cast<const uint8_t*>(&probe) == 1;
        }();
        int formats = 0;
        bool thirtyTwoBits = false;
        if (XPixmapFormatValues* f = XListPixmapFormats(display_, &formats)) {
            for (int i = 0; i < formats; ++i)
                if (f[i].depth == depth_ && f[i].bits_per_pixel == 32) thirtyTwoBits = true;
            XFree(f);
        }
        native_ = visual_->red_mask == 0xFF0000 && visual_->green_mask == 0xFF00 &&
                  visual_->blue_mask == 0xFF && thirtyTwoBits && (depth_ == 24 || depth_ == 32) &&
                  (ImageByteOrder(display_) == LSBFirst) == hostLittle;
    }

    Display* display_ = nullptr;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    Atom deleteWindow_ = 0;
    bool native_ = false;
    bool lost_ = false;
};

class X11Window final : public ScreenWindow {
  public:
    X11Window(X11Connection& x, const ScreenRequest& r) : x_(x), canvas_(r.canvas) {
        Display* d = x.display();
        const int screen = DefaultScreen(d);
        window_ = XCreateSimpleWindow(
            d, RootWindow(d, screen), r.x, r.y, static_cast<unsigned>(r.width),
            static_cast<unsigned>(r.height), 0, BlackPixel(d, screen), BlackPixel(d, screen));
        XSizeHints* hints = XAllocSizeHints();
        if (hints) {
            hints->flags = PPosition | PMinSize | PMaxSize;
            hints->x = r.x;
            hints->y = r.y;
            hints->min_width = hints->max_width = r.width;
            hints->min_height = hints->max_height = r.height;
            XSetWMNormalHints(d, window_, hints);
            XFree(hints);
        }
        const std::string title =
            std::string(program_invocation_short_name) + " graphics " + std::to_string(r.window);
        XStoreName(d, window_, title.c_str());
        Atom protocols[] = {x.deleteAtom()};
        XSetWMProtocols(d, window_, protocols, 1);
        XSelectInput(d, window_,
                     ExposureMask | KeyPressMask | ButtonPressMask | PointerMotionMask |
                         LeaveWindowMask | StructureNotifyMask);
        gc_ = XCreateGC(d, window_, 0, nullptr);
        x.windows[window_] = this;
    }
    ~X11Window() override {
        x_.windows.erase(window_);
        if (x_.lost()) return;
        XFreeGC(x_.display(), gc_);
        XDestroyWindow(x_.display(), window_);
        XFlush(x_.display());
    }

    void show(bool visible) override {
        if (x_.lost()) return;
        Display* d = x_.display();
        if (!visible) {
            XUnmapWindow(d, window_);
            XFlush(d);
            mapped_ = false;
            return;
        }
        XMapRaised(d, window_);
        XSync(d, False);
        // Wait (bounded) until the server maps the window, so that the
        // first picture is not painted into an unmapped window.
        XEvent ev;
        for (int tries = 0; tries < 400; ++tries) {
            if (XCheckTypedWindowEvent(d, window_, MapNotify, &ev)) break;
            sleepMilliseconds(5);
        }
        mapped_ = true;
        if (canvas_) present(*canvas_, {0, 0, canvas_->width, canvas_->height});
    }

    void present(const Canvas& canvas, PixelRect rect) override {
        if (!mapped_ || x_.lost()) return;
        rect.x0 = std::max(rect.x0, 0);
        rect.y0 = std::max(rect.y0, 0);
        rect.x1 = std::min(rect.x1, canvas.width);
        rect.y1 = std::min(rect.y1, canvas.height);
        if (rect.empty()) return;
        Display* d = x_.display();
        const unsigned w = static_cast<unsigned>(rect.x1 - rect.x0);
        const unsigned h = static_cast<unsigned>(rect.y1 - rect.y0);
        if (x_.canvasIsNative()) {
            XImage* image =
                XCreateImage(d, x_.visual(), static_cast<unsigned>(x_.depth()), ZPixmap, 0,
                             reinterpret_cast<char*>(const_cast<uint32_t*>(canvas.pixels.data())),
                             static_cast<unsigned>(canvas.width),
                             static_cast<unsigned>(canvas.height), 32, canvas.width * 4);
            if (image) {
                XPutImage(d, window_, gc_, image, rect.x0, rect.y0, rect.x0, rect.y0, w, h);
                image->data = nullptr; // the canvas is not the image's to free
                XDestroyImage(image);
            }
        } else {
            presentConverted(canvas, rect, w, h);
        }
        XFlush(d);
    }

    void warpPointer(int x, int y) override {
        if (x_.lost()) return;
        XWarpPointer(x_.display(), None, window_, 0, 0, 0, 0, x, y);
        XFlush(x_.display());
    }

    intptr_t handle() const override { return static_cast<intptr_t>(window_); }

    void repaintAll() {
        if (canvas_) present(*canvas_, {0, 0, canvas_->width, canvas_->height});
    }

  private:
    // Visuals of another pixel layout: convert through XPutPixel.
    void presentConverted(const Canvas& canvas, PixelRect rect, unsigned w, unsigned h) {
        Display* d = x_.display();
        XImage* image = XCreateImage(d, x_.visual(), static_cast<unsigned>(x_.depth()), ZPixmap, 0,
                                     nullptr, w, h, 32, 0);
        if (!image) return;
        image->data =
            static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * h));
        if (!image->data) {
            XDestroyImage(image);
            return;
        }
        const Visual* v = x_.visual();
        auto place = [](unsigned long mask, uint32_t component) -> unsigned long {
            if (mask == 0) return 0;
            int shift = 0;
            while (!((mask >> shift) & 1)) ++shift;
            int bits = 0;
            while ((mask >> (shift + bits)) & 1) ++bits;
            const unsigned long scaled =
                bits >= 8 ? component << (bits - 8) : component >> (8 - bits);
            return (scaled << shift) & mask;
        };
        for (unsigned j = 0; j < h; ++j) {
            const uint32_t* row = canvas.row(rect.y0 + static_cast<int>(j)) + rect.x0;
            for (unsigned i = 0; i < w; ++i) {
                const uint32_t p = row[i];
                XPutPixel(image, static_cast<int>(i), static_cast<int>(j),
                          place(v->red_mask, (p >> 16) & 0xFF) |
                              place(v->green_mask, (p >> 8) & 0xFF) |
                              place(v->blue_mask, p & 0xFF));
            }
        }
        XPutImage(d, window_, gc_, image, 0, 0, rect.x0, rect.y0, w, h);
        XDestroyImage(image);
    }

    X11Connection& x_;
    const Canvas* canvas_;
    Window window_ = 0;
    GC gc_ = nullptr;
    bool mapped_ = false;
};

int hostKeyCode(XKeyEvent& key) {
    char text[8] = {};
    KeySym sym = NoSymbol;
    const int n = XLookupString(&key, text, sizeof text, &sym, nullptr);
    switch (sym) {
    case XK_Escape:
        return PICTOR_KEY_ESC;
    case XK_Return:
    case XK_KP_Enter:
        return PICTOR_KEY_ENTER;
    case XK_BackSpace:
        return PICTOR_KEY_BACKSPACE;
    case XK_Tab:
        return PICTOR_KEY_TAB;
    case XK_Up:
    case XK_KP_Up:
        return PICTOR_KEY_UP;
    case XK_Down:
    case XK_KP_Down:
        return PICTOR_KEY_DOWN;
    case XK_Left:
    case XK_KP_Left:
        return PICTOR_KEY_LEFT;
    case XK_Right:
    case XK_KP_Right:
        return PICTOR_KEY_RIGHT;
    case XK_Prior:
    case XK_KP_Prior:
        return PICTOR_KEY_PGUP;
    case XK_Next:
    case XK_KP_Next:
        return PICTOR_KEY_PGDN;
    case XK_Home:
    case XK_KP_Home:
        return PICTOR_KEY_HOME;
    case XK_End:
    case XK_KP_End:
        return PICTOR_KEY_END;
    default:
        break;
    }
    if (sym >= XK_F1 && sym <= XK_F12) return PICTOR_KEY_F1 + static_cast<int>(sym - XK_F1);
    if (sym >= 0x20 && sym <= 0xFF && n == 1) return static_cast<unsigned char>(text[0]);
    if ((sym & 0xFF000000UL) == 0x01000000UL) return static_cast<int>(sym & 0x00FFFFFFUL);
    if (sym >= 0x20 && sym <= 0xFF) return static_cast<int>(sym); // Latin-1 keysyms are code points
    if (n == 1 && static_cast<unsigned char>(text[0]) >= 0x20)
        return static_cast<unsigned char>(text[0]);
    return 0; // modifiers and keys the programs do not know
}

} // namespace

std::unique_ptr<ScreenWindow> openX11Window(const ScreenRequest& request) {
    X11Connection* x = X11Connection::get();
    if (!x) return nullptr;
    return std::make_unique<X11Window>(*x, request);
}

void pumpX11Events(const ScreenEventSink& sink) {
    X11Connection* x = X11Connection::get();
    if (!x) return;
    Display* d = x->display();
    while (XPending(d) > 0) {
        XEvent ev;
        XNextEvent(d, &ev);
        if (x->lost()) return;
        auto it = x->windows.find(ev.xany.window);
        if (it == x->windows.end()) continue;
        X11Window* w = it->second;
        ScreenEvent out;
        out.source = w;
        switch (ev.type) {
        case Expose:
            if (ev.xexpose.count == 0) w->repaintAll();
            continue;
        case KeyPress:
            out.kind = ScreenEvent::Key;
            out.key = hostKeyCode(ev.xkey);
            if (out.key == 0) continue;
            break;
        case ButtonPress:
            if (ev.xbutton.button != Button1 && ev.xbutton.button != Button3) continue;
            out.kind =
                ev.xbutton.button == Button1 ? ScreenEvent::LeftClick : ScreenEvent::RightClick;
            out.x = ev.xbutton.x;
            out.y = ev.xbutton.y;
            break;
        case MotionNotify:
            out.kind = ScreenEvent::PointerMoved;
            out.x = ev.xmotion.x;
            out.y = ev.xmotion.y;
            break;
        case LeaveNotify:
            out.kind = ScreenEvent::PointerLeft;
            break;
        case ClientMessage:
            // The window manager's close button: the programs leave their
            // graphics view with Esc.
            if (static_cast<Atom>(ev.xclient.data.l[0]) != x->deleteAtom()) continue;
            out.kind = ScreenEvent::Key;
            out.key = PICTOR_KEY_ESC;
            break;
        default:
            continue;
        }
        sink(out);
    }
}

} // namespace pictor
