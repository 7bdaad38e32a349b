// Weight tables of the extrapolation integrator: the substep sequence, the
// Richardson weights W in the square of the substep, the error weights Ew
// and the Moon weights Lw used at the 3-day step.
#pragma once

#include <array>

namespace tarvo {

inline constexpr int maxOrderCode = 8;

// Substeps n_j of stage j = 0..8.
inline constexpr std::array<int, 9> substepSequence = {1, 2, 3, 4, 5, 6, 8, 10, 12};

using WeightRow = std::array<double, 10>;  // [0] denominator, [1..M+1] weights of stages 0..M

// W[M][k]: W[M][j+1] / D_M = n_j^(2M) / prod_{i != j, i <= M} (n_j^2 - n_i^2).
inline constexpr std::array<WeightRow, 9> extrapolationWeights = {{
    {1, 1},
    {3, -1, 4},
    {240, 10, -256, 486},
    {2520, -7, 896, -6561, 8192},
    {362880, 42, -24576, 531441, -2097152, 1953125},
    {19958400, -66, 168960, -9743085, 92274688, -244140625, 181398528},
    {637491254400, 33462, -359783424, 50924270943, -982448603136, 4998779296875,
     -7449493349376, 4020089389056},
    {49037788800, -26, 1153152, -387420489, 14394851328, -128173828125, 322333846848,
     -549755813888, 390625000000},
    {45850332528000, 170, -30805632, 24149210481, -1682398248960, 25177001953125,
     -100460715600960, 411217348788224, -830078125000000, 541653102231552},
}};

// Ew[M][k] for M = 6, 7, 8 (other rows zero): Ew[M][0] = D_M and
// Ew[M][j+1] = W[M][j+1] / n_j^2; each row of weights sums to zero.
inline constexpr std::array<WeightRow, 9> errorWeights = {{
    {}, {}, {}, {}, {}, {},
    {637491254400, 33462, -89945856, 5658252327, -61403037696, 199951171875, -206930370816,
     62813896704},
    {49037788800, -26, 288288, -43046721, 899678208, -5126953125, 8953717968, -8589934592,
     3906250000},
    {45850332528000, 170, -7701408, 2683245609, -105149890560, 1007080078125, -2790575433360,
     6425271074816, -8300781250000, 3761479876608},
}};

// Lw[M][k] for M = 6, 7, 8: the Moon's weights at a step of exactly 3 days,
// one extrapolation order fewer than W, the free degree of freedom spent on
// the Moon's fast orbit.
inline constexpr std::array<WeightRow, 9> moonWeights = {{
    {}, {}, {}, {}, {}, {},
    {922442320800, 33462, -480397632, 71157646989, -1394145099776, 7143798828125,
     -10686833516736, 5788944826368},
    {2334743611200, -858, 50690640, -17816559525, 672209567744, -6027587890625, 15215848829064,
     -26048976650240, 18541015625000},
    {5158162409400, 17, -3369366, 2683245609, -187955429376, 2819824218750, -11266948312191,
     46181635850240, -93280029296875, 60888955502592},
}};

// Number of force evaluations of one attempt: 1 + sum n_j (30, 40, 52 for M = 6, 7, 8).
int forceEvaluationsPerStep(int orderCode);

}  // namespace tarvo
