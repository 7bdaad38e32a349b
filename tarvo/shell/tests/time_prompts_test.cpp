// The date prompt, the tabulation-step prompt and the Delta-T menu, driven by
// scripts through the console's script backend.  Oracle: the labels and
// rules of the prompts, parseDateAnswer / calendarToDays for the results,
// and the DELTAT.COF file written by the menu.

#include "tarvo/shell/time_prompts.h"

#include "console/console.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace tarvo;
namespace fs = std::filesystem;

class PromptScript : public ::testing::Test {
  protected:
    void run(const std::string& script) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / (std::string("tarvo_prompts_") + info->name());
        fs::create_directories(dir);
        const fs::path path = dir / "script.txt";
        std::ofstream(path, std::ios::binary) << script;
        console::Options options;
        options.scriptPath = path.string();
        options.forceScript = true;
        console::InitConsoleTools(options);
        console::setSize(81, 27);
        console::clear();
        started = true;
    }
    void TearDown() override {
        if (started) console::shutdownConsole();
        fs::remove_all(dir);
    }
    bool screenHas(const std::string& text) {
        return console::screenText().find(text) != std::string::npos;
    }
    fs::path dir;
    bool started = false;
};

const ClockReading kClock{2024, 3, 15, 12 * 3600.0, 0.0};

TEST_F(PromptScript, DateScreenShowsItsLabels) {
    run("text 2000.0101\n");
    ASSERT_TRUE(readDate(false, 1, &kClock).has_value());
    EXPECT_TRUE(screenHas("Input Date (YYYY,MM,DD or YYYY.MMDD) 2000.0101"));
    EXPECT_TRUE(screenHas("or Julian Day (J#######.#####)"));
    EXPECT_TRUE(screenHas("(press ENTER to get to current date & time)"));
    EXPECT_EQ(console::cellAt(2, 16).ch, U'J');
    EXPECT_NE(console::cellAt(2, 16).fg, console::cellAt(2, 1).fg); // highlighted J
}

TEST_F(PromptScript, FinalDateTitle) {
    run("text 2001,2,3\n");
    const auto a = readDate(true, 5, &kClock);
    ASSERT_TRUE(a.has_value());
    EXPECT_TRUE(screenHas("Final Date (YYYY,MM,DD or YYYY.MMDD) "));
    EXPECT_EQ(a->year, 2001);
    EXPECT_EQ(a->month, 2);
    EXPECT_EQ(a->day, 3.0);
}

TEST_F(PromptScript, ValidDatesInEveryForm) {
    run("text 2000,1,1.5\ntext J2451545\ntext c1/L\ntext \n");
    auto a = readDate(false, 1, &kClock);
    ASSERT_TRUE(a);
    EXPECT_EQ(dateAnswerDays(*a), 0.0);
    a = readDate(false, 1, &kClock);
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->jdGiven);
    EXPECT_EQ(a->julianDate, 2451545.0);
    a = readDate(false, 1, &kClock);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->julianDate, 2488070.0);
    EXPECT_TRUE(a->lFlag);
    a = readDate(false, 1, &kClock); // Enter: the clock
    ASSERT_TRUE(a);
    EXPECT_EQ(a->year, 2024);
    EXPECT_EQ(a->month, 3);
    EXPECT_EQ(a->day, 15.5);
}

TEST_F(PromptScript, NonsenseTextReadsAsYearZero) {
    run("text what day is it\n");
    const auto a = readDate(false, 1, &kClock);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->year, 0);
    EXPECT_EQ(a->month, 1);
    EXPECT_EQ(a->day, 1.0);
}

TEST_F(PromptScript, OutOfRangeMonthIsRefusedAndAskedAgain) {
    run("text 2000,13,1\ntext 2000.0230\ntext 2000,12,31\n");
    const auto a = readDate(false, 1, &kClock);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->month, 12);
    EXPECT_EQ(a->day, 31.0);
    // The last refusal is cleared once an answer is accepted.
    EXPECT_FALSE(screenHas("No such day"));
}

TEST_F(PromptScript, RefusalIsExplainedOnTheScreen) {
    run("text 2000,13,1\n"); // then the script runs out: Esc
    EXPECT_FALSE(readDate(false, 1, &kClock).has_value());
    EXPECT_TRUE(screenHas("Month must be 1 to 12: 2000,13,1"));
}

TEST_F(PromptScript, DatesInTheReformGapAreTakenInTheJulianCalendar) {
    run("text 1582,10,10\n");
    const auto a = readDate(false, 1, &kClock);
    ASSERT_TRUE(a);
    EXPECT_EQ(dateAnswerDays(*a), calendarToDays(1582, 10, 20));
}

TEST_F(PromptScript, EscAbandonsTheDate) {
    run("key Esc\n");
    EXPECT_FALSE(readDate(false, 1, &kClock).has_value());
}

