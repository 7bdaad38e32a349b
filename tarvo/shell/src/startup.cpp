#include "tarvo/shell/startup.h"

#include "tarvo/reductions/site_files.h"
#include "tarvo/shell/fatal_error.h"
#include "tarvo/shell/main_menu.h"
#include "tarvo/shell/run_loop.h"
#include "tarvo/shell/star_loading.h"
#include "tarvo/shell/time_zone.h"
#include "tarvo/shell/title_screen.h"

#include "fileio/text_util.h"
#include "fileio/tree_manifest.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <new>
#include <random>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <fpu_control.h>
#endif

namespace fs = std::filesystem;

namespace tarvo {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Every extended-precision computation relies on the x87 unit carrying a
// 64-bit mantissa; make sure no inherited setting narrows it.
void useExtendedPrecision() {
#if defined(__x86_64__) || defined(__i386__)
    fpu_control_t cw;
    _FPU_GETCW(cw);
    cw = static_cast<fpu_control_t>((cw & ~_FPU_EXTENDED) | _FPU_EXTENDED);
    _FPU_SETCW(cw);
#endif
}

// Bodies past the 32 with file colours get random ones: each component
// INT(25 + 230 r), r uniform in [0, 1).
void randomColours(BodyTable& table, std::mt19937& random) {
    std::uniform_real_distribution<double> r(0.0, 1.0);
    for (int i = 32; i < table.slots(); ++i) {
        int c[3];
        for (auto& v : c) v = static_cast<int>(25.0 + 230.0 * r(random));
        table.color[i] = rgb(c[0], c[1], c[2]);
    }
}

// Records of the star catalogue files, from their lengths (26-byte star
// records, 16-byte names and designations); 0 for a file that is absent.
std::array<long long, 3> starRecordCounts(const fs::path& bin) {
    std::array<long long, 3> counts{};
    const std::pair<const char*, long long> files[3] = {
        {"STARS3D.BIN", 26}, {"STNAMS3D.BIN", 16}, {"STDES3D.BIN", 16}};
    for (std::size_t k = 0; k < 3; ++k) {
        if (auto file = findDataFile(bin, files[k].first)) {
            std::error_code ec;
            const auto bytes = fs::file_size(*file, ec);
            if (!ec) counts[k] = static_cast<long long>(bytes) / files[k].second;
        }
    }
    return counts;
}

// "ERROR n is in MAIN at line l", then the three star counters; waits for a
// key. The message of the error follows on its own line so that a missing
// file is named.
void lastResortHandler(int number, int line, const std::string& message,
                       const std::array<long long, 3>& counters) {
    using namespace console::Color;
    console::setColor(LightRed, Black);
    console::clear();
    console::printAt(
        2, 1, "ERROR " + std::to_string(number) + " is in MAIN at line " + std::to_string(line));
    console::printAt(3, 1,
                     std::to_string(counters[0]) + "  " + std::to_string(counters[1]) + "  " +
                         std::to_string(counters[2]));
    console::setColor(LightGrey, Black);
    console::locate(5, 1);
    console::print(message);
    console::printAt(console::gridRows(), 1, "Press a key to end ... ");
    console::readKey();
}

// The tables that only make things better: the fitted nutation of the IAU
// reductions (without it the series is summed for every page) and the
// observed Delta-T (without it Auto uses the polynomials alone).  A damaged
// or missing file is said once and the program goes on.
void loadOptionalTables(Session& s) {
    std::string message;
    if (auto file = findDataFile(s.dirs.bin, "NUT2000A.BIN");
        file && !loadNutationTable(*file, s.nutationTable, message))
        s.dataWarning += message + "; the nutation series is summed instead.\n";
    auto deltaT = findDataFile(s.dirs.asc, "DELTAT.TAB");
    if (!deltaT)
        s.dataWarning += (s.dirs.asc / "DELTAT.TAB").string() +
                         " is missing; Auto Delta-T uses the polynomials alone.\n";
    else if (!loadDeltaTTable(*deltaT, s.deltaTTable, message))
        s.dataWarning += message + "; Auto Delta-T uses the polynomials alone.\n";
}

} // namespace

