// The planetary data sets as written: decoded back they give the JPL states
// within the quantisation of their scales (oracle: the JPL ephemeris read
// independently), and building twice gives the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "datasets/data_set_factory.h"
#include "short_tree.h"
#include "tarvo/libraries/data_set_parameters.h"
#include "tarvo/libraries/planetary_library.h"

namespace datasets {
namespace {

std::string bytesOf(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every JPL body of every record decodes to the ephemeris state: positions
// within one unit of the fraction word (plus the rounding of the double
// decode); velocities as well, after the scaling along themselves that gives
// the model orbit the post-Newtonian period (below 1e-6 of the speed for
// the planets, 1e-8 for the Moon).
void expectDecodesToEphemeris(const std::filesystem::path& tree, int dataSet, std::size_t recordStride,
                              std::size_t leastSampled = 1)
{
    const auto files = tarvo::dataSetFiles(tree / "BIN", tree / "ASC", dataSet);
    tarvo::EpochTable epochs;
    std::string message;
    ASSERT_TRUE(tarvo::scanLibrary(files.library, epochs, message)) << message;
    tarvo::LibraryDescription description;
    ASSERT_TRUE(tarvo::readLibraryDescription(files.description, epochs.bodiesPerRecord, description, message))
        << message;
    const std::vector<BodyEntry> blocks = dataSetBlocks(dataSet);
    ASSERT_EQ(static_cast<std::size_t>(epochs.bodiesPerRecord), blocks.size());
    auto source = PlanetarySource::open(defaultEphemerisPath, message);
    ASSERT_TRUE(source) << message;
    double largestScaling = 0;
    std::size_t sampled = 0;
    for (std::size_t n = 0; n < epochs.epochs.size(); n += recordStride) {
        tarvo::LibraryRecord record;
        ASSERT_TRUE(tarvo::readLibraryRecord(files.library, epochs.bodiesPerRecord, n, record, message)) << message;
        // Records beyond the ephemeris come from the model (the long-span accuracy tests).
        if (!source->covers(record.epoch)) continue;
        ++sampled;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            if (blocks[b].kind == BodyKind::asteroid) continue;
            BodyState jpl;
            ASSERT_TRUE(source->state(blocks[b], record.epoch, jpl, message)) << message;
            const auto& d = description.bodies[b];
            const double speed = static_cast<double>(
                std::sqrt(jpl.velocity[0] * jpl.velocity[0] + jpl.velocity[1] * jpl.velocity[1] +
                          jpl.velocity[2] * jpl.velocity[2]));
            const double allowed = blocks[b].kind == BodyKind::moon ? 1e-8 : 1e-6;
            for (int c = 0; c < 6; ++c) {
                const double scale = c < 3 ? d.positionScale : d.velocityScale;
                const double expected = static_cast<double>(c < 3 ? jpl.position[c] : jpl.velocity[c - 3]);
                const double decoded = tarvo::decodeLibraryCoordinate(record.bodies[b][c], scale);
                const double quantum = 1.5 / (scale * 4294967295.0) + 4e-16 * std::fabs(expected);
                if (c < 3) {
                    EXPECT_NEAR(decoded, expected, quantum) << blocks[b].name << " coordinate " << c << " record " << n;
                } else {
                    EXPECT_NEAR(decoded, expected, quantum + allowed * speed)
                        << blocks[b].name << " velocity " << c - 3 << " record " << n;
                    largestScaling = std::max(largestScaling, std::fabs(decoded - expected) / speed);
                }
            }
        }
    }
    EXPECT_GE(sampled, leastSampled) << "data set " << dataSet << ": too few records inside the ephemeris";
    ::testing::Test::RecordProperty("largest_velocity_scaling_set" + std::to_string(dataSet),
                                    std::to_string(largestScaling));
}

TEST(BuiltDataSets, DecodeToTheEphemerisWithinTheirQuantisation)
{
    if (!testing::sourcesInstalled()) GTEST_SKIP() << "casacore-data-jpl-de405 or kstars-data is not installed";
    testing::ScratchDirectory scratch;
    DataSetFactory factory(testing::shortSpan());
    std::string message;
    for (int set : {1, 3, 5, 10}) {
        ASSERT_TRUE(testing::writeDataSet(factory, set, scratch.path, message)) << message;
        expectDecodesToEphemeris(scratch.path, set, 1);
    }
}

TEST(BuiltDataSets, TheDataTreeDecodesToTheEphemeris)
{
    const std::filesystem::path tree = TARVO_TEST_TREE;
    if (!std::filesystem::exists(tree / "BIN" / "PL431MND.BIN"))
        GTEST_SKIP() << "no data tree at " << tree << " (configure with TARVO_BUILD_DATA_TREE=ON)";
    if (!std::filesystem::exists(defaultEphemerisPath)) GTEST_SKIP() << "casacore-data-jpl-de405 is not installed";
    // Every 97th record keeps the test short while crossing the whole span
    // (some 3650 records every 10 days inside it).
    for (int set = 1; set <= 10; ++set) expectDecodesToEphemeris(tree, set, 97, 35);
}

TEST(BuiltDataSets, BuildingTwiceGivesTheSameBytes)
{
    if (!testing::sourcesInstalled()) GTEST_SKIP() << "casacore-data-jpl-de405 or kstars-data is not installed";
    testing::ScratchDirectory first, second;
    std::string message;
    for (const auto& dir : {first.path, second.path}) {
        DataSetFactory factory(testing::shortSpan());  // a new factory integrates the asteroids again
        ASSERT_TRUE(testing::writeDataSet(factory, 1, dir, message)) << message;
        ASSERT_TRUE(testing::writeDataSet(factory, 7, dir, message)) << message;
    }
    for (const char* file : {"BIN/PL431BP.BIN", "ASC/PL431BP.DAT", "BIN/PL406M.BIN", "ASC/PL406M.DAT"}) {
        const std::string a = bytesOf(first.path / file), b = bytesOf(second.path / file);
        EXPECT_FALSE(a.empty()) << file;
        EXPECT_TRUE(a == b) << file << " differs between two builds";
    }
}

TEST(BuiltDataSets, LayoutsMatchTheBodyTable)
{
    // Oracle: the fixed index layout of the body table.
    for (int set = 1; set <= 10; ++set) {
        const auto layout = tarvo::dataSetLayout(set, 1000);
        ASSERT_TRUE(layout.ok);
        EXPECT_EQ(static_cast<int>(dataSetBlocks(set).size()), layout.layout.bodyCount) << "data set " << set;
        const auto blocks = dataSetBlocks(set);
        // The block that lands on the Earth's index is the Earth (or the barycentre).
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            const int index = tarvo::librarySlot(set, static_cast<int>(b + 1));
            if (index == layout.layout.earthIndex) {
                EXPECT_TRUE(blocks[b].kind == BodyKind::earth || blocks[b].kind == BodyKind::earthMoonBarycentre)
                    << "data set " << set;
            }
            if (!layout.layout.noMoon && index == layout.layout.moonIndex) {
                EXPECT_EQ(blocks[b].kind, BodyKind::moon) << "data set " << set;
            }
        }
    }
}

TEST(Scales, EveryCoordinateFitsWithTheMostResolution)
{
    DataSetContents c;
    c.dataSet = 5;
    c.blocks = dataSetBlocks(5);
    c.epochs = {0};
    c.states.assign(1, std::vector<BodyState>(c.blocks.size()));
    c.states[0][0].position = {-57.9L, 12, 3};
    c.states[0][0].velocity = {1, -47.87L, 0};
    const auto scales = chooseScales(c);
    EXPECT_LE(57.9 * scales[0].position, 32767.0);
    EXPECT_GT(57.9 * scales[0].position, 32767.0 * 0.9999);  // five digits of the largest scale
    EXPECT_LE(47.87 * scales[0].velocity, 32767.0);
    std::vector<unsigned char> bytes;
    std::string message;
    ASSERT_TRUE(encodeLibrary(c, scales, bytes, message)) << message;
    EXPECT_EQ(bytes.size(), 2 + tarvo::libraryRecordBytes(9));
}

}  // namespace
}  // namespace datasets
