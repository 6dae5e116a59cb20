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

constexpr char kCapWithoutPeriod[] = ", or the cap has no period between its dates";

// A clean strike excludes the interest accrued at expiry, which the buyer
// of the bond pays on top.
double DirtyStrike(double strike, StrikeQuote quote, const BondSchedule& bond, int expiry) {
  return quote == StrikeQuote::Clean ? strike + bond.AccruedInterest(expiry) : strike;
}

// The option on the bond's flows after expiry, shared by the bond option and
// the swaption once the bond is built and the dirty strike known.
double HwOptionOnBond(int valuation, int expiry, double dirtyStrike, OptionType type, const ZeroCurve& curve,
                      double sigma, double a, const BondSchedule& bond) {
  const CouponBondOptionResult option =
      HullWhiteCouponBondOption(valuation, expiry, dirtyStrike, type, curve, sigma, a, bond);
  if (option.status != 0) {
    Refuse(status::kBadArgument, "strike",
           "no short rate prices the bond at the dirty strike " + Num(dirtyStrike) +
               " (the search stopped after 100 Newton steps)");
  }
  return FiniteResult(option.value);
}

// The checks of a bond price, before its curve is read.
BondDays CheckedBondDates(const BondPriceArgs& a) {
  RequireFiniteArgs::bond_price(a);
  return BondDates(a.valuation, a.maturity);
}

}  // namespace

double bond_price(const BondPriceArgs& a, const ZeroCurve& curve) {
  const BondDays d = CheckedBondDates(a);
  // ForwardPrice(valuation, valuation) - AccruedInterest(valuation) of the
  // bond, without building it. A rejected frequency leaves an empty bond,
  // which prices to 0.
  return FiniteResult(BondCleanPrice(a.face, a.coupon, d.accrualStart, d.maturity, a.frequency, d.valuation, curve));
}

double bond_price(const BondPriceArgs& a, BondFlowTable& flows) {
  const BondDays d = CheckedBondDates(a);
  return FiniteResult(BondCleanPrice(a.face, a.coupon, d.accrualStart, d.maturity, a.frequency, flows));
}

double black_bond_option(const BlackBondOptionArgs& a, const ZeroCurve& curve) {
  RequireFiniteArgs::black_bond_option(a);
  const BondDays d = BondDates(a.valuation, a.maturity);
  const int expiry = DateAfterYears("expiry", d.valuation, a.expiry);
  BondSchedule bond(a.face, a.coupon, d.accrualStart, d.maturity, a.frequency);
  return FiniteResult(BlackBondOption(d.valuation, expiry, DirtyStrike(a.strike, a.strike_quote, bond, expiry),
                                      a.volatility, a.option, curve, bond));
}

double black_swaption(const BlackSwaptionArgs& a, const ZeroCurve& curve) {
  RequireFiniteArgs::black_swaption(a);
  const PeriodDays d = PeriodDates(a.valuation, "expiry", a.expiry, a.maturity);
  const SwapSchedule swap(a.notional, a.fixed_rate, 0.0, d.first, d.end, a.frequency, a.frequency);
  if (swap.status() != 0) {
    RefuseFrequency(status::kSwapSchedule, a.frequency, ", or the swap has no period between its dates");
  }
  return FiniteResult(BlackSwaption(d.valuation, d.first, a.volatility, OptionOnRate(a.option), curve, swap));
}

double black_cap(const BlackCapArgs& a, const ZeroCurve& curve) {
  RequireFiniteArgs::black_cap(a);
  const PeriodDays d = PeriodDates(a.valuation, "start", a.start, a.maturity);
  // The volatility travels with every caplet as its third value.
  const CapSchedule cap(a.notional, a.cap_rate, d.first, d.end, a.frequency, a.volatility);
  if (cap.status() != 0) RefuseFrequency(status::kCapSchedule, a.frequency, kCapWithoutPeriod);
  return FiniteResult(BlackCapFloor(d.valuation, a.volatility, OptionOnRate(a.option), curve, cap));
}

double hw_bond_option(const HwBondOptionArgs& a, const ZeroCurve& curve) {
  RequireFiniteArgs::hw_bond_option(a);
  const BondDays d = BondDates(a.valuation, a.maturity);
  const int expiry = DateAfterYears("expiry", d.valuation, a.expiry);
  // A rejected frequency leaves an empty bond: an option on nothing, 0.
  BondSchedule bond(a.face, a.coupon, d.accrualStart, d.maturity, a.frequency);
  return HwOptionOnBond(d.valuation, expiry, DirtyStrike(a.strike, a.strike_quote, bond, expiry), a.option, curve,
                        a.volatility, a.mean_reversion, bond);
}

double hw_swaption(const HwSwaptionArgs& a, const ZeroCurve& curve) {
  RequireFiniteArgs::hw_swaption(a);
  const BondDays d = BondDates(a.valuation, a.maturity);
  const int expiry = DateAfterYears("expiry", d.valuation, a.expiry);
  // The fixed leg with the notional repaid at the end is a coupon bond;
  // entering the swap at expiry is worth that bond against par, so the
  // right to receive fixed is a call on the bond struck at par plus the
  // coupon accrued at expiry, and the right to pay fixed is the put.
  BondSchedule fixedLeg(a.notional, a.fixed_rate, d.accrualStart, d.maturity, a.frequency);
  const double dirtyStrike = a.notional + fixedLeg.AccruedInterest(expiry);
  const OptionType onBond = a.option == SwaptionType::Receiver ? OptionType::Call : OptionType::Put;
  return HwOptionOnBond(d.valuation, expiry, dirtyStrike, onBond, curve, a.volatility, a.mean_reversion, fixedLeg);
}

double hw_cap(const HwCapArgs& a, const ZeroCurve& curve) {
  RequireFiniteArgs::hw_cap(a);
  const PeriodDays d = PeriodDates(a.valuation, "start", a.start, a.maturity);
  const CapSchedule cap(a.notional, a.cap_rate, d.first, d.end, a.frequency, 0.0);
  if (cap.status() != 0) RefuseFrequency(status::kCapSchedule, a.frequency, kCapWithoutPeriod);
  return FiniteResult(
      HullWhiteCapValue(d.valuation, a.volatility, a.mean_reversion, OptionOnRate(a.option), curve, cap));
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

namespace {

// A valuation serial outside the calendar has no Julian day; its table is
// never read, as every bond priced at it is refused first.
int TableValuation(int serial) {
  int jdn = 0;
  return ValuationJdn(serial, &jdn) ? jdn : 0;
}

}  // namespace

struct BondPricer::Impl {
  Impl(const ZeroCurve& market, int serial)
      : curve(market), valuation(serial), flows(curve, TableValuation(serial)) {}
  ZeroCurve curve;
  int valuation;        // serial
  BondFlowTable flows;  // reads `curve`, so declared after it
};

BondPricer::BondPricer(const Curve& curve, int valuation)
    : impl_(std::make_unique<Impl>(curve.impl().points, valuation)) {}
BondPricer::BondPricer(BondPricer&&) noexcept = default;
BondPricer& BondPricer::operator=(BondPricer&&) noexcept = default;
BondPricer::~BondPricer() = default;

int BondPricer::valuation() const { return impl_->valuation; }

double BondPricer::operator()(const BondPriceArgs& args) {
  Impl& p = *impl_;
  if (args.valuation != p.valuation) return api::bond_price(args, p.curve);
  return api::bond_price(args, p.flows);
}

}  // namespace lorvex
