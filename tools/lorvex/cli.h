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
// Throws CLI::ValidationError for anything else.
std::int32_t ParseDate(const std::string& text);
std::string FormatSerial(std::int32_t serial);

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

// The market options every interest-rate command takes.
struct MarketOptions {
  std::string valuation = "2000-01-01";
  std::string curveFile;
  double flatRate = 0.0;
  CLI::Option* flatOption = nullptr;  // set when --flat-rate was given
  bool json = false;
};
void AddMarketOptions(CLI::App* command, MarketOptions& market);

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
std::vector<std::pair<double, double>> LoadCurve(const MarketOptions& market,
                                                 std::int32_t valuationSerial);
// The built-in sample: an upward-sloping zero curve from 3 months to 30
// years, laid from the valuation date.
std::vector<std::pair<double, double>> SampleCurve(std::int32_t valuationSerial);

// Which family of export a status came from: some codes mean different
// things in different families.
enum class Family { kRate, kSwap, kCap, kTree, kTreeSwap, kTreeCap, kDisplay, kEquity, kExotic };
std::string StatusMeaning(std::int32_t status, Family family);

struct NamedValue {
  std::string name;
  double value;
};

// Prints the results (or, on a nonzero status, one line naming its meaning
// on stderr) and returns the process exit code: 0, or 1 on failure.
int Report(const std::string& function, std::int32_t status, Family family,
           const std::vector<NamedValue>& results, bool json);

// The rows of LoadCurve or SampleCurve as the C++ API's curve.
lorvex::Curve ToCurve(const std::vector<std::pair<double, double>>& rows);

// The tree's volatility form from the number the exports take (0 normal,
// 1 lognormal, 2 shape); any other number is refused naming the option.
lorvex::TreeKind TreeKindFromNumber(int kind);

// Runs one calculation of the C++ API and prints its results as Report
// does. A refusal (lorvex::Error) prints the argument and what it accepts
// on stderr, or with --json an error object {"function", "status",
// "argument", "message"} on stdout, and gives exit code 1.
int Price(const std::string& function, bool json, const std::function<std::vector<NamedValue>()>& price);

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
