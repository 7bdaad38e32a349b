// The help files HELPn.HLP, IHELPn.HLP and DHELPn.HLP as tarvo-build-data
// packs them from docs/help: every language holds the keys of the screen's
// key string in its order, the Italian and German records are translations
// and not the English bytes, every record fits the message box whole, and a
// translation with a record missing, a key out of place or bad text gets a
// warning or a clear refusal, never a file with help under the wrong key.
#include "fileio/tree_manifest.h"
#include "program_runner.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using tarvo::testing::readFile;
using tarvo::testing::runProgram;

namespace {

constexpr std::size_t kRecordBytes = 1152;
// The message box on the 81-column menu screen shows 75 columns and 23 lines.
constexpr std::size_t kBoxColumns = 75;
constexpr std::size_t kBoxLines = 23;

const fs::path kSources = fs::path(TARVO_SOURCE_DIR) / "docs" / "help";
const fs::path kBuilder = fs::path(TARVO_BIN_DIR) / "tarvo-build-data";

// The key strings of the screens with help, as the screens accept them.
struct Screen {
    int number;
    std::string keys;
};
const Screen kScreens[] = {{1, "WO^HTCEZ%)RPNALDBMXV/!USFGJYI*@#K"},
                           {2, "123456789MF*@0XH"},
                           {4, "&BEQFMD "},
                           {5, "ABCDEFGHIJLY^<"}};
const char* const kLanguages[] = {"", "I", "D"};

std::vector<std::string> keyNames(const std::string& keys) {
    std::vector<std::string> names;
    for (char c : keys) names.push_back(c == ' ' ? "Space" : std::string(1, c));
    return names;
}

struct SourceRecord {
    std::string key;
    std::vector<std::string> lines;
};

// The "@@ key" records of a help source, comment lines before the first left out.
std::vector<SourceRecord> sourceRecords(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<SourceRecord> records;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("@@ ", 0) == 0)
            records.push_back({line.substr(3), {}});
        else if (!records.empty())
            records.back().lines.push_back(line);
    }
    return records;
}

std::size_t characters(const std::string& utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

std::string sourceName(const char* language, int screen) {
    return std::string(language) + "HELP" + std::to_string(screen) + ".txt";
}

std::string helpName(const char* language, int screen) {
    return std::string(language) + "HELP" + std::to_string(screen) + ".HLP";
}

std::vector<std::string> records(const std::string& file) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at + kRecordBytes <= file.size(); at += kRecordBytes)
        out.push_back(file.substr(at, kRecordBytes));
    return out;
}

std::string recordText(const std::string& record) {
    return record.substr(0, record.find_last_not_of(' ') + 1);
}

class HelpBuild : public tarvo::testing::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        fs::create_directories(dir / "source" / "docs" / "help");
    }
    // The builder on the help outputs whose names contain `only`.
    tarvo::testing::ProgramRun build(const fs::path& source, const std::string& only,
                                     bool force = false) {
        return runProgram("'" + kBuilder.string() + "' --tree '" + (dir / "tree").string() +
                              "' --source '" + source.string() + "' --only " + only +
                              (force ? " --force" : ""),
                          dir);
    }
    fs::path sourceHelp() const { return dir / "source" / "docs" / "help"; }
    std::string built(const std::string& name) const {
        return readFile(dir / "tree" / "HLP" / name);
    }
};

TEST(HelpSources, EveryLanguageHoldsTheScreensKeysInOrderAndFitsTheMessageBox) {
    for (const auto& screen : kScreens) {
        for (const char* language : kLanguages) {
            const std::string name = sourceName(language, screen.number);
            SCOPED_TRACE(name);
            ASSERT_TRUE(fs::exists(kSources / name));
            const auto found = sourceRecords(kSources / name);
            std::vector<std::string> keys;
            for (const auto& r : found) keys.push_back(r.key);
            EXPECT_EQ(keys, keyNames(screen.keys));
            for (const auto& r : found) {
                auto lines = r.lines;
                while (!lines.empty() && lines.back().empty()) lines.pop_back();
                EXPECT_LE(lines.size(), kBoxLines) << "record " << r.key;
                for (const auto& line : lines)
                    EXPECT_LE(characters(line), kBoxColumns) << "record " << r.key << ": " << line;
            }
        }
    }
}

