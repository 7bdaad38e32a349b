// A fixture with an empty directory of its own, removed after the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvo::testing {

class ScratchDirectoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvo-scratch-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        if (!dir.empty()) std::filesystem::remove_all(dir);
    }
    // Writes `contents` to `name` in the directory; returns its path.
    std::filesystem::path write(const std::string& name, const std::string& contents) {
        std::ofstream(dir / name, std::ios::binary) << contents;
        return dir / name;
    }
    std::filesystem::path dir;
};

} // namespace tarvo::testing
