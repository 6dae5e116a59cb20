// The API's vocabulary: its error, status texts, dates, curves and the
// words of its choices.
#include <cmath>
#include <cstdio>
#include <utility>

#include "api/detail.h"
#include "boundary/dates.h"
#include "market/calendar.h"
#include "market/constants.h"

namespace lorvex {

Error::Error(int status, std::string argument, const std::string& message)
    : std::runtime_error(argument.empty() ? message : argument + ": " + message),
      status_(status),
      argument_(std::move(argument)),
      message_(message) {}

std::string_view status_text(int code) noexcept {
  switch (code) {
    case status::kOk:
      return "success";
    case -1:
      return "the curve's row bounds are unreadable, or the tree could not be built (its limits, or memory)";
    case -2:
      return "an element of the curve array is unreadable, or the swap schedule was rejected";
    case -3:
      return "the cap schedule was rejected";
    case -4:
      return "the curve array, or a display array, holds no array";
    case -5:
      return "the curve array, or a display array, is not two-dimensional";
    case -6:
      return "a display array's bounds are unreadable";
    case -7:
      return "a display array is below its minimum size";
    case -8:
      return "a display array rejected a write";
    case -9:
      return "an argument is outside what the calculation accepts";
    default:
      return "unknown status";
  }
}

namespace api {

void Refuse(int code, const char* argument, const std::string& message) {
  throw Error(code, argument, message);
}

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

void RequireFinite(const char* argument, double value) {
  if (!std::isfinite(value)) Refuse(status::kBadArgument, argument, Num(value) + " is not a finite number");
}

void RefuseValuation(int serial) {
  Refuse(status::kBadArgument, "valuation",
         "serial " + std::to_string(serial) + " is outside years 1 to 9999 (serials " +
             std::to_string(kFirstCalendarJdn - kSerialToJdn) + ".." +
             std::to_string(kLastCalendarJdn - kSerialToJdn) + ")");
}

void RefuseDate(const char* argument, double years) {
  RequireFinite(argument, years);
  Refuse(status::kBadArgument, argument, Num(years) + " years puts the date outside years 1 to 9999");
}

int DateAfterYears(const char* argument, int valuationJdn, double years) {
  RequireFinite(argument, years);
  int jdn = 0;
  if (!lorvex::DateAfterYears(valuationJdn, years, &jdn)) RefuseDate(argument, years);
  return jdn;
}

PeriodDays PeriodDates(int valuationSerial, const char* firstArgument, double firstYears, double maturityYears) {
  PeriodDays days{};
  days.valuation = ValuationJdn(valuationSerial);
  days.first = DateAfterYears(firstArgument, days.valuation, firstYears);
  days.end = DateAfterYears("maturity", days.valuation, maturityYears);
  return days;
}

void RefuseFrequency(int code, int frequency, const char* orElse) {
  Refuse(code, "frequency", std::to_string(frequency) + " payments a year is not one of 1, 2, 4 or 12" + orElse);
}

void RefuseNegative(const char* argument, double value) {
  Refuse(status::kBadArgument, argument, Num(value) + " is below 0");
}

void RefuseResult() {
  Refuse(status::kBadArgument, "", "the value is not a finite number (rates, amounts or times too large for a double)");
}

}  // namespace api

// ---- Dates ----------------------------------------------------------------

int serial_from_date(const Date& date) {
  static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > kMonthDays[date.month - 1] + (date.month == 2 && IsLeapYear(date.year) ? 1 : 0)) {
    api::Refuse(status::kBadArgument, "date",
                std::to_string(date.year) + "-" + std::to_string(date.month) + "-" +
                    std::to_string(date.day) + " is not a calendar date of years 1 to 9999");
  }
  return DateToJdn(date.day, date.month, date.year) - kSerialToJdn;
}

Date date_from_serial(int serial) {
  const long long jdn = static_cast<long long>(serial) + kSerialToJdn;
  if (jdn < kFirstCalendarJdn || jdn > kLastCalendarJdn) {
    api::Refuse(status::kBadArgument, "date", "serial " + std::to_string(serial) + " is outside years 1 to 9999");
  }
  const CalendarDate d = JdnToDate(static_cast<int>(jdn));
  return {d.year, d.month, d.day};
}

// ---- Curves ---------------------------------------------------------------

