// A data tree holding the planetary data sets of a short span near the
// asteroid elements' epoch, built with the builder's own library code.
#pragma once

#include <filesystem>
#include <string>

#include "datasets/data_set_factory.h"

namespace datasets::testing {

// True when the Debian DE405 and the kstars asteroid elements are installed.
bool sourcesInstalled();

// Records every 10 days over days 8200..8300 from J2000 (2022), with a
// radial-factor fit of a few months from one record.
SourceOptions shortSpan();

// Writes BIN/, ASC/ with the library, description and parameter files of
// `dataSet` under `tree`; false with a message on failure.
bool writeDataSet(DataSetFactory& factory, int dataSet, const std::filesystem::path& tree, std::string& message);

// A fresh scratch directory removed at destruction.
struct ScratchDirectory {
    ScratchDirectory();
    ~ScratchDirectory();
    std::filesystem::path path;
};

}  // namespace datasets::testing
