// The book engine against single calls of the C++ API: every calculation,
// every status path, any row order, any thread count; bump-and-reprice risk
// against finite differences of single calls; malformed files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "book/book.h"
#include "lorvex/lorvex.hpp"

namespace lorvex::book {
namespace {

constexpr int kValuation = 36526;  // 2000-01-01

const char* const kCurves =
    "curve,date,rate\n"
    "USD,2000-07-01,0.047\nUSD,2001-01-01,0.048\nUSD,2003-01-01,0.0515\nUSD,2007-01-01,0.055\n"
    "USD,2020-01-01,0.059\n"
    "EUR,36892,0.035\nEUR,2005-01-01,0.0415\nEUR,2015-01-01,0.0475\n";

std::vector<double> Rates(const CurveData& c, double parallel, std::size_t pillar = 99, double shift = 0) {
  std::vector<double> r = c.rates;
  for (std::size_t i = 0; i < r.size(); ++i) r[i] += parallel + (i == pillar ? shift : 0.0);
  return r;
}

std::vector<CurveData> TestCurves() {
  std::istringstream in(kCurves);
  return ReadCurves(in, "curves.csv");
}

Curve Named(const std::string& name, double parallel = 0, std::size_t pillar = 99, double shift = 0) {
  for (const CurveData& c : TestCurves()) {
    if (c.name == name) return Curve(c.dates, Rates(c, parallel, pillar, shift));
  }
  throw std::logic_error("no curve " + name);
}

// A result file split into rows of cells (quoted cells may hold commas).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char ch = line[i];
      if (ch == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
        cells.back() += '"';
        ++i;
      } else if (ch == '"') {
        quoted = !quoted;
      } else if (ch == ',' && !quoted) {
        cells.emplace_back();
      } else {
        cells.back() += ch;
      }
    }
    rows.push_back(cells);
  }
  return rows;
}

std::string PriceText(const std::string& trades, Options options, const std::vector<Scenario>& scenarios = {}) {
  std::istringstream in(trades);
  std::ostringstream out;
  options.valuation = kValuation;
  PriceBook(in, "trades.csv", TestCurves(), scenarios, options, out);
  return out.str();
}

double Num(const std::string& cell) { return cell.empty() ? std::nan("") : std::stod(cell); }

// One trade: its book row (the cells after id) and the same trade as one
// call of the API. Columns of the book below.
struct Case {
  std::string cells;
  std::function<EquityResult()> call;
};

const char* const kColumns =
    "id,type,curve,maturity,coupon,frequency,expiry,strike,volatility,option,fixed_rate,notional,"
    "start,cap_rate,mean_reversion,exercise,steps,steps_per_year,step_parameter,tree,spot,rate,"
    "dividend_yield,barrier,barrier_type,underlying_strike,underlying_expiry,underlying,"
    "observed_max,observed_min,observed_average,elapsed,choose_at,cash,payoff,strike_quote\n";

EquityResult V(double v) { return {v, NAN, NAN, NAN}; }

