#include "tarvo/shell/progress_display.h"

#include "console/console.h"
#include "fileio/format_mask.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tarvo {

namespace {

constexpr int kBarRow = 23;
constexpr int kTimeRow = 25;
constexpr int kAdaptiveRow = 27; // the last row of the screen
constexpr int kBarLength = 54;
constexpr char32_t kBarGlyph = U'\u2593'; // the dark shade block of the console font

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

ProgressFigures progressFigures(long double done, long double span) {
    ProgressFigures p;
    if (!(std::fabs(span) > 0.0L)) {
        p.fraction = 1.0;
    } else {
        const long double f = std::fabs(done) / std::fabs(span);
        p.fraction = std::isfinite(static_cast<double>(f))
                         ? std::clamp(static_cast<double>(f), 0.0, 1.0)
                         : 1.0;
    }
    p.bar = static_cast<int>(std::lround(kBarLength * p.fraction));
    p.percent = static_cast<int>(std::lround(100.0 * p.fraction));
    return p;
}

std::string timeLeftText(double minutes) {
    if (!std::isfinite(minutes) || minutes < 0) minutes = 0;
    const double hours = std::floor(minutes / 60.0);
    const double rest = minutes - 60.0 * hours;
    return "Time left:" + formatMask("######", static_cast<long double>(hours)) + " h" +
           formatMask(hours == 0 ? " ##.#" : " ##", static_cast<long double>(rest)) + " m";
}

ProgressDisplay::ProgressDisplay(Clock clock) : clock_(clock ? std::move(clock) : steadySeconds) {}

void ProgressDisplay::begin(long double begin, long double span, bool adaptive, int screenWidth) {
    begin_ = begin;
    span_ = span;
    adaptive_ = adaptive;
    margin_ = std::max(0, (screenWidth - 81) / 2);
    shownBar_ = shownPercent_ = -1;
    lastDraw_ = referenceTime_ = clock_();
    referenceFraction_ = 0;
    warmUp_ = -10;
}

void ProgressDisplay::update(long double t) {
    const ProgressFigures p = progressFigures(t - begin_, span_);
    const double now = clock_();
    if (p.bar > shownBar_ || now - lastDraw_ > 1.0) {
        console::setColor(console::Color::LightRed, console::Color::Black);
        console::locate(kBarRow, margin_ + 14);
        for (int i = 0; i < p.bar; ++i) console::putGlyph(kBarGlyph);
        shownBar_ = p.bar;
        lastDraw_ = now;
    }
    if (p.percent > shownPercent_) {
        shownPercent_ = p.percent;
        ++warmUp_;
        if (adaptive_) {
            console::setColor(console::Color::Yellow, console::Color::Black);
            console::printAt(kAdaptiveRow, margin_ + 28, "Adaptive Stepsize On");
        }
        console::setColor(console::Color::White, console::Color::Black);
        console::printAt(kBarRow, margin_ + 69,
                         formatMask("###", static_cast<long double>(p.percent)) + "%");
        const double elapsed = now - referenceTime_;
        const double gained = p.fraction - referenceFraction_;
        bool estimated = false;
        if (elapsed < 40000 && warmUp_ > -7 && gained > 0 && elapsed > 0) {
            const double minutes = (1.0 - p.fraction) * elapsed / gained / 60.0;
            console::printAt(kTimeRow, margin_ + 27, timeLeftText(minutes));
            estimated = true;
        }
        if (elapsed > 3600 || !estimated) {
            referenceTime_ = now;
            referenceFraction_ = p.fraction;
        }
    }
    console::refresh();
}

bool ProgressDisplay::interrupted() {
    auto key = console::pollKey();
    if (!key || key->key != console::Key::Esc) return false;
    console::setColor(console::Color::Yellow, console::Color::Black);
    console::printAt(kTimeRow, margin_ + 10,
                     " Press Esc again if you want to stop, any other key to continue ");
    const bool stop = console::readKey().key == console::Key::Esc;
    console::printAt(kTimeRow, margin_ + 10, std::string(66, ' '));
    return stop;
}

} // namespace tarvo
