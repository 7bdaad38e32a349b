// The orbit and sky graphics view behind the run loop's view interface.
#pragma once

#include "tarvo/views/graphics_view_settings.h"
#include "tarvo/views/run_view.h"
#include "view_drawing.h"
#include "view_scene.h"

#include <memory>

namespace tarvo {
// The entry of the view table (key W).
std::unique_ptr<RunView> openGraphicsView(RunContext& run);
} // namespace tarvo

namespace tarvo::views {

class GraphicsView : public RunView {
  public:
    explicit GraphicsView(RunContext& run);
    static std::unique_ptr<RunView> open(RunContext& run);
    void draw(const RunContext& run) override;
    ViewAnswer handleEvent(const console::Event& event, RunContext& run) override;
    void close() override;
    bool continuousMotion() const override;

  private:
    static bool& initialised();
    bool openWindow();
    bool readCanvasSize();
    void resetOrthographicField();
    void resetSkyField();
    void resetSkyDirection();
    void saveImage();
    void zoom(bool in);
    void searchObject();
    void redirect(const ViewVector& direction);
    void lookAtBody(bool on);
    void rotateFrame();
    void autoFrames();
    void spaceOverlap();
    void visibleField();
    void toggleFullScreen();
    void showHelp();

    GraphicsViewSettings& view_;
    Scene scene_;
    DrawMemory memory_;
    int width_ = 0, height_ = 0; // canvas pixels (GfxMetrics 2 and 7)
    bool reopen_ = false;        // after P, O, F, G
    bool clearOnce_ = true;
    bool toolbarWasShown_ = false;
    long stepCount_ = 0;
    long double lastEpoch_ = -1e30L;
    int lastSaveResult_ = 0;
};

} // namespace tarvo::views
