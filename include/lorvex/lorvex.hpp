// Lorvex C++ API: every calculation of the library as a plain function.
//
// Values in, results out. Each calculation takes one struct of named terms
// (written with C++20 designated initialisers) and, for the interest-rate
// calculations, a Curve; it returns a double or a small result struct, or
// throws lorvex::Error naming the argument that was refused:
//
//   #include "lorvex/lorvex.hpp"
//   const lorvex::Curve curve({36526, 38353}, {0.045, 0.055});
//   double price = lorvex::bond_price(
//       {.valuation = 36526, .maturity = 2, .coupon = 0.06, .face = 100, .frequency = 2}, curve);
//
// Units, as in lorvex.h: dates are spreadsheet serial day numbers (36526 is
// 1 January 2000; serial_from_date converts a calendar date); times are in
// years from the valuation date, turned into whole days as 365 x years
// rounded half up; zero rates, yields and volatilities are decimals per
// year, rates continuously compounded on actual/365. The numbers are those
// of the HW_ exports of lorvex.h, which are thin adapters over these
// functions: a status the export returns is the status() of the Error
// thrown here.
//
// One vocabulary: a calculation and each of its arguments have one name,
// used alike by the C++ fields, the lorvex command's options (with dashes),
// the Python keyword arguments and the columns of a book file. The full
// list is LORVEX_CALCULATIONS below, and calculations() at run time.
//
// Every function is stateless and may run on any number of threads at once;
// the one object that remembers between calls, BondPricer, is one thread's.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "lorvex/terms.hpp"

#if defined(_WIN32)
#define LORVEX_CXX_API
#else
#define LORVEX_CXX_API __attribute__((visibility("default")))
#endif

namespace lorvex {

// ---- Errors ---------------------------------------------------------------

// The one exception of the API. status() is the code the matching C export
// returns (lorvex.h: -1 tree build or memory budget, -2 swap schedule, -3 cap
// schedule, -9 an argument outside what the calculation accepts, ...);
// argument() the name of the refused argument as in LORVEX_CALCULATIONS
// ("steps", "frequency", "curve"), empty when no single argument is at
// fault (a value that overflows); what() is "argument: message", the
// message saying what is accepted, e.g. "steps: 1 is outside 2..100000".
class LORVEX_CXX_API Error : public std::runtime_error {
 public:
  Error(int status, std::string argument, const std::string& message);
  int status() const noexcept { return status_; }
  const std::string& argument() const noexcept { return argument_; }
  // The message without the argument's name in front.
  const std::string& message() const noexcept { return message_; }

 private:
  int status_;
  std::string argument_;
  std::string message_;
};

// Status codes, the same numbers as the LORVEX_ constants of lorvex.h.
namespace status {
inline constexpr int kOk = 0;
inline constexpr int kCurveBounds = -1;
inline constexpr int kTreeBuild = -1;
inline constexpr int kCurveElement = -2;
inline constexpr int kSwapSchedule = -2;
inline constexpr int kCapSchedule = -3;
inline constexpr int kCurveAbsent = -4;
inline constexpr int kCurveDimensions = -5;
inline constexpr int kDisplayAbsent = -4;
inline constexpr int kDisplayDimensions = -5;
inline constexpr int kDisplayBounds = -6;
inline constexpr int kDisplayTooSmall = -7;
inline constexpr int kDisplayWrite = -8;
inline constexpr int kBadArgument = -9;
}  // namespace status

// One line saying what a status means, whichever calculation returned it
// (codes with several meanings list them all).
LORVEX_CXX_API std::string_view status_text(int status) noexcept;

// ---- Dates ----------------------------------------------------------------

struct Date {
  int year;
  int month;  // 1 .. 12
  int day;    // 1 .. 31
};

// Serial day number of a proleptic Gregorian date of years 1 to 9999
// (1 January 2000 is 36526). Throws Error(-9, "date") for a date that does
// not exist.
LORVEX_CXX_API int serial_from_date(const Date& date);
// The calendar date of a serial; throws Error(-9, "date") outside years 1
// to 9999.
LORVEX_CXX_API Date date_from_serial(int serial);

// ---- Market data ----------------------------------------------------------

// One (x, y) point: a curve's (serial date, zero rate) or a dividend's
// (time in years, cash amount).
struct Point {
  double x;
  double y;
};

// A zero curve: (date, zero rate) points, rates continuously compounded on
// actual/365. Read as the curve array of the exports is: points in any
// order are sorted by date, a repeated date keeps the first rate given,
// rates are linear in the date between points and flat beyond the first and
// last, and an empty curve reads 0 everywhere. A copy is a deep copy.
class LORVEX_CXX_API Curve {
 public:
  Curve();
  // Dates as serials (a fraction is kept) and rates, pairwise. Throws
  // Error(-9, "curve") when the lengths differ or a number is not finite.
  Curve(std::span<const double> dates, std::span<const double> rates);
  Curve(std::initializer_list<double> dates, std::initializer_list<double> rates);
  // Dates as calendar dates.
  Curve(std::span<const Date> dates, std::span<const double> rates);
  // One rate at every date.
  static Curve flat(double rate);

