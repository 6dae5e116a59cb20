// An American put on the binomial tree through HW_TreeEquityOpt, by number
// of steps: the work grows as N^2, the memory as N (one row of values and
// the table of u^j). Run one size at a time under /usr/bin/time -v to see
// the peak memory, e.g.
//   equity_tree_bench --benchmark_filter='/50000$'
#include <benchmark/benchmark.h>

#include "lorvex/lorvex.h"

namespace {

void BM_AmericanPutBySteps(benchmark::State& state) {
  SAFEARRAYBOUND b[2] = {{2, 0}, {2, 0}};
  SAFEARRAY* dividends = SafeArrayCreate(VT_R8, 2, b);
  const double rows[2][2] = {{0.25, 1.0}, {0.75, 1.0}};
  for (LONG i = 0; i < 2; ++i) {
    for (LONG j = 0; j < 2; ++j) {
      LONG index[2] = {i, j};
      double v = rows[i][j];
      SafeArrayPutElement(dividends, index, &v);
    }
  }
  const auto steps = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    double price = 0, delta = 0, gamma = 0, theta = 0;
    const int32_t status = HW_TreeEquityOpt(100, 100, 0.05, 1, 0, &dividends, 0.2, steps, 1, 0, 1, &price,
                                            &delta, &gamma, &theta);
    if (status != 0) state.SkipWithError("pricing failed");
    benchmark::DoNotOptimize(price);
  }
  state.counters["nodes/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * (steps + 1.0) * (steps + 2.0) / 2, benchmark::Counter::kIsRate);
  SafeArrayDestroy(dividends);
}
BENCHMARK(BM_AmericanPutBySteps)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
