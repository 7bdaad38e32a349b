// The orbit and sky graphics view of a run (key W): the window, one frame
// after every page interval, the key menu and the keys of the view.
#include "graphics_view.h"

#include "console/console.h"
#include "fileio/text_util.h"
#include "tarvo/views/graphics_layout.h"
#include "view_drawing.h"
#include "view_text.h"

#include "pictor.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

namespace tarvo::views {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
constexpr int kPromptRow = 24;
constexpr int kYellow = rgb(255, 255, 0);

double clampTo(double v, double lo, double hi) {
    return std::isfinite(v) ? std::clamp(v, lo, hi) : lo;
}

// A prompt of one or two lines below the status line; nullopt on Esc.
std::optional<std::string> ask(const std::string& first, const std::string& second = {}) {
    using namespace console::Color;
    for (int r = kPromptRow; r <= kPromptRow + 2; ++r) console::clearLine(r);
    console::setColor(Yellow, Black);
    console::printAt(kPromptRow, 1, first);
    if (!second.empty()) console::printAt(kPromptRow + 1, 1, second);
    console::setColor(White, Black);
    console::locate(kPromptRow + (second.empty() ? 0 : 1),
                    static_cast<int>((second.empty() ? first : second).size()) + 2);
    return console::readLine(30);
}

double askNumber(const std::string& first, const std::string& second, double fallback) {
    const auto a = ask(first, second);
    if (!a || a->find_first_not_of(' ') == std::string::npos) return fallback;
    return readFreeNumber(*a);
}

void sayAndWait(const std::string& first, const std::string& second) {
    using namespace console::Color;
    for (int r = kPromptRow; r <= kPromptRow + 2; ++r) console::clearLine(r);
    console::setColor(Yellow, Black);
    console::printAt(kPromptRow, 1, first);
    console::printAt(kPromptRow + 1, 1, second);
    console::readKey();
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

GraphicsView::GraphicsView(RunContext& run) : view_(graphicsViewSettings()) {
    if (!view_.dateInImages && run.dateInImages) view_.dateInImages = true;
    if (!initialised()) {
        initialised() = true;
        if (run.polarView) {
            view_.orthographic = false;
            view_.polar = true;
            resetSkyField();
        } else {
            resetOrthographicField();
        }
    }
}

bool& GraphicsView::initialised() {
    static bool once = false;
    return once;
}

void GraphicsView::resetOrthographicField() {
    view_.orthographic = true;
    view_.polar = view_.horizontal = view_.topocentric = view_.directional = false;
    view_.halfHeight = 2.0;
    view_.offset = {0, 0, 0};
}

void GraphicsView::resetSkyField() {
    view_.halfHeight = view_.polar ? 60.0 * kDeg : 30.0 * kDeg;
    view_.halfWidth = view_.polar ? view_.halfHeight : 2.0 * view_.halfHeight;
    view_.zoomReference = kPi;
    resetSkyDirection();
}

bool GraphicsView::openWindow() {
    if (GfxIsOpen(0)) GfxWindow(1);
    // The console in cells, from the usable screen and the cell size.
    const int cellW = std::max(console::ConsoleMetrics(1), 1),
              cellH = std::max(console::ConsoleMetrics(2), 1);
    const int widthPx = console::ConsoleInfo(view_.fullScreen ? 44 : 34);
    const int heightPx = console::ConsoleInfo(view_.fullScreen ? 45 : 35);
    const GraphicsArea area =
        graphicsArea(widthPx / cellW, heightPx / cellH, view_.fullScreen, plainSkyMap(view_));
    if (view_.fullScreen) {
        console::ConsoleTitle("TARVO12.10:     Press F to exit Full Screen");
        toolbarWasShown_ = console::ConsoleHasToolbar() != 0;
        console::ConsoleToolBar(0, 5);
        console::ConsoleTopMost(-1);
        console::ConsoleStretch();
        console::ConsoleToForeGround(-1);
    } else {
        console::ConsoleTitle("TARVO12.10");
        if (toolbarWasShown_) console::ConsoleToolBar(-1, 5);
        console::ConsoleTopMost(0);
    }
    if (area.tooFewRows) {
        console::ConsoleMessageBox(
            " Too few rows for containing full menu! Press 'Esc' and reduce font heigth ", 0,
            "Graphics Window");
        return false;
    }
    if (console::ConsoleGfx(1, 1, area.columns, area.rows) == 0) {
        console::ConsoleMessageBox("The graphics window could not be opened.", 0,
                                   "Graphics Window");
        return false;
    }
    if (!readCanvasSize()) return false;
    GfxBkgdColor(rgb(1, 1, 1));
    BrushColor(view_.blackAndWhite ? rgb(255, 255, 255) : 0);
    GfxCLS();
    GfxWindow(5);
    GfxWindow(2);
    GfxOption(1, 0);
    GfxOption(6, 0);
    GfxFont("Arial", 0, canvasFontHeight(height_), 1, view_.blackAndWhite ? 0 : kYellow, 0, 0.0);
    if (view_.orthographic) view_.zoomReference = static_cast<double>(height_) / width_ * 1000.0;
    if (view_.orthographic || view_.polar) view_.halfWidth = view_.halfHeight * width_ / height_;
    memory_.lastBodyPlace.clear();
    reopen_ = false;
    return true;
}

bool GraphicsView::readCanvasSize() {
    const int w = GfxMetrics(2), h = GfxMetrics(7);
    // A metric that is an error code is never taken as a size.
    if (!usableCanvasSize(w) || !usableCanvasSize(h)) {
        console::ConsoleMessageBox("The graphics window reports no usable size (code " +
                                       std::to_string(usableCanvasSize(w) ? h : w) + ").",
                                   0, "Graphics Window");
        return false;
    }
    width_ = w, height_ = h;
    return true;
}

std::unique_ptr<RunView> GraphicsView::open(RunContext& run) {
    auto view = std::make_unique<GraphicsView>(run);
    if (!view->openWindow()) {
        if (GfxIsOpen(0)) GfxWindow(1);
        return nullptr;
    }
    return view;
}

void GraphicsView::close() {
    if (GfxIsOpen(0)) GfxWindow(1);
    console::ConsoleTitle("TARVO12.10");
}

bool GraphicsView::continuousMotion() const {
    return view_.continuous;
}

void GraphicsView::draw(const RunContext& run) {
    if (reopen_ && !openWindow()) return;
    if (!GfxIsOpen(0) || !readCanvasSize()) return;
    const bool stepped = lastEpoch_ != run.integration.epoch;
    if (stepped) {
        ++stepCount_;
        lastEpoch_ = run.integration.epoch;
    }
    BrushColor(view_.blackAndWhite ? rgb(255, 255, 255) : 0);
    if (view_.trace == TraceMode::off || clearOnce_) GfxCLS();
    clearOnce_ = false;
    GfxOption(1, 0);
    GfxOption(6, 0);
    Pen(view_.blackAndWhite ? 0 : rgb(0, 160, 0), view_.blackAndWhite ? 2 : 0, 0);
    scene_ = buildScene(run, view_);
    drawFrame(scene_, run, view_, width_, height_, memory_);
    view_.markRequest = false;
    // Automatic frames: every separation-th step while the motion runs.
    if (stepped && view_.continuous && view_.autoFramesLeft > 0 &&
        ++view_.autoFrameStepCount % std::max(view_.autoFrameSeparation, 1) == 0) {
        saveImage();
        if (--view_.autoFramesLeft == 0 || view_.imageCounter > 998) {
            view_.autoFramesLeft = 0;
            view_.continuous = false; // the recording is done: back to stepping by key
        }
    }
    GfxWindow(3);
    printViewText(run, view_, scene_, stepCount_);
}

void GraphicsView::saveImage() {
    if (view_.imageCounter < 0 || view_.imageCounter > 998) return;
    const int n = PictorFirstFreePicture("TARVO", ".BMP", view_.imageCounter, 998);
    if (n < 0) {
        view_.imageCounter = 999;
        return;
    }
    if (view_.dateInImages) {
        const std::string date = frameDateText(scene_);
        if (view_.imageDateWritten) {
            GfxFontColor(view_.blackAndWhite ? rgb(255, 255, 255) : 0);
            DrawFrom(2, 10);
            DrawTextRow(view_.lastImageDate.c_str(), 0);
            GfxFontColor(rgb(0, 255, 255));
        } else {
            GfxFontColor(view_.blackAndWhite ? 0 : kYellow);
        }
        DrawFrom(2, 10);
        DrawTextRow(date.c_str(), 0);
        view_.imageDateWritten = true;
        view_.lastImageDate = date;
    }
    char name[32];
    std::snprintf(name, sizeof name, "TARVO%03d.BMP", n);
    GfxWindow(0);
    lastSaveResult_ = SaveGfxWindow(name); // the save depth, or an error code (kept, not fatal)
    GfxWindow(5);
    view_.imageCounter = n + 1;
}

void GraphicsView::zoom(bool in) {
    const double f = std::sqrt(2.0);
    if (in) {
        if (view_.zoomReference / view_.halfHeight >= kZoomLimit) return;
        view_.halfWidth /= f, view_.halfHeight /= f;
    } else {
        view_.halfWidth *= f, view_.halfHeight *= f;
    }
}

void GraphicsView::searchObject() {
    auto answer = ask(" Enter Name, Des., #", " or X for position  ");
    if (!answer) return;
    std::string wanted = lower(*answer);
    while (!wanted.empty() && wanted.back() == ' ') wanted.pop_back();
    while (!wanted.empty() && wanted.front() == ' ') wanted.erase(wanted.begin());
    if (wanted.empty()) return;
    std::optional<DrawnObject> found;
    ViewVector direction{};
    if (wanted == "x") {
        const bool ecl = view_.ecliptic;
        const double lon = askNumber(
            std::string("Enter ") + (ecl ? "Long. " : " R.A. ") + (ecl ? "(deg.)" : "(h)"), "", 0);
        const double lat =
            askNumber(std::string("Enter ") + (ecl ? "Lat. " : "Dec. ") + "(deg.)", "", 0);
        direction = unitFromAngles(ecl ? lon * kDeg : lon * 15.0 * kDeg, lat * kDeg);
        DrawnObject position{"position", "", "", {}, direction};
        const ViewProjector projector(view_, scene_, width_, height_);
        if (const auto p = projector.place(direction))
            position.at = *p;
        else
            position.at = {-10000, -10000};
        found = position;
    } else {
        for (const DrawnObject& o : memory_.drawn)
            if (lower(o.name) == wanted || lower(o.designation) == wanted || o.number == wanted) {
                found = o;
                break;
            }
        if (!found)
            for (const SceneBody& b : scene_.bodies)
                if (lower(b.name) == wanted || std::to_string(b.index) == wanted) {
                    found = DrawnObject{
                        b.name, "", std::to_string(b.index), {-10000, -10000}, b.position};
                    break;
                }
    }
    if (!found) {
        sayAndWait(" " + *answer + " was not found", " Press a key to cont");
        return;
    }
    const bool inside =
        found->at.x >= 0 && found->at.y >= 0 && found->at.x < width_ && found->at.y < height_;
    if (inside) {
        DrawFrom(found->at.x, found->at.y);
        GfxSyncCursor();
    }
    for (int r = kPromptRow; r <= kPromptRow + 2; ++r) console::clearLine(r);
    console::setColor(console::Color::Yellow, console::Color::Black);
    console::printAt(kPromptRow, 1,
                     " " + (found->name.empty() ? *answer : found->name) +
                         (inside ? " at cursor" : " out wind."));
    console::printAt(kPromptRow + 1, 1, " Press D to redirect");
    console::printAt(kPromptRow + 2, 1, " Enter to continue  ");
    const console::Event e = console::readKey();
    if (e.key < 128 && std::toupper(e.key) == 'D') redirect(found->direction);
}

void GraphicsView::redirect(const ViewVector& direction) {
    if (view_.orthographic) {
        view_.offset = {direction[0], view_.switchYZ ? 0.0 : direction[1],
                        view_.switchYZ ? direction[2] : 0.0};
        return;
    }
    const ViewProjector projector(view_, scene_, width_, height_);
    view_.viewDirection = view_.horizontal ? projector.toHorizon(direction) : direction;
}

void GraphicsView::lookAtBody(bool on) {
    view_.directional = on;
    if (!on) {
        view_.offset = {0, 0, 0};
        resetSkyDirection();
        return;
    }
    const int body = static_cast<int>(askNumber("Look at body # ", "", 3));
    for (const SceneBody& b : scene_.bodies)
        if (b.index == body) {
            view_.lookAtBody = body;
            redirect(b.position);
        }
}

void GraphicsView::resetSkyDirection() {
    if (view_.horizontal)
        view_.viewDirection = {0, 0, 1};
    else
        view_.viewDirection =
            view_.polar ? std::array<double, 3>{0, 0, 1} : std::array<double, 3>{1, 0, 0};
}

void GraphicsView::rotateFrame() {
    const auto axis = ask("Rot.Ax. (X,Y or Z)");
    if (!axis || axis->empty()) return;
    const char a = static_cast<char>(std::toupper(static_cast<unsigned char>((*axis)[0])));
    if (a == '0') {
        view_.rotation = {0, 0, 0};
        view_.rotatedFrame = false;
        return;
    }
    const int k = a == 'X' ? 0 : (a == 'Y' ? 1 : (a == 'Z' ? 2 : -1));
    if (k < 0) return;
    char now[32];
    std::snprintf(now, sizeof now, "%.2f", view_.rotation[static_cast<std::size_t>(k)] / kDeg);
    const double angle = askNumber(std::string("Rotation Ang (") + now + ")", "", 0);
    view_.rotation[static_cast<std::size_t>(k)] += clampTo(angle, -3600, 3600) * kDeg;
    view_.rotatedFrame = true;
}

void GraphicsView::autoFrames() {
    const double frames = askNumber("Enter # of frames", "to record (0-999) ? ", 0);
    view_.autoFramesLeft = static_cast<int>(clampTo(std::floor(frames), 0, 999));
    view_.continuous = view_.autoFramesLeft > 0;
    const double separation =
        askNumber("Enter separation", "between frames, as # of steps  ?  ", 1);
    view_.autoFrameSeparation = static_cast<int>(clampTo(std::floor(separation), 1, 100000));
    view_.autoFrameStepCount = 0;
}

void GraphicsView::spaceOverlap() {
    const char* prompts[] = {"1st Gr.Low #? ", "1st Gr. Hi #? ", "2d Gr.Low #? ", "2d Gr. Hi #? "};
    for (int k = 0; k < 4; ++k)
        memory_.spaceOverlap[k] = static_cast<int>(askNumber(prompts[k], "", 0));
    const auto sure = ask("Sure ? (Y or N) ");
    memory_.spaceOverlapOn =
        sure && !sure->empty() && std::toupper(static_cast<unsigned char>((*sure)[0])) == 'Y';
}

void GraphicsView::visibleField() {
    const bool sky = !view_.orthographic;
    const double now = sky ? view_.halfHeight / kDeg : view_.halfHeight;
    char current[48];
    std::snprintf(current, sizeof current,
                  sky ? "Half-height (deg) [%.3f] " : "Half-height (AU) [%.5f] ", now);
    const double v = askNumber(current, "", now);
    if (!(v > 0)) return;
    const double ratio = view_.halfWidth / view_.halfHeight;
    view_.halfHeight = sky ? std::min(v, 90.0) * kDeg : std::min(v, 1.0e6);
    view_.halfWidth = view_.halfHeight * ratio;
}

void GraphicsView::toggleFullScreen() {
    view_.fullScreen = !view_.fullScreen;
    if (view_.fullScreen) {
        view_.savedHalfHeight = view_.halfHeight;
        view_.savedHalfWidth = view_.halfWidth;
        if (plainSkyMap(view_)) view_.halfHeight *= std::sqrt(2.0);
    } else if (view_.savedHalfHeight > 0) {
        // Leaving full screen restores the field it was entered with.
        view_.halfHeight = view_.savedHalfHeight;
        view_.halfWidth = view_.savedHalfWidth;
    }
    reopen_ = true;
}

void GraphicsView::showHelp() {
    console::ConsoleMessageBox(
        "The graphics window shows the bodies of the run after every step.\n"
        "O orbit view or sky views; P polar sky map; E ecliptic; T topocentric; Z horizontal.\n"
        "+ and - zoom by a factor of sqrt(2); V types the field; D looks at a body; = finds a body "
        "or star.\n"
        "* stars, $ names, ; designations, & colours, @ nebulae, % their names, # grid, L its "
        "labels.\n"
        ". trails (dots, lines, lines and marks); K clears; I saves TARVO000.BMP ... (never "
        "overwriting);\n"
        "A records a number of frames while C keeps the motion going. Space: next step; Esc: the "
        "page.",
        0, "Graphics Window");
}

ViewAnswer GraphicsView::handleEvent(const console::Event& event, RunContext& run) {
    (void)run;
    const int raw = event.key;
    if (raw == console::Key::Esc) return ViewAnswer::closeView; // "Text Output"
    if (raw == ' ') return ViewAnswer::nextStep;
    if (raw == console::Key::GfxClick || raw == console::Key::GfxRightClick || raw > 127)
        return ViewAnswer::handled;
    const char key = static_cast<char>(std::toupper(raw));
    switch (key) {
    case 'W':
        return ViewAnswer::closeView;
    case 'O':
        if (view_.orthographic) {
            view_.orthographic = false;
            resetSkyField();
        } else {
            resetOrthographicField();
        }
        reopen_ = true;
        break;
    case 'P':
        if (view_.orthographic) {
            view_.orthographic = false;
            view_.polar = true;
            resetSkyField();
        } else {
            view_.polar = !view_.polar;
            view_.halfWidth = view_.polar ? view_.halfHeight : 2.0 * view_.halfHeight;
            resetSkyDirection();
        }
        reopen_ = true;
        break;
    case 'B':
        clearOnce_ = true;
        return ViewAnswer::notMine; // the run steps backward
    case 'C':
        view_.continuous = !view_.continuous;
        break;
    case '.': {
        const int next = static_cast<int>(view_.trace) + 1;
        view_.trace = static_cast<TraceMode>(next == 2 ? -2 : next);
        clearOnce_ = true;
        memory_.lastBodyPlace.clear();
        break;
    }
    case 'X':
        view_.markRequest = true;
        return ViewAnswer::handled; // drawn with the next step
    case '/':
        clearOnce_ = true;
        return ViewAnswer::notMine; // the planet list of the run
    case 'E':
        view_.ecliptic = !view_.ecliptic;
        break;
    case 'T':
        view_.topocentric = !view_.topocentric;
        break;
    case 'Z':
        view_.horizontal = !view_.horizontal;
        if (view_.horizontal) {
            view_.orthographic = false;
            reopen_ = true;
        }
        resetSkyDirection();
        break;
    case '(':
        view_.southUp = !view_.southUp;
        break;
    case '*': {
        const bool was = view_.stars;
        view_.stars = !view_.stars;
        if (!was)
            view_.starLimit =
                clampTo(askNumber("Limiting magnitude ", "", view_.starLimit), -2, 12);
        break;
    }
    case ':':
        view_.clockLock = !view_.clockLock, view_.continuous = view_.clockLock;
        break;
    case 'M':
        if (view_.orthographic)
            view_.meanPlane = !view_.meanPlane, view_.orbitPlane = false;
        else
            view_.properMotion = !view_.properMotion;
        break;
    case '&':
        view_.starColours = !view_.starColours;
        break;
    case '$':
        view_.starNames = !view_.starNames;
        break;
    case kStarDesignationKey:
        view_.starDesignations = !view_.starDesignations;
        break;
    case '@':
        view_.nebulae = !view_.nebulae;
        break;
    case '%':
        view_.nebulaNames = !view_.nebulaNames;
        break;
    case '\\':
        view_.orbitPlane = !view_.orbitPlane;
        if (view_.orbitPlane) {
            view_.meanPlane = false;
            view_.orbitPlaneBody =
                static_cast<int>(askNumber("Oriented body # ", "", view_.orbitPlaneBody));
        }
        break;
    case 'D':
        lookAtBody(!view_.directional);
        break;
    case 'Y':
        view_.switchYZ = !view_.switchYZ;
        break;
    case '#': {
        static const GridKind order[] = {GridKind::off, GridKind::equatorial, GridKind::ecliptic,
                                         GridKind::horizontal, GridKind::hourAngle};
        std::size_t k = 0;
        while (k < 5 && order[k] != view_.grid) ++k;
        view_.grid = order[(k + 1) % 5];
        break;
    }
    case 'L':
        view_.gridLabels = !view_.gridLabels;
        break;
    case 'F':
        toggleFullScreen();
        break;
    case 'R':
        rotateFrame();
        break;
    case '!':
        view_.blackAndWhite = !view_.blackAndWhite;
        GfxFontColor(view_.blackAndWhite ? 0 : kYellow);
        break;
    case 'N':
        view_.planetNames = !view_.planetNames;
        break;
    case '0':
        view_.planetSize = view_.planetSize == 1 ? -1 : view_.planetSize + 1;
        break;
    case 'G':
        reopen_ = true;
        return ViewAnswer::notMine; // the run's location dialog
    case '>':
        if (!view_.orthographic) view_.brightness = std::min(view_.brightness + 1, 16);
        break;
    case '<':
        if (!view_.orthographic) view_.brightness = std::max(view_.brightness - 1, -25);
        break;
    case '+':
        zoom(true);
        break;
    case '-':
        zoom(false);
        break;
    case 'V':
        visibleField();
        break;
    case 'U':
        return ViewAnswer::notMine; // the run's time unit
    case 'S':
        return ViewAnswer::notMine; // the run's step scaling
    case 'J':
        clearOnce_ = true;
        return ViewAnswer::notMine;
    case 'K':
        clearOnce_ = true;
        break;
    case '=':
        searchObject();
        return ViewAnswer::handled;
    case 'I':
        saveImage();
        return ViewAnswer::handled;
    case 'A':
        autoFrames();
        break;
    case 'Q':
        spaceOverlap();
        break;
    case 'H':
        showHelp();
        break;
    default:
        return ViewAnswer::handled;
    }
    clearOnce_ = true; // every key that changes the picture clears and redraws
    return ViewAnswer::handled;
}

} // namespace tarvo::views

namespace tarvo {

GraphicsViewSettings& graphicsViewSettings() {
    static GraphicsViewSettings settings;
    return settings;
}

std::unique_ptr<RunView> openGraphicsView(RunContext& run) {
    return views::GraphicsView::open(run);
}

} // namespace tarvo
