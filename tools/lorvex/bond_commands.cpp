// lorvex bond-price
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

struct BondPriceOptions {
  MarketOptions market;
  double maturity = 2.0;
  double coupon = 0.06;
  double face = 100.0;
  int frequency = 2;
};

void RegisterBondCommands(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<BondPriceOptions>();
  auto* cmd = app.add_subcommand("bond-price", "clean price of a coupon bond on the zero curve");
  AddMarketOptions(cmd, opts->market);
  cmd->add_option("--maturity", opts->maturity, "time to maturity in years")->capture_default_str();
  cmd->add_option("--coupon", opts->coupon, "annual coupon rate, decimal")->capture_default_str();
  cmd->add_option("--face", opts->face, "face value, repaid at maturity")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "coupons per year: 1, 2, 4 or 12")
      ->capture_default_str();
  cmd->callback([opts, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    exitCode = Price("bond_price", opts->market.json, [&]() -> std::vector<NamedValue> {
      return {{"clean_price", lorvex::bond_price({.valuation = serial,
                                                  .maturity = opts->maturity,
                                                  .coupon = opts->coupon,
                                                  .face = opts->face,
                                                  .frequency = opts->frequency},
                                                 ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void AddBondDemoRows(std::vector<DemoRow>& book, std::int32_t serial) {
  Array2D curve(SampleCurve(serial));
  struct Bond {
    double years, coupon;
    int frequency;
  };
  for (const Bond& b : {Bond{2.0, 0.06, 2}, Bond{2.5, 0.06, 2}, Bond{1.3, 0.08, 4}, Bond{10, 0.05, 1}}) {
    double price = 0.0;
    const std::int32_t status = HW_BondPrice(serial, b.years, b.coupon, 100.0, b.frequency,
                                             curve.get(), &price);
    book.push_back({"coupon bond", fmt::format("{}y {:.2f}% x{} face 100", b.years, 100 * b.coupon,
                                               b.frequency),
                    "HW_BondPrice", price, status});
  }
}

const bool registered = RegisterFamily({10, RegisterBondCommands, AddBondDemoRows});

}  // namespace
}  // namespace lorvex_cli
