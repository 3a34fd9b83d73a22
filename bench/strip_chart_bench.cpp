#include <benchmark/benchmark.h>

#include <vector>

#include "bench_app.h"
#include "common/scripted_prompt.h"
#include "model/program_state.h"
#include "platform/strip_chart.h"
#include "ui/results/run_graph.h"

// The progress chart of a long run: 13 rooms and outdoors, 8 pollutants, 300 records with a
// redraw after each. This took more than a minute when every point was laid out again on each
// addition; it must stay at a few seconds at most.
namespace {

void BM_LongRunChart(benchmark::State& state) {
  quarn::bench::App();
  for (auto _ : state) {
    quarn::ProgramState program;
    quarn::testing::ScriptedPrompt prompt;
    quarn::RunGraph graph(program, prompt);
    quarn::RunStartInfo info;
    info.end_time = 8760;
    info.max_concentration = 20;
    info.num_rooms = 13;
    info.num_pollutants = 8;
    graph.RunStarted(info);
    const std::vector<float> conc(14 * 8, 5.0f);
    for (int k = 0; k < 300; ++k) {
      quarn::RunRecordInfo r;
      r.time = 2.0f * static_cast<float>(k);
      r.concentrations = conc;
      graph.RecordWritten(r);
      graph.StepDone(r.time);
    }
    benchmark::DoNotOptimize(graph.Chart().PointCount());
  }
}
BENCHMARK(BM_LongRunChart)->Unit(benchmark::kMillisecond);

}  // namespace
