#include "cli.h"

#include <fmt/core.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <stdexcept>

namespace lorvex_cli {
namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n\"");
  if (b == std::string::npos) return "";
  const auto e = s.find_last_not_of(" \t\r\n\"");
  return s.substr(b, e - b + 1);
}

std::string JsonNumber(double v) {
  if (std::isnan(v)) return "null";
  if (std::isinf(v)) return "null";
  return fmt::format("{}", v);
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += fmt::format("\\u{:04x}", static_cast<unsigned>(c));
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + JsonString(items[i]);
  return out + "]";
}

std::vector<std::string>& WarningList() {
  static std::vector<std::string> warnings;
  return warnings;
}

// A value and its likely meaning as a decimal, for a percentage typed where
// a decimal is expected.
std::string PercentageHint(const std::string& option, double value) {
  return fmt::format("{} {:g} looks like a percentage; did you mean {:g}?", option, value, value / 100.0);
}

// The fields of a CSV line: a comma separates them; a line split by
// semicolons or tabs (a spreadsheet saved with another list separator) is
// named as such.
std::pair<std::string, std::string> SplitPair(const std::string& line, const std::string& where,
                                              const std::string& columns) {
  const auto comma = line.find(',');
  if (comma == std::string::npos) {
    const bool other = line.find(';') != std::string::npos || line.find('\t') != std::string::npos;
    throw CLI::ValidationError(where, fmt::format("expected {} separated by a comma{}, got \"{}\"", columns,
                                                  other ? " (not a semicolon or a tab)" : "", Trim(line)));
  }
  return {Trim(line.substr(0, comma)), Trim(line.substr(comma + 1))};
}

