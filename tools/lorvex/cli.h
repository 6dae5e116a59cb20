// Shared plumbing of the lorvex command: dates, curves, arrays, output.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lorvex/lorvex.h"
#include "lorvex/lorvex.hpp"

namespace lorvex_cli {

// A date given as an ISO date (2000-01-01) or a spreadsheet serial (36526).
// Throws CLI::ValidationError naming `option` for anything else.
std::int32_t ParseDate(const std::string& text, const std::string& option = "--valuation");
std::string FormatSerial(std::int32_t serial);

// The rows of the command's two-column files (a curve's date,rate, a
// stock's time,amount): a header line, then one row a line, blank lines
// skipped; a first line that reads as a row is a row, with a warning. A
// line split by semicolons or tabs is named as such. `first` parses the
// first field (throwing CLI::ValidationError); the second is a number.
struct PairRow {
  double first;
  double second;
  int line;
};
std::vector<PairRow> ReadPairFile(const std::string& path, const std::string& option, const std::string& columns,
                                  const std::string& rowName,
                                  const std::function<double(const std::string&, const std::string&)>& first);

// Owns a two-column array of doubles built with the SAFEARRAY API, as a
// spreadsheet would pass it: rows 0 .. n-1, columns 0 To 1.
class Array2D {
 public:
  explicit Array2D(const std::vector<std::pair<double, double>>& rows);
  ~Array2D();
  Array2D(const Array2D&) = delete;
  Array2D& operator=(const Array2D&) = delete;
  SAFEARRAY** get() { return &array_; }

