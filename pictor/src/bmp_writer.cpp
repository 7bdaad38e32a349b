#include "bmp_writer.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace pictor {

int saveDepthFor(int canvasBits) {
    for (int depth : {1, 4, 8, 16, 24}) {
        if (canvasBits <= depth) return depth;
    }
    return 32;
}

namespace {
void putU16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void putU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    putU16(out, at, v & 0xFFFFu);
    putU16(out, at + 2, v >> 16);
}
} // namespace

std::vector<uint8_t> encodeBmp24(const Canvas& canvas, int width, int height) {
    constexpr size_t kHeaders = 14 + 40;
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const size_t imageBytes = rowBytes * static_cast<size_t>(height);
    std::vector<uint8_t> out(kHeaders + imageBytes, 0);
    out[0] = 'B';
    out[1] = 'M';
    putU32(out, 2, static_cast<uint32_t>(out.size()));
    putU32(out, 10, kHeaders);
    putU32(out, 14, 40);
    putU32(out, 18, static_cast<uint32_t>(width));
    putU32(out, 22, static_cast<uint32_t>(height)); // positive: rows run bottom-up
    putU16(out, 26, 1);                             // planes
    putU16(out, 28, 24);                            // bits per pixel; compression and the rest 0
    for (int y = 0; y < height; ++y) {
        const uint32_t* src = canvas.row(y);
        uint8_t* dst = out.data() + kHeaders + rowBytes * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            dst[3 * x] = static_cast<uint8_t>(src[x]);
            dst[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            dst[3 * x + 2] = static_cast<uint8_t>(src[x] >> 16);
        }
    }
    return out;
}

int writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    const std::string temporary = path + ".part" + std::to_string(getpid());
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return errno ? errno : EIO;
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
    int failure = written == bytes.size() ? 0 : (errno ? errno : EIO);
    if (std::fclose(f) != 0 && failure == 0) failure = errno ? errno : EIO;
    if (failure == 0 && std::rename(temporary.c_str(), path.c_str()) != 0)
        failure = errno ? errno : EIO;
    if (failure != 0) std::remove(temporary.c_str());
    return failure;
}

} // namespace pictor
