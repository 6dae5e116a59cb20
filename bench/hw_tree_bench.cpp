// HW_TreeBondOption on a 10-year bond: a 1-year option (European and
// American) by tree steps, for each volatility form. The normal tree reads
// closed-form node curves; the lognormal tree builds node yields, on the
// expiry level only for a European option and on every level up to the
// expiry for an American one.
#include <benchmark/benchmark.h>

#include "lorvex/lorvex.h"

namespace {

SAFEARRAY* SampleCurve() {
  const double rows[][2] = {{36526, 0.046}, {36526 + 365, 0.048}, {36526 + 730, 0.05},
                            {36526 + 1825, 0.053}, {36526 + 3650, 0.055}, {36526 + 10950, 0.056}};
  SAFEARRAYBOUND b[2] = {{6, 0}, {2, 0}};
  SAFEARRAY* psa = SafeArrayCreate(VT_R8, 2, b);
  for (LONG i = 0; i < 6; ++i) {
    for (LONG j = 0; j < 2; ++j) {
      LONG idx[2] = {i, j};
      double v = rows[i][j];
      SafeArrayPutElement(psa, idx, &v);
    }
  }
  return psa;
}

// range(0): steps; range(1): American flag; range(2): kind.
void BM_TreeBondOption10y(benchmark::State& state) {
  SAFEARRAY* curve = SampleCurve();
  const auto steps = static_cast<int32_t>(state.range(0));
  const auto american = static_cast<int32_t>(state.range(1));
  const auto kind = static_cast<int32_t>(state.range(2));
  const double sigma = kind == 0 ? 0.01 : 0.2;
  for (auto _ : state) {
    double value = 0.0;
    const int32_t status = HW_TreeBondOption(36526, 10.0, 0.055, 100.0, 2, 1.0, 100.0, 1, american, 0,
                                             &curve, sigma, 0.1, steps, kind, &value);
    if (status != 0) state.SkipWithError("tree build failed");
    benchmark::DoNotOptimize(value);
  }
  SafeArrayDestroy(curve);
}
BENCHMARK(BM_TreeBondOption10y)
    ->ArgNames({"steps", "american", "kind"})
    ->ArgsProduct({{50, 200, 1000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
