// Context help from the fixed-record help files of the HLP directory:
// record k (1152 bytes of text) holds the help for the k-th key of a
// screen's key string. Shared by every program of the suite.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarvo {

inline constexpr int kHelpRecordBytes = 1152;

// The text of record `keyPosition` (1-based) of `fileName` in `hlpDir`
// (matched case-insensitively), blanks trimmed at both ends; nullopt when
// the file or the record is missing or the record is blank.
std::optional<std::string> readHelpRecordFile(const std::filesystem::path& hlpDir,
                                              const std::string& fileName, int keyPosition);

} // namespace tarvo
