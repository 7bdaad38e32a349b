// Damaged, truncated, oversized and foreign files: every reader must refuse
// them with a message naming the file, and never crash or read out of bounds.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <random>

#include "ephemeris_test_data.h"

namespace jpl::testing {
namespace {

namespace fs = std::filesystem;

class Scratch {
public:
    Scratch()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("tarvo_jpl_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~Scratch() { fs::remove_all(dir_); }
    const fs::path& dir() const { return dir_; }

private:
    fs::path dir_;
};

std::vector<char> readAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path& file, const std::vector<char>& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> garbage(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<char> bytes(count);
    for (char& b : bytes) b = static_cast<char>(random() & 0xff);
    return bytes;
}

// Opening must fail with a message that names the file.
void expectRefused(const fs::path& path, const std::string& expectedWords = "")
{
    std::string message;
    auto e = Ephemeris::open(path, message);
    EXPECT_FALSE(e) << path;
    EXPECT_NE(message.find(path.filename().string()), std::string::npos) << message;
    if (!expectedWords.empty()) {
        EXPECT_NE(message.find(expectedWords), std::string::npos) << message;
    }
}

TEST(DamagedJplBinary, MissingEmptyAndForeignFilesAreRefused)
{
    Scratch scratch;
    expectRefused(scratch.dir() / "nothing.405");
    writeAll(scratch.dir() / "empty.405", {});
    expectRefused(scratch.dir() / "empty.405", "too short");
    writeAll(scratch.dir() / "noise.405", garbage(48864, 7));
    expectRefused(scratch.dir() / "noise.405", "not a JPL binary ephemeris");
    writeAll(scratch.dir() / "zeros.405", std::vector<char>(48864, 0));
    expectRefused(scratch.dir() / "zeros.405", "not a JPL binary ephemeris");
}

TEST(DamagedJplBinary, TruncatedOrOversizedFilesAreRefused)
{
    const auto original = jplDataDir() / "unxp0000.405";
    SKIP_UNLESS_PRESENT(original);
    Scratch scratch;
    const std::vector<char> bytes = readAll(original);
    const std::size_t record = 8144;

    for (std::size_t cut : {std::size_t{100}, std::size_t{2800}, record + 10, 2 * record, bytes.size() - 1}) {
        const fs::path file = scratch.dir() / ("cut" + std::to_string(cut) + ".405");
        writeAll(file, std::vector<char>(bytes.begin(), bytes.begin() + cut));
        expectRefused(file);
    }
    // A partial record after the data, and a whole record of zeros.
    std::vector<char> longer = bytes;
    longer.resize(bytes.size() + 100, 0);
    writeAll(scratch.dir() / "tail.405", longer);
    expectRefused(scratch.dir() / "tail.405", "not a whole number");
    longer.resize(bytes.size() + record, 0);
    writeAll(scratch.dir() / "extra.405", longer);
    expectRefused(scratch.dir() / "extra.405", "not contiguous");
}

TEST(DamagedJplBinary, DamagedPointerTableAndRecordsAreRefused)
{
    const auto original = jplDataDir() / "unxp0000.405";
    SKIP_UNLESS_PRESENT(original);
    Scratch scratch;
    std::vector<char> bytes = readAll(original);

    // Mercury's coefficient count (big-endian word at 2700) set to 100000.
    std::vector<char> badTable = bytes;
    badTable[2700] = 0, badTable[2701] = 0x01, badTable[2702] = static_cast<char>(0x86), badTable[2703] = static_cast<char>(0xa0);
    writeAll(scratch.dir() / "table.405", badTable);
    expectRefused(scratch.dir() / "table.405", "pointer table");

    // A middle record whose dates are wrong opens, but evaluating in it fails.
    std::vector<char> badRecord = bytes;
    for (int i = 0; i < 8; ++i) badRecord[3 * 8144 + i] = 0x11;
    writeAll(scratch.dir() / "record.405", badRecord);
    std::string message;
    auto e = Ephemeris::open(scratch.dir() / "record.405", message);
    ASSERT_TRUE(e) << message;
    StateVector s;
    EXPECT_TRUE(e->state(Body::Mars, Body::Sun, 2440370.0L, s, message)) << message;
    EXPECT_FALSE(e->state(Body::Mars, Body::Sun, 2440400.5L + 10, s, message));
    EXPECT_NE(message.find("record.405"), std::string::npos) << message;
    // The good record is still read correctly after the failure.
    EXPECT_TRUE(e->state(Body::Mars, Body::Sun, 2440370.0L, s, message)) << message;
}

TEST(DamagedJplBinary, UnknownSeriesAndBodiesAreRefused)
{
    const auto original = jplDataDir() / "unxp0000.405";
    SKIP_UNLESS_PRESENT(original);
    std::string message;
    auto e = Ephemeris::open(original, message);
    ASSERT_TRUE(e) << message;
    SeriesValue v;
    EXPECT_FALSE(e->evaluate(Series::TtMinusTdb, 2440400.0L, v, message));
    EXPECT_NE(message.find("TT-TDB"), std::string::npos) << message;
    StateVector s;
    EXPECT_FALSE(e->state(Body::Nutations, Body::Sun, 2440400.0L, s, message));
    EXPECT_FALSE(e->state(static_cast<Body>(0), Body::Sun, 2440400.0L, s, message));
}

class DamagedCasacoreTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_UNLESS_PRESENT(casacoreDe405Dir() / "table.f0i");
        description = readAll(casacoreDe405Dir() / "table.dat");
        arrays = readAll(casacoreDe405Dir() / "table.f0i");
    }
    // A copy of the table with one of its files replaced.
    fs::path tableWith(const Scratch& scratch, const std::vector<char>& dat, const std::vector<char>& f0i)
    {
        const fs::path dir = scratch.dir() / "DE405";
        fs::create_directories(dir);
        writeAll(dir / "table.dat", dat);
        writeAll(dir / "table.f0i", f0i);
        return dir;
    }
    std::vector<char> description, arrays;
};

TEST_F(DamagedCasacoreTable, IntactCopyOpens)
{
    Scratch scratch;
    std::string message;
    EXPECT_TRUE(Ephemeris::open(tableWith(scratch, description, arrays), message)) << message;
}

TEST_F(DamagedCasacoreTable, TruncatedOrOversizedCoefficientsAreRefused)
{
    Scratch scratch;
    for (std::size_t size : {std::size_t{0}, std::size_t{20}, std::size_t{100000}, arrays.size() - 8}) {
        const fs::path dir = tableWith(scratch, description, std::vector<char>(arrays.begin(), arrays.begin() + size));
        expectRefused(dir / "table.f0i", "table.f0i");
    }
    std::vector<char> longer = arrays;
    longer.resize(arrays.size() + 8160, 0);
    expectRefused(tableWith(scratch, description, longer) / "table.f0i", "table.f0i");
}

TEST_F(DamagedCasacoreTable, TruncatedGarbageOrOversizedDescriptionIsRefused)
{
    Scratch scratch;
    for (std::size_t size : {std::size_t{0}, std::size_t{10}, std::size_t{700}, std::size_t{2800}, description.size() / 2})
        expectRefused(tableWith(scratch, std::vector<char>(description.begin(), description.begin() + size), arrays),
                      "table.dat");
    expectRefused(tableWith(scratch, garbage(description.size(), 3), arrays), "table.dat");
    // A stray byte inside the keyword values shifts everything after it.
    std::vector<char> shifted = description;
    shifted.insert(shifted.begin() + 0xb00, 'x');
    expectRefused(tableWith(scratch, shifted, arrays), "table.dat");
    // A description of 32 MB is not read at all.
    const fs::path dir = tableWith(scratch, description, arrays);
    fs::resize_file(dir / "table.dat", 32u << 20);
    expectRefused(dir, "too large");
}

TEST_F(DamagedCasacoreTable, RandomDamageNeverCrashes)
{
    // Flip bytes all over the description: the reader may accept harmless
    // damage (comments, unused keywords) but must never misbehave.
    Scratch scratch;
    const fs::path dir = tableWith(scratch, description, arrays);
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::vector<char> damaged = description;
        for (int flips = 0; flips < 4; ++flips) damaged[random() % damaged.size()] = static_cast<char>(random());
        writeAll(dir / "table.dat", damaged);
        std::string message;
        auto e = Ephemeris::open(dir, message);
        if (!e) {
            EXPECT_NE(message.find("DE405"), std::string::npos) << message;
        }
    }
}

