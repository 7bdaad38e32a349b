#include "umbravue/mapper_session.h"

#include "umbravue/file_list.h"
#include "umbravue/path_picture.h"

#include "console/console.h"
#include "console/programs.h"
#include "fileio/data_tree.h"
#include "pictor.h"
#include "tarvo/views/world_map_check.h"

#include <chrono>

namespace umbravue {

namespace fs = std::filesystem;

namespace {

void addNote(std::string& note, const std::string& more) {
    if (more.empty()) return;
    note += note.empty() ? more : "; " + more;
}

fs::path configFile(const MapperDirectories& dirs, const char* name) {
    return tarvo::findDataFile(dirs.cfg, name).value_or(dirs.cfg / name);
}

// Waits for a key while the picture is shown, repainting the window every
// half second on a terminal.
console::Event waitWithPicture() {
    if (console::isScriptMode()) return console::readKey();
    auto last = std::chrono::steady_clock::now();
    while (true) {
        if (auto e = console::pollKey()) return *e;
        const auto now = std::chrono::steady_clock::now();
        if (now - last >= std::chrono::milliseconds(500)) {
            GfxRefresh(1);
            last = now;
        }
        console::pauseMs(40);
    }
}

// The pictures of one file: each event alone, or all in one.
std::vector<PathEvent> picturesOf(const PathFileLoad& load, bool allEvents) {
    std::vector<PathEvent> pictures;
    for (const PathEvent& e : load.events) {
        if (e.points.empty()) continue;
        if (allEvents && !pictures.empty()) {
            pictures[0].points.insert(pictures[0].points.end(), e.points.begin(), e.points.end());
            continue;
        }
        pictures.push_back(e);
    }
    if (allEvents && !pictures.empty()) unwrapLongitudes(pictures[0].points);
    return pictures;
}

std::string drawFile(const MapperDirectories& dirs, const std::string& file) {
    std::string note;
    console::clear();
    console::printAt(2, 2, " Data File:     " + file);
    const OptionsLoad options = readMapperOptions(configFile(dirs, "UMBRAVUE.CFG"));
    addNote(note, options.message);
    const PathFileLoad paths = readPathFile(file, options.options.thinning);
    if (!paths.ok) return paths.message;
    addNote(note, paths.message);
    SitesLoad sites;
    if (options.options.sites) {
        sites = readSiteMarks(configFile(dirs, "SITES.CRD"));
        addNote(note, sites.message);
    }
    const std::vector<PathEvent> pictures = picturesOf(paths, options.options.allEvents);
    if (pictures.empty()) {
        addNote(note, file + " holds no path points: nothing to draw");
        return note;
    }
    const bool big = tarvo::bigMapInstalled(dirs.img);
    std::vector<std::string> saved;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        PictureInput in{&pictures[i], &options.options, &sites.sites, dirs.img, big};
        const PictureResult r = drawPathPicture(in);
        addNote(note, r.message);
        if (!r.savedAs.empty()) saved.push_back(r.savedAs);
        console::clear();
        console::printAt(2, 2, " Data File:     " + file);
        console::printAt(
            4, 2, r.savedAs.empty() ? " Picture not saved" : " Picture saved as " + r.savedAs);
        if (!note.empty()) console::printAt(5, 1, "  " + note.substr(0, 300)); // wraps
        const bool more = i + 1 < pictures.size();
        console::printAt(10, 2,
                         more ? " Press a key for the next event, Esc to stop "
                              : " Press a key to return to the list ");
        const console::Event e = waitWithPicture();
        GfxWindow(1);
        console::clear();
        console::ConsoleToolBar(-1, 5);
        if (more && e.key == console::Key::Esc) break;
    }
    std::string done = std::to_string(saved.size()) + " picture(s) of " + file + " saved";
    for (std::size_t i = 0; i < saved.size(); ++i) done += (i ? ", " : ": ") + saved[i];
    return note.empty() ? done : done + "; " + note;
}

} // namespace

int runMapper(const MapperDirectories& dirs) {
    std::string note;
    while (true) {
        const ListChoice choice = chooseFromList(pathFilesIn("."), note);
        note.clear();
        if (choice.kind == ListChoice::Kind::Exit) return 0;
        if (choice.kind == ListChoice::Kind::ChangeDefaults) {
            const console::ProgramRun run = console::editTextFile(configFile(dirs, "UMBRAVUE.CFG"));
            if (!run.started) note = run.message;
            continue;
        }
        note = drawFile(dirs, choice.file);
    }
}

} // namespace umbravue
