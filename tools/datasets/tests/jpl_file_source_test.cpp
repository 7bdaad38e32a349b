// Data sets 1-6 built by the data-tree builder from a user's JPL binary file
// (--jpl=FILE), here the DE431 excerpt of the shared reference data (data
// JD 2451504.5 to 2451696.5). Oracles: the file itself read with the JPL
// reader (positions, velocities, header GMs) and its published span. A file
// this short reaches neither the asteroid elements' epoch nor a radial-factor
// fitting run; the builder still makes short libraries of it, and refuses
// what it cannot make with a message naming the cause.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "datasets/data_set_factory.h"
#include "jpl/ephemeris.h"
#include "short_tree.h"
#include "tarvo/libraries/data_set_parameters.h"
#include "tarvo/libraries/planetary_library.h"

namespace datasets {
namespace {

namespace fs = std::filesystem;

const fs::path kDe431 = fs::path(TARVO_SHARED_DATA_DIR) / "jpl" / "lnxp0000.431";

#define SKIP_WITHOUT_DE431()                                                                            \
    do {                                                                                                \
        if (!fs::exists(kDe431))                                                                        \
            GTEST_SKIP() << kDe431.string() << " is absent; the shared reference data is not installed"; \
    } while (0)

// The whole multiples of 10 days from J2000 inside the file's data, with one
// day of margin at each end: JD 2451515.0 (1999-12-02) to 2451695.0 (2000-05-30).
std::vector<std::int32_t> excerptEpochs()
{
    std::vector<std::int32_t> epochs;
    for (std::int32_t t = -30; t <= 150; t += 10) epochs.push_back(t);
    return epochs;
}

// Every JPL body of every record against the file: positions within the
// library's quantisation (one unit of the fraction word and the rounding of
// the double decode), velocities as well after the scaling along themselves
// that gives the model orbit the post-Newtonian period (1e-6 of the speed).
void expectRecordsAreTheFile(const fs::path& tree, int dataSet, jpl::Ephemeris& file)
{
    SCOPED_TRACE("data set " + std::to_string(dataSet));
    const auto files = tarvo::dataSetFiles(tree / "BIN", tree / "ASC", dataSet);
    tarvo::EpochTable epochs;
    std::string message;
    ASSERT_TRUE(tarvo::scanLibrary(files.library, epochs, message)) << message;
    EXPECT_EQ(epochs.epochs, excerptEpochs());
    tarvo::LibraryDescription description;
    ASSERT_TRUE(tarvo::readLibraryDescription(files.description, epochs.bodiesPerRecord, description, message))
        << message;
    const std::vector<BodyEntry> blocks = dataSetBlocks(dataSet);
    ASSERT_EQ(static_cast<std::size_t>(epochs.bodiesPerRecord), blocks.size());
    for (std::size_t n = 0; n < epochs.epochs.size(); ++n) {
        tarvo::LibraryRecord record;
        ASSERT_TRUE(tarvo::readLibraryRecord(files.library, epochs.bodiesPerRecord, n, record, message)) << message;
        const long double t = record.epoch;
        const long double jdTdb = j2000JulianDate + t + tdbMinusTt(t) / secondsPerDay;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            if (blocks[b].kind == BodyKind::asteroid) continue;
            const jpl::Body centre = blocks[b].kind == BodyKind::moon ? jpl::Body::Earth : jpl::Body::Sun;
            jpl::StateVector s;
            ASSERT_TRUE(file.state(static_cast<jpl::Body>(blocks[b].jplNumber), centre, jdTdb, s, message,
                                   jpl::LengthUnit::Kilometre))
                << message;
            long double speed2 = 0;
            for (long double v : s.velocity) speed2 += v * v;
            const double speed = static_cast<double>(std::sqrt(speed2) / secondsPerDay);  // km/s
            const auto& d = description.bodies[b];
            for (int c = 0; c < 6; ++c) {
                const double scale = c < 3 ? d.positionScale : d.velocityScale;
                const double expected = static_cast<double>(c < 3 ? s.position[c] / 1e6L  // Gm
                                                                  : s.velocity[c - 3] / secondsPerDay);  // km/s
                const double decoded = tarvo::decodeLibraryCoordinate(record.bodies[b][c], scale);
                const double quantum = 1.5 / (scale * 4294967295.0) + 4e-16 * std::fabs(expected);
                EXPECT_NEAR(decoded, expected, c < 3 ? quantum : quantum + 1e-6 * speed)
                    << blocks[b].name << (c < 3 ? " position " : " velocity ") << c % 3 << " at day " << t;
            }
        }
    }
    // The masses of the Sun and of the major-block asteroids are the file's.
    std::string ignored;
    auto source = PlanetarySource::open(kDe431, ignored);
    ASSERT_TRUE(source);
    EXPECT_EQ(description.sun.mass, source->sunMass());
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (*blocks[b].jplMassConstant != '\0' && blocks[b].kind == BodyKind::asteroid) {
            EXPECT_EQ(description.bodies[b].mass, source->headerMass(blocks[b].jplMassConstant)) << blocks[b].name;
        }
    }
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(DataSetsFromAJplFile, TheBuilderMakesSetsOneToSixOfTheFilesSpan)
{
    SKIP_WITHOUT_DE431();
    if (!testing::sourcesInstalled())
        GTEST_SKIP() << "casacore-data-jpl-de405 or kstars-data is not installed (the asteroids start from them)";
    const fs::path builder = fs::path(TARVO_BIN_DIR) / "tarvo-build-data";
    if (!fs::exists(builder)) GTEST_SKIP() << "the data-tree builder is not built: " << builder;
    testing::ScratchDirectory tree;
    const fs::path log = tree.path / "build.log";
    for (const char* only : {"PL431", "TITLE"}) {
        const std::string command = "\"" + builder.string() + "\" --tree \"" + tree.path.string() + "\" --only " +
                                    only + " --span=none --jpl=\"" + kDe431.string() + "\" > \"" + log.string() +
                                    "\" 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n" << readText(log);
    }

    // The title names the file's ephemeris and the years its records span.
    std::ifstream title(tree.path / "ASC" / "TITLE.121", std::ios::binary);
    std::string line;
    for (int k = 0; k < 3; ++k) std::getline(title, line);
    EXPECT_NE(line.find("Sets 1-6 from JPL DE431 (1999-2000)"), std::string::npos) << line;

    std::string message;
    auto file = jpl::Ephemeris::open(kDe431, message);
    ASSERT_TRUE(file) << message;
    for (int set = 1; set <= 6; ++set) expectRecordsAreTheFile(tree.path, set, *file);
}

// The title names the years the records span when --first-day and
// --last-day narrow the files: DE431's excerpt from day 0 on, DE405 to
// day 3650 (the first of January 2010 is day 3653).
TEST(DataSetsFromAJplFile, TheTitleNamesTheSpanTheRecordsCover)
{
    SKIP_WITHOUT_DE431();
    if (!testing::sourcesInstalled()) GTEST_SKIP() << "casacore-data-jpl-de405 is not installed";
    const fs::path builder = fs::path(TARVO_BIN_DIR) / "tarvo-build-data";
    if (!fs::exists(builder)) GTEST_SKIP() << "the data-tree builder is not built: " << builder;
    testing::ScratchDirectory tree;
    const fs::path log = tree.path / "build.log";
    const std::string command = "\"" + builder.string() + "\" --tree \"" + tree.path.string() +
                                "\" --only TITLE --first-day=0 --last-day=3650 --jpl=\"" + kDe431.string() +
                                "\" > \"" + log.string() + "\" 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n" << readText(log);
    std::ifstream title(tree.path / "ASC" / "TITLE.121", std::ios::binary);
    std::string line;
    for (int k = 0; k < 3; ++k) std::getline(title, line);
    // The records beyond the files come from the integration over the default span.
    EXPECT_NE(line.find("Sets 1-6 from JPL DE431 (2000-2000), integrated -3000 to 3000, 7-9 from JPL DE405 "
                        "(2000-2009), integrated -3000 to 3000"),
              std::string::npos)
        << line;
}

// The title names the years of the integration; with sets 1-6 integrated
// over the span of DE431 it still fits the menu's 80 columns.
TEST(DataSetsFromAJplFile, TheTitleNamesTheIntegratedYears)
{
    if (!fs::exists(defaultEphemerisPath)) GTEST_SKIP() << "casacore-data-jpl-de405 is not installed";
    const fs::path builder = fs::path(TARVO_BIN_DIR) / "tarvo-build-data";
    if (!fs::exists(builder)) GTEST_SKIP() << "the data-tree builder is not built: " << builder;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "Planetary files from JPL DE405 (1959-2060), integrated -3000 to 3000"},
        {"--span=none", "Planetary files from JPL DE405 (1959-2060)"},
        {"--span-1-6=de431", "JPL DE405 (1959-2060), sets 1-6, integrated -13000 to 17000, 7-9 -3000 to 3000"},
    };
    for (const auto& [option, expected] : cases) {
        testing::ScratchDirectory tree;
        const fs::path log = tree.path / "build.log";
        const std::string command = "\"" + builder.string() + "\" --tree \"" + tree.path.string() +
                                    "\" --only TITLE " + option + " > \"" + log.string() + "\" 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n" << readText(log);
        std::ifstream title(tree.path / "ASC" / "TITLE.121", std::ios::binary);
        std::string line;
        for (int k = 0; k < 3; ++k) std::getline(title, line);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        EXPECT_EQ(line, expected) << option;
        EXPECT_LE(line.size(), 80u) << option;
    }
}

