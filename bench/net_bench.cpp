// The joints window's net of 10,000 poles with a mode's critical zones:
// the figure built and painted into an image of the window's size, as the
// window does on every change.
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "bench/gui_application.h"

#include "analysis/joints/kinematics.h"
#include "analysis/orientation.h"
#include "drawing/joint_net.h"
#include "paint/figure_painter.h"

using namespace trelmox;

namespace {

// Argument: the mode (0..3).
void BM_JointNetWithZones(benchmark::State& state) {
    ensureGuiApplication();
    JointNetInput input;
    for (int i = 0; i < 10'000; ++i)
        input.Planes.push_back({{10 + (i * 37 % 800) / 10.0, (i * 7919 % 3600) / 10.0}, "", 1, i + 1});
    input.SlopeFace = TPlaneAttitude{65, 350};
    input.FrictionAngle = 30;
    input.Mode = KinematicModes[static_cast<std::size_t>(state.range(0))];
    input.Counts = kinematicAnalysis(input.Planes, {}, {{65, 350, 30, 20}}, 0, false).front();
    QImage image(900, 640, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const Figure figure = jointNetFigure(input);
        QPainter painter(&image);
        paint::paintFigure(painter, figure, QRectF(0, 0, 900, 640));
    }
}
BENCHMARK(BM_JointNetWithZones)->ArgName("mode")->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
