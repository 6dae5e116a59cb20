// The picture of lorvex tree-bond-display: a well-formed SVG document with
// one mark per tree node, exercised nodes marked, and branches drawn to the
// successors the tree really uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"
#include "test_arrays.h"
#include "tree_display_svg.h"
#include "treepricing/bond_tree_setup.h"

namespace {

using lorvex_cli::BondTreePicture;

// What a browser's XML parser demands of the picture: one root element,
// balanced tags, double-quoted attributes without '<', no '<' or bare '&'
// in text or values. Counts the elements whose class list holds "node"
// (and "exercised").
struct XmlReport {
  std::string error;  // empty: well-formed
  std::string root;
  int nodeMarks = 0;
  int exercisedMarks = 0;
};

bool EntitiesValid(const std::string& text) {
  static const std::regex entity("&(amp|lt|gt|quot|apos|#[0-9]+);");
  return std::regex_replace(text, entity, "").find_first_of("&<") == std::string::npos;
}

XmlReport ReadXml(const std::string& s) {
  static const std::regex tag(R"re(<(/?)([A-Za-z_][\w:.-]*)((?:\s+[\w:.-]+="[^"<]*")*)\s*(/?)>)re"
                              R"re(|<!--[\s\S]*?-->|<\?xml[^>]*\?>)re");
  static const std::regex attribute(R"re(([\w:.-]+)="([^"]*)")re");
  XmlReport r;
  std::vector<std::string> open;
  std::size_t at = 0;
  auto fail = [&r](const std::string& why) {
    r.error = why;
    return r;
  };
  for (std::sregex_iterator it(s.begin(), s.end(), tag), end; it != end; ++it) {
    const std::smatch& m = *it;
    const std::string text = s.substr(at, static_cast<std::size_t>(m.position()) - at);
    at = static_cast<std::size_t>(m.position() + m.length());
    if (!EntitiesValid(text)) return fail("bad text: " + text);
    if (open.empty() && text.find_first_not_of(" \t\r\n") != std::string::npos) return fail("text outside the root");
    if (!m[2].matched) continue;  // comment or declaration
    const std::string name = m[2];
    if (m[1].length() > 0) {
      if (open.empty() || open.back() != name || m[4].length() > 0) return fail("mismatched </" + name + ">");
      open.pop_back();
      continue;
    }
    if (open.empty()) {
      if (!r.root.empty()) return fail("second root element");
      r.root = name;
    }
    std::set<std::string> names;
    const std::string attributes = m[3];
    for (std::sregex_iterator a(attributes.begin(), attributes.end(), attribute), none; a != none; ++a) {
      if (!names.insert((*a)[1]).second || !EntitiesValid((*a)[2])) return fail("bad attribute in <" + name + ">");
      const std::string classes = " " + (*a)[2].str() + " ";
      if ((*a)[1] == "class" && classes.find(" node ") != std::string::npos) {
        ++r.nodeMarks;
        r.exercisedMarks += classes.find(" exercised ") != std::string::npos ? 1 : 0;
      }
    }
    if (m[4].length() == 0) open.push_back(name);
  }
  const std::string rest = s.substr(at);
  if (!EntitiesValid(rest) || (rest.find_first_not_of(" \t\r\n") != std::string::npos)) return fail("trailing text");
  if (r.root.empty()) return fail("no root element");
  if (!open.empty()) return fail("unclosed <" + open.back() + ">");
  return r;
}

TEST(XmlCheck, RefusesWhatABrowserWouldNotParse) {
  const struct {
    const char* text;
    bool wellFormed;
  } rows[] = {
      {"<svg><g><circle class=\"node\"/></g></svg>", true},
      {"<?xml version=\"1.0\"?>\n<svg a=\"1\"><!-- x --><text>1 &lt; 2 &amp; &#37;</text></svg>\n", true},
      {"<svg><g></svg>", false},
      {"<svg></svg><svg></svg>", false},
      {"<svg><text>A & B</text></svg>", false},
      {"<svg x=1></svg>", false},
      {"<svg x=\"1\" x=\"2\"></svg>", false},
      {"<svg x=\"a<b\"></svg>", false},
      {"<svg><circle/>", false},
      {"stray<svg></svg>", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadXml(row.text).error.empty(), row.wellFormed) << row.text;
  }
}

struct Trade {
  int steps;
  int american;
  int call;
  int kind;
  double strike;
  double a;
};

// The arrays of a successful display call, read back as the command reads
// them.
BondTreePicture Display(const Trade& t, std::int32_t* status) {
  lorvex_test::CurveArray curve({{36526.0, 0.05}});
  lorvex_test::Array nodes({{121, 0}, {4, 0}}), levels({{11, 0}, {3, 0}}), probabilities({{21, 0}, {3, 0}});
  const double sigma = t.kind == 0 ? 0.01 : 0.2;
  *status = HW_TreeBondDisplay(36526, 5.0, 0.06, 100.0, 2, 1.0, t.strike, t.call, t.american, 0, curve.get(), sigma,
                               t.a, t.steps, t.kind, nodes.get(), levels.get(), probabilities.get());
  return lorvex_cli::ReadBondTree(*nodes.get(), *levels.get(), *probabilities.get());
}

TEST(BondTreeSvg, WellFormedWithOneMarkPerNode) {
  const Trade trades[] = {
      {5, 1, 0, 0, 104.0, 0.1},  // the command's default picture: American put
      {1, 1, 0, 0, 104.0, 0.1},  {10, 1, 0, 0, 104.0, 0.1}, {25, 0, 1, 0, 100.0, 0.1},
      {5, 1, 0, 1, 104.0, 0.1},  {5, 0, 1, 2, 100.0, 0.1},  {10, 1, 0, 0, 104.0, 3.0},
  };
  for (const Trade& t : trades) {
    std::int32_t status = -99;
    BondTreePicture p = Display(t, &status);
    ASSERT_EQ(status, 0);
    p.title = "tree <K & \"strike\">";
    const int steps = std::min(t.steps, 10);
    ASSERT_EQ(p.nodeCounts.size(), static_cast<std::size_t>(steps) + 1);
    const int exercised = static_cast<int>(std::count(p.exercised.begin(), p.exercised.end(), true));

    const XmlReport r = ReadXml(lorvex_cli::BondTreeSvg(p));
    SCOPED_TRACE(testing::Message() << "steps " << t.steps << " kind " << t.kind << " a " << t.a);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.root, "svg");
    EXPECT_EQ(r.nodeMarks, static_cast<int>(p.NodeCount()));
    EXPECT_EQ(r.exercisedMarks, exercised);
    if (t.american == 1) {
      EXPECT_GT(exercised, 0);
    }
  }
}

