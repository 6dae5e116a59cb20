// HW_TreeEquityOpt and HW_EquityTreeDisplay through the exports, with
// portable arrays: worked values, the display layout, every status.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "equity/equity_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"

namespace {

class Array {
 public:
  // Dimensions as (elements, lower bound), dimension 1 first; filled with fill.
  Array(std::vector<std::pair<ULONG, LONG>> dims, double fill = 0.0, VARTYPE vt = VT_R8) {
    std::vector<SAFEARRAYBOUND> b;
    for (auto [n, lower] : dims) b.push_back({n, lower});
    psa_ = SafeArrayCreate(vt, static_cast<UINT>(b.size()), b.data());
    if (vt == VT_R8) {
      auto* data = static_cast<double*>(psa_->pvData);
      std::size_t cells = 1;
      for (auto [n, lower] : dims) cells *= n;
      for (std::size_t i = 0; i < cells; ++i) data[i] = fill;
    }
  }
  static Array Rows(const std::vector<std::pair<double, double>>& rows) {
    Array a({{static_cast<ULONG>(rows.size()), 0}, {2, 0}});
    for (std::size_t i = 0; i < rows.size(); ++i) {
      a.Set(static_cast<LONG>(i), 0, rows[i].first);
      a.Set(static_cast<LONG>(i), 1, rows[i].second);
    }
    return a;
  }
  Array(Array&& o) noexcept : psa_(o.psa_) { o.psa_ = nullptr; }
  Array& operator=(Array&& o) noexcept {
    std::swap(psa_, o.psa_);
    return *this;
  }
  ~Array() { SafeArrayDestroy(psa_); }
  SAFEARRAY** get() { return &psa_; }
  void Set(LONG row, LONG col, double v) {
    LONG i[2] = {row, col};
    SafeArrayPutElement(psa_, i, &v);
  }
  double At(LONG row, LONG col = 0) const {
    LONG i[3] = {row, col, 0};
    double v = std::nan("");
    SafeArrayGetElement(psa_, i, &v);
    return v;
  }

