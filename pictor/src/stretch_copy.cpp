#include "stretch_copy.h"

#include <algorithm>
#include <vector>

namespace pictor {

namespace {

// Source pixels [first, last) that target pixel i of n covers along one axis.
struct Cover {
    long long first, last;
};

Cover coverOf(long long i, long long n, long long srcStart, long long srcLength, bool average) {
    if (!average || srcLength <= n) {
        const long long centre =
            static_cast<long long>((static_cast<__int128>(2 * i + 1) * srcLength) / (2 * n));
        return {srcStart + centre, srcStart + centre + 1};
    }
    const long long first = static_cast<long long>((static_cast<__int128>(i) * srcLength) / n);
    long long last = static_cast<long long>((static_cast<__int128>(i + 1) * srcLength + n - 1) / n);
    last = std::max(last, first + 1);
    return {srcStart + first, srcStart + last};
}

} // namespace

void stretchCopy(Canvas& canvas, TargetRect target, const Picture& picture, SourceRect source,
                 StretchMode mode) {
    if (target.width <= 0 || target.height <= 0 || source.width <= 0 || source.height <= 0) return;
    const bool average = mode == StretchMode::Halftone;
    const long long i0 = std::max<long long>(0, -target.x);
    const long long i1 = std::min<long long>(target.width, canvas.width - target.x);
    const long long j0 = std::max<long long>(0, -target.y);
    const long long j1 = std::min<long long>(target.height, canvas.height - target.y);
    if (i1 <= i0 || j1 <= j0) return;

    std::vector<Cover> columns;
    columns.reserve(static_cast<size_t>(i1 - i0));
    for (long long i = i0; i < i1; ++i)
        columns.push_back(coverOf(i, target.width, source.x, source.width, average));

    for (long long j = j0; j < j1; ++j) {
        const Cover rows = coverOf(j, target.height, source.y, source.height, average);
        if (rows.first < 0 || rows.last > picture.height) continue;
        uint32_t* out = canvas.row(static_cast<int>(target.y + j)) + target.x;
        for (long long i = i0; i < i1; ++i) {
            const Cover& cols = columns[static_cast<size_t>(i - i0)];
            if (cols.first < 0 || cols.last > picture.width) continue;
            if (cols.last - cols.first == 1 && rows.last - rows.first == 1) {
                out[i] = picture.at(static_cast<int>(cols.first), static_cast<int>(rows.first));
                continue;
            }
            uint64_t r = 0, g = 0, b = 0;
            for (long long y = rows.first; y < rows.last; ++y) {
                const uint32_t* src = picture.pixels.data() + y * picture.width;
                for (long long x = cols.first; x < cols.last; ++x) {
                    r += (src[x] >> 16) & 0xFFu;
                    g += (src[x] >> 8) & 0xFFu;
                    b += src[x] & 0xFFu;
                }
            }
            const uint64_t n =
                static_cast<uint64_t>((rows.last - rows.first) * (cols.last - cols.first));
            out[i] = static_cast<uint32_t>(((r + n / 2) / n) << 16 | ((g + n / 2) / n) << 8 |
                                           ((b + n / 2) / n));
        }
    }
}

} // namespace pictor