TEST(BondTreeSvg, FiveStepAmericanPutHas36Nodes) {
  std::int32_t status = -99;
  const BondTreePicture p = Display({5, 1, 0, 0, 104.0, 0.1}, &status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(p.NodeCount(), 36u);  // 1 + 3 + 5 + 7 + 9 + 11
  EXPECT_EQ(p.pUp.size(), 9u);    // the level before the expiry
}

// The picture draws each node's branches from the node counts alone; they
// must be the successors the tree itself branches to, also where a strong
// mean reversion stops the lattice widening and turns the edges inward.
TEST(BondTreeSvg, BranchesAreTheTreesSuccessors) {
  for (double a : {0.0, 0.1, 1.0, 3.0, 8.0}) {
    for (int kind : {0, 1}) {
      lorvex::ZeroCurve curve;
      curve.Insert(2451545.0, 0.05);
      lorvex::BondTreeTerms terms;
      terms.valuation = 2451545;
      terms.accrualStart = 2451545;
      terms.maturity = 2451545 + 1825;
      terms.couponRate = 0.06;
      terms.expiry = 2451545 + 365;
      terms.strike = 104.0;
      terms.isAmerican = true;
      terms.sigma = kind == 0 ? 0.01 : 0.2;
      terms.meanReversion = a;
      terms.stepCount = 10;
      terms.kind = kind;
      terms.slotCount = 3;
      lorvex::BondTreeSetup setup(terms, curve);
      ASSERT_EQ(setup.status(), 0);
      lorvex::HullWhiteTree tree(setup.Args());
      ASSERT_EQ(tree.status(), 0);
      bool narrowed = false;
      for (int i = 0; i < tree.expiryLevel(); ++i) {
        const int n = tree.LevelNodeCount(i);
        const int next = tree.LevelNodeCount(i + 1);
        narrowed = narrowed || next == n;
        for (int j = 0; j < n; ++j) {
          EXPECT_EQ(lorvex_cli::MiddleSuccessor(n, next, j), tree.Successor(i, j))
              << "a " << a << " kind " << kind << " level " << i << " node " << j;
        }
      }
      if (a >= 3.0) {
        EXPECT_TRUE(narrowed) << "a " << a;
      }
    }
  }
}

}  // namespace
