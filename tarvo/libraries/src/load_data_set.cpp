#include <algorithm>
#include <cstdlib>

#include "tarvo/libraries/planetary_library.h"

namespace tarvo {

int librarySlot(int dataSet, int block)
{
    const bool moonAfterAsteroids = dataSet == 1 || dataSet == 2 || dataSet == 6 || dataSet == 7;
    if (!moonAfterAsteroids || block <= 9 || block >= 14) return block;
    return block == 13 ? 10 : block + 1;  // blocks 10-12 are asteroids at 11-13
}

DataSetLoad loadDataSet(const DataSetFiles& files, int dataSet, long double target, bool startAtRecord,
                        bool tidalValueSet, BodyTable& table)
{
    DataSetLoad load;
    EpochTable epochs;
    if (!scanLibrary(files.library, epochs, load.message)) return load;
    const int K = epochs.bodiesPerRecord;
    const DataSetLayoutResult layout = dataSetLayout(dataSet, table.maxBodies);
    if (layout.ok && K != layout.layout.bodyCount) {
        load.message = files.library.string() + ": holds " + std::to_string(K) + " bodies per record; data set " +
                       std::to_string(dataSet) + " has " + std::to_string(layout.layout.bodyCount);
        return load;
    }
    if (K > table.maxBodies - 1) {
        load.message = files.library.string() + ": " + std::to_string(K) + " bodies do not fit the body table";
        return load;
    }
    LibraryDescription description;
    if (!readLibraryDescription(files.description, K, description, load.message)) return load;
    // The colour file is cosmetic: without it the bodies keep their colours.
    // Its lines are the colours of body indices 0 .. K.
    std::vector<std::uint32_t> colours;
    std::string ignored;
    if (!files.colours.empty()) readLibraryColours(files.colours, K, colours, ignored);

    const std::size_t index = nearestRecord(epochs.epochs, tidalValueSet ? 0 : target);
    LibraryRecord record;
    if (!readLibraryRecord(files.library, K, index, record, load.message)) return load;
    // The two records nearest in time judge whether the states are possible.
    std::vector<std::size_t> nearest;
    for (std::size_t n = 0; n < epochs.epochs.size(); ++n) {
        if (epochs.epochs[n] == record.epoch) continue;
        nearest.push_back(n);
    }
    auto apart = [&](std::size_t n) {
        return std::llabs(static_cast<long long>(epochs.epochs[n]) - record.epoch);
    };
    std::stable_sort(nearest.begin(), nearest.end(),
                     [&](std::size_t a, std::size_t b) { return apart(a) < apart(b); });
    if (nearest.size() > 2) nearest.resize(2);
    std::vector<LibraryRecord> neighbours(nearest.size());
    for (std::size_t k = 0; k < nearest.size(); ++k)
        if (!readLibraryRecord(files.library, K, nearest[k], neighbours[k], load.message))
            return load;
    if (const std::string problem = libraryRecordProblem(description, dataSet, record, neighbours);
        !problem.empty()) {
        load.message = files.library.string() + ": record " + std::to_string(index + 1) +
                       " (epoch " + std::to_string(record.epoch) + " days from J2000): " + problem +
                       "; the file is damaged";
        return load;
    }

    // Everything is read: now the table changes.
    auto place = [&](int i, const LibraryBodyDescription& d) {
        table.mass[i] = d.mass;
        table.massField[i] = d.mass;
        table.radius[i] = d.radius;
        table.relFactor[i] = d.relFactor;
        table.absMag[i] = d.absoluteMagnitude;
        table.isComet[i] = suiteFalse;
        setBodyName(table, i, d.name);
        if (static_cast<std::size_t>(i) < colours.size()) table.color[i] = colours[i];
    };
    place(0, description.sun);
    table.posX[0] = table.posY[0] = table.posZ[0] = 0;
    table.velX[0] = table.velY[0] = table.velZ[0] = 0;
    for (int b = 1; b <= K; ++b) {
        const int i = librarySlot(dataSet, b);
        const LibraryBodyDescription& d = description.bodies[b - 1];
        place(i, d);
        const auto& c = record.bodies[b - 1];
        table.posX[i] = decodeLibraryCoordinate(c[0], d.positionScale);
        table.posY[i] = decodeLibraryCoordinate(c[1], d.positionScale);
        table.posZ[i] = decodeLibraryCoordinate(c[2], d.positionScale);
        table.velX[i] = decodeLibraryCoordinate(c[3], d.velocityScale);
        table.velY[i] = decodeLibraryCoordinate(c[4], d.velocityScale);
        table.velZ[i] = decodeLibraryCoordinate(c[5], d.velocityScale);
    }
    if (dataSet == 3 || dataSet == 8 || dataSet == 10) table.layout.moonIndex = K;

    load.ok = true;
    load.notice = epochs.notice;
    load.bodiesPerRecord = K;
    load.recordEpoch = record.epoch;
    load.stillToIntegrate = startAtRecord ? 0 : target - record.epoch;
    return load;
}

}  // namespace tarvo