namespace {

// Points inserted in the order given, so a repeated x keeps its first y.
ZeroCurve Points(const char* argument, std::span<const double> xs, std::span<const double> ys, double shift) {
  if (xs.size() != ys.size()) {
    api::Refuse(status::kBadArgument, argument,
                std::to_string(xs.size()) + " dates against " + std::to_string(ys.size()) + " values");
  }
  std::vector<double> shifted(xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) {
      api::Refuse(status::kBadArgument, argument,
                  "point " + std::to_string(i + 1) + " (" + api::Num(xs[i]) + ", " + api::Num(ys[i]) +
                      ") is not a pair of finite numbers");
    }
    shifted[i] = xs[i] + shift;
  }
  ZeroCurve curve(static_cast<int>(xs.size()), shifted.data(), ys.data());
  if (curve.status() != 0) api::Refuse(status::kCurveBounds, argument, "out of memory");
  return curve;
}

std::vector<Point> PointsOf(const ZeroCurve& curve, double shift) {
  std::vector<Point> points;
  points.reserve(static_cast<std::size_t>(curve.Count()));
  for (const CurvePoint& p : curve) points.push_back({p.x - shift, p.y});
  return points;
}

}  // namespace

// Curves and dividends are values over their points: a copy is a deep copy.
#define LORVEX_POINTS_VALUE(Type)                                                             \
  Type::Type() : impl_(std::make_unique<Impl>()) {}                                          \
  Type::Type(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}                         \
  Type::Type(const Type& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}             \
  Type& Type::operator=(const Type& other) {                                                 \
    if (this != &other) *impl_ = *other.impl_;                                               \
    return *this;                                                                            \
  }                                                                                          \
  Type::Type(Type&&) noexcept = default;                                                     \
  Type& Type::operator=(Type&&) noexcept = default;                                          \
  Type::~Type() = default;                                                                   \
  std::size_t Type::size() const { return static_cast<std::size_t>(impl_->points.Count()); }
LORVEX_POINTS_VALUE(Curve)
LORVEX_POINTS_VALUE(Dividends)
#undef LORVEX_POINTS_VALUE

Curve::Curve(std::span<const double> dates, std::span<const double> rates)
    : impl_(std::make_unique<Impl>(Impl{Points("curve", dates, rates, kSerialToJdn)})) {}
Curve::Curve(std::initializer_list<double> dates, std::initializer_list<double> rates)
    : Curve(std::span<const double>(dates.begin(), dates.size()), std::span<const double>(rates.begin(), rates.size())) {}
Curve::Curve(std::span<const Date> dates, std::span<const double> rates) : impl_(std::make_unique<Impl>()) {
  std::vector<double> serials;
  serials.reserve(dates.size());
  for (const Date& d : dates) serials.push_back(serial_from_date(d));
  impl_->points = Points("curve", serials, rates, kSerialToJdn);
}
Curve Curve::flat(double rate) {
  const double date = 0.0;
  return Curve(std::span<const double>(&date, 1), std::span<const double>(&rate, 1));
}
double Curve::rate(double date) const { return impl_->points.Interpolate(date + kSerialToJdn); }
std::vector<Point> Curve::points() const { return PointsOf(impl_->points, kSerialToJdn); }

Dividends::Dividends(std::span<const double> times, std::span<const double> amounts)
    : impl_(std::make_unique<Impl>(Impl{Points("dividends", times, amounts, 0.0)})) {}
Dividends::Dividends(std::initializer_list<double> times, std::initializer_list<double> amounts)
    : Dividends(std::span<const double>(times.begin(), times.size()),
                std::span<const double>(amounts.begin(), amounts.size())) {}
std::vector<Point> Dividends::points() const { return PointsOf(impl_->points, 0.0); }

// ---- Words ----------------------------------------------------------------

namespace {

// The words of each choice, in the order of its enumerators.
template <class Choice>
struct Words;
#define LORVEX_WORDS(Choice, ...)                                                 \
  template <>                                                                    \
  struct Words<Choice> {                                                         \
    static constexpr std::pair<Choice, std::string_view> list[] = {__VA_ARGS__}; \
  };
LORVEX_WORDS(OptionType, {OptionType::Call, "call"}, {OptionType::Put, "put"})
LORVEX_WORDS(SwaptionType, {SwaptionType::Payer, "payer"}, {SwaptionType::Receiver, "receiver"})
LORVEX_WORDS(CapType, {CapType::Cap, "cap"}, {CapType::Floor, "floor"})
LORVEX_WORDS(Exercise, {Exercise::European, "european"}, {Exercise::American, "american"})
LORVEX_WORDS(StrikeQuote, {StrikeQuote::Clean, "clean"}, {StrikeQuote::Dirty, "dirty"})
LORVEX_WORDS(TreeKind, {TreeKind::Normal, "normal"}, {TreeKind::Lognormal, "lognormal"}, {TreeKind::Shape, "shape"})
LORVEX_WORDS(BarrierType, {BarrierType::UpIn, "up-in"}, {BarrierType::UpOut, "up-out"},
             {BarrierType::DownIn, "down-in"}, {BarrierType::DownOut, "down-out"})
LORVEX_WORDS(Payoff, {Payoff::Cash, "cash"}, {Payoff::Asset, "asset"})
#undef LORVEX_WORDS

template <class Choice>
std::string_view Word(Choice v) noexcept {
  for (const auto& [choice, word] : Words<Choice>::list) {
    if (choice == v) return word;
  }
  return "?";
}

}  // namespace

