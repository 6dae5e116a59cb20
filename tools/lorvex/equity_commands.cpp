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

struct EquityOptions {
  double spot = 100, strike = 100, rate = 0.05, expiry = 1, yield = 0, vol = 0.2;
  int steps = 100;
  std::string style = "european";
  std::string kind = "call";
  std::vector<std::string> dividends;  // TIME:AMOUNT
  std::string dividendFile;
  bool ignoreDividends = false;
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
  if (used == 0 || used != text.size()) throw CLI::ValidationError(what, "not a number: " + text);
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
    std::ifstream in(o.dividendFile);
    if (!in) throw CLI::ValidationError("--dividends", "cannot read " + o.dividendFile);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (lineNo == 1 || line.find_first_not_of(" \t") == std::string::npos) continue;
      const auto comma = line.find(',');
      if (comma == std::string::npos) {
        throw CLI::ValidationError("--dividends", fmt::format("line {}: expected time,amount", lineNo));
      }
      auto field = [](std::string s) {
        const auto b = s.find_first_not_of(" \t");
        const auto e = s.find_last_not_of(" \t");
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
      };
      rows.emplace_back(ParseNumber(field(line.substr(0, comma)), "--dividends"),
                        ParseNumber(field(line.substr(comma + 1)), "--dividends"));
    }
  }
  return rows;
}

void AddEquityOptions(CLI::App* cmd, EquityOptions& o) {
  cmd->add_option("--spot", o.spot, "stock price, less the value of the cash dividends")->capture_default_str();
  cmd->add_option("--strike", o.strike, "strike")->capture_default_str();
  cmd->add_option("--rate", o.rate, "continuously compounded interest rate per year")->capture_default_str();
  cmd->add_option("--expiry", o.expiry, "time to expiry in years")->capture_default_str();
  cmd->add_option("--yield", o.yield, "continuous dividend yield per year")->capture_default_str();
  cmd->add_option("--vol", o.vol, "volatility per square-root year")->capture_default_str();
  cmd->add_option("--steps", o.steps, "time steps of the tree")->capture_default_str();
  cmd->add_option("--style", o.style, "european or american")
      ->check(CLI::IsMember({"european", "american"}))
      ->capture_default_str();
  cmd->add_option("--kind", o.kind, "call or put")->check(CLI::IsMember({"call", "put"}))->capture_default_str();
  cmd->add_option("--dividend", o.dividends, "cash dividend TIME:AMOUNT (years from today), repeatable");
  cmd->add_option("--dividends", o.dividendFile, "CSV of cash dividends: a header line, then time,amount rows")
      ->check(CLI::ExistingFile);
  cmd->add_flag("--ignore-dividends", o.ignoreDividends, "read the dividends but leave them out of the tree");
}

struct EquityCall {
  Array2D dividends;
  std::int32_t style, kind, useDividends;
  explicit EquityCall(const EquityOptions& o)
      : dividends(LoadDividends(o)),
        style(o.style == "american" ? 1 : 0),
        kind(o.kind == "call" ? 1 : 0),
        useDividends(o.ignoreDividends ? 0 : 1) {}
};

void RegisterEquityCommands(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<EquityOptions>();
  auto* option = app.add_subcommand("equity-option",
                                    "stock option on a binomial tree with cash dividends: value, delta, gamma, theta");
  AddEquityOptions(option, *opts);
  option->add_flag("--json", opts->json, "machine-readable output");
  option->callback([opts, &exitCode] {
    EquityCall call(*opts);
    double price = 0, delta = 0, gamma = 0, theta = 0;
    const std::int32_t status =
        HW_TreeEquityOpt(opts->spot, opts->strike, opts->rate, opts->expiry, opts->yield, call.dividends.get(),
                         opts->vol, opts->steps, call.style, call.kind, call.useDividends, &price, &delta, &gamma,
                         &theta);
    exitCode = Report("HW_TreeEquityOpt", status, Family::kEquity,
                      {{"price", price}, {"delta", delta}, {"gamma", gamma}, {"theta_per_day", theta}}, opts->json);
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
    EquityCall call(o);
    // The tables the spreadsheet would pass: the fixed minimum sizes, or
    // what the tree needs when it is larger.
    const long long n = o.steps < 0 ? 0 : o.steps;
    const ULONG nodeRows = static_cast<ULONG>(std::max(169LL, (n + 1) * (n + 2) / 2));
    const ULONG levelRows = static_cast<ULONG>(std::max(13LL, n + 3));
    SAFEARRAYBOUND nb[2] = {{nodeRows, 0}, {3, 0}}, lb[2] = {{levelRows, 0}, {1, 0}}, pb[1] = {{7, 0}};
    SAFEARRAY* nodes = SafeArrayCreate(VT_R8, 2, nb);
    SAFEARRAY* levels = SafeArrayCreate(VT_R8, 2, lb);
    SAFEARRAY* params = SafeArrayCreate(VT_R8, 1, pb);
    struct Free {
      SAFEARRAY* a[3];
      ~Free() {
        for (SAFEARRAY* p : a) SafeArrayDestroy(p);
      }
    } release{{nodes, levels, params}};
    if (nodes == nullptr || levels == nullptr || params == nullptr) throw std::runtime_error("out of memory");
    const std::int32_t status =
        HW_EquityTreeDisplay(o.spot, o.strike, o.rate, o.expiry, o.yield, call.dividends.get(), o.vol, o.steps,
                             call.style, call.kind, call.useDividends, &nodes, &levels, &params);
    auto at = [](SAFEARRAY* a, long long row, long col) {
      LONG i[2] = {static_cast<LONG>(row), static_cast<LONG>(col)};
      double v = 0;
      SafeArrayGetElement(a, i, &v);
      return v;
    };
    const char* names[6] = {"dt", "discount", "growth", "p_up", "up", "down"};
    std::vector<NamedValue> results;
    for (int i = 0; i < 6; ++i) results.push_back({names[i], at(params, i, 0)});
    if (status == 0) results.push_back({"value", at(nodes, 0, 0)});
    exitCode = Report("HW_EquityTreeDisplay", status, Family::kEquity, results, o.json);
    if (status != 0) return;

    EquityTreePicture picture;
    picture.steps = o.steps;
    for (long long k = 0; k <= n; ++k) picture.levelTimes.push_back(at(levels, k + 2, 0));
    for (long long r = 0; r < (n + 1) * (n + 2) / 2; ++r) {
      picture.values.push_back(at(nodes, r, 0));
      picture.prices.push_back(at(nodes, r, 1));
      picture.exercised.push_back(at(nodes, r, 2) != 0.0);
    }
    if (!o.svgFile.empty()) {
      picture.title = fmt::format("{} {}  S {:g}  K {:g}  r {:g}  q {:g}  vol {:g}  T {:g}  N {}  value {:.6f}",
                                  o.style == "american" ? "American" : "European", o.kind, o.spot, o.strike,
                                  o.rate, o.yield, o.vol, o.expiry, o.steps, picture.values[0]);
      std::ofstream out(o.svgFile);
      out << EquityTreeSvg(picture);
      if (!out) throw std::runtime_error("cannot write " + o.svgFile);
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
