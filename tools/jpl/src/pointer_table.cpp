#include "jpl/pointer_table.h"

#include <algorithm>

namespace jpl {

int wordsPerRecord(const PointerTable& table)
{
    int words = 0;
    for (int s = 0; s < seriesCount; ++s) {
        const SeriesLayout& layout = table[s];
        if (!layout.present()) continue;
        const long long last = layout.pointer - 1LL +
                               1LL * layout.coefficients * componentsOf(static_cast<Series>(s)) *
                                   layout.subintervals;
        words = static_cast<int>(std::max<long long>(words, last));
    }
    return words;
}

PointerTable de405PointerTable()
{
    // pointer, coefficients, subintervals, in pointer-table order
    static constexpr int published[13][3] = {
        {3, 14, 4},   {171, 10, 2}, {231, 13, 2}, {309, 11, 1}, {342, 8, 1},
        {366, 7, 1},  {387, 6, 1},  {405, 6, 1},  {423, 6, 1},  {441, 13, 8},
        {753, 11, 2}, {819, 10, 4}, {899, 10, 4},
    };
    PointerTable table{};
    for (int s = 0; s < 13; ++s) table[s] = {published[s][0], published[s][1], published[s][2]};
    return table;
}

}  // namespace jpl
