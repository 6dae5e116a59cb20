// Coupon bond, Black and Hull-White closed-form calculations: the argument
// checks, then the pricers of market/, black/ and hullwhite/.
#include "api/detail.h"
#include "black/black_bond_option.h"
#include "black/black_cap.h"
#include "black/black_swaption.h"
#include "hullwhite/cap.h"
#include "hullwhite/coupon_bond_option.h"
#include "market/bond_schedule.h"
#include "market/cap_schedule.h"
#include "market/swap_schedule.h"

namespace lorvex {
namespace api {

namespace {

[[noreturn]] void RefuseSchedule(int code, const char* what, int frequency) {
  Refuse(code, "frequency",
         std::to_string(frequency) + " payments a year is not one of 1, 2, 4 or 12, or the " + what +
             " has no period between its dates");
}

// The option on the bond's flows after expiry, shared by the bond option and
// the swaption once the bond is built and the dirty strike known.
double HwOptionOnBond(int valuation, int expiry, double dirtyStrike, bool isCall, const ZeroCurve& curve,
                      double sigma, double a, const BondSchedule& bond) {
  const CouponBondOptionResult option =
      HullWhiteCouponBondOption(valuation, expiry, dirtyStrike, isCall ? 0 : 1, curve, sigma, a, bond);
  if (option.status != 0) {
    Refuse(status::kBadArgument, "strike",
           "no short rate prices the bond at the dirty strike " + Num(dirtyStrike) +
               " (the search stopped after 100 Newton steps)");
  }
  return FiniteResult(option.value);
}

}  // namespace

double bond_price(const BondPriceArgs& a, const ZeroCurve& curve) {
  RequireFinite({{"maturity", a.maturity}, {"coupon", a.coupon}, {"face", a.face}});
  const int valuation = ValuationJdn(a.valuation);
  int start = 0;
  int maturity = 0;
  BondDates("maturity", valuation, a.maturity, &start, &maturity);
  // ForwardPrice(valuation, valuation) - AccruedInterest(valuation) of the
  // bond, without building it. A rejected frequency leaves an empty bond,
  // which prices to 0.
  return FiniteResult(BondCleanPrice(a.face, a.coupon, start, maturity, a.frequency, valuation, curve));
}

double black_bond_option(const BlackBondOptionArgs& a, const ZeroCurve& curve) {
  RequireFinite({{"maturity", a.maturity},
                 {"coupon", a.coupon},
                 {"face", a.face},
                 {"expiry", a.expiry},
                 {"strike", a.strike},
                 {"volatility", a.volatility}});
  const int valuation = ValuationJdn(a.valuation);
  int start = 0;
  int maturity = 0;
  BondDates("maturity", valuation, a.maturity, &start, &maturity);
  const int expiry = DateAfterYears("expiry", valuation, a.expiry);
  BondSchedule bond(a.face, a.coupon, start, maturity, a.frequency);
  // A clean strike excludes the interest accrued at expiry, which the buyer
  // of the bond pays on top.
  const double dirtyStrike =
      a.strike_quote == StrikeQuote::Clean ? a.strike + bond.AccruedInterest(expiry) : a.strike;
  return FiniteResult(
      BlackBondOption(valuation, expiry, dirtyStrike, a.volatility, a.option == OptionType::Put, curve, bond));
}

double black_swaption(const BlackSwaptionArgs& a, const ZeroCurve& curve) {
  RequireFinite({{"expiry", a.expiry},
                 {"maturity", a.maturity},
                 {"fixed_rate", a.fixed_rate},
                 {"notional", a.notional},
                 {"volatility", a.volatility}});
  const int valuation = ValuationJdn(a.valuation);
  const int expiry = DateAfterYears("expiry", valuation, a.expiry);
  const int end = DateAfterYears("maturity", valuation, a.maturity);
  const SwapSchedule swap(a.notional, a.fixed_rate, 0.0, expiry, end, a.frequency, a.frequency);
  if (swap.status() != 0) RefuseSchedule(status::kSwapSchedule, "swap", a.frequency);
  return FiniteResult(
      BlackSwaption(valuation, expiry, a.volatility, a.option == SwaptionType::Payer, curve, swap));
}

double black_cap(const BlackCapArgs& a, const ZeroCurve& curve) {
  RequireFinite({{"start", a.start},
                 {"maturity", a.maturity},
                 {"cap_rate", a.cap_rate},
                 {"notional", a.notional},
                 {"volatility", a.volatility}});
  const int valuation = ValuationJdn(a.valuation);
  const int start = DateAfterYears("start", valuation, a.start);
  const int end = DateAfterYears("maturity", valuation, a.maturity);
  // The volatility travels with every caplet as its third value.
  const CapSchedule cap(a.notional, a.cap_rate, start, end, a.frequency, a.volatility);
  if (cap.status() != 0) RefuseSchedule(status::kCapSchedule, "cap", a.frequency);
  return FiniteResult(BlackCapFloor(valuation, a.volatility, a.option == CapType::Floor, curve, cap));
}

double hw_bond_option(const HwBondOptionArgs& a, const ZeroCurve& curve) {
  RequireFinite({{"maturity", a.maturity},
                 {"coupon", a.coupon},
                 {"face", a.face},
                 {"expiry", a.expiry},
                 {"strike", a.strike},
                 {"volatility", a.volatility},
                 {"mean_reversion", a.mean_reversion}});
  const int valuation = ValuationJdn(a.valuation);
  int start = 0;
  int maturity = 0;
  BondDates("maturity", valuation, a.maturity, &start, &maturity);
  const int expiry = DateAfterYears("expiry", valuation, a.expiry);
  // A rejected frequency leaves an empty bond: an option on nothing, 0.
  BondSchedule bond(a.face, a.coupon, start, maturity, a.frequency);
  double dirtyStrike = a.strike;
  if (a.strike_quote == StrikeQuote::Clean) dirtyStrike += bond.AccruedInterest(expiry);
  return HwOptionOnBond(valuation, expiry, dirtyStrike, a.option == OptionType::Call, curve, a.volatility,
                        a.mean_reversion, bond);
}

double hw_swaption(const HwSwaptionArgs& a, const ZeroCurve& curve) {
  RequireFinite({{"expiry", a.expiry},
                 {"maturity", a.maturity},
                 {"fixed_rate", a.fixed_rate},
                 {"notional", a.notional},
                 {"volatility", a.volatility},
                 {"mean_reversion", a.mean_reversion}});
  const int valuation = ValuationJdn(a.valuation);
  int start = 0;
  int maturity = 0;
  BondDates("maturity", valuation, a.maturity, &start, &maturity);
  const int expiry = DateAfterYears("expiry", valuation, a.expiry);
  // The fixed leg with the notional repaid at the end is a coupon bond;
  // entering the swap at expiry is worth that bond against par, so the
  // right to receive fixed is a call on the bond struck at par plus the
  // coupon accrued at expiry, and the right to pay fixed is the put.
  BondSchedule fixedLeg(a.notional, a.fixed_rate, start, maturity, a.frequency);
  const double dirtyStrike = a.notional + fixedLeg.AccruedInterest(expiry);
  return HwOptionOnBond(valuation, expiry, dirtyStrike, a.option == SwaptionType::Receiver, curve,
                        a.volatility, a.mean_reversion, fixedLeg);
}

double hw_cap(const HwCapArgs& a, const ZeroCurve& curve) {
  RequireFinite({{"start", a.start},
                 {"maturity", a.maturity},
                 {"cap_rate", a.cap_rate},
                 {"notional", a.notional},
                 {"volatility", a.volatility},
                 {"mean_reversion", a.mean_reversion}});
  const int valuation = ValuationJdn(a.valuation);
  const int start = DateAfterYears("start", valuation, a.start);
  const int end = DateAfterYears("maturity", valuation, a.maturity);
  const CapSchedule cap(a.notional, a.cap_rate, start, end, a.frequency, 0.0);
  if (cap.status() != 0) RefuseSchedule(status::kCapSchedule, "cap", a.frequency);
  return FiniteResult(HullWhiteCapValue(valuation, a.volatility, a.mean_reversion,
                                        a.option == CapType::Cap ? 0 : 1, curve, cap));
}

}  // namespace api

double bond_price(const BondPriceArgs& args, const Curve& curve) {
  return api::bond_price(args, curve.impl().points);
}
double black_bond_option(const BlackBondOptionArgs& args, const Curve& curve) {
  return api::black_bond_option(args, curve.impl().points);
}
double black_swaption(const BlackSwaptionArgs& args, const Curve& curve) {
  return api::black_swaption(args, curve.impl().points);
}
double black_cap(const BlackCapArgs& args, const Curve& curve) { return api::black_cap(args, curve.impl().points); }
double hw_bond_option(const HwBondOptionArgs& args, const Curve& curve) {
  return api::hw_bond_option(args, curve.impl().points);
}
double hw_swaption(const HwSwaptionArgs& args, const Curve& curve) {
  return api::hw_swaption(args, curve.impl().points);
}
double hw_cap(const HwCapArgs& args, const Curve& curve) { return api::hw_cap(args, curve.impl().points); }

}  // namespace lorvex
