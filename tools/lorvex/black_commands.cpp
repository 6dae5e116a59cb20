// lorvex black-bond-option, black-swaption, black-cap
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

struct BondOptionOptions {
  MarketOptions market;
  double bondMaturity = 5.0;
  double coupon = 0.06;
  double face = 100.0;
  int frequency = 2;
  double expiry = 1.0;
  double strike = 100.0;
  double yieldVol = 0.1;
  std::string type = "call";
  std::string strikeQuote = "clean";
};

struct SwaptionOptions {
  MarketOptions market;
  double expiry = 1.0;
  double swapEnd = 6.0;
  double fixedRate = 0.05;
  double notional = 100.0;
  int frequency = 2;
  double vol = 0.2;
  std::string type = "payer";
};

struct CapOptions {
  MarketOptions market;
  double start = 0.25;
  double end = 3.0;
  double capRate = 0.05;
  double notional = 100.0;
  int frequency = 4;
  double vol = 0.2;
  std::string type = "cap";
};

void AddBondOptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<BondOptionOptions>();
  auto* cmd = app.add_subcommand("black-bond-option", "European option on a coupon bond, Black's model");
  AddMarketOptions(cmd, opts->market);
  cmd->add_option("--bond-maturity", opts->bondMaturity, "bond's time to maturity in years")
      ->capture_default_str();
  cmd->add_option("--coupon", opts->coupon, "bond's annual coupon rate, decimal")->capture_default_str();
  cmd->add_option("--face", opts->face, "bond's face value")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "coupons per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--expiry", opts->expiry, "option's time to expiry in years")->capture_default_str();
  cmd->add_option("--strike", opts->strike, "strike price, in the face's units")->capture_default_str();
  cmd->add_option("--yield-vol", opts->yieldVol, "volatility of the bond's forward yield, decimal")
      ->capture_default_str();
  cmd->add_option("--type", opts->type, "call or put")
      ->check(CLI::IsMember({"call", "put"}))
      ->capture_default_str();
  cmd->add_option("--strike-quote", opts->strikeQuote,
                  "clean (accrued interest at expiry added to the strike) or dirty")
      ->check(CLI::IsMember({"clean", "dirty"}))
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    Array2D curve(LoadCurve(opts->market, serial));
    double value = 0.0;
    const std::int32_t status = HW_BlackBondOption(
        serial, opts->bondMaturity, opts->coupon, opts->face, opts->frequency, opts->expiry, opts->strike,
        opts->yieldVol, opts->type == "call" ? 1 : 0, opts->strikeQuote == "clean" ? 1 : 0, curve.get(),
        &value);
    exitCode = Report("HW_BlackBondOption", status, Family::kRate, {{opts->type, value}}, opts->market.json);
  });
}

void AddSwaptionCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<SwaptionOptions>();
  auto* cmd = app.add_subcommand("black-swaption", "European swaption, Black's model on the forward swap rate");
  AddMarketOptions(cmd, opts->market);
  cmd->add_option("--expiry", opts->expiry, "option's expiry in years; the swap starts then")
      ->capture_default_str();
  cmd->add_option("--swap-end", opts->swapEnd, "swap's end in years from the valuation date")
      ->capture_default_str();
  cmd->add_option("--fixed-rate", opts->fixedRate, "swap's fixed rate (the strike), decimal")
      ->capture_default_str();
  cmd->add_option("--notional", opts->notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "payments per year on both legs: 1, 2, 4 or 12")
      ->capture_default_str();
  cmd->add_option("--vol", opts->vol, "volatility of the forward swap rate, decimal")->capture_default_str();
  cmd->add_option("--type", opts->type, "payer (pay fixed) or receiver (receive fixed)")
      ->check(CLI::IsMember({"payer", "receiver"}))
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    Array2D curve(LoadCurve(opts->market, serial));
    double value = 0.0;
    const std::int32_t status =
        HW_BlackSwapOption(serial, opts->expiry, opts->swapEnd, opts->fixedRate, opts->notional,
                           opts->frequency, opts->vol, opts->type == "receiver" ? 1 : 0, curve.get(), &value);
    exitCode = Report("HW_BlackSwapOption", status, Family::kSwap, {{opts->type, value}}, opts->market.json);
  });
}

void AddCapCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<CapOptions>();
  auto* cmd = app.add_subcommand("black-cap", "interest-rate cap or floor, Black's model per caplet");
  AddMarketOptions(cmd, opts->market);
  cmd->add_option("--start", opts->start, "cap's start in years from the valuation date")->capture_default_str();
  cmd->add_option("--end", opts->end, "cap's end in years from the valuation date")->capture_default_str();
  cmd->add_option("--cap-rate", opts->capRate, "cap (or floor) rate, decimal")->capture_default_str();
  cmd->add_option("--notional", opts->notional, "notional")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "caplets per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--vol", opts->vol, "volatility of the forward rates, decimal")->capture_default_str();
  cmd->add_option("--type", opts->type, "cap or floor")
      ->check(CLI::IsMember({"cap", "floor"}))
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    Array2D curve(LoadCurve(opts->market, serial));
    double value = 0.0;
    const std::int32_t status = HW_BlackCap(serial, opts->start, opts->end, opts->capRate, opts->notional,
                                            opts->frequency, opts->vol, opts->type == "cap" ? 1 : 0,
                                            curve.get(), &value);
    exitCode = Report("HW_BlackCap", status, Family::kCap, {{opts->type, value}}, opts->market.json);
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
