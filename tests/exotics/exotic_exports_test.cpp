// The boundary rules of the exotic exports, argument by argument.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <type_traits>
#include <vector>

#include "boundary/export_list.h"
#include "lorvex/lorvex.h"

namespace {

// Bytes an argument takes on the 32-bit __stdcall stack: doubles 8, ints
// and pointers 4.
template <class T>
constexpr int StackBytes() {
  return std::is_same_v<T, double> ? 8 : 4;
}
template <class R, class... Args>
constexpr int ArgumentBytes(R (*)(Args...)) {
  return (0 + ... + StackBytes<Args>());
}

TEST(ExoticExports, ArgumentBytesMatchTheExportList) {
#define LORVEX_CHECK_BYTES(name, ordinal, bytes) \
  EXPECT_EQ(ArgumentBytes(&::name), bytes) << #name;
  LORVEX_EXOTIC_EXPORTS(LORVEX_CHECK_BYTES)
#undef LORVEX_CHECK_BYTES
}

struct Export {
  const char* name;
  std::vector<double> arguments;  // the double arguments, in order; valid as given
  std::vector<int> prices;        // positions of prices that must not be negative
  int sigma;                      // position of the volatility
  std::function<std::int32_t(const std::vector<double>&, double*)> call;
};

std::vector<Export> Exports() {
  using V = const std::vector<double>&;
  return {
      {"HW_barrier_compute", {100, 90, 0.08, 0.5, 0.04, 95, 0.25}, {0, 1, 5}, 6,
       [](V a, double* r) { return HW_barrier_compute(a[0], a[1], a[2], a[3], a[4], a[5], a[6], 8, 1, r); }},
      {"HW_compound_compute", {500, 50, 520, 0.08, 0.03, 0.35, 0.25, 0.5}, {0, 1, 2}, 5,
       [](V a, double* r) {
         return HW_compound_compute(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], 12, 1, r);
       }},
      {"HW_lookback_compute (call)", {120, 0.1, 0.04, 0.3, 0.5, 150, 100}, {0, 6}, 3,
       [](V a, double* r) { return HW_lookback_compute(a[0], a[1], a[2], a[3], a[4], a[5], a[6], 1, r); }},
      {"HW_lookback_compute (put)", {120, 0.1, 0.04, 0.3, 0.5, 150, 100}, {0, 5}, 3,
       [](V a, double* r) { return HW_lookback_compute(a[0], a[1], a[2], a[3], a[4], a[5], a[6], 0, r); }},
      {"HW_avgopt_compute", {100, 100, 0.05, 0.0, 0.2, 1.0, 98, 0.5}, {0, 1, 6}, 4,
       [](V a, double* r) {
         return HW_avgopt_compute(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], 1, r);
       }},
      {"HW_chooser_compute", {50, 50, 0.08, 0.0, 0.25, 0.5, 0.25}, {0, 1}, 4,
       [](V a, double* r) { return HW_chooser_compute(a[0], a[1], a[2], a[3], a[4], a[5], a[6], r); }},
      {"HW_binary_compute", {100, 100, 0.05, 0.0, 0.2, 1.0, 10}, {0, 1}, 4,
       [](V a, double* r) { return HW_binary_compute(a[0], a[1], a[2], a[3], a[4], a[5], a[6], 9, 1, r); }},
  };
}

// Every export prices its valid arguments; any one of them NaN or infinite,
// a negative price or a negative volatility is refused with NaN and -9; a
// null result pointer is refused without writing.
TEST(ExoticExports, RefusedArgumentsWriteNaNAndReturnMinus9) {
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()};
  for (const Export& e : Exports()) {
    double value = std::nan("");
    ASSERT_EQ(e.call(e.arguments, &value), LORVEX_OK) << e.name;
    ASSERT_TRUE(std::isfinite(value)) << e.name;
    EXPECT_EQ(e.call(e.arguments, nullptr), LORVEX_BAD_ARGUMENT) << e.name;
    for (std::size_t i = 0; i < e.arguments.size(); ++i) {
      for (double b : bad) {
        std::vector<double> args = e.arguments;
        args[i] = b;
        double out = 1.0;
        EXPECT_EQ(e.call(args, &out), LORVEX_BAD_ARGUMENT) << e.name << " argument " << i << " = " << b;
        EXPECT_TRUE(std::isnan(out)) << e.name << " argument " << i;
      }
    }
    for (int i : e.prices) {
      std::vector<double> args = e.arguments;
      args[static_cast<std::size_t>(i)] = -args[static_cast<std::size_t>(i)];
      double out = 1.0;
      EXPECT_EQ(e.call(args, &out), LORVEX_BAD_ARGUMENT) << e.name << " negative argument " << i;
      EXPECT_TRUE(std::isnan(out));
    }
    std::vector<double> args = e.arguments;
    args[static_cast<std::size_t>(e.sigma)] = -args[static_cast<std::size_t>(e.sigma)];
    double out = 1.0;
    EXPECT_EQ(e.call(args, &out), LORVEX_BAD_ARGUMENT) << e.name << " negative volatility";
    EXPECT_TRUE(std::isnan(out));
  }
}

// Barrier codes 5 to 8 only.
TEST(ExoticExports, BarrierCodesOutsideFiveToEightAreRefused) {
  for (int type = -2; type <= 14; ++type) {
    double out = 1.0;
    const std::int32_t status = HW_barrier_compute(100, 90, 0.08, 0.5, 0.04, 95, 0.25, type, 1, &out);
    if (type >= LORVEX_UP_AND_IN && type <= LORVEX_DOWN_AND_OUT) {
      EXPECT_EQ(status, LORVEX_OK) << type;
      EXPECT_TRUE(std::isfinite(out)) << type;
    } else {
      EXPECT_EQ(status, LORVEX_BAD_ARGUMENT) << type;
      EXPECT_TRUE(std::isnan(out)) << type;
    }
  }
}

// The unused extreme of a lookback is not a price the formula sees: 0 or
// any value is accepted there.
TEST(ExoticExports, LookbackIgnoresTheOtherSidesExtreme) {
  double call = 0, put = 0;
  EXPECT_EQ(HW_lookback_compute(120, 0.1, 0.04, 0.3, 0.5, -1, 100, 1, &call), LORVEX_OK);
  EXPECT_EQ(HW_lookback_compute(120, 0.1, 0.04, 0.3, 0.5, 150, -1, 0, &put), LORVEX_OK);
  EXPECT_NEAR(call, 26.28414, 5e-6);
  EXPECT_NEAR(put, 30.37400, 5e-6);
}

}  // namespace
