// The long-term precession table PRECDATN.BIN.
// Oracles: the file layout (20011 records of four little-endian int32), the
// long-term model evaluated directly (the table must reproduce it to its
// rounding), ERFA eraLtp at the table's join, and damaged files.

#include "frame_matrices.h"
#include "tarvo/reductions/frames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

using namespace tarvo;
namespace fs = std::filesystem;

const PrecessionTable& builtTable() {
    static const PrecessionTable table = computePrecessionTable();
    return table;
}

double arcsec(long double radians) { return static_cast<double>(radians / kArcsecToRadians); }

TEST(PrecessionTableLayout, SizeAndByteOrder) {
    const auto bytes = encodePrecessionTable(builtTable());
    ASSERT_EQ(bytes.size(), 320176u);
    // Record of J2000 (k = 0, record 10010): ε_A - 83938.86" = 442.546" -> 4425.
    const unsigned char* r = bytes.data() + 10010 * 16;
    const std::int32_t eps = static_cast<std::int32_t>(r[0] | r[1] << 8 | r[2] << 16 | r[3] << 24);
    EXPECT_EQ(eps, 4425);
    PrecessionTable back;
    std::string message;
    ASSERT_TRUE(decodePrecessionTable(bytes, "PRECDATN.BIN", back, message)) << message;
    ASSERT_EQ(back.records.size(), builtTable().records.size());
    for (std::size_t i = 0; i < back.records.size(); i += 997) {
        EXPECT_EQ(back.records[i].precessionResidual, builtTable().records[i].precessionResidual);
        EXPECT_EQ(back.records[i].nodeLongitude, builtTable().records[i].nodeLongitude);
    }
}

TEST(PrecessionTableContents, EntriesReproduceTheModel) {
    const PrecessionTable& table = builtTable();
    for (int k = PrecessionTable::kFirstIndex; k <= PrecessionTable::kLastIndex; k += 37) {
        const long double t = k / 10.0L;
        const PrecessionAngles fromTable = precessionFromTable(table, t);
        const PrecessionAngles direct = precessionBlended(t);
        EXPECT_NEAR(arcsec(fromTable.generalPrecession - direct.generalPrecession), 0.0, 0.1) << k;
        EXPECT_NEAR(arcsec(fromTable.meanObliquity - direct.meanObliquity), 0.0, 0.1) << k;
        // Same pole of the ecliptic whatever branch the entry is on.
        const long double dx = std::sin(fromTable.inclination) * std::sin(fromTable.nodeLongitude) -
                               std::sin(direct.inclination) * std::sin(direct.nodeLongitude);
        const long double dy = std::sin(fromTable.inclination) * std::cos(fromTable.nodeLongitude) -
                               std::sin(direct.inclination) * std::cos(direct.nodeLongitude);
        EXPECT_LT(arcsec(std::hypot(dx, dy)), 0.2) << k;
    }
}

TEST(PrecessionTableContents, NeighbouringEntriesAreOnOneBranch) {
    // Linear interpolation needs every angle continuous from entry to entry:
    // 100 years move Π_A by far less than 180°.
    const auto& r = builtTable().records;
    for (std::size_t i = 1; i < r.size(); ++i) {
        EXPECT_LT(std::abs(static_cast<long long>(r[i].nodeLongitude) - r[i - 1].nodeLongitude), 3600000LL) << i;
        EXPECT_LT(std::abs(static_cast<long long>(r[i].inclination) - r[i - 1].inclination), 36000LL) << i;
        EXPECT_LT(std::abs(static_cast<long long>(r[i].precessionResidual) - r[i - 1].precessionResidual), 360000LL) << i;
    }
}

