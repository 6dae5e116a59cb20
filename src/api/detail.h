// The C++ API's implementation seen from inside the library: the private
// parts of its value types, the argument checks every calculation shares,
// and the calculations on internal curves with the exports' raw codes.
//
// The C exports call the functions of namespace lorvex::api directly: they
// take the curve the export read from its array, and the integer codes the
// exports accept where a code has more meanings than the public enum (a
// tree kind outside 0..2 builds the normal lattice but reads node rates as
// the other forms do; an underlying code other than 12 or 13 is a put whose
// critical price is always searched for; a barrier code outside 5..8 is
// refused). The public functions map their enums onto these codes.
#pragma once

#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "boundary/dates.h"
#include "equity/equity_tree.h"
#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.hpp"
#include "market/zero_curve.h"
#include "treepricing/bond_tree_setup.h"
#include "treepricing/tree_bond_option.h"

namespace lorvex {

class BondFlowTable;

struct Curve::Impl {
  ZeroCurve points;  // x: Julian day, y: zero rate
};

struct Dividends::Impl {
  ZeroCurve points;  // x: years, y: cash amount
};

struct TreeBondDisplay::Impl {
  Impl(const BondTreeTerms& terms, const ZeroCurve& market) : curve(market), setup(terms, curve) {}
  ZeroCurve curve;  // the caller's curve with the bond's dates added
  BondTreeSetup setup;
  HullWhiteTree tree;
  TreeNodeSlots slots;  // option value, dirty bond price, exercise flag per node
  double valuation = 0.0;
};

struct EquityTreeDisplay::Impl {
  Impl(const EquityOptionTerms& terms, const ZeroCurve& dividends) : tree(terms, dividends) {}
  EquityTree tree;
};

namespace api {

// ---- Checks: each throws Error naming the argument ---------------------

[[noreturn]] void Refuse(int status, const char* argument, const std::string& message);
// "%.10g" of a number, as messages print them.
std::string Num(double value);

void RequireFinite(const char* argument, double value);
// Every calculation first asks all the numbers of its arguments to be
// finite and refuses the first that is not, in the order of the struct's
// fields. One check per calculation, generated from its field list in
// LORVEX_CALCULATIONS so that it names the fields as the API does:
// RequireFiniteArgs::black_cap(args). Integers, choices and tree limits are
// checked where they are used. Inline, so a call that passes costs a
// comparison per number and no function call.
inline void RequireFiniteField(const char* argument, double value) {
  if (!std::isfinite(value)) RequireFinite(argument, value);
}
template <class NotANumber>
void RequireFiniteField(const char*, const NotANumber&) {}
struct RequireFiniteArgs {
#define LORVEX_FINITE_FIELD(field) RequireFiniteField(#field, args.field);
#define LORVEX_FINITE_ARGS(name, Args, market, FIELDS) \
  static void name(const Args& args) { FIELDS(LORVEX_FINITE_FIELD) }
  LORVEX_CALCULATIONS(LORVEX_FINITE_ARGS)
#undef LORVEX_FINITE_ARGS
#undef LORVEX_FINITE_FIELD
};

[[noreturn]] void RefuseNegative(const char* argument, double value);
// Refuses the first of the named values that is below 0.
using NamedValues = std::initializer_list<std::pair<const char*, double>>;
inline void RequireNotNegative(NamedValues arguments) {
  for (const auto& [name, value] : arguments) {
    if (value < 0.0) RefuseNegative(name, value);
  }
}
// The valuation serial as a Julian day, within years 1 to 9999. The checks
// of the dates are inline: a bond price costs tens of nanoseconds, and the
// refusals, out of line, are the rare path.
[[noreturn]] void RefuseValuation(int serial);
inline int ValuationJdn(int serial) {
  int jdn = 0;
  if (!lorvex::ValuationJdn(serial, &jdn)) RefuseValuation(serial);
  return jdn;
}
// `years` of `argument` is not finite, or puts the date outside the calendar.
[[noreturn]] void RefuseDate(const char* argument, double years);
// valuationJdn + whole days of `years`, within the calendar.
int DateAfterYears(const char* argument, int valuationJdn, double years);

// The Julian days of a calculation over a period: the valuation, the
// period's first day (`firstArgument` names its years: "start" or
// "expiry") and its last ("maturity"), checked in that order.
struct PeriodDays {
  int valuation;
  int first;
  int end;
};
PeriodDays PeriodDates(int valuationSerial, const char* firstArgument, double firstYears, double maturityYears);

// The Julian days of a coupon bond: the valuation, and the bond's accrual
// start and maturity ("maturity": the valuation day less the fraction of a
// year of the years, and plus the years).
struct BondDays {
  int valuation;
  int accrualStart;
  int maturity;
};
inline BondDays BondDates(int valuationSerial, double maturityYears) {
  BondDays days{};
  days.valuation = ValuationJdn(valuationSerial);
  if (!lorvex::BondDates(days.valuation, maturityYears, &days.accrualStart, &days.maturity)) {
    RefuseDate("maturity", maturityYears);
  }
  return days;
}

// A schedule refused for its frequency, with `status` (-2 swap, -3 cap):
// "N payments a year is not one of 1, 2, 4 or 12" and `orElse`, the
// schedule's other reason if it has one (", or ...").
[[noreturn]] void RefuseFrequency(int status, int frequency, const char* orElse);
// A priced value, refused when it is NaN or infinite.
[[noreturn]] void RefuseResult();
inline double FiniteResult(double value) {
  if (!std::isfinite(value)) RefuseResult();
  return value;
}

// ---- Calculations on internal curves, with the exports' codes ---------

double bond_price(const BondPriceArgs& args, const ZeroCurve& curve);
// The same price from the discount factors and payment dates `flows`
// remembers (a table seen from the Julian day of args.valuation).
double bond_price(const BondPriceArgs& args, BondFlowTable& flows);
double black_bond_option(const BlackBondOptionArgs& args, const ZeroCurve& curve);
double black_swaption(const BlackSwaptionArgs& args, const ZeroCurve& curve);
double black_cap(const BlackCapArgs& args, const ZeroCurve& curve);
double hw_bond_option(const HwBondOptionArgs& args, const ZeroCurve& curve);
double hw_swaption(const HwSwaptionArgs& args, const ZeroCurve& curve);
double hw_cap(const HwCapArgs& args, const ZeroCurve& curve);

// kind: 0 normal, 1 lognormal, 2 shape, others as said above.
double tree_bond_option(const TreeBondOptionArgs& args, int kind, const ZeroCurve& curve);
double tree_swaption(const TreeSwaptionArgs& args, int kind, const ZeroCurve& curve);
double tree_cap(const TreeCapArgs& args, int kind, const ZeroCurve& curve);
double bond_tree_rate_delta(const BondTreeRateDeltaArgs& args, int kind, const ZeroCurve& curve);
double cap_tree_rate_delta(const CapTreeRateDeltaArgs& args, int kind, const ZeroCurve& curve);
TreeBondDisplay tree_bond_display(const TreeBondOptionArgs& args, int kind, const ZeroCurve& curve);

EquityResult equity_option(const EquityOptionArgs& args, const ZeroCurve& dividends);
EquityTreeDisplay equity_tree_display(const EquityOptionArgs& args, const ZeroCurve& dividends);

// barrierType: 5 to 8 (LORVEX_UP_AND_IN .. LORVEX_DOWN_AND_OUT).
double barrier(const BarrierArgs& args, int barrierType);
// underlyingKind: 12 call, 13 put, any other a put always searched.
double compound(const CompoundArgs& args, int underlyingKind);
double lookback(const LookbackArgs& args);
double asian(const AsianArgs& args);
double chooser(const ChooserArgs& args);
double binary(const BinaryArgs& args);

}  // namespace api
}  // namespace lorvex
