// The page of the run: the ephemeris page or the elements page, drawn from
// the state after the last step, and OSCEL.DAT (key M of the elements page).
#include "run_state.h"

#include "fileio/atomic_file.h"
#include "tarvo/shell/elements_page.h"
#include "tarvo/shell/ephemeris_page.h"

#include <algorithm>
#include <cmath>

namespace tarvo::runloop {

using namespace console::Color;

namespace {

// The elements page: title, legend, date and column lines white and
// yellow, geocentric rows green, hidden bodies dim, the key menu below.
void drawElementsPage(const Run& r, const ElementsPage& page) {
    const std::vector<std::string> lines = elementsPageLines(page);
    console::setSize(kRunColumns, kPageRows);
    clearScreen();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        int color = k < 3 ? White : k == 3 ? Yellow : LightGrey;
        if (k > 3) {
            const ElementsPageBody& body = page.bodies[k - 4];
            color = !body.shown ? DarkGrey : body.row.geocentric ? LightGreen : LightGrey;
        }
        console::setColor(color, Black);
        console::printAt(static_cast<int>(k) + 1, 1, lines[k]);
    }
    for (const ElementMenuLine& line : elementMenuLines(hasMoon(r.s))) {
        console::setColor(line.key == ' ' ? White : LightCyan, Black);
        console::printAt(line.row, line.col, line.text);
    }
}

// Under adaptive control: "Adaptive Stepsize On" and a row of "*", one
// per halving of the nominal step during the last page interval.
void drawAdaptiveState(const Run& r, int row, int col) {
    const IntegrationState& st = r.s.integration;
    if (!st.adaptive) return;
    console::setColor(Yellow, Black);
    console::printAt(row, col, "Adaptive Stepsize On");
    const long double smallest = r.engine.smallestStep;
    if (!(smallest > 0) || !(smallest < st.nominalStep)) return;
    const long halvings = std::lround(std::log2(static_cast<double>(st.nominalStep / smallest)));
    const int room = kRunColumns - (col + 21);
    console::setColor(LightRed, Black);
    console::printAt(
        row, col + 21,
        std::string(static_cast<std::size_t>(std::clamp<long>(halvings, 0, room)), '*'));
}

} // namespace

void drawPage(Run& r) {
    const Session& s = r.s;
    const long double au = r.engine.model.coefficients.astronomicalUnit;
    const std::string jumpNote = std::move(r.jumpNote);
    r.jumpNote.clear();
    if (r.settings.elementsPage) {
        drawElementsPage(r, assembleElementsPage(s, r.settings, au));
        drawAdaptiveState(r, 26, 56);
        return;
    }
    const EphemerisPage page = assembleEphemerisPage(s, r.settings, au);
    std::vector<bool> shown(page.bodies.size(), true);
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = !s.bodies.isHidden(static_cast<int>(i));
    const std::vector<std::string> lines = ephemerisPageLines(page, shown);
    const std::size_t headerRows = page.settings.centre == CentreKind::Topocentric ? 3 : 2;
    console::setSize(kRunColumns, kPageRows);
    clearScreen();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        // Header and time line white, column headers yellow, the Sun yellow.
        const bool columns =
            k > headerRows && k <= headerRows + 2 && lines[k].rfind("Body", 0) == 0;
        const bool sun = lines[k].rfind(bodyName(s.bodies, 0), 0) == 0 && k > headerRows + 1;
        console::setColor(k <= headerRows ? White : (columns || sun) ? Yellow : LightGrey, Black);
        console::printAt(static_cast<int>(k) + 1, 1, lines[k]);
    }
    if (!jumpNote.empty()) {
        // The row under the time line.
        console::setColor(LightGreen, Black);
        console::printAt(static_cast<int>(headerRows) + 2, 2, jumpNote);
    }
    console::setColor(LightGreen, Black);
    console::printAt(kPageRows, 2, "Space: next step   Esc: key-action screen   Q: help");
    drawAdaptiveState(r, kPageRows, 58);
}

// Key M of the elements page: the page drawn once more and every body's
// row written to OSCEL.DAT (created anew).
void dumpElements(Run& r) {
    const ElementsPage page =
        assembleElementsPage(r.s, r.settings, r.engine.model.coefficients.astronomicalUnit);
    drawElementsPage(r, page);
    std::string message;
    if (!writeFileAtomically("OSCEL.DAT", oscelText(page), message)) showError(message);
}

} // namespace tarvo::runloop
