// The asteroid and comet libraries: record layouts, decoding, the readers.
#include "tarvo/libraries/minor_body_library.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <fstream>

#include "fileio/byte_cursor.h"

namespace tarvo {
namespace {

constexpr double kEccentricityScale = 2e9;
constexpr double kAngleScale = 1e7;
constexpr double kAxisScale = 2e9;
// No library approaches this; a longer file is not one of ours.
constexpr std::uintmax_t kMaximumLibraryBytes = 1ull << 30;

class ByteWriter {
  public:
    explicit ByteWriter(unsigned char* data) : data_(data) {}
    void put(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            data_[position_++] = static_cast<unsigned char>(value >> (8 * i));
    }
    void text(const std::string& value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            data_[position_++] = i < value.size() ? value[i] : ' ';
    }

  private:
    unsigned char* data_;
    std::size_t position_ = 0;
};

bool readFile(const std::filesystem::path& file, std::vector<unsigned char>& bytes,
              std::string& message) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        message = file.string() + ": cannot be opened (" + error.message() + ")";
        return false;
    }
    if (size > kMaximumLibraryBytes) {
        message =
            file.string() + ": too large for a body library (" + std::to_string(size) + " bytes)";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    std::ifstream in(file, std::ios::binary);
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()),
                        static_cast<std::streamsize>(bytes.size()))) {
        message = file.string() + ": cannot be read";
        return false;
    }
    return true;
}

double nonNegativeDegrees(double angle) {
    return angle < 0 ? angle + 360.0 : angle;
}

// Angle in degrees as the signed field holds it: -180 ... 180, x 1e7.
std::int32_t angleCode(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360.0;
    if (a > 180.0) a -= 360.0;
    return static_cast<std::int32_t>(std::llround(a * kAngleScale));
}

bool blankName(const unsigned char* bytes) {
    return std::all_of(bytes, bytes + libraryNameLength,
                       [](unsigned char c) { return c == ' ' || c == 0; });
}

} // namespace

