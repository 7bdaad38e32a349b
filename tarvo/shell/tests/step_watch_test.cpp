// The run's step watch: a search that changes the table (the collision
// trap) sees each step after the others, whatever order they were started
// in, so that no search gets the states of a step numbered after bodies
// were removed from it.
#include "run_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tarvo;

class Recorder : public EventSearch {
  public:
    Recorder(std::string name, bool changes, std::vector<std::string>& calls, BodyTable& table)
        : name_(std::move(name)), changes_(changes), calls_(calls), table_(table) {}
    std::string title() const override { return name_; }
    bool begin(RunContext&, std::string&) override { return true; }
    StepOutcome afterStep(const StepEnds& step, RunContext&) override {
        calls_.push_back(name_ + " sees " + std::to_string(table_.layout.bodyCount) +
                         " bodies, step holds " + std::to_string(step.start->x.size()));
        if (!changes_) return StepOutcome::carryOn;
        removeBody(table_, table_.layout.bodyCount);
        return StepOutcome::tableChanged;
    }
    SearchSummary finish(RunContext&) override { return {}; }
    bool changesTheTable() const override { return changes_; }

  private:
    std::string name_;
    bool changes_;
    std::vector<std::string>& calls_;
    BodyTable& table_;
};

TEST(StepWatch, TheSearchThatRemovesBodiesSeesTheStepLast) {
    Session session;
    ASSERT_TRUE(createBodyTable(minimumMaxBodies, session.bodies).ok);
    BodyTable& t = session.bodies;
    const DataSetLayoutResult layout = dataSetLayout(3, t.maxBodies);
    ASSERT_TRUE(layout.ok);
    t.layout = layout.layout;
    for (int i = 0; i <= t.layout.bodyCount; ++i) t.mass[i] = 1.0L;
    const int bodies = t.layout.bodyCount;

    TableStates states;
    states.resize(static_cast<std::size_t>(bodies) + 1);
    StepEnds step;
    step.bodyCount = bodies;
    step.start = step.end = &states;
    FrameState frame;
    ForceCoefficients force;
    PrecessionTable precession;
    DataDirectories dirs;
    RunContext context(t, session.integration, frame, force, precession, dirs);

    std::vector<std::string> calls;
    Recorder trap("trap", true, calls, t), search("search", false, calls, t);
    runloop::StepWatch watch(session);
    watch.context = &context;
    watch.searches = {&trap, &search}; // the trap is started first
    watch.afterAcceptedStep(step);

    const std::string whole = std::to_string(bodies + 1);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "search sees " + std::to_string(bodies) + " bodies, step holds " + whole);
    EXPECT_EQ(calls[1], "trap sees " + std::to_string(bodies) + " bodies, step holds " + whole);
    EXPECT_EQ(t.layout.bodyCount, bodies - 1);
    EXPECT_FALSE(watch.stopRequested);
}

} // namespace
