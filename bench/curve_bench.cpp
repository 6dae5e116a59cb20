// Reading a curve array and pricing a bond on it: the cost every
// interest-rate export pays on entry, by curve size.
#include <benchmark/benchmark.h>

#include <vector>

#include "lorvex/lorvex.h"

namespace {

SAFEARRAY* MakeCurve(int rows) {
  SAFEARRAYBOUND b[2] = {{static_cast<ULONG>(rows), 0}, {2, 0}};
  SAFEARRAY* psa = SafeArrayCreate(VT_R8, 2, b);
  // Latest date first: the worst order for a curve kept sorted on insertion.
  for (int i = 0; i < rows; ++i) {
    LONG idx[2] = {i, 0};
    double x = 36526.0 + 30.0 * (rows - i);
    double y = 0.03 + 1e-5 * i;
    SafeArrayPutElement(psa, idx, &x);
    idx[1] = 1;
    SafeArrayPutElement(psa, idx, &y);
  }
  return psa;
}

void BM_BondPriceByCurveSize(benchmark::State& state) {
  SAFEARRAY* curve = MakeCurve(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    double price = 0;
    HW_BondPrice(36526, 10.0, 0.05, 100, 2, &curve, &price);
    benchmark::DoNotOptimize(price);
  }
  state.SetComplexityN(state.range(0));
  SafeArrayDestroy(curve);
}
BENCHMARK(BM_BondPriceByCurveSize)->RangeMultiplier(10)->Range(10, 100000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
