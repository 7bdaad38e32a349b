// The 26-byte star record of STARS3D.BIN, little-endian, and the packed
// words inside it.
#include "tarvo/libraries/star_catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarvo {

namespace {

std::int32_t i32At(std::span<const unsigned char, kStarRecordBytes> b, std::size_t at) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
        static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int16_t i16At(std::span<const unsigned char, kStarRecordBytes> b, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[at] | b[at + 1] << 8));
}

void put32(unsigned char* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int k = 0; k < 4; ++k) p[k] = static_cast<unsigned char>(u >> (8 * k));
}
void put16(unsigned char* p, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    p[0] = static_cast<unsigned char>(u), p[1] = static_cast<unsigned char>(u >> 8);
}

// A signed value as low part (carrying the sign) and high part:
// value = low + sign(low) × 32768 × high.
void putSigned(unsigned char* p, std::int32_t v) {
    v = std::clamp(v, -kStarValueLimit, kStarValueLimit);
    std::int32_t m = std::abs(v);
    if (m % 32768 == 0 && m != 0) --m; // a zero low part would lose the high part
    const std::int32_t low = m % 32768, high = m / 32768;
    put16(p, static_cast<std::int16_t>(v < 0 ? -low : low));
    p[2] = static_cast<unsigned char>(high);
}

std::int32_t signedValue(std::int16_t low, unsigned char high) {
    const int sign = low > 0 ? 1 : (low < 0 ? -1 : 0);
    return low + sign * 32768 * high;
}

} // namespace

StarRecord decodeStarRecord(std::span<const unsigned char, kStarRecordBytes> b) {
    StarRecord r;
    r.rightAscension = i32At(b, 0);
    r.polarDistance = i32At(b, 4);
    // Value A: high × 32768 + low, given the sign of the polar distance.
    const std::int32_t a = b[10] * 32768 + i16At(b, 8);
    r.valueA = r.polarDistance < 0 ? -a : a;
    r.motion = {signedValue(i16At(b, 11), b[13]), signedValue(i16At(b, 14), b[16]),
                signedValue(i16At(b, 17), b[19])};
    r.magnitudeWord = static_cast<std::uint16_t>(b[20] | b[21] << 8);
    r.crossReference = i32At(b, 22);
    return r;
}

std::array<unsigned char, kStarRecordBytes> encodeStarRecord(const StarRecord& r) {
    std::array<unsigned char, kStarRecordBytes> b{};
    put32(&b[0], r.rightAscension);
    put32(&b[4], r.polarDistance);
    const std::int32_t a = std::min(
        std::abs(std::clamp(r.valueA, -kStarValueLimit, kStarValueLimit)), kStarValueLimit);
    put16(&b[8], static_cast<std::int16_t>(a % 32768));
    b[10] = static_cast<unsigned char>(a / 32768);
    putSigned(&b[11], r.motion[0]);
    putSigned(&b[14], r.motion[1]);
    putSigned(&b[17], r.motion[2]);
    b[20] = static_cast<unsigned char>(r.magnitudeWord);
    b[21] = static_cast<unsigned char>(r.magnitudeWord >> 8);
    put32(&b[22], r.crossReference);
    return b;
}

std::int32_t crossReferenceWord(int uncertaintyCode, int designationRecord, int nameRecord,
                                bool deepSky) {
    const std::int64_t v =
        static_cast<std::int64_t>(std::clamp(uncertaintyCode, 0, 255)) * 8388608 +
        std::clamp(designationRecord, 0, 8191) * 1024 + std::clamp(nameRecord, 0, 1023);
    // 255 × 2^23 + ... still fits: the largest is 2^31 - 1.
    const auto word = static_cast<std::int32_t>(std::min<std::int64_t>(v, 2147483647));
    return deepSky ? -word : word;
}

int colourClassFromIndex(double bMinusV, bool known) {
    if (!known || !std::isfinite(bMinusV)) return 0;
    return std::clamp(static_cast<int>(std::lround((bMinusV + 1.0) * 40.0)), 1, 127);
}

double colourIndexOf(int colourClass) {
    return colourClass / 40.0 - 1.0;
}

} // namespace tarvo
