#include "fileio/tree_manifest.h"

#include "fileio/atomic_file.h"
#include "fileio/sha256.h"

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

namespace tarvo {
namespace {

constexpr const char* kListedDirectories[] = {"BIN", "ASC", "IMG", "HLP"};
constexpr std::size_t kLongestLine = 4096;   // bytes of one manifest line
constexpr std::size_t kMostEntries = 100000; // lines of a manifest
constexpr std::size_t kNamesInWarning = 8;   // file names listed before "and N more"

// A listed path must stay inside the tree: relative, under one of the
// listed directories, no "..".
bool safeRelativePath(const std::string& name) {
    const fs::path p(name);
    if (p.empty() || p.is_absolute()) return false;
    for (const auto& part : p)
        if (part == ".." || part == ".") return false;
    const std::string first = p.begin()->string();
    return std::any_of(std::begin(kListedDirectories), std::end(kListedDirectories),
                       [&](const char* d) { return first == d; });
}

bool isHexDigest(const std::string& s) {
    return s.size() == 64 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string joinNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesInWarning; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > kNamesInWarning)
        text += " and " + std::to_string(names.size() - kNamesInWarning) + " more";
    return text;
}

} // namespace

bool writeTreeManifest(const fs::path& base, std::string& message) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const char* dir : kListedDirectories) {
        if (!fs::is_directory(base / dir, ec)) continue;
        for (fs::recursive_directory_iterator it(base / dir, ec), end; !ec && it != end;
             it.increment(ec))
            if (it->is_regular_file(ec))
                names.push_back(it->path().lexically_relative(base).generic_string());
        if (ec) {
            message = "cannot list " + (base / dir).string() + ": " + ec.message();
            return false;
        }
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& name : names) {
        const auto digest = sha256OfFile(base / name);
        if (!digest) {
            message = "cannot read " + (base / name).string() + " for the manifest";
            return false;
        }
        text += *digest + "  " + name + "\n";
    }
    return writeFileAtomically(base / kTreeManifestName, text, message);
}

TreeManifestCheck checkTreeManifest(const fs::path& base) {
    TreeManifestCheck check;
    const fs::path manifest = base / kTreeManifestName;
    std::error_code ec;
    if (!fs::is_regular_file(manifest, ec)) return check;
    check.manifestFound = true;
    const auto written = fs::last_write_time(manifest, ec);
    std::ifstream in(manifest, std::ios::binary);
    if (ec || !in) {
        check.damaged = manifest.string() + " cannot be read";
        return check;
    }
    std::string line;
    std::size_t lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.size() > kLongestLine || lineNumber > kMostEntries) {
            check.damaged = manifest.string() + " line " + std::to_string(lineNumber) +
                            (line.size() > kLongestLine ? ": line too long" : ": too many lines");
            return check;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::string digest = line.substr(0, 64);
        const std::string name = line.size() > 66 ? line.substr(66) : "";
        if (!isHexDigest(digest) || line.compare(64, 2, "  ") != 0 || !safeRelativePath(name)) {
            check.damaged = manifest.string() + " line " + std::to_string(lineNumber) +
                            ": digest and file name of the tree expected";
            return check;
        }
        const fs::path file = base / name;
        if (!fs::is_regular_file(file, ec)) {
            check.missing.push_back(name);
            continue;
        }
        const auto modified = fs::last_write_time(file, ec);
        if (!ec && modified <= written) continue;
        const auto actual = sha256OfFile(file);
        if (!actual)
            check.missing.push_back(name);
        else if (*actual != digest)
            check.changed.push_back(name);
    }
    return check;
}

std::string treeManifestWarning(const fs::path& base, const TreeManifestCheck& check,
                                const fs::path& executableDir) {
    if (check.intact()) return "";
    std::string text;
    if (!check.damaged.empty())
        text += "The manifest of the data tree is damaged: " + check.damaged + ".\n";
    if (!check.missing.empty())
        text +=
            "Missing from the data tree " + base.string() + ": " + joinNames(check.missing) + ".\n";
    if (!check.changed.empty())
        text += "Changed since the data tree " + base.string() +
                " was built: " + joinNames(check.changed) + ".\n";
    const fs::path beside = executableDir / "tarvo-build-data";
    std::error_code ec;
    const std::string builder = fs::exists(beside, ec) ? beside.string() : "tarvo-build-data";
    text += "Rebuild it with: " + builder + " --tree " + base.string() + "\n";
    return text;
}

} // namespace tarvo
