// lorvex tree-bond-option
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

struct TreeBondOptionOptions {
  MarketOptions market;
  BondOptionTerms terms;
  ShortRateModel model;
  std::string exercise = "european";
  int steps = 100;
  std::string tree = "normal";
  lorvex::Exercise Exercise() const { return lorvex::from_string<lorvex::Exercise>(exercise, "exercise"); }
};

void RegisterTreeCommands(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<TreeBondOptionOptions>();
  auto* cmd = app.add_subcommand("tree-bond-option",
                                 "European or American option on a coupon bond, Hull-White trinomial tree");
  AddMarketOptions(cmd, opts->market);
  AddBondOptionTerms(cmd, opts->terms);
  cmd->add_option("--exercise", opts->exercise, "european (at expiry) or american (any tree date up to it)")
      ->check(CLI::IsMember({"european", "american"}))
      ->capture_default_str();
  AddShortRateModel(cmd, opts->model,
                    "short-rate volatility per sqrt(year); relative for the lognormal and shape trees");
  cmd->add_option("--steps", opts->steps, "equal tree steps up to the expiry")->capture_default_str();
  AddTreeKind(cmd, opts->tree);
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const BondOptionTerms& t = opts->terms;
    exitCode = Price("tree_bond_option", opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.ToArgs<lorvex::TreeBondOptionArgs>(serial);
      args.exercise = opts->Exercise();
      args.volatility = opts->model.sigma;
      args.mean_reversion = opts->model.meanReversion;
      args.steps = opts->steps;
      args.tree = lorvex::from_string<lorvex::TreeKind>(opts->tree, "tree");
      inputs = InputsOf(args);
      return {{t.type, lorvex::tree_bond_option(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddTreeDemoRows(std::vector<DemoRow>& book, std::int32_t serial) {
  Array2D curve(SampleCurve(serial));
  struct Row {
    int american, call, kind;
  };
  const char* kinds[] = {"normal", "lognormal", "shape"};
  for (const Row& r : {Row{0, 1, 0}, Row{1, 1, 0}, Row{0, 0, 0}, Row{1, 0, 0}, Row{0, 1, 1}, Row{1, 0, 2}}) {
    const double sigma = r.kind == 0 ? 0.01 : 0.2;
    double value = 0.0;
    const std::int32_t status = HW_TreeBondOption(serial, 5.0, 0.06, 100.0, 2, 1.0, 101.0, r.call, r.american,
                                                  0, curve.get(), sigma, 0.1, 100, r.kind, &value);
    book.push_back({"bond option, HW tree",
                    fmt::format("{} {} 1y on 5y 6% x2, K 101, sigma {}, a 0.1, 100 steps, {}",
                                r.american ? "American" : "European", r.call ? "call" : "put", sigma,
                                kinds[r.kind]),
                    "HW_TreeBondOption", value, status});
  }
}

const bool registered = RegisterFamily({60, RegisterTreeCommands, AddTreeDemoRows});

}  // namespace
}  // namespace lorvex_cli
