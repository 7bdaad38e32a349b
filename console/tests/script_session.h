// Test helper: runs the console in this process on a script written to a
// temporary file, and ends it after the test.
#pragma once

#include "console/console.h"
#include "console_state.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace console_test {

inline std::string tempPath(const std::string& name) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "console_" + info->test_suite_name() + "_" + info->name() + "_" +
           name;
}

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ScriptSession : public ::testing::Test {
  protected:
    // Starts the script backend on this script (and a fresh transcript
    // when wanted), with an empty 81 x 27 grid.
    void start(const std::string& script, bool withTranscript = false) {
        const std::string scriptPath = tempPath("script.txt");
        writeFile(scriptPath, script);
        console::Options options;
        options.scriptPath = scriptPath;
        options.forceScript = true;
        if (withTranscript) {
            transcriptPath = tempPath("transcript.txt");
            std::remove(transcriptPath.c_str());
            options.transcriptPath = transcriptPath;
        }
        console::InitConsoleTools(options);
        console::setSize(81, 27);
        console::setColor(console::Color::LightGrey, console::Color::Black);
        console::clear();
    }
    // Ends the session; the status the program would end with.
    int finish() { return console::closeConsole(); }
    void TearDown() override { finish(); }

    std::string transcriptPath;
};

} // namespace console_test
