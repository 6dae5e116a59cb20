// lorvex hw-bond-option, hw-swaption, hw-cap
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

const char kSigmaHelp[] = "absolute volatility of the short rate per sqrt(year) (0.01 = 100 bp)";

struct BondOptionOptions {
  MarketOptions market;
  ShortRateModel model;
  BondOptionTerms terms;
};

struct SwaptionOptions {
  MarketOptions market;
  ShortRateModel model;
  SwaptionTerms terms;
};

struct CapOptions {
  MarketOptions market;
  ShortRateModel model;
  CapTerms terms;
};

void AddBondOptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<BondOptionOptions>();
  auto* cmd = app.add_subcommand("hw-bond-option", "European option on a coupon bond, Hull-White closed form");
  AddMarketOptions(cmd, opts->market);
  AddShortRateModel(cmd, opts->model, kSigmaHelp);
  AddBondOptionTerms(cmd, opts->terms);
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const BondOptionTerms& t = opts->terms;
    exitCode = Price("hw_bond_option", opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.ToArgs<lorvex::HwBondOptionArgs>(serial);
      args.volatility = opts->model.sigma;
      args.mean_reversion = opts->model.meanReversion;
      inputs = InputsOf(args);
      return {{t.type, lorvex::hw_bond_option(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddSwaptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<SwaptionOptions>();
  auto* cmd = app.add_subcommand("hw-swaption", "European swaption, Hull-White closed form (option on the fixed leg)");
  AddMarketOptions(cmd, opts->market);
  AddShortRateModel(cmd, opts->model, kSigmaHelp);
  AddSwaptionTerms(cmd, opts->terms);
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const SwaptionTerms& t = opts->terms;
    exitCode = Price("hw_swaption", opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.ToArgs<lorvex::HwSwaptionArgs>(serial);
      args.volatility = opts->model.sigma;
      args.mean_reversion = opts->model.meanReversion;
      inputs = InputsOf(args);
      return {{t.type, lorvex::hw_swaption(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddCapCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<CapOptions>();
  auto* cmd = app.add_subcommand("hw-cap", "interest-rate cap or floor, Hull-White closed form");
  AddMarketOptions(cmd, opts->market);
  AddShortRateModel(cmd, opts->model, kSigmaHelp);
  AddCapTerms(cmd, opts->terms);
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const CapTerms& t = opts->terms;
    exitCode = Price("hw_cap", opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.ToArgs<lorvex::HwCapArgs>(serial);
      args.volatility = opts->model.sigma;
      args.mean_reversion = opts->model.meanReversion;
      inputs = InputsOf(args);
      return {{t.type, lorvex::hw_cap(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void RegisterHullWhiteCommands(CLI::App& app, int& exitCode) {
  AddBondOptionCommand(app, exitCode);
  AddSwaptionCommand(app, exitCode);
  AddCapCommand(app, exitCode);
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
