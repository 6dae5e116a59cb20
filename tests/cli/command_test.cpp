// The lorvex command as a user meets it: warnings for suspicious inputs,
// messages that name the option, file and line, one JSON schema, exit codes
// 0 (priced), 1 (refused by the calculation) and 2 (bad input, nothing
// priced). Each row runs the built command once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct CommandCase {
  const char* name;
  const char* arguments;  // {dir} is the folder of the fixture files
  int exitCode;
  const char* stdoutPattern;  // searched for; empty: anything
  const char* stderrPattern;
};

std::ostream& operator<<(std::ostream& os, const CommandCase& c) { return os << c.name; }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class Command : public testing::TestWithParam<CommandCase> {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("lorvex_command_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    const std::string points = "2000-04-01,0.0460\n2002-01-01,0.0500\n2010-01-01,0.0550\n";
    std::ofstream(dir_ / "curve.csv") << "date,rate\n" << points;
    std::ofstream(dir_ / "headerless.csv") << points;
    std::ofstream(dir_ / "semicolon.csv") << "date;rate\n2000-04-01;0.0460\n";
    std::ofstream(dir_ / "ended.csv") << "date,rate\n2024-01-01,0.05\n2025-01-01,0.05\n";
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }
  static fs::path dir_;
};
fs::path Command::dir_;

TEST_P(Command, WarnsAndExplains) {
  const CommandCase& c = GetParam();
  const std::string arguments = std::regex_replace(c.arguments, std::regex("\\{dir\\}"), dir_.string());
  const fs::path out = dir_ / (std::string(c.name) + ".out");
  const fs::path err = dir_ / (std::string(c.name) + ".err");
  const std::string line =
      std::string(LORVEX_CLI_PATH) + " " + arguments + " >" + out.string() + " 2>" + err.string();
  const int status = std::system(line.c_str());
  ASSERT_TRUE(WIFEXITED(status)) << line;
  const std::string stdoutText = ReadFile(out);
  const std::string stderrText = ReadFile(err);
  EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << line << "\nstdout: " << stdoutText << "\nstderr: " << stderrText;
  EXPECT_TRUE(std::regex_search(stdoutText, std::regex(c.stdoutPattern))) << line << "\nstdout: " << stdoutText;
  EXPECT_TRUE(std::regex_search(stderrText, std::regex(c.stderrPattern))) << line << "\nstderr: " << stderrText;
}

