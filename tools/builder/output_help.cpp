// HLP/HELPn.HLP, IHELPn.HLP, DHELPn.HLP: the context help of each screen,
// packed from the plain-text sources docs/help/HELPn.txt into fixed records
// of 1152 bytes, one record per key of the screen's key string.
//
// A source holds its records in key order, each starting with a line
// "@@ <key>" (the key is a reminder for the writer; order decides). Lines
// keep their breaks; a record is padded with blanks. The Italian and German
// files carry the English text until they are translated.
#include "builder_output.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRecordBytes = 1152;
constexpr int kScreens[] = {1, 2, 4, 5, 6};

fs::path sourceOf(const builder::BuildContext& ctx, int screen) {
    return ctx.sourceDir / "docs" / "help" / ("HELP" + std::to_string(screen) + ".txt");
}

std::vector<std::string> readRecords(const fs::path& source) {
    std::ifstream in(source, std::ios::binary);
    std::vector<std::string> records;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("@@", 0) == 0) {
            records.emplace_back();
            continue;
        }
        if (records.empty()) {
            if (line.empty() || line[0] == '#') continue; // comments before the first record
            throw std::runtime_error(source.string() + " line " + std::to_string(number) +
                                     ": text before the first \"@@\" record line");
        }
        if (!records.back().empty()) records.back() += '\n';
        records.back() += line;
        if (records.back().size() > kRecordBytes)
            throw std::runtime_error(source.string() + " record " + std::to_string(records.size()) +
                                     " is longer than 1152 bytes");
    }
    return records;
}

void pack(const builder::BuildContext& ctx, int screen, const fs::path& target) {
    std::ofstream out(target, std::ios::binary);
    if (!out) throw std::runtime_error("cannot write " + target.string());
    const fs::path source = sourceOf(ctx, screen);
    if (!fs::exists(source)) return; // no help yet: an empty file shows "No help available"
    for (auto record : readRecords(source)) {
        while (!record.empty() && record.back() == '\n') record.pop_back();
        record.resize(kRecordBytes, ' ');
        out.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
}

struct HelpOutputs {
    HelpOutputs() {
        for (int screen : kScreens) {
            for (const char* prefix : {"", "I", "D"}) {
                builder::registerOutput({
                    .path = std::string("HLP/") + prefix + "HELP" + std::to_string(screen) + ".HLP",
                    .order = 20,
                    .version = "1",
                    .inputs =
                        [screen](const builder::BuildContext& ctx) {
                            return std::vector<fs::path>{sourceOf(ctx, screen)};
                        },
                    .optionKeys = {},
                    .build = [screen](const builder::BuildContext& ctx,
                                      const fs::path& target) { pack(ctx, screen, target); },
                });
            }
        }
    }
} helpOutputs;

} // namespace
