// A run of the main program started from a planetary data set of a data
// tree, as the run loop starts one: the major bodies from the library record
// nearest the wanted epoch, the data set's parameters and force constants,
// the default integration settings (3-day step at order 6 with the extended
// model; 5 days at order 8 for the sets without the Moon), and the body
// table held in the true equator and equinox of a frame epoch that is
// renewed every `frameRenewalDays` (J2000 throughout when 0).
#pragma once

#include <filesystem>
#include <string>

#include "datasets/integration_driver.h"
#include "datasets/library_writer.h"
#include "datasets/planetary_source.h"
#include "tarvo/libraries/data_set_parameters.h"
#include "tarvo/reductions/frames.h"

namespace datasets {

struct RunSettings {
    int dataSet = 2;
    std::filesystem::path tree;        // the data tree (BIN and ASC inside)
    long double wantedEpoch = 0;       // days from J2000; the nearest record is taken
    long double frameRenewalDays = 100; // as the run loop; 0: stay in the J2000 frame
    long double nominalStep = 0;       // days; 0: the default of the data set
    int orderCode = 0;                 // 0: the default of the data set
};

class DataSetRun {
public:
    // Loads the data set and prepares the integration at the record epoch.
    bool start(const RunSettings& settings, int direction, std::string& message);

    // The same from a record of data-set contents held in memory (the
    // states as sampled, before quantisation), with zero parameter rows.
    bool startFromContents(const DataSetContents& contents, std::size_t record, const RunSettings& settings,
                           int direction, std::string& message);

    // Integrates to epoch t (days from J2000) in the run's direction.
    bool advanceTo(long double t, std::string& message);

    // State of body i in J2000 axes: heliocentric, the Moon geocentric
    // (Gm and km/s).
    BodyState stateJ2000(int i) const;

    long double epoch() const { return run_.state.epoch; }
    long double recordEpoch() const { return recordEpoch_; }
    long double nominalStep() const { return nominalStep_; }
    const tarvo::BodyTable& table() const { return table_; }
    const Integration& integration() const { return run_; }

private:
    bool prepare(const RunSettings& settings, std::string& message);
    void beginRun(int direction);
    void enterFrame(long double t);
    void leaveFrame();

    RunSettings settings_;
    tarvo::BodyTable table_;
    Integration run_;
    tarvo::DataSetParameters parameters_;
    tarvo::FrameState frame_;
    tarvo::PrecessionTable precessionTable_;  // not needed within two millennia of J2000
    long double recordEpoch_ = 0;
    long double nominalStep_ = 3;
};

}  // namespace datasets
