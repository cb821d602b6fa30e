// The controller picture: drawing one diagram into the 188 x 171 picture, and
// repainting the window's picture widget, at scale 1 and 2. Both run on every
// selection change and every refresh.
//
//   build/release/bench/diagram_bench --benchmark_repetitions=9

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>

#include "gui/diagram/diagram_area.h"
#include "gui/diagram/diagram_painter.h"

namespace veltrix::bench {
namespace {

// The most to draw: four drives with their cables, all four members of a set.
DiagramState WorstSetView(std::uint8_t raidType) {
    DiagramState state;
    state.modelCode = 41;
    state.portsA = {1, 1, 1, 1};
    state.portsB = {1, 1, 1, 1};
    state.selectionKind = 8;
    state.raidType = raidType;
    return state;
}

void BenchDrawDiagram(benchmark::State& state) {
    const DiagramState record = WorstSetView(static_cast<std::uint8_t>(state.range(0)));
    QImage picture = DiagramPainter::NewPicture();
    for (auto _ : state) {
        DiagramPainter::DrawDiagram(record, picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
// Mirror-Stripe, Stripe (with the junction dot), JBOD of four.
BENCHMARK(BenchDrawDiagram)
    ->Name("BM_DrawDiagram")
    ->Arg(2)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond);

// The widget's paint of a drawn picture, into a device of `scale` pixels per point.
void BenchPaintPicture(benchmark::State& state) {
    const auto scale = static_cast<qreal>(state.range(0));
    DiagramArea area;
    PictureDiagramView view(&area);
    view.Draw(WorstSetView(2));
    QPixmap device(area.size() * scale);
    device.setDevicePixelRatio(scale);
    for (auto _ : state) {
        area.render(&device);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BenchPaintPicture)
    ->Name("BM_PaintPicture")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

// Draw and repaint on screen, as the window does for a new selection.
void BenchDrawAndRepaintShown(benchmark::State& state) {
    DiagramArea area;
    PictureDiagramView view(&area);
    area.show();
    const DiagramState records[] = {WorstSetView(2), WorstSetView(4)};
    std::size_t i = 0;
    for (auto _ : state) {
        view.Draw(records[i++ % 2]);
        area.repaint();
    }
}
BENCHMARK(BenchDrawAndRepaintShown)->Name("BM_DrawAndRepaintShown")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace veltrix::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