// Worked values: the 2-year 6% semi-annual bond on a flat 5% curve is
// sum 3 e^{-0.05 t} + 100 e^{-0.1} = 101.762276 (t = 0.5 .. 2 in days/365);
// the headerless curve prices as the same curve with its header (96.0364
// when its first point is dropped).
const CommandCase kCases[] = {
    {"JsonSchema", "bond-price --maturity 2 --coupon 0.06 --frequency 2 --flat-rate 0.05 --json", 0,
     R"(^\{"function": "bond_price", "inputs": \{"valuation": 36526, "maturity": 2, "coupon": 0.06, "face": 100, )"
     R"("frequency": 2\}, "value": 101\.762275[0-9]*, "status": 0, "message": "success", "warnings": \[\]\}\n$)",
     "^$"},
    {"OneKeyWhateverTheOption", "black-cap --option floor --json", 0,
     R"("option": "floor"\}, "value": [0-9.]+, "status": 0)", ""},
    {"ExtraResultsByName", "equity-option --steps 50 --json", 0,
     R"("value": [0-9.]+, "status": 0, .*"warnings": \[\], "delta": [0-9.]+, "gamma": [0-9.]+, "theta_per_day": -)",
     ""},
    {"OldSpellingsStillWork", "black-swaption --vol 0.2 --swap-end 7 --type receiver --json", 0,
     R"("maturity": 7, .*"volatility": 0.2, "option": "receiver")", "^$"},
    {"OldDividendFlagIsUseDividendsFalse",
     "equity-option --exercise american --dividend 0.5:5 --steps 50 --ignore-dividends --json", 0,
     R"("use_dividends": false}, "value": 10.41069)", ""},
    {"OldTreeKindNumber", "tree-cap --kind 1 --sigma 0.2 --json", 0, R"("tree": "lognormal")", ""},
    {"SameStrikeQuoteDefault", "tree-bond-option --steps 20 --json", 0, R"("strike_quote": "clean")", ""},
    {"PercentageWarns", "bond-price --coupon 6 --flat-rate 0.05 --json", 0,
     R"("warnings": \["--coupon 6 looks like a percentage; did you mean 0.06\?"\])",
     "lorvex: warning: --coupon 6 looks like a percentage"},
    {"HeaderlessCurveKeepsItsFirstPoint",
     "bond-price --valuation 2000-01-01 --maturity 10 --coupon 0.05 --curve {dir}/headerless.csv", 0,
     R"(clean_price +96\.0500911)",
     R"(headerless\.csv has no header line: its first line "2000-04-01,0.0460" was read)"},
    {"SameCurveWithItsHeader", "bond-price --valuation 2000-01-01 --maturity 10 --coupon 0.05 --curve {dir}/curve.csv",
     0, R"(clean_price +96\.0500911)", "^$"},
    {"CurveEndingBeforeValuation", "bond-price --valuation 2026-01-01 --curve {dir}/ended.csv", 0, "clean_price",
     "ends on 2025-01-01, before the valuation date 2026-01-01"},
    {"DividendOutsideTheLife", "equity-option --expiry 1 --dividend 1.5:2", 0, "value",
     R"(the dividend of 2 at 1\.5 years falls outside the option's life)"},
    {"CurveNeedsValuation", "bond-price --curve {dir}/curve.csv", 2, "", "--curve requires --valuation"},
    {"CsvErrorNamesFileAndLine", "bond-price --valuation 2000-01-01 --curve {dir}/semicolon.csv", 2, "",
     R"(semicolon\.csv line 2: expected date,rate separated by a comma \(not a semicolon)"},
    {"DateErrorNamesOption", "bond-price --valuation 2000-02-30", 2, "", "--valuation: no such calendar date"},
    {"FrequencyValidated", "bond-price --frequency 3", 2, "", R"(--frequency: 3 not in \{1,2,4,12\})"},
    {"TreeKindAsWord", "tree-swaption --tree 3", 2, "", R"(--tree: 3 not in \{normal,lognormal,shape\})"},
    {"VolatilityAboveZero", "hw-cap --volatility 0", 2, "", "--volatility"},
    {"InputErrorAsJson", "equity-option --steps 1 --json", 2,
     R"(^\{"function": "equity_option", "inputs": \{\}, "value": null, "status": -9, "message": "--steps: .*1)",
     "--steps"},
    {"RefusalNamesArgumentAndRange", "barrier --spot -1 --json", 1,
     R"("value": null, "status": -9, "message": "spot: -1 is below 0", "warnings": \[\], "argument": "spot")",
     R"(lorvex: barrier: spot: -1 is below 0 \(status -9\))"},
    {"FailingStatusExitsOne", "bond-price --valuation 9999-12-31 --maturity 5 --flat-rate 0.05", 1, "^$", "status"},
    {"PictureTooLarge", "equity-tree-display --steps 2000 --svg {dir}/big.svg", 2, "^$", "too many to draw"},
    {"MissingOutputFolder", "tree-bond-display --svg {dir}/missing/tree.svg", 2, "^$",
     "the folder .*missing does not exist"},
    {"TypoNamesNearestCommand", "bnd-price", 2, "", R"(unknown command "bnd-price"; did you mean "bond-price")"},
    {"Version", "--version", 0, R"(^lorvex [0-9]+\.[0-9]+\.[0-9]+)", ""},
};

INSTANTIATE_TEST_SUITE_P(Cli, Command, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CommandCase>& row) { return row.param.name; });

}  // namespace