  Curve(const Curve& other);
  Curve& operator=(const Curve& other);
  Curve(Curve&&) noexcept;
  Curve& operator=(Curve&&) noexcept;
  ~Curve();

  // The zero rate at a serial date (interpolated as above).
  double rate(double date) const;
  // The points in ascending date order, dates as serials.
  std::vector<Point> points() const;
  std::size_t size() const;

  struct Impl;
  const Impl& impl() const { return *impl_; }
  explicit Curve(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> impl_;
};

// Cash dividends of a stock: (time in years from today, amount) points,
// read with the curve's rules (sorted, first amount for a repeated time).
class LORVEX_CXX_API Dividends {
 public:
  Dividends();
  // Throws Error(-9, "dividends") when the lengths differ or a number is
  // not finite.
  Dividends(std::span<const double> times, std::span<const double> amounts);
  Dividends(std::initializer_list<double> times, std::initializer_list<double> amounts);

  Dividends(const Dividends& other);
  Dividends& operator=(const Dividends& other);
  Dividends(Dividends&&) noexcept;
  Dividends& operator=(Dividends&&) noexcept;
  ~Dividends();

  std::vector<Point> points() const;
  std::size_t size() const;

  struct Impl;
  const Impl& impl() const { return *impl_; }
  explicit Dividends(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> impl_;
};

// ---- Choices --------------------------------------------------------------

// OptionType, SwaptionType, CapType, Exercise, StrikeQuote, TreeKind,
// BarrierType and Payoff: lorvex/terms.hpp, shared with the pricers.

// Limits on a Hull-White tree, checked from its size estimate before
// anything large is built; a tree beyond either is refused with
// Error(-1, "tree") naming the estimate and the budget. work_nodes counts
// node-maturities (one zero yield rolled back a step at a node; a node
// built and fitted weighs 18, 39 on lognormal and shape trees, and a bond
// priced off a node's curve 8 per flow there); 0 keeps the library's
// default of 1.6e9, at most about 2 seconds for the slowest kind of tree
// call on a 2-core machine. Raise it explicitly for larger trees.
struct TreeLimits {
  double memory_bytes = 2147483648.0;  // 2 GiB
  double work_nodes = 0.0;
};

// ---- Argument structs -----------------------------------------------------
//
// Fields are named as the arguments everywhere else. Shared meanings:
//   valuation       valuation date, serial
//   maturity        years to the instrument's last payment (bond, swap, cap)
//   expiry          years to the option's expiry (a swaption's swap starts then)
//   start           years to the first reset of a cap
//   coupon          bond's annual coupon rate
//   face, notional  bond's face; swap's or cap's notional
//   frequency       payments a year: 1, 2, 4 or 12
//   strike          strike price (bond options: in the face's units)
//   volatility      Black: the forward's proportional volatility (bond
//                   options: the yield's); Hull-White: absolute short-rate
//                   volatility (0.01 = 100 bp); stocks: per square-root year
//   mean_reversion  Hull-White speed a per year
//   option          call/put, payer/receiver or cap/floor
//   steps           tree steps (see each calculation)
//   tree            the Hull-White tree's volatility form

struct BondPriceArgs {
  int valuation = 0;
  double maturity = 0.0;
  double coupon = 0.0;
  double face = 100.0;
  int frequency = 2;
};

struct BlackBondOptionArgs {
  int valuation = 0;
  double maturity = 0.0;
  double coupon = 0.0;
  double face = 100.0;
  int frequency = 2;
  double expiry = 0.0;
  double strike = 0.0;
  double volatility = 0.0;  // of the bond's forward yield
  OptionType option = OptionType::Call;
  StrikeQuote strike_quote = StrikeQuote::Clean;
};

struct BlackSwaptionArgs {
  int valuation = 0;
  double expiry = 0.0;
  double maturity = 0.0;
  double fixed_rate = 0.0;
  double notional = 100.0;
  int frequency = 2;
  double volatility = 0.0;  // of the forward swap rate
  SwaptionType option = SwaptionType::Payer;
};

struct BlackCapArgs {
  int valuation = 0;
  double start = 0.0;
  double maturity = 0.0;
  double cap_rate = 0.0;
  double notional = 100.0;
  int frequency = 4;
  double volatility = 0.0;  // of every caplet's forward rate
  CapType option = CapType::Cap;
};

struct HwBondOptionArgs {
  int valuation = 0;
  double maturity = 0.0;
  double coupon = 0.0;
  double face = 100.0;
  int frequency = 2;
  double expiry = 0.0;
  double strike = 0.0;
  double volatility = 0.0;
  double mean_reversion = 0.0;
  OptionType option = OptionType::Call;
  StrikeQuote strike_quote = StrikeQuote::Clean;
};

struct HwSwaptionArgs {
  int valuation = 0;
  double expiry = 0.0;
  double maturity = 0.0;
  double fixed_rate = 0.0;
  double notional = 100.0;
  int frequency = 2;
  double volatility = 0.0;
  double mean_reversion = 0.0;
  SwaptionType option = SwaptionType::Payer;
};

struct HwCapArgs {
  int valuation = 0;
  double start = 0.0;
  double maturity = 0.0;
  double cap_rate = 0.0;
  double notional = 100.0;
  int frequency = 4;
  double volatility = 0.0;
  double mean_reversion = 0.0;
  CapType option = CapType::Cap;
};

// steps: equal steps from the valuation date to the expiry (the display
// uses at most 10).
struct TreeBondOptionArgs {
  int valuation = 0;
  double maturity = 0.0;
  double coupon = 0.0;
  double face = 100.0;
  int frequency = 2;
  double expiry = 0.0;
  double strike = 0.0;
  OptionType option = OptionType::Call;
  Exercise exercise = Exercise::European;
  StrikeQuote strike_quote = StrikeQuote::Clean;
  double volatility = 0.0;
  double mean_reversion = 0.0;
  int steps = 0;
  TreeKind tree = TreeKind::Normal;
  TreeLimits limits = {};
};

// The right, at expiry, to enter a swap running to maturity.
// steps_per_year: steps a year up to the expiry.
struct TreeSwaptionArgs {
  int valuation = 0;
  double expiry = 0.0;
  double maturity = 0.0;
  double fixed_rate = 0.0;
  double notional = 100.0;
  int frequency = 2;
  SwaptionType option = SwaptionType::Payer;
  double volatility = 0.0;
  double mean_reversion = 0.0;
  int steps_per_year = 0;
  TreeKind tree = TreeKind::Normal;
  TreeLimits limits = {};
};

// step_parameter: the tree takes step_parameter / start steps a year,
// rounded and kept within 1 to 20 (a start of 0 gives 1).
struct TreeCapArgs {
  int valuation = 0;
  double start = 0.0;
  double maturity = 0.0;
  double cap_rate = 0.0;
  double notional = 100.0;
  int frequency = 4;
  CapType option = CapType::Cap;
  double volatility = 0.0;
  double mean_reversion = 0.0;
  int step_parameter = 0;
  TreeKind tree = TreeKind::Normal;
  TreeLimits limits = {};
};

// The tree of tree_bond_option without its bond: equal steps to expiry,
// running to maturity.
struct BondTreeRateDeltaArgs {
  int valuation = 0;
  double maturity = 0.0;
  double expiry = 0.0;
  double volatility = 0.0;
  double mean_reversion = 0.0;
  int steps = 0;
  TreeKind tree = TreeKind::Normal;
  TreeLimits limits = {};
};

// The tree of a cap from start to maturity; here the steps a year are
// step_parameter / maturity, rounded, within 1 to 20.
struct CapTreeRateDeltaArgs {
  int valuation = 0;
  double start = 0.0;
  double maturity = 0.0;
  int frequency = 4;
  double volatility = 0.0;
  double mean_reversion = 0.0;
  int step_parameter = 0;
  TreeKind tree = TreeKind::Normal;
  TreeLimits limits = {};
};

// Stock option on a Cox-Ross-Rubinstein tree of `steps` steps (2 to
// 100,000); with use_dividends each node also carries the present value of
// the cash dividends within `expiry` years after its time.
struct EquityOptionArgs {
  double spot = 0.0;
  double strike = 0.0;
  double rate = 0.0;
  double expiry = 0.0;
  double dividend_yield = 0.0;
  double volatility = 0.0;
  int steps = 0;
  Exercise exercise = Exercise::European;
  OptionType option = OptionType::Call;
  bool use_dividends = true;
};

// The closed-form exotics take no curve: rate and dividend_yield are
// continuous per year, expiry in years.
struct BarrierArgs {
  double spot = 0.0;
  double strike = 0.0;
  double rate = 0.0;
  double expiry = 0.0;
  double dividend_yield = 0.0;
  double barrier = 0.0;  // the barrier level, watched continuously
  double volatility = 0.0;
  BarrierType barrier_type = BarrierType::DownOut;
  OptionType option = OptionType::Call;
};

// At expiry the holder may buy (option call) or sell (put) for strike the
// underlying option (underlying call or put, struck at underlying_strike,
// expiring at underlying_expiry).
struct CompoundArgs {
  double spot = 0.0;
  double strike = 0.0;
  double underlying_strike = 0.0;
  double rate = 0.0;
  double dividend_yield = 0.0;
  double volatility = 0.0;
  double expiry = 0.0;
  double underlying_expiry = 0.0;
  OptionType underlying = OptionType::Call;
  OptionType option = OptionType::Call;
};

// Floating strike: the call pays S(T) less the lowest price (observed_min
// so far), the put the highest (observed_max so far) less S(T).
struct LookbackArgs {
  double spot = 0.0;
  double rate = 0.0;
  double dividend_yield = 0.0;
  double volatility = 0.0;
  double expiry = 0.0;
  double observed_max = 0.0;
  double observed_min = 0.0;
  OptionType option = OptionType::Call;
};

// Arithmetic average price: `elapsed` years already averaged at
// observed_average, `expiry` years to run.
struct AsianArgs {
  double spot = 0.0;
  double strike = 0.0;
  double rate = 0.0;
  double dividend_yield = 0.0;
  double volatility = 0.0;
  double expiry = 0.0;
  double observed_average = 0.0;
  double elapsed = 0.0;
  OptionType option = OptionType::Call;
};

// At choose_at years the holder picks the call or the put, both struck at
// strike and expiring at expiry.
struct ChooserArgs {
  double spot = 0.0;
  double strike = 0.0;
  double rate = 0.0;
  double dividend_yield = 0.0;
  double volatility = 0.0;
  double expiry = 0.0;
  double choose_at = 0.0;
};

struct BinaryArgs {
  double spot = 0.0;
  double strike = 0.0;
  double rate = 0.0;
  double dividend_yield = 0.0;
  double volatility = 0.0;
  double expiry = 0.0;
  double cash = 0.0;  // paid by a cash-or-nothing option
  Payoff payoff = Payoff::Cash;
  OptionType option = OptionType::Call;
};

// ---- Results --------------------------------------------------------------

struct EquityResult {
  double value;  // option value today
  double delta;  // dV/dS
  double gamma;  // d2V/dS2
  double theta;  // per calendar day
};

// The tree of a bond option for drawing, on at most 10 steps. It owns the
// tree; the accessors read it.
class LORVEX_CXX_API TreeBondDisplay {
 public:
  struct Level {
    double time;     // years from the valuation date
    double accrued;  // the bond's accrued interest at the level's date
    int nodes;
  };
  struct Node {
    double value;       // option value
    double bond_price;  // the bond's dirty price off the node's curve
    double exercise;    // 1 exercised, -1 held
    double rate;        // one-step short rate
  };
  struct Branch {
    double up, middle, down;
  };

