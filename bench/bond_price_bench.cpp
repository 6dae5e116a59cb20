// The clean price of one coupon bond on a zero curve, per call, through the
// C++ API (lorvex::bond_price): the cost the Python package's vectorised
// bond_price pays per element, and the export HW_BondPrice besides the
// reading of its curve array.
//
//   BM_BondPrice/2, /30       one semi-annual bond of 2 or 30 years, priced
//                             again and again;
//   BM_BondPriceMix/2, /30    maturities 0.5 to 2 (or 30) years and coupons
//                             1 % to 8 % cycled over 1,000 bonds, the mixes
//                             of bench/python_bench.py;
//   BM_BondPricerMix/2, /30   the same mixes through one lorvex::BondPricer,
//                             whose payment days' discount factors are all
//                             remembered after the first pass over the mix;
//   BM_ExpFloor/N             N calls of std::exp alone, the floor of a bond
//                             of N - 1 coupons (one exp per flow, plus none
//                             for the valuation date).
//
// The curve is python_bench's: four points from 2000 to 2030.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "lorvex/lorvex.hpp"

namespace {

const lorvex::Curve& BenchCurve() {
  static const lorvex::Curve curve({36526, 37622, 40179, 47484}, {0.045, 0.05, 0.055, 0.06});
  return curve;
}

void BM_BondPrice(benchmark::State& state) {
  const lorvex::Curve& curve = BenchCurve();
  lorvex::BondPriceArgs args{.valuation = 36526,
                             .maturity = static_cast<double>(state.range(0)),
                             .coupon = 0.05,
                             .face = 100.0,
                             .frequency = 2};
  for (auto _ : state) {
    benchmark::DoNotOptimize(args);
    const double price = lorvex::bond_price(args, curve);
    benchmark::DoNotOptimize(price);
  }
}
BENCHMARK(BM_BondPrice)->Arg(2)->Arg(30);

std::vector<lorvex::BondPriceArgs> Mix(double longest) {
  constexpr int kBonds = 1000;
  std::vector<lorvex::BondPriceArgs> bonds;
  for (int i = 0; i < kBonds; ++i) {
    const double x = static_cast<double>(i) / (kBonds - 1);
    bonds.push_back({.valuation = 36526,
                     .maturity = 0.5 + (longest - 0.5) * x,
                     .coupon = 0.01 + 0.07 * x,
                     .face = 100.0,
                     .frequency = 2});
  }
  return bonds;
}

void BM_BondPriceMix(benchmark::State& state) {
  const lorvex::Curve& curve = BenchCurve();
  const std::vector<lorvex::BondPriceArgs> bonds = Mix(static_cast<double>(state.range(0)));
  std::size_t i = 0;
  for (auto _ : state) {
    const double price = lorvex::bond_price(bonds[i], curve);
    benchmark::DoNotOptimize(price);
    if (++i == bonds.size()) i = 0;
  }
}
BENCHMARK(BM_BondPriceMix)->Arg(2)->Arg(30);

void BM_BondPricerMix(benchmark::State& state) {
  lorvex::BondPricer price(BenchCurve(), 36526);
  const std::vector<lorvex::BondPriceArgs> bonds = Mix(static_cast<double>(state.range(0)));
  std::size_t i = 0;
  for (auto _ : state) {
    const double value = price(bonds[i]);
    benchmark::DoNotOptimize(value);
    if (++i == bonds.size()) i = 0;
  }
}
BENCHMARK(BM_BondPricerMix)->Arg(2)->Arg(30);

void BM_ExpFloor(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  double x = -0.01;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    double sum = 0.0;
    for (int k = 1; k <= n; ++k) sum += std::exp(x * k);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ExpFloor)->Arg(5)->Arg(61);

}  // namespace

BENCHMARK_MAIN();
