// Key W: a view replaces the page until it is closed.
#include "run_state.h"

namespace tarvo::runloop {

RunCommand openView(Run& r, const ViewOpening& opening) {
    RunContext context = runContext(r);
    std::unique_ptr<RunView> view = opening.open(context);
    if (!view) return RunCommand::none;
    if (r.view) r.view->close();
    r.view = std::move(view);
    return RunCommand::page;
}

} // namespace tarvo::runloop
