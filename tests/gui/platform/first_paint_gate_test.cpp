// Work deferred to the window's first paint: after the paint of a shown window, on the
// first turn of the event loop for a hidden one, at the bound for a window that never
// paints, and never once its context is gone.

#include "gui/platform/first_paint_gate.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace veltrix::platform::testing {
namespace {

// Notes the window's paints in the shared record.
class PaintRecorder : public QObject {
  public:
    explicit PaintRecorder(std::vector<std::string>& record) : record_(record) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            record_.push_back("paint");
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::vector<std::string>& record_;
};

struct Case {
    const char* name;
    bool shown;
    bool paints;          // updates enabled
    bool contextDropped;  // the context is deleted before the loop runs
    std::vector<std::string> expected;
};

TEST(FirstPaintGateTest, WorkRunsOnceAfterTheFirstPaintOrItsStandIn) {
    constexpr int kBoundMs = 100;
    const Case cases[] = {
        {"shown", true, true, false, {"paint", "work"}},
        {"hidden", false, true, false, {"work"}},
        {"shown, never painted", true, false, false, {"work"}},
        {"context gone", true, true, true, {"paint"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> record;
        QWidget window;
        window.resize(120, 80);
        PaintRecorder recorder(record);
        window.installEventFilter(&recorder);
        window.setUpdatesEnabled(c.paints);
        auto context = std::make_unique<QObject>();
        FirstPaintGate::Defer(
            window, *context, [&record] { record.push_back("work"); }, kBoundMs);
        EXPECT_TRUE(record.empty()) << "the work ran before the event loop";
        if (c.shown) {
            window.show();
        }
        if (c.contextDropped) {
            context.reset();
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 3 * kBoundMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_EQ(record, c.expected);
    }
}

}  // namespace
}  // namespace veltrix::platform::testing
