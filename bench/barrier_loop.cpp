// The C++ side of bench/python_bench.py: the same barrier prices as the
// Python benchmark, one lorvex::barrier call per element in a plain loop,
// timed with a steady clock. Prints "seconds checksum".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "lorvex/lorvex.hpp"

int main(int argc, char** argv) {
  const std::size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  std::vector<double> spot(n), out(n);
  // Spots evenly from 50 to 150, as numpy.linspace(50, 150, n).
  for (std::size_t i = 0; i < n; ++i) {
    spot[i] = n > 1 ? 50.0 + 100.0 * static_cast<double>(i) / static_cast<double>(n - 1) : 50.0;
  }
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < n; ++i) {
    out[i] = lorvex::barrier({.spot = spot[i], .strike = 100, .rate = 0.05, .expiry = 1, .dividend_yield = 0.02,
                              .barrier = 120, .volatility = 0.25, .barrier_type = lorvex::BarrierType::UpOut,
                              .option = lorvex::OptionType::Call});
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double sum = 0;
  for (double v : out) sum += v;
  std::printf("%.6f %.17g\n", seconds, sum);
  return 0;
}
