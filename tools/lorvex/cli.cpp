#include "cli.h"

#include <fmt/core.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lorvex_cli {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Serial 0 is 30 December 1899, so serials count from there for every date
// a curve can reasonably hold (after February 1900).
const long long kSerialEpoch = DaysFromCivil(1899, 12, 30);

bool IsLeap(long long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

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

}  // namespace

std::int32_t ParseDate(const std::string& raw) {
  const std::string text = Trim(raw);
  int y = 0;
  unsigned m = 0;
  unsigned d = 0;
  char dash1 = 0;
  char dash2 = 0;
  std::istringstream iso(text);
  if (text.size() == 10 && (iso >> y >> dash1 >> m >> dash2 >> d) && dash1 == '-' &&
      dash2 == '-') {
    static const unsigned kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 ||
        d > kMonthDays[m - 1] + ((m == 2 && IsLeap(y)) ? 1u : 0u)) {
      throw CLI::ValidationError("date", "no such calendar date: " + text);
    }
    return static_cast<std::int32_t>(DaysFromCivil(y, m, d) - kSerialEpoch);
  }
  std::size_t used = 0;
  long long serial = 0;
  try {
    serial = std::stoll(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || serial < -700000 || serial > 3000000) {
    throw CLI::ValidationError("date", "expected YYYY-MM-DD or a spreadsheet serial: " + raw);
  }
  return static_cast<std::int32_t>(serial);
}

std::string FormatSerial(std::int32_t serial) {
  // Inverse of DaysFromCivil.
  long long z = serial + kSerialEpoch + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long d = doy - (153 * mp + 2) / 5 + 1;
  const long long m = mp < 10 ? mp + 3 : mp - 9;
  const long long y = yoe + era * 400 + (m <= 2);
  return fmt::format("{:04}-{:02}-{:02}", y, m, d);
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
  command->add_option("--valuation", market.valuation,
                      "valuation date, YYYY-MM-DD or spreadsheet serial")
      ->capture_default_str();
  auto* curve = command->add_option(
      "--curve", market.curveFile,
      "zero curve CSV: a header line, then date,rate rows (continuously compounded, ACT/365)");
  curve->check(CLI::ExistingFile);
  auto* flat = command->add_option("--flat-rate", market.flatRate,
                                   "flat continuously compounded zero rate instead of a curve");
  flat->excludes(curve);
  market.flatOption = flat;
  command->add_flag("--json", market.json, "machine-readable output");
}

void AddBondOptionTerms(CLI::App* cmd, BondOptionTerms& t) {
  cmd->add_option("--bond-maturity", t.bondMaturity, "bond's time to maturity in years")->capture_default_str();
  cmd->add_option("--coupon", t.coupon, "bond's annual coupon rate, decimal")->capture_default_str();
  cmd->add_option("--face", t.face, "bond's face value")->capture_default_str();
  cmd->add_option("--frequency", t.frequency, "coupons per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--expiry", t.expiry, "option's time to expiry in years")->capture_default_str();
  cmd->add_option("--strike", t.strike, "strike price, in the face's units")->capture_default_str();
  cmd->add_option("--type", t.type, "call or put")->check(CLI::IsMember({"call", "put"}))->capture_default_str();
  cmd->add_option("--strike-quote", t.strikeQuote,
                  "clean (the interest accrued at expiry is added to the strike) or dirty")
      ->check(CLI::IsMember({"clean", "dirty"}))
      ->capture_default_str();
}

