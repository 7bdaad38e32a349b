// The frame the ephemeris page is printed in: J2000, the mean equator of a
// reference year, or the equator of the output epoch with or without
// nutation.  Kept apart from the page so that it reads the reductions'
// frame settings without the run loop's own switches.
#pragma once

#include "tarvo/reductions/frames.h"

namespace tarvo {

enum class OutputEquinox { j2000, referenceYear, ofDate };

/*
** outputFrame: frame state of the page's output frame.
**
** Given:
**   equinox        J2000, a reference year or the equinox of date
**   t              output epoch, days from J2000.0, TT
**   referenceYear  decimal year (referenceYear only)
**   nutation       true: the 63-term series of 1980 (of date only)
**   lieske         the Lieske variant of the precession (chosen and permitted)
**   table          long-term precession table
** Returned:
**   (function)     the frame state; for J2000 the frame of epoch 0 without
**                  nutation, which the caller does not rotate with
** Notes: a reference year stands for January 1.0 of its integer part plus
**   365.25 days times the fraction, mean equinox (no nutation).  The page
**   uses the full series for apparent places: the principal term alone,
**   good enough for the force model, leaves errors of about 1" there.
*/
FrameState outputFrame(OutputEquinox equinox, long double t, double referenceYear, bool nutation,
                       bool lieske, const PrecessionTable& table);

} // namespace tarvo
