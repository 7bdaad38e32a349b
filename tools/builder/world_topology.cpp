// TopoJSON decoding for the world maps: transform, delta-encoded arcs,
// rings built from signed arc indices (~i is arc i reversed).
#include "world_topology.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

namespace builder {

namespace {

using nlohmann::json;

struct Topology {
    std::vector<Polyline> arcs;
    json object; // the GeometryCollection asked for
};

Topology readTopology(const std::filesystem::path& file, const char* objectName) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string() + " (npm package world-atlas)");
    json doc;
    try {
        doc = json::parse(in);
    } catch (const json::exception& e) {
        throw std::runtime_error(file.string() + ": not JSON: " + e.what());
    }
    try {
        if (doc.at("type") != "Topology") throw std::runtime_error("not a TopoJSON topology");
        double scale[2] = {1, 1}, translate[2] = {0, 0};
        const bool quantised = doc.contains("transform");
        if (quantised) {
            const json& t = doc.at("transform");
            for (int k = 0; k < 2; ++k) {
                scale[k] = t.at("scale").at(k).get<double>();
                translate[k] = t.at("translate").at(k).get<double>();
            }
        }
        Topology topology;
        for (const json& arc : doc.at("arcs")) {
            Polyline line;
            double x = 0, y = 0;
            for (const json& p : arc) {
                if (quantised) {
                    x += p.at(0).get<double>();
                    y += p.at(1).get<double>();
                    line.push_back({x * scale[0] + translate[0], y * scale[1] + translate[1]});
                } else {
                    line.push_back({p.at(0).get<double>(), p.at(1).get<double>()});
                }
            }
            topology.arcs.push_back(std::move(line));
        }
        topology.object = doc.at("objects").at(objectName);
        return topology;
    } catch (const json::exception& e) {
        throw std::runtime_error(file.string() + ": unexpected topology layout: " + e.what());
    }
}

const Polyline& arcAt(const Topology& t, long long index) {
    const long long i = index >= 0 ? index : ~index;
    if (i < 0 || i >= static_cast<long long>(t.arcs.size()))
        throw std::runtime_error("arc index " + std::to_string(index) + " out of range");
    return t.arcs[static_cast<std::size_t>(i)];
}

Ring ringFromArcs(const Topology& t, const json& indices) {
    Ring ring;
    for (const json& value : indices) {
        const long long index = value.get<long long>();
        const Polyline& arc = arcAt(t, index);
        Polyline piece = arc;
        if (index < 0) piece.assign(arc.rbegin(), arc.rend());
        // Consecutive arcs share their joining point.
        ring.insert(ring.end(), piece.begin() + (ring.empty() ? 0 : 1), piece.end());
    }
    return ring;
}

// Longitudes made continuous along the ring (a ring that crosses the
// antimeridian runs on past +-180 instead of jumping across the map). A ring
// whose longitudes then turn by a full circle encloses a pole (Antarctica):
// it is closed by a detour along the map's edge over that pole.
Ring unwrapRing(Ring ring) {
    for (std::size_t i = 1; i < ring.size(); ++i) {
        double lon = ring[i].lon;
        while (lon - ring[i - 1].lon > 180) lon -= 360;
        while (lon - ring[i - 1].lon < -180) lon += 360;
        ring[i].lon = lon;
    }
    if (ring.size() < 2 || std::fabs(ring.back().lon - ring.front().lon) < 180) return ring;
    double latitudeSum = 0;
    for (const LonLat& p : ring) latitudeSum += p.lat;
    const double pole = latitudeSum < 0 ? -90.0 : 90.0;
    const LonLat first = ring.front(), last = ring.back();
    ring.push_back({last.lon, pole});
    ring.push_back({first.lon, pole});
    ring.push_back(first);
    return ring;
}

void collectRings(const Topology& t, const json& geometry, std::vector<Ring>& rings) {
    const std::string type = geometry.at("type").get<std::string>();
    if (type == "GeometryCollection") {
        for (const json& g : geometry.at("geometries")) collectRings(t, g, rings);
    } else if (type == "Polygon") {
        for (const json& r : geometry.at("arcs")) rings.push_back(unwrapRing(ringFromArcs(t, r)));
    } else if (type == "MultiPolygon") {
        for (const json& polygon : geometry.at("arcs"))
            for (const json& r : polygon) rings.push_back(unwrapRing(ringFromArcs(t, r)));
    }
}

// Arc indices (unsigned) that a geometry's rings use.
void arcsOfGeometry(const json& geometry, std::set<long long>& used) {
    if (!geometry.contains("arcs")) return;
    const std::string type = geometry.at("type").get<std::string>();
    auto addRing = [&](const json& r) {
        for (const json& v : r) {
            const long long i = v.get<long long>();
            used.insert(i >= 0 ? i : ~i);
        }
    };
    if (type == "Polygon")
        for (const json& r : geometry.at("arcs")) addRing(r);
    if (type == "MultiPolygon")
        for (const json& p : geometry.at("arcs"))
            for (const json& r : p) addRing(r);
}

} // namespace

std::vector<Ring> readTopologyRings(const std::filesystem::path& file, const char* objectName) {
    const Topology t = readTopology(file, objectName);
    std::vector<Ring> rings;
    try {
        collectRings(t, t.object, rings);
    } catch (const json::exception& e) {
        throw std::runtime_error(file.string() + ": unexpected geometry: " + e.what());
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(file.string() + ": " + e.what());
    }
    if (rings.empty()) throw std::runtime_error(file.string() + ": no rings in " + objectName);
    return rings;
}

std::vector<Polyline> readSharedArcs(const std::filesystem::path& file, const char* objectName) {
    const Topology t = readTopology(file, objectName);
    std::map<long long, int> users;
    try {
        for (const json& g : t.object.at("geometries")) {
            std::set<long long> used;
            arcsOfGeometry(g, used);
            for (long long i : used) ++users[i];
        }
    } catch (const json::exception& e) {
        throw std::runtime_error(file.string() + ": unexpected geometry: " + e.what());
    }
    std::vector<Polyline> shared;
    for (const auto& [index, count] : users)
        if (count >= 2) shared.push_back(arcAt(t, index));
    return shared;
}

} // namespace builder