void AddSwaptionTerms(CLI::App* cmd, SwaptionTerms& t) {
  cmd->add_option("--expiry", t.expiry, "option's expiry in years; the swap starts then")->capture_default_str();
  cmd->add_option("--swap-end", t.swapEnd, "swap's end in years from the valuation date")->capture_default_str();
  cmd->add_option("--fixed-rate", t.fixedRate, "swap's fixed rate (the strike), decimal")->capture_default_str();
  cmd->add_option("--notional", t.notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", t.frequency, "payments per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--type", t.type, "payer (pay fixed) or receiver (receive fixed)")
      ->check(CLI::IsMember({"payer", "receiver"}))
      ->capture_default_str();
}

void AddCapTerms(CLI::App* cmd, CapTerms& t) {
  cmd->add_option("--start", t.start, "cap's start in years from the valuation date")->capture_default_str();
  cmd->add_option("--end", t.end, "cap's end in years from the valuation date")->capture_default_str();
  cmd->add_option("--cap-rate", t.capRate, "cap (or floor) rate, decimal")->capture_default_str();
  cmd->add_option("--notional", t.notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", t.frequency, "caplets per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--type", t.type, "cap or floor")->check(CLI::IsMember({"cap", "floor"}))->capture_default_str();
}

void AddShortRateModel(CLI::App* cmd, ShortRateModel& model, const std::string& sigmaHelp) {
  cmd->add_option("--sigma", model.sigma, sigmaHelp)->capture_default_str();
  cmd->add_option("--mean-reversion", model.meanReversion, "mean-reversion speed per year (0 allowed)")
      ->capture_default_str();
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
  if (market.flatOption != nullptr && market.flatOption->count() > 0) return {{static_cast<double>(valuationSerial), market.flatRate}};
  if (market.curveFile.empty()) return SampleCurve(valuationSerial);
  std::ifstream in(market.curveFile);
  if (!in) throw CLI::ValidationError("--curve", "cannot read " + market.curveFile);
  std::vector<std::pair<double, double>> rows;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (lineNo == 1 || Trim(line).empty()) continue;
    const auto comma = line.find(',');
    if (comma == std::string::npos) {
      throw CLI::ValidationError("--curve", fmt::format("line {}: expected date,rate", lineNo));
    }
    const std::int32_t date = ParseDate(line.substr(0, comma));
    double rate = 0.0;
    try {
      std::size_t used = 0;
      const std::string field = Trim(line.substr(comma + 1));
      rate = std::stod(field, &used);
      if (used != field.size()) throw std::invalid_argument(field);
    } catch (const std::exception&) {
      throw CLI::ValidationError("--curve", fmt::format("line {}: bad rate", lineNo));
    }
    rows.emplace_back(date, rate);
  }
  return rows;
}

std::string StatusMeaning(std::int32_t status, Family family) {
  const bool tree = family == Family::kTree || family == Family::kTreeSwap ||
                    family == Family::kTreeCap || family == Family::kDisplay;
  if (family == Family::kEquity) {
    switch (status) {
      case -1:
        return "the dividends' row bounds are unreadable, or the tree exceeds the display memory budget";
      case -2:
        return "an element of the dividends array is unreadable";
      case -4:
        return "the dividends array, or the node or level table, holds no array";
      case -5:
        return "the dividends array, or the node or level table, is not two-dimensional";
      default:
        break;
    }
  }
  switch (status) {
    case 0:
      return "success";
    case -1:
      return tree ? "the Hull-White tree could not be built (or the curve's row bounds are unreadable)"
                  : "the bounds of the curve's rows are unreadable";
    case -2:
      return (family == Family::kSwap || family == Family::kTreeSwap)
                 ? "the swap schedule was rejected (or a curve element is unreadable)"
                 : "an element of the curve array is unreadable";
    case -3:
      return "the cap schedule was rejected";
    case -4:
      return family == Family::kDisplay ? "the curve array, or the node or level array, holds no array"
                                        : "the curve array holds no array";
    case -5:
      return family == Family::kDisplay ? "the curve array or an output array is not two-dimensional"
                                        : "the curve array is not two-dimensional";
    case -6:
    case -7:
    case -8:
      return "an output array is missing, too small or has the wrong bounds";
    case -9:
      return "an argument is outside what the calculation accepts";
    default:
      return "unknown status";
  }
}

int Report(const std::string& function, std::int32_t status, Family family,
           const std::vector<NamedValue>& results, bool json) {
  if (json) {
    std::string body = fmt::format("{{\"function\": \"{}\", \"status\": {}, \"meaning\": \"{}\"",
                                   function, status, StatusMeaning(status, family));
    if (status == 0) {
      body += ", \"results\": {";
      for (std::size_t i = 0; i < results.size(); ++i) {
        body += fmt::format("{}\"{}\": {}", i ? ", " : "", results[i].name,
                            JsonNumber(results[i].value));
      }
      body += "}";
    }
    body += "}";
    fmt::print("{}\n", body);
  } else if (status == 0) {
    std::size_t width = 0;
    for (const auto& r : results) width = std::max(width, r.name.size());
    for (const auto& r : results) fmt::print("{:<{}}  {:.10g}\n", r.name, width, r.value);
  }
  if (status != 0) {
    fmt::print(stderr, "lorvex: {} failed with status {}: {}\n", function, status,
               StatusMeaning(status, family));
    return 1;
  }
  return 0;
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

namespace {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

int Price(const std::string& function, bool json, const std::function<std::vector<NamedValue>()>& price) {
  std::vector<NamedValue> results;
  try {
    results = price();
  } catch (const lorvex::Error& e) {
    if (json) {
      fmt::print("{{\"function\": \"{}\", \"status\": {}, \"argument\": {}, \"message\": {}}}\n", function,
                 e.status(), JsonString(e.argument()), JsonString(e.message()));
    }
    fmt::print(stderr, "lorvex: {}: {} (status {})\n", function, e.what(), e.status());
    return 1;
  }
  return Report(function, LORVEX_OK, Family::kRate, results, json);
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