std::string libraryNameKey(const std::string& name) {
    std::string key = trimmedRight(name);
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

int sourceWeight(ElementSource source) {
    switch (source) {
    case ElementSource::Astorb:
        return -1;
    case ElementSource::AstDys:
        return 1;
    case ElementSource::TwinLib:
        return 2;
    default:
        return 0;
    }
}

double asteroidMass(int number, int massClass, double diameterKm) {
    if (number == 1) return 0.00094139;
    if (number == 2) return 0.00020868;
    if (number == 4) return 0.00025912;
    static constexpr double density[4] = {1.8, 2.4, 5.0, 2.0}; // g/cm^3
    const double rho = density[std::clamp(massClass, 0, 3)];
    return rho * 5.24e-13 * diameterKm * diameterKm * diameterKm;
}

std::array<unsigned char, asteroidRecordBytes> encodeAsteroidRecord(const AsteroidRecord& r) {
    std::array<unsigned char, asteroidRecordBytes> bytes{};
    ByteWriter w(bytes.data());
    w.text(r.name, libraryNameLength);
    w.put(r.magnitudeTimes10, 1);
    w.put(static_cast<std::uint16_t>(r.classAndDiameter), 2);
    w.put(static_cast<std::uint32_t>(r.eccentricity), 4);
    w.put(static_cast<std::uint32_t>(r.inclination), 4);
    w.put(static_cast<std::uint32_t>(r.perihelion), 4);
    w.put(static_cast<std::uint32_t>(r.node), 4);
    w.put(static_cast<std::uint16_t>(r.axisWhole), 2);
    w.put(static_cast<std::uint32_t>(r.axisFraction), 4);
    w.put(static_cast<std::uint32_t>(r.meanAnomaly), 4);
    w.put(r.uncertaintyCode, 1);
    w.put(r.growthCode, 1);
    return bytes;
}

AsteroidRecord decodeAsteroidRecord(const unsigned char* bytes) {
    ByteCursor c(bytes, asteroidRecordBytes, false);
    AsteroidRecord r;
    r.name = trimmedRight(c.characters(libraryNameLength));
    r.magnitudeTimes10 = static_cast<std::uint8_t>(c.unsignedInteger(1));
    r.classAndDiameter = c.i16();
    r.eccentricity = c.i32();
    r.inclination = c.i32();
    r.perihelion = c.i32();
    r.node = c.i32();
    r.axisWhole = c.i16();
    r.axisFraction = c.i32();
    r.meanAnomaly = c.i32();
    r.uncertaintyCode = static_cast<std::uint8_t>(c.unsignedInteger(1));
    r.growthCode = static_cast<std::uint8_t>(c.unsignedInteger(1));
    return r;
}

std::array<unsigned char, differenceRecordBytes> encodeDifferenceRecord(const DifferenceRecord& r) {
    std::array<unsigned char, differenceRecordBytes> bytes{};
    ByteWriter w(bytes.data());
    w.put(r.scale, 1);
    for (std::int16_t d : r.d) w.put(static_cast<std::uint16_t>(d), 2);
    return bytes;
}

DifferenceRecord decodeDifferenceRecord(const unsigned char* bytes) {
    ByteCursor c(bytes, differenceRecordBytes, false);
    DifferenceRecord r;
    r.scale = static_cast<std::uint8_t>(c.unsignedInteger(1));
    for (std::int16_t& d : r.d) d = c.i16();
    return r;
}

AsteroidElementsDecoded decodeElements(int number, const AsteroidRecord& r,
                                       const DifferenceRecord* difference, int weight,
                                       const std::array<double, 7>* weights) {
    // Offset of element k (0 e, 1 i, 2 omega, 3 Omega, 4 a, 5 M) in base units.
    auto shift = [&](int k) -> double {
        if (!difference) return 0.0;
        const double step = std::ldexp(
            static_cast<double>(difference->d[static_cast<std::size_t>(k)]), difference->scale);
        const double w =
            weights ? (*weights)[0] + (*weights)[static_cast<std::size_t>(k) + 1] : weight;
        return w * step;
    };
    AsteroidElementsDecoded out;
    out.number = number;
    out.name = r.name;
    out.eccentricity = (r.eccentricity + shift(0)) / kEccentricityScale;
    out.inclination = nonNegativeDegrees((r.inclination + shift(1)) / kAngleScale);
    out.perihelion = nonNegativeDegrees((r.perihelion + shift(2)) / kAngleScale);
    out.node = nonNegativeDegrees((r.node + shift(3)) / kAngleScale);
    out.semiMajorAxis = r.axisWhole + (r.axisFraction + shift(4)) / kAxisScale;
    out.meanAnomaly = nonNegativeDegrees((r.meanAnomaly + shift(5)) / kAngleScale);
    out.absoluteMagnitude = r.magnitudeTimes10 / 10.0;
    // DIV and MOD truncate toward zero, as the code was written.
    out.massClass = r.classAndDiameter / 8192;
    out.diameterKm = std::abs(r.classAndDiameter % 8192) / 4.0;
    out.massE24kg = asteroidMass(number, out.massClass, out.diameterKm);
    out.positionUncertaintyKm = std::exp2(r.uncertaintyCode / 10.0);
    out.uncertaintyGrowthKmPerYear = std::exp2(r.growthCode / 10.0);
    return out;
}

bool encodeElements(const AsteroidElementsDecoded& el, AsteroidRecord& r, std::string& message) {
    if (!(el.eccentricity >= 0 && el.eccentricity < 1.07)) {
        message = "eccentricity " + std::to_string(el.eccentricity) + " does not fit the record";
        return false;
    }
    if (!(el.semiMajorAxis > 0 && el.semiMajorAxis < 32767)) {
        message =
            "semi-major axis " + std::to_string(el.semiMajorAxis) + " AU does not fit the record";
        return false;
    }
    r = AsteroidRecord{};
    r.name = el.name.substr(0, libraryNameLength);
    r.magnitudeTimes10 =
        static_cast<std::uint8_t>(std::clamp<long>(std::lround(el.absoluteMagnitude * 10), 0, 255));
    const long diameter = std::clamp<long>(std::lround(el.diameterKm * 4), 0, 8191);
    r.classAndDiameter =
        static_cast<std::int16_t>(std::clamp(el.massClass, 0, 3) * 8192 + diameter);
    r.eccentricity = static_cast<std::int32_t>(std::llround(el.eccentricity * kEccentricityScale));
    r.inclination = static_cast<std::int32_t>(std::llround(el.inclination * kAngleScale));
    r.perihelion = angleCode(el.perihelion);
    r.node = angleCode(el.node);
    double whole = std::floor(el.semiMajorAxis);
    long long fraction = std::llround((el.semiMajorAxis - whole) * kAxisScale);
    if (fraction >= static_cast<long long>(kAxisScale))
        whole += 1, fraction -= static_cast<long long>(kAxisScale);
    r.axisWhole = static_cast<std::int16_t>(whole);
    r.axisFraction = static_cast<std::int32_t>(fraction);
    r.meanAnomaly = angleCode(el.meanAnomaly);
    auto code = [](double km) {
        return static_cast<std::uint8_t>(
            std::clamp<long>(km > 0 ? std::lround(10 * std::log2(km)) : 0, 0, 255));
    };
    r.uncertaintyCode = code(el.positionUncertaintyKm);
    r.growthCode = code(el.uncertaintyGrowthKmPerYear);
    return true;
}

bool AsteroidLibrary::open(const std::filesystem::path& bin, std::string& message) {
    const std::filesystem::path file = bin / "ASTEREL2.BIN", diffFile = bin / "MIBODIF2.BIN";
    std::vector<unsigned char> bytes, diffBytes;
    if (!readFile(file, bytes, message)) return false;
    if (bytes.size() < asteroidHeaderBytes ||
        (bytes.size() - asteroidHeaderBytes) % asteroidRecordBytes != 0) {
        message = file.string() + ": " + std::to_string(bytes.size()) +
                  " bytes is not a 10-byte header and whole 40-byte records (damaged or not an "
                  "asteroid library)";
        return false;
    }
    ByteCursor header(bytes.data(), bytes.size(), false);
    const double epoch = header.f64();
    const int quarter = header.i16();
    if (!std::isfinite(epoch) || epoch < 0 || epoch > 1e8 || quarter < 0) {
        message = file.string() + ": the header holds no valid epoch and difference count";
        return false;
    }
    if (!readFile(diffFile, diffBytes, message)) return false;
    if (diffBytes.size() % differenceRecordBytes != 0 ||
        diffBytes.size() / differenceRecordBytes < 4u * static_cast<unsigned>(quarter)) {
        message = diffFile.string() + ": " + std::to_string(diffBytes.size()) + " bytes; " +
                  file.filename().string() + " needs " + std::to_string(4 * quarter) +
                  " difference records of 13 bytes";
        return false;
    }
    std::vector<DifferenceRecord> differences(4u * static_cast<unsigned>(quarter));
    for (std::size_t n = 0; n < differences.size(); ++n)
        differences[n] = decodeDifferenceRecord(diffBytes.data() + n * differenceRecordBytes);
    bytes_ = std::move(bytes);
    differences_ = std::move(differences);
    epochJd_ = epoch;
    differenceQuarter_ = quarter;
    nameIndex_.clear();
    indexed_ = false;
    return true;
}

bool AsteroidLibrary::find(int number, AsteroidRecord& record) const {
    if (bytes_.empty() || number < 1 || number > recordCount()) return false;
    const unsigned char* at = bytes_.data() + asteroidHeaderBytes +
                              static_cast<std::size_t>(number - 1) * asteroidRecordBytes;
    if (blankName(at)) return false;
    record = decodeAsteroidRecord(at);
    return true;
}

const DifferenceRecord* AsteroidLibrary::difference(int number) const {
    if (number < 1 || static_cast<std::size_t>(number) > differences_.size()) return nullptr;
    return &differences_[static_cast<std::size_t>(number - 1)];
}

bool AsteroidLibrary::elements(int number, ElementSource source,
                               AsteroidElementsDecoded& out) const {
    AsteroidRecord record;
    if (!find(number, record)) return false;
    out = decodeElements(number, record, difference(number), sourceWeight(source));
    return true;
}

int AsteroidLibrary::findByName(const std::string& name) const {
    if (!indexed_) {
        const int count = bytes_.empty() ? 0 : recordCount();
        nameIndex_.reserve(static_cast<std::size_t>(count));
        for (int n = 1; n <= count; ++n) {
            const unsigned char* at = bytes_.data() + asteroidHeaderBytes +
                                      static_cast<std::size_t>(n - 1) * asteroidRecordBytes;
            if (blankName(at)) continue;
            nameIndex_.emplace(
                libraryNameKey(std::string(reinterpret_cast<const char*>(at), libraryNameLength)),
                n);
        }
        indexed_ = true;
    }
    const auto it = nameIndex_.find(libraryNameKey(name));
    return it == nameIndex_.end() ? 0 : it->second;
}

std::array<unsigned char, cometRecordBytes> encodeCometRecord(const CometRecord& r) {
    std::array<unsigned char, cometRecordBytes> bytes{};
    ByteWriter w(bytes.data());
    w.text(r.name, libraryNameLength);
    w.text(r.designation, 23);
    w.put(static_cast<std::uint32_t>(r.epochJ), 4);
    w.put(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(r.slopeK * 100))), 2);
    w.put(static_cast<std::uint16_t>(
              static_cast<std::int16_t>(std::lround(r.absoluteMagnitude * 100))),
          2);
    for (double v : r.position) w.put(std::bit_cast<std::uint64_t>(v), 8);
    for (double v : r.velocity) w.put(std::bit_cast<std::uint64_t>(v), 8);
    for (float a : r.nonGravitational) w.put(std::bit_cast<std::uint32_t>(a), 4);
    return bytes;
}