// Every calculation once or more, and every way a row fails: the API's
// refusals (-1 tree, -2 swap schedule, -3 cap schedule, -9 argument) and
// the book's own (unknown type or curve, text in a number, a short line).
std::vector<Case> Cases() {
  const Curve usd = Named("USD"), eur = Named("EUR");
  return {
      {"bond_price,USD,5,0.06,2,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [=] { return V(bond_price({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .frequency = 2}, usd)); }},
      {"bond_price,EUR,12.5,0.04,1,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [=] { return V(bond_price({.valuation = kValuation, .maturity = 12.5, .coupon = 0.04, .frequency = 1}, eur)); }},
      {"black_bond_option,USD,5,0.06,2,1,100,0.1,put,,,,,,,,,,,,,,,,,,,,,,,,,,dirty", [=] { return V(black_bond_option({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .frequency = 2, .expiry = 1, .strike = 100, .volatility = 0.1, .option = OptionType::Put, .strike_quote = StrikeQuote::Dirty}, usd)); }},
      {"black_swaption,EUR,6,,2,1,,0.2,receiver,0.05,1000,,,,,,,,,,,,,,,,,,,,,,,,", [=] { return V(black_swaption({.valuation = kValuation, .expiry = 1, .maturity = 6, .fixed_rate = 0.05, .notional = 1000, .frequency = 2, .volatility = 0.2, .option = SwaptionType::Receiver}, eur)); }},
      {"black_cap,USD,3,,4,,,0.2,floor,,100,0.25,0.05,,,,,,,,,,,,,,,,,,,,,,", [=] { return V(black_cap({.valuation = kValuation, .start = 0.25, .maturity = 3, .cap_rate = 0.05, .frequency = 4, .volatility = 0.2, .option = CapType::Floor}, usd)); }},
      {"hw_bond_option,USD,5,0.06,2,1,100,0.01,call,,,,,0.1,,,,,,,,,,,,,,,,,,,,,", [=] { return V(hw_bond_option({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .frequency = 2, .expiry = 1, .strike = 100, .volatility = 0.01, .mean_reversion = 0.1}, usd)); }},
      {"hw_swaption,USD,6,,2,1,,0.01,payer,0.05,100,,,0.1,,,,,,,,,,,,,,,,,,,,,", [=] { return V(hw_swaption({.valuation = kValuation, .expiry = 1, .maturity = 6, .fixed_rate = 0.05, .volatility = 0.01, .mean_reversion = 0.1}, usd)); }},
      {"hw_cap,EUR,3,,4,,,0.01,cap,,100,0.25,0.05,0.1,,,,,,,,,,,,,,,,,,,,,", [=] { return V(hw_cap({.valuation = kValuation, .start = 0.25, .maturity = 3, .cap_rate = 0.05, .volatility = 0.01, .mean_reversion = 0.1}, eur)); }},
      {"tree_bond_option,USD,5,0.06,2,1,100,0.01,put,,,,,0.1,american,60,,,lognormal,,,,,,,,,,,,,,,,", [=] { return V(tree_bond_option({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .frequency = 2, .expiry = 1, .strike = 100, .option = OptionType::Put, .exercise = Exercise::American, .volatility = 0.01, .mean_reversion = 0.1, .steps = 60, .tree = TreeKind::Lognormal}, usd)); }},
      {"tree_swaption,EUR,4,,2,1,,0.01,payer,0.045,100,,,0.1,,,20,,,,,,,,,,,,,,,,,,", [=] { return V(tree_swaption({.valuation = kValuation, .expiry = 1, .maturity = 4, .fixed_rate = 0.045, .volatility = 0.01, .mean_reversion = 0.1, .steps_per_year = 20}, eur)); }},
      {"tree_cap,USD,3,,4,,,0.01,cap,,100,0.5,0.05,0.1,,,,5,,,,,,,,,,,,,,,,,", [=] { return V(tree_cap({.valuation = kValuation, .start = 0.5, .maturity = 3, .cap_rate = 0.05, .volatility = 0.01, .mean_reversion = 0.1, .step_parameter = 5}, usd)); }},
      {"equity_option,,,,,0.5,100,0.25,put,,,,,,american,200,,,,95,0.05,0.01,,,,,,,,,,,,,", [=] { return equity_option({.spot = 95, .strike = 100, .rate = 0.05, .expiry = 0.5, .dividend_yield = 0.01, .volatility = 0.25, .steps = 200, .exercise = Exercise::American, .option = OptionType::Put}); }},
      {"barrier,,,,,0.5,100,0.25,call,,,,,,,,,,,100,0.08,0.04,90,down-in,,,,,,,,,,,", [=] { return V(barrier({.spot = 100, .strike = 100, .rate = 0.08, .expiry = 0.5, .dividend_yield = 0.04, .barrier = 90, .volatility = 0.25, .barrier_type = BarrierType::DownIn})); }},
      {"compound,,,,,0.25,5,0.3,put,,,,,,,,,,,100,0.08,0.04,,,100,0.75,put,,,,,,,,", [=] { return V(compound({.spot = 100, .strike = 5, .underlying_strike = 100, .rate = 0.08, .dividend_yield = 0.04, .volatility = 0.3, .expiry = 0.25, .underlying_expiry = 0.75, .underlying = OptionType::Put, .option = OptionType::Put})); }},
      {"lookback,,,,,0.5,,0.3,put,,,,,,,,,,,100,0.08,0.04,,,,,,110,95,,,,,,", [=] { return V(lookback({.spot = 100, .rate = 0.08, .dividend_yield = 0.04, .volatility = 0.3, .expiry = 0.5, .observed_max = 110, .observed_min = 95, .option = OptionType::Put})); }},
      {"asian,,,,,0.5,100,0.2,call,,,,,,,,,,,100,0.08,0.04,,,,,,,,98,0.25,,,,", [=] { return V(asian({.spot = 100, .strike = 100, .rate = 0.08, .dividend_yield = 0.04, .volatility = 0.2, .expiry = 0.5, .observed_average = 98, .elapsed = 0.25})); }},
      {"chooser,,,,,0.5,100,0.2,,,,,,,,,,,,100,0.08,0.04,,,,,,,,,,0.25,,,", [=] { return V(chooser({.spot = 100, .strike = 100, .rate = 0.08, .dividend_yield = 0.04, .volatility = 0.2, .expiry = 0.5, .choose_at = 0.25})); }},
      {"binary,,,,,0.5,100,0.2,put,,,,,,,,,,,100,0.08,0.04,,,,,,,,,,,10,cash,", [=] { return V(binary({.spot = 100, .strike = 100, .rate = 0.08, .dividend_yield = 0.04, .volatility = 0.2, .expiry = 0.5, .cash = 10, .payoff = Payoff::Cash, .option = OptionType::Put})); }},
      // Refusals of the API, with their statuses.
      {"equity_option,,,,,0.5,100,0.25,put,,,,,,,1,,,,95,0.05,0.01,,,,,,,,,,,,,", [=] { return equity_option({.spot = 95, .strike = 100, .rate = 0.05, .expiry = 0.5, .dividend_yield = 0.01, .volatility = 0.25, .steps = 1, .option = OptionType::Put}); }},
      {"black_swaption,EUR,1,,3,2,,0.2,payer,0.05,100,,,,,,,,,,,,,,,,,,,,,,,,", [=] { return V(black_swaption({.valuation = kValuation, .expiry = 2, .maturity = 1, .fixed_rate = 0.05, .frequency = 3, .volatility = 0.2}, eur)); }},
      {"black_cap,USD,3,,5,,,0.2,cap,,100,0.25,0.05,,,,,,,,,,,,,,,,,,,,,,", [=] { return V(black_cap({.valuation = kValuation, .start = 0.25, .maturity = 3, .cap_rate = 0.05, .frequency = 5, .volatility = 0.2}, usd)); }},
      {"tree_swaption,EUR,4,,5,1,,0.01,payer,0.045,100,,,0.1,,,10,,,,,,,,,,,,,,,,,,", [=] { return V(tree_swaption({.valuation = kValuation, .expiry = 1, .maturity = 4, .fixed_rate = 0.045, .frequency = 5, .volatility = 0.01, .mean_reversion = 0.1, .steps_per_year = 10}, eur)); }},
      {"tree_bond_option,USD,30,0.06,2,29,100,0.01,put,,,,,0.1,,90000,,,,,,,,,,,,,,,,,,,", [=] { return V(tree_bond_option({.valuation = kValuation, .maturity = 30, .coupon = 0.06, .expiry = 29, .strike = 100, .option = OptionType::Put, .volatility = 0.01, .mean_reversion = 0.1, .steps = 90000}, usd)); }},
      {"tree_bond_option,USD,5,0.06,2,1,100,0.01,put,,,,,0.1,,1,,,,,,,,,,,,,,,,,,,", [=] { return V(tree_bond_option({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .frequency = 2, .expiry = 1, .strike = 100, .option = OptionType::Put, .volatility = 0.01, .mean_reversion = 0.1, .steps = 1}, usd)); }},
      // Refusals of the book: status -9, the argument named.
      {"bond_price,USD,five,0.06,2,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [] { throw Error(-9, "maturity", "'five' is not a number"); return V(0); }},
      {"bond_price,USD,5,0.06,4.0,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [=] { return V(bond_price({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .frequency = 4}, usd)); }},
      {"bond_price,USD,5,0.06,2.5,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [] { throw Error(-9, "frequency", "'2.5' is not an integer"); return V(0); }},
      {"bond_price,GBP,5,0.06,2,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [] { throw Error(-9, "curve", "'GBP' is not a curve of the curves file"); return V(0); }},
      {"bond_price,,5,0.06,2,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [] { throw Error(-9, "curve", "blank, and the curves file has 2 curves: name one"); return V(0); }},
      {"swap,USD,5,0.06,2,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [] { throw Error(-9, "type", "'swap' is not a calculation of a book (bond_price ... binary, as in lorvex.hpp)"); return V(0); }},
      {"barrier,,,,,0.5,100,0.25,call,,,,,,,,,,,100,0.08,0.04,90,sideways,,,,,,,,,,,", [] { return V(barrier({.barrier_type = from_string<BarrierType>("sideways", "barrier_type")})); }},
      {"bond_price,USD,5,0.06", [] { throw Error(-9, "", "line 0 has 5 cells, the header 36"); return V(0); }},
  };
}

struct Expected {
  EquityResult r{NAN, NAN, NAN, NAN};
  int status = 0;
  std::string message;
};

Expected Call(const Case& c) {
  Expected e;
  try {
    e.r = c.call();
  } catch (const Error& err) {
    e.status = err.status();
    e.message = err.what();
  }
  return e;
}

void ExpectSame(double want, const std::string& cell, const std::string& what) {
  if (std::isnan(want)) {
    EXPECT_EQ(cell, "") << what;
  } else {
    EXPECT_EQ(Num(cell), want) << what;  // shortest round-trip text: exact
  }
}

// Rows shuffled, chunks of 5 rows, 1 to 4 threads: each result row is the
// single call's value, Greeks, status and message, in the input order.
TEST(Book, EqualsSingleCallsRowByRowInAnyOrderOnAnyThreads) {
  const std::vector<Case> cases = Cases();
  std::vector<Expected> expected;
  for (const Case& c : cases) expected.push_back(Call(c));
  std::vector<int> statuses;
  for (const Expected& e : expected) statuses.push_back(e.status);
  for (int status : {0, -1, -2, -3, -9}) {
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), status), statuses.end()) << "no case of status " << status;
  }
  std::vector<std::size_t> order(cases.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::mt19937 rng(18);
  for (unsigned threads : {1u, 2u, 4u}) {
    std::shuffle(order.begin(), order.end(), rng);
    std::string trades = kColumns;
    for (std::size_t i : order) trades += "T" + std::to_string(i) + "," + cases[i].cells + "\n";
    Options options;
    options.threads = threads;
    options.chunk_rows = 5;
    const auto rows = ParseCsv(PriceText(trades, options));
    ASSERT_EQ(rows.size(), cases.size() + 1);
    for (std::size_t k = 0; k < order.size(); ++k) {
      const std::vector<std::string>& row = rows[k + 1];
      const Expected& e = expected[order[k]];
      const std::string what = "threads " + std::to_string(threads) + ", row " + cases[order[k]].cells;
      ASSERT_EQ(row.size(), 8u) << what;
      EXPECT_EQ(row[0], "T" + std::to_string(order[k])) << what;
      EXPECT_EQ(row[3], std::to_string(e.status)) << what;
      if (cases[order[k]].cells.size() > 25) {
        EXPECT_EQ(row[4], e.message) << what;
      } else {
        EXPECT_NE(row[4].find("5 cells, the header 36"), std::string::npos) << what;
      }
      ExpectSame(e.r.value, row[2], what);
      ExpectSame(e.r.delta, row[5], what);
      ExpectSame(e.r.gamma, row[6], what);
      ExpectSame(e.r.theta, row[7], what);
    }
  }
}

// An equity option's cash dividends come from the `dividends` cell: a
// blank cell is no dividends, a malformed one refuses that row only.
TEST(Book, DividendsCellGivesTheCashDividends) {
  const std::string trades =
      "id,type,spot,strike,rate,expiry,volatility,steps,exercise,option,dividends\n"
      "D1,equity_option,100,100,0.05,1,0.25,200,american,put,0.25:1.5; 0.75:1.5\n"
      "D2,equity_option,100,100,0.05,1,0.25,200,american,put,\n"
      "D3,equity_option,100,100,0.05,1,0.25,200,american,put,0.25-1.5\n";
  const auto rows = ParseCsv(PriceText(trades, Options{}));
  const EquityOptionArgs args{.spot = 100, .strike = 100, .rate = 0.05, .expiry = 1, .volatility = 0.25,
                              .steps = 200, .exercise = Exercise::American, .option = OptionType::Put};
  const EquityResult paid = equity_option(args, Dividends({0.25, 0.75}, {1.5, 1.5}));
  ExpectSame(paid.value, rows[1][2], "D1");
  ExpectSame(paid.delta, rows[1][5], "D1 delta");
  ExpectSame(equity_option(args).value, rows[2][2], "D2");
  // spot is the price less the dividends' value, which the tree adds back
  // before each payment: the same spot with dividends is a dearer stock.
  EXPECT_LT(paid.value, equity_option(args).value);
  EXPECT_EQ(rows[3][3], "-9");
  EXPECT_EQ(rows[3][4], "dividends: '0.25-1.5' is not a TIME:AMOUNT pair (years, cash; pairs separated by ';')");
}

// A tree's limits come from the work_nodes and memory_bytes cells: blank
// keeps the default budgets, a limit the tree exceeds refuses that row
// with the C++ API's -1 and message.
TEST(Book, TreeLimitsCellsSetTheBudgets) {
  const std::string trades =
      "id,type,curve,maturity,coupon,expiry,strike,option,volatility,mean_reversion,steps,work_nodes,memory_bytes\n"
      "L1,tree_bond_option,USD,5,0.06,1,100,put,0.01,0.1,40,,\n"
      "L2,tree_bond_option,USD,5,0.06,1,100,put,0.01,0.1,40,1000,\n"
      "L3,tree_bond_option,USD,5,0.06,1,100,put,0.01,0.1,40,,1000\n"
      "L4,tree_bond_option,USD,5,0.06,1,100,put,0.01,0.1,40,lots,\n";
  const auto rows = ParseCsv(PriceText(trades, Options{}));
  const Curve usd = Named("USD");
  const auto call = [&](TreeLimits limits) {
    return Call({"", [&] {
                   return V(tree_bond_option({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .expiry = 1,
                                              .strike = 100, .option = OptionType::Put, .volatility = 0.01,
                                              .mean_reversion = 0.1, .steps = 40, .limits = limits},
                                             usd));
                 }});
  };
  const Expected cases[] = {call({}), call({.work_nodes = 1000}), call({.memory_bytes = 1000})};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(rows[i + 1][3], std::to_string(cases[i].status)) << i;
    EXPECT_EQ(rows[i + 1][4], cases[i].message) << i;
    ExpectSame(cases[i].r.value, rows[i + 1][2], "L" + std::to_string(i + 1));
  }
  EXPECT_EQ(rows[1][3], "0");
  EXPECT_EQ(rows[2][3], "-1");
  EXPECT_EQ(rows[3][3], "-1");
  EXPECT_EQ(rows[4][4], "work_nodes: 'lots' is not a number");
}

// DV01 and key rates against central differences of single calls on
// curves bumped here; the key rates add up to DV01 (linear interpolation:
// the pillar bumps sum to the parallel bump); and two scenarios +-1 bp
// reproduce DV01.
TEST(Book, RiskEqualsFiniteDifferencesOfSingleCalls) {
  struct RiskCase {
    std::string cells;
    std::function<double(const Curve&)> price;
  };
  const std::vector<RiskCase> cases = {
      {"bond_price,USD,5,0.06,2,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", [](const Curve& c) { return bond_price({.valuation = kValuation, .maturity = 5, .coupon = 0.06}, c); }},
      {"black_swaption,USD,6,,2,1,,0.2,receiver,0.05,1000,,,,,,,,,,,,,,,,,,,,,,,,", [](const Curve& c) { return black_swaption({.valuation = kValuation, .expiry = 1, .maturity = 6, .fixed_rate = 0.05, .notional = 1000, .volatility = 0.2, .option = SwaptionType::Receiver}, c); }},
      {"hw_cap,USD,3,,4,,,0.01,cap,,100,0.25,0.05,0.1,,,,,,,,,,,,,,,,,,,,,", [](const Curve& c) { return hw_cap({.valuation = kValuation, .start = 0.25, .maturity = 3, .cap_rate = 0.05, .volatility = 0.01, .mean_reversion = 0.1}, c); }},
      {"tree_bond_option,USD,5,0.06,2,1,100,0.01,put,,,,,0.1,european,40,,,,,,,,,,,,,,,,,,,", [](const Curve& c) { return tree_bond_option({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .expiry = 1, .strike = 100, .option = OptionType::Put, .volatility = 0.01, .mean_reversion = 0.1, .steps = 40}, c); }},
      {"tree_cap,USD,3,,4,,,0.01,cap,,100,0.5,0.05,0.1,,,,5,,,,,,,,,,,,,,,,,", [](const Curve& c) { return tree_cap({.valuation = kValuation, .start = 0.5, .maturity = 3, .cap_rate = 0.05, .volatility = 0.01, .mean_reversion = 0.1, .step_parameter = 5}, c); }},
  };
  std::string trades = kColumns;
  for (std::size_t i = 0; i < cases.size(); ++i) trades += "R" + std::to_string(i) + "," + cases[i].cells + "\n";
  Options options;
  options.dv01 = options.keyrate = true;
  const auto rows = ParseCsv(PriceText(trades, options));
  // Key-rate columns: the union of both curves' pillar dates (7: one shared).
  ASSERT_EQ(rows[0].size(), 9u + 7u);
  EXPECT_EQ(rows[0][8], "dv01");
  EXPECT_EQ(rows[0][9], "keyrate_2000-07-01");

  std::istringstream scenarioText("scenario,curve,date,shift_bp\nup,,,1\ndown,USD,,-1\ndown,EUR,,-1\n");
  const std::vector<Scenario> scenarios = ReadScenarios(scenarioText, "scenarios.csv", TestCurves());
  const auto shifted = ParseCsv(PriceText(trades, Options{}, scenarios));

  const std::size_t usdColumn[] = {9, 10, 11, 13, 15};  // EUR's own pillars between
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& row = rows[i + 1];
    const double base = cases[i].price(Named("USD"));
    const double dv01 = (cases[i].price(Named("USD", 1e-4)) - cases[i].price(Named("USD", -1e-4))) / 2;
    EXPECT_EQ(Num(row[2]), base) << cases[i].cells;
    EXPECT_NEAR(Num(row[8]), dv01, 1e-12 * std::abs(base)) << cases[i].cells;
    double sum = 0;
    for (std::size_t k = 0; k < 5; ++k) {
      const double fd = (cases[i].price(Named("USD", 0, k, 1e-4)) - cases[i].price(Named("USD", 0, k, -1e-4))) / 2;
      const std::string cell = row[usdColumn[k]];
      EXPECT_NEAR(Num(cell), fd, 1e-12 * std::abs(base)) << cases[i].cells << " pillar " << k;
      sum += Num(cell);
    }
    // The central differences leave third-order terms, of relative size
    // (1 bp x duration)^2 for smooth prices. A tree's payoff is kinked at
    // its nodes: a 1 bp bump that moves a node across the strike breaks the
    // sum, so only the closed forms are held to it.
    if (cases[i].cells.rfind("tree_", 0) != 0) {
      EXPECT_NEAR(sum, dv01, 1e-4 * std::abs(dv01)) << cases[i].cells;
    }
    EXPECT_EQ(shifted[2 * i + 1][1], "up");
    EXPECT_EQ(shifted[2 * i + 2][1], "down");
    EXPECT_NEAR((Num(shifted[2 * i + 1][3]) - Num(shifted[2 * i + 2][3])) / 2, dv01, 1e-12 * std::abs(base));
  }

  // A bump far inside the node spacing measures the tree's own slope: the
  // key rates add up to dv01 for every trade, trees included, and the
  // smooth prices keep their 1 bp dv01 up to the third-order terms.
  options.bump_bp = 0.01;
  const auto fine = ParseCsv(PriceText(trades, options));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const double dv01 = Num(fine[i + 1][8]);
    double sum = 0;
    for (std::size_t k : usdColumn) sum += Num(fine[i + 1][k]);
    EXPECT_NEAR(sum, dv01, 1e-6 * std::abs(dv01)) << cases[i].cells;
    const double h = 1e-6;  // 0.01 bp
    EXPECT_NEAR(dv01, (cases[i].price(Named("USD", h)) - cases[i].price(Named("USD", -h))) / (2 * h) * 1e-4,
                1e-9 * std::abs(Num(fine[i + 1][2])))
        << cases[i].cells;
    if (cases[i].cells.rfind("tree_", 0) != 0) {
      EXPECT_NEAR(dv01, Num(rows[i + 1][8]), 1e-4 * std::abs(dv01)) << cases[i].cells;
    }
  }
  for (const double bad : {0.0, -1.0, 101.0, std::nan("")}) {
    options.bump_bp = bad;
    EXPECT_THROW(PriceText(trades, options), std::invalid_argument) << bad;
  }
}

// A fault of a file's layout stops the book with the file, line and column.
TEST(Book, MalformedFilesNameFileLineAndColumn) {
  struct Bad {
    const char* what;
    const char* trades;
    const char* curves;
    const char* scenarios;
    const char* message;
  };
  const char* curves = kCurves;
  const char* book = "id,type,curve,maturity\nT1,bond_price,USD,5\n";
  const Bad cases[] = {
      {"missing column", "type,curve,maturity\nT1,bond_price,USD,5\n", curves, nullptr, "trades.csv:1: missing column 'id'"},
      {"unknown column", "id,type,matruity\nT1,bond_price,5\n", curves, nullptr, "trades.csv:1: column 3 'matruity' is not a book column"},
      {"repeated column", "id,type,id\n", curves, nullptr, "trades.csv:1: column 3 'id' is repeated"},
      {"empty trades", "", curves, nullptr, "trades.csv:1: empty file"},
      {"header only", "id,type\n\n", curves, nullptr, "trades.csv:1: header only: no trades"},
      {"empty curves", book, "", nullptr, "curves.csv:1: empty file"},
      {"curves header", book, "curve,day,rate\n", nullptr, "curves.csv:1: column 2 'day' is not one of the file's columns"},
      {"curves text rate", book, "curve,date,rate\nUSD,2001-01-01,0.05\nUSD,2002-01-01,five\n", nullptr, "curves.csv:3: column 'rate': 'five' is not a number"},
      {"curves bad date", book, "curve,date,rate\nUSD,2001-02-30,0.05\n", nullptr, "curves.csv:2: column 'date': '2001-02-30' is not a calendar date"},
      {"curves repeated date", book, "curve,date,rate\nUSD,36892,0.05\nUSD,2001-01-01,0.05\n", nullptr, "curves.csv:3: column 'date': curve 'USD' has 2001-01-01 twice"},
      {"scenario pillar", book, curves, "scenario,curve,date,shift_bp\ns,USD,2001-02-01,5\n", "scenarios.csv:2: column 'date': 2001-02-01 is not a pillar of curve 'USD'"},
      {"scenario curve", book, curves, "scenario,curve,date,shift_bp\ns,GBP,,5\n", "scenarios.csv:2: column 'curve': 'GBP' is not a curve"},
  };
  for (const Bad& b : cases) {
    std::string message = "no error";
    try {
      std::istringstream c(b.curves), t(b.trades);
      const std::vector<CurveData> market = ReadCurves(c, "curves.csv");
      std::vector<Scenario> scenarios;
      if (b.scenarios) {
        std::istringstream s(b.scenarios);
        scenarios = ReadScenarios(s, "scenarios.csv", market);
      }
      std::ostringstream out;
      Options options;
      options.valuation = kValuation;
      PriceBook(t, "trades.csv", market, scenarios, options, out);
      EXPECT_EQ(out.str(), "") << b.what << ": nothing is written for a bad file";
    } catch (const FileError& e) {
      message = e.what();
    }
    EXPECT_NE(message.find(b.message), std::string::npos) << b.what << ": got " << message;
  }
}

}  // namespace
}  // namespace lorvex::book
