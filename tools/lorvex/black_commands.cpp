// lorvex black-bond-option, black-swaption, black-cap
#include <fmt/core.h>

#include "cli.h"

namespace lorvex_cli {
namespace {

// A Black command: the market, the instrument's terms and one volatility.
template <class Terms>
struct BlackOptions {
  MarketOptions market;
  Terms terms;
  double vol = 0.2;
};

struct Volatility {
  double fallback;
  const char* help;
  const char* alias;  // the option's older name
};

template <class Args, class Terms>
void AddBlackCommand(CLI::App& app, int& exitCode, const char* name, const char* help, const char* calculation,
                     void (*addTerms)(CLI::App*, Terms&), Volatility volatility,
                     double (*price)(const Args&, const lorvex::Curve&)) {
  auto opts = std::make_shared<BlackOptions<Terms>>();
  opts->vol = volatility.fallback;
  auto* cmd = app.add_subcommand(name, help);
  AddMarketOptions(cmd, opts->market);
  addTerms(cmd, opts->terms);
  cmd->add_option("--volatility", opts->vol, volatility.help)->check(VolatilityCheck())->capture_default_str();
  AddAlias(cmd, volatility.alias, opts->vol)->check(VolatilityCheck());
  cmd->callback([opts, calculation, price, &exitCode] {
    const std::int32_t serial = ParseDate(opts->market.valuation);
    const Terms& t = opts->terms;
    exitCode = Price(calculation, opts->market.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      auto args = t.template ToArgs<Args>(serial);
      args.volatility = opts->vol;
      inputs = InputsOf(args);
      return {{t.type, price(args, ToCurve(LoadCurve(opts->market, serial)))}};
    });
  });
}

void RegisterBlackCommands(CLI::App& app, int& exitCode) {
  AddBlackCommand(app, exitCode, "black-bond-option", "European option on a coupon bond, Black's model",
                  "black_bond_option", AddBondOptionTerms,
                  {0.1, "volatility of the bond's forward yield, decimal", "--yield-vol"}, lorvex::black_bond_option);
  AddBlackCommand(app, exitCode, "black-swaption", "European swaption, Black's model on the forward swap rate",
                  "black_swaption", AddSwaptionTerms, {0.2, "volatility of the forward swap rate, decimal", "--vol"},
                  lorvex::black_swaption);
  AddBlackCommand(app, exitCode, "black-cap", "interest-rate cap or floor, Black's model per caplet", "black_cap",
                  AddCapTerms, {0.2, "volatility of the forward rates, decimal", "--vol"}, lorvex::black_cap);
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
