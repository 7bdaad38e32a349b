// The interface every view of a run stands behind (the orbit and sky
// graphics view, the world map): a view replaces the ephemeris page while
// it is open.
//
// Call order in the step loop, while a view is open:
//   1. the run integrates one page interval (the event searches and the
//      collision trap see its steps through their own interface);
//   2. draw() shows the state after it;
//   3. the run loop reads one key or click and hands it to handleEvent();
//      the answer says what the loop does next (a key the view does not
//      use goes to the run loop's own actions).
// close() is called when the view answers closeView or the run ends.
// A view in continuous motion (continuousMotion()) is not waited for: the
// loop steps on until a key is waiting.
#pragma once

#include "console/console.h"
#include "tarvo/reductions/run_context.h"

#include <memory>
#include <span>

namespace tarvo {

enum class ViewAnswer {
    handled,   // the key was the view's; draw again, no step
    nextStep,  // integrate the next page interval, then draw
    closeView, // back to the ephemeris page
    endRun,    // Esc: the key-action screen of the run
    notMine,   // the run loop's own action for the key
};

class RunView {
  public:
    virtual ~RunView() = default;
    virtual void draw(const RunContext& run) = 0;
    virtual ViewAnswer handleEvent(const console::Event& event, RunContext& run) = 0;
    virtual void close() {}
    // While true the run does not wait for a key after draw(): it takes one
    // only when one is waiting and otherwise steps on (continuous motion).
    virtual bool continuousMotion() const { return false; }
};

// A view the run loop can open from a key of the key-action screen.
struct ViewOpening {
    char key;                                          // 'W'
    const char* label;                                 // what it opens, for messages
    std::unique_ptr<RunView> (*open)(RunContext& run); // nullptr when it cannot open
};

std::span<const ViewOpening> viewOpenings();
const ViewOpening* viewOpeningFor(char key);

} // namespace tarvo