std::string_view to_string(OptionType v) noexcept { return Word(v); }
std::string_view to_string(SwaptionType v) noexcept { return Word(v); }
std::string_view to_string(CapType v) noexcept { return Word(v); }
std::string_view to_string(Exercise v) noexcept { return Word(v); }
std::string_view to_string(StrikeQuote v) noexcept { return Word(v); }
std::string_view to_string(TreeKind v) noexcept { return Word(v); }
std::string_view to_string(BarrierType v) noexcept { return Word(v); }
std::string_view to_string(Payoff v) noexcept { return Word(v); }

template <class Choice>
Choice from_string(std::string_view word, const std::string& argument) {
  std::string accepted;
  for (const auto& [choice, w] : Words<Choice>::list) {
    if (w == word) return choice;
    accepted += (accepted.empty() ? "" : ", ") + std::string(w);
  }
  throw Error(status::kBadArgument, argument, "'" + std::string(word) + "' is not one of " + accepted);
}

#define LORVEX_FROM_STRING(Choice) \
  template LORVEX_CXX_API Choice from_string<Choice>(std::string_view, const std::string&);
LORVEX_FROM_STRING(OptionType)
LORVEX_FROM_STRING(SwaptionType)
LORVEX_FROM_STRING(CapType)
LORVEX_FROM_STRING(Exercise)
LORVEX_FROM_STRING(StrikeQuote)
LORVEX_FROM_STRING(TreeKind)
LORVEX_FROM_STRING(BarrierType)
LORVEX_FROM_STRING(Payoff)
#undef LORVEX_FROM_STRING

// ---- The vocabulary at run time -------------------------------------------

const std::vector<Calculation>& calculations() {
#define LORVEX_NAME(field) #field,
#define LORVEX_ROW(name, Args, market, FIELDS) \
  {#name, Export(#name), std::string_view(#market) == "none" ? "" : #market, {FIELDS(LORVEX_NAME)}},
  static const auto Export = [](std::string_view name) -> std::string_view {
    static constexpr std::pair<std::string_view, std::string_view> kExports[] = {
        {"bond_price", "HW_BondPrice"},
        {"black_bond_option", "HW_BlackBondOption"},
        {"black_swaption", "HW_BlackSwapOption"},
        {"black_cap", "HW_BlackCap"},
        {"hw_bond_option", "HW_HullWhiteBondOption"},
        {"hw_swaption", "HW_HullWhiteSwapOption"},
        {"hw_cap", "HW_HullWhiteCap"},
        {"tree_bond_option", "HW_TreeBondOption"},
        {"tree_swaption", "HW_TreeSwapOption"},
        {"tree_cap", "HW_TreeCap"},
        {"bond_tree_rate_delta", "HW_BondTreeRateDelta"},
        {"cap_tree_rate_delta", "HW_CapTreeRateDelta"},
        {"tree_bond_display", "HW_TreeBondDisplay"},
        {"equity_option", "HW_TreeEquityOpt"},
        {"equity_tree_display", "HW_EquityTreeDisplay"},
        {"barrier", "HW_barrier_compute"},
        {"compound", "HW_compound_compute"},
        {"lookback", "HW_lookback_compute"},
        {"asian", "HW_avgopt_compute"},
        {"chooser", "HW_chooser_compute"},
        {"binary", "HW_binary_compute"}};
    for (const auto& [calculation, c] : kExports) {
      if (calculation == name) return c;
    }
    return {};
  };
  static const std::vector<Calculation> table = {LORVEX_CALCULATIONS(LORVEX_ROW)};
#undef LORVEX_ROW
#undef LORVEX_NAME
  return table;
}

}  // namespace lorvex
