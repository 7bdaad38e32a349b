// Body table storage: sizing, creation, body removal and name handling.
// Pure bookkeeping; the physics lives in the force model files.
#include "tarvo/dynamics/body_table.h"
#include "fileio/text_util.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <new>

namespace tarvo {

namespace {

template <typename T>
void resizeZero(std::vector<T>& v, std::size_t n) {
  v.assign(n, T{});
}

std::size_t physicalMemoryBytes() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}

}  // namespace

std::size_t bodyTableBytes(int maxBodies) {
  const std::size_t n = static_cast<std::size_t>(maxBodies) + 3;
  const std::size_t perBody = 8 * sizeof(long double)        // masses, state
                              + bodyNameLength + sizeof(std::uint32_t)
                              + 12 * sizeof(double)          // record data
                              + sizeof(Impulse) + 4 * sizeof(std::int32_t);
  return n * perBody;
}

CapacityResult maxBodiesFromCommandLine(std::string_view text) {
  CapacityResult r;
  const long double value = readFreeNumber(text);
  if (!(value >= commandLineMaxBodiesThreshold)) {
    r.ok = true;
    r.maxBodies = defaultMaxBodies;
    return r;
  }
  if (value > maxBodiesLimit) {
    r.ok = false;
    r.maxBodies = defaultMaxBodies;
    r.message = "Table size " + std::string(text) + " is above the limit of " +
                std::to_string(maxBodiesLimit) + " bodies";
    return r;
  }
  r.ok = true;
  r.maxBodies = static_cast<int>(value);
  if (r.maxBodies < minimumMaxBodies) {
    r.message = "Table size raised to " + std::to_string(minimumMaxBodies) +
                " bodies, the least a data set needs";
    r.maxBodies = minimumMaxBodies;
  }
  return r;
}

CapacityResult createBodyTable(int maxBodies, BodyTable& table) {
  CapacityResult r;
  r.maxBodies = maxBodies;
  if (maxBodies < minimumMaxBodies || maxBodies > maxBodiesLimit) {
    r.message = "Table size " + std::to_string(maxBodies) + " is outside " +
                std::to_string(minimumMaxBodies) + " .. " +
                std::to_string(maxBodiesLimit) + " bodies";
    return r;
  }
  // The arrays are zero-filled at once, so a table larger than the machine's
  // memory would end the process later; refuse it here with a message.
  const std::size_t memory = physicalMemoryBytes();
  if (memory != 0 && bodyTableBytes(maxBodies) > memory / 2) {
    r.message = "Not enough memory for a table of " + std::to_string(maxBodies) +
                " bodies";
    return r;
  }
  BodyTable fresh;
  fresh.maxBodies = maxBodies;
  const std::size_t n = static_cast<std::size_t>(maxBodies) + 3;
  try {
    resizeZero(fresh.mass, n);
    resizeZero(fresh.stepMass, n);
    resizeZero(fresh.posX, n);
    resizeZero(fresh.posY, n);
    resizeZero(fresh.posZ, n);
    resizeZero(fresh.velX, n);
    resizeZero(fresh.velY, n);
    resizeZero(fresh.velZ, n);
    std::array<char, bodyNameLength> blank;
    blank.fill(' ');
    fresh.name.assign(n, blank);
    resizeZero(fresh.color, n);
    resizeZero(fresh.massField, n);
    resizeZero(fresh.radius, n);
    resizeZero(fresh.isComet, n);
    resizeZero(fresh.absMag, n);
    resizeZero(fresh.relFactor, n);
    resizeZero(fresh.relFactorBase, n);
    resizeZero(fresh.objectNumber, n);
    resizeZero(fresh.A1, n);
    resizeZero(fresh.A2, n);
    resizeZero(fresh.A3, n);
    resizeZero(fresh.tau, n);
    resizeZero(fresh.impulse, n);
    resizeZero(fresh.nonGravFlag, n);
    resizeZero(fresh.earthFigureFlag, n);
    resizeZero(fresh.collisionFlag, n);
  } catch (const std::bad_alloc&) {
    r.message = "Not enough memory for a table of " + std::to_string(maxBodies) +
                " bodies";
    return r;
  }
  fresh.hiddenPlanet.fill(suiteFalse);
  fresh.layout.moonIndex = maxBodies;
  fresh.layout.noMoon = true;
  table = std::move(fresh);
  r.ok = true;
  return r;
}

