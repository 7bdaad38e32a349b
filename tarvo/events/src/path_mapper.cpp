// The closing question of the eclipse and occultation searches.
#include "tarvo/events/path_mapper.h"

#include "console/console.h"
#include "console/keys.h"

namespace tarvo {

std::optional<console::ProgramRun>
offerPathMapper(const std::function<console::ProgramRun()>& start) {
    using namespace console::Color;
    console::setColor(Yellow, Black);
    console::clearLine(24);
    console::printAt(24, 2, "Display Paths (Y or N) ?  ");
    console::setColor(White, Black);
    const int key = console::readKey().key;
    console::clearLine(24);
    std::optional<console::ProgramRun> run;
    if (key == 'y' || key == 'Y') run = start();
    console::ConsoleTitle("TARVO12.10");
    return run;
}

} // namespace tarvo
