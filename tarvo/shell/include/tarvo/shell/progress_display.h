// Progress of a long integration shown without the ephemeris page (the jump
// to the start epoch, searches): a bar, the percentage, the time left, and
// Esc twice to stop. Never writes outside the 27 rows of the run screen and
// never divides by zero: a zero span shows the bar full and no estimate.
#pragma once

#include <functional>
#include <string>

namespace tarvo {

struct ProgressFigures {
    int bar = 0;         // characters of the bar, 0..54
    int percent = 0;     // 0..100
    double fraction = 0; // 0..1
};

// Bar and percentage of having covered `done` of `span` (any signs).
ProgressFigures progressFigures(long double done, long double span);

// "Time left:      2 h 13 m" style text for `minutes` remaining.
std::string timeLeftText(double minutes);

class ProgressDisplay {
  public:
    using Clock = std::function<double()>; // seconds, monotonic

    explicit ProgressDisplay(Clock clock = {});

    // Starts a new span from epoch `begin` (days) covering `span` days.
    void begin(long double begin, long double span, bool adaptive, int screenWidth);
    // Shows the progress at epoch `t`.
    void update(long double t);
    // Polls the keyboard: Esc asks for confirmation, a second Esc returns
    // true (stop here); any other key resumes.
    bool interrupted();

  private:
    Clock clock_;
    long double begin_ = 0, span_ = 0;
    bool adaptive_ = false;
    int margin_ = 0;
    int shownBar_ = -1, shownPercent_ = -1;
    double lastDraw_ = 0, referenceTime_ = 0, referenceFraction_ = 0;
    int warmUp_ = -10;
};

} // namespace tarvo
