// The manifest of a data tree: the SHA-256 of every file the builder wrote
// into BIN, ASC, IMG and HLP, in the file MANIFEST.SHA256 at the root of the
// tree, in the layout of sha256sum ("digest  path", so that
// `sha256sum -c MANIFEST.SHA256` run in the tree checks it too).
//
// CFG and USERDATA hold what the user changes and are not listed.
//
// The check at start-up must cost next to nothing: a listed file that is
// missing or not a regular file is reported at once; a file is hashed only
// when it was modified after the manifest was written, so an intact tree is
// checked with one stat per file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvo {

inline constexpr const char* kTreeManifestName = "MANIFEST.SHA256";

// Writes the manifest of the tree at `base`; false with a message.
bool writeTreeManifest(const std::filesystem::path& base, std::string& message);

struct TreeManifestCheck {
    bool manifestFound = false;
    std::vector<std::string> missing; // listed but absent (or not a regular file)
    std::vector<std::string> changed; // contents differ from the listed digest
    std::string damaged;              // the manifest itself could not be read: what and where
    bool intact() const { return missing.empty() && changed.empty() && damaged.empty(); }
};

TreeManifestCheck checkTreeManifest(const std::filesystem::path& base);

// The warning start-up shows for `check` ("" when there is nothing to say),
// ending with the builder command that makes the tree whole again (the
// builder rebuilds what the manifest finds missing or changed): the
// builder beside the running program (in `executableDir`) when it is there,
// else the one on the PATH.
std::string treeManifestWarning(const std::filesystem::path& base, const TreeManifestCheck& check,
                                const std::filesystem::path& executableDir);

// Checks the tree at `base` and gives its warning.
inline std::string treeManifestWarning(const std::filesystem::path& base,
                                       const std::filesystem::path& executableDir) {
    return treeManifestWarning(base, checkTreeManifest(base), executableDir);
}

} // namespace tarvo
