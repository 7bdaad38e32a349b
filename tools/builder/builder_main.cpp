// tarvo-build-data: writes the data tree (BIN ASC IMG CFG HLP USERDATA) the
// programs read. Deterministic: the same sources give the same bytes. An
// output whose stamp (version, options, input sizes and times) is unchanged
// and whose file exists is skipped.
#include "builder_output.h"

#include "fileio/tree_manifest.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "Usage: tarvo-build-data --tree DIR [--source DIR] [--force] [--only NAME] [--key=value ...]\n"
    "Writes the data tree of the suite under DIR (directories BIN ASC IMG CFG HLP USERDATA).\n"
    "  --tree DIR     root of the tree to write\n"
    "  --source DIR   repository root holding docs/help (default: the build's source tree)\n"
    "  --force        rebuild every output even when it is up to date\n"
    "  --only NAME    build only the outputs whose path contains NAME\n"
    "  --list         list the outputs and exit\n"
    "  --key=value    options read by single outputs, e.g. --jpl=FILE, --mpc-obscodes=FILE\n";

std::string stampOf(const builder::BuildContext& ctx, const builder::Output& out) {
    std::ostringstream s;
    s << "version " << out.version << "\n";
    for (const auto& key : out.optionKeys) s << "option " << key << "=" << ctx.option(key) << "\n";
    if (out.inputs) {
        for (const auto& in : out.inputs(ctx)) {
            std::error_code ec;
            auto size = fs::file_size(in, ec);
            auto time = fs::last_write_time(in, ec);
            s << "input " << in.string() << " "
              << (ec ? std::string("missing")
                     : std::to_string(size) + " " + std::to_string(time.time_since_epoch().count()))
              << "\n";
        }
    }
    return s.str();
}

std::string readWhole(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

} // namespace

int main(int argc, char** argv) {
    builder::BuildContext ctx;
#ifdef TARVO_SOURCE_DIR
    ctx.sourceDir = TARVO_SOURCE_DIR;
#endif
    bool force = false, list = false;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](const char* what) -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(std::string(what) + " needs a value");
            return argv[++i];
        };
        try {
            if (a == "--help" || a == "-h") {
                std::cout << kUsage;
                return 0;
            } else if (a == "--tree") {
                ctx.tree = next("--tree");
            } else if (a == "--source") {
                ctx.sourceDir = next("--source");
            } else if (a == "--force") {
                force = true;
            } else if (a == "--list") {
                list = true;
            } else if (a == "--only") {
                only = next("--only");
            } else if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
                auto eq = a.find('=');
                ctx.options[a.substr(2, eq - 2)] = a.substr(eq + 1);
            } else {
                std::cerr << "tarvo-build-data: unknown argument \"" << a << "\"\n" << kUsage;
                return 2;
            }
        } catch (const std::exception& e) {
            std::cerr << "tarvo-build-data: " << e.what() << "\n";
            return 2;
        }
    }

    std::vector<builder::Output> outputs = builder::registeredOutputs();
    std::stable_sort(outputs.begin(), outputs.end(), [](const auto& a, const auto& b) {
        return a.order != b.order ? a.order < b.order : a.path < b.path;
    });
    if (list) {
        for (const auto& o : outputs) std::cout << o.path << "\n";
        return 0;
    }
    if (ctx.tree.empty()) {
        std::cerr << "tarvo-build-data: --tree DIR is required\n" << kUsage;
        return 2;
    }

    std::error_code ec;
    for (const char* dir : {"BIN", "ASC", "IMG", "CFG", "HLP", "USERDATA", ".stamps"}) {
        fs::create_directories(ctx.tree / dir, ec);
        if (ec) {
            std::cerr << "tarvo-build-data: cannot create " << (ctx.tree / dir).string() << ": "
                      << ec.message() << "\n";
            return 1;
        }
    }

    // A file the manifest finds missing or changed since the last build is not
    // up to date, whatever its stamp says.
    const tarvo::TreeManifestCheck damage = tarvo::checkTreeManifest(ctx.tree);
    auto damaged = [&](const std::string& path) {
        return std::find(damage.changed.begin(), damage.changed.end(), path) !=
                   damage.changed.end() ||
               std::find(damage.missing.begin(), damage.missing.end(), path) !=
                   damage.missing.end();
    };

    std::cout << "Building the data tree in " << ctx.tree.string() << "\n";
    int built = 0, skipped = 0, failed = 0, index = 0;
    const int total = static_cast<int>(outputs.size());
    for (const auto& out : outputs) {
        ++index;
        if (!only.empty() && out.path.find(only) == std::string::npos) continue;
        const fs::path target = ctx.tree / out.path;
        std::string stampName = out.path;
        std::replace(stampName.begin(), stampName.end(), '/', '_');
        const fs::path stampFile = ctx.tree / ".stamps" / stampName;
        const std::string stamp = stampOf(ctx, out);
        std::cout << "[" << index << "/" << total << "] " << out.path;
        if (!force && fs::exists(target) && fs::exists(stampFile) &&
            readWhole(stampFile) == stamp && !damaged(out.path)) {
            std::cout << ": up to date\n";
            ++skipped;
            continue;
        }
        std::cout << std::endl;
        const auto start = std::chrono::steady_clock::now();
        const fs::path temp = target.string() + ".tmp";
        try {
            fs::create_directories(target.parent_path());
            out.build(ctx, temp);
            fs::rename(temp, target);
            std::ofstream(stampFile, std::ios::binary) << stamp;
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            char line[64];
            std::snprintf(line, sizeof line, "  done in %.1f s", seconds);
            std::cout << line << "\n";
            ++built;
        } catch (const std::exception& e) {
            fs::remove(temp, ec);
            std::cerr << "  FAILED: " << e.what() << "\n";
            ++failed;
        }
    }
    std::cout << built << " built, " << skipped << " up to date, " << failed << " failed\n";
    std::string message;
    if (!tarvo::writeTreeManifest(ctx.tree, message)) {
        std::cerr << "tarvo-build-data: " << message << "\n";
        return 1;
    }
    std::cout << "Manifest written: " << (ctx.tree / tarvo::kTreeManifestName).string() << "\n";
    return failed ? 1 : 0;
}
