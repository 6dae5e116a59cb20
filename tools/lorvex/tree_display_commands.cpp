// lorvex tree-bond-display
#include <fmt/core.h>

#include <fstream>
#include <stdexcept>

#include "cli.h"
#include "tree_display_svg.h"

namespace lorvex_cli {
namespace {

struct TreeDisplayOptions {
  MarketOptions market;
  double bondMaturity = 5.0;
  double coupon = 0.06;
  double face = 100.0;
  int frequency = 2;
  double expiry = 1.0;
  double strike = 100.0;
  std::string type = "put";
  std::string exercise = "american";
  std::string strikeQuote = "dirty";
  double sigma = 0.01;
  double meanReversion = 0.1;
  int steps = 5;
  int kind = 0;
  std::string svgFile;
};

// The arrays a spreadsheet passes: the minimum sizes, which hold any tree
// the display builds (at most 10 steps).
class DisplayArrays {
 public:
  DisplayArrays() {
    SAFEARRAYBOUND nb[2] = {{121, 0}, {4, 0}}, lb[2] = {{11, 0}, {3, 0}}, pb[2] = {{21, 0}, {3, 0}};
    nodes = SafeArrayCreate(VT_R8, 2, nb);
    levels = SafeArrayCreate(VT_R8, 2, lb);
    probabilities = SafeArrayCreate(VT_R8, 2, pb);
    if (nodes == nullptr || levels == nullptr || probabilities == nullptr) {
      Free();
      throw std::runtime_error("out of memory");
    }
  }
  ~DisplayArrays() { Free(); }
  DisplayArrays(const DisplayArrays&) = delete;
  DisplayArrays& operator=(const DisplayArrays&) = delete;

  SAFEARRAY* nodes = nullptr;
  SAFEARRAY* levels = nullptr;
  SAFEARRAY* probabilities = nullptr;

