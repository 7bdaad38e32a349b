// Damaged, truncated, oversized and foreign state files: each is refused
// with a message naming the file, and the body table stays as it was.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <tuple>

#include "fuzz_matrix.h"
#include "state_file_test_support.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo::testing {
namespace {

constexpr int capacity = 60;

const char* const goodFile =
    "2460000.5\n"
    "0 0.0005 3.4 1E-09 CERES\n 100.5 -50.25 10.125\n 5.5 20.25 -1.75\n 0 0 0 1\n"
    "0 0.0001 18 0 PALLAS\n 150 0 0\n 0 29.78 0\n 0 0 0 2\n";

struct DamagedStateFile : ::testing::Test {
    void SetUp() override
    {
        table = tableOf(capacity);
        table.layout = dataSetLayout(2, capacity).layout;
        for (int i = 0; i < table.slots(); ++i) {
            table.posX[i] = 1000 + i;
            table.massField[i] = i;
            setBodyName(table, i, "OLD" + std::to_string(i));
        }
        settings.firstIndex = table.layout.lastMassive + 1;
        before = table;
    }
    void expectRefusedUnchanged(const std::filesystem::path& file, const std::string& words = "")
    {
        const StateLoadResult r = loadStateFile(file, settings, table);
        EXPECT_FALSE(r.ok) << file;
        EXPECT_NE(r.message.find(file.filename().string()), std::string::npos) << r.message;
        if (!words.empty()) {
            EXPECT_NE(r.message.find(words), std::string::npos) << r.message;
        }
        for (int i = 0; i < table.slots(); ++i) {
            ASSERT_EQ(table.posX[i], before.posX[i]) << i;
            ASSERT_EQ(table.massField[i], before.massField[i]) << i;
            ASSERT_EQ(table.name[i], before.name[i]) << i;
        }
        EXPECT_EQ(table.layout.lastMajor, before.layout.lastMajor);
        EXPECT_EQ(table.layout.bodyCount, before.layout.bodyCount);
    }
    ScratchDirectory scratch;
    BodyTable table, before;
    StateLoadSettings settings;
};

TEST_F(DamagedStateFile, MissingAndEmptyFilesAreRefused)
{
    expectRefusedUnchanged(scratch.path() / "ABSENT.TVX", "is missing");
    std::filesystem::create_directory(scratch.path() / "FOLDER.TVX");
    expectRefusedUnchanged(scratch.path() / "FOLDER.TVX", "is a directory");
    expectRefusedUnchanged(scratch.write("EMPTY.TVX", ""), "ends");
    expectRefusedUnchanged(scratch.write("BLANK.TVX", "   \n\n"), "ends");
}

TEST_F(DamagedStateFile, EveryTruncationIsRefused)
{
    // Cut the file anywhere inside a body record, up to and including the
    // place of its last field (a one-character number string): every such
    // file ends in the middle of a record.
    const std::string text = goodFile;
    const std::size_t first = text.find("0 0.0005"), second = text.find("0 0.0001");
    for (std::size_t cut = first + 1; cut < text.size() - 1; ++cut) {
        if (cut > second - 2 && cut <= second) continue;  // record 1 complete
        SCOPED_TRACE("cut at " + std::to_string(cut));
        expectRefusedUnchanged(scratch.write("CUT.TVX", text.substr(0, cut)));
    }
}

TEST_F(DamagedStateFile, FieldsThatAreNoNumbersAreRefusedWithTheirLine)
{
    std::string text = goodFile;
    text.replace(text.find("-50.25"), 6, "-50,x5");
    expectRefusedUnchanged(scratch.write("BAD.TVX", text), "line 3");
    expectRefusedUnchanged(scratch.write("WORDS.TVX", "this is not a state file\n"), "not a number");
}

// Numbers the free format reads but no body can have: an epoch beyond the
// calendar, values beyond the range of a double, a body a million AU away
// or faster than light. Each is named with its line and field.
TEST_F(DamagedStateFile, ValuesNoBodyCanHaveAreRefusedWithTheirLineAndField) {
    const std::string text = goodFile;
    auto with = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    expectRefusedUnchanged(scratch.write("EPOCH.TVX", with("2460000.5", "4e9")),
                           "line 1: the Julian date");
    expectRefusedUnchanged(scratch.write("MASS.TVX", with("0 0.0001 18", "9.9e999 0.0001 18")),
                           "line 6: a mass");
    expectRefusedUnchanged(scratch.write("FAR.TVX", with("100.5", "1.6e8")), "line 3: a position");
    expectRefusedUnchanged(scratch.write("HUGE.TVX", with("-50.25", "9.9e999")),
                           "line 3: a position");
    expectRefusedUnchanged(scratch.write("FAST.TVX", with("29.78", "3e5")), "line 8: a velocity");
    // A bad field that ends its line is named on that line, not the next.
    expectRefusedUnchanged(scratch.write("END.TVX", with("10.125", "10.1x5")), "line 3:");
    // Control characters of a damaged field are shown, not sent to the screen.
    const StateLoadResult r =
        loadStateFile(scratch.write("CTRL.TVX", with("100.5", "1\x1b[2J")), settings, table);
    EXPECT_EQ(r.message.find('\x1b'), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("1^[[2J"), std::string::npos) << r.message;
    // The largest epoch the calendar writes still loads.
    EXPECT_TRUE(
        loadStateFile(scratch.write("LATE.TVX", with("2460000.5", "3.6e9")), settings, table).ok);
}

TEST_F(DamagedStateFile, GarbageBytesAreRefused)
{
    std::mt19937 random(17);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(2000, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        bytes[0] = 'X';  // never a valid first number
        expectRefusedUnchanged(scratch.write("NOISE.TVX", bytes, false));
    }
}

TEST_F(DamagedStateFile, RandomDamageNeverCorruptsTheTable)
{
    // Damage may leave a file that still parses; then it loads. Otherwise
    // the table must be untouched.
    std::mt19937 random(5);
    for (int round = 0; round < 150; ++round) {
        std::string text = goodFile;
        for (int k = 0; k < 3; ++k) text[random() % text.size()] = "x.-E,#/ \n9"[random() % 10];
        const auto file = scratch.write("HIT.TVX", text, false);
        table = before;
        const StateLoadResult r = loadStateFile(file, settings, table);
        if (!r.ok) {
            EXPECT_NE(r.message.find("HIT.TVX"), std::string::npos) << r.message;
            for (int i = 0; i < table.slots(); ++i) ASSERT_EQ(table.posX[i], before.posX[i]);
        }
    }
}

// The whole fuzz matrix on a minor-body file; the table is kept whenever
// the file is not taken.
TEST_F(DamagedStateFile, ReaderFuzz) {
    runReaderFuzz(scratch.path(), "FUZZ.TVX", goodFile, [&](const std::filesystem::path& f) {
        BodyTable copy = before;
        const StateLoadResult r = loadStateFile(f, settings, copy);
        if (!r.ok && copy.posX != before.posX) return ReaderVerdict{false, "table changed"};
        return ReaderVerdict{r.ok, r.message};
    });
}

TEST_F(DamagedStateFile, ElementFilesAreNotTakenForStates)
{
    std::string text = goodFile;
    text.insert(0, "-");
    expectRefusedUnchanged(scratch.write("ELEM.TVX", text), "elements");
}

TEST_F(DamagedStateFile, RecordsBeyondTheTableAreLeftUnread)
{
    // A table of 60 bodies holds minor bodies up to index 58.
    std::string text = "2460000.5\n";
    for (int b = 0; b < 100; ++b) text += "0 0.0001 18 0 B" + std::to_string(b) + "\n 150 0 0\n 0 29.78 0\n 0 0 0 0\n";
    const StateLoadResult r = loadStateFile(scratch.write("MANY.TVX", text), settings, table);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.count, capacity - 2 - settings.firstIndex + 1);
    EXPECT_EQ(table.layout.bodyCount, capacity - 2);
    EXPECT_EQ(table.posX[capacity - 1], before.posX[capacity - 1]);  // the slots beyond are untouched
}