TEST(PrecessionTableRange, JoinAt200MillenniaAndLastEntry) {
    const PrecessionTable& table = builtTable();
    // Just beyond the long-term model's range the table takes over without a step.
    for (long double sign : {-1.0L, 1.0L}) {
        const long double t = sign * 200.0L * 365250.0L;
        const PrecessionAngles inside = precessionAngles(t, false, table);
        const PrecessionAngles outside = precessionAngles(t + sign * 1.0L, false, table);
        EXPECT_NEAR(arcsec(outside.generalPrecession - inside.generalPrecession), sign * 0.14, 0.1);
        EXPECT_NEAR(arcsec(outside.meanObliquity - inside.meanObliquity), 0.0, 0.1);
    }
    // T_m = 1000 exactly uses the last entry alone (nothing read past the end).
    const PrecessionAngles end = precessionFromTable(table, 1000.0L);
    const auto& last = table.at(PrecessionTable::kLastIndex);
    EXPECT_NEAR(arcsec(end.nodeLongitude), last.nodeLongitude / 10.0, 1e-6);
    const PrecessionAngles first = precessionFromTable(table, -1001.0L);
    EXPECT_NEAR(arcsec(first.nodeLongitude), table.at(PrecessionTable::kFirstIndex).nodeLongitude / 10.0, 1e-6);
    // Past a million years the fixed law, continuous with the table's last entry.
    const PrecessionAngles fixed = precessionAngles(1000.0000001L * 365250.0L, false, table);
    EXPECT_NEAR(arcsec(fixed.meanObliquity - end.meanObliquity), 0.0, 0.1);
    EXPECT_NEAR(arcsec(fixed.generalPrecession - end.generalPrecession), 0.0, 0.2);
}

class PrecessionTableFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tarvo_precdatn_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir);
        file = dir / "PRECDATN.BIN";
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const std::vector<unsigned char>& bytes) {
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }
    void expectRefused(const std::string& why) {
        PrecessionTable table = builtTable();
        const auto before = table.records.size();
        std::string message;
        EXPECT_FALSE(loadPrecessionTable(file, table, message)) << why;
        EXPECT_NE(message.find("PRECDATN.BIN"), std::string::npos) << message;
        EXPECT_EQ(table.records.size(), before) << "table changed by a refused file";
    }
    fs::path dir, file;
};

TEST_F(PrecessionTableFile, LoadsTheBuiltTable) {
    write(encodePrecessionTable(builtTable()));
    PrecessionTable table;
    std::string message;
    ASSERT_TRUE(loadPrecessionTable(file, table, message)) << message;
    EXPECT_EQ(table.records.size(), 20011u);
    EXPECT_EQ(table.at(5000).meanObliquity, builtTable().at(5000).meanObliquity);
}

TEST_F(PrecessionTableFile, RefusesMissingTruncatedOversizedAndGarbageFiles) {
    expectRefused("missing");
    auto bytes = encodePrecessionTable(builtTable());
    write({});
    expectRefused("empty");
    write(std::vector<unsigned char>(bytes.begin(), bytes.end() - 16));
    expectRefused("one record short");
    write(std::vector<unsigned char>(bytes.begin(), bytes.end() - 1));
    expectRefused("truncated by a byte");
    auto longer = bytes;
    longer.push_back(0);
    write(longer);
    expectRefused("oversized");
    std::vector<unsigned char> garbage(bytes.size());
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<unsigned char>(i * 7919u >> 3);
    write(garbage);
    expectRefused("garbage of the right length");
}

TEST(PrecessionTableDefault, EmptyTableStillGivesDefinedAngles) {
    const PrecessionTable none;
    const PrecessionAngles a = precessionAngles(500.0L * 365250.0L, false, none);
    const PrecessionAngles b = precessionBlended(500.0L);
    EXPECT_EQ(a.generalPrecession, b.generalPrecession);
    EXPECT_TRUE(std::isfinite(static_cast<double>(a.meanObliquity)));
}

} // namespace

namespace {

// The table of the built data tree is the computed one.
TEST(PrecessionTableOfTheDataTree, LoadsAndMatchesTheModel) {
    const fs::path file = fs::path(TARVO_TEST_TREE) / "BIN" / "PRECDATN.BIN";
    if (!fs::exists(file)) GTEST_SKIP() << "no data tree built at " << TARVO_TEST_TREE;
    PrecessionTable table;
    std::string message;
    ASSERT_TRUE(loadPrecessionTable(file, table, message)) << message;
    const PrecessionTable& computed = builtTable();
    for (std::size_t i = 0; i < table.records.size(); ++i) {
        ASSERT_EQ(table.records[i].meanObliquity, computed.records[i].meanObliquity) << i;
        ASSERT_EQ(table.records[i].precessionResidual, computed.records[i].precessionResidual) << i;
        ASSERT_EQ(table.records[i].inclination, computed.records[i].inclination) << i;
        ASSERT_EQ(table.records[i].nodeLongitude, computed.records[i].nodeLongitude) << i;
    }
}

} // namespace
