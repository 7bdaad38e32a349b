// The land of the Natural Earth map as the npm package world-atlas ships it
// (TopoJSON: quantised, delta-encoded arcs shared between the rings of a
// topology), decoded into plain rings of longitude and latitude, and the
// borders between countries as polylines.
#pragma once

#include <filesystem>
#include <vector>

namespace builder {

struct LonLat {
    double lon = 0; // degrees, east positive, -180..180
    double lat = 0; // degrees, north positive
};

using Ring = std::vector<LonLat>;     // closed: the last point repeats the first
using Polyline = std::vector<LonLat>; // open

// Every ring (outer rings and holes alike) of the object `objectName` of the
// topology in `file`, with continuous longitudes: a ring across the
// antimeridian runs on beyond +-180 degrees (the rasteriser wraps it), and a
// ring that runs once round a pole (Antarctica) comes back closed over that
// pole, so that a plain even-odd fill covers it. Throws std::runtime_error
// with the file's name when the file is not such a topology.
std::vector<Ring> readTopologyRings(const std::filesystem::path& file, const char* objectName);

// The arcs of `objectName` that two different geometries share: in a
// countries topology, the land borders between countries (coasts belong to
// one country only).
std::vector<Polyline> readSharedArcs(const std::filesystem::path& file, const char* objectName);

} // namespace builder
