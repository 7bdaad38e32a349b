#include "short_tree.h"

#include <random>

#include "tarvo/libraries/data_set_parameters.h"

namespace datasets::testing {

bool sourcesInstalled()
{
    return std::filesystem::exists(defaultEphemerisPath) && std::filesystem::exists(defaultAsteroidElementsPath);
}

SourceOptions shortSpan()
{
    SourceOptions o;
    o.firstDay = 8200;
    o.lastDay = 8300;
    // A short fit from one record keeps the tests quick and still runs it.
    o.radialFit.years = 0.3;
    o.radialFit.startOffsets = {0};
    return o;
}

bool writeDataSet(DataSetFactory& factory, int dataSet, const std::filesystem::path& tree, std::string& message)
{
    std::filesystem::create_directories(tree / "BIN");
    std::filesystem::create_directories(tree / "ASC");
    DataSetContents contents;
    if (!factory.contents(dataSet, contents, message)) return false;
    const auto scales = chooseScales(contents);
    std::vector<unsigned char> bytes;
    if (!encodeLibrary(contents, scales, bytes, message)) return false;
    const tarvo::DataSetFileNames* names = tarvo::dataSetFileNames(dataSet);
    writeBytes(tree / "BIN" / names->library, bytes);
    writeLines(tree / "ASC" / names->description, descriptionLines(contents, scales));
    writeLines(tree / "ASC" / names->colours, colourLines(dataSet));
    if (names->parameters[0] != '\0')
        writeLines(tree / "ASC" / names->parameters, zeroParameterLines(names->lastParameterRow));
    return true;
}

ScratchDirectory::ScratchDirectory()
{
    std::random_device seed;
    path = std::filesystem::temp_directory_path() / ("tarvo-datasets-" + std::to_string(seed()));
    std::filesystem::create_directories(path);
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace datasets::testing