 private:
  SAFEARRAY* psa_;
};

constexpr double kSentinel = -12345.0;

struct Outputs {
  double price = kSentinel, delta = kSentinel, gamma = kSentinel, theta = kSentinel;
  bool Untouched() const {
    return price == kSentinel && delta == kSentinel && gamma == kSentinel && theta == kSentinel;
  }
};

struct Call {
  double spot = 100, strike = 100, rate = 0.05, expiry = 1, yield = 0, vol = 0.2;
  int32_t steps = 2, style = 0, kind = 1, useDividends = 0;
};

int32_t Option(const Call& c, SAFEARRAY** dividends, Outputs& o) {
  return HW_TreeEquityOpt(c.spot, c.strike, c.rate, c.expiry, c.yield, dividends, c.vol, c.steps,
                          c.style, c.kind, c.useDividends, &o.price, &o.delta, &o.gamma, &o.theta);
}

struct Display {
  Array nodes{{{169, 0}, {3, 0}}, kSentinel};
  Array levels{{{13, 0}, {1, 0}}, kSentinel};
  Array params{{{7, 0}}, kSentinel};
  int32_t Run(const Call& c, SAFEARRAY** dividends) {
    return HW_EquityTreeDisplay(c.spot, c.strike, c.rate, c.expiry, c.yield, dividends, c.vol, c.steps,
                                c.style, c.kind, c.useDividends, nodes.get(), levels.get(), params.get());
  }
};

// Worked values, to the decimals published with them.
TEST(EquityExports, WorkedValues) {
  Array none = Array::Rows({});
  Array one = Array::Rows({{0.5, 2.0}});
  struct Row {
    Call c;
    SAFEARRAY** dividends;
    double price, delta, gamma, theta;  // NaN: not published
  };
  const double x = std::nan("");
  const Row rows[] = {
      {{100, 100, 0.05, 1, 0, 0.2, 2, 0, 1, 0}, none.get(), 9.540501, 0.6222989, 0.03488830, -0.02613836},
      {{100, 100, 0.05, 1, 0, 0.2, 3, 1, 0, 0}, none.get(), 6.499560, -0.4179557, 0.02465130, -0.006602268},
      {{100, 100, 0.05, 1, 0, 0.2, 4, 0, 1, 1}, one.get(), 9.970523, x, x, x}};
  for (const Row& r : rows) {
    Outputs o;
    ASSERT_EQ(Option(r.c, r.dividends, o), 0);
    EXPECT_NEAR(o.price, r.price, 5e-7);
    if (!std::isnan(r.delta)) {
      EXPECT_NEAR(o.delta, r.delta, 5e-8);
      EXPECT_NEAR(o.gamma, r.gamma, 5e-9);
      EXPECT_NEAR(o.theta, r.theta, 5e-10);
    }
  }
}

TEST(EquityExports, FlagsCompareWithOne) {
  Array none = Array::Rows({});
  Outputs put, other;
  ASSERT_EQ(Option({100, 100, 0.05, 1, 0, 0.2, 3, 1, 0, 0}, none.get(), put), 0);
  for (int32_t kind : {2, -1}) {
    ASSERT_EQ(Option({100, 100, 0.05, 1, 0, 0.2, 3, 1, kind, 0}, none.get(), other), 0);
    EXPECT_EQ(other.price, put.price);
  }
  // Exercise style 2 is European, use-dividends 2 ignores the dividends.
  Array div = Array::Rows({{0.5, 2.0}});
  Outputs euro, two;
  ASSERT_EQ(Option({100, 100, 0.05, 1, 0, 0.2, 4, 0, 1, 0}, none.get(), euro), 0);
  ASSERT_EQ(Option({100, 100, 0.05, 1, 0, 0.2, 4, 2, 1, 2}, div.get(), two), 0);
  EXPECT_EQ(euro.price, two.price);
  // A repeated dividend time keeps the first row.
  Array repeated = Array::Rows({{0.5, 2.0}, {0.5, 5.0}});
  ASSERT_EQ(Option({100, 100, 0.05, 1, 0, 0.2, 4, 0, 1, 1}, repeated.get(), two), 0);
  EXPECT_NEAR(two.price, 9.970523, 5e-7);
}

TEST(EquityExports, DisplayWorkedTree) {
  Array none = Array::Rows({});
  Display d;
  ASSERT_EQ(d.Run({}, none.get()), 0);
  const double params[6] = {0.5, 0.9753099, 1.0253151, 0.5539083, 1.1519099, 0.8681234};
  for (LONG i = 0; i < 6; ++i) EXPECT_NEAR(d.params.At(i), params[i], 5e-8) << i;
  EXPECT_EQ(d.params.At(6), kSentinel);
  // Six node rows, value first; the root is the option price.
  EXPECT_NEAR(d.nodes.At(0, 0), 9.540501, 5e-7);
  EXPECT_EQ(d.nodes.At(5, 1) > 0, true);
  EXPECT_EQ(d.nodes.At(6, 0), kSentinel);
  EXPECT_EQ(d.levels.At(0), kSentinel);
  EXPECT_EQ(d.levels.At(1), kSentinel);
  for (LONG k = 0; k <= 2; ++k) EXPECT_EQ(d.levels.At(k + 2), 0.5 * k);
  EXPECT_EQ(d.levels.At(5), kSentinel);
}

// Row k(k+1)/2 + m holds node (k, m) of the same tree the library builds.
TEST(EquityExports, DisplayLayoutMatchesTree) {
  Array divs = Array::Rows({{0.3, 1.5}, {0.7, 1.5}});
  const Call c{100, 95, 0.04, 1, 0.01, 0.3, 12, 1, 0, 1};
  Display d;
  d.levels = Array({{15, 0}, {1, 0}}, kSentinel);  // rows up to N + 2
  ASSERT_EQ(d.Run(c, divs.get()), 0);
  lorvex::ZeroCurve curve;
  curve.Insert(0.3, 1.5);
  curve.Insert(0.7, 1.5);
  const lorvex::EquityTree tree({100, 95, 0.04, 1, 0.01, 0.3, 12, true, false, true}, curve);
  ASSERT_EQ(tree.status(), 0);
  for (int k = 0; k <= 12; ++k) {
    EXPECT_EQ(d.levels.At(k + 2), k * (1.0 / 12));
    for (int m = 0; m <= k; ++m) {
      const LONG row = k * (k + 1) / 2 + m;
      EXPECT_EQ(d.nodes.At(row, 0), tree.ValueAt(k, m));
      EXPECT_EQ(d.nodes.At(row, 1), tree.PriceAt(k, m));
      EXPECT_EQ(d.nodes.At(row, 2), tree.ExercisedAt(k, m) ? 1.0 : 0.0);
    }
  }
  // The display and the pricing export agree on the root.
  Outputs o;
  ASSERT_EQ(Option(c, divs.get(), o), 0);
  EXPECT_EQ(o.price, d.nodes.At(0, 0));
}

TEST(EquityExports, DisplayStatuses) {
  Array none = Array::Rows({});
  SAFEARRAY* null = nullptr;
  struct Row {
    const char* name;
    std::vector<std::pair<ULONG, LONG>> nodes, levels, params;
    bool nullNodes, nullLevels, nullParams;
    int32_t steps, status;
  };
  const std::vector<std::pair<ULONG, LONG>> n169{{169, 0}, {3, 0}}, l13{{13, 0}, {1, 0}}, p7{{7, 0}};
  const Row rows[] = {
      {"node table missing", n169, l13, p7, true, false, false, 2, -4},
      {"level table missing", n169, l13, p7, false, true, false, 2, -4},
      {"node table one-dimensional", {{600, 0}}, l13, p7, false, false, false, 2, -5},
      {"level table three-dimensional", n169, {{13, 0}, {1, 0}, {1, 0}}, p7, false, false, false, 2, -5},
      {"parameter vector missing", n169, l13, p7, false, false, true, 2, -6},
      {"168 node rows", {{168, 0}, {3, 0}}, l13, p7, false, false, false, 2, -7},
      {"12 level rows", n169, {{12, 0}, {1, 0}}, p7, false, false, false, 2, -7},
      {"6 parameters", n169, l13, {{6, 0}}, false, false, false, 2, -7},
      {"node rows from 1", {{169, 1}, {3, 0}}, l13, p7, false, false, false, 2, -8},
      {"level columns from 1", n169, {{13, 0}, {1, 1}}, p7, false, false, false, 2, -8},
      {"parameters from 1", n169, l13, {{7, 1}}, false, false, false, 2, -8},
      {"17 steps in 169 rows", n169, {{20, 0}, {1, 0}}, p7, false, false, false, 17, -8},
      {"16 steps fill 153 rows", n169, {{20, 0}, {1, 0}}, p7, false, false, false, 16, 0},
      {"two-dimensional parameters", n169, l13, {{7, 0}, {1, 0}}, false, false, false, 2, 0},
      {"three-dimensional parameters", n169, l13, {{7, 0}, {1, 0}, {1, 0}}, false, false, false, 2, 0},
  };
  for (const Row& r : rows) {
    Array nodes(r.nodes, kSentinel), levels(r.levels, kSentinel), params(r.params, kSentinel);
    Call c;
    c.steps = r.steps;
    const int32_t status = HW_EquityTreeDisplay(
        c.spot, c.strike, c.rate, c.expiry, c.yield, none.get(), c.vol, c.steps, c.style, c.kind,
        c.useDividends, r.nullNodes ? &null : nodes.get(), r.nullLevels ? &null : levels.get(),
        r.nullParams ? &null : params.get());
    EXPECT_EQ(status, r.status) << r.name;
    if (r.steps == 17) {
      // The size check passes; the copy stops after the 169th row.
      for (LONG row = 0; row < 169; ++row) EXPECT_NE(nodes.At(row, 2), kSentinel) << row;
      EXPECT_EQ(params.At(0), kSentinel);
    }
  }
  // A reference to no reference at all, and integer cells, are refused too.
  Display d;
  EXPECT_EQ(HW_EquityTreeDisplay(100, 100, 0.05, 1, 0, none.get(), 0.2, 2, 0, 1, 0, d.nodes.get(),
                                 d.levels.get(), nullptr),
            -6);
  EXPECT_EQ(HW_EquityTreeDisplay(100, 100, 0.05, 1, 0, none.get(), 0.2, 2, 0, 1, 0, nullptr,
                                 d.levels.get(), d.params.get()),
            -4);
  Array ints({{169, 0}, {3, 0}}, 0.0, VT_I4);
  EXPECT_EQ(HW_EquityTreeDisplay(100, 100, 0.05, 1, 0, none.get(), 0.2, 2, 0, 1, 0, ints.get(),
                                 d.levels.get(), d.params.get()),
            -8);
  EXPECT_EQ(d.params.At(0), kSentinel);
}

TEST(EquityExports, DisplayMemoryBudget) {
  Array none = Array::Rows({});
  for (int32_t steps : {6000, LORVEX_EQUITY_MAX_STEPS}) {
    Display d;
    Call c;
    c.steps = steps;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(d.Run(c, none.get()), -1) << steps;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(d.nodes.At(0, 0), kSentinel);
  }
}

// The dividend array is read and its faults reported even with the
// dividends off, before any other check and before any output is written.
TEST(EquityExports, DividendArrayFaults) {
  SAFEARRAY* null = nullptr;
  Array oneDim({{4, 0}});
  Array ints({{2, 0}, {2, 0}}, 0.0, VT_I4);
  Array columnsFromOne({{1, 0}, {2, 1}});
  Array nan = Array::Rows({{0.5, std::nan("")}});
  struct Row {
    SAFEARRAY** array;
    int32_t status;
  };
  const Row rows[] = {{&null, -4}, {nullptr, -4}, {oneDim.get(), -5}, {ints.get(), -2},
                      {columnsFromOne.get(), -2}, {nan.get(), -9}};
  for (const Row& r : rows) {
    Outputs o;
    Call c;
    c.steps = 1;  // also bad: the array is reported first
    EXPECT_EQ(Option(c, r.array, o), r.status);
    EXPECT_TRUE(o.Untouched());
    Display d;
    EXPECT_EQ(d.Run(c, r.array), r.status);
    EXPECT_EQ(d.params.At(0), kSentinel);
  }
}

TEST(EquityExports, BadArgumentsWriteNothing) {
  Array none = Array::Rows({});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Call base;
  std::vector<Call> calls;
  for (int32_t n : {1, 0, -3, LORVEX_EQUITY_MAX_STEPS + 1, INT32_MAX, INT32_MIN}) {
    calls.push_back(base);
    calls.back().steps = n;
  }
  for (double t : {0.0, -1.0, nan, inf}) {
    calls.push_back(base);
    calls.back().expiry = t;
  }
  for (double v : {0.0, -0.2, nan, inf, 1e-300, 2000.0}) {  // the last two: u = d, u = inf
    calls.push_back(base);
    calls.back().vol = v;
  }
  for (double* field : {&base.spot, &base.strike, &base.rate, &base.yield}) {
    for (double bad : {nan, inf, -inf}) {
      const double keep = *field;
      *field = bad;
      calls.push_back(base);
      *field = keep;
    }
  }
  calls.push_back(base);
  calls.back().spot = 0;  // the gamma nodes coincide: 0/0
  calls.push_back(base);
  calls.back().rate = 1e5;  // growth overflows
  for (const Call& c : calls) {
    Outputs o;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Option(c, none.get(), o), -9)
        << c.spot << " " << c.strike << " " << c.rate << " " << c.expiry << " " << c.yield << " "
        << c.vol << " " << c.steps;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(o.Untouched());
    if (c.spot != 0) {
      Display d;
      EXPECT_EQ(d.Run(c, none.get()), -9) << c.steps << " " << c.vol;
      EXPECT_EQ(d.nodes.At(0, 0), kSentinel);
    }
  }
  // Null output pointers.
  double a = kSentinel, b = kSentinel, g = kSentinel, t = kSentinel;
  EXPECT_EQ(HW_TreeEquityOpt(100, 100, 0.05, 1, 0, none.get(), 0.2, 2, 0, 1, 0, nullptr, &b, &g, &t), -9);
  EXPECT_EQ(HW_TreeEquityOpt(100, 100, 0.05, 1, 0, none.get(), 0.2, 2, 0, 1, 0, &a, &b, &g, nullptr), -9);
  EXPECT_TRUE(a == kSentinel && b == kSentinel && g == kSentinel && t == kSentinel);
}

}  // namespace
