#include "fitra/fit_outputs.h"

#include "fileio/atomic_file.h"
#include "fileio/format_mask.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/state_file.h"

#include <cmath>

namespace fitra {

namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kJ2000Jd = 2451545.0L;

std::string padRight(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

// A 10-character angular field: "######.###", or "   #######" when it does not fit.
std::string angleField(long double arcsec) {
    std::string f = tarvo::formatMask("######.###", arcsec);
    if (f.size() > 10 || f[0] == '%') f = tarvo::formatMask("   #######", arcsec);
    if (f.size() > 10) f = f.substr(0, 10);
    return f;
}

// Calendar date YYYYMMDD.dddddd of a TT day count (Gregorian).
long double packedDate(long double t) {
    const long double jd = t + kJ2000Jd + 0.5L;
    const long double Z = std::floor(jd);
    const long double F = jd - Z;
    long double A = Z;
    if (Z >= 2299161) {
        const long double alpha = std::floor((Z - 1867216.25L) / 36524.25L);
        A = Z + 1 + alpha - std::floor(alpha / 4);
    }
    const long double B = A + 1524, C = std::floor((B - 122.1L) / 365.25L);
    const long double D = std::floor(365.25L * C), E = std::floor((B - D) / 30.6001L);
    const long double day = B - D - std::floor(30.6001L * E) + F;
    const long double month = E < 14 ? E - 1 : E - 13;
    const long double year = month > 2 ? C - 4716 : C - 4715;
    return year * 10000 + month * 100 + day;
}

// hh.mmsssss or dd.mmssss from a decimal value.
long double packSexagesimal(long double value) {
    const long double sign = value < 0 ? -1 : 1;
    long double v = std::fabs(value);
    long double whole = std::floor(v);
    long double minutes = (v - whole) * 60;
    long double m = std::floor(minutes);
    long double sec = (minutes - m) * 60;
    if (sec >= 59.99995L) {
        sec = 0;
        m += 1;
    }
    if (m >= 60) {
        m -= 60;
        whole += 1;
    }
    return sign * (whole + m / 100 + sec / 10000);
}

} // namespace

std::string formatCovarianceMatrix(const ParameterSlots& p, const SlotMatrix& inv, long double s,
                                   const FitraSettings& settings, bool extended) {
    std::string out;
    if (!extended) {
        out += "              Covariances and Correlation Coefficients\r\n";
        std::string numbers, labels;
        for (int i = 1; i <= kSlotCount; ++i) {
            if (!p.active[i]) continue;
            numbers += tarvo::formatMask("      ##  ", static_cast<long double>(i));
            labels += "      " + slotLabel(i, settings) + " ";
        }
        out += numbers + " \r\n" + labels + "\r\n";
    }
    for (int i = 1; i <= kSlotCount; ++i) {
        if (!p.active[i]) continue;
        std::string line = extended ? "" : slotLabel(i, settings) + " ";
        for (int j = 1; j <= kSlotCount; ++j) {
            if (!p.active[j]) continue;
            if (i <= j) {
                line += tarvo::formatMask(extended ? "##.##############^^^^ " : "##.##^^^^ ",
                                          s * s * inv[i][j]);
            } else {
                const long double d = std::sqrt(std::fabs(inv[i][i] * inv[j][j]));
                const long double rho = d > 0 ? inv[i][j] / d : 0;
                line += tarvo::formatMask(extended ? "##.##############     " : "##.###    ", rho);
            }
        }
        out += line + "\r\n";
    }
    return out;
}

std::string formatResiduals(const FitObservations& obs, const IterationResult& run,
                            const FitraSettings& settings, ResidualSummary& sum) {
    const std::string unit = "(\")";
    std::string out = "  No      Date           Time         dRho (Gm)  ";
    out += settings.equatorial ? "  dRA*" + unit + "  dDec " + unit
                               : " dLon " + unit + " dLat " + unit;
    out += "  dAng " + unit + "\r\n";
    out += std::string(78, ' ') + "\r\n";
    long double sr = 0, sa = 0, sd = 0, sg = 0;
    std::size_t n = 0;
    for (std::size_t k = 0; k < obs.observations.size(); ++k) {
        const Observation& o = obs.observations[k];
        const Vector3& dir = run.directions[k];
        const auto res = angularResiduals(o, dir);
        const long double ang = std::hypot(res[0], res[1]);
        // Distance residual: computed distance minus the observed one (none
        // for angles; then the computed distance itself is the change).
        const long double rho = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
        const long double observedRho =
            settings.orthogonal
                ? std::sqrt(o.obsA * o.obsA + o.obsB * o.obsB + o.obsWeight * o.obsWeight)
                : rho;
        const long double dRho = rho - observedRho;
        std::string line = tarvo::formatMask("####", static_cast<long double>(k + 1));
        line += o.excluded ? "-" : " ";
        line += tarvo::formatMask("########.###### ", packedDate(o.obsTime));
        line += o.obsTime + kJ2000Jd < 0 ? "-" : " ";
        line += tarvo::formatMask("#######.######", o.obsTime + kJ2000Jd);
        line += tarvo::formatMask(" ##.###^^^^", dRho);
        if (o.obsKind != 0) {
            line += o.obsKind < 0 ? "R" : "V";
        } else {
            line += " " + angleField(res[0]) + angleField(res[1]) + angleField(ang);
        }
        out += padRight(line, 78) + "\r\n";
        if (!o.excluded && o.obsKind == 0 && !(obs.skipFirst && k == 0)) {
            sr += dRho * dRho;
            sa += res[0] * res[0];
            sd += res[1] * res[1];
            sg += ang * ang;
            ++n;
        }
    }
    sum.used = n;
    if (n > 0) {
        sum.rmsDistance = std::sqrt(sr / n);
        sum.rmsRa = std::sqrt(sa / n);
        sum.rmsDec = std::sqrt(sd / n);
        sum.rmsAngle = std::sqrt(sg / n);
    }
    out += "  RMS ------------------------------ " +
           tarvo::formatMask("##.###^^^^ ", sum.rmsDistance) + angleField(sum.rmsRa) +
           angleField(sum.rmsDec) + angleField(sum.rmsAngle) + "\r\n\r\n";
    return out;
}

std::string formatCalculatedPositions(const PositionsFile& file, const FitObservations& obs,
                                      const IterationResult& run, const FitraSettings& settings) {
    std::string out = std::string(file.calendarDates ? "1 " : "") + "Calculated Positions of " +
                      file.objectName + "\r\n";
    out += std::string(file.siteMode < 0 ? "-1" : (file.siteMode > 0 ? "1" : " ")) + "\r\n";
    // Line 3 names the angle format the lines use (packed sexagesimal), so
    // that the file reads back as the positions file it is.
    out += std::string(settings.orthogonal ? "0" : "2") + "\r\n";
    constexpr long double kDeg = 180.0L / kPi;
    for (std::size_t k = 0; k < obs.observations.size(); ++k) {
        const Observation& o = obs.observations[k];
        const Vector3& c = run.directions[k];
        const long double rho = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
        std::string line = o.excluded ? "-" : " ";
        const long double date = file.calendarDates ? packedDate(o.obsTime) : o.obsTime + kJ2000Jd;
        line += tarvo::formatMask("########.###### ", date);
        if (settings.orthogonal) {
            for (int i = 0; i < 3; ++i) line += tarvo::formatMask("###.###### ", c[i]);
        } else {
            long double a = std::atan2(c[1], c[0]) * kDeg;
            if (a < 0) a += 360;
            const long double b = std::atan2(c[2], std::hypot(c[0], c[1])) * kDeg;
            line += tarvo::formatMask("###.######## ",
                                      packSexagesimal(settings.equatorial ? a / 15 : a));
            line += tarvo::formatMask("###.######## ", packSexagesimal(b));
        }
        line += " 1";
        // The site in the units of the positions file, then the distance (AU),
        // which a reader of positions files passes over.
        if (file.siteMode > 0) {
            line += tarvo::formatMask("  ###.#######", o.siteS1 * kDeg);
            line += tarvo::formatMask("  ###.#######", o.siteS2 * kDeg);
            line += tarvo::formatMask("  #######.###", o.siteS3 * 1e9L);
        } else if (file.siteMode < 0) {
            line += tarvo::formatMask("  ###.#######", o.siteS1);
            line += tarvo::formatMask("  ###.#######", o.siteS2);
            line += tarvo::formatMask("  ###.#######",
                                      std::fabs(o.siteS1) < 1 ? o.siteS3 * kDeg : o.siteS3);
        }
        line += tarvo::formatMask(" ###.#######", rho / 149.5978707L);
        out += line + "\r\n";
    }
    out += "0\r\n";
    return out;
}

std::string formatOrbitLogEntry(int iteration, long double sigma, long double dSigma,
                                const ParameterSlots& p, const SlotVector& initial,
                                const IterationResult& run, const FitraSettings& s) {
    std::string out = "Iteration " + std::to_string(iteration) + ". " +
                      tarvo::formatMask(";  Sigma =##.#####^^^^", sigma) + " deg" +
                      tarvo::formatMask("  dSigma =##.##^^^^", dSigma) + "\r\n";
    static const char* cartesian[] = {
        " X, Y, Z:    ", "VX,VY,VZ:    ", "Dif  X,Y,Z:  ", "Dif VX,VY,VZ:",
        "Err  X,Y,Z:  ", "Err VX,VY,VZ:", "Inc  X,Y,Z:  ", "Inc VX,VY,VZ:"};
    static const char* kepler[] = {
        " e,  i,  w:    ", "Nod, a, M0:    ", "Dif  e, i, w:  ", "Dif Nod,a,M0:  ",
        "Err  e, i, w:  ", "Err Nod,a,M0:  ", "Inc  e, i, w:  ", "Inc Nod,a,M0:  "};
    const char* const* labels = s.fitKeplerian ? kepler : cartesian;
    for (int block = 0; block < 4; ++block)
        for (int half = 0; half < 2; ++half) {
            std::string line = labels[block * 2 + half];
            for (int i = 1 + 3 * half; i <= 3 + 3 * half; ++i) {
                long double v = 0;
                switch (block) {
                case 0:
                    v = p.value[i];
                    break;
                case 1:
                    v = p.value[i] - initial[i];
                    break;
                case 2:
                    v = run.formalError[i];
                    break;
                default:
                    v = p.increment[i];
                    break;
                }
                line += tarvo::formatMask(
                    block == 0 ? "##.#################^^^^ " : "             ##.##^^^^ ", v);
            }
            out += line + "\r\n";
        }
    if (p.active[13])
        out += "Mass: " + tarvo::formatMask("##.###^^^^ ", p.value[13]) +
               " Err: " + tarvo::formatMask("##.##^^^^", run.formalError[13]) +
               "Dif M:" + tarvo::formatMask("##.##^^^^ ", p.value[13] - initial[13]) +
               " Inc M:" + tarvo::formatMask("##.##^^^^", p.increment[13]) + "\r\n";
    std::string other;
    for (int i = 7; i <= 12; ++i)
        if (p.active[i])
            other += slotLabel(i, s) + tarvo::formatMask(" ##.#########^^^^", p.value[i]) +
                     tarvo::formatMask(" (##.##^^^^)", run.formalError[i]) +
                     tarvo::formatMask(" ##.###^^^^ ", p.increment[i]);
    if (!other.empty()) out += "Inc Param.: " + other + "\r\n";
    return out;
}

bool writeBodyStateFile(const std::filesystem::path& file, long double jd, const Vector3& position,
                        const Vector3& velocity, const std::array<long double, 3>& nonGrav,
                        bool satellite, const std::string& name, std::string& message) {
    tarvo::StateFileContents c;
    c.julianDate = jd;
    c.satelliteFile = satellite;
    tarvo::StateRecord r;
    r.nameField = name.substr(0, 8);
    r.position = position;
    r.velocity = velocity;
    r.A1 = static_cast<double>(nonGrav[0]);
    r.A2 = static_cast<double>(nonGrav[1]);
    r.A3 = static_cast<double>(nonGrav[2]);
    r.numberString = "0";
    c.records.push_back(r);
    return tarvo::writeStateFile(file, tarvo::StateFileKind::MinorBody, c, message);
}

bool writeFittedStateFile(const std::filesystem::path& file, const FitDynamics& d,
                          const ParameterSlots& p, const FitraSettings& s, const std::string& name,
                          std::string& message) {
    FittedStart start;
    if (!startOfRun(p, 0, s, d, start, message)) return false;
    // The table is heliocentric at the start: the Sun's offset is taken out.
    Vector3 r{}, v{};
    const long double sun[3] = {d.table.posX[0], d.table.posY[0], d.table.posZ[0]};
    const long double vsun[3] = {d.table.velX[0], d.table.velY[0], d.table.velZ[0]};
    for (int i = 0; i < 3; ++i) {
        r[i] = start.position[i] - (s.satellite ? 0 : sun[i]);
        v[i] = start.velocity[i] - (s.satellite ? 0 : vsun[i] / 0.0864L);
    }
    return writeBodyStateFile(file, d.epoch + kJ2000Jd, r, v, start.nonGrav, s.satellite != 0, name,
                              message);
}

bool writeStateAtEpoch(const std::filesystem::path& file, const FitDynamics& d,
                       const ParameterSlots& p, const FitraSettings& s, long double t,
                       const std::string& name, std::string& message) {
    FittedStart start;
    std::vector<EpochStates> states;
    if (!startOfRun(p, 0, s, d, start, message) || !integrateRun(d, start, {t}, states, message))
        return false;
    const EpochStates& e = states.front();
    Vector3 r{}, v{};
    for (int i = 0; i < 3; ++i) {
        r[i] = e.body[i] - (s.satellite ? 0 : e.sun[i]);
        v[i] = (e.bodyVelocity[i] - (s.satellite ? 0 : e.sunVelocity[i])) / 0.0864L;
    }
    return writeBodyStateFile(file, t + kJ2000Jd, r, v, start.nonGrav, s.satellite != 0, name,
                              message);
}

bool writeIterationFiles(const std::filesystem::path& dir, const PositionsFile& file,
                         const FitObservations& obs, const IterationResult& run,
                         const ParameterSlots& after, const FitDynamics& d, const FitraSettings& s,
                         ResidualSummary& summary, std::string& message) {
    const long double scale = s.weighted ? 1.0L : run.unitWeight;
    if (!tarvo::writeFileAtomically(dir / "CovMat.DAT",
                                    formatCovarianceMatrix(after, run.inverse, scale, s, false),
                                    message) ||
        !tarvo::writeFileAtomically(dir / "CovarExt.dat",
                                    formatCovarianceMatrix(after, run.inverse, scale, s, true),
                                    message) ||
        !tarvo::writeFileAtomically(dir / "RESID.DAT", formatResiduals(obs, run, s, summary),
                                    message) ||
        !tarvo::writeFileAtomically(dir / "CALCD.DAT", formatCalculatedPositions(file, obs, run, s),
                                    message))
        return false;
    if (run.improved) {
        // The solution whose residuals were just written: before this correction.
        ParameterSlots before = after;
        for (int i = 1; i <= kSlotCount; ++i)
            if (after.active[i]) before.value[i] -= run.correction[i];
        return writeFittedStateFile(dir / (s.fitKeplerian ? "BESTELE.TVX" : "BESTPOS.TVX"), d,
                                    before, s, file.objectName, message);
    }
    return true;
}

} // namespace fitra
