// Scratch directories and file writing for the state-file tests.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tarvo/dynamics/body_table.h"

namespace tarvo::testing {

class ScratchDirectory {
public:
    ScratchDirectory()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("tarvo_libraries_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                 std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

    // Writes `text` with its "\n" turned into CR LF, as the suite's files are.
    std::filesystem::path write(const std::string& name, const std::string& text, bool crlf = true) const
    {
        std::string bytes;
        for (char c : text) {
            if (c == '\n' && crlf) bytes += '\r';
            bytes += c;
        }
        const auto file = path_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

private:
    std::filesystem::path path_;
};

inline BodyTable tableOf(int maxBodies)
{
    BodyTable table;
    const CapacityResult created = createBodyTable(maxBodies, table);
    EXPECT_TRUE(created.ok) << created.message;
    return table;
}

}  // namespace tarvo::testing
