// What the exports' adapters over the C++ API cost: a closed-form export
// (HW_barrier_compute, no curve; HW_BlackBondOption, a 10-point curve)
// timed against the same calculation called through lorvex.hpp, and against
// the exports of any other builds of liblorvex named on the command line,
// all in one run:
//   export_overhead_bench [--benchmark_repetitions=5] [OTHER/liblorvex.so ...]
// Each library is loaded privately (dlopen), so builds with the same export
// names sit side by side.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lorvex/lorvex.h"
#include "lorvex/lorvex.hpp"

namespace {

struct Exports {
  decltype(&HW_barrier_compute) barrier;
  decltype(&HW_BlackBondOption) blackBondOption;
  decltype(&SafeArrayCreate) create;
  decltype(&SafeArrayPutElement) put;
  decltype(&SafeArrayDestroy) destroy;
};

const std::vector<double> kDates = {36526 + 91, 36526 + 182, 36526 + 365, 36526 + 730, 36526 + 1095,
                                    36526 + 1825, 36526 + 2555, 36526 + 3650, 36526 + 7300, 36526 + 10950};
const std::vector<double> kRates = {0.046, 0.047, 0.048, 0.050, 0.051, 0.053, 0.054, 0.055, 0.056, 0.056};

void BarrierExport(benchmark::State& state, Exports e) {
  double spot = 100.0;
  for (auto _ : state) {
    double value = 0.0;
    e.barrier(spot, 90, 0.08, 0.5, 0.04, 95, 0.25, LORVEX_DOWN_AND_OUT, 1, &value);
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(spot);
  }
}

void BlackBondOptionExport(benchmark::State& state, Exports e) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(kDates.size()), 0}, {2, 0}};
  SAFEARRAY* curve = e.create(VT_R8, 2, bounds);
  for (std::size_t i = 0; i < kDates.size(); ++i) {
    double cells[2] = {kDates[i], kRates[i]};
    for (LONG j = 0; j < 2; ++j) {
      LONG index[2] = {static_cast<LONG>(i), j};
      e.put(curve, index, &cells[j]);
    }
  }
  for (auto _ : state) {
    double value = 0.0;
    e.blackBondOption(36526, 5, 0.06, 100, 2, 1, 100, 0.1, 1, 1, &curve, &value);
    benchmark::DoNotOptimize(value);
  }
  e.destroy(curve);
}

void BarrierApi(benchmark::State& state) {
  lorvex::BarrierArgs args{.spot = 100, .strike = 90, .rate = 0.08, .expiry = 0.5, .dividend_yield = 0.04,
                           .barrier = 95, .volatility = 0.25};
  for (auto _ : state) {
    benchmark::DoNotOptimize(args.spot);
    benchmark::DoNotOptimize(lorvex::barrier(args));
  }
}

// The API takes a curve already built; the export reads its array on every
// call, as a spreadsheet passes it.
void BlackBondOptionApi(benchmark::State& state) {
  const lorvex::Curve curve(kDates, kRates);
  const lorvex::BlackBondOptionArgs args{.valuation = 36526, .maturity = 5, .coupon = 0.06, .expiry = 1,
                                         .strike = 100, .volatility = 0.1};
  for (auto _ : state) benchmark::DoNotOptimize(lorvex::black_bond_option(args, curve));
}

void Register(const std::string& label, const Exports& e) {
  benchmark::RegisterBenchmark(("HW_barrier_compute/" + label).c_str(), BarrierExport, e);
  benchmark::RegisterBenchmark(("HW_BlackBondOption/" + label).c_str(), BlackBondOptionExport, e);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register("this", {&HW_barrier_compute, &HW_BlackBondOption, &SafeArrayCreate, &SafeArrayPutElement,
                    &SafeArrayDestroy});
  for (int i = 1; i < argc; ++i) {
    void* library = dlopen(argv[i], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      std::fprintf(stderr, "%s\n", dlerror());
      return 1;
    }
    Register(argv[i], {reinterpret_cast<decltype(&HW_barrier_compute)>(dlsym(library, "HW_barrier_compute")),
                       reinterpret_cast<decltype(&HW_BlackBondOption)>(dlsym(library, "HW_BlackBondOption")),
                       reinterpret_cast<decltype(&SafeArrayCreate)>(dlsym(library, "SafeArrayCreate")),
                       reinterpret_cast<decltype(&SafeArrayPutElement)>(dlsym(library, "SafeArrayPutElement")),
                       reinterpret_cast<decltype(&SafeArrayDestroy)>(dlsym(library, "SafeArrayDestroy"))});
  }
  benchmark::RegisterBenchmark("barrier/lorvex.hpp", BarrierApi);
  benchmark::RegisterBenchmark("black_bond_option/lorvex.hpp", BlackBondOptionApi);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