TEST(DamagedTestPoints, GarbageTruncatedAndOversizedFilesAreRefused)
{
    Scratch scratch;
    const fs::path file = scratch.dir() / "testpo.999";
    std::vector<TestPoint> points(1);
    points[0].line = 42;
    std::string message;

    EXPECT_FALSE(readTestPoints(scratch.dir() / "absent.999", points, message));
    EXPECT_NE(message.find("absent.999"), std::string::npos) << message;

    writeAll(file, {});
    EXPECT_FALSE(readTestPoints(file, points, message));
    EXPECT_NE(message.find("no test points"), std::string::npos) << message;

    const std::string good = "405  1600.01.01 2305447.5  8  3  1     -26.3227808794400\r\n";
    const std::string text = good + "405  1600.02.01 2305478.5  9  7  4    0.00\x01" "15098\r\n";
    writeAll(file, {text.begin(), text.end()});
    EXPECT_FALSE(readTestPoints(file, points, message));
    EXPECT_NE(message.find("line 2"), std::string::npos) << message;

    const std::string cut = good + "405  1600.02.01 2305478.5  9";
    writeAll(file, {cut.begin(), cut.end()});
    EXPECT_FALSE(readTestPoints(file, points, message));
    EXPECT_NE(message.find("testpo.999"), std::string::npos) << message;

    writeAll(file, garbage(5000, 5));
    EXPECT_FALSE(readTestPoints(file, points, message));

    const std::string outOfRange = "405  1600.01.01 2305447.5  8  3  9     -26.3\n";
    writeAll(file, {outOfRange.begin(), outOfRange.end()});
    EXPECT_FALSE(readTestPoints(file, points, message));

    writeAll(file, {good.begin(), good.end()});
    fs::resize_file(file, 80u << 20);
    EXPECT_FALSE(readTestPoints(file, points, message));
    EXPECT_NE(message.find("too large"), std::string::npos) << message;

    // Failed reads left the caller's list as it was.
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].line, 42);
}

}  // namespace
}  // namespace jpl::testing
