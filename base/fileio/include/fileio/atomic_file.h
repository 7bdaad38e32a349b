// Writing a file the user would lose work in: the bytes go to a temporary
// name beside the target, which is renamed into place only when the whole
// file was written, so a failed write never leaves half a file where the
// old one was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo {

// Replaces `file` with `bytes`; false with a message naming the file.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         std::string& message);

} // namespace tarvo
