// lorvex tree-swaption, tree-cap, bond-tree-rate-delta, cap-tree-rate-delta
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

// The tree's model inputs, shared by the four commands.
struct TreeModelOptions {
  double sigma = 0.01;
  double meanReversion = 0.1;
  int kind = 0;
};

void AddTreeModelOptions(CLI::App* cmd, TreeModelOptions& model) {
  cmd->add_option("--sigma", model.sigma, "short-rate volatility per sqrt(year); relative for kinds 1 and 2")
      ->capture_default_str();
  cmd->add_option("--mean-reversion", model.meanReversion, "mean-reversion speed per year")->capture_default_str();
  cmd->add_option("--kind", model.kind, "0 normal (Hull-White), 1 lognormal, 2 shape g(r) = r")
      ->capture_default_str();
}

struct SwaptionOptions {
  MarketOptions market;
  TreeModelOptions model;
  double start = 1.0;
  double end = 6.0;
  double fixedRate = 0.05;
  double notional = 100.0;
  int frequency = 2;
  std::string type = "payer";
  int steps = 50;
};

struct CapOptions {
  MarketOptions market;
  TreeModelOptions model;
  double start = 0.25;
  double end = 3.0;
  double capRate = 0.05;
  double notional = 100.0;
  int frequency = 4;
  std::string type = "cap";
  int stepParameter = 10;
};

struct BondDeltaOptions {
  MarketOptions market;
  TreeModelOptions model;
  double bondMaturity = 5.0;
  double expiry = 1.0;
  int steps = 100;
};

struct CapDeltaOptions {
  MarketOptions market;
  TreeModelOptions model;
  double start = 0.25;
  double end = 3.0;
  int frequency = 4;
  int stepParameter = 10;
};

void AddSwaptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<SwaptionOptions>();
  auto* cmd = app.add_subcommand("tree-swaption", "European swaption, Hull-White trinomial tree");
  AddMarketOptions(cmd, opts->market);
  AddTreeModelOptions(cmd, opts->model);
  cmd->add_option("--start", opts->start, "swap start in years: the exercise date")->capture_default_str();
  cmd->add_option("--end", opts->end, "swap end in years")->capture_default_str();
  cmd->add_option("--fixed-rate", opts->fixedRate, "swap's fixed rate, decimal")->capture_default_str();
  cmd->add_option("--notional", opts->notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "payments per year on both legs: 1, 2, 4 or 12")
      ->capture_default_str();
  cmd->add_option("--type", opts->type, "receiver or payer")
      ->check(CLI::IsMember({"receiver", "payer"}))
      ->capture_default_str();
  cmd->add_option("--steps", opts->steps, "tree steps per year up to the start")->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    exitCode = Price("tree_swaption", opts->market.json, [&]() -> std::vector<NamedValue> {
      return {{opts->type, lorvex::tree_swaption(
                               {.valuation = serial,
                                .expiry = opts->start,
                                .maturity = opts->end,
                                .fixed_rate = opts->fixedRate,
                                .notional = opts->notional,
                                .frequency = opts->frequency,
                                .option = lorvex::from_string<lorvex::SwaptionType>(opts->type, "option"),
                                .volatility = opts->model.sigma,
                                .mean_reversion = opts->model.meanReversion,
                                .steps_per_year = opts->steps,
                                .tree = TreeKindFromNumber(opts->model.kind)},
                               ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddCapCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<CapOptions>();
  auto* cmd = app.add_subcommand("tree-cap", "cap or floor, Hull-White trinomial tree");
  AddMarketOptions(cmd, opts->market);
  AddTreeModelOptions(cmd, opts->model);
  cmd->add_option("--start", opts->start, "first reset in years (a caplet resetting today counts)")
      ->capture_default_str();
  cmd->add_option("--end", opts->end, "last payment in years")->capture_default_str();
  cmd->add_option("--cap-rate", opts->capRate, "cap or floor rate, decimal")->capture_default_str();
  cmd->add_option("--notional", opts->notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "payments per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--type", opts->type, "cap or floor")->check(CLI::IsMember({"cap", "floor"}))->capture_default_str();
  cmd->add_option("--step-parameter", opts->stepParameter,
                  "steps a year = step parameter / start, rounded, within 1 to 20 (1 for a start of 0)")
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    exitCode = Price("tree_cap", opts->market.json, [&]() -> std::vector<NamedValue> {
      return {{opts->type, lorvex::tree_cap({.valuation = serial,
                                             .start = opts->start,
                                             .maturity = opts->end,
                                             .cap_rate = opts->capRate,
                                             .notional = opts->notional,
                                             .frequency = opts->frequency,
                                             .option = lorvex::from_string<lorvex::CapType>(opts->type, "option"),
                                             .volatility = opts->model.sigma,
                                             .mean_reversion = opts->model.meanReversion,
                                             .step_parameter = opts->stepParameter,
                                             .tree = TreeKindFromNumber(opts->model.kind)},
                                            ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddBondDeltaCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<BondDeltaOptions>();
  auto* cmd = app.add_subcommand("bond-tree-rate-delta",
                                 "short-rate spacing one step after today on the tree of tree-bond-option");
  AddMarketOptions(cmd, opts->market);
  AddTreeModelOptions(cmd, opts->model);
  cmd->add_option("--bond-maturity", opts->bondMaturity, "bond's time to maturity in years (the tree's end)")
      ->capture_default_str();
  cmd->add_option("--expiry", opts->expiry, "option's time to expiry in years")->capture_default_str();
  cmd->add_option("--steps", opts->steps, "equal tree steps up to the expiry")->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    exitCode = Price("bond_tree_rate_delta", opts->market.json, [&]() -> std::vector<NamedValue> {
      return {{"rate delta", lorvex::bond_tree_rate_delta({.valuation = serial,
                                                           .maturity = opts->bondMaturity,
                                                           .expiry = opts->expiry,
                                                           .volatility = opts->model.sigma,
                                                           .mean_reversion = opts->model.meanReversion,
                                                           .steps = opts->steps,
                                                           .tree = TreeKindFromNumber(opts->model.kind)},
                                                          ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddCapDeltaCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<CapDeltaOptions>();
  auto* cmd = app.add_subcommand("cap-tree-rate-delta",
                                 "short-rate spacing one step after today on the tree of a cap");
  AddMarketOptions(cmd, opts->market);
  AddTreeModelOptions(cmd, opts->model);
  cmd->add_option("--start", opts->start, "first reset in years")->capture_default_str();
  cmd->add_option("--end", opts->end, "last payment in years (the tree's end)")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "payments per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--step-parameter", opts->stepParameter,
                  "steps a year = step parameter / end, rounded, within 1 to 20")
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    exitCode = Price("cap_tree_rate_delta", opts->market.json, [&]() -> std::vector<NamedValue> {
      return {{"rate delta", lorvex::cap_tree_rate_delta({.valuation = serial,
                                                          .start = opts->start,
                                                          .maturity = opts->end,
                                                          .frequency = opts->frequency,
                                                          .volatility = opts->model.sigma,
                                                          .mean_reversion = opts->model.meanReversion,
                                                          .step_parameter = opts->stepParameter,
                                                          .tree = TreeKindFromNumber(opts->model.kind)},
                                                         ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void RegisterTreePricingCommands(CLI::App& app, int& exitCode) {
  AddSwaptionCommand(app, exitCode);
  AddCapCommand(app, exitCode);
  AddBondDeltaCommand(app, exitCode);
  AddCapDeltaCommand(app, exitCode);
}

void AddTreePricingDemoRows(std::vector<DemoRow>& book, std::int32_t serial) {
  Array2D curve(SampleCurve(serial));
  const char* kinds[] = {"normal", "lognormal", "shape"};
  for (int kind : {0, 1}) {
    const double sigma = kind == 0 ? 0.01 : 0.2;
    for (int receiver : {1, 0}) {
      double value = 0.0;
      const std::int32_t status = HW_TreeSwapOption(serial, 6.0, 1.0, 0.05, 100.0, 2, receiver, curve.get(),
                                                    sigma, 0.1, 50, kind, &value);
      book.push_back({"swaption, HW tree",
                      fmt::format("{} 1y into 5y 5% x2, sigma {}, a 0.1, 50 steps a year, {}",
                                  receiver ? "receiver" : "payer", sigma, kinds[kind]),
                      "HW_TreeSwapOption", value, status});
    }
  }
  for (int kind : {0, 2}) {
    const double sigma = kind == 0 ? 0.01 : 0.2;
    for (int capFlag : {1, 0}) {
      double value = 0.0;
      const std::int32_t status = HW_TreeCap(serial, 3.0, 0.25, 0.05, 100.0, 4, capFlag, curve.get(), sigma, 0.1,
                                             10, kind, &value);
      book.push_back({"cap/floor, HW tree",
                      fmt::format("{} 3m to 3y 5% x4, sigma {}, a 0.1, 20 steps a year, {}",
                                  capFlag ? "cap" : "floor", sigma, kinds[kind]),
                      "HW_TreeCap", value, status});
    }
  }
  double delta = 0.0;
  std::int32_t status = HW_BondTreeRateDelta(serial, 5.0, 1.0, curve.get(), 0.01, 0.1, 100, 0, &delta);
  book.push_back({"rate delta, HW tree", "bond option tree, 1y on 5y, sigma 0.01, a 0.1, 100 steps, normal",
                  "HW_BondTreeRateDelta", delta, status});
  status = HW_CapTreeRateDelta(serial, 0.25, 3.0, 4, curve.get(), 0.01, 0.1, 10, 0, &delta);
  book.push_back({"rate delta, HW tree", "cap tree, 3m to 3y x4, sigma 0.01, a 0.1, parameter 10, normal",
                  "HW_CapTreeRateDelta", delta, status});
}

const bool registered = RegisterFamily({70, RegisterTreePricingCommands, AddTreePricingDemoRows});

}  // namespace
}  // namespace lorvex_cli