void startSession(Session& s, const std::string& commandLine) {
    // Time zone of the operating system, daylight saving included.
    s.zoneOffsetHours = zoneOffsetHours(std::time(nullptr));

    // Directories.
    s.commandLine = parseCommandLine(commandLine);
    DataTreeQuery query;
    query.commandLineDir = s.commandLine.directory;
    std::error_code ec;
    query.currentDir = fs::current_path(ec);
    if (const char* env = std::getenv("TARVO12DIR")) query.envTreeDir = env;
    query.executableDir = executableDirectory();
    auto found = findDataTree(query);
    if (!found.dirs) throw FatalError(ErrorNumber::missingDataFile, found.error);
    s.dirs = *found.dirs;
    if (!found.notice.empty()) s.dataWarning += found.notice + "\n";
    s.dataWarning += treeManifestWarning(s.dirs.base, query.executableDir);
    if (::chdir(s.dirs.workDir.c_str()) != 0)
        throw FatalError(ErrorNumber::missingDataFile,
                         "cannot enter the working directory " + s.dirs.workDir.string());

    // Tests shorten the interval between checkpoints; nothing else sets it.
    if (const char* seconds = std::getenv("TARVO_CHECKPOINT_SECONDS")) {
        const double value = readFreeNumber(seconds);
        if (std::isfinite(value) && value >= 0) s.checkpointSeconds = value;
    }

    // Body table of the requested size (values below the least a data set
    // needs are raised to it; values beyond memory are refused).
    const CapacityResult capacity = maxBodiesFromCommandLine(commandLine);
    if (!capacity.ok) throw FatalError(ErrorNumber::outOfMemory, capacity.message);
    auto created = createBodyTable(capacity.maxBodies, s.bodies);
    if (!created.ok) throw FatalError(ErrorNumber::outOfMemory, created.message);

    // The star catalogue's record counts, from the file lengths.
    s.starRecordCounts = starRecordCounts(s.dirs.bin);

    // Fixed data files.
    s.titleLines = readTitleLines(requireDataFile(s.dirs, s.dirs.asc, "TITLE.121"));
    auto colours = readBodyColours(requireDataFile(s.dirs, s.dirs.asc, "COLORS.DAT"));
    for (int i = 0; i < 32 && i < s.bodies.slots(); ++i) s.bodies.color[i] = colours[i];
    std::mt19937 random(static_cast<unsigned>(std::time(nullptr)));
    randomColours(s.bodies, random);

    useExtendedPrecision();

    // The long-term precession table.
    std::string message;
    if (!loadPrecessionTable(requireDataFile(s.dirs, s.dirs.bin, "PRECDATN.BIN"), s.precessionTable,
                             message))
        throw FatalError(ErrorNumber::badDataFile, message);
    loadOptionalTables(s);

    SiteRecord site;
    switch (readSiteFile(requireDataFile(s.dirs, s.dirs.cfg, "GEOLOC.CRD"), site, message)) {
    case SiteFileStatus::Read:
        break;
    case SiteFileStatus::Unreadable:
        throw FatalError(ErrorNumber::missingDataFile, message);
    case SiteFileStatus::Damaged:
        throw FatalError(ErrorNumber::badDataFile, message);
    }
    s.site.latitude = static_cast<long double>(site.latitudeDeg) * kPi / 180.0L;
    s.site.longitude = static_cast<long double>(site.longitudeDeg) * kPi / 180.0L;
    s.site.height = static_cast<long double>(site.heightM) / 1e9L;
    s.site.name = site.label;

    // Display toggles: defaults, then TARVO.CFG; the extra options' defaults
    // and the g(r) law of FITRA.CFG.
    auto load = loadConfiguration(s.dirs.cfg / "TARVO.CFG", s.toggles);
    if (auto found = findDataFile(s.dirs.cfg, "TARVO.CFG"); found && !load.fileFound)
        load = loadConfiguration(*found, s.toggles);
    s.configurationWarning = load.warning;
    s.keepConfigurationCopy = load.keepOldCopy;
    s.extraOptions = ExtraOptions{};
    s.extraOptions.yarkovsky = s.toggles.yarkovsky ? -1 : 0;
    if (auto fitra = findDataFile(s.dirs.cfg, "FITRA.CFG"))
        s.nonGravLaw = loadNonGravParameters(*fitra);
}

int runTarvo(const console::Options& consoleOptions, const std::string& commandLine) {
    console::InitConsoleTools(consoleOptions);
    console::ConsoleMove(-2, 0);
    console::setSize(81, 27);
    console::clear();
    Session session;
    try {
        startSession(session, commandLine);
        showTitleScreen(session.titleLines);
        loadStarsAtStartup(session);
        if (!session.configurationWarning.empty())
            console::ConsoleMessageBox(session.configurationWarning, 0, "TARVO.CFG");
        if (!session.dataWarning.empty())
            console::ConsoleMessageBox(session.dataWarning, 0, "Data tree");
        for (;;) {
            const int choice = mainMenu(session);
            if (choice == menuQuit) break;
            if (choice == menuReloadStars) {
                reloadStars(session);
                continue;
            }
            runFromMenu(session, choice);
        }
    } catch (const FatalError& e) {
        lastResortHandler(static_cast<int>(e.number()), e.line(), e.what(),
                          session.starRecordCounts);
        console::exitProgram(1);
    } catch (const std::bad_alloc&) {
        lastResortHandler(static_cast<int>(ErrorNumber::outOfMemory), __LINE__, "Out of memory.",
                          session.starRecordCounts);
        console::exitProgram(1);
    } catch (const std::exception& e) {
        lastResortHandler(static_cast<int>(ErrorNumber::internal), __LINE__, e.what(),
                          session.starRecordCounts);
        console::exitProgram(1);
    }
    console::shutdownConsole();
    return 0;
}

} // namespace tarvo
