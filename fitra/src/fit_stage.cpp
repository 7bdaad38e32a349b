#include "fitra/fit_stage.h"

#include "console/console.h"
#include "fileio/atomic_file.h"
#include "fileio/format_mask.h"
#include "fileio/text_util.h"
#include "fitra/clones.h"
#include "fitra/data_cut.h"
#include "fitra/fit_outputs.h"
#include "fitra/least_squares.h"
#include "fitra/mpc_import.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace fitra {

namespace {

using namespace console;

constexpr int kIterationLimit = 40; // iterations of one fit before the menu returns
constexpr int kLogRow = 4;

struct FitSession {
    const tarvo::DataDirectories& dirs;
    FitraSettings& settings;
    PositionsFile file;
    FitDynamics dynamics;
    FitObservations obs;
    ParameterSlots slots;
    FitHistory history;
    IterationResult last;
    ResidualSummary summary;
    bool haveResult = false;
    SlotVector initial{}; // the slot values the fit started from
};

// A line of the action screen that says what the last action did.
void status(const std::string& text) {
    printAt(kLogRow - 1, 2, text);
    clearToEndOfLine();
}

std::optional<double> askNumber(int row, const std::string& prompt) {
    printAt(row, 2, prompt);
    clearToEndOfLine();
    const auto answer = readLine(20);
    if (!answer) return std::nullopt;
    return tarvo::readFreeNumber(*answer);
}

void showResultLines(const FitSession& f, int row) {
    const FitraSettings& s = f.settings;
    for (int i = 1; i <= kSlotCount; ++i) {
        if (!f.slots.active[i]) continue;
        printAt(row++, 2,
                slotLabel(i, s) +
                    tarvo::formatMask("  ##.#################^^^^ ", f.slots.value[i]) + " Err" +
                    tarvo::formatMask(" ##.##^^^^", f.last.formalError[i]));
    }
    printAt(row + 1, 2,
            "Used " + std::to_string(f.summary.used) + " obs.  RMS" +
                tarvo::formatMask("  RA*cos(Dec) ####.###\"", f.summary.rmsRa) +
                tarvo::formatMask("  Dec ####.###\"", f.summary.rmsDec) +
                tarvo::formatMask("  total ####.###\"", f.summary.rmsAngle));
}

// Iterates until convergence, the limit, or a failure; true when an
// iteration completed.
bool iterate(FitSession& f, int limit) {
    clear();
    printAt(1, 2, " Data File: " + f.settings.dataFile);
    printAt(2, 2,
            " Fitting " + f.file.objectName + ": " + std::to_string(f.obs.observations.size()) +
                " observations");
    bool any = false;
    for (int n = 0; n < limit; ++n) {
        IterationResult r = runIteration(f.dynamics, f.obs, f.settings, f.slots, f.history);
        if (!r.ok) {
            ConsoleMessageBox(r.message, 0, "MESSAGE BOX");
            return any;
        }
        f.last = std::move(r);
        f.haveResult = any = true;
        std::string why;
        if (!writeIterationFiles(".", f.file, f.obs, f.last, f.slots, f.dynamics, f.settings,
                                 f.summary, why))
            ConsoleMessageBox(why, 0, "MESSAGE BOX");
        const long double d1 = f.history.sigma[1] - f.history.sigma[0];
        {
            std::ofstream log("ORBIT.LOG", std::ios::binary | std::ios::app);
            log << formatOrbitLogEntry(f.history.iteration, f.history.sigma[0], d1, f.slots,
                                       f.initial, f.last, f.settings);
        }
        const int row = kLogRow + (f.history.iteration - 1) % 12;
        printAt(row, 2,
                "Iteration " + std::to_string(f.history.iteration) + ". " +
                    tarvo::formatMask(";  Sigma =##.#####^^^^", f.history.sigma[0]) + " deg" +
                    tarvo::formatMask("  dSigma =##.##^^^^", d1));
        clearToEndOfLine();
        if (!f.last.message.empty()) printAt(kLogRow + 13, 2, f.last.message);
        printAt(2, 44, f.last.converged ? "   Converged  " : "              ");
        printAt(1, 44,
                tarvo::formatMask("s =##.#####^^^^", f.last.unitWeight) +
                    tarvo::formatMask("   nu = ########", f.last.degreesOfFreedom));
        if (f.last.converged) break;
        // S stops after this iteration. A key script is not polled: its
        // keys belong to the screens that read them.
        if (isScriptMode()) continue;
        if (auto k = pollKey(); k && std::toupper(k->key) == 'S') {
            printAt(kLogRow + 14, 2, "Completing Cycle ...");
            break;
        }
    }
    return any;
}

void showResiduals() {
    std::vector<std::string> lines;
    std::string why;
    if (!readObservationLines("RESID.DAT", lines, why)) {
        ConsoleMessageBox(why, 0, "MESSAGE BOX");
        return;
    }
    const int perPage = gridRows() - 14;
    for (std::size_t first = 0; first < lines.size(); first += static_cast<std::size_t>(perPage)) {
        for (int r = 12; r <= gridRows(); ++r) clearLine(r);
        for (int i = 0; i < perPage && first + i < lines.size(); ++i)
            printAt(12 + i, 1, lines[first + i].substr(0, 79));
        printAt(gridRows() - 1, 2, " Any key: next page    Esc: stop ");
        if (readKey().key == Key::Esc) break;
    }
}

// B and D of the menu: the new positions file becomes the data file.
bool cutOrRestore(FitSession& f, bool restore) {
    const int row = 18;
    printAt(row, 2, "New .POS Filename ? ");
    clearToEndOfLine();
    const auto name = readLine(40);
    if (!name || tarvo::trim(*name).empty()) return false;
    std::string stem = tarvo::trim(*name);
    if (auto dot = stem.find('.'); dot != std::string::npos) stem.resize(dot);
    const bool sigmas = f.settings.weighted && f.settings.removalThreshold != 0;
    const std::string unit = sigmas ? "(sigmas) ? " : "(arcsecs) ? ";
    const auto ra = askNumber(row + 1, "Resid. Threshold in RA " + unit);
    const auto dec = askNumber(row + 2, "Resid. Threshold in DEC " + unit);
    CutRequest request;
    request.positions = f.settings.dataFile;
    request.residuals = "RESID.DAT";
    request.output = stem + ".POS";
    request.raThreshold = thresholdAnswer(ra.value_or(0));
    request.decThreshold = thresholdAnswer(dec.value_or(0));
    request.sigmas = sigmas;
    request.restore = restore;
    const CutOutcome out = cutBadData(request);
    if (!out.ok) {
        ConsoleMessageBox(out.message, 0, "MESSAGE BOX");
        return false;
    }
    f.settings.dataFile = request.output.string();
    return true;
}

void setAsStart(FitSession& f) {
    StartingConditions c;
    FittedStart start;
    std::string why;
    if (!startOfRun(f.slots, 0, f.settings, f.dynamics, start, why)) {
        ConsoleMessageBox(why, 0, "MESSAGE BOX");
        return;
    }
    c.epochJd = f.dynamics.epoch + 2451545.0L;
    c.satellite = f.settings.satellite != 0;
    c.name = f.file.objectName;
    for (int k = 0; k < 3; ++k) {
        c.state[k] = start.position[k];
        c.state[k + 3] = start.velocity[k];
    }
    c.nonGrav = {f.slots.value[7], f.slots.value[8], f.slots.value[9]};
    c.af = f.slots.value[10];
    c.physical[0] = f.slots.value[13];
    const std::string text = formatStartingConditions(c);
    if (!tarvo::writeFileAtomically("START0.DAT", text, why) ||
        !tarvo::writeFileAtomically("STARTING.DAT", text, why)) {
        ConsoleMessageBox(why, 0, "MESSAGE BOX");
        return;
    }
    f.settings.autoStarting = 0;
    status("START0.DAT and STARTING.DAT written");
}

// G: the fitted orbit integrated to a date, written as LAST1.TVX.
void goToEpoch(FitSession& f) {
    printAt(kLogRow + 13, 2, "Input Date (YYYY.MMDD)");
    printAt(kLogRow + 14, 2, "or Julian Day (J#######.##) ? ");
    clearToEndOfLine();
    const auto answer = readLine(24);
    if (!answer) return;
    std::string text = tarvo::trim(*answer);
    if (text.empty()) return;
    long double t = 0;
    if (std::toupper(static_cast<unsigned char>(text[0])) == 'J') {
        t = tarvo::readFreeNumber(text.substr(1)) - 2451545.0L;
    } else {
        // YYYY.MMDD as YYYYMMDD, rounded clear of the decimal fraction's error.
        const long double packed =
            std::round(static_cast<long double>(tarvo::readFreeNumber(text)) * 1e10L) / 1e6L;
        t = packedDateToDays(std::fabs(packed));
    }
    if (!std::isfinite(static_cast<double>(t)) || std::fabs(t) > 36525.0L * 50) {
        ConsoleMessageBox("No such date: " + text, 0, "MESSAGE BOX");
        return;
    }
    status("Jumping to Target Epoch  ...");
    refresh();
    std::string why;
    if (writeStateAtEpoch("LAST1.TVX", f.dynamics, f.slots, f.settings, t, f.file.objectName, why))
        status("LAST1.TVX written" + tarvo::formatMask(" at JD #######.#####", t + 2451545.0L));
    else
        ConsoleMessageBox(why, 0, "MESSAGE BOX");
}

// K: clones drawn from the covariance of the last iteration.
void makeClones(FitSession& f) {
    if (!f.haveResult) return;
    const auto answer = askNumber(kLogRow + 13, "No of Samples ? ");
    const int count = answer ? static_cast<int>(*answer) : 0;
    if (count <= 0 || count > 100000) return;
    const long double s2 = f.settings.weighted ? 1.0L : f.last.unitWeight * f.last.unitWeight;
    SlotMatrix covariance{};
    for (int i = 1; i <= kSlotCount; ++i)
        for (int j = 1; j <= kSlotCount; ++j) covariance[i][j] = s2 * f.last.inverse[i][j];
    SlotMatrix lower;
    if (!choleskyFactor(f.slots.active, covariance, lower)) {
        ConsoleMessageBox("CholDec Fails!", 0, "MESSAGE BOX");
        return;
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    UniformGenerator uniform(static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
    GaussianDeviate gauss(uniform);
    // The clones scatter about the solution the covariance belongs to.
    ParameterSlots nominal = f.slots;
    for (int i = 1; i <= kSlotCount; ++i)
        if (nominal.active[i]) nominal.value[i] -= f.last.correction[i];
    std::string why;
    if (writeClonesFile("Clones.TVX", f.dynamics, nominal, drawClones(nominal, lower, count, gauss),
                        f.settings, why))
        status(std::to_string(count) + " clones written to Clones.TVX");
    else
        ConsoleMessageBox(why, 0, "MESSAGE BOX");
}

} // namespace

FitOutcome runFit(const tarvo::DataDirectories& dirs, FitraSettings& settings,
                  const PositionsFile& observations, const StartingConditions* start) {
    FitSession f{dirs, settings, observations, {}, {}, {}, {}, {}, {}, false};
    const long double epoch = start ? start->epochJd - 2451545.0L : autoStartEpoch(observations);
    std::string why;
    clear();
    printAt(2, 2, " Loading the planets ...");
    refresh();
    if (!buildFitDynamics(dirs.bin, dirs.asc, settings, epoch, f.dynamics, why)) {
        ConsoleMessageBox(why, 0, "MESSAGE BOX");
        return FitOutcome::backToToggles;
    }
    const StartingConditions conditions =
        start ? *start : autoStartingConditions(observations, settings, f.dynamics);
    f.obs = prepareObservations(observations, settings);
    f.slots = initialSlots(settings, conditions, f.dynamics);
    f.initial = f.slots.value;
    // FIRST0.TVX: the fitted body as the fit starts, for the main program.
    if (!writeFittedStateFile("FIRST0.TVX", f.dynamics, f.slots, settings, observations.objectName,
                              why))
        ConsoleMessageBox(why, 0, "MESSAGE BOX");
    std::ofstream("ORBIT.LOG", std::ios::binary | std::ios::trunc); // a new fit, a new log
    iterate(f, kIterationLimit);
    while (true) {
        if (f.haveResult) showResultLines(f, 18);
        const char* lines[] = {" G    GoTo Epoch   ", " S    Set as Start ", " M    Main Menu    ",
                               " R    Residuals    ", " I    Iterate      ", " B    Cut Bad Data ",
                               " D    Restore Data ", " K    Make Clones  ", " X    Export TVX   ",
                               " Q    Quit         "};
        for (int i = 0; i < 10; ++i) printAt(kLogRow + i, 60, lines[i]);
        refresh();
        const Event e = readKey();
        if (e.key == Key::Esc) return FitOutcome::backToToggles;
        if (e.key <= 0 || e.key >= 128) continue;
        switch (std::toupper(e.key)) {
        case 'I':
            f.history.converged = false;
            iterate(f, kIterationLimit);
            break;
        case 'R':
            showResiduals();
            break;
        case 'B':
        case 'D':
            if (cutOrRestore(f, std::toupper(e.key) == 'D')) return FitOutcome::backToToggles;
            break;
        case 'X': {
            const std::string name = fileStem(settings.dataFile) + "X.TVX";
            if (writeFittedStateFile(name, f.dynamics, f.slots, settings, f.file.objectName, why))
                status(name + " written");
            else
                ConsoleMessageBox(why, 0, "MESSAGE BOX");
            break;
        }
        case 'G':
            goToEpoch(f);
            break;
        case 'K':
            makeClones(f);
            break;
        case 'S':
            setAsStart(f);
            break;
        case 'M':
            return FitOutcome::backToToggles;
        case 'Q':
            return FitOutcome::quit;
        default:
            break;
        }
    }
}

} // namespace fitra