bool ParsesAsNumber(const std::string& field, double& value) {
  try {
    std::size_t used = 0;
    value = std::stod(field, &used);
    return used == field.size() && std::isfinite(value);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

std::int32_t ParseDate(const std::string& raw, const std::string& option) {
  const std::string text = Trim(raw);
  int y = 0;
  unsigned m = 0;
  unsigned d = 0;
  char dash1 = 0;
  char dash2 = 0;
  std::istringstream iso(text);
  if (text.size() == 10 && (iso >> y >> dash1 >> m >> dash2 >> d) && dash1 == '-' &&
      dash2 == '-') {
    try {
      return lorvex::serial_from_date({y, static_cast<int>(m), static_cast<int>(d)});
    } catch (const lorvex::Error&) {
      throw CLI::ValidationError(option, "no such calendar date: " + text);
    }
  }
  std::size_t used = 0;
  long long serial = 0;
  try {
    serial = std::stoll(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || serial < -700000 || serial > 3000000) {
    throw CLI::ValidationError(option, "expected YYYY-MM-DD or a spreadsheet serial, got \"" + raw + "\"");
  }
  return static_cast<std::int32_t>(serial);
}

std::string FormatSerial(std::int32_t serial) {
  try {
    const lorvex::Date d = lorvex::date_from_serial(serial);
    return fmt::format("{:04}-{:02}-{:02}", d.year, d.month, d.day);
  } catch (const lorvex::Error&) {
    return fmt::format("serial {}", serial);  // outside years 1 to 9999
  }
}

std::vector<PairRow> ReadPairFile(const std::string& path, const std::string& option, const std::string& columns,
                                  const std::string& rowName,
                                  const std::function<double(const std::string&, const std::string&)>& first) {
  std::ifstream in(path);
  if (!in) throw CLI::ValidationError(option, "cannot read " + path);
  const std::string secondName = columns.substr(columns.find(',') + 1);
  std::vector<PairRow> rows;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (Trim(line).empty()) continue;
    const std::string where = fmt::format("{} {} line {}", option, path, lineNo);
    if (lineNo == 1) {
      // The header is skipped, but a first line that reads as a row is a
      // row: dropping it would silently lose a point.
      const auto comma = line.find(',');
      double value = 0.0;
      bool isRow = comma != std::string::npos && ParsesAsNumber(Trim(line.substr(comma + 1)), value);
      if (isRow) {
        try {
          first(line.substr(0, comma), where);
        } catch (const CLI::ValidationError&) {
          isRow = false;
        }
      }
      if (!isRow) continue;
      Warn(fmt::format("{} has no header line: its first line \"{}\" was read as a {}", path, Trim(line),
                       rowName));
    }
    const auto [firstField, secondField] = SplitPair(line, where, columns);
    PairRow row{first(firstField, where), 0.0, lineNo};
    if (!ParsesAsNumber(secondField, row.second)) {
      throw CLI::ValidationError(where, fmt::format("{}: not a number: \"{}\"", secondName, secondField));
    }
    rows.push_back(row);
  }
  return rows;
}

Array2D::Array2D(const std::vector<std::pair<double, double>>& rows) {
  SAFEARRAYBOUND bounds[2];
  bounds[0].cElements = static_cast<ULONG>(rows.size());
  bounds[0].lLbound = 0;
  bounds[1].cElements = 2;
  bounds[1].lLbound = 0;
  array_ = SafeArrayCreate(VT_R8, 2, bounds);
  if (array_ == nullptr) throw std::runtime_error("out of memory building an array");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    LONG index[2] = {static_cast<LONG>(i), 0};
    double x = rows[i].first;
    double y = rows[i].second;
    SafeArrayPutElement(array_, index, &x);
    index[1] = 1;
    SafeArrayPutElement(array_, index, &y);
  }
}

Array2D::~Array2D() {
  if (array_ != nullptr) SafeArrayDestroy(array_);
}

void AddMarketOptions(CLI::App* command, MarketOptions& market) {
  auto* valuation = command->add_option("--valuation", market.valuation,
                                        "valuation date, YYYY-MM-DD or spreadsheet serial (required with --curve)")
                        ->capture_default_str();
  auto* curve = command->add_option(
      "--curve", market.curveFile,
      "zero curve CSV: a header line, then date,rate rows (continuously compounded, ACT/365)");
  curve->check(CLI::ExistingFile);
  // A curve file holds dates, which mean nothing without the date they are
  // seen from; the default valuation date would price a 2025 curve from 2000.
  curve->needs(valuation);
  auto* flat = command->add_option("--flat-rate", market.flatRate,
                                   "flat continuously compounded zero rate instead of a curve");
  flat->excludes(curve);
  market.flatOption = flat;
  command->add_flag("--json", market.json, "machine-readable output");
}

const CLI::Validator& FrequencyCheck() {
  static const CLI::Validator check = CLI::IsMember({1, 2, 4, 12});
  return check;
}

const CLI::Validator& VolatilityCheck() {
  static const CLI::Validator check = CLI::PositiveNumber;
  return check;
}

void AddBondOptionTerms(CLI::App* cmd, BondOptionTerms& t) {
  cmd->add_option("--maturity", t.bondMaturity, "bond's time to maturity in years")->capture_default_str();
  AddAlias(cmd, "--bond-maturity", t.bondMaturity);
  cmd->add_option("--coupon", t.coupon, "bond's annual coupon rate, decimal")->capture_default_str();
  cmd->add_option("--face", t.face, "bond's face value")->capture_default_str();
  cmd->add_option("--frequency", t.frequency, "coupons per year: 1, 2, 4 or 12")
      ->check(FrequencyCheck())
      ->capture_default_str();
  cmd->add_option("--expiry", t.expiry, "option's time to expiry in years")->capture_default_str();
  cmd->add_option("--strike", t.strike, "strike price, in the face's units")->capture_default_str();
  cmd->add_option("--option", t.type, "call or put")->check(CLI::IsMember({"call", "put"}))->capture_default_str();
  AddAlias(cmd, "--type", t.type)->check(CLI::IsMember({"call", "put"}));
  cmd->add_option("--strike-quote", t.strikeQuote,
                  "clean (the interest accrued at expiry is added to the strike) or dirty")
      ->check(CLI::IsMember({"clean", "dirty"}))
      ->capture_default_str();
}

void AddSwaptionTerms(CLI::App* cmd, SwaptionTerms& t) {
  cmd->add_option("--expiry", t.expiry, "option's expiry in years; the swap starts then")->capture_default_str();
  cmd->add_option("--maturity", t.swapEnd, "swap's end in years from the valuation date")->capture_default_str();
  AddAlias(cmd, "--swap-end", t.swapEnd);
  cmd->add_option("--fixed-rate", t.fixedRate, "swap's fixed rate (the strike), decimal")->capture_default_str();
  cmd->add_option("--notional", t.notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", t.frequency, "payments per year: 1, 2, 4 or 12")
      ->check(FrequencyCheck())
      ->capture_default_str();
  cmd->add_option("--option", t.type, "payer (pay fixed) or receiver (receive fixed)")
      ->check(CLI::IsMember({"payer", "receiver"}))
      ->capture_default_str();
  AddAlias(cmd, "--type", t.type)->check(CLI::IsMember({"payer", "receiver"}));
}

void AddCapTerms(CLI::App* cmd, CapTerms& t) {
  cmd->add_option("--start", t.start, "cap's start in years from the valuation date")->capture_default_str();
  cmd->add_option("--maturity", t.end, "cap's end in years from the valuation date")->capture_default_str();
  AddAlias(cmd, "--end", t.end);
  cmd->add_option("--cap-rate", t.capRate, "cap (or floor) rate, decimal")->capture_default_str();
  cmd->add_option("--notional", t.notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", t.frequency, "caplets per year: 1, 2, 4 or 12")
      ->check(FrequencyCheck())
      ->capture_default_str();
  cmd->add_option("--option", t.type, "cap or floor")->check(CLI::IsMember({"cap", "floor"}))->capture_default_str();
  AddAlias(cmd, "--type", t.type)->check(CLI::IsMember({"cap", "floor"}));
}

void AddShortRateModel(CLI::App* cmd, ShortRateModel& model, const std::string& sigmaHelp) {
  cmd->add_option("--volatility", model.sigma, sigmaHelp)->check(VolatilityCheck())->capture_default_str();
  AddAlias(cmd, "--sigma", model.sigma)->check(VolatilityCheck());
  cmd->add_option("--mean-reversion", model.meanReversion, "mean-reversion speed per year (0 allowed)")
      ->capture_default_str();
}

void AddTreeKind(CLI::App* cmd, std::string& tree) {
  cmd->add_option("--tree", tree, "volatility form: normal (Hull-White), lognormal, or shape g(r) = r")
      ->check(CLI::IsMember({"normal", "lognormal", "shape"}))
      ->capture_default_str();
  const std::map<std::string, std::string> numbers = {{"0", "normal"}, {"1", "lognormal"}, {"2", "shape"}};
  AddAlias(cmd, "--kind", tree)->transform(CLI::CheckedTransformer(numbers));
}

void Warn(const std::string& text) {
  fmt::print(stderr, "lorvex: warning: {}\n", text);
  WarningList().push_back(text);
}

const std::vector<std::string>& Warnings() { return WarningList(); }

void WarnIfPercentage(const std::string& option, double value) {
  if (value > 1.0) Warn(PercentageHint(option, value));
}

std::vector<std::pair<double, double>> SampleCurve(std::int32_t valuationSerial) {
  static const double kTenors[] = {0.25, 0.5, 1, 2, 3, 5, 7, 10, 20, 30};
  static const double kRates[] = {0.0460, 0.0470, 0.0480, 0.0500, 0.0510,
                                  0.0530, 0.0540, 0.0550, 0.0560, 0.0560};
  std::vector<std::pair<double, double>> rows;
  for (std::size_t i = 0; i < std::size(kTenors); ++i) {
    rows.emplace_back(valuationSerial + std::floor(365.0 * kTenors[i] + 0.5), kRates[i]);
  }
  return rows;
}

std::vector<std::pair<double, double>> LoadCurve(const MarketOptions& market,
                                                 std::int32_t valuationSerial) {
  if (market.flatOption != nullptr && market.flatOption->count() > 0) {
    WarnIfPercentage("--flat-rate", market.flatRate);
    return {{static_cast<double>(valuationSerial), market.flatRate}};
  }
  if (market.curveFile.empty()) return SampleCurve(valuationSerial);
  const auto rows = ReadPairFile(market.curveFile, "--curve", "date,rate", "point",
                                 [](const std::string& field, const std::string& where) {
                                   return static_cast<double>(ParseDate(field, where + ": date"));
                                 });
  double highestRate = 0.0;
  int highestLine = 0;
  std::vector<std::pair<double, double>> points;
  for (const PairRow& row : rows) {
    if (row.second > highestRate) {
      highestRate = row.second;
      highestLine = row.line;
    }
    points.emplace_back(row.first, row.second);
  }
  if (highestRate > 1.0) {
    WarnIfPercentage(fmt::format("the rate on line {} of {}:", highestLine, market.curveFile), highestRate);
  }
  double lastDate = -std::numeric_limits<double>::infinity();
  for (const auto& point : points) lastDate = std::max(lastDate, point.first);
  if (!points.empty() && lastDate < valuationSerial) {
    Warn(fmt::format("the curve in {} ends on {}, before the valuation date {}: its last rate is used flat",
                     market.curveFile, FormatSerial(static_cast<std::int32_t>(lastDate)),
                     FormatSerial(valuationSerial)));
  }
  return points;
}

namespace {

std::string JsonObject(const std::string& function, const Inputs& inputs, const std::string& value, int status,
                       const std::string& message, const std::string& extra) {
  std::string body = fmt::format("{{\"function\": {}, \"inputs\": {{", JsonString(function));
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    body += fmt::format("{}{}: {}", i ? ", " : "", JsonString(inputs[i].name), inputs[i].json);
  }
  return body + fmt::format("}}, \"value\": {}, \"status\": {}, \"message\": {}, \"warnings\": {}{}}}", value,
                            status, JsonString(message), JsonList(Warnings()), extra);
}

// Words a user types as a decimal; an input of these names above 1 is most
// likely a percentage.
bool IsDecimalRate(const std::string& name) {
  for (const char* rate : {"coupon", "fixed_rate", "cap_rate", "volatility", "rate", "dividend_yield"}) {
    if (name == rate) return true;
  }
  return false;
}

std::string OptionName(std::string name) {
  std::replace(name.begin(), name.end(), '_', '-');
  return "--" + name;
}

}  // namespace

int Report(const std::string& function, const std::vector<NamedValue>& results, bool json) {
  return Report(function, results, json, {});
}

int Report(const std::string& function, const std::vector<NamedValue>& results, bool json, const Inputs& inputs) {
  if (json) {
    std::string extra;
    for (std::size_t i = 1; i < results.size(); ++i) {
      extra += fmt::format(", {}: {}", JsonString(results[i].name), JsonNumber(results[i].value));
    }
    const std::string value = results.empty() ? "null" : JsonNumber(results[0].value);
    fmt::print("{}\n", JsonObject(function, inputs, value, LORVEX_OK, std::string(lorvex::status_text(LORVEX_OK)),
                                  extra));
    return kExitOk;
  }
  std::size_t width = 0;
  for (const auto& r : results) width = std::max(width, r.name.size());
  for (const auto& r : results) fmt::print("{:<{}}  {:.10g}\n", r.name, width, r.value);
  return kExitOk;
}

lorvex::Curve ToCurve(const std::vector<std::pair<double, double>>& rows) {
  std::vector<double> dates, rates;
  for (const auto& [date, rate] : rows) {
    dates.push_back(date);
    rates.push_back(rate);
  }
  return lorvex::Curve(dates, rates);
}

lorvex::TreeKind TreeKindFromNumber(int kind) {
  if (kind < 0 || kind > 2) {
    throw lorvex::Error(LORVEX_BAD_ARGUMENT, "tree", std::to_string(kind) + " is not 0 normal, 1 lognormal or 2 shape");
  }
  return static_cast<lorvex::TreeKind>(kind);
}

#define LORVEX_CLI_INPUT(field) inputs.push_back(InputOf(#field, args.field));
#define LORVEX_CLI_DEFINE_INPUTS(Args, FIELDS) \
  Inputs InputsOf(const lorvex::Args& args) {  \
    Inputs inputs;                              \
    FIELDS(LORVEX_CLI_INPUT)                    \
    return inputs;                              \
  }

namespace {
const double kNotANumber = std::numeric_limits<double>::quiet_NaN();
Input InputOf(const char* name, double v) { return {name, JsonNumber(v), v}; }
Input InputOf(const char* name, int v) { return {name, std::to_string(v), static_cast<double>(v)}; }
Input InputOf(const char* name, bool v) { return {name, v ? "true" : "false", kNotANumber}; }
Input InputOf(const char* name, const lorvex::TreeLimits& v) {
  return {name, fmt::format("{{\"memory_bytes\": {}}}", JsonNumber(v.memory_bytes)), kNotANumber};
}
template <class Choice>
Input InputOf(const char* name, Choice v) {
  return {name, JsonString(std::string(lorvex::to_string(v))), kNotANumber};
}
}  // namespace

LORVEX_CLI_DEFINE_INPUTS(BondPriceArgs, LORVEX_BOND_PRICE_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(BlackBondOptionArgs, LORVEX_BLACK_BOND_OPTION_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(BlackSwaptionArgs, LORVEX_BLACK_SWAPTION_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(BlackCapArgs, LORVEX_BLACK_CAP_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(HwBondOptionArgs, LORVEX_HW_BOND_OPTION_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(HwSwaptionArgs, LORVEX_HW_SWAPTION_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(HwCapArgs, LORVEX_HW_CAP_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(TreeBondOptionArgs, LORVEX_TREE_BOND_OPTION_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(TreeSwaptionArgs, LORVEX_TREE_SWAPTION_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(TreeCapArgs, LORVEX_TREE_CAP_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(BondTreeRateDeltaArgs, LORVEX_BOND_TREE_RATE_DELTA_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(CapTreeRateDeltaArgs, LORVEX_CAP_TREE_RATE_DELTA_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(EquityOptionArgs, LORVEX_EQUITY_OPTION_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(BarrierArgs, LORVEX_BARRIER_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(CompoundArgs, LORVEX_COMPOUND_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(LookbackArgs, LORVEX_LOOKBACK_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(AsianArgs, LORVEX_ASIAN_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(ChooserArgs, LORVEX_CHOOSER_FIELDS)
LORVEX_CLI_DEFINE_INPUTS(BinaryArgs, LORVEX_BINARY_FIELDS)
#undef LORVEX_CLI_DEFINE_INPUTS
#undef LORVEX_CLI_INPUT

int Price(const std::string& function, bool json,
          const std::function<std::vector<NamedValue>(Inputs& inputs)>& price) {
  std::vector<NamedValue> results;
  Inputs inputs;
  const auto warnPercentages = [&inputs] {
    for (const Input& in : inputs) {
      if (IsDecimalRate(in.name)) WarnIfPercentage(OptionName(in.name), in.number);
    }
  };
  try {
    results = price(inputs);
  } catch (const lorvex::Error& e) {
    warnPercentages();
    if (json) {
      fmt::print("{}\n", JsonObject(function, inputs, "null", e.status(), e.what(),
                                    fmt::format(", \"argument\": {}", JsonString(e.argument()))));
    }
    fmt::print(stderr, "lorvex: {}: {} (status {})\n", function, e.what(), e.status());
    return kExitRefused;
  }
  warnPercentages();
  return Report(function, results, json, inputs);
}

int Price(const std::string& function, bool json, const std::function<std::vector<NamedValue>()>& price) {
  return Price(function, json, [&](Inputs&) { return price(); });
}

std::string InputErrorJson(const std::string& function, const std::string& message) {
  return JsonObject(function, {}, "null", LORVEX_BAD_ARGUMENT, message, "");
}

void CheckOutputFile(const std::string& option, const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(path).parent_path();
  std::error_code error;
  if (folder.empty()) return;
  const fs::file_status folderStatus = fs::status(folder, error);
  if (!fs::exists(folderStatus)) {
    throw CLI::ValidationError(option, fmt::format("cannot write {}: the folder {} does not exist", path,
                                                   folder.string()));
  }
  if (!fs::is_directory(folderStatus)) {
    throw CLI::ValidationError(option, fmt::format("cannot write {}: {} is not a folder", path, folder.string()));
  }
}

namespace {
std::vector<CommandFamily>& FamilyRegistry() {
  static std::vector<CommandFamily> registry;
  return registry;
}
}  // namespace

bool RegisterFamily(const CommandFamily& family) {
  FamilyRegistry().push_back(family);
  return true;
}

std::vector<CommandFamily> Families() {
  std::vector<CommandFamily> families = FamilyRegistry();
  std::stable_sort(families.begin(), families.end(),
                   [](const CommandFamily& a, const CommandFamily& b) { return a.order < b.order; });
  return families;
}

}  // namespace lorvex_cli
