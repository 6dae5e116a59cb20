// lorvex equity-option, lorvex equity-tree-display
#include <fmt/core.h>

#include <cmath>
#include <fstream>
#include <stdexcept>

#include "cli.h"
#include "equity_tree_svg.h"

namespace lorvex_cli {
namespace {

// The display command prints every node; beyond this a table stops being
// something to read (and the library refuses trees above its memory budget).
constexpr int kDisplayStepsShown = 2000;
// A picture holds (N + 1)(N + 2) / 2 nodes and 2N(N + 1) / 2 branches, each a
// line of text: at 60 steps about 5,600 marks and 0.5 MB, beyond which the
// nodes merge into a smear and the file grows to hundreds of MB.
constexpr int kPictureSteps = 60;

struct EquityOptions {
  double spot = 100, strike = 100, rate = 0.05, expiry = 1, dividendYield = 0, volatility = 0.2;
  int steps = 100;
  std::string style = "european";
  std::string kind = "call";
  std::vector<std::string> dividends;  // TIME:AMOUNT
  std::string dividendFile;
  bool useDividends = true;
  bool ignoreDividends = false;  // the older spelling of --use-dividends false
  bool json = false;
  std::string svgFile;
};

double ParseNumber(const std::string& text, const std::string& what) {
  std::size_t used = 0;
  double v = 0;
  try {
    v = std::stod(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size()) throw CLI::ValidationError(what, "not a number: \"" + text + "\"");
  return v;
}

// Rows (time in years, cash amount) from --dividend TIME:AMOUNT and from a
// CSV with a header line and time,amount rows.
std::vector<std::pair<double, double>> LoadDividends(const EquityOptions& o) {
  std::vector<std::pair<double, double>> rows;
  for (const std::string& d : o.dividends) {
    const auto colon = d.find(':');
    if (colon == std::string::npos) throw CLI::ValidationError("--dividend", "expected TIME:AMOUNT, got " + d);
    rows.emplace_back(ParseNumber(d.substr(0, colon), "--dividend"),
                      ParseNumber(d.substr(colon + 1), "--dividend"));
  }
  if (!o.dividendFile.empty()) {
    for (const PairRow& row : ReadPairFile(o.dividendFile, "--dividends", "time,amount", "dividend",
                                           [](const std::string& field, const std::string& where) {
                                             return ParseNumber(field, where + ": time");
                                           })) {
      rows.emplace_back(row.first, row.second);
    }
  }
  // The tree counts a dividend only within the option's life; one outside
  // it is most likely a date typed in the wrong unit.
  for (const auto& [time, amount] : rows) {
    if (time < 0.0 || time > o.expiry) {
      Warn(fmt::format("the dividend of {:g} at {:g} years falls outside the option's life (0 to {:g} years) "
                       "and is left out",
                       amount, time, o.expiry));
    }
  }
  return rows;
}

void AddEquityOptions(CLI::App* cmd, EquityOptions& o) {
  cmd->add_option("--spot", o.spot, "stock price, less the value of the cash dividends")->capture_default_str();
  cmd->add_option("--strike", o.strike, "strike")->capture_default_str();
  cmd->add_option("--rate", o.rate, "continuously compounded interest rate per year")->capture_default_str();
  cmd->add_option("--expiry", o.expiry, "time to expiry in years")->capture_default_str();
  cmd->add_option("--dividend-yield", o.dividendYield, "continuous dividend yield per year")->capture_default_str();
  AddAlias(cmd, "--yield", o.dividendYield);
  cmd->add_option("--volatility", o.volatility, "volatility per square-root year")
      ->check(VolatilityCheck())
      ->capture_default_str();
  AddAlias(cmd, "--vol", o.volatility)->check(VolatilityCheck());
  cmd->add_option("--steps", o.steps, "time steps of the tree")->check(CLI::Range(2, 100000))->capture_default_str();
  cmd->add_option("--exercise", o.style, "european or american")
      ->check(CLI::IsMember({"european", "american"}))
      ->capture_default_str();
  AddAlias(cmd, "--style", o.style)->check(CLI::IsMember({"european", "american"}));
  cmd->add_option("--option", o.kind, "call or put")->check(CLI::IsMember({"call", "put"}))->capture_default_str();
  AddAlias(cmd, "--kind", o.kind)->check(CLI::IsMember({"call", "put"}));
  cmd->add_option("--dividend", o.dividends, "cash dividend TIME:AMOUNT (years from today), repeatable");
  cmd->add_option("--dividends", o.dividendFile, "CSV of cash dividends: a header line, then time,amount rows")
      ->check(CLI::ExistingFile);
  cmd->add_option("--use-dividends", o.useDividends,
                  "true, or false to read the dividends but leave them out of the tree")
      ->capture_default_str();
  cmd->add_option_group("")->add_flag("--ignore-dividends", o.ignoreDividends);
}

lorvex::EquityOptionArgs ApiArgs(const EquityOptions& o) {
  return {.spot = o.spot,
          .strike = o.strike,
          .rate = o.rate,
          .expiry = o.expiry,
          .dividend_yield = o.dividendYield,
          .volatility = o.volatility,
          .steps = o.steps,
          .exercise = lorvex::from_string<lorvex::Exercise>(o.style, "exercise"),
          .option = lorvex::from_string<lorvex::OptionType>(o.kind, "option"),
          .use_dividends = o.useDividends && !o.ignoreDividends};
}

lorvex::Dividends ApiDividends(const EquityOptions& o) {
  std::vector<double> times, amounts;
  for (const auto& [time, amount] : LoadDividends(o)) {
    times.push_back(time);
    amounts.push_back(amount);
  }
  return lorvex::Dividends(times, amounts);
}

void RegisterEquityCommands(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<EquityOptions>();
  auto* option = app.add_subcommand("equity-option",
                                    "stock option on a binomial tree with cash dividends: value, delta, gamma, theta");
  AddEquityOptions(option, *opts);
  option->add_flag("--json", opts->json, "machine-readable output");
  option->callback([opts, &exitCode] {
    exitCode = Price("equity_option", opts->json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      const lorvex::EquityOptionArgs args = ApiArgs(*opts);
      inputs = InputsOf(args);
      const lorvex::EquityResult r = lorvex::equity_option(args, ApiDividends(*opts));
      return {{"value", r.value}, {"delta", r.delta}, {"gamma", r.gamma}, {"theta_per_day", r.theta}};
    });
  });

  auto dopts = std::make_shared<EquityOptions>();
  dopts->steps = 4;
  auto* display = app.add_subcommand("equity-tree-display", "the whole binomial stock tree: every node, or a picture");
  AddEquityOptions(display, *dopts);
  display->add_flag("--json", dopts->json, "machine-readable parameters and value, no node list");
  display->add_option("--svg", dopts->svgFile, "draw the tree into this SVG file instead of listing the nodes");
  display->callback([dopts, &exitCode] {
    const EquityOptions& o = *dopts;
    if (o.steps > kDisplayStepsShown) {
      throw CLI::ValidationError("--steps", fmt::format("the display shows at most {} steps", kDisplayStepsShown));
    }
    if (!o.svgFile.empty()) {
      if (o.steps > kPictureSteps) {
        throw CLI::ValidationError("--steps", fmt::format("{} steps is too many to draw: a picture shows at most {} "
                                                          "(the listing without --svg shows up to {})",
                                                          o.steps, kPictureSteps, kDisplayStepsShown));
      }
      CheckOutputFile("--svg", o.svgFile);
    }
    const long long n = o.steps;
    EquityTreePicture picture;
    exitCode = Price("equity_tree_display", o.json, [&](Inputs& inputs) -> std::vector<NamedValue> {
      const lorvex::EquityOptionArgs args = ApiArgs(o);
      inputs = InputsOf(args);
      const lorvex::EquityTreeDisplay tree = lorvex::equity_tree_display(args, ApiDividends(o));
      picture.steps = tree.steps();
      for (int k = 0; k <= tree.steps(); ++k) {
        picture.levelTimes.push_back(tree.level_time(k));
        for (int m = 0; m <= k; ++m) {
          const lorvex::EquityTreeDisplay::Node node = tree.node(k, m);
          picture.values.push_back(node.value);
          picture.prices.push_back(node.price);
          picture.exercised.push_back(node.exercised);
        }
      }
      const lorvex::EquityTreeDisplay::Lattice l = tree.lattice();
      return {{"value", picture.values[0]}, {"dt", l.dt},     {"discount", l.discount}, {"growth", l.growth},
              {"p_up", l.up_probability},  {"up", l.up},     {"down", l.down}};
    });
    if (exitCode != 0) return;
    if (!o.svgFile.empty()) {
      picture.title = fmt::format("{} {}  S {:g}  K {:g}  r {:g}  q {:g}  vol {:g}  T {:g}  N {}  value {:.6f}",
                                  o.style == "american" ? "American" : "European", o.kind, o.spot, o.strike,
                                  o.rate, o.dividendYield, o.volatility, o.expiry, o.steps, picture.values[0]);
      std::ofstream out(o.svgFile);
      out << EquityTreeSvg(picture);
      if (!out) throw CLI::ValidationError("--svg", "cannot write " + o.svgFile);
      if (!o.json) fmt::print("wrote {}\n", o.svgFile);
      return;
    }
    if (o.json) return;
    fmt::print("\n{:>5} {:>5} {:>10} {:>14} {:>14} {:>9}\n", "level", "node", "time", "price", "value", "exercised");
    for (long long k = 0, r = 0; k <= n; ++k) {
      for (long long m = 0; m <= k; ++m, ++r) {
        fmt::print("{:>5} {:>5} {:>10.6f} {:>14.6f} {:>14.8f} {:>9}\n", k, m,
                   picture.levelTimes[static_cast<std::size_t>(k)], picture.prices[static_cast<std::size_t>(r)],
                   picture.values[static_cast<std::size_t>(r)], picture.exercised[static_cast<std::size_t>(r)] ? 1 : 0);
      }
    }
  });
}

void AddEquityDemoRows(std::vector<DemoRow>& book, std::int32_t) {
  struct Row {
    const char* instrument;
    double strike, yield, vol;
    int steps, style, kind, use;
    std::vector<std::pair<double, double>> dividends;
  };
  const Row rows[] = {
      {"European call, tree", 100, 0, 0.2, 2, 0, 1, 0, {}},
      {"American put, tree", 100, 0, 0.2, 3, 1, 0, 0, {}},
      {"European call, tree, dividend", 100, 0, 0.2, 4, 0, 1, 1, {{0.5, 2.0}}},
      {"American put, tree, dividends", 105, 0.01, 0.25, 1000, 1, 0, 1, {{0.25, 1.5}, {0.75, 1.5}}},
      {"American call, tree, dividends", 95, 0, 0.3, 1000, 1, 1, 1, {{0.25, 1.5}, {0.75, 1.5}}},
  };
  for (const Row& r : rows) {
    Array2D dividends(r.dividends);
    double price = 0, delta = 0, gamma = 0, theta = 0;
    const std::int32_t status = HW_TreeEquityOpt(100, r.strike, 0.05, 1, r.yield, dividends.get(), r.vol, r.steps,
                                                 r.style, r.kind, r.use, &price, &delta, &gamma, &theta);
    std::string divs;
    for (const auto& [t, a] : r.dividends) divs += fmt::format(" div {:g}@{:g}y", a, t);
    book.push_back({r.instrument,
                    fmt::format("S 100 K {:g} r 5% q {:g}% vol {:g}% 1y N {}{}", r.strike, 100 * r.yield, 100 * r.vol,
                                r.steps, divs),
                    "HW_TreeEquityOpt", price, status});
  }
  // The display's root node is the same price as the pricing export's.
  Array2D none({});
  SAFEARRAYBOUND nb[2] = {{169, 0}, {3, 0}}, lb[2] = {{13, 0}, {1, 0}}, pb[1] = {{7, 0}};
  SAFEARRAY* nodes = SafeArrayCreate(VT_R8, 2, nb);
  SAFEARRAY* levels = SafeArrayCreate(VT_R8, 2, lb);
  SAFEARRAY* params = SafeArrayCreate(VT_R8, 1, pb);
  const std::int32_t status =
      HW_EquityTreeDisplay(100, 100, 0.05, 1, 0, none.get(), 0.2, 3, 1, 0, 0, &nodes, &levels, &params);
  LONG root[2] = {0, 0};
  double value = 0;
  SafeArrayGetElement(nodes, root, &value);
  for (SAFEARRAY* a : {nodes, levels, params}) SafeArrayDestroy(a);
  book.push_back({"American put, tree display", "S 100 K 100 r 5% vol 20% 1y N 3, root node", "HW_EquityTreeDisplay",
                  value, status});
}

const bool registered = RegisterFamily({50, RegisterEquityCommands, AddEquityDemoRows});

}  // namespace
}  // namespace lorvex_cli