  int level_count() const;  // expiry level + 1
  Level level(int i) const;
  // Node j (lowest rate first) of level i.
  Node node(int i, int j) const;
  // Branching of node j of the level before the expiry (level_count() - 2).
  Branch branch(int j) const;

  TreeBondDisplay(TreeBondDisplay&&) noexcept;
  TreeBondDisplay& operator=(TreeBondDisplay&&) noexcept;
  ~TreeBondDisplay();
  struct Impl;
  explicit TreeBondDisplay(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> impl_;
};

// The whole stock tree of equity_option, for drawing (at most 256 MiB of
// tree, about 5,600 steps).
class LORVEX_CXX_API EquityTreeDisplay {
 public:
  struct Node {
    double value;  // option value
    double price;  // stock price, dividends included
    bool exercised;
  };
  struct Lattice {
    double dt;             // years per step
    double discount;       // exp(-r dt)
    double growth;         // exp((r - q) dt)
    double up_probability;
    double up;             // up factor
    double down;           // down factor
  };

  int steps() const;
  double level_time(int k) const;  // k dt
  // Node m (0 = lowest price) of level k, 0 <= m <= k <= steps().
  Node node(int k, int m) const;
  Lattice lattice() const;

  EquityTreeDisplay(EquityTreeDisplay&&) noexcept;
  EquityTreeDisplay& operator=(EquityTreeDisplay&&) noexcept;
  ~EquityTreeDisplay();
  struct Impl;
  explicit EquityTreeDisplay(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> impl_;
};

// ---- Calculations ---------------------------------------------------------

// Clean price of a coupon bond, in the face's units. A frequency other than
// 1, 2, 4 or 12 lays no coupons: the bond is worth 0.
LORVEX_CXX_API double bond_price(const BondPriceArgs& args, const Curve& curve);

// bond_price for many bonds on one curve from one valuation date. The
// pricer remembers the discount factor of each day a bond paid on and the
// payment dates of each maturity and frequency, so a bond whose days or
// dates were seen before skips the curve, the exp and the calendar. Prices
// and refusals are bond_price's to the last bit; a bond of another valuation
// date is priced by bond_price itself. It keeps a copy of the curve and
// what it remembers, up to 100 years after the valuation date and about
// 3.5 MB (beyond, bonds are priced as bond_price prices them). Not
// thread-safe, as a call may add to what it remembers: one pricer per
// thread.
//
//   lorvex::BondPricer price(curve, 36526);
//   for (const lorvex::BondPriceArgs& bond : bonds) total += price(bond);
class LORVEX_CXX_API BondPricer {
 public:
  BondPricer(const Curve& curve, int valuation);
  double operator()(const BondPriceArgs& args);
  int valuation() const;

