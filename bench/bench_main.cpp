#include <benchmark/benchmark.h>

#include <string_view>

#include "callgrind_count.h"

// Google Benchmark's own main, except that the executable also serves as the child that
// callgrind counts: given kCountInstructions and a folder it does that and nothing else.
int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == quarn::bench::kCountInstructions)
    return quarn::bench::CountRunAndFloorInstructions(argv[2]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