// A span the builder cannot read is refused with the form it wants, and
// nothing is written.
TEST(DataSetsFromAJplFile, ABadSpanIsRefusedAndNothingIsWritten)
{
    const fs::path builder = fs::path(TARVO_BIN_DIR) / "tarvo-build-data";
    if (!fs::exists(builder)) GTEST_SKIP() << "the data-tree builder is not built: " << builder;
    for (const char* span : {"--span=abc", "--span=3000,-3000", "--span=-3000", "--span-1-6=1,2,3",
                             "--span=-999999,0"}) {
        testing::ScratchDirectory tree;
        const fs::path log = tree.path / "build.log";
        const std::string command = "\"" + builder.string() + "\" --tree \"" + tree.path.string() +
                                    "\" --only TITLE " + span + " > \"" + log.string() + "\" 2>&1";
        EXPECT_NE(std::system(command.c_str()), 0) << command;
        const std::string text = readText(log);
        EXPECT_NE(text.find("give the first and the last year as FIRST,LAST"), std::string::npos) << span << "\n" << text;
        EXPECT_FALSE(fs::exists(tree.path / "ASC" / "TITLE.121")) << span;
    }
}

TEST(DataSetsFromAJplFile, WhatAShortFileCannotGiveIsRefusedWithTheReason)
{
    SKIP_WITHOUT_DE431();
    if (!fs::exists(defaultAsteroidElementsPath)) GTEST_SKIP() << "kstars-data is not installed";
    DataSetContents contents;
    std::string message;

    // No other ephemeris reaches the elements' epoch (2022-08-09) to start the planets.
    SourceOptions alone;
    alone.ephemeris = alone.oldEphemeris = kDe431;
    DataSetFactory lonely(alone);
    EXPECT_FALSE(lonely.contents(1, contents, message));
    EXPECT_NE(message.find("JD 2459800.5"), std::string::npos) << message;
    EXPECT_NE(message.find("DE431 (1999-2000)"), std::string::npos) << message;
    // Data sets without asteroids need nothing beyond the file.
    EXPECT_TRUE(lonely.contents(3, contents, message)) << message;
    EXPECT_EQ(contents.epochs, excerptEpochs());

    // No record epoch inside the limits.
    SourceOptions between = alone;
    between.firstDay = 1;
    between.lastDay = 9;
    DataSetFactory none(between);
    EXPECT_FALSE(none.contents(3, contents, message));
    EXPECT_NE(message.find("no record epoch"), std::string::npos) << message;
    EXPECT_NE(message.find("DE431 covers -39 to 150"), std::string::npos) << message;

    // More records than a data set is built with.
    SourceOptions crowded = alone;
    crowded.mostRecords = 10;
    DataSetFactory many(crowded);
    EXPECT_FALSE(many.contents(3, contents, message));
    EXPECT_NE(message.find("19 records every 10 days"), std::string::npos) << message;

    // Records beyond the ephemeris count against the same bound, before any
    // integration: the multiples of 100 days within 10 years of each end (36 and 37).
    SourceOptions extended = alone;
    extended.mostRecords = 80;
    extended.extendYears = 10;
    DataSetFactory beyond(extended);
    EXPECT_FALSE(beyond.contents(3, contents, message));
    EXPECT_NE(message.find("73 records every 100 days beyond the ephemeris"), std::string::npos) << message;
}

}  // namespace
}  // namespace datasets