TEST_F(DamagedStateFile, OversizedFileIsRefusedUnread)
{
    const auto file = scratch.write("HUGE.TVX", goodFile);
    std::filesystem::resize_file(file, 3ull << 30);  // sparse: nothing is written to disk
    expectRefusedUnchanged(file, "too large");
}

TEST_F(DamagedStateFile, CheckpointBinaryOfTheWrongSizeIsRefused)
{
    settings.kind = StateFileKind::Full;
    const auto text = scratch.write("FINSTAT.TVF", "2451545\n 0.5 1989100 0.696 -26.7 0 SUN\n 0 0 0\n 0 0 0\n"
                                                   "5.97 0.0064 -3.9 0 EARTH\n 20 -140 0.5\n 29 4 0\n");
    expectRefusedUnchanged(text, "FINSTAT.BIN");  // missing
    scratch.write("FINSTAT.BIN", std::string(119, 'x'), false);
    expectRefusedUnchanged(text, "FINSTAT.BIN");  // one byte short of two bodies
    scratch.write("FINSTAT.BIN", std::string(180, 'x'), false);
    expectRefusedUnchanged(text, "FINSTAT.BIN");  // three bodies for two records
}

// A companion of the right size whose values are NaN, infinite or beyond
// any body is refused by body and component, not loaded.
TEST_F(DamagedStateFile, CheckpointBinaryWithValuesNoBodyCanHaveIsRefused) {
    settings.kind = StateFileKind::Full;
    const auto text =
        scratch.write("FINSTAT.TVF", "2451545\n 0.5 1989100 0.696 -26.7 0 SUN\n 0 0 0\n 0 0 0\n"
                                     "5.97 0.0064 -3.9 0 EARTH\n 20 -140 0.5\n 29 4 0\n");
    const std::vector<ExtendedState> good = {{0, 0, 0, 0, 0, 0}, {20, -140, 0.5L, 29, 4, 0}};
    std::string message;
    for (const auto& [component, value, words] :
         std::vector<std::tuple<int, long double, std::string>>{
             {1, std::numeric_limits<long double>::quiet_NaN(),
              "body 2, position component 2 is not a finite"},
             {4, std::numeric_limits<long double>::infinity(),
              "body 2, velocity component 2 is not a finite"},
             {0, 2e8L, "body 2, position component 1 is out of range"},
             {5, -4e5L, "body 2, velocity component 3 is out of range"}}) {
        std::vector<ExtendedState> damaged = good;
        damaged[1][component] = value;
        ASSERT_TRUE(writeCheckpointBinary(scratch.path() / "FINSTAT.BIN", damaged, message))
            << message;
        expectRefusedUnchanged(text, words);
    }
    ASSERT_TRUE(writeCheckpointBinary(scratch.path() / "FINSTAT.BIN", good, message)) << message;
    EXPECT_TRUE(loadStateFile(text, settings, table).ok);
}

}  // namespace
}  // namespace tarvo::testing
