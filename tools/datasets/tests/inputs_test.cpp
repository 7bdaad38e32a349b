// Files a user can hand to the data-set building and to a run: asteroid
// element exports and parameter files. Bad ones give a message naming the
// file and change nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "datasets/asteroid_ephemeris.h"
#include "short_tree.h"
#include "tarvo/libraries/data_set_parameters.h"

namespace datasets {
namespace {

std::filesystem::path write(const std::filesystem::path& dir, const std::string& name, const std::string& text)
{
    std::ofstream(dir / name, std::ios::binary) << text;
    return dir / name;
}

const char* const kGoodExport =
    R"({"fields":["full_name","H","diameter","epoch_mjd","e","a","i","om","w","ma"],)"
    R"x("data":[["     1 Ceres (A801 AA)","3.33","939.4","59800",".0786","2.7666","10.587","80.266","73.53","334.33"]]})x";

TEST(AsteroidElementExport, ReadsTheWantedRows)
{
    testing::ScratchDirectory dir;
    std::map<int, AsteroidElements> elements;
    std::string message;
    ASSERT_TRUE(readAsteroidElements(write(dir.path, "good.dat", kGoodExport), {1}, elements, message)) << message;
    EXPECT_DOUBLE_EQ(elements.at(1).epoch, 59800 - 51544.5);
    EXPECT_DOUBLE_EQ(elements.at(1).a, 2.7666);
    EXPECT_DOUBLE_EQ(elements.at(1).diameterKm, 939.4);
}

TEST(AsteroidElementExport, TruncatedGarbageAndOversizedFilesAreRefused)
{
    testing::ScratchDirectory dir;
    std::map<int, AsteroidElements> elements;
    elements[7].a = 42;  // must survive every refusal
    std::string message;
    const std::string good = kGoodExport;
    const auto refused = [&](const std::filesystem::path& file) {
        message.clear();
        EXPECT_FALSE(readAsteroidElements(file, {1}, elements, message));
        EXPECT_NE(message.find(file.filename().string()), std::string::npos) << message;
        EXPECT_EQ(elements.at(7).a, 42);
    };
    refused(write(dir.path, "cut.dat", good.substr(0, good.size() / 2)));
    static const char garbage[] = "\x01\xff\x00 not json";
    refused(write(dir.path, "garbage.dat", std::string(garbage, sizeof garbage - 1)));
    refused(write(dir.path, "missing-ceres.dat", R"({"fields":["full_name","epoch_mjd","e","a","i","om","w","ma"],"data":[]})"));
    refused(write(dir.path, "bad-e.dat", R"({"fields":["full_name","epoch_mjd","e","a","i","om","w","ma"],)"
                                         R"("data":[["1 Ceres","59800","1.5","2.7","1","1","1","1"]]})"));
    refused(dir.path / "absent.dat");
    // Oversized: a sparse file far beyond any real export.
    const auto big = dir.path / "oversized.dat";
    std::ofstream(big, std::ios::binary) << "{";
    std::filesystem::resize_file(big, 1ull << 30);
    refused(big);
}

TEST(LoadParameters, SetsWithoutAFileKeepZerosAndTheOthersReadTheirRows)
{
    // Oracle: the data-set table of parameter files and row counts.
    testing::ScratchDirectory dir;
    tarvo::DataSetParameters p;
    std::string message;
    ASSERT_TRUE(tarvo::loadParameters(dir.path, 1, p, message)) << message;
    EXPECT_EQ(p.radial.row[5][3], 0.0);
    EXPECT_EQ(p.force.dataSet, 1);

    std::string text;
    for (int r = 0; r <= 9; ++r) text += "1 2 3 4 5 6 7 8\r\n";
    write(dir.path, "DRJSN.PAR", text);
    ASSERT_TRUE(tarvo::loadParameters(dir.path, 3, p, message)) << message;
    EXPECT_EQ(p.radial.row[7][7], 8.0);  // rows 0..7 read
    EXPECT_EQ(p.radial.row[8][0], 0.0);  // row 8 is beyond the data set's rows
    EXPECT_DOUBLE_EQ(static_cast<double>(p.force.astronomicalUnit), 149.5978707);

    tarvo::DataSetParameters kept = p;
    EXPECT_FALSE(tarvo::loadParameters(dir.path, 8, p, message));
    EXPECT_NE(message.find("DRJ406S.PAR"), std::string::npos) << message;
    EXPECT_EQ(p.radial.row[7][7], kept.radial.row[7][7]);
    EXPECT_FALSE(tarvo::loadParameters(dir.path, 11, p, message));
}

TEST(LoadParameters, OldDataSetsUseTheOlderAstronomicalUnit)
{
    testing::ScratchDirectory dir;
    write(dir.path, "DRJ406M.PAR", "0 0 0 0 0 0 0 0\r\n");
    tarvo::DataSetParameters p;
    std::string message;
    ASSERT_TRUE(tarvo::loadParameters(dir.path, 7, p, message)) << message;
    EXPECT_DOUBLE_EQ(static_cast<double>(p.force.astronomicalUnit), 149.597870691);
    EXPECT_DOUBLE_EQ(p.force.sunJ2Factor, 1.453e-07);
}

TEST(RadialCorrections, TheMoonTakesTheEarthsValue)
{
    tarvo::BodyTable table;
    ASSERT_TRUE(tarvo::createBodyTable(100, table).ok);
    table.layout = tarvo::dataSetLayout(3, table.maxBodies).layout;
    for (int i = 0; i <= 10; ++i) table.relFactorBase[i] = 1e-8 * i;
    tarvo::RadialCoefficients c;
    c.row[3][4] = 2e-9;  // c5: T^1 for T >= 0
    tarvo::applyRadialCorrections(table, c, 365250.0L, 3);  // T = 1 millennium
    EXPECT_DOUBLE_EQ(table.relFactor[3], 3e-8 + 2e-9);
    EXPECT_DOUBLE_EQ(table.relFactor[10], table.relFactor[3]);
    EXPECT_DOUBLE_EQ(table.relFactor[4], 4e-8);
}

}  // namespace
}  // namespace datasets
