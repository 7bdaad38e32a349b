// File output of the run: the records of each step in OUTPUT.LOG and the
// .OUT file of every body chosen in the file-output dialog.
#include "run_state.h"

#include "tarvo/shell/elements_page.h"
#include "tarvo/shell/ephemeris_page.h"

namespace tarvo::runloop {

std::vector<std::string> bodyNames(const Session& s) {
    std::vector<std::string> names;
    for (int i = 0; i <= s.bodies.layout.bodyCount; ++i) names.push_back(bodyName(s.bodies, i));
    return names;
}

// Appends this step's records: OUTPUT.LOG (angular quantities) and one
// ".OUT" file per selected body; the page's centre has nothing to record.
void writeRecords(Run& r) {
    const Session& s = r.s;
    const long double au = r.engine.model.coefficients.astronomicalUnit;
    const RecordTimeUnit unit = recordTimeUnit(r.output.time);
    std::string message;
    bool ok = true;
    std::vector<std::string> log;
    if (r.settings.elementsPage) {
        // The elements page writes element records to the files of the shown bodies.
        const ElementsPage elements = assembleElementsPage(s, r.settings, au);
        for (const ElementsPageBody& body : elements.bodies) {
            const auto k = static_cast<std::size_t>(body.index);
            if (!body.shown || k >= r.output.fileNames.size() || r.output.fileNames[k].empty())
                continue;
            ok = ok && appendLines(r.output.fileNames[k],
                                   elementFileLines(elements, body, unit, !r.output.openingWritten),
                                   message);
        }
    } else {
        const EphemerisPage page = assembleEphemerisPage(s, r.settings, au);
        if (!r.output.openingWritten) log = outputLogOpening(page);
        const std::string header = bodyFileHeader(page, unit);
        for (const PageBody& body : page.bodies) {
            const auto i = static_cast<std::size_t>(body.index);
            if (body.centre || i >= r.output.fileNames.size() || r.output.fileNames[i].empty())
                continue;
            std::vector<std::string> lines;
            if (!r.output.openingWritten && !header.empty()) lines.push_back(header);
            lines.push_back(bodyRecord(page, body, unit));
            ok = ok && appendLines(r.output.fileNames[i], lines, message);
            if (!page.settings.orthogonal)
                log.push_back(pageRecordTime(page, unit) + bodyRows(page, body).front());
        }
    }
    if (!log.empty()) ok = ok && appendLines("OUTPUT.LOG", log, message);
    r.output.openingWritten = true;
    if (!ok) {
        showError(message);
        r.output.active = false;
    }
    if (--r.output.recordsLeft <= 0) r.output.active = false;
}

} // namespace tarvo::runloop