 private:
  void Free() {
    for (SAFEARRAY* a : {nodes, levels, probabilities}) {
      if (a != nullptr) SafeArrayDestroy(a);
    }
  }
};

std::int32_t CallDisplay(std::int32_t serial, const TreeDisplayOptions& o, SAFEARRAY** curve, DisplayArrays& out) {
  return HW_TreeBondDisplay(serial, o.bondMaturity, o.coupon, o.face, o.frequency, o.expiry, o.strike,
                            o.type == "call" ? 1 : 0, o.exercise == "american" ? 1 : 0,
                            o.strikeQuote == "clean" ? 1 : 0, curve, o.sigma, o.meanReversion, o.steps, o.kind,
                            &out.nodes, &out.levels, &out.probabilities);
}

lorvex::TreeBondOptionArgs ApiArgs(std::int32_t serial, const TreeDisplayOptions& o) {
  return {.valuation = serial,
          .maturity = o.bondMaturity,
          .coupon = o.coupon,
          .face = o.face,
          .frequency = o.frequency,
          .expiry = o.expiry,
          .strike = o.strike,
          .option = lorvex::from_string<lorvex::OptionType>(o.type, "option"),
          .exercise = lorvex::from_string<lorvex::Exercise>(o.exercise, "exercise"),
          .strike_quote = lorvex::from_string<lorvex::StrikeQuote>(o.strikeQuote, "strike_quote"),
          .volatility = o.sigma,
          .mean_reversion = o.meanReversion,
          .steps = o.steps,
          .tree = TreeKindFromNumber(o.kind)};
}

// The picture from the C++ API's tree, as ReadBondTree reads it from the
// export's arrays.
BondTreePicture PictureOf(const lorvex::TreeBondDisplay& tree) {
  BondTreePicture p;
  for (int i = 0; i < tree.level_count(); ++i) {
    const lorvex::TreeBondDisplay::Level level = tree.level(i);
    p.levelTimes.push_back(level.time);
    p.accrued.push_back(level.accrued);
    p.nodeCounts.push_back(level.nodes);
    for (int j = 0; j < level.nodes; ++j) {
      const lorvex::TreeBondDisplay::Node node = tree.node(i, j);
      p.values.push_back(node.value);
      p.bondPrices.push_back(node.bond_price);
      p.exercised.push_back(node.exercise > 0.0);
      p.rates.push_back(node.rate);
    }
  }
  if (tree.level_count() >= 2) {
    for (int j = 0; j < tree.level(tree.level_count() - 2).nodes; ++j) {
      const lorvex::TreeBondDisplay::Branch b = tree.branch(j);
      p.pUp.push_back(b.up);
      p.pMiddle.push_back(b.middle);
      p.pDown.push_back(b.down);
    }
  }
  return p;
}

void PrintTree(const BondTreePicture& p) {
  for (std::size_t i = 0; i < p.nodeCounts.size(); ++i) {
    fmt::print("\nlevel {}  time {:.6f}  accrued {:.6f}  nodes {}\n", i, p.levelTimes[i], p.accrued[i],
               p.nodeCounts[i]);
    fmt::print("{:>6} {:>14} {:>12} {:>9} {:>12}\n", "node", "option value", "bond price", "exercised",
               "short rate");
    for (int j = 0; j < p.nodeCounts[i]; ++j) {
      const std::size_t r = p.Row(static_cast<int>(i), j);
      fmt::print("{:>6} {:>14.8f} {:>12.6f} {:>9} {:>12.8f}\n", j, p.values[r], p.bondPrices[r],
                 p.exercised[r] ? "+1" : "-1", p.rates[r]);
    }
  }
  if (!p.pUp.empty()) {
    fmt::print("\nbranching from level {} to the expiry\n", p.nodeCounts.size() - 2);
    fmt::print("{:>6} {:>10} {:>10} {:>10}\n", "node", "up", "middle", "down");
    for (std::size_t j = 0; j < p.pUp.size(); ++j) {
      fmt::print("{:>6} {:>10.6f} {:>10.6f} {:>10.6f}\n", j, p.pUp[j], p.pMiddle[j], p.pDown[j]);
    }
  }
}

void RegisterTreeDisplayCommands(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<TreeDisplayOptions>();
  auto* cmd = app.add_subcommand("tree-bond-display",
                                 "the Hull-White tree of a bond option (at most 10 steps): every node, or a picture");
  AddMarketOptions(cmd, opts->market);
  cmd->add_option("--bond-maturity", opts->bondMaturity, "bond's time to maturity in years")->capture_default_str();
  cmd->add_option("--coupon", opts->coupon, "bond's annual coupon rate, decimal")->capture_default_str();
  cmd->add_option("--face", opts->face, "bond's face value")->capture_default_str();
  cmd->add_option("--frequency", opts->frequency, "coupons per year: 1, 2, 4 or 12")->capture_default_str();
  cmd->add_option("--expiry", opts->expiry, "option's time to expiry in years")->capture_default_str();
  cmd->add_option("--strike", opts->strike, "strike price, in the face's units")->capture_default_str();
  cmd->add_option("--type", opts->type, "call or put")->check(CLI::IsMember({"call", "put"}))->capture_default_str();
  cmd->add_option("--exercise", opts->exercise, "european (at expiry) or american (any tree date up to it)")
      ->check(CLI::IsMember({"european", "american"}))
      ->capture_default_str();
  cmd->add_option("--strike-quote", opts->strikeQuote, "clean (compared with the clean price) or dirty")
      ->check(CLI::IsMember({"clean", "dirty"}))
      ->capture_default_str();
  cmd->add_option("--sigma", opts->sigma, "short-rate volatility per sqrt(year); relative for kinds 1 and 2")
      ->capture_default_str();
  cmd->add_option("--mean-reversion", opts->meanReversion, "mean-reversion speed per year")->capture_default_str();
  cmd->add_option("--steps", opts->steps, "equal tree steps up to the expiry; more than 10 are drawn as 10")
      ->capture_default_str();
  cmd->add_option("--kind", opts->kind, "0 normal (Hull-White), 1 lognormal, 2 shape g(r) = r")
      ->capture_default_str();
  cmd->add_option("--svg", opts->svgFile, "draw the tree into this SVG file instead of listing the nodes");
  cmd->callback([opts, &exitCode] {
    const TreeDisplayOptions& o = *opts;
    const std::int32_t serial = ParseDate(o.market.valuation);
    BondTreePicture picture;
    exitCode = Price("tree_bond_display", o.market.json, [&]() -> std::vector<NamedValue> {
      picture = PictureOf(lorvex::tree_bond_display(ApiArgs(serial, o), ToCurve(LoadCurve(o.market, serial))));
      return {{"option_value", picture.values[0]},
              {"bond_dirty_price", picture.bondPrices[0]},
              {"steps", static_cast<double>(picture.nodeCounts.size() - 1)},
              {"nodes", static_cast<double>(picture.NodeCount())}};
    });
    if (exitCode != 0) return;
    if (!o.svgFile.empty()) {
      BondTreePicture titled = picture;
      titled.title = fmt::format("{} {} {:g}y on {:g}y {:g}% x{}  K {:g} {}  sigma {:g}  a {:g}  kind {}  N {}  "
                                 "value {:.6f}",
                                 o.exercise == "american" ? "American" : "European", o.type, o.expiry,
                                 o.bondMaturity, 100.0 * o.coupon, o.frequency, o.strike, o.strikeQuote, o.sigma,
                                 o.meanReversion, o.kind, picture.nodeCounts.size() - 1, picture.values[0]);
      std::ofstream out(o.svgFile);
      out << BondTreeSvg(titled);
      if (!out) throw std::runtime_error("cannot write " + o.svgFile);
      if (!o.market.json) fmt::print("wrote {}\n", o.svgFile);
      return;
    }
    if (!o.market.json) PrintTree(picture);
  });
}

void AddTreeDisplayDemoRows(std::vector<DemoRow>& book, std::int32_t serial) {
  // The display's root is the tree option's value on the same steps.
  Array2D curve(SampleCurve(serial));
  TreeDisplayOptions o;
  o.strike = 101.0;
  DisplayArrays arrays;
  const std::int32_t status = CallDisplay(serial, o, curve.get(), arrays);
  LONG root[2] = {0, 0};
  double value = 0.0;
  SafeArrayGetElement(arrays.nodes, root, &value);
  book.push_back({"bond option, HW tree display",
                  "American put 1y on 5y 6% x2, K 101, sigma 0.01, a 0.1, 5 steps, root", "HW_TreeBondDisplay",
                  value, status});
}

const bool registered = RegisterFamily({65, RegisterTreeDisplayCommands, AddTreeDisplayDemoRows});

}  // namespace
}  // namespace lorvex_cli
