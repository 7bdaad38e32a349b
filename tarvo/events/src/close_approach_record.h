// The lines of MINDIST.DAT for the spatial kind: the title, the frame line,
// the column header and one record per event.
#pragma once

#include "tarvo/events/close_approach.h"

#include "tarvo/events/event_search.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tarvo {

struct BodyTable;

struct SpatialRecordContext {
    const BodyTable* table = nullptr;
    bool ecliptic = true;            // longitudes and latitudes, else RA and Dec
    long double cosObliquity = 1.0L; // the obliquity of the frame in use
    long double sinObliquity = 0.0L;
    long double au = 149.5978707L;   // Gm
    long double libraryEpoch = 0.0L; // days from J2000 (0: no library read)
    long double nominalStep = 0.0L;  // days
};

// The header lines of the file (title, frame, columns).
std::vector<std::string> spatialHeader(bool farthest, bool adaptive, bool ecliptic);

// The body column of body i: its catalogue number, or its index and "C".
std::string bodyColumn(const BodyTable& table, int i);

/*
** spatialRecord: one line of MINDIST.DAT.
** Given: the event, its encounter quantities, the heliocentric positions of
**   both bodies at the event (Gm, frame of the table), the length of the
**   step it was found in and whether that step was shortened.
*/
std::string spatialRecord(const SpatialRecordContext& c, const SpatialEvent& ev, const Encounter& q,
                          const std::array<long double, 3>& r1,
                          const std::array<long double, 3>& r2, long double stepLength,
                          bool shortened);

// The end of a close-approach search of either kind: CLOSAPP.LST lists
// every body that had an event (its catalogue number, or its index, and its
// name); the summary shows MINDIST.DAT.
SearchSummary finishCloseApproachFiles(const BodyTable& table, const std::vector<char>& hadEvent,
                                       int events, const std::filesystem::path& closapp,
                                       const std::filesystem::path& mindist);

} // namespace tarvo
