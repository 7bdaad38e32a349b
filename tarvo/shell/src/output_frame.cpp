#include "tarvo/shell/output_frame.h"

#include "tarvo/reductions/frame_settings.h"

namespace tarvo {

FrameState outputFrame(OutputEquinox equinox, long double t, double referenceYear, bool nutation,
                       bool lieske, const PrecessionTable& table) {
    FrameState frame;
    FrameOptions options;
    options.lieske = lieske;
    long double epoch = 0.0L;
    if (equinox == OutputEquinox::referenceYear) {
        epoch = referenceYearEpoch(referenceYear);
    } else if (equinox == OutputEquinox::ofDate) {
        epoch = t;
        options.principalNutation = nutation;
        options.fullNutation = nutation;
    }
    computeFrame(frame, epoch, options, table);
    return frame;
}

} // namespace tarvo
