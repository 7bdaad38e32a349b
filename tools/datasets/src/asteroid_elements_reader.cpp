// Reader of the asteroid element file of kstars-data: JSON with "fields"
// naming the columns and "data" holding one row of strings per asteroid.
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "datasets/asteroid_ephemeris.h"

namespace datasets {
namespace {

// A real element file holds some 1.8 MB; anything far larger is not one.
constexpr std::uintmax_t kLargestElementFile = 256u << 20;
constexpr double kMjdOfJ2000 = 51544.5;

double numberIn(const nlohmann::json& value, bool& ok)
{
    if (value.is_number()) return value.get<double>();
    if (!value.is_string()) {
        ok = false;
        return 0;
    }
    const std::string text = value.get<std::string>();
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(v)) ok = false;
    return v;
}

// Catalogue number at the start of "     1 Ceres (A801 AA)".
int catalogueNumber(const nlohmann::json& value)
{
    if (!value.is_string()) return 0;
    const std::string text = value.get<std::string>();
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    return end == text.c_str() || n <= 0 || n > 10000000 ? 0 : static_cast<int>(n);
}

}  // namespace

bool readAsteroidElements(const std::filesystem::path& file, const std::vector<int>& numbers,
                          std::map<int, AsteroidElements>& elements, std::string& message)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        message = file.string() + ": cannot be opened (" + error.message() + ")";
        return false;
    }
    if (size > kLargestElementFile) {
        message = file.string() + ": " + std::to_string(size) + " bytes is too large for an asteroid element file";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const nlohmann::json document = nlohmann::json::parse(text.str(), nullptr, false);
    if (document.is_discarded() || !document.is_object() || !document.contains("fields") ||
        !document.contains("data") || !document["fields"].is_array() || !document["data"].is_array()) {
        message = file.string() + ": is not a JSON element export with \"fields\" and \"data\"";
        return false;
    }
    std::map<std::string, std::size_t> column;
    const auto& fields = document["fields"];
    for (std::size_t k = 0; k < fields.size(); ++k)
        if (fields[k].is_string()) column[fields[k].get<std::string>()] = k;
    for (const char* needed : {"full_name", "epoch_mjd", "e", "a", "i", "om", "w", "ma"})
        if (!column.count(needed)) {
            message = file.string() + ": has no column \"" + needed + "\"";
            return false;
        }
    const std::set<int> wanted(numbers.begin(), numbers.end());
    std::map<int, AsteroidElements> found;
    for (const auto& row : document["data"]) {
        if (!row.is_array() || row.size() <= column["full_name"]) continue;
        const int number = catalogueNumber(row[column["full_name"]]);
        if (!wanted.count(number) || found.count(number)) continue;
        auto field = [&](const char* name) -> const nlohmann::json& {
            static const nlohmann::json none;
            const auto c = column.find(name);
            return c == column.end() || c->second >= row.size() ? none : row[c->second];
        };
        bool ok = true;
        AsteroidElements el;
        el.number = number;
        el.epoch = numberIn(field("epoch_mjd"), ok) - kMjdOfJ2000;
        el.e = numberIn(field("e"), ok);
        el.a = numberIn(field("a"), ok);
        el.i = numberIn(field("i"), ok);
        el.node = numberIn(field("om"), ok);
        el.perihelion = numberIn(field("w"), ok);
        el.meanAnomaly = numberIn(field("ma"), ok);
        if (!ok || !(el.a > 0) || !(el.e >= 0 && el.e < 1)) {
            message = file.string() + ": the elements of asteroid " + std::to_string(number) + " are unusable";
            return false;
        }
        bool optional = true;
        el.absoluteMagnitude = numberIn(field("H"), optional);
        if (!optional) el.absoluteMagnitude = 0;
        optional = true;
        el.diameterKm = numberIn(field("diameter"), optional);
        if (!optional || !(el.diameterKm > 0)) el.diameterKm = 0;
        found[number] = el;
    }
    for (int n : numbers)
        if (!found.count(n)) {
            message = file.string() + ": has no elements of asteroid " + std::to_string(n);
            return false;
        }
    elements = std::move(found);
    return true;
}

}  // namespace datasets
