// lorvex black-bond-option, black-swaption, black-cap
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

struct BondOptionOptions {
  MarketOptions market;
  BondOptionTerms terms;
  double yieldVol = 0.1;
};

struct SwaptionOptions {
  MarketOptions market;
  SwaptionTerms terms;
  double vol = 0.2;
};

struct CapOptions {
  MarketOptions market;
  CapTerms terms;
  double vol = 0.2;
};

void AddBondOptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<BondOptionOptions>();
  auto* cmd = app.add_subcommand("black-bond-option", "European option on a coupon bond, Black's model");
  AddMarketOptions(cmd, opts->market);
  AddBondOptionTerms(cmd, opts->terms);
  cmd->add_option("--volatility", opts->yieldVol, "volatility of the bond's forward yield, decimal")
      ->check(VolatilityCheck())
      ->capture_default_str();
  AddAlias(cmd, "--yield-vol", opts->yieldVol)->check(VolatilityCheck());
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const BondOptionTerms& t = opts->terms;
    exitCode = Price("black_bond_option", opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.ToArgs<lorvex::BlackBondOptionArgs>(serial);
      args.volatility = opts->yieldVol;
      inputs = InputsOf(args);
      return {{t.type, lorvex::black_bond_option(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddSwaptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<SwaptionOptions>();
  auto* cmd = app.add_subcommand("black-swaption", "European swaption, Black's model on the forward swap rate");
  AddMarketOptions(cmd, opts->market);
  AddSwaptionTerms(cmd, opts->terms);
  cmd->add_option("--volatility", opts->vol, "volatility of the forward swap rate, decimal")
      ->check(VolatilityCheck())
      ->capture_default_str();
  AddAlias(cmd, "--vol", opts->vol)->check(VolatilityCheck());
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const SwaptionTerms& t = opts->terms;
    exitCode = Price("black_swaption", opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.ToArgs<lorvex::BlackSwaptionArgs>(serial);
      args.volatility = opts->vol;
      inputs = InputsOf(args);
      return {{t.type, lorvex::black_swaption(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddCapCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<CapOptions>();
  auto* cmd = app.add_subcommand("black-cap", "interest-rate cap or floor, Black's model per caplet");
  AddMarketOptions(cmd, opts->market);
  AddCapTerms(cmd, opts->terms);
  cmd->add_option("--volatility", opts->vol, "volatility of the forward rates, decimal")
      ->check(VolatilityCheck())
      ->capture_default_str();
  AddAlias(cmd, "--vol", opts->vol)->check(VolatilityCheck());
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const CapTerms& t = opts->terms;
    exitCode = Price("black_cap", opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.ToArgs<lorvex::BlackCapArgs>(serial);
      args.volatility = opts->vol;
      inputs = InputsOf(args);
      return {{t.type, lorvex::black_cap(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void RegisterBlackCommands(CLI::App& app, int& exitCode) {
  AddBondOptionCommand(app, exitCode);
  AddSwaptionCommand(app, exitCode);
  AddCapCommand(app, exitCode);
}

void AddBlackDemoRows(std::vector<DemoRow>& book, std::int32_t serial) {
  Array2D curve(SampleCurve(serial));
  for (int call : {1, 0}) {
    double v = 0.0;
    const std::int32_t s = HW_BlackBondOption(serial, 5.0, 0.06, 100.0, 2, 1.0, 100.0, 0.1, call, 1,
                                              curve.get(), &v);
    book.push_back({call ? "bond call (Black)" : "bond put (Black)",
                    "1y on 5y 6% x2, K 100 clean, yield vol 10%", "HW_BlackBondOption", v, s});
  }
  for (int receiver : {0, 1}) {
    double v = 0.0;
    const std::int32_t s =
        HW_BlackSwapOption(serial, 1.0, 6.0, 0.05, 100.0, 2, 0.2, receiver, curve.get(), &v);
    book.push_back({receiver ? "receiver swaption (Black)" : "payer swaption (Black)",
                    "1y into 5y, 5% x2, vol 20%, notional 100", "HW_BlackSwapOption", v, s});
  }
  for (int cap : {1, 0}) {
    double v = 0.0;
    const std::int32_t s = HW_BlackCap(serial, 0.25, 3.0, 0.05, 100.0, 4, 0.2, cap, curve.get(), &v);
    book.push_back({cap ? "cap (Black)" : "floor (Black)", "3m to 3y, 5% x4, vol 20%, notional 100",
                    "HW_BlackCap", v, s});
  }
}

const bool registered = RegisterFamily({20, RegisterBlackCommands, AddBlackDemoRows});

}  // namespace
}  // namespace lorvex_cli