TEST_F(PromptScript, TabulationStep) {
    run("text \ntext 0\ntext -2\ntext 0.0130\n");
    EXPECT_EQ(readTabStep(3), 1.0L);
    const auto step = readTabStep(3);
    ASSERT_TRUE(step);
    EXPECT_NEAR(static_cast<double>(*step), 0.0625, 1e-15);
    EXPECT_TRUE(screenHas("Input Tab. Step (dd.hhmmss) 0.0130"));
    EXPECT_TRUE(screenHas("(press ENTER for 1 d step)"));
}

TEST_F(PromptScript, DeltaTMenuAutoFixedOffAndClicks) {
    run("key a\nkey F\ntext 71.5\nkey Esc\nclick 31 12\n");
    DeltaTSettings s;
    s.mode = DeltaTMode::Off;
    const fs::path file = dir / "DELTAT.COF";
    deltaTMenu(s, file, 8, 30);
    EXPECT_EQ(s.mode, DeltaTMode::Auto);
    EXPECT_TRUE(screenHas("Select Mode")) << console::screenText();
    EXPECT_TRUE(screenHas(" C   Custom"));
    deltaTMenu(s, file, 8, 30);
    EXPECT_EQ(s.mode, DeltaTMode::Fixed);
    EXPECT_EQ(s.a, 71.5);
    deltaTMenu(s, file, 8, 30);
    EXPECT_EQ(s.mode, DeltaTMode::Off);
    deltaTMenu(s, file, 8, 30); // click on row 12: "Esc  Off"
    EXPECT_EQ(s.mode, DeltaTMode::Off);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(PromptScript, DeltaTMenuCustomReadsAndRewritesTheFile) {
    run("key c\ntext \ntext 0.5\ntext \n");
    const fs::path file = dir / "DELTAT.COF";
    std::ofstream(file, std::ios::binary) << "64\r\n0.25\r\n0.001\r\n";
    DeltaTSettings s;
    deltaTMenu(s, file, 8, 30);
    EXPECT_EQ(s.mode, DeltaTMode::Custom);
    EXPECT_EQ(s.a, 64.0);
    EXPECT_EQ(s.b, 0.5);
    EXPECT_EQ(s.c, 0.001);
    EXPECT_TRUE(screenHas("D=A+B*T+C*T^2"));
    EXPECT_TRUE(screenHas("T=y from J2000"));
    DeltaTSettings back;
    std::string message;
    ASSERT_TRUE(readDeltaTCoefficients(file, back, message)) << message;
    EXPECT_EQ(back.b, 0.5);
}

TEST_F(PromptScript, DeltaTMenuCustomWithoutTheFileOffersTheCurrentValues) {
    run("key C\ntext 60\ntext \ntext \n");
    const fs::path file = dir / "DELTAT.COF";
    DeltaTSettings s{DeltaTMode::Auto, 1.0, 2.0, 3.0};
    deltaTMenu(s, file, 8, 30);
    EXPECT_TRUE(screenHas("DELTAT.COF"));
    EXPECT_EQ(s.a, 60.0);
    EXPECT_EQ(s.b, 2.0);
    EXPECT_EQ(s.c, 3.0);
    EXPECT_TRUE(fs::exists(file));
}

// A DELTAT.COF that is empty, cut short or holds nan is reported, the
// published coefficients are offered instead of zeros, garbage typed at a
// prompt is refused, and the old file is kept as DELTAT.COF.bak before the
// new one replaces it.
TEST_F(PromptScript, DeltaTMenuCustomWithADamagedFileKeepsItAndOffersNoZeros) {
    for (const std::string damaged : {"", "64\r\n0.2", "nan\r\ninf\r\n1\r\n"}) {
        run("key C\ntext abc\ntext \ntext \ntext \n");
        const fs::path file = dir / "DELTAT.COF";
        std::ofstream(file, std::ios::binary) << damaged;
        fs::remove(dir / "DELTAT.COF.bak");
        DeltaTSettings s;
        deltaTMenu(s, file, 8, 30);
        EXPECT_EQ(s.mode, DeltaTMode::Custom);
        EXPECT_EQ(s.a, kPublishedDeltaTA) << damaged;
        EXPECT_EQ(s.b, kPublishedDeltaTB);
        EXPECT_EQ(s.c, kPublishedDeltaTC);
        EXPECT_TRUE(screenHas("DELTAT.COF")) << console::screenText();
        EXPECT_TRUE(screenHas("Not a number: abc")) << console::screenText();
        EXPECT_TRUE(screenHas("DELTAT.COF.bak")) << console::screenText();
        std::ifstream in(dir / "DELTAT.COF.bak", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
        DeltaTSettings back;
        std::string message;
        ASSERT_TRUE(readDeltaTCoefficients(file, back, message)) << message;
        EXPECT_EQ(back.a, kPublishedDeltaTA);
        console::shutdownConsole();
        started = false;
    }
}

} // namespace
