#include "boundary/export_guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace lorvex {
namespace {

// Whatever happens inside, only a status leaves an export, and a failed
// interest-rate call leaves 0 in its result.
TEST(ExportGuard, ExceptionsBecomeStatusesAndTheResultIsZero) {
  double result = 5.0;
  EXPECT_EQ(RunRateExport(&result, []() -> std::int32_t { throw std::bad_alloc(); }), -1);
  EXPECT_EQ(result, 0.0);
  result = 5.0;
  EXPECT_EQ(RunRateExport(&result, [&]() -> std::int32_t {
              result = 3.0;
              throw std::runtime_error("half-written");
            }),
            -1);
  EXPECT_EQ(result, 0.0);
  EXPECT_EQ(RunRateExport(nullptr, []() -> std::int32_t { return 0; }), LORVEX_BAD_ARGUMENT);
  EXPECT_EQ(RunExport([]() -> std::int32_t { throw 42; }), -1);
}

TEST(ExportGuard, ResultIsZeroedBeforeTheBodyRuns) {
  double result = 7.0;
  double seen = -1.0;
  EXPECT_EQ(RunRateExport(&result, [&]() -> std::int32_t {
              seen = result;
              return -4;
            }),
            -4);
  EXPECT_EQ(seen, 0.0);
  EXPECT_EQ(result, 0.0);
}

}  // namespace
}  // namespace lorvex