TEST_F(HelpBuild, TranslationsAreBuiltRecordByRecordAndAreNotTheEnglishBytes) {
    auto r = build(TARVO_SOURCE_DIR, "HLP/");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output.find("warning"), std::string::npos) << r.output;
    for (const auto& screen : kScreens) {
        SCOPED_TRACE(screen.number);
        const auto english = records(built(helpName("", screen.number)));
        const auto italian = records(built(helpName("I", screen.number)));
        const auto german = records(built(helpName("D", screen.number)));
        ASSERT_EQ(built(helpName("", screen.number)).size(), screen.keys.size() * kRecordBytes);
        ASSERT_EQ(built(helpName("I", screen.number)).size(), screen.keys.size() * kRecordBytes);
        ASSERT_EQ(built(helpName("D", screen.number)).size(), screen.keys.size() * kRecordBytes);
        for (std::size_t k = 0; k < english.size(); ++k) {
            SCOPED_TRACE("record " + std::to_string(k + 1));
            EXPECT_FALSE(recordText(english[k]).empty());
            EXPECT_NE(italian[k], english[k]);
            EXPECT_NE(german[k], english[k]);
            EXPECT_NE(italian[k], german[k]);
        }
    }
    // Record 11 of the main menu is "F", in each language's words.
    EXPECT_EQ(records(built("HELP2.HLP"))[10].rfind("Full N-body file: ", 0), 0u);
    EXPECT_EQ(records(built("IHELP2.HLP"))[10].rfind("File N-corpi completo: ", 0), 0u);
    EXPECT_EQ(records(built("DHELP2.HLP"))[10].rfind("Vollständige N-Körper-Datei: ", 0), 0u);
}

TEST_F(HelpBuild, AMissingRecordOrTranslationTakesTheEnglishTextWithAWarning) {
    fs::copy_file(kSources / "HELP5.txt", sourceHelp() / "HELP5.txt");
    // The Italian without its record "C"; no German at all.
    std::ifstream in(kSources / "IHELP5.txt", std::ios::binary);
    std::ofstream out(sourceHelp() / "IHELP5.txt", std::ios::binary);
    bool skipping = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("@@ ", 0) == 0) skipping = line == "@@ C";
        if (!skipping) out << line << "\n";
    }
    out.close();

    auto r = build(dir / "source", "HELP5");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("warning: IHELP5.txt has no record \"C\": the English text is used"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("warning: no German help DHELP5.txt: the English text is used"),
              std::string::npos)
        << r.output;
    const auto english = records(built("HELP5.HLP"));
    const auto italian = records(built("IHELP5.HLP"));
    ASSERT_EQ(italian.size(), english.size());
    EXPECT_EQ(italian[2], english[2]);                                  // C
    EXPECT_EQ(italian[3].rfind("Perturbazioni relativistiche", 0), 0u); // D stays in place
    EXPECT_EQ(built("DHELP5.HLP"), built("HELP5.HLP"));
}

