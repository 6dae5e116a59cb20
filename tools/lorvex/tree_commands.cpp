// lorvex tree-bond-option
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

struct TreeBondOptionOptions {
  MarketOptions market;
  double maturity = 5.0;
  double coupon = 0.06;
  double face = 100.0;
  int frequency = 2;
  double expiry = 1.0;
  double strike = 100.0;
  bool put = false;
  bool american = false;
  bool clean = false;
  double sigma = 0.01;
  double meanReversion = 0.1;
  int steps = 100;
  int kind = 0;
};

void RegisterTreeCommands(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<TreeBondOptionOptions>();
  auto* cmd = app.add_subcommand("tree-bond-option",
                                 "European or American bond option on a Hull-White trinomial tree");
  AddMarketOptions(cmd, opts->market);
  cmd->add_option("--maturity", opts->maturity, "bond maturity in years")->capture_default_str();
  cmd->add_option("--coupon", opts->coupon, "annual coupon rate, decimal")->capture_default_str();
  cmd->add_option("--face", opts->face, "face value")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "coupons per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--expiry", opts->expiry, "option expiry in years")->capture_default_str();
  cmd->add_option("--strike", opts->strike, "strike price (dirty unless --clean)")->capture_default_str();
  cmd->add_flag("--put", opts->put, "a put (default: call)");
  cmd->add_flag("--american", opts->american, "exercisable on any tree date up to the expiry");
  cmd->add_flag("--clean", opts->clean, "the strike is a clean price");
  cmd->add_option("--sigma", opts->sigma, "short-rate volatility per square-root year")->capture_default_str();
  cmd->add_option("--mean-reversion", opts->meanReversion, "mean reversion a per year")->capture_default_str();
  cmd->add_option("--steps", opts->steps, "equal tree steps to the expiry")->capture_default_str();
  cmd->add_option("--kind", opts->kind, "0 normal (Hull-White), 1 lognormal, 2 shape g(r) = r")
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    Array2D curve(LoadCurve(opts->market, serial));
    double value = 0.0;
    const std::int32_t status = HW_TreeBondOption(
        serial, opts->maturity, opts->coupon, opts->face, opts->frequency, opts->expiry, opts->strike,
        opts->put ? 0 : 1, opts->american ? 1 : 0, opts->clean ? 1 : 0, curve.get(), opts->sigma,
        opts->meanReversion, opts->steps, opts->kind, &value);
    exitCode = Report("HW_TreeBondOption", status, Family::kTree, {{"option_value", value}},
                      opts->market.json);
  });
}

void AddTreeDemoRows(std::vector<DemoRow>& book, std::int32_t serial) {
  Array2D curve(SampleCurve(serial));
  struct Row {
    int american, call, kind;
  };
  for (const Row& r : {Row{0, 1, 0}, Row{1, 1, 0}, Row{0, 0, 0}, Row{1, 0, 0}, Row{0, 1, 1}, Row{1, 0, 2}}) {
    const double sigma = r.kind == 0 ? 0.01 : 0.2;
    double value = 0.0;
    const std::int32_t status = HW_TreeBondOption(serial, 5.0, 0.06, 100.0, 2, 1.0, 101.0, r.call, r.american, 0,
                                                  curve.get(), sigma, 0.1, 100, r.kind, &value);
    const char* kinds[] = {"normal", "lognormal", "shape"};
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
