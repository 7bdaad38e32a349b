// Runs one of the suite's programs in a child process for end-to-end tests,
// in a data tree of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvo::testing {

struct ProgramRun {
    int status = -1;    // exit status, or -1 when it did not exit normally
    std::string output; // standard output and standard error together
};

// Runs `command` through the shell in `workDir` with the extra environment
// arguments `env` ("-u NAME", "NAME=value ..."), standard input from /dev/null.
inline ProgramRun runProgram(const std::string& command, const std::filesystem::path& workDir,
                             const std::string& env = "") {
    const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("tarvo-program-output-" + std::to_string(::getpid()));
    const std::string full = "cd '" + workDir.string() + "' && env " + env + " " + command +
                             " </dev/null >'" + out.string() + "' 2>&1";
    const int raw = std::system(full.c_str());
    ProgramRun run;
    run.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    run.output = text.str();
    std::filesystem::remove(out);
    return run;
}

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline const std::filesystem::path kTarvo = std::filesystem::path(TARVO_BIN_DIR) / "tarvo";
inline const std::filesystem::path kUmbravue = std::filesystem::path(TARVO_BIN_DIR) / "umbravue";
inline const std::filesystem::path kFitra = std::filesystem::path(TARVO_BIN_DIR) / "fitra";
inline const std::filesystem::path kBuiltTree = TARVO_TEST_TREE;

// A fixture with a data tree of its own at `root`: the directories named in
// SetUpTree's `copied` are copied from the built tree (the test may change
// them), the others linked; USERDATA is new and empty.
class TreeFixture : public ::testing::Test {
  protected:
    // Skips the test when the built tree lacks `required` (relative path).
    void SetUpTree(const std::string& required, std::initializer_list<const char*> copied) {
        namespace fs = std::filesystem;
        if (!fs::exists(kBuiltTree / required))
            GTEST_SKIP() << "the data tree " << kBuiltTree << " has no " << required;
        char pattern[] = "/tmp/tarvo-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        for (const char* dir : {"BIN", "ASC", "IMG", "CFG", "HLP"}) {
            bool copy = false;
            for (const char* c : copied) copy = copy || std::string(c) == dir;
            if (copy)
                fs::copy(kBuiltTree / dir, root / dir, fs::copy_options::recursive);
            else
                fs::create_directory_symlink(kBuiltTree / dir, root / dir);
        }
        fs::create_directories(root / "USERDATA");
    }
    void TearDown() override {
        if (!root.empty()) std::filesystem::remove_all(root);
    }
    // The program with `script` (and the transcript t.txt) and `arguments`,
    // started in `workDir` (USERDATA by default) with the environment `env`.
    ProgramRun run(const std::string& script, const std::string& arguments = "",
                   std::filesystem::path workDir = {}, const std::string& env = "-u TARVO12DIR") {
        std::ofstream(root / "s.txt") << script;
        if (workDir.empty()) workDir = root / "USERDATA";
        return runProgram("'" + program.string() + "' --script '" + (root / "s.txt").string() +
                              "' --transcript '" + (root / "t.txt").string() + "' " + arguments,
                          workDir, env);
    }
    std::string transcript() const { return readFile(root / "t.txt"); }
    std::filesystem::path root;
    std::filesystem::path program = kTarvo; // the program run() starts
};

} // namespace tarvo::testing