TEST_F(HelpBuild, ABrokenTranslationIsRefusedAndTheBuiltFileStays) {
    fs::copy_file(kSources / "HELP5.txt", sourceHelp() / "HELP5.txt");
    fs::copy_file(kSources / "IHELP5.txt", sourceHelp() / "IHELP5.txt");
    ASSERT_EQ(build(dir / "source", "HELP5").status, 0);
    const std::string good = built("IHELP5.HLP");
    const std::string italian = readFile(kSources / "IHELP5.txt");
    const std::size_t recordB = italian.find("@@ B\n"), recordC = italian.find("@@ C\n");
    const std::size_t accent = italian.find("\xc3", italian.size() / 2);
    ASSERT_NE(recordB, std::string::npos);
    ASSERT_NE(recordC, std::string::npos);
    ASSERT_NE(accent, std::string::npos);

    const struct {
        const char* what;
        std::string text;
        const char* message;
    } cases[] = {
        {"records swapped",
         italian.substr(0, italian.find("@@ A\n")) + italian.substr(recordB, recordC - recordB) +
             italian.substr(italian.find("@@ A\n"), recordB - italian.find("@@ A\n")) +
             italian.substr(recordC),
         "IHELP5.txt: key \"A\" is out of the order of the English help"},
        {"a key of another screen", italian + "@@ Q\nPiano di riferimento.\n",
         "IHELP5.txt: key \"Q\" has no English record"},
        {"a key twice", italian + "@@ A\nAncora.\n", "key \"A\" given twice"},
        {"a key missing", "@@\nTesto.\n", "\"@@\" without a key"},
        {"text before the first record", "Testo.\n" + italian,
         "text before the first \"@@\" record line"},
        {"an oversized record", "@@ A\n" + std::string(1200, 'x') + "\n",
         "record \"A\" is longer than 1152 bytes"},
        {"Latin-1 text", "@@ A\nPerch\xe9 s\xec.\n", "line 2: not UTF-8 text"},
        {"cut inside a letter", italian.substr(0, accent + 1), "not UTF-8 text"},
        {"garbage", std::string("\x00\xff\xfe\x80 @@", 7), "not UTF-8 text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(sourceHelp() / "IHELP5.txt", std::ios::binary) << c.text;
        auto r = build(dir / "source", "IHELP5", true);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_NE(r.output.find("FAILED"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        EXPECT_EQ(built("IHELP5.HLP"), good);
    }

    // Cut at a line end: the records left are used, the rest is English.
    std::ofstream(sourceHelp() / "IHELP5.txt", std::ios::binary) << italian.substr(0, recordC);
    auto r = build(dir / "source", "IHELP5", true);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("IHELP5.txt has no record \"<\""), std::string::npos) << r.output;
    EXPECT_EQ(records(built("IHELP5.HLP"))[1], records(good)[1]);
    EXPECT_EQ(records(built("IHELP5.HLP"))[2], records(built("HELP5.HLP"))[2]);
}

} // namespace

// A built file damaged later is named by the manifest, and the builder run
// without --force rebuilds it (and only it) to the bytes it had.
TEST_F(HelpBuild, AFileDamagedAfterTheBuildIsRebuiltWithoutForce) {
    fs::copy_file(kSources / "HELP5.txt", sourceHelp() / "HELP5.txt");
    fs::copy_file(kSources / "IHELP5.txt", sourceHelp() / "IHELP5.txt");
    auto r = build(dir / "source", "HELP5");
    ASSERT_EQ(r.status, 0) << r.output;
    ASSERT_TRUE(fs::exists(dir / "tree" / tarvo::kTreeManifestName));
    EXPECT_TRUE(tarvo::checkTreeManifest(dir / "tree").intact());
    const std::string good = built("IHELP5.HLP");

    const fs::path damaged = dir / "tree" / "HLP" / "IHELP5.HLP";
    {
        std::fstream f(damaged, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(10);
        f.put('\x7f');
    }
    fs::last_write_time(damaged, fs::last_write_time(dir / "tree" / tarvo::kTreeManifestName) +
                                     std::chrono::seconds(5));
    const auto check = tarvo::checkTreeManifest(dir / "tree");
    EXPECT_EQ(check.changed, std::vector<std::string>{"HLP/IHELP5.HLP"});

    r = build(dir / "source", "HELP5");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("HLP/HELP5.HLP: up to date"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("HLP/IHELP5.HLP: up to date"), std::string::npos) << r.output;
    EXPECT_EQ(built("IHELP5.HLP"), good);
    EXPECT_TRUE(tarvo::checkTreeManifest(dir / "tree").intact());
}