CometRecord decodeCometRecord(const unsigned char* bytes) {
    ByteCursor c(bytes, cometRecordBytes, false);
    CometRecord r;
    r.name = trimmedRight(c.characters(libraryNameLength));
    r.designation = trimmedRight(c.characters(23));
    r.epochJ = c.i32();
    r.slopeK = c.i16() / 100.0;
    r.absoluteMagnitude = c.i16() / 100.0;
    for (double& v : r.position) v = c.f64();
    for (double& v : r.velocity) v = c.f64();
    for (float& a : r.nonGravitational) a = c.f32();
    return r;
}

bool CometLibrary::open(const std::filesystem::path& bin, std::string& message) {
    const std::filesystem::path file = bin / "COMETS.BIN";
    std::vector<unsigned char> bytes;
    if (!readFile(file, bytes, message)) return false;
    if (bytes.empty() || bytes.size() % cometRecordBytes != 0) {
        message = file.string() + ": " + std::to_string(bytes.size()) +
                  " bytes is not a whole number of 100-byte comet records (damaged or not a comet "
                  "library)";
        return false;
    }
    std::vector<CometRecord> records;
    for (std::size_t at = 0; at < bytes.size(); at += cometRecordBytes) {
        CometRecord r = decodeCometRecord(bytes.data() + at);
        bool finite = true;
        for (int k = 0; k < 3; ++k)
            finite = finite && std::isfinite(r.position[k]) && std::isfinite(r.velocity[k]);
        if (!finite) {
            message = file.string() + ": comet record " +
                      std::to_string(at / cometRecordBytes + 1) +
                      " holds a state that is not a number";
            return false;
        }
        records.push_back(std::move(r));
    }
    records_ = std::move(records);
    return true;
}

int CometLibrary::findByName(const std::string& name) const {
    const std::string key = libraryNameKey(name.substr(0, libraryNameLength));
    for (int k = 0; k < count(); ++k)
        if (libraryNameKey(records_[static_cast<std::size_t>(k)].name) == key) return k;
    return -1;
}

} // namespace tarvo
