// Stock options: the binomial tree with its Greeks and display, and the
// closed-form exotics. The argument checks, then the pricers of equity/ and
// exotics/.
#include <cmath>

#include "api/detail.h"
#include "equity/equity_lattice.h"
#include "equity/equity_option.h"
#include "exotics/average_price_option.h"
#include "exotics/barrier_option.h"
#include "exotics/binary_option.h"
#include "exotics/chooser_option.h"
#include "exotics/compound_option.h"
#include "exotics/exotic_inputs.h"
#include "exotics/lookback_option.h"

namespace lorvex {
namespace api {

namespace {

// Negative prices and volatilities (RequireNotNegative below) mostly end in
// the logarithm of a negative number, but not always: a negative volatility
// flips the sign of the diffusion terms and a structural zero (an up-and-out
// call struck above its barrier) ignores the spot, so both would pass with a
// meaningless number.

double ExoticResult(double value) {
  if (!std::isfinite(value)) {
    Refuse(status::kBadArgument, "",
           "the value is not a finite number (a volatility or time of 0 the formula divides by, or a price "
           "of 0 under a logarithm)");
  }
  return value;
}

EquityOptionTerms EquityTerms(const EquityOptionArgs& a) {
  RequireFiniteArgs::equity_option(a);
  // A stock price or a strike below 0 has no meaning; the exotics refuse
  // them too.
  RequireNotNegative({{"spot", a.spot}, {"strike", a.strike}});
  if (a.steps < 2 || a.steps > kMaxEquitySteps) {
    Refuse(status::kBadArgument, "steps",
           std::to_string(a.steps) + " is outside 2.." + std::to_string(kMaxEquitySteps));
  }
  if (!(a.expiry > 0.0)) Refuse(status::kBadArgument, "expiry", Num(a.expiry) + " is not above 0");
  if (!(a.volatility > 0.0)) Refuse(status::kBadArgument, "volatility", Num(a.volatility) + " is not above 0");
  const EquityOptionTerms terms{a.spot,       a.strike, a.rate,     a.expiry, a.dividend_yield,
                                a.volatility, a.steps,  a.exercise, a.option, a.use_dividends};
  if (!MakeEquityLattice(terms).Usable()) {
    Refuse(status::kBadArgument, "volatility",
           "the lattice's factors are not usable numbers: volatility x sqrt(expiry / steps) = " +
               Num(a.volatility * std::sqrt(a.expiry / a.steps)) +
               " gives equal up and down moves, or a rate overflows a step's growth");
  }
  return terms;
}

}  // namespace

EquityResult equity_option(const EquityOptionArgs& a, const ZeroCurve& dividends) {
  const EquityOptionTerms terms = EquityTerms(a);
  EquityGreeks g{};
  if (PriceEquityOption(terms, dividends, &g) != 0) Refuse(status::kTreeBuild, "", "out of memory");
  // Overflowing prices (a spot of 0 collapsing the gamma nodes, a lattice
  // reaching beyond the largest double) give no number to report.
  for (double v : {g.value, g.delta, g.gamma, g.theta}) FiniteResult(v);
  return {g.value, g.delta, g.gamma, g.theta};
}

EquityTreeDisplay equity_tree_display(const EquityOptionArgs& a, const ZeroCurve& dividends) {
  const EquityOptionTerms terms = EquityTerms(a);
  const std::uint64_t bytes = EquityTree::StorageBytes(a.steps);
  if (bytes > kEquityTreeBudgetBytes) {
    Refuse(status::kTreeBuild, "steps",
           std::to_string(a.steps) + " steps need about " + std::to_string(bytes >> 20) + " MiB, above the " +
               std::to_string(kEquityTreeBudgetBytes >> 20) + " MiB budget of a displayed tree");
  }
  if (!std::isfinite(MakeEquityLattice(terms).highestPrice)) {
    Refuse(status::kBadArgument, "volatility",
           "the top stock price spot x exp(volatility x sqrt(expiry x steps)) overflows the doubles");
  }
  auto impl = std::make_unique<EquityTreeDisplay::Impl>(terms, dividends);
  if (impl->tree.status() != 0) Refuse(status::kTreeBuild, "", "out of memory");
  // Every cell the display hands out is a number: a dividend add-on or a
  // value can still overflow where the top price does not.
  const EquityTree& tree = impl->tree;
  for (int k = 0; k <= tree.Steps(); ++k) {
    if (!std::isfinite(tree.DividendAddOnAt(k))) FiniteResult(tree.DividendAddOnAt(k));
    for (int m = 0; m <= k; ++m) {
      if (!std::isfinite(tree.PriceAt(k, m)) || !std::isfinite(tree.ValueAt(k, m))) {
        Refuse(status::kBadArgument, "", "the tree's stock prices or values overflow the doubles");
      }
    }
  }
  return EquityTreeDisplay(std::move(impl));
}

double barrier(const BarrierArgs& a, int barrierType) {
  RequireFiniteArgs::barrier(a);
  RequireNotNegative({{"spot", a.spot}, {"strike", a.strike}, {"barrier", a.barrier}, {"volatility", a.volatility}});
  if (barrierType < kUpAndIn || barrierType > kDownAndOut) {
    Refuse(status::kBadArgument, "barrier_type",
           "code " + std::to_string(barrierType) + " is not one of 5 up-in, 6 up-out, 7 down-in, 8 down-out");
  }
  return ExoticResult(BarrierOption(a.spot, a.strike, a.rate, a.expiry, a.dividend_yield, a.barrier,
                                    a.volatility, barrierType, a.option));
}

double compound(const CompoundArgs& a, int underlyingKind) {
  RequireFiniteArgs::compound(a);
  RequireNotNegative({{"spot", a.spot},
                      {"strike", a.strike},
                      {"underlying_strike", a.underlying_strike},
                      {"volatility", a.volatility}});
  return ExoticResult(CompoundOption(a.spot, a.strike, a.underlying_strike, a.rate, a.dividend_yield,
                                     a.volatility, a.expiry, a.underlying_expiry, underlyingKind, a.option)
                          .value);
}

double lookback(const LookbackArgs& a) {
  RequireFiniteArgs::lookback(a);
  const bool isCall = a.option == OptionType::Call;
  // The call reads the lowest price, the put the highest.
  RequireNotNegative({{"spot", a.spot},
                      {isCall ? "observed_min" : "observed_max", isCall ? a.observed_min : a.observed_max},
                      {"volatility", a.volatility}});
  return ExoticResult(LookbackOption(a.spot, a.rate, a.dividend_yield, a.volatility, a.expiry, a.observed_max,
                                     a.observed_min, a.option));
}

double asian(const AsianArgs& a) {
  RequireFiniteArgs::asian(a);
  // Negative times give finite but meaningless weights (T2/T, the adjusted
  // strike); no formula here mends them.
  RequireNotNegative({{"spot", a.spot},
                      {"strike", a.strike},
                      {"observed_average", a.observed_average},
                      {"volatility", a.volatility},
                      {"expiry", a.expiry},
                      {"elapsed", a.elapsed}});
  return ExoticResult(AveragePriceOption(a.spot, a.strike, a.rate, a.dividend_yield, a.volatility, a.expiry,
                                         a.observed_average, a.elapsed, a.option));
}

double chooser(const ChooserArgs& a) {
  RequireFiniteArgs::chooser(a);
  RequireNotNegative({{"spot", a.spot}, {"strike", a.strike}, {"volatility", a.volatility}});
  return ExoticResult(
      ChooserOption(a.spot, a.strike, a.rate, a.dividend_yield, a.volatility, a.expiry, a.choose_at));
}

double binary(const BinaryArgs& a) {
  RequireFiniteArgs::binary(a);
  RequireNotNegative({{"spot", a.spot}, {"strike", a.strike}, {"volatility", a.volatility}});
  return ExoticResult(BinaryOption(a.spot, a.strike, a.rate, a.dividend_yield, a.volatility, a.expiry, a.cash,
                                   a.payoff == Payoff::Cash, a.option));
}

}  // namespace api

EquityResult equity_option(const EquityOptionArgs& args, const Dividends& dividends) {
  return api::equity_option(args, dividends.impl().points);
}
EquityTreeDisplay equity_tree_display(const EquityOptionArgs& args, const Dividends& dividends) {
  return api::equity_tree_display(args, dividends.impl().points);
}

double barrier(const BarrierArgs& args) { return api::barrier(args, kUpAndIn + static_cast<int>(args.barrier_type)); }
double compound(const CompoundArgs& args) {
  return api::compound(args, args.underlying == OptionType::Call ? kUnderlyingCall : kUnderlyingPut);
}
double lookback(const LookbackArgs& args) { return api::lookback(args); }
double asian(const AsianArgs& args) { return api::asian(args); }
double chooser(const ChooserArgs& args) { return api::chooser(args); }
double binary(const BinaryArgs& args) { return api::binary(args); }

// ---- The display's accessors ----------------------------------------------

EquityTreeDisplay::EquityTreeDisplay(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
EquityTreeDisplay::EquityTreeDisplay(EquityTreeDisplay&&) noexcept = default;
EquityTreeDisplay& EquityTreeDisplay::operator=(EquityTreeDisplay&&) noexcept = default;
EquityTreeDisplay::~EquityTreeDisplay() = default;

int EquityTreeDisplay::steps() const { return impl_->tree.Steps(); }
double EquityTreeDisplay::level_time(int k) const { return impl_->tree.LevelTime(k); }
EquityTreeDisplay::Node EquityTreeDisplay::node(int k, int m) const {
  const EquityTree& t = impl_->tree;
  return {t.ValueAt(k, m), t.PriceAt(k, m), t.ExercisedAt(k, m)};
}
EquityTreeDisplay::Lattice EquityTreeDisplay::lattice() const {
  const EquityLattice& l = impl_->tree.Lattice();
  return {l.dt, l.discount, l.growth, l.pUp, l.up, l.down};
}

}  // namespace lorvex
