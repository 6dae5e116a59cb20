// lorvex hw-bond-option, hw-swaption, hw-cap
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

// The model's two parameters, shared by the three commands.
struct ModelOptions {
  double sigma = 0.01;
  double meanReversion = 0.1;
};

void AddModelOptions(CLI::App* cmd, ModelOptions& model) {
  cmd->add_option("--sigma", model.sigma, "absolute volatility of the short rate per sqrt(year) (0.01 = 100 bp)")
      ->capture_default_str();
  cmd->add_option("--mean-reversion", model.meanReversion, "mean-reversion speed per year (0 allowed)")
      ->capture_default_str();
}

struct BondOptionOptions {
  MarketOptions market;
  ModelOptions model;
  double bondMaturity = 5.0;
  double coupon = 0.06;
  double face = 100.0;
  int frequency = 2;
  double expiry = 1.0;
  double strike = 100.0;
  std::string type = "call";
  std::string strikeQuote = "clean";
};

struct SwaptionOptions {
  MarketOptions market;
  ModelOptions model;
  double expiry = 1.0;
  double swapEnd = 6.0;
  double fixedRate = 0.05;
  double notional = 100.0;
  int frequency = 2;
  std::string type = "payer";
};

struct CapOptions {
  MarketOptions market;
  ModelOptions model;
  double start = 0.25;
  double end = 3.0;
  double capRate = 0.05;
  double notional = 100.0;
  int frequency = 4;
  std::string type = "cap";
};

void AddBondOptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<BondOptionOptions>();
  auto* cmd = app.add_subcommand("hw-bond-option", "European option on a coupon bond, Hull-White closed form");
  AddMarketOptions(cmd, opts->market);
  AddModelOptions(cmd, opts->model);
  cmd->add_option("--bond-maturity", opts->bondMaturity, "bond's time to maturity in years")->capture_default_str();
  cmd->add_option("--coupon", opts->coupon, "bond's annual coupon rate, decimal")->capture_default_str();
  cmd->add_option("--face", opts->face, "bond's face value")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "coupons per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--expiry", opts->expiry, "option's time to expiry in years")->capture_default_str();
  cmd->add_option("--strike", opts->strike, "strike price, in the face's units")->capture_default_str();
  cmd->add_option("--type", opts->type, "call or put")->check(CLI::IsMember({"call", "put"}))->capture_default_str();
  cmd->add_option("--strike-quote", opts->strikeQuote, "clean (accrued interest at expiry added to the strike) or dirty")
      ->check(CLI::IsMember({"clean", "dirty"}))
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    Array2D curve(LoadCurve(opts->market, serial));
    double value = 0.0;
    const std::int32_t status = HW_HullWhiteBondOption(
        serial, opts->bondMaturity, opts->coupon, opts->face, opts->frequency, opts->expiry, opts->strike,
        opts->model.sigma, opts->model.meanReversion, opts->type == "call" ? 1 : 0,
        opts->strikeQuote == "clean" ? 1 : 0, curve.get(), &value);
    exitCode = Report("HW_HullWhiteBondOption", status, Family::kRate, {{opts->type, value}}, opts->market.json);
  });
}

void AddSwaptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<SwaptionOptions>();
  auto* cmd = app.add_subcommand("hw-swaption", "European swaption, Hull-White closed form (option on the fixed leg)");
  AddMarketOptions(cmd, opts->market);
  AddModelOptions(cmd, opts->model);
  cmd->add_option("--expiry", opts->expiry, "option's expiry in years")->capture_default_str();
  cmd->add_option("--swap-end", opts->swapEnd, "swap's end in years from the valuation date")->capture_default_str();
  cmd->add_option("--fixed-rate", opts->fixedRate, "swap's fixed rate, decimal")->capture_default_str();
  cmd->add_option("--notional", opts->notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "fixed payments per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--type", opts->type, "payer (pay fixed) or receiver (receive fixed)")
      ->check(CLI::IsMember({"payer", "receiver"}))
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    Array2D curve(LoadCurve(opts->market, serial));
    double value = 0.0;
    const std::int32_t status = HW_HullWhiteSwapOption(
        serial, opts->expiry, opts->swapEnd, opts->fixedRate, opts->notional, opts->frequency, opts->model.sigma,
        opts->model.meanReversion, opts->type == "receiver" ? 1 : 0, curve.get(), &value);
    exitCode = Report("HW_HullWhiteSwapOption", status, Family::kRate, {{opts->type, value}}, opts->market.json);
  });
}

void AddCapCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<CapOptions>();
  auto* cmd = app.add_subcommand("hw-cap", "interest-rate cap or floor, Hull-White closed form");
  AddMarketOptions(cmd, opts->market);
  AddModelOptions(cmd, opts->model);
  cmd->add_option("--start", opts->start, "cap's start in years from the valuation date")->capture_default_str();
  cmd->add_option("--end", opts->end, "cap's end in years from the valuation date")->capture_default_str();
  cmd->add_option("--cap-rate", opts->capRate, "cap (or floor) rate, decimal")->capture_default_str();
  cmd->add_option("--notional", opts->notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "caplets per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--type", opts->type, "cap or floor")->check(CLI::IsMember({"cap", "floor"}))->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    Array2D curve(LoadCurve(opts->market, serial));
    double value = 0.0;
    const std::int32_t status =
        HW_HullWhiteCap(serial, opts->start, opts->end, opts->capRate, opts->notional, opts->frequency,
                        opts->model.sigma, opts->model.meanReversion, opts->type == "cap" ? 1 : 0, curve.get(), &value);
    exitCode = Report("HW_HullWhiteCap", status, Family::kCap, {{opts->type, value}}, opts->market.json);
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
