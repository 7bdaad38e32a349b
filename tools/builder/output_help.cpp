// HLP/HELPn.HLP, IHELPn.HLP, DHELPn.HLP: the context help of each screen in
// English, Italian and German, packed from the plain-text sources
// docs/help/HELPn.txt, IHELPn.txt and DHELPn.txt into fixed records of 1152
// bytes, one record per key of the screen's key string.
//
// A source holds its records in key order, each starting with a line
// "@@ <key>"; lines keep their breaks and a record is padded with blanks.
// Text is UTF-8, as the console shows it. The English source decides the
// keys and their order; a translation keeps both. A record missing from a
// translation, or a translation missing whole, is filled with the English
// text and a warning in the build log, so record k is always key k.
#include "builder_output.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRecordBytes = 1152;
// tarvo's screens by number; fitra's toggle screen (FT1) and action menu (FT2).
const char* const kScreens[] = {"1", "2", "4", "5", "6", "FT1", "FT2"};

struct HelpLanguage {
    const char* prefix; // of the source and of the HLP file
    const char* name;
};
constexpr HelpLanguage kEnglish = {"", "English"};
constexpr HelpLanguage kTranslations[] = {{"I", "Italian"}, {"D", "German"}};

bool isEnglish(const HelpLanguage& language) {
    return language.prefix[0] == '\0';
}

struct HelpRecord {
    std::string key;
    std::string text;
};

fs::path sourceOf(const builder::BuildContext& ctx, const HelpLanguage& language,
                  const std::string& screen) {
    return ctx.sourceDir / "docs" / "help" /
           (std::string(language.prefix) + "HELP" + screen + ".txt");
}

// True when `line` is well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(const std::string& line) {
    for (std::size_t i = 0; i < line.size();) {
        const auto lead = static_cast<unsigned char>(line[i]);
        std::size_t extra = 0;
        unsigned char low = 0x80, high = 0xBF; // range of the second byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + extra >= line.size()) return false; // cut short by the line end
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(line[i + k]);
            if (k == 1 ? (c < low || c > high) : (c & 0xC0) != 0x80) return false;
        }
        i += extra + 1;
    }
    return true;
}

std::vector<HelpRecord> readRecords(const fs::path& source) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + source.string());
    std::vector<HelpRecord> records;
    std::string line;
    int number = 0;
    std::size_t blankLines = 0; // since the last line of text
    const auto fail = [&](const std::string& what) {
        throw std::runtime_error(source.string() + " line " + std::to_string(number) + ": " + what);
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!isUtf8(line)) fail("not UTF-8 text");
        if (line.rfind("@@", 0) == 0) {
            std::string key = line.substr(2);
            key.erase(0, key.find_first_not_of(' '));
            key.erase(key.find_last_not_of(' ') + 1);
            if (key.empty()) fail("\"@@\" without a key");
            for (const auto& r : records)
                if (r.key == key) fail("key \"" + key + "\" given twice");
            records.push_back({key, ""});
            blankLines = 0;
            continue;
        }
        if (records.empty()) {
            if (line.empty() || line[0] == '#') continue; // comments before the first record
            fail("text before the first \"@@\" record line");
        }
        // Blank lines count only between lines of text: none lead or trail.
        if (line.empty()) {
            ++blankLines;
            continue;
        }
        std::string& text = records.back().text;
        if (!text.empty()) text.append(blankLines + 1, '\n');
        blankLines = 0;
        text += line;
        if (text.size() > kRecordBytes)
            fail("record \"" + records.back().key + "\" is longer than 1152 bytes");
    }
    return records;
}

bool isBlank(const std::string& text) {
    return text.find_first_not_of(" \n") == std::string::npos;
}

// The translation's records in the English keys and order: a record the
// translation lacks (or leaves blank) keeps the English text, with a warning.
// A key the English lacks, or one out of the English order, is refused:
// it would put help under the wrong key.
std::vector<HelpRecord> translated(const builder::BuildContext& ctx,
                                   std::vector<HelpRecord> english, const fs::path& source,
                                   const HelpLanguage& language) {
    const std::string name = source.filename().string();
    if (!fs::exists(source)) {
        if (!english.empty())
            ctx.progress(std::string("warning: no ") + language.name + " help " + name +
                         ": the English text is used");
        return english;
    }
    std::vector<bool> given(english.size(), false);
    std::size_t next = 0; // English position after the previous translated key
    for (const auto& t : readRecords(source)) {
        const auto it = std::find_if(english.begin(), english.end(),
                                     [&](const HelpRecord& e) { return e.key == t.key; });
        if (it == english.end())
            throw std::runtime_error(name + ": key \"" + t.key + "\" has no English record");
        const auto position = static_cast<std::size_t>(it - english.begin());
        if (position < next)
            throw std::runtime_error(name + ": key \"" + t.key +
                                     "\" is out of the order of the English help");
        next = position + 1;
        if (isBlank(t.text)) continue;
        it->text = t.text;
        given[position] = true;
    }
    for (std::size_t k = 0; k < english.size(); ++k)
        if (!given[k] && !isBlank(english[k].text))
            ctx.progress("warning: " + name + " has no record \"" + english[k].key +
                         "\": the English text is used");
    return english;
}

void pack(const builder::BuildContext& ctx, const HelpLanguage& language, const std::string& screen,
          const fs::path& target) {
    std::ofstream out(target, std::ios::binary);
    if (!out) throw std::runtime_error("cannot write " + target.string());
    const fs::path source = sourceOf(ctx, kEnglish, screen);
    if (!fs::exists(source)) return; // no help yet: an empty file shows "No help available"
    std::vector<HelpRecord> records = readRecords(source);
    if (!isEnglish(language))
        records = translated(ctx, std::move(records), sourceOf(ctx, language, screen), language);
    for (auto& record : records) {
        record.text.resize(kRecordBytes, ' ');
        out.write(record.text.data(), static_cast<std::streamsize>(record.text.size()));
    }
    if (!out.flush()) throw std::runtime_error("cannot write " + target.string());
}

void registerHelp(const HelpLanguage& language, const std::string& screen) {
    builder::registerOutput({
        .path = std::string("HLP/") + language.prefix + "HELP" + screen + ".HLP",
        .order = 20,
        .version = "2",
        .inputs =
            [language, screen](const builder::BuildContext& ctx) {
                std::vector<fs::path> sources{sourceOf(ctx, kEnglish, screen)};
                if (!isEnglish(language)) sources.push_back(sourceOf(ctx, language, screen));
                return sources;
            },
        .optionKeys = {},
        .build = [&language,
                  screen](const builder::BuildContext& ctx,
                          const fs::path& target) { pack(ctx, language, screen, target); },
    });
}

struct HelpOutputs {
    HelpOutputs() {
        for (const char* screen : kScreens) {
            registerHelp(kEnglish, screen);
            for (const auto& language : kTranslations) registerHelp(language, screen);
        }
    }
} helpOutputs;

} // namespace