 private:
  SAFEARRAY* array_ = nullptr;
};

// The market options every interest-rate command takes. A curve file's
// dates are absolute, so --curve requires --valuation.
struct MarketOptions {
  std::string valuation = "2000-01-01";
  std::string curveFile;
  double flatRate = 0.0;
  CLI::Option* flatOption = nullptr;  // set when --flat-rate was given
  bool json = false;
};
void AddMarketOptions(CLI::App* command, MarketOptions& market);

// An old spelling of an option kept working, bound to the same variable and
// hidden from --help.
template <class T>
CLI::Option* AddAlias(CLI::App* command, const std::string& name, T& target) {
  return command->add_option_group("")->add_option(name, target);
}

// Validators of the shared vocabulary.
const CLI::Validator& FrequencyCheck();   // 1, 2, 4 or 12
const CLI::Validator& VolatilityCheck();  // above 0

// Suspicious but accepted input: printed at once on stderr as
// "lorvex: warning: ..." and listed in the JSON "warnings". The command
// prices one calculation a run, so the list is the run's.
void Warn(const std::string& text);
const std::vector<std::string>& Warnings();

// Warns when a rate, coupon or volatility looks like a percentage (above 1).
void WarnIfPercentage(const std::string& option, double value);

// Terms of the interest-rate options, named alike by every model's command;
// a command may change a default before adding them.
struct BondOptionTerms {
  double bondMaturity = 5.0;
  double coupon = 0.06;
  double face = 100.0;
  int frequency = 2;
  double expiry = 1.0;
  double strike = 100.0;
  std::string type = "call";
  std::string strikeQuote = "clean";
  std::int32_t CallFlag() const { return type == "call" ? 1 : 0; }
  std::int32_t CleanFlag() const { return strikeQuote == "clean" ? 1 : 0; }
  lorvex::OptionType Option() const { return lorvex::from_string<lorvex::OptionType>(type, "option"); }
  lorvex::StrikeQuote Quote() const { return lorvex::from_string<lorvex::StrikeQuote>(strikeQuote, "strike_quote"); }
  // The terms in a model's Args (Black, Hull-White or tree), whose own
  // fields the command adds.
  template <class Args>
  Args ToArgs(std::int32_t valuation) const {
    return {.valuation = valuation,
            .maturity = bondMaturity,
            .coupon = coupon,
            .face = face,
            .frequency = frequency,
            .expiry = expiry,
            .strike = strike,
            .option = Option(),
            .strike_quote = Quote()};
  }
};
void AddBondOptionTerms(CLI::App* command, BondOptionTerms& terms);

struct SwaptionTerms {
  double expiry = 1.0;
  double swapEnd = 6.0;
  double fixedRate = 0.05;
  double notional = 100.0;
  int frequency = 2;
  std::string type = "payer";
  std::int32_t ReceiverFlag() const { return type == "receiver" ? 1 : 0; }
  lorvex::SwaptionType Option() const { return lorvex::from_string<lorvex::SwaptionType>(type, "option"); }
  template <class Args>
  Args ToArgs(std::int32_t valuation) const {
    return {.valuation = valuation,
            .expiry = expiry,
            .maturity = swapEnd,
            .fixed_rate = fixedRate,
            .notional = notional,
            .frequency = frequency,
            .option = Option()};
  }
};
void AddSwaptionTerms(CLI::App* command, SwaptionTerms& terms);

struct CapTerms {
  double start = 0.25;
  double end = 3.0;
  double capRate = 0.05;
  double notional = 100.0;
  int frequency = 4;
  std::string type = "cap";
  std::int32_t CapFlag() const { return type == "cap" ? 1 : 0; }
  lorvex::CapType Option() const { return lorvex::from_string<lorvex::CapType>(type, "option"); }
  template <class Args>
  Args ToArgs(std::int32_t valuation) const {
    return {.valuation = valuation,
            .start = start,
            .maturity = end,
            .cap_rate = capRate,
            .notional = notional,
            .frequency = frequency,
            .option = Option()};
  }
};
void AddCapTerms(CLI::App* command, CapTerms& terms);

// The Hull-White model's parameters.
struct ShortRateModel {
  double sigma = 0.01;
  double meanReversion = 0.1;
};
void AddShortRateModel(CLI::App* command, ShortRateModel& model, const std::string& sigmaHelp);

// Rows (serial date, zero rate) of the curve the options ask for: a CSV file
// (header line, then date,rate), a flat rate, or the built-in sample curve.
// An ill-formed file is refused naming the file and the line; a file without
// a header line, a rate above 1 and a curve ending before the valuation date
// are read with a warning.
std::vector<std::pair<double, double>> LoadCurve(const MarketOptions& market,
                                                 std::int32_t valuationSerial);
// The built-in sample: an upward-sloping zero curve from 3 months to 30
// years, laid from the valuation date.
std::vector<std::pair<double, double>> SampleCurve(std::int32_t valuationSerial);

struct NamedValue {
  std::string name;
  double value;
};

// Prints the results of a calculation that succeeded, as lines or as the
// JSON object Price describes (with its inputs by their C++ API names);
// returns exit code 0.
struct Input;
int Report(const std::string& function, const std::vector<NamedValue>& results, bool json);
int Report(const std::string& function, const std::vector<NamedValue>& results, bool json,
           const std::vector<Input>& inputs);

// The rows of LoadCurve or SampleCurve as the C++ API's curve.
lorvex::Curve ToCurve(const std::vector<std::pair<double, double>>& rows);

// --tree normal|lognormal|shape, the Hull-White tree's volatility form; the
// old --kind also takes the exports' numbers 0, 1 and 2.
void AddTreeKind(CLI::App* command, std::string& tree);

// The tree's volatility form from the number the exports take (0 normal,
// 1 lognormal, 2 shape); any other number is refused naming the option.
lorvex::TreeKind TreeKindFromNumber(int kind);

// The arguments a calculation was given, by their C++ API names, as JSON
// literals; `number` is the value of a numeric argument (NaN otherwise).
struct Input {
  std::string name;
  std::string json;
  double number;
};
using Inputs = std::vector<Input>;

// The arguments of each calculation's terms struct, from the vocabulary
// lists of lorvex.hpp.
#define LORVEX_CLI_DECLARE_INPUTS(Args, FIELDS) Inputs InputsOf(const lorvex::Args& args);
LORVEX_CLI_DECLARE_INPUTS(BondPriceArgs, LORVEX_BOND_PRICE_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(BlackBondOptionArgs, LORVEX_BLACK_BOND_OPTION_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(BlackSwaptionArgs, LORVEX_BLACK_SWAPTION_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(BlackCapArgs, LORVEX_BLACK_CAP_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(HwBondOptionArgs, LORVEX_HW_BOND_OPTION_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(HwSwaptionArgs, LORVEX_HW_SWAPTION_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(HwCapArgs, LORVEX_HW_CAP_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(TreeBondOptionArgs, LORVEX_TREE_BOND_OPTION_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(TreeSwaptionArgs, LORVEX_TREE_SWAPTION_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(TreeCapArgs, LORVEX_TREE_CAP_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(BondTreeRateDeltaArgs, LORVEX_BOND_TREE_RATE_DELTA_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(CapTreeRateDeltaArgs, LORVEX_CAP_TREE_RATE_DELTA_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(EquityOptionArgs, LORVEX_EQUITY_OPTION_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(BarrierArgs, LORVEX_BARRIER_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(CompoundArgs, LORVEX_COMPOUND_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(LookbackArgs, LORVEX_LOOKBACK_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(AsianArgs, LORVEX_ASIAN_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(ChooserArgs, LORVEX_CHOOSER_FIELDS)
LORVEX_CLI_DECLARE_INPUTS(BinaryArgs, LORVEX_BINARY_FIELDS)
#undef LORVEX_CLI_DECLARE_INPUTS

// Runs one calculation of the C++ API, which records its arguments in
// `inputs`, and prints its results: text lines, or with --json one object
//   {"function", "inputs": {...}, "value", "status", "message", "warnings"}
// with the first result as "value" and the others after it by name. A rate,
// coupon or volatility input above 1 warns. A refusal (lorvex::Error)
// prints the argument and what it accepts on stderr, with --json the same
// object with "value": null, the status, the message and "argument", and
// gives exit code 1.
int Price(const std::string& function, bool json,
          const std::function<std::vector<NamedValue>(Inputs& inputs)>& price);
// The same for a calculation that records no inputs.
int Price(const std::string& function, bool json, const std::function<std::vector<NamedValue>()>& price);

// Exit codes of the command: 0 priced; 1 the calculation refused its
// arguments or failed; 2 the command line or an input file is wrong, or an
// output cannot be written (nothing is priced).
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitInput = 2;

// The error object --json prints for an input error (exit code 2).
std::string InputErrorJson(const std::string& function, const std::string& message);

// Refuses, before any pricing, an output file whose folder does not exist
// or is not a folder.
void CheckOutputFile(const std::string& option, const std::string& path);

// One row of the demo book.
struct DemoRow {
  std::string instrument;
  std::string terms;
  std::string function;
  double value;
  std::int32_t status;
};

// Each family of instruments registers its commands and its demo rows from
// its own file:
//   static const bool registered = RegisterFamily({10, RegisterBondCommands, AddBondDemoRows});
// The demo book lists the families by ascending order key.
struct CommandFamily {
  int order;
  void (*registerCommands)(CLI::App& app, int& exitCode);
  void (*addDemoRows)(std::vector<DemoRow>& book, std::int32_t valuationSerial);
};
bool RegisterFamily(const CommandFamily& family);
std::vector<CommandFamily> Families();

}  // namespace lorvex_cli
