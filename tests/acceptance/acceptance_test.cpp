// Runs the shared acceptance cases against liblorvex and records every value
// computed, so that the Windows DLLs can be held to the same numbers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "cases/acceptance.h"

namespace {

acceptance::Api LinkedApi() {
  acceptance::Api api;
#define LORVEX_LINK(name, ordinal, bytes) api.name = &::name;
  LORVEX_EXPORT_LIST(LORVEX_LINK)
#undef LORVEX_LINK
  return api;
}

TEST(Acceptance, EveryCasePassesOnThisPlatform) {
  const auto outcomes = acceptance::RunAll(LinkedApi());
  ASSERT_FALSE(outcomes.empty());
  const char* path = std::getenv("LORVEX_ACCEPTANCE_VALUES");
  std::ofstream out(path != nullptr ? path : "acceptance_values.txt");
  for (const auto& o : outcomes) {
    EXPECT_TRUE(o.passed) << o.name << ": " << o.detail;
    out << o.values.size();
    char buffer[40];
    for (double v : o.values) {
      std::snprintf(buffer, sizeof buffer, " %.17g", v);
      out << buffer;
    }
    out << "\n";
  }
}

}  // namespace
