// HW_TreeBondOption on a 10-year 5.5 % semiannual bond, flat 5 % curve,
// a = 0.1, call struck at 100: options expiring in 1 and 5 years (European
// and American) by tree steps, for each volatility form, and a short
// option on a fine lognormal-shape tree. Besides the time per call, ns/node
// is the time per node of the lattice up to the expiry (where the pricer
// works), which makes trees of different sizes comparable.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"
#include "treepricing/bond_tree_setup.h"

namespace {

constexpr int32_t kSerial = 36526;

SAFEARRAY* FlatCurve() {
  SAFEARRAYBOUND b[2] = {{1, 0}, {2, 0}};
  SAFEARRAY* psa = SafeArrayCreate(VT_R8, 2, b);
  const double row[2] = {kSerial, 0.05};
  for (LONG j = 0; j < 2; ++j) {
    LONG idx[2] = {0, j};
    double v = row[j];
    SafeArrayPutElement(psa, idx, &v);
  }
  return psa;
}

// Nodes on the levels 0 .. expiry of the tree the export builds.
double NodesToExpiry(double expiryYears, int steps, bool american, int kind) {
  lorvex::ZeroCurve curve;
  curve.Insert(kSerial + 2415019, 0.05);
  lorvex::BondTreeTerms terms;
  terms.valuation = kSerial + 2415019;
  terms.maturity = terms.valuation + 3652;
  terms.accrualStart = terms.maturity - 10 * 365 - 3;  // only the dates matter here
  terms.couponRate = 0.055;
  terms.couponsPerYear = 2;
  terms.expiry = terms.valuation + static_cast<int>(expiryYears * 365.0 + 0.5);
  terms.strike = 100.0;
  terms.isAmerican = american;
  terms.sigma = kind == 0 ? 0.01 : 0.2;
  terms.meanReversion = 0.1;
  terms.stepCount = steps;
  terms.kind = kind;
  lorvex::BondTreeSetup setup(terms, curve);
  lorvex::HullWhiteTree tree(setup.Args());
  double nodes = 0.0;
  for (int i = 0; i <= tree.expiryLevel(); ++i) nodes += tree.LevelNodeCount(i);
  return nodes;
}

void Run(benchmark::State& state, double expiryYears, int32_t steps, int32_t american, int32_t kind) {
  SAFEARRAY* curve = FlatCurve();
  const double sigma = kind == 0 ? 0.01 : 0.2;
  for (auto _ : state) {
    double value = 0.0;
    const int32_t status = HW_TreeBondOption(kSerial, 10.0, 0.055, 100.0, 2, expiryYears, 100.0, 1, american, 0,
                                             &curve, sigma, 0.1, steps, kind, &value);
    if (status != 0) state.SkipWithError("tree build failed");
    benchmark::DoNotOptimize(value);
  }
  SafeArrayDestroy(curve);
  const double nodes = NodesToExpiry(expiryYears, steps, american == 1, kind);
  state.counters["nodes"] = nodes;
  state.counters["ns/node"] =
      benchmark::Counter(nodes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// range(0): expiry in years; range(1): steps; range(2): American flag; range(3): kind.
void BM_TreeBondOption10y(benchmark::State& state) {
  Run(state, static_cast<double>(state.range(0)), static_cast<int32_t>(state.range(1)),
      static_cast<int32_t>(state.range(2)), static_cast<int32_t>(state.range(3)));
}
BENCHMARK(BM_TreeBondOption10y)
    ->ArgNames({"expiry", "steps", "american", "kind"})
    ->ArgsProduct({{1, 5}, {200, 1000}, {0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// A 0.33-year option on 5,000 steps of the shape kind: 2.4-day steps with
// many curve dates inside the lattice.
void BM_TreeBondOptionShort5000(benchmark::State& state) {
  Run(state, 0.33, 5000, static_cast<int32_t>(state.range(0)), 2);
}
BENCHMARK(BM_TreeBondOptionShort5000)->ArgNames({"american"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
