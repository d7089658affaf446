// What opening the window at a display scale costs beyond 100 %: the ten skin images of the shipped
// skin (with its "@2x" copies) and the three progress tiles stretched to the scale, and the static
// face painted at it. Decoding the files is left out: it is the same at every scale.
#include <benchmark/benchmark.h>

#include "ui/skin.h"
#include "ui/window_painting.h"

namespace {

const ui::SkinSource& Source() {
  static const ui::SkinSource source = ui::LoadSkinSource(u"" TORVIN_SOURCE_DIR "/skin");
  return source;
}

ui::DisplayScale ScaleOf(const benchmark::State& state) { return ui::DisplayScale{state.range(0) / 100.0}; }

void SkinAtScale(benchmark::State& state) {
  const ui::DisplayScale scale = ScaleOf(state);
  for (auto _ : state) benchmark::DoNotOptimize(ui::SkinAtScale(Source(), scale));
}
BENCHMARK(SkinAtScale)->Arg(100)->Arg(125)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

void BarFramesAtScale(benchmark::State& state) {
  const ui::BarFrames frames = ui::LoadBarFrames();
  const ui::DisplayScale scale = ScaleOf(state);
  for (auto _ : state) benchmark::DoNotOptimize(ui::BarFramesAtScale(frames, scale));
}
BENCHMARK(BarFramesAtScale)->Arg(125)->Arg(200)->Unit(benchmark::kMicrosecond);

void StaticFaceAtScale(benchmark::State& state) {
  const ui::DisplayScale scale = ScaleOf(state);
  const ui::SkinImages skin = ui::SkinAtScale(Source(), scale);
  const ui::BarFrames frames = ui::BarFramesAtScale(ui::LoadBarFrames(), scale);
  ui::FaceState face;
  face.skin = &skin;
  face.barFrames = &frames;
  face.scale = scale;
  face.window = scale.Of(Source().images.background.Extent());
  face.layout = ui::ComputeLayout(Source().images.background.Extent(), ui::LoadBarFrames()[0],
                                  Source().images.statusBack, scale);
  face.productName = u"Plantyx Setup";
  for (auto _ : state) benchmark::DoNotOptimize(ui::PaintStaticFace(face));
}
BENCHMARK(StaticFaceAtScale)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
