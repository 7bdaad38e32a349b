// One output of the data-tree builder: a file of the tree, how to make it,
// and what it depends on so that an up-to-date file is skipped.
//
// Each output lives in its own file tools/builder/output_*.cpp and registers
// itself with a static `builder::Registration`; the builder runs them in
// (order, name) order.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace builder {

struct BuildContext {
    std::filesystem::path tree;      // root of the data tree (BIN ASC IMG CFG HLP USERDATA)
    std::filesystem::path sourceDir; // repository root (docs/help sources and the like)
    std::map<std::string, std::string> options; // --key=value options of the command line
    // Value of an option, or `fallback` when it was not given.
    std::string option(const std::string& key, const std::string& fallback = "") const;
    // One progress line on standard output.
    void progress(const std::string& message) const;
};

struct Output {
    std::string path;    // relative to the tree, e.g. "BIN/PRECDATN.BIN"
    int order = 100;     // lower runs first (outputs that others read come early)
    std::string version; // change it whenever the contents would change
    // Files outside the tree whose change makes the output stale.
    std::function<std::vector<std::filesystem::path>(const BuildContext&)> inputs;
    // Option keys whose values are part of the output's identity.
    std::vector<std::string> optionKeys;
    // Writes the whole file at `target` (a temporary name the builder renames into place).
    // Throws std::runtime_error with a clear message on failure.
    std::function<void(const BuildContext&, const std::filesystem::path& target)> build;
};

void registerOutput(Output output);
const std::vector<Output>& registeredOutputs();

struct Registration {
    explicit Registration(Output output) { registerOutput(std::move(output)); }
};

} // namespace builder
