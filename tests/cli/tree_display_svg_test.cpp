// The picture of lorvex tree-bond-display: a well-formed SVG document with
// one mark per tree node, exercised nodes marked, and branches drawn to the
// successors the tree really uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"
#include "treepricing/bond_tree_setup.h"
#include "tree_display_svg.h"

namespace {

using lorvex_cli::BondTreePicture;

// A strict reader of the XML the picture uses: one root element, balanced
// tags, quoted and unrepeated attributes, no stray '<' or '&' in text or
// values, comments and a leading declaration allowed.
struct XmlReport {
  std::string error;  // empty: well-formed
  std::string root;
  int nodeMarks = 0;       // elements whose class list holds "node"
  int exercisedMarks = 0;  // ... and "exercised"
};

class XmlReader {
 public:
  explicit XmlReader(const std::string& text) : s_(text) {}

  XmlReport Read() {
    XmlReport r;
    if (s_.compare(0, 5, "<?xml") == 0) {
      const std::size_t end = s_.find("?>");
      if (end == std::string::npos) return Fail(r, "unterminated declaration");
      pos_ = end + 2;
    }
    std::vector<std::string> open;
    bool rootSeen = false;
    while (pos_ < s_.size()) {
      if (s_.compare(pos_, 4, "<!--") == 0) {
        const std::size_t end = s_.find("-->", pos_ + 4);
        if (end == std::string::npos) return Fail(r, "unterminated comment");
        pos_ = end + 3;
      } else if (s_.compare(pos_, 2, "</") == 0) {
        pos_ += 2;
        const std::string name = Name();
        if (name.empty() || open.empty() || open.back() != name) return Fail(r, "mismatched </" + name + ">");
        open.pop_back();
        SkipSpace();
        if (!Take('>')) return Fail(r, "bad end tag " + name);
      } else if (s_[pos_] == '<') {
        ++pos_;
        const std::string name = Name();
        if (name.empty()) return Fail(r, "bad tag name");
        if (open.empty()) {
          if (rootSeen) return Fail(r, "second root element");
          rootSeen = true;
          r.root = name;
        }
        std::set<std::string> attributes;
        std::string classes;
        for (;;) {
          const bool spaced = SkipSpace();
          if (Take('>')) {
            open.push_back(name);
            break;
          }
          if (s_.compare(pos_, 2, "/>") == 0) {
            pos_ += 2;
            break;
          }
          const std::string attribute = Name();
          if (!spaced || attribute.empty() || !attributes.insert(attribute).second) {
            return Fail(r, "bad or repeated attribute in <" + name + ">");
          }
          SkipSpace();
          if (!Take('=')) return Fail(r, "attribute without value");
          SkipSpace();
          if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) return Fail(r, "unquoted attribute");
          const char quote = s_[pos_++];
          const std::size_t end = s_.find(quote, pos_);
          if (end == std::string::npos) return Fail(r, "unterminated attribute");
          const std::string value = s_.substr(pos_, end - pos_);
          if (value.find('<') != std::string::npos || !EntitiesValid(value)) return Fail(r, "bad attribute value");
          if (attribute == "class") classes = " " + value + " ";
          pos_ = end + 1;
        }
        if (classes.find(" node ") != std::string::npos) {
          ++r.nodeMarks;
          if (classes.find(" exercised ") != std::string::npos) ++r.exercisedMarks;
        }
      } else {
        const std::size_t end = std::min(s_.find('<', pos_), s_.size());
        const std::string text = s_.substr(pos_, end - pos_);
        if (!EntitiesValid(text)) return Fail(r, "bad entity in text");
        const bool blank = std::all_of(text.begin(), text.end(), [](char c) { return std::isspace(c) != 0; });
        if (open.empty() && !blank) return Fail(r, "text outside the root");
        pos_ = end;
      }
    }
    if (!rootSeen) return Fail(r, "no root element");
    if (!open.empty()) return Fail(r, "unclosed <" + open.back() + ">");
    return r;
  }

 private:
  static XmlReport Fail(XmlReport r, const std::string& why) {
    r.error = why;
    return r;
  }
  bool Take(char c) {
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool SkipSpace() {
    const std::size_t start = pos_;
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_])) != 0) ++pos_;
    return pos_ > start;
  }
  std::string Name() {
    const std::size_t start = pos_;
    auto first = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_' || c == ':'; };
    auto rest = [&](char c) {
      return first(c) || std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.';
    };
    if (pos_ < s_.size() && first(s_[pos_])) {
      ++pos_;
      while (pos_ < s_.size() && rest(s_[pos_])) ++pos_;
    }
    return s_.substr(start, pos_ - start);
  }
  static bool EntitiesValid(const std::string& text) {
    for (std::size_t i = text.find('&'); i != std::string::npos; i = text.find('&', i + 1)) {
      const std::size_t end = text.find(';', i);
      if (end == std::string::npos) return false;
      const std::string e = text.substr(i + 1, end - i - 1);
      const bool named = e == "amp" || e == "lt" || e == "gt" || e == "quot" || e == "apos";
      const bool numeric = e.size() > 1 && e[0] == '#' &&
                           std::all_of(e.begin() + 1, e.end(), [](char c) { return std::isdigit(c) != 0; });
      if (!named && !numeric) return false;
    }
    return true;
  }

  const std::string& s_;
  std::size_t pos_ = 0;
};

TEST(XmlReader, RefusesWhatABrowserWouldNotParse) {
  const struct {
    const char* text;
    bool wellFormed;
  } rows[] = {
      {"<svg><g><circle class=\"node\"/></g></svg>", true},
      {"<?xml version=\"1.0\"?>\n<svg a='1'><!-- x --><text>1 &lt; 2 &amp; &#37;</text></svg>\n", true},
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
    EXPECT_EQ(XmlReader(row.text).Read().error.empty(), row.wellFormed) << row.text;
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
  SAFEARRAYBOUND cb[2] = {{1, 0}, {2, 0}}, nb[2] = {{121, 0}, {4, 0}}, lb[2] = {{11, 0}, {3, 0}},
                 pb[2] = {{21, 0}, {3, 0}};
  SAFEARRAY* curve = SafeArrayCreate(VT_R8, 2, cb);
  SAFEARRAY* nodes = SafeArrayCreate(VT_R8, 2, nb);
  SAFEARRAY* levels = SafeArrayCreate(VT_R8, 2, lb);
  SAFEARRAY* probabilities = SafeArrayCreate(VT_R8, 2, pb);
  double point[2] = {36526.0, 0.05};
  for (LONG c = 0; c < 2; ++c) {
    LONG index[2] = {0, c};
    SafeArrayPutElement(curve, index, &point[c]);
  }
  const double sigma = t.kind == 0 ? 0.01 : 0.2;
  *status = HW_TreeBondDisplay(36526, 5.0, 0.06, 100.0, 2, 1.0, t.strike, t.call, t.american, 0, &curve, sigma, t.a,
                               t.steps, t.kind, &nodes, &levels, &probabilities);
  BondTreePicture p = lorvex_cli::ReadBondTree(nodes, levels, probabilities);
  for (SAFEARRAY* a : {curve, nodes, levels, probabilities}) SafeArrayDestroy(a);
  return p;
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

    const XmlReport r = XmlReader(lorvex_cli::BondTreeSvg(p)).Read();
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