DataSetLayoutResult dataSetLayout(int dataSet, int maxBodies) {
  DataSetLayoutResult r;
  BodyLayout& l = r.layout;
  l.earthIndex = 3;
  l.moonIndex = 10;
  l.noMoon = false;
  switch (dataSet) {
    case 1: l.lastMajor = 13; l.lastMassive = 45; break;
    case 2: case 7: l.lastMajor = 13; l.lastMassive = 13; break;
    case 3: case 8: l.lastMajor = 10; l.lastMassive = 10; break;
    case 4: l.lastMajor = 12; l.lastMassive = 12; l.moonIndex = maxBodies; l.noMoon = true; break;
    case 5: case 9: l.lastMajor = 9; l.lastMassive = 9; l.moonIndex = maxBodies; l.noMoon = true; break;
    case 6: l.lastMajor = 13; l.lastMassive = 26; break;
    case 10: l.earthIndex = 2; l.moonIndex = 6; l.lastMajor = 6; l.lastMassive = 6; break;
    default: return r;
  }
  l.bodyCount = l.lastMassive;
  r.ok = true;
  return r;
}

void copyBody(BodyTable& t, int from, int to) {
  if (from == to) return;
  t.mass[to] = t.mass[from];
  t.stepMass[to] = t.stepMass[from];
  t.posX[to] = t.posX[from];
  t.posY[to] = t.posY[from];
  t.posZ[to] = t.posZ[from];
  t.velX[to] = t.velX[from];
  t.velY[to] = t.velY[from];
  t.velZ[to] = t.velZ[from];
  t.name[to] = t.name[from];
  t.color[to] = t.color[from];
  t.massField[to] = t.massField[from];
  t.radius[to] = t.radius[from];
  t.isComet[to] = t.isComet[from];
  t.absMag[to] = t.absMag[from];
  t.relFactor[to] = t.relFactor[from];
  t.relFactorBase[to] = t.relFactorBase[from];
  t.objectNumber[to] = t.objectNumber[from];
  t.A1[to] = t.A1[from];
  t.A2[to] = t.A2[from];
  t.A3[to] = t.A3[from];
  t.tau[to] = t.tau[from];
  t.impulse[to] = t.impulse[from];
  t.nonGravFlag[to] = t.nonGravFlag[from];
  t.earthFigureFlag[to] = t.earthFigureFlag[from];
  t.collisionFlag[to] = t.collisionFlag[from];
  if (to > 0 && to < hiddenPlanetSlots) {
    t.hiddenPlanet[to] = (from < hiddenPlanetSlots) ? t.hiddenPlanet[from] : suiteFalse;
  }
}

void removeBody(BodyTable& t, int k) {
  BodyLayout& l = t.layout;
  const int last = l.bodyCount;
  if (k < 0 || k > last) return;
  if (k == l.moonIndex && !l.noMoon) {
    l.moonIndex = t.maxBodies;
    l.noMoon = true;
  }
  if (k == l.earthIndex) l.earthIndex = 0;
  // The body at `from` fills the hole at `to`; the Earth and the Moon keep
  // their indices pointing at themselves.
  auto moveInto = [&](int from, int to) {
    if (from == to) return;
    copyBody(t, from, to);
    if (l.earthIndex == from) l.earthIndex = to;
    if (!l.noMoon && l.moonIndex == from) l.moonIndex = to;
  };
  // The blocks stay whole: a hole in the majors takes the last major, the
  // hole that leaves among the massive bodies takes the last of them, and
  // the last body fills what remains.
  const int major = std::min(l.lastMajor, last);
  const int massive = std::min(std::max(l.lastMassive, l.lastMajor), last);
  int hole = k;
  if (hole <= major) {
    moveInto(major, hole);
    hole = major;
    l.lastMajor = major - 1;
  }
  if (hole <= massive) {
    moveInto(massive, hole);
    hole = massive;
    l.lastMassive = massive - 1;
  }
  moveInto(last, hole);
  l.bodyCount = last - 1;
  if (l.lastMajor > l.bodyCount) l.lastMajor = l.bodyCount;
  if (l.lastMassive > l.bodyCount) l.lastMassive = l.bodyCount;
}

void setBodyName(BodyTable& t, int i, std::string_view text) {
  std::array<char, bodyNameLength> n;
  n.fill(' ');
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), bodyNameLength), n.begin());
  t.name[i] = n;
}

std::string bodyName(const BodyTable& t, int i) {
  return std::string(t.name[i].begin(), t.name[i].end());
}

bool isStoredGeocentric(const BodyTable& t, int i, bool satelliteMode) {
  if (i == t.layout.moonIndex && !t.layout.noMoon) return true;
  return satelliteMode && i > t.layout.lastMajor;
}

std::array<long double, 3> heliocentricPosition(const BodyTable& t, int i,
                                                bool satelliteMode) {
  std::array<long double, 3> p{t.posX[i], t.posY[i], t.posZ[i]};
  if (isStoredGeocentric(t, i, satelliteMode)) {
    const int e = t.layout.earthIndex;
    p[0] += t.posX[e];
    p[1] += t.posY[e];
    p[2] += t.posZ[e];
  }
  p[0] -= t.posX[0];
  p[1] -= t.posY[0];
  p[2] -= t.posZ[0];
  return p;
}

}  // namespace tarvo