  BondPricer(BondPricer&&) noexcept;
  BondPricer& operator=(BondPricer&&) noexcept;
  ~BondPricer();
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Black's model.
LORVEX_CXX_API double black_bond_option(const BlackBondOptionArgs& args, const Curve& curve);
LORVEX_CXX_API double black_swaption(const BlackSwaptionArgs& args, const Curve& curve);
LORVEX_CXX_API double black_cap(const BlackCapArgs& args, const Curve& curve);

// Hull-White in closed form.
LORVEX_CXX_API double hw_bond_option(const HwBondOptionArgs& args, const Curve& curve);
LORVEX_CXX_API double hw_swaption(const HwSwaptionArgs& args, const Curve& curve);
LORVEX_CXX_API double hw_cap(const HwCapArgs& args, const Curve& curve);

// Hull-White trinomial tree.
LORVEX_CXX_API double tree_bond_option(const TreeBondOptionArgs& args, const Curve& curve);
LORVEX_CXX_API double tree_swaption(const TreeSwaptionArgs& args, const Curve& curve);
LORVEX_CXX_API double tree_cap(const TreeCapArgs& args, const Curve& curve);
// Short-rate spacing one step after the valuation date: rate of node 2
// less rate of node 1.
LORVEX_CXX_API double bond_tree_rate_delta(const BondTreeRateDeltaArgs& args, const Curve& curve);
LORVEX_CXX_API double cap_tree_rate_delta(const CapTreeRateDeltaArgs& args, const Curve& curve);
// tree_bond_option's tree on at most 10 steps (more are lowered to 10).
LORVEX_CXX_API TreeBondDisplay tree_bond_display(const TreeBondOptionArgs& args, const Curve& curve);

// Binomial stock tree.
LORVEX_CXX_API EquityResult equity_option(const EquityOptionArgs& args,
                                          const Dividends& dividends = Dividends());
LORVEX_CXX_API EquityTreeDisplay equity_tree_display(const EquityOptionArgs& args,
                                                     const Dividends& dividends = Dividends());

// Closed-form exotics.
LORVEX_CXX_API double barrier(const BarrierArgs& args);
LORVEX_CXX_API double compound(const CompoundArgs& args);
LORVEX_CXX_API double lookback(const LookbackArgs& args);
LORVEX_CXX_API double asian(const AsianArgs& args);
LORVEX_CXX_API double chooser(const ChooserArgs& args);
LORVEX_CXX_API double binary(const BinaryArgs& args);

// ---- The vocabulary as data -----------------------------------------------
//
// X(function, Args struct, market argument, FIELDS) per calculation, and
// FIELDS(F) calls F(field) for each field of the struct in order; the market
// argument (curve, dividends or none) comes after the struct. Front ends
// generate their bindings from these lists, so a name exists once.

#define LORVEX_BOND_PRICE_FIELDS(F) F(valuation) F(maturity) F(coupon) F(face) F(frequency)
#define LORVEX_BLACK_BOND_OPTION_FIELDS(F)                                                      \
  F(valuation) F(maturity) F(coupon) F(face) F(frequency) F(expiry) F(strike) F(volatility) \
  F(option) F(strike_quote)
#define LORVEX_BLACK_SWAPTION_FIELDS(F) \
  F(valuation) F(expiry) F(maturity) F(fixed_rate) F(notional) F(frequency) F(volatility) F(option)
#define LORVEX_BLACK_CAP_FIELDS(F) \
  F(valuation) F(start) F(maturity) F(cap_rate) F(notional) F(frequency) F(volatility) F(option)
#define LORVEX_HW_BOND_OPTION_FIELDS(F)                                                         \
  F(valuation) F(maturity) F(coupon) F(face) F(frequency) F(expiry) F(strike) F(volatility) \
  F(mean_reversion) F(option) F(strike_quote)
#define LORVEX_HW_SWAPTION_FIELDS(F)                                                               \
  F(valuation) F(expiry) F(maturity) F(fixed_rate) F(notional) F(frequency) F(volatility) \
  F(mean_reversion) F(option)
#define LORVEX_HW_CAP_FIELDS(F)                                                                  \
  F(valuation) F(start) F(maturity) F(cap_rate) F(notional) F(frequency) F(volatility) \
  F(mean_reversion) F(option)
#define LORVEX_TREE_BOND_OPTION_FIELDS(F)                                                       \
  F(valuation) F(maturity) F(coupon) F(face) F(frequency) F(expiry) F(strike) F(option)     \
  F(exercise) F(strike_quote) F(volatility) F(mean_reversion) F(steps) F(tree) F(limits)
#define LORVEX_TREE_SWAPTION_FIELDS(F)                                                         \
  F(valuation) F(expiry) F(maturity) F(fixed_rate) F(notional) F(frequency) F(option)     \
  F(volatility) F(mean_reversion) F(steps_per_year) F(tree) F(limits)
#define LORVEX_TREE_CAP_FIELDS(F)                                                           \
  F(valuation) F(start) F(maturity) F(cap_rate) F(notional) F(frequency) F(option)     \
  F(volatility) F(mean_reversion) F(step_parameter) F(tree) F(limits)
#define LORVEX_BOND_TREE_RATE_DELTA_FIELDS(F) \
  F(valuation) F(maturity) F(expiry) F(volatility) F(mean_reversion) F(steps) F(tree) F(limits)
#define LORVEX_CAP_TREE_RATE_DELTA_FIELDS(F)                                                 \
  F(valuation) F(start) F(maturity) F(frequency) F(volatility) F(mean_reversion)        \
  F(step_parameter) F(tree) F(limits)
#define LORVEX_EQUITY_OPTION_FIELDS(F)                                                         \
  F(spot) F(strike) F(rate) F(expiry) F(dividend_yield) F(volatility) F(steps) F(exercise) \
  F(option) F(use_dividends)
#define LORVEX_BARRIER_FIELDS(F)                                                               \
  F(spot) F(strike) F(rate) F(expiry) F(dividend_yield) F(barrier) F(volatility)           \
  F(barrier_type) F(option)
#define LORVEX_COMPOUND_FIELDS(F)                                                              \
  F(spot) F(strike) F(underlying_strike) F(rate) F(dividend_yield) F(volatility) F(expiry) \
  F(underlying_expiry) F(underlying) F(option)
#define LORVEX_LOOKBACK_FIELDS(F)                                                          \
  F(spot) F(rate) F(dividend_yield) F(volatility) F(expiry) F(observed_max) F(observed_min) \
  F(option)
#define LORVEX_ASIAN_FIELDS(F)                                                                  \
  F(spot) F(strike) F(rate) F(dividend_yield) F(volatility) F(expiry) F(observed_average)   \
  F(elapsed) F(option)
#define LORVEX_CHOOSER_FIELDS(F) \
  F(spot) F(strike) F(rate) F(dividend_yield) F(volatility) F(expiry) F(choose_at)
#define LORVEX_BINARY_FIELDS(F) \
  F(spot) F(strike) F(rate) F(dividend_yield) F(volatility) F(expiry) F(cash) F(payoff) F(option)

// The instruments priced on a zero curve, and the closed-form exotics: with
// equity_option, the calculations that value a trade (a book's types).
#define LORVEX_RATE_INSTRUMENT_CALCULATIONS(X)                                                  \
  X(bond_price, BondPriceArgs, curve, LORVEX_BOND_PRICE_FIELDS)                                \
  X(black_bond_option, BlackBondOptionArgs, curve, LORVEX_BLACK_BOND_OPTION_FIELDS)            \
  X(black_swaption, BlackSwaptionArgs, curve, LORVEX_BLACK_SWAPTION_FIELDS)                    \
  X(black_cap, BlackCapArgs, curve, LORVEX_BLACK_CAP_FIELDS)                                   \
  X(hw_bond_option, HwBondOptionArgs, curve, LORVEX_HW_BOND_OPTION_FIELDS)                     \
  X(hw_swaption, HwSwaptionArgs, curve, LORVEX_HW_SWAPTION_FIELDS)                             \
  X(hw_cap, HwCapArgs, curve, LORVEX_HW_CAP_FIELDS)                                            \
  X(tree_bond_option, TreeBondOptionArgs, curve, LORVEX_TREE_BOND_OPTION_FIELDS)               \
  X(tree_swaption, TreeSwaptionArgs, curve, LORVEX_TREE_SWAPTION_FIELDS)                       \
  X(tree_cap, TreeCapArgs, curve, LORVEX_TREE_CAP_FIELDS)
#define LORVEX_EXOTIC_CALCULATIONS(X)                                                           \
  X(barrier, BarrierArgs, none, LORVEX_BARRIER_FIELDS)                                         \
  X(compound, CompoundArgs, none, LORVEX_COMPOUND_FIELDS)                                      \
  X(lookback, LookbackArgs, none, LORVEX_LOOKBACK_FIELDS)                                      \
  X(asian, AsianArgs, none, LORVEX_ASIAN_FIELDS)                                               \
  X(chooser, ChooserArgs, none, LORVEX_CHOOSER_FIELDS)                                         \
  X(binary, BinaryArgs, none, LORVEX_BINARY_FIELDS)

#define LORVEX_CALCULATIONS(X)                                                                 \
  LORVEX_RATE_INSTRUMENT_CALCULATIONS(X)                                                       \
  X(bond_tree_rate_delta, BondTreeRateDeltaArgs, curve, LORVEX_BOND_TREE_RATE_DELTA_FIELDS)    \
  X(cap_tree_rate_delta, CapTreeRateDeltaArgs, curve, LORVEX_CAP_TREE_RATE_DELTA_FIELDS)       \
  X(tree_bond_display, TreeBondOptionArgs, curve, LORVEX_TREE_BOND_OPTION_FIELDS)              \
  X(equity_option, EquityOptionArgs, dividends, LORVEX_EQUITY_OPTION_FIELDS)                   \
  X(equity_tree_display, EquityOptionArgs, dividends, LORVEX_EQUITY_OPTION_FIELDS)             \
  LORVEX_EXOTIC_CALCULATIONS(X)

// The same list at run time: each calculation's name, the C export it
// backs, its market argument ("curve", "dividends" or "") and its argument
// names in order.
struct Calculation {
  std::string_view name;
  std::string_view c_export;
  std::string_view market;
  std::vector<std::string_view> arguments;
};
LORVEX_CXX_API const std::vector<Calculation>& calculations();

// The words of the choices, as the command, Python and book files spell
// them ("call", "put", "payer", "receiver", "cap", "floor", "european",
// "american", "clean", "dirty", "normal", "lognormal", "shape", "up-in",
// "up-out", "down-in", "down-out", "cash", "asset").
LORVEX_CXX_API std::string_view to_string(OptionType v) noexcept;
LORVEX_CXX_API std::string_view to_string(SwaptionType v) noexcept;
LORVEX_CXX_API std::string_view to_string(CapType v) noexcept;
LORVEX_CXX_API std::string_view to_string(Exercise v) noexcept;
LORVEX_CXX_API std::string_view to_string(StrikeQuote v) noexcept;
LORVEX_CXX_API std::string_view to_string(TreeKind v) noexcept;
LORVEX_CXX_API std::string_view to_string(BarrierType v) noexcept;
LORVEX_CXX_API std::string_view to_string(Payoff v) noexcept;

// The choice a word names, for OptionType, SwaptionType, CapType, Exercise,
// StrikeQuote, TreeKind, BarrierType and Payoff; throws Error(-9, argument)
// listing the accepted words for any other word.
template <class Choice>
Choice from_string(std::string_view word, const std::string& argument);

}  // namespace lorvex
