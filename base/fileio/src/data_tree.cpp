#include "fileio/data_tree.h"

#include "fileio/text_util.h"

namespace fs = std::filesystem;

namespace tarvo {

namespace {

bool isDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

DataDirectories directoriesUnder(const fs::path& base) {
    DataDirectories d;
    d.base = base.lexically_normal();
    d.bin = d.base / "BIN";
    d.asc = d.base / "ASC";
    d.img = d.base / "IMG";
    d.cfg = d.base / "CFG";
    d.hlp = d.base / "HLP";
    return d;
}

// A subdirectory of `dir` whose name equals `name` ignoring case, if any.
std::optional<fs::path> subdirectoryNamed(const fs::path& dir, const std::string& name) {
    if (isDirectory(dir / name)) return dir / name;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && upperCase(it->path().filename().string()) == upperCase(name))
            return it->path();
    }
    return std::nullopt;
}

bool endsInUserData(const std::string& text) {
    std::string s = upperCase(trim(text));
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s.size() >= 8 && s.compare(s.size() - 8, 8, "USERDATA") == 0;
}

} // namespace

bool holdsDataTree(const fs::path& dir) {
    return subdirectoryNamed(dir, "BIN").has_value() && subdirectoryNamed(dir, "ASC").has_value();
}

DataTreeResult findDataTree(const DataTreeQuery& query) {
    DataTreeResult result;
    fs::path current = query.currentDir;
    const std::string dirArg = trim(query.commandLineDir);
    // A directory on the command line is compared in upper case but entered
    // with the spelling the user gave: Linux paths are case-sensitive.
    if (!dirArg.empty()) current = fs::absolute(query.currentDir / dirArg).lexically_normal();
    std::vector<fs::path> searched;

    // Started in (or pointed at) a USERDATA directory: the tree is its parent.
    if (endsInUserData(dirArg) || endsInUserData(current.string())) {
        fs::path parent = current.parent_path();
        searched.push_back(parent);
        if (holdsDataTree(parent)) {
            DataDirectories d = directoriesUnder(parent);
            d.workDir = current;
            d.searched = searched;
            result.dirs = d;
            return result;
        }
    }

    std::vector<fs::path> candidates;
    candidates.push_back(current);
    if (query.envTreeDir && !trim(*query.envTreeDir).empty()) {
        candidates.push_back(fs::path(trim(*query.envTreeDir)));
    } else if (!query.executableDir.empty()) {
        candidates.push_back(query.executableDir.parent_path() / "share" / "tarvo");
        candidates.push_back(query.executableDir.parent_path() / "data");
    }
    // The user's files go where the program was started, into its USERDATA
    // subdirectory when it has one, whichever tree the data come from.
    const auto userData = subdirectoryNamed(current, "USERDATA");
    const fs::path workDir = userData ? *userData : current;
    for (const auto& candidate : candidates) {
        // Relative to where the program started: it then changes directory.
        const fs::path base =
            (candidate.is_absolute() ? candidate : query.currentDir / candidate).lexically_normal();
        searched.push_back(base);
        if (!holdsDataTree(base)) continue;
        DataDirectories d = directoriesUnder(base);
        d.workDir = workDir;
        d.searched = searched;
        result.dirs = d;
        if (!dirArg.empty() && base != searched.front())
            result.notice =
                searched.front().string() +
                " holds no data tree (directories BIN, ASC, IMG, CFG, HLP); the data come from " +
                base.string() + " and your files go to " + workDir.string();
        return result;
    }

    std::string msg = "No data tree (directories BIN, ASC, IMG, CFG, HLP) was found. Searched:";
    for (const auto& s : searched) msg += " " + s.string();
    msg += ". Set TARVO12DIR to the data tree, or build it with tarvo-build-data.";
    result.error = msg;
    return result;
}

std::optional<fs::path> findDataFile(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::is_regular_file(dir / name, ec)) return dir / name;
    const std::string wanted = upperCase(name);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (upperCase(it->path().filename().string()) == wanted && it->is_regular_file(ec))
            return it->path();
    }
    return std::nullopt;
}

fs::path executableDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

std::string missingFileMessage(const DataDirectories& dirs, const fs::path& dir,
                               const std::string& name) {
    std::string msg = name + " not found in " + dir.string() + " (data tree " + dirs.base.string() +
                      "; searched:";
    for (const auto& s : dirs.searched) msg += " " + s.string();
    return msg + ")";
}

} // namespace tarvo
