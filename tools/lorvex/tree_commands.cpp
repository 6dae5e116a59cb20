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
  int kind = 0;
};

void RegisterTreeCommands(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<TreeBondOptionOptions>();
  auto* cmd = app.add_subcommand("tree-bond-option",
                                 "European or American option on a coupon bond, Hull-White trinomial tree");
  AddMarketOptions(cmd, opts->market);
  opts->terms.strikeQuote = "dirty";
  AddBondOptionTerms(cmd, opts->terms);
  cmd->add_option("--exercise", opts->exercise, "european (at expiry) or american (any tree date up to it)")
      ->check(CLI::IsMember({"european", "american"}))
      ->capture_default_str();
  AddShortRateModel(cmd, opts->model, "short-rate volatility per sqrt(year); relative for kinds 1 and 2");
  cmd->add_option("--steps", opts->steps, "equal tree steps up to the expiry")->capture_default_str();
  cmd->add_option("--kind", opts->kind, "0 normal (Hull-White), 1 lognormal, 2 shape g(r) = r")
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const BondOptionTerms& t = opts->terms;
    exitCode = Price("tree_bond_option", opts->market.json, [&]() -> std::vector<NamedValue> {
      return {{t.type, lorvex::tree_bond_option(
                           {.valuation = serial,
                            .maturity = t.bondMaturity,
                            .coupon = t.coupon,
                            .face = t.face,
                            .frequency = t.frequency,
                            .expiry = t.expiry,
                            .strike = t.strike,
                            .option = t.Option(),
                            .exercise = lorvex::from_string<lorvex::Exercise>(opts->exercise, "exercise"),
                            .strike_quote = t.Quote(),
                            .volatility = opts->model.sigma,
                            .mean_reversion = opts->model.meanReversion,
                            .steps = opts->steps,
                            .tree = TreeKindFromNumber(opts->kind)},
                           ToCurve(LoadCurve(opts->market, serial)))}};
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
