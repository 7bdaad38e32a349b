#include "tarvo/libraries/data_set_parameters.h"

#include <algorithm>
#include <array>

namespace tarvo {
namespace {

constexpr std::array<DataSetFileNames, 10> kDataSetFiles{{
    {"PL431BP.BIN", "PL431BP.DAT", "PLCOL.DAT", "", 0},
    {"PL431MND.BIN", "PL431M.DAT", "PLCOL.DAT", "DRJNULL.PAR", 6},
    {"PL431SN.BIN", "PL431S.DAT", "PLCOL.DAT", "DRJSN.PAR", 7},
    {"PL431NMN.BIN", "PL431NM.DAT", "PLCOL.DAT", "DRJNULL.PAR", 9},
    {"PL431ON.BIN", "PL431O.DAT", "PLCOL.DAT", "DRJON.PAR", 9},
    {"PL431MBN.BIN", "PL431MB.DAT", "PLCOL.DAT", "DRJNULL.PAR", 7},
    {"PL406M.BIN", "PL406M.DAT", "PLCOL.DAT", "DRJ406M.PAR", 7},
    {"PL406S.BIN", "PL406S.DAT", "PLCOL.DAT", "DRJ406S.PAR", 7},
    {"PL406OF.BIN", "PL406OP.DAT", "PLCOL.DAT", "DRJ406OF.PAR", 9},
    {"PLXSH.BIN", "PLXSHD.DAT", "PLXSHCOL.DAT", "", 0},
}};

constexpr int kLastCorrectedBody = 13;
constexpr int kLastSatelliteIndex = 511; // satellites that take the Earth's radial factor

}  // namespace

const DataSetFileNames* dataSetFileNames(int dataSet)
{
    if (dataSet < firstDataSet || dataSet > lastDataSet) return nullptr;
    return &kDataSetFiles[static_cast<std::size_t>(dataSet - 1)];
}

DataSetFiles dataSetFiles(const std::filesystem::path& binDirectory, const std::filesystem::path& ascDirectory,
                          int dataSet)
{
    DataSetFiles files;
    const DataSetFileNames* names = dataSetFileNames(dataSet);
    if (!names) return files;
    files.library = binDirectory / names->library;
    files.description = ascDirectory / names->description;
    files.colours = ascDirectory / names->colours;
    return files;
}

bool loadParameters(const std::filesystem::path& ascDirectory, int dataSet, DataSetParameters& parameters,
                    std::string& message)
{
    const DataSetFileNames* names = dataSetFileNames(dataSet);
    if (!names) {
        message = "data set " + std::to_string(dataSet) + " does not exist";
        return false;
    }
    DataSetParameters loaded;
    loaded.force = forceCoefficientsForDataSet(dataSet);
    if (names->parameters[0] != '\0' &&
        !readParameterFile(ascDirectory / names->parameters, names->lastParameterRow, loaded.radial, message))
        return false;
    parameters = std::move(loaded);
    return true;
}

void applyRadialCorrections(BodyTable& table, const RadialCoefficients& coefficients, long double t, int dataSet,
                            bool satelliteMode)
{
    const int last = std::min({kLastCorrectedBody, table.layout.bodyCount, RadialCoefficients::rows - 1});
    for (int i = 1; i <= last; ++i)
        table.relFactor[i] = table.relFactorBase[i] + radialCorrection(coefficients.row[i], t, dataSet);
    const int earth = table.layout.earthIndex, moon = table.layout.moonIndex;
    if (earth <= 0 || earth > table.layout.bodyCount) return;
    if (table.moonIntegrated()) table.relFactor[moon] = table.relFactor[earth];
    if (satelliteMode)
        for (int i = table.layout.lastMajor + 1; i <= std::min(table.layout.bodyCount, kLastSatelliteIndex); ++i)
            table.relFactor[i] = table.relFactor[earth];
}

}  // namespace tarvo
