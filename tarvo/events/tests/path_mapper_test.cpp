// The closing question of the eclipse searches, answered by key script:
// Y (either case) starts the mapper, anything else does not, and the title
// is the program's own afterwards.
#include "tarvo/events/path_mapper.h"

#include "scratch_directory.h"

#include "console/console.h"

#include <gtest/gtest.h>

namespace {

class PathMapperQuestion : public tarvo::testing::ScratchDirectoryTest {
  protected:
    // Runs the question with `script` as the console's input; counts starts.
    std::optional<console::ProgramRun> ask(const std::string& script, int& starts) {
        console::Options options;
        options.scriptPath = write("keys.txt", script).string();
        options.forceScript = true;
        console::InitConsoleTools(options);
        console::ConsoleTitle("something else");
        auto answer = tarvo::offerPathMapper([&] {
            ++starts;
            console::ProgramRun run;
            run.started = true;
            run.status = 0;
            return run;
        });
        screen = console::currentTitle();
        console::shutdownConsole();
        return answer;
    }
    std::string screen;
};

TEST_F(PathMapperQuestion, YStartsTheMapperInEitherCase) {
    for (const char* key : {"key Y\n", "key y\n"}) {
        int starts = 0;
        const auto run = ask(std::string("expect Display Paths (Y or N) ?\n") + key, starts);
        ASSERT_TRUE(run.has_value()) << key;
        EXPECT_TRUE(run->started);
        EXPECT_EQ(starts, 1);
        EXPECT_EQ(screen, "TARVO12.10");
    }
}

TEST_F(PathMapperQuestion, AnyOtherKeyStartsNothing) {
    for (const char* key : {"key N\n", "key Esc\n", "key Enter\n", ""}) {
        int starts = 0;
        EXPECT_FALSE(ask(key, starts).has_value()) << key;
        EXPECT_EQ(starts, 0);
        EXPECT_EQ(screen, "TARVO12.10");
    }
}

} // namespace
