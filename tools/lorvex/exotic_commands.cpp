// lorvex barrier | compound | lookback | asian | chooser | binary
#include <fmt/core.h>

#include <string>
#include <utility>
#include <vector>

#include "cli.h"

namespace lorvex_cli {
namespace {

using Words = std::vector<std::pair<std::string, int>>;

const Words kKindWords = {{"call", 1}, {"put", 0}};
const Words kBarrierWords = {{"up-in", LORVEX_UP_AND_IN},
                             {"up-out", LORVEX_UP_AND_OUT},
                             {"down-in", LORVEX_DOWN_AND_IN},
                             {"down-out", LORVEX_DOWN_AND_OUT}};
const Words kUnderlyingWords = {{"call", LORVEX_UNDERLYING_CALL}, {"put", LORVEX_UNDERLYING_PUT}};
const Words kPayoffWords = {{"cash", LORVEX_CASH_OR_NOTHING}, {"asset", 10}};

std::string Choices(const Words& words) {
  std::string text;
  for (const auto& [word, code] : words) {
    text += fmt::format("{}{} ({})", text.empty() ? "" : ", ", word, code);
  }
  return text;
}

// A type code given as a word or as the number the export takes; numbers
// pass unchanged, so every code the export knows (and every one it treats
// as "other") can be given.
int ParseCode(const std::string& text, const Words& words, const std::string& option) {
  for (const auto& [word, code] : words) {
    if (text == word) return code;
  }
  try {
    std::size_t used = 0;
    const int code = std::stoi(text, &used);
    if (used == text.size()) return code;
  } catch (const std::exception&) {
  }
  throw CLI::ValidationError(option, "expected one of " + Choices(words) + " or an integer code");
}

// Options every exotic command shares.
struct Stock {
  double spot = 100.0;
  double rate = 0.08;
  double dividendYield = 0.04;
  double sigma = 0.25;
  bool json = false;
};

void AddStockOptions(CLI::App* cmd, Stock& s) {
  cmd->add_option("--spot", s.spot, "current stock price")->capture_default_str();
  cmd->add_option("--rate", s.rate, "interest rate, continuously compounded, per year")
      ->capture_default_str();
  cmd->add_option("--dividend-yield", s.dividendYield, "continuous dividend yield per year")
      ->capture_default_str();
  cmd->add_option("--sigma", s.sigma, "volatility per square-root year")->capture_default_str();
  cmd->add_flag("--json", s.json, "machine-readable output");
}

CLI::Option* AddCode(CLI::App* cmd, const std::string& name, std::string& target,
                     const Words& words, const std::string& meaning) {
  return cmd->add_option(name, target, meaning + ": " + Choices(words) + ", or the integer code")
      ->capture_default_str();
}

// The codes as the C++ API's choices: 1 is a call and any other kind a put,
// as the exports read them; barrier codes 5 to 8 and underlying codes 12
// and 13 are the ones with a choice of their own.
lorvex::OptionType Kind(int code) { return code == 1 ? lorvex::OptionType::Call : lorvex::OptionType::Put; }

lorvex::BarrierType Barrier(int code) {
  if (code < LORVEX_UP_AND_IN || code > LORVEX_DOWN_AND_OUT) {
    throw lorvex::Error(LORVEX_BAD_ARGUMENT, "barrier_type",
                        "code " + std::to_string(code) + " is not one of " + Choices(kBarrierWords));
  }
  return static_cast<lorvex::BarrierType>(code - LORVEX_UP_AND_IN);
}

lorvex::OptionType Underlying(int code) {
  if (code != LORVEX_UNDERLYING_CALL && code != LORVEX_UNDERLYING_PUT) {
    throw lorvex::Error(LORVEX_BAD_ARGUMENT, "underlying",
                        "code " + std::to_string(code) + " is not one of " + Choices(kUnderlyingWords));
  }
  return code == LORVEX_UNDERLYING_CALL ? lorvex::OptionType::Call : lorvex::OptionType::Put;
}

void Finish(int& exitCode, const char* function, bool json, const std::function<double()>& price) {
  exitCode = Price(function, json, [&]() -> std::vector<NamedValue> { return {{"value", price()}}; });
}

void RegisterBarrier(CLI::App& app, int& exitCode) {
  struct Options {
    Stock stock;
    double strike = 90, years = 0.5, barrier = 95;
    std::string type = "down-out", kind = "call";
  };
  auto o = std::make_shared<Options>();
  auto* cmd = app.add_subcommand("barrier", "European barrier option, continuous barrier, no rebate");
  AddStockOptions(cmd, o->stock);
  cmd->add_option("--strike", o->strike, "strike")->capture_default_str();
  cmd->add_option("--years", o->years, "time to expiry in years")->capture_default_str();
  cmd->add_option("--barrier", o->barrier, "barrier level")->capture_default_str();
  AddCode(cmd, "--type", o->type, kBarrierWords, "barrier type");
  AddCode(cmd, "--kind", o->kind, kKindWords, "option kind (1 call, any other put)");
  cmd->callback([o, &exitCode] {
    const int type = ParseCode(o->type, kBarrierWords, "--type");
    const int kind = ParseCode(o->kind, kKindWords, "--kind");
    Finish(exitCode, "barrier", o->stock.json, [&] {
      return lorvex::barrier({.spot = o->stock.spot,
                              .strike = o->strike,
                              .rate = o->stock.rate,
                              .expiry = o->years,
                              .dividend_yield = o->stock.dividendYield,
                              .barrier = o->barrier,
                              .volatility = o->stock.sigma,
                              .barrier_type = Barrier(type),
                              .option = Kind(kind)});
    });
  });
}

void RegisterCompound(CLI::App& app, int& exitCode) {
  struct Options {
    Stock stock{500, 0.08, 0.03, 0.35, false};
    double compoundStrike = 50, underlyingStrike = 520, t1 = 0.25, t2 = 0.5;
    std::string underlying = "call", kind = "call";
  };
  auto o = std::make_shared<Options>();
  auto* cmd = app.add_subcommand("compound", "option on a European option");
  AddStockOptions(cmd, o->stock);
  cmd->add_option("--compound-strike", o->compoundStrike,
                  "price paid (call) or received (put) for the underlying option at T1")
      ->capture_default_str();
  cmd->add_option("--underlying-strike", o->underlyingStrike, "strike of the underlying option")
      ->capture_default_str();
  cmd->add_option("--t1", o->t1, "expiry of the compound option, years")->capture_default_str();
  cmd->add_option("--t2", o->t2, "expiry of the underlying option, years")->capture_default_str();
  AddCode(cmd, "--underlying", o->underlying, kUnderlyingWords,
          "underlying option (12 call, any other put)");
  AddCode(cmd, "--kind", o->kind, kKindWords, "compound kind (1 call, any other put)");
  cmd->callback([o, &exitCode] {
    const int underlying = ParseCode(o->underlying, kUnderlyingWords, "--underlying");
    const int kind = ParseCode(o->kind, kKindWords, "--kind");
    Finish(exitCode, "compound", o->stock.json, [&] {
      return lorvex::compound({.spot = o->stock.spot,
                               .strike = o->compoundStrike,
                               .underlying_strike = o->underlyingStrike,
                               .rate = o->stock.rate,
                               .dividend_yield = o->stock.dividendYield,
                               .volatility = o->stock.sigma,
                               .expiry = o->t1,
                               .underlying_expiry = o->t2,
                               .underlying = Underlying(underlying),
                               .option = Kind(kind)});
    });
  });
}

void RegisterLookback(CLI::App& app, int& exitCode) {
  struct Options {
    Stock stock{120, 0.1, 0.04, 0.3, false};
    double years = 0.5, observedMax = 150, observedMin = 100;
    std::string kind = "call";
  };
  auto o = std::make_shared<Options>();
  auto* cmd = app.add_subcommand("lookback", "floating-strike lookback option");
  AddStockOptions(cmd, o->stock);
  cmd->add_option("--years", o->years, "time to expiry in years")->capture_default_str();
  cmd->add_option("--max", o->observedMax, "highest price observed so far (puts)")
      ->capture_default_str();
  cmd->add_option("--min", o->observedMin, "lowest price observed so far (calls)")
      ->capture_default_str();
  AddCode(cmd, "--kind", o->kind, kKindWords, "option kind (1 call, any other put)");
  cmd->callback([o, &exitCode] {
    const int kind = ParseCode(o->kind, kKindWords, "--kind");
    Finish(exitCode, "lookback", o->stock.json, [&] {
      return lorvex::lookback({.spot = o->stock.spot,
                               .rate = o->stock.rate,
                               .dividend_yield = o->stock.dividendYield,
                               .volatility = o->stock.sigma,
                               .expiry = o->years,
                               .observed_max = o->observedMax,
                               .observed_min = o->observedMin,
                               .option = Kind(kind)});
    });
  });
}

void RegisterAsian(CLI::App& app, int& exitCode) {
  struct Options {
    Stock stock{100, 0.05, 0.0, 0.2, false};
    double strike = 100, years = 1.0, observedAverage = 0.0, elapsed = 0.0;
    std::string kind = "call";
  };
  auto o = std::make_shared<Options>();
  auto* cmd = app.add_subcommand("asian", "arithmetic average-price option");
  AddStockOptions(cmd, o->stock);
  cmd->add_option("--strike", o->strike, "strike, against the average over the whole period")
      ->capture_default_str();
  cmd->add_option("--years", o->years, "remaining time to expiry in years")->capture_default_str();
  cmd->add_option("--observed-average", o->observedAverage, "average of the prices observed so far")
      ->capture_default_str();
  cmd->add_option("--elapsed", o->elapsed, "part of the averaging period already passed, years")
      ->capture_default_str();
  AddCode(cmd, "--kind", o->kind, kKindWords, "option kind (1 call, any other put)");
  cmd->callback([o, &exitCode] {
    const int kind = ParseCode(o->kind, kKindWords, "--kind");
    Finish(exitCode, "asian", o->stock.json, [&] {
      return lorvex::asian({.spot = o->stock.spot,
                            .strike = o->strike,
                            .rate = o->stock.rate,
                            .dividend_yield = o->stock.dividendYield,
                            .volatility = o->stock.sigma,
                            .expiry = o->years,
                            .observed_average = o->observedAverage,
                            .elapsed = o->elapsed,
                            .option = Kind(kind)});
    });
  });
}

void RegisterChooser(CLI::App& app, int& exitCode) {
  struct Options {
    Stock stock{50, 0.08, 0.0, 0.25, false};
    double strike = 50, years = 0.5, chooseAt = 0.25;
  };
  auto o = std::make_shared<Options>();
  auto* cmd = app.add_subcommand("chooser", "simple chooser: call or put, chosen later");
  AddStockOptions(cmd, o->stock);
  cmd->add_option("--strike", o->strike, "strike of the call and the put")->capture_default_str();
  cmd->add_option("--years", o->years, "expiry of the chosen option, years")->capture_default_str();
  cmd->add_option("--choose-at", o->chooseAt, "time of the choice, years")->capture_default_str();
  cmd->callback([o, &exitCode] {
    Finish(exitCode, "chooser", o->stock.json, [&] {
      return lorvex::chooser({.spot = o->stock.spot,
                              .strike = o->strike,
                              .rate = o->stock.rate,
                              .dividend_yield = o->stock.dividendYield,
                              .volatility = o->stock.sigma,
                              .expiry = o->years,
                              .choose_at = o->chooseAt});
    });
  });
}

void RegisterBinary(CLI::App& app, int& exitCode) {
  struct Options {
    Stock stock{100, 0.05, 0.0, 0.2, false};
    double strike = 100, years = 1.0, cash = 10;
    std::string payoff = "cash", kind = "call";
  };
  auto o = std::make_shared<Options>();
  auto* cmd = app.add_subcommand("binary", "cash-or-nothing or asset-or-nothing digital option");
  AddStockOptions(cmd, o->stock);
  cmd->add_option("--strike", o->strike, "strike")->capture_default_str();
  cmd->add_option("--years", o->years, "time to expiry in years")->capture_default_str();
  cmd->add_option("--cash", o->cash, "amount a cash-or-nothing option pays")->capture_default_str();
  AddCode(cmd, "--payoff", o->payoff, kPayoffWords, "payoff (9 cash, any other asset)");
  AddCode(cmd, "--kind", o->kind, kKindWords, "option kind (1 call, any other put)");
  cmd->callback([o, &exitCode] {
    const int payoff = ParseCode(o->payoff, kPayoffWords, "--payoff");
    const int kind = ParseCode(o->kind, kKindWords, "--kind");
    Finish(exitCode, "binary", o->stock.json, [&] {
      return lorvex::binary({.spot = o->stock.spot,
                             .strike = o->strike,
                             .rate = o->stock.rate,
                             .dividend_yield = o->stock.dividendYield,
                             .volatility = o->stock.sigma,
                             .expiry = o->years,
                             .cash = o->cash,
                             .payoff = payoff == LORVEX_CASH_OR_NOTHING ? lorvex::Payoff::Cash : lorvex::Payoff::Asset,
                             .option = Kind(kind)});
    });
  });
}

void RegisterExoticCommands(CLI::App& app, int& exitCode) {
  RegisterBarrier(app, exitCode);
  RegisterCompound(app, exitCode);
  RegisterLookback(app, exitCode);
  RegisterAsian(app, exitCode);
  RegisterChooser(app, exitCode);
  RegisterBinary(app, exitCode);
}

// The textbook examples of each family (they take no curve).
void AddExoticDemoRows(std::vector<DemoRow>& book, std::int32_t) {
  double v = 0.0;
  std::int32_t s = 0;
  const auto add = [&](const char* instrument, std::string terms, const char* function) {
    book.push_back({instrument, std::move(terms), function, v, s});
  };
  const char* kStock = "S 100 r 8% q 4% vol 25% 0.5y";
  s = HW_barrier_compute(100, 90, 0.08, 0.5, 0.04, 95, 0.25, LORVEX_DOWN_AND_OUT, 1, &v);
  add("barrier down-and-out call", fmt::format("{} X 90 H 95", kStock), "HW_barrier_compute");
  s = HW_barrier_compute(100, 90, 0.08, 0.5, 0.04, 95, 0.25, LORVEX_DOWN_AND_IN, 1, &v);
  add("barrier down-and-in call", fmt::format("{} X 90 H 95", kStock), "HW_barrier_compute");
  s = HW_barrier_compute(100, 100, 0.08, 0.5, 0.04, 105, 0.25, LORVEX_UP_AND_OUT, 0, &v);
  add("barrier up-and-out put", fmt::format("{} X 100 H 105", kStock), "HW_barrier_compute");
  s = HW_compound_compute(500, 50, 520, 0.08, 0.03, 0.35, 0.25, 0.5, LORVEX_UNDERLYING_CALL, 1, &v);
  add("compound call on call", "S 500 X1 50 X2 520 vol 35% 0.25y/0.5y", "HW_compound_compute");
  s = HW_compound_compute(500, 50, 520, 0.08, 0.03, 0.35, 0.25, 0.5, LORVEX_UNDERLYING_PUT, 0, &v);
  add("compound put on put", "S 500 X1 50 X2 520 vol 35% 0.25y/0.5y", "HW_compound_compute");
  s = HW_lookback_compute(120, 0.1, 0.04, 0.3, 0.5, 150, 100, 1, &v);
  add("lookback call", "S 120 min 100 vol 30% 0.5y", "HW_lookback_compute");
  s = HW_lookback_compute(120, 0.1, 0.04, 0.3, 0.5, 150, 100, 0, &v);
  add("lookback put", "S 120 max 150 vol 30% 0.5y", "HW_lookback_compute");
  s = HW_avgopt_compute(100, 100, 0.05, 0, 0.2, 1, 0, 0, 1, &v);
  add("average-price call", "S 100 X 100 vol 20% 1y", "HW_avgopt_compute");
  s = HW_avgopt_compute(100, 100, 0.05, 0, 0.2, 1, 0, 0, 0, &v);
  add("average-price put", "S 100 X 100 vol 20% 1y", "HW_avgopt_compute");
  s = HW_chooser_compute(50, 50, 0.08, 0, 0.25, 0.5, 0.25, &v);
  add("chooser", "S 50 X 50 vol 25% choose 0.25y of 0.5y", "HW_chooser_compute");
  s = HW_binary_compute(100, 100, 0.05, 0, 0.2, 1, 10, LORVEX_CASH_OR_NOTHING, 1, &v);
  add("cash-or-nothing call", "S 100 X 100 pays 10 vol 20% 1y", "HW_binary_compute");
  s = HW_binary_compute(100, 100, 0.05, 0, 0.2, 1, 10, 10, 1, &v);
  add("asset-or-nothing call", "S 100 X 100 vol 20% 1y", "HW_binary_compute");
}

const bool registered = RegisterFamily({40, RegisterExoticCommands, AddExoticDemoRows});

}  // namespace
}  // namespace lorvex_cli
