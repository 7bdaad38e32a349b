#include "fitra/clones.h"

#include "fileio/format_mask.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/state_file.h"

#include <cmath>

namespace fitra {

namespace {
constexpr std::uint64_t kModulus = 2147483647; // 2^31 - 1
}

UniformGenerator::UniformGenerator(std::uint64_t seed) {
    x2_ = 0;
    x1_ = seed % kModulus;
    if (x1_ == 0) x1_ = 1;
    for (auto& t : table_) t = step();
    y_ = step();
}

std::uint64_t UniformGenerator::step() {
    const std::uint64_t x = (271828183ull * x1_ + 314159269ull * x2_) % kModulus;
    x2_ = x1_;
    x1_ = x;
    return x;
}

double UniformGenerator::next() {
    const std::uint64_t j = 97 * y_ / kModulus; // 0 .. 96
    y_ = table_[j];
    table_[j] = step();
    // y is never 0 for long: a zero draw is replaced by the next one.
    if (y_ == 0) return next();
    return static_cast<double>(y_) / static_cast<double>(kModulus);
}

double GaussianDeviate::next(double sigma) {
    if (haveKept_) {
        haveKept_ = false;
        return kept_ * sigma;
    }
    double a, b, S;
    do {
        a = 2 * uniform_.next() - 1;
        b = 2 * uniform_.next() - 1;
        S = a * a + b * b;
    } while (!(S > 0 && S < 1));
    const double f = std::sqrt(-2 * std::log(S) / S);
    kept_ = a * f;
    haveKept_ = true;
    return b * f * sigma;
}

bool choleskyFactor(const std::array<bool, kSlotCount + 1>& active, const SlotMatrix& a,
                    SlotMatrix& l) {
    l = SlotMatrix{};
    std::vector<int> idx;
    for (int i = 1; i <= kSlotCount; ++i)
        if (active[i]) idx.push_back(i);
    for (std::size_t ii = 0; ii < idx.size(); ++ii) {
        const int i = idx[ii];
        for (std::size_t jj = ii; jj < idx.size(); ++jj) {
            const int j = idx[jj];
            long double sum = a[i][j];
            for (std::size_t kk = 0; kk < ii; ++kk) sum -= l[i][idx[kk]] * l[j][idx[kk]];
            if (i == j) {
                if (!(sum > 0)) return false;
                l[i][i] = std::sqrt(sum);
            } else {
                l[j][i] = sum / l[i][i];
            }
        }
    }
    return true;
}

std::vector<SlotVector> drawClones(const ParameterSlots& nominal, const SlotMatrix& l, int count,
                                   GaussianDeviate& gauss) {
    std::vector<SlotVector> out;
    for (int n = 0; n < count; ++n) {
        SlotVector z{};
        for (int k = 1; k <= kSlotCount; ++k)
            if (nominal.active[k]) z[k] = gauss.next(1.0);
        SlotVector v = nominal.value;
        for (int i = 1; i <= kSlotCount; ++i) {
            if (!nominal.active[i]) continue;
            long double y = 0;
            for (int k = 1; k <= i; ++k)
                if (nominal.active[k]) y += l[i][k] * z[k];
            v[i] += y;
        }
        out.push_back(v);
    }
    return out;
}

bool writeClonesFile(const std::filesystem::path& file, const FitDynamics& d,
                     const ParameterSlots& nominal, const std::vector<SlotVector>& clones,
                     const FitraSettings& s, std::string& message) {
    tarvo::StateFileContents c;
    c.julianDate = d.epoch + 2451545.0L;
    c.satelliteFile = s.satellite != 0;
    int n = 0;
    for (const SlotVector& v : clones) {
        ParameterSlots p = nominal;
        p.value = v;
        FittedStart start;
        if (!startOfRun(p, 0, s, d, start, message)) return false;
        tarvo::StateRecord r;
        std::string name = "C" + tarvo::formatMask("00000", static_cast<long double>(++n));
        if (s.customColor != 0)
            name += tarvo::formatMask("      ######", static_cast<long double>(s.customColor));
        r.nameField = name;
        const long double sun[3] = {d.table.posX[0], d.table.posY[0], d.table.posZ[0]};
        const long double vsun[3] = {d.table.velX[0], d.table.velY[0], d.table.velZ[0]};
        for (int i = 0; i < 3; ++i) {
            r.position[i] = start.position[i] - (s.satellite ? 0 : sun[i]);
            r.velocity[i] = start.velocity[i] - (s.satellite ? 0 : vsun[i] / 0.0864L);
        }
        r.A1 = static_cast<double>(start.nonGrav[0]);
        r.A2 = static_cast<double>(start.nonGrav[1]);
        r.A3 = static_cast<double>(start.nonGrav[2]);
        r.numberString = "0";
        c.records.push_back(r);
    }
    return tarvo::writeStateFile(file, tarvo::StateFileKind::MinorBody, c, message);
}

} // namespace fitra
