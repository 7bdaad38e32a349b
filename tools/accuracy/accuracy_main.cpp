// tarvo-accuracy: how closely runs of the planetary data sets follow the JPL
// ephemeris. For each data set asked for, a run starts from the record
// nearest 1970-01-01 and integrates forward, and another from the record
// nearest 2030-01-01 and integrates backward, with the default settings of a
// run; after 1, 10, 30 and 50 years every planet and the Moon are compared
// with the ephemeris. The tables are written in Markdown.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "accuracy_comparison.h"

namespace {

const char* const kUsage =
    "Usage: tarvo-accuracy --tree DIR [--jpl PATH] [--sets 1,2,3,5] [--frame-renewal DAYS]\n"
    "                      [--step DAYS] [--order M] [--spans 1,10,30,50]\n"
    "                      [--forward-from DAY] [--backward-from DAY] [--output FILE]\n"
    "Integrates runs of the planetary data sets of the data tree DIR and compares them with the JPL\n"
    "ephemeris PATH (default the Debian DE405). Writes Markdown to FILE (through a temporary name)\n"
    "or to standard output.\n";

constexpr long double kDay1970 = -10957.5L;  // 1970-01-01 0h TT, days from J2000
constexpr long double kDay2030 = 10957.5L;   // 2030-01-01 0h TT

std::string fixed(double value, int decimals)
{
    if (std::isnan(value)) return "-";
    char text[40];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string dateOf(long double t)
{
    // Gregorian calendar date of a JD2000 day count (Meeus, Astronomical Algorithms, ch. 7).
    const long double jd = t + 2451545.0L + 0.5L;
    const long z = static_cast<long>(std::floor(jd));
    const long alpha = static_cast<long>(std::floor((z - 1867216.25) / 36524.25));
    const long a = z + 1 + alpha - alpha / 4;
    const long b = a + 1524;
    const long c = static_cast<long>(std::floor((b - 122.1) / 365.25));
    const long d = static_cast<long>(std::floor(365.25 * c));
    const long e = static_cast<long>(std::floor((b - d) / 30.6001));
    const long day = b - d - static_cast<long>(std::floor(30.6001 * e));
    const long month = e < 14 ? e - 1 : e - 13;
    const long year = month > 2 ? c - 4716 : c - 4715;
    char text[72];
    std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld", year, month, day);
    return text;
}

void table(std::ostream& out, const accuracy::ComparisonResult& r)
{
    out << "| body |";
    for (const auto& s : r.spans) out << " " << fixed(s.years, 0) << " y: km | mas |";
    out << "\n|---|";
    for (std::size_t k = 0; k < r.spans.size(); ++k) out << "---:|---:|";
    out << "\n";
    for (std::size_t b = 0; b < r.spans.front().bodies.size(); ++b) {
        out << "| " << r.spans.front().bodies[b].name << " |";
        for (const auto& s : r.spans) {
            const auto& d = s.bodies[b];
            out << " " << fixed(d.positionKm, d.positionKm < 10 ? 3 : 1) << " | "
                << fixed(d.geocentricMas, d.geocentricMas < 10 ? 3 : 1) << " |";
        }
        out << "\n";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::filesystem::path tree, output;
    std::string jplPath = datasets::defaultEphemerisPath;
    std::vector<int> sets = {1, 2, 3, 5};
    std::vector<double> spans = {1, 10, 30, 50};
    long double forwardFrom = kDay1970, backwardFrom = kDay2030;
    long double renewal = 30;
    long double step = 0;
    int order = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "tarvo-accuracy: " << a << " needs a value\n" << kUsage;
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--tree") {
            tree = value();
        } else if (a == "--jpl") {
            jplPath = value();
        } else if (a == "--output") {
            output = value();
        } else if (a == "--frame-renewal") {
            renewal = std::strtold(value().c_str(), nullptr);
        } else if (a == "--step") {
            step = std::strtold(value().c_str(), nullptr);
        } else if (a == "--order") {
            order = std::atoi(value().c_str());
        } else if (a == "--spans") {
            spans.clear();
            std::stringstream list(value());
            for (std::string item; std::getline(list, item, ',');) spans.push_back(std::atof(item.c_str()));
        } else if (a == "--forward-from") {
            forwardFrom = std::strtold(value().c_str(), nullptr);
        } else if (a == "--backward-from") {
            backwardFrom = std::strtold(value().c_str(), nullptr);
        } else if (a == "--sets") {
            sets.clear();
            std::stringstream list(value());
            for (std::string item; std::getline(list, item, ',');) sets.push_back(std::atoi(item.c_str()));
        } else {
            std::cerr << "tarvo-accuracy: unknown argument \"" << a << "\"\n" << kUsage;
            return 2;
        }
    }
    if (tree.empty()) {
        std::cerr << "tarvo-accuracy: --tree DIR is required\n" << kUsage;
        return 2;
    }
    std::string message;
    auto source = datasets::PlanetarySource::open(jplPath, message);
    if (!source) {
        std::cerr << "tarvo-accuracy: " << message << "\n";
        return 1;
    }

    std::ostringstream out;
    out << "Reference: JPL " << source->name() << " (" << source->spanText() << "). Frame renewal every "
        << fixed(static_cast<double>(renewal), 0) << " days (0: J2000 throughout).\n\n";
    for (int set : sets) {
        for (int direction : {+1, -1}) {
            accuracy::ComparisonSettings s;
            s.dataSet = set;
            s.tree = tree;
            s.direction = direction;
            s.startEpoch = direction > 0 ? forwardFrom : backwardFrom;
            s.frameRenewalDays = renewal;
            s.spansYears = spans;
            s.nominalStep = step;
            s.orderCode = order;
            accuracy::ComparisonResult r;
            if (!accuracy::compareWithEphemeris(s, *source, r, message)) {
                std::cerr << "tarvo-accuracy: data set " << set << ": " << message << "\n";
                return 1;
            }
            out << "### Data set " << set << ", from the record of " << dateOf(r.recordEpoch)
                << (direction > 0 ? " forward" : " backward") << "\n\n";
            table(out, r);
            out << "\n(" << fixed(r.seconds, 1) << " s of computation)\n\n";
            std::cerr << "data set " << set << (direction > 0 ? " forward" : " backward") << " done in "
                      << fixed(r.seconds, 1) << " s\n";
        }
    }
    if (output.empty()) {
        std::cout << out.str();
        return 0;
    }
    const std::filesystem::path temporary = output.string() + ".tmp";
    {
        std::ofstream f(temporary, std::ios::binary);
        f << out.str();
        if (!f.flush()) {
            std::cerr << "tarvo-accuracy: cannot write " << temporary.string() << "\n";
            return 1;
        }
    }
    std::filesystem::rename(temporary, output);
    return 0;
}
