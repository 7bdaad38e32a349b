// Planetary data sets. Oracles: the published coordinate encoding worked by
// hand (f = -1 is 4294967294 / 4294967295), encode/decode round trips,
// small libraries written here and read back, the record-choice and year
// rules, and the taper's end conditions (value and slope) by differences.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <tuple>
#include <utility>

#include "fuzz_matrix.h"
#include "state_file_test_support.h"
#include "tarvo/libraries/data_set_parameters.h"
#include "tarvo/libraries/planetary_library.h"

namespace tarvo::testing {
namespace {

TEST(LibraryCoordinate, PublishedEncoding)
{
    EXPECT_EQ(decodeLibraryCoordinate({0, -1}, 1), 4294967294.0 / 4294967295.0);
    EXPECT_EQ(decodeLibraryCoordinate({3, 0}, 2), 1.5);
    EXPECT_EQ(decodeLibraryCoordinate({-2, 2147483647}, 1), -2 + 2147483647.0 / 4294967295.0);
    EXPECT_EQ(decodeLibraryCoordinate({-2, -2147483647 - 1}, 1), -2 + 2147483647.0 / 4294967295.0);
}

TEST(LibraryCoordinate, EncodingRoundTripsToTheFractionUnit)
{
    for (double scale : {1.0, 100.0, 1000.0})
        for (double v : {0.0, 1e-9, 0.123456789, -0.5, -1.0, 2.75, 31.9, -32.4, 12.999999999999})
            for (double sign : {1.0, -1.0}) {
                LibraryCoordinate c;
                ASSERT_TRUE(encodeLibraryCoordinate(sign * v, scale, c));
                EXPECT_NEAR(decodeLibraryCoordinate(c, scale), sign * v, 0.51 / 4294967295.0 / scale) << v;
            }
    LibraryCoordinate c;
    EXPECT_FALSE(encodeLibraryCoordinate(40000, 1, c));
    EXPECT_FALSE(encodeLibraryCoordinate(NAN, 1, c));
}

struct SmallLibrary : ::testing::Test {
    // K = 13 bodies in the order of data set 2: planets, three asteroids, Moon.
    static constexpr int K = 13;
    void SetUp() override
    {
        library = writeLibrary("PL431MND.BIN", K);
        description = writeDescription("PL431M.DAT", K);
        std::string col;
        for (int i = 0; i <= K; ++i) col += std::to_string(i) + " " + std::to_string(2 * i) + " 255\n";
        colours = scratch.write("PLCOL.DAT", col);
    }
    // A library of `bodies` blocks at the fixture's epochs.
    std::filesystem::path writeLibrary(const std::string& name, int bodies)
    {
        std::string bytes;
        auto put = [&](std::uint64_t v, int n) {
            for (int i = 0; i < n; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xff);
        };
        put(static_cast<std::uint64_t>(bodies), 2);
        for (int epoch : epochs) {
            put(static_cast<std::uint32_t>(epoch), 4);
            for (int b = 1; b <= bodies; ++b)
                for (int c = 0; c < 6; ++c) {
                    LibraryCoordinate stored;
                    EXPECT_TRUE(encodeLibraryCoordinate(coordinate(epoch, b, c, bodies),
                                                        c < 3 ? 100 : 1000, stored));
                    put(static_cast<std::uint16_t>(stored.whole), 2);
                    put(static_cast<std::uint32_t>(stored.fraction), 4);
                }
        }
        const std::filesystem::path file = scratch.path() / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    std::filesystem::path writeDescription(const std::string& name, int bodies)
    {
        std::string dat = "1989100 0.696 0 SUN\n";
        for (int b = 1; b <= bodies; ++b)
            dat += std::to_string(b) + " 0.001 1E-9 " + std::to_string(100 * b) + " 100 1000 BODY" +
                   std::to_string(b) + (b == bodies ? " MOON-LIKE" : "") + "\n";
        return scratch.write(name, dat);
    }
    // Circular orbits: block b at 125 + 15 b Gm from the Sun, inclined by
    // b / 10 radians; the last block (the Moon) 0.4 Gm from the Earth
    // (block 3). Positions Gm, velocities km/s.
    static double coordinate(int epoch, int block, int c, int bodies = K) {
        const bool moon = block == bodies;
        const double G = 0.0004980621312; // Gm^3 / (10^24 kg day^2)
        const double mu = moon ? G * (3 + block) : G * (1989100 + block);
        const double r = moon ? 0.4 : 125 + 15.0 * block;
        const double speed = std::sqrt(mu / r); // Gm/day
        const double angle = speed / r * epoch + block, tilt = block / 10.0;
        const double along[3] = {std::cos(angle), std::sin(angle) * std::cos(tilt),
                                 std::sin(angle) * std::sin(tilt)};
        const double across[3] = {-std::sin(angle), std::cos(angle) * std::cos(tilt),
                                  std::cos(angle) * std::sin(tilt)};
        return c < 3 ? r * along[c] : speed / 0.0864 * across[c - 3];
    }
    // The bytes of a library file.
    static std::string bytesOf(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Offset of coordinate c (0..5) of body block b in record n (from 0).
    static std::size_t offsetOf(std::size_t n, int b, int c) {
        return 2 + n * libraryRecordBytes(K) + 4 + (b - 1) * libraryBodyBytes +
               c * libraryCoordinateBytes;
    }

    ScratchDirectory scratch;
    std::vector<int> epochs = {-4000, -2000, 0, 2000, 4000, 1000};
    std::filesystem::path library, description, colours;
};

TEST_F(SmallLibrary, ScanGivesEpochsAndYears)
{
    EpochTable table;
    std::string message;
    ASSERT_TRUE(scanLibrary(library, table, message)) << message;
    EXPECT_EQ(table.bodiesPerRecord, K);
    EXPECT_EQ(table.epochs, std::vector<std::int32_t>(epochs.begin(), epochs.end()));
    EXPECT_EQ(table.firstYear, static_cast<int>(std::floor(-4000 / 365.25 + 1986)));  // 1975
    EXPECT_EQ(table.lastYear, static_cast<int>(std::floor(4000 / 365.25 + 2014)));    // 2024
}

TEST_F(SmallLibrary, NearestRecordKeepsTheEarlierOnTies)
{
    const std::vector<std::int32_t> e(epochs.begin(), epochs.end());
    EXPECT_EQ(nearestRecord(e, 0), 2u);
    EXPECT_EQ(nearestRecord(e, 500), 2u);     // 0 and 1000 equally near: the earlier in the file
    EXPECT_EQ(nearestRecord(e, 1500), 3u);    // 1000 (last in file) and 2000 tie: 2000 comes first
    EXPECT_EQ(nearestRecord(e, 1200), 5u);
    EXPECT_EQ(nearestRecord(e, -99999), 0u);
}

TEST_F(SmallLibrary, LoadPlacesTheMoonBlockAtIndexTen)
{
    BodyTable table = tableOf(60);
    const DataSetLoad load = loadDataSet({library, description, colours}, 2, 1900.5L, false, false, table);
    ASSERT_TRUE(load.ok) << load.message;
    EXPECT_EQ(load.bodiesPerRecord, K);
    EXPECT_EQ(load.recordEpoch, 2000);
    EXPECT_EQ(load.stillToIntegrate, -99.5L);
    EXPECT_EQ(bodyName(table, 10), "BODY13 MO");   // block 13 is the Moon
    EXPECT_EQ(bodyName(table, 11), "BODY10   ");   // blocks 10-12 move up by one
    EXPECT_EQ(bodyName(table, 3), "BODY3    ");
    EXPECT_EQ(table.mass[10], 13.0L);
    EXPECT_EQ(table.absMag[11], 10.0);            // 1000 / 100
    EXPECT_NEAR(double(table.posX[10]), coordinate(2000, 13, 0), 1e-11);
    EXPECT_NEAR(double(table.velZ[11]), coordinate(2000, 10, 5), 1e-12);
    EXPECT_NEAR(double(table.posY[10]), coordinate(2000, 13, 1), 1e-11);
    EXPECT_EQ(table.posX[0], 0.0L);
    EXPECT_EQ(table.color[10], 10u | 20u << 8 | 255u << 16);  // colours follow the body index
    // Starting at the record, and the tidal option's record nearest J2000.
    EXPECT_EQ(loadDataSet({library, description, colours}, 2, 1900.5L, true, false, table).stillToIntegrate, 0);
    EXPECT_EQ(loadDataSet({library, description, colours}, 2, 3900, false, true, table).recordEpoch, 0);
}

TEST_F(SmallLibrary, SetsWithoutAsteroidsKeepTheFileOrder)
{
    EXPECT_EQ(librarySlot(3, 10), 10);
    EXPECT_EQ(librarySlot(7, 13), 10);
    EXPECT_EQ(librarySlot(1, 14), 14);
    BodyTable table = tableOf(60);
    const DataSetFiles set3 = {writeLibrary("PL431SN.BIN", 10), writeDescription("PL431S.DAT", 10), colours};
    ASSERT_TRUE(loadDataSet(set3, 3, 0, false, false, table).ok);
    EXPECT_EQ(bodyName(table, 10), "BODY10 MO");
    EXPECT_EQ(table.layout.moonIndex, 10);
}

TEST_F(SmallLibrary, ALibraryOfAnotherDataSetIsRefused)
{
    // The 13-body library of data set 2 offered as data set 3 (10 bodies).
    BodyTable table = tableOf(60);
    setBodyName(table, 5, "KEEP");
    const DataSetLoad load = loadDataSet({library, description, colours}, 3, 0, false, false, table);
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.message.find("PL431MND.BIN"), std::string::npos) << load.message;
    EXPECT_EQ(bodyName(table, 5), "KEEP     ");
}

TEST_F(SmallLibrary, APartialLastRecordIsIgnoredWithANotice)
{
    std::ifstream in(library, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    BodyTable table = tableOf(60);
    for (const auto& [name, text] : {std::pair<std::string, std::string>{"CUT.BIN", bytes.substr(0, bytes.size() - 7)},
                                     {"LONG.BIN", bytes + "xyz"}}) {
        const std::filesystem::path file = scratch.write(name, text, false);
        EpochTable scanned;
        std::string message;
        ASSERT_TRUE(scanLibrary(file, scanned, message)) << message;
        EXPECT_EQ(scanned.epochs.size(), name == "CUT.BIN" ? epochs.size() - 1 : epochs.size());
        EXPECT_NE(scanned.notice.find(name), std::string::npos) << scanned.notice;
        const DataSetLoad load = loadDataSet({file, description, colours}, 2, 4000, false, false, table);
        ASSERT_TRUE(load.ok) << load.message;
        EXPECT_NE(load.notice.find(name), std::string::npos);
        EXPECT_EQ(load.recordEpoch, 4000);
    }
}

TEST_F(SmallLibrary, DamagedFilesAreRefusedAndTheTableKept)
{
    BodyTable table = tableOf(60);
    setBodyName(table, 5, "KEEP");
    auto refused = [&](const DataSetFiles& files, const std::string& name) {
        const DataSetLoad load = loadDataSet(files, 2, 0, false, false, table);
        EXPECT_FALSE(load.ok);
        EXPECT_NE(load.message.find(name), std::string::npos) << load.message;
        EXPECT_EQ(bodyName(table, 5), "KEEP     ");
    };
    std::ifstream in(library, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    refused({scratch.write("ONE.BIN", bytes.substr(0, 1), false), description, colours}, "ONE.BIN");
    refused({scratch.write("HEAD.BIN", bytes.substr(0, 2 + 100), false), description, colours}, "HEAD.BIN");
    refused({scratch.write("ZERO.BIN", std::string(2 + 4 + 36 * 13, '\0'), false), description, colours}, "ZERO.BIN");
    std::string negative = bytes;
    negative[1] = static_cast<char>(0x80);
    refused({scratch.write("NEG.BIN", negative, false), description, colours}, "NEG.BIN");
    refused({library, scratch.write("SHORT.DAT", "1989100 0.696 0 SUN\n1 2 3 4 5 6 X\n"), colours}, "SHORT.DAT");
    refused({library, scratch.path() / "NONE.DAT", colours}, "NONE.DAT");
    // A missing colour file leaves the colours as they were.
    EXPECT_TRUE(loadDataSet({library, description, scratch.path() / "NOCOL.DAT"}, 2, 0, false, false, table).ok);
}

// Description fields the free format would read as 0 or as infinity: a
// mass that is text, nan or 9.9e999, a negative Sun mass or radius. Each is
// refused with its line and field, and the table is kept.
TEST_F(SmallLibrary, DescriptionValuesNoBodyCanHaveAreRefusedByLineAndField) {
    std::ifstream in(description, std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t second = good.find('\n') + 1, third = good.find('\n', second) + 1;
    auto withLine = [&](int line, const std::string& text) {
        const std::size_t from = line == 1 ? 0 : line == 2 ? second : third;
        const std::size_t to = good.find('\n', from);
        return good.substr(0, from) + text + good.substr(to);
    };
    BodyTable table = tableOf(60);
    setBodyName(table, 5, "KEEP");
    int n = 0;
    for (const auto& [line, text, words] : std::vector<std::tuple<int, std::string, std::string>>{
             {2, "abc 0.001 1E-9 100 100 1000 BODY1", "line 2: the mass is not a number"},
             {2, "nan 0.001 1E-9 100 100 1000 BODY1", "line 2: the mass is not a number"},
             {3, "9.9e999 0.001 1E-9 100 100 1000 BODY2", "line 3: the mass is not a number"},
             {3, "2 0.001 1E-9 100 100", "line 3: the velocity scale is not a number"},
             {2, "1 -0.001 1E-9 100 100 1000 BODY1", "line 2: the radius is below zero"},
             {2, "-1 0.001 1E-9 100 100 1000 BODY1", "line 2: the mass is below zero"},
             {1, "-1989100 0.696 0 SUN", "line 1: the mass must be above zero"},
             {1, "SUN", "line 1: the mass is not a number"}}) {
        const auto file = scratch.write("BAD" + std::to_string(++n) + ".DAT", withLine(line, text));
        const DataSetLoad load = loadDataSet({library, file, colours}, 2, 0, false, false, table);
        EXPECT_FALSE(load.ok) << text;
        EXPECT_NE(load.message.find(file.filename().string() + ": " + words), std::string::npos)
            << load.message;
        EXPECT_EQ(bodyName(table, 5), "KEEP     ");
    }
}

// A record dated beyond any ephemeris (an epoch word near 2^31) is named
// by the scan with its number; the data set is not loaded.
TEST_F(SmallLibrary, ARecordDatedBeyondAnyEphemerisIsRefusedByRecord) {
    std::string bytes = bytesOf(library);
    for (const std::int32_t epoch : {2147483000, -2147483647 - 1, libraryEpochLimit + 1}) {
        for (int i = 0; i < 4; ++i)
            bytes[2 + 3 * libraryRecordBytes(K) + i] =
                static_cast<char>((static_cast<std::uint32_t>(epoch) >> (8 * i)) & 0xff);
        const auto file = scratch.write("PL431MND.BIN", bytes, false);
        EpochTable table;
        std::string message;
        EXPECT_FALSE(scanLibrary(file, table, message));
        EXPECT_NE(message.find("PL431MND.BIN: record 4: the epoch " + std::to_string(epoch)),
                  std::string::npos)
            << message;
        BodyTable bodies = tableOf(60);
        setBodyName(bodies, 5, "KEEP");
        EXPECT_FALSE(loadDataSet({file, description, colours}, 2, 0, false, false, bodies).ok);
        EXPECT_EQ(bodyName(bodies, 5), "KEEP     ");
    }
    // The limits themselves are epochs a library may hold.
    for (int i = 0; i < 4; ++i)
        bytes[2 + 3 * libraryRecordBytes(K) + i] =
            static_cast<char>((static_cast<std::uint32_t>(-libraryEpochLimit) >> (8 * i)) & 0xff);
    EpochTable table;
    std::string message;
    EXPECT_TRUE(scanLibrary(scratch.write("PL431MND.BIN", bytes, false), table, message))
        << message;
}

// A damaged word that moves a body off its orbit: the record is refused with
// the file, the record, the body and the field, and the table is kept. The
// oracle is the circular orbit each body of the fixture moves on.
TEST_F(SmallLibrary, StatesAbsurdForTheirBodiesAreRefusedByRecordAndBody) {
    const std::string good = bytesOf(library);
    // Record 4 (epoch 2000): add `whole` to the whole word of coordinate c of block b.
    auto damaged = [&](int b, int c, int whole) {
        std::string bytes = good;
        const std::size_t at = offsetOf(3, b, c);
        const auto word = static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                                     static_cast<std::uint8_t>(bytes[at + 1]) << 8);
        const auto changed = static_cast<std::uint16_t>(static_cast<std::int16_t>(word) + whole);
        bytes[at] = static_cast<char>(changed & 0xff);
        bytes[at + 1] = static_cast<char>(changed >> 8);
        return scratch.write("PL431MND.BIN", bytes, false);
    };
    BodyTable table = tableOf(60);
    for (const auto& [b, c, whole, words] : std::vector<std::tuple<int, int, int, std::string>>{
             // The Earth 60 Gm out: the Sun would be seen 1.4 AU away.
             {3, 0, 6000, "body 3 (BODY3): the position is absurd for it"},
             {3, 2, -9000, "body 3 (BODY3): the position is absurd for it"},
             // A planet three times too fast: an open orbit.
             {8, 4, 30000, "body 8 (BODY8): the position or velocity is absurd for it"},
             {8, 3, -15000, "body 8 (BODY8): the position or velocity is absurd for it"},
             // The Moon 0.1 Gm from its place about the Earth.
             {13, 1, 40, "body 13 (BODY13 MO): the position"}}) {
        const auto file = damaged(b, c, whole);
        setBodyName(table, 5, "KEEP");
        const DataSetLoad load =
            loadDataSet({file, description, colours}, 2, 2000, false, false, table);
        EXPECT_FALSE(load.ok) << words;
        EXPECT_NE(
            load.message.find("PL431MND.BIN: record 4 (epoch 2000 days from J2000): " + words),
            std::string::npos)
            << load.message;
        EXPECT_EQ(bodyName(table, 5), "KEEP     ");
        // A sound record beside the damaged one still loads: its other
        // neighbour agrees with it.
        const DataSetLoad beside =
            loadDataSet({file, description, colours}, 2, 4000, false, false, table);
        EXPECT_TRUE(beside.ok) << beside.message;
        EXPECT_EQ(beside.recordEpoch, 4000);
    }
}

// Random damage to the records: every load either refuses the record,
// naming the file, or gives states near the true orbits (the damage was
// below what any check can see: the fraction words and the low bits).
TEST_F(SmallLibrary, RandomDamageNeverLoadsABodyFarFromItsOrbit) {
    const std::string good = bytesOf(library);
    std::mt19937 random(31);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bytes = good;
        for (int k = 0; k < 2; ++k) {
            const std::size_t at = offsetOf(3, 1, 0) + random() % (libraryBodyBytes * K);
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
        }
        const auto file = scratch.write("PL431MND.BIN", bytes, false);
        BodyTable table = tableOf(60);
        const DataSetLoad load =
            loadDataSet({file, description, colours}, 2, 2000, false, false, table);
        if (!load.ok) {
            ++refused;
            EXPECT_NE(load.message.find("PL431MND.BIN: record 4"), std::string::npos)
                << load.message;
            continue;
        }
        for (int b = 1; b <= K; ++b) {
            const int i = librarySlot(2, b);
            const double r =
                std::hypot(double(table.posX[i]), double(table.posY[i]), double(table.posZ[i]));
            const double expected = b == K ? 0.4 : 125 + 15.0 * b;
            EXPECT_NEAR(r / expected, 1, 0.15) << "block " << b << " round " << round;
        }
    }
    EXPECT_GT(refused, 10); // flips of the high bits of whole words
}

// Every reader of a data set's files through the whole fuzz matrix; the
// body table is kept whenever a file is not taken.
TEST_F(SmallLibrary, ReaderFuzzOfTheDataSetFiles) {
    auto loads = [&](const DataSetFiles& files) {
        BodyTable table = tableOf(60);
        setBodyName(table, 5, "KEEP");
        const DataSetLoad load = loadDataSet(files, 2, 2000, false, false, table);
        if (!load.ok && bodyName(table, 5) != "KEEP     ")
            return ReaderVerdict{false, "table changed"};
        return ReaderVerdict{load.ok && load.notice.empty(), load.ok ? load.notice : load.message};
    };
    const std::filesystem::path fuzz = scratch.path() / "fuzz";
    std::filesystem::create_directories(fuzz);
    FuzzOptions binary;
    binary.text = false;
    runReaderFuzz(
        fuzz, "PL431MND.BIN", bytesOf(library),
        [&](const std::filesystem::path& f) {
            return loads({f, description, colours});
        },
        binary);
    runReaderFuzz(fuzz, "PL431M.DAT", bytesOf(description), [&](const std::filesystem::path& f) {
        return loads({library, f, colours});
    });
    runReaderFuzz(fuzz, "PLCOL.DAT", bytesOf(colours), [&](const std::filesystem::path& f) {
        std::vector<std::uint32_t> read;
        std::string message;
        return ReaderVerdict{readLibraryColours(f, K, read, message), message};
    });
    std::string par;
    for (int r = 0; r <= 6; ++r) par += "1E-9 -2E-10 3 0.25 5 -6 7.5 8\r\n";
    runReaderFuzz(fuzz, "DRJNULL.PAR", par, [&](const std::filesystem::path& f) {
        RadialCoefficients read;
        std::string message;
        return ReaderVerdict{readParameterFile(f, 6, read, message), message};
    });
}

// The check of the states never refuses a record of the data sets the
// builder makes: every record of every built library against the records
// before and after it.
TEST(BuiltDataSets, EveryRecordPassesTheCheckOfItsStates) {
    const std::filesystem::path tree = TARVO_TEST_TREE;
    if (!std::filesystem::exists(tree / "BIN" / "PL431MND.BIN"))
        GTEST_SKIP() << "NO DATA TREE BUILT AT " << tree << ": the built libraries are not checked";
    for (int set = firstDataSet; set <= lastDataSet; ++set) {
        const DataSetFiles files = dataSetFiles(tree / "BIN", tree / "ASC", set);
        if (!std::filesystem::exists(files.library)) continue;
        SCOPED_TRACE(files.library.filename().string());
        EpochTable epochs;
        std::string message;
        ASSERT_TRUE(scanLibrary(files.library, epochs, message)) << message;
        LibraryDescription description;
        ASSERT_TRUE(
            readLibraryDescription(files.description, epochs.bodiesPerRecord, description, message))
            << message;
        std::vector<LibraryRecord> records(epochs.epochs.size());
        for (std::size_t n = 0; n < records.size(); ++n)
            ASSERT_TRUE(
                readLibraryRecord(files.library, epochs.bodiesPerRecord, n, records[n], message))
                << message;
        for (std::size_t n = 0; n < records.size(); ++n) {
            std::vector<LibraryRecord> neighbours;
            if (n > 0) neighbours.push_back(records[n - 1]);
            if (n + 1 < records.size()) neighbours.push_back(records[n + 1]);
            ASSERT_EQ(libraryRecordProblem(description, set, records[n], neighbours), "")
                << "record " << n + 1;
        }
    }
}

TEST(RadialCorrection, PolynomialInsideTheFittedRange)
{
    const std::array<double, 8> c = {1, 2, 3, 4, 0.5, -0.25, 0.125, -0.0625};
    const long double T = 2.5L, t = T * 365250;
    const double expected = static_cast<double>(0.5L * T - 0.25L * T * T + 0.125L * T * T * T - 0.0625L * T * T * T * T);
    EXPECT_NEAR(radialCorrection(c, t, 2), expected, 1e-15);
    const long double Tn = -3;
    EXPECT_NEAR(radialCorrection(c, Tn * 365250, 2), double(Tn + 2 * Tn * Tn + 3 * Tn * Tn * Tn + 4 * Tn * Tn * Tn * Tn),
                1e-12);
    EXPECT_EQ(radialCorrection({}, 1e6L, 1), 0);  // data set 1 has no coefficients
}

TEST(RadialCorrection, TaperJoinsTheEndAndVanishesSmoothly)
{
    const std::array<double, 8> c = {1e-3, -2e-4, 3e-5, -4e-6, 2e-3, 1e-4, -3e-5, 2e-6};
    const long double day = 365250;  // one millennium
    auto Q = [&](long double T, int set) { return radialCorrection(c, T * day, set); };
    const long double h = 1e-7L;
    // Joined without a jump in value or slope: the second difference across
    // an end is of order Q'' h^2.
    auto joined = [&](long double end, int set) { return Q(end + h, set) - 2 * Q(end, set) + Q(end - h, set); };
    // Data sets 1-6: the end at T = 9; T = 9.1 lies in the taper, 9.3 beyond.
    EXPECT_NEAR(joined(9, 2), 0, 1e-12);
    EXPECT_NE(Q(9.1L, 2), 0);
    EXPECT_NEAR(Q(9.25L - h, 2), 0, 1e-12);
    EXPECT_NEAR((Q(9.25L - h, 2) - Q(9.25L - 2 * h, 2)) / h, 0, 1e-6);  // arrives with zero slope
    EXPECT_NEAR(joined(9.25L, 2), 0, 1e-12);
    EXPECT_EQ(Q(9.3L, 2), 0);
    // The lower end at T = -10, and data sets 7-9 with their range -5 .. 1.
    EXPECT_NEAR(joined(-10, 4), 0, 1e-12);
    EXPECT_NEAR(Q(-10.25L + h, 4), 0, 1e-12);
    EXPECT_EQ(Q(-10.3L, 4), 0);
    EXPECT_NEAR(joined(1, 8), 0, 1e-12);
    EXPECT_NE(Q(1.1L, 8), 0);
    EXPECT_EQ(Q(1.3L, 8), 0);
    EXPECT_NEAR(Q(-5.25L + h, 8), 0, 1e-12);
}

TEST(ParameterFile, RowsOfEightNumbers)
{
    ScratchDirectory scratch;
    std::string text;
    for (int r = 0; r <= 7; ++r) {
        for (int c = 0; c < 8; ++c) text += std::to_string(r * 10 + c) + (c == 3 ? "\n" : " ");
        text += "\n";
    }
    RadialCoefficients coefficients;
    std::string message;
    ASSERT_TRUE(readParameterFile(scratch.write("DRJSN.PAR", text), 5, coefficients, message)) << message;
    EXPECT_EQ(coefficients.row[0][0], 0);
    EXPECT_EQ(coefficients.row[5][7], 57);
    EXPECT_EQ(coefficients.row[6][0], 0);  // beyond the rows asked for
    EXPECT_EQ(coefficients.row[1000][7], 0);
    EXPECT_FALSE(readParameterFile(scratch.path() / "NONE.PAR", 5, coefficients, message));
    EXPECT_NE(message.find("NONE.PAR"), std::string::npos);
    // Text, nan or an overflowing number is no coefficient: refused by line,
    // never read as 0.
    for (const std::string bad : {"1 2 abc 4\n", "1 nan\n", "9.9e999\n"}) {
        RadialCoefficients kept = coefficients;
        EXPECT_FALSE(readParameterFile(scratch.write("BAD.PAR", "1 2 3 4 5 6 7 8\n" + bad), 5, kept,
                                       message))
            << bad;
        EXPECT_NE(message.find("BAD.PAR: line 2"), std::string::npos) << message;
        EXPECT_EQ(kept.row[5][7], 57);
    }
}

// The satellites of a geocentric run move with the Earth: at every frame
// epoch they take its radial factor, as the Moon does; in other runs the
// minor bodies keep their own.
TEST(RadialCorrections, SatellitesTakeTheEarthsFactor)
{
    BodyTable table = tableOf(500);
    table.layout = dataSetLayout(10, 500).layout;
    const int earth = table.layout.earthIndex, moon = table.layout.moonIndex;
    table.layout.bodyCount = table.layout.lastMajor + 3;
    for (int i = 0; i <= table.layout.bodyCount; ++i) table.relFactorBase[i] = 1e-9 * i;
    RadialCoefficients none{};
    applyRadialCorrections(table, none, 0, 10, false);
    EXPECT_EQ(table.relFactor[moon], table.relFactor[earth]);
    EXPECT_EQ(table.relFactor[table.layout.lastMajor + 2],
              table.relFactorBase[table.layout.lastMajor + 2]);
    for (int i = 0; i <= table.layout.bodyCount; ++i) table.relFactor[i] = table.relFactorBase[i];
    applyRadialCorrections(table, none, 0, 10, true);
    for (int i = table.layout.lastMajor + 1; i <= table.layout.bodyCount; ++i)
        EXPECT_EQ(table.relFactor[i], table.relFactorBase[earth]) << i;
}

}  // namespace
}  // namespace tarvo::testing
