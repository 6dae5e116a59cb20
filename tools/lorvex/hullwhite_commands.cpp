// lorvex hw-bond-option, hw-swaption, hw-cap
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

const char kSigmaHelp[] = "absolute volatility of the short rate per sqrt(year) (0.01 = 100 bp)";

// A closed-form Hull-White command: the market, the model and the
// instrument's terms.
template <class Terms>
struct HullWhiteOptions {
  MarketOptions market;
  ShortRateModel model;
  Terms terms;
};

template <class Args, class Terms>
void AddHullWhiteCommand(CLI::App& app, int& exitCode, const char* name, const char* help, const char* calculation,
                         void (*addTerms)(CLI::App*, Terms&), double (*price)(const Args&, const lorvex::Curve&)) {
  auto opts = std::make_shared<HullWhiteOptions<Terms>>();
  auto* cmd = app.add_subcommand(name, help);
  AddMarketOptions(cmd, opts->market);
  AddShortRateModel(cmd, opts->model, kSigmaHelp);
  addTerms(cmd, opts->terms);
  cmd->callback([opts, calculation, price, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const Terms& t = opts->terms;
    exitCode = Price(calculation, opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.template ToArgs<Args>(serial);
      args.volatility = opts->model.sigma;
      args.mean_reversion = opts->model.meanReversion;
      inputs = InputsOf(args);
      return {{t.type, price(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void RegisterHullWhiteCommands(CLI::App& app, int& exitCode) {
  AddHullWhiteCommand(app, exitCode, "hw-bond-option", "European option on a coupon bond, Hull-White closed form",
                      "hw_bond_option", AddBondOptionTerms, lorvex::hw_bond_option);
  AddHullWhiteCommand(app, exitCode, "hw-swaption",
                      "European swaption, Hull-White closed form (option on the fixed leg)", "hw_swaption",
                      AddSwaptionTerms, lorvex::hw_swaption);
  AddHullWhiteCommand(app, exitCode, "hw-cap", "interest-rate cap or floor, Hull-White closed form", "hw_cap",
                      AddCapTerms, lorvex::hw_cap);
}

void AddHullWhiteDemoRows(std::vector<DemoRow>& book, std::int32_t serial) {
  Array2D curve(SampleCurve(serial));
  for (int call : {1, 0}) {
    double v = 0.0;
    const std::int32_t s = HW_HullWhiteBondOption(serial, 5.0, 0.06, 100.0, 2, 1.0, 100.0, 0.01, 0.1, call, 1,
                                                  curve.get(), &v);
    book.push_back({call ? "bond call (Hull-White)" : "bond put (Hull-White)",
                    "1y on 5y 6% x2, K 100 clean, sigma 1%, a 0.1", "HW_HullWhiteBondOption", v, s});
  }
  for (int receiver : {0, 1}) {
    double v = 0.0;
    const std::int32_t s =
        HW_HullWhiteSwapOption(serial, 1.0, 6.0, 0.05, 100.0, 2, 0.01, 0.1, receiver, curve.get(), &v);
    book.push_back({receiver ? "receiver swaption (Hull-White)" : "payer swaption (Hull-White)",
                    "1y into 5y, 5% x2, sigma 1%, a 0.1, notional 100", "HW_HullWhiteSwapOption", v, s});
  }
  for (int cap : {1, 0}) {
    double v = 0.0;
    const std::int32_t s =
        HW_HullWhiteCap(serial, 0.25, 3.0, 0.05, 100.0, 4, 0.01, 0.1, cap, curve.get(), &v);
    book.push_back({cap ? "cap (Hull-White)" : "floor (Hull-White)",
                    "3m to 3y quarterly at 5%, sigma 1%, a 0.1, notional 100", "HW_HullWhiteCap", v, s});
  }
}

const bool registered = RegisterFamily({30, RegisterHullWhiteCommands, AddHullWhiteDemoRows});

}  // namespace
}  // namespace lorvex_cli
