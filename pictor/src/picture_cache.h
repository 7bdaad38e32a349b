// The last picture loaded, kept decoded: the world-map pictures are cropped
// again and again (every zoom of the picker, every map of the path mapper),
// and decoding the 9600 x 6000 map each time would cost far more than the
// copy. The entry is used only while the file is unchanged (same device,
// inode, size and modification time).
#pragma once
#include <memory>
#include <string>

#include "picture.h"

namespace pictor {

// The decoded picture of `path`, or nullptr when the file cannot be loaded
// (`error` then says why).
std::shared_ptr<const Picture> loadPicture(const std::string& path, std::string& error);

// Tests: how many files were decoded since the start.
long long picturesDecoded();

} // namespace pictor
