// Runs the shared acceptance cases against liblorvex, one test per case so
// that a failure names its case, and records every value computed, so that
// the Windows DLLs can be held to the same numbers.
#include "cases/acceptance.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

namespace acceptance {

// gtest prints a parameter of a failing test: the case's name says it all.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

}  // namespace acceptance

namespace {

acceptance::Api LinkedApi() {
  acceptance::Api api;
#define LORVEX_LINK(name, ordinal, bytes) api.name = &::name;
  LORVEX_EXPORT_LIST(LORVEX_LINK)
#undef LORVEX_LINK
  return api;
}

class Acceptance : public ::testing::TestWithParam<acceptance::Case> {};

TEST_P(Acceptance, Passes) {
  const acceptance::Outcome o = acceptance::Run(LinkedApi(), GetParam());
  EXPECT_TRUE(o.passed) << o.name << ": " << o.detail;
}

// A test name from the case's own: letters and digits kept, every other run
// of characters an underscore, and the position appended so that two cases
// whose names differ only in punctuation stay apart.
std::string TestName(const ::testing::TestParamInfo<acceptance::Case>& info) {
  std::string name;
  for (char c : info.param.name) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  return name + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Cases, Acceptance, ::testing::ValuesIn(acceptance::AllCases()), TestName);

// The values of every case in case order, for the Windows runs to match.
TEST(AcceptanceValues, RecordedForTheWindowsRuns) {
  const auto outcomes = acceptance::RunAll(LinkedApi());
  ASSERT_FALSE(outcomes.empty());
  const char* path = std::getenv("LORVEX_ACCEPTANCE_VALUES");
  std::ofstream out(path != nullptr ? path : "acceptance_values.txt");
  for (const auto& o : outcomes) {
    out << o.values.size();
    char buffer[40];
    for (double v : o.values) {
      std::snprintf(buffer, sizeof buffer, " %.17g", v);
      out << buffer;
    }
    out << "\n";
  }
  ASSERT_TRUE(out.good());
}

}  // namespace
