// What is wrong with a file a reader could not use, in words for a message,
// and the copy kept of a file before it is rewritten.
#pragma once

#include <filesystem>
#include <string>

namespace tarvo {

// "" when `file` is a regular file this process can open for reading;
// otherwise why not: "is missing", "is a directory, not a file", "is not a
// regular file", "cannot be read (permission denied)", ...
std::string readProblem(const std::filesystem::path& file);

// The name the copy of `file` gets: the same name with ".bak" added.
std::filesystem::path backupName(const std::filesystem::path& file);

// Copies `file` to backupName(file), replacing an older copy. True when
// there was nothing to keep or the copy was made; false with a message
// naming both files otherwise.
bool keepBackupCopy(const std::filesystem::path& file, std::string& message);

// `text` with control characters written as "^X" (DEL as "^?"), so that a
// damaged file's bytes never move the cursor or sound the bell in a
// message box; at most `maxLength` characters of it, then "...".
std::string printable(const std::string& text, std::size_t maxLength = 60);

} // namespace tarvo
