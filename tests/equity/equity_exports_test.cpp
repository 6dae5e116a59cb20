// HW_TreeEquityOpt and HW_EquityTreeDisplay through the exports, with
// portable arrays: the display layout, flags, the memory budget and refused
// input. Worked values and the display statuses are acceptance cases.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "equity/equity_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"
#include "test_arrays.h"

namespace {

using lorvex_test::Array;

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

// Only 1 selects call, American or dividends on. Dividends change an
// American price (early exercise compares with the node prices); a European
// price depends on the expiry level alone.
TEST(EquityExports, FlagsCompareWithOne) {
  Array div = Array::Of({{0.5, 2.0}});
  auto price = [&](int32_t style, int32_t kind, int32_t use, SAFEARRAY** dividends) {
    Outputs o;
    EXPECT_EQ(Option({100, 100, 0.05, 1, 0, 0.2, 4, style, kind, use}, dividends, o), 0);
    return o.price;
  };
  const double americanPut = price(1, 0, 1, div.get());
  EXPECT_NE(americanPut, price(0, 0, 1, div.get()));
  EXPECT_NE(americanPut, price(1, 0, 0, div.get()));
  EXPECT_NE(americanPut, price(1, 1, 1, div.get()));
  for (int32_t other : {0, 2, -1}) {
    EXPECT_EQ(price(other, 0, 1, div.get()), price(0, 0, 1, div.get())) << other;
    EXPECT_EQ(price(1, other, 1, div.get()), americanPut) << other;
    EXPECT_EQ(price(1, 0, other, div.get()), price(1, 0, 0, div.get())) << other;
  }
  // A repeated dividend time keeps the first row.
  Array repeated = Array::Of({{0.5, 2.0}, {0.5, 5.0}});
  EXPECT_EQ(price(1, 0, 1, repeated.get()), americanPut);
}

// Row k(k+1)/2 + m holds node (k, m) of the same tree the library builds.
TEST(EquityExports, DisplayLayoutMatchesTree) {
  Array divs = Array::Of({{0.3, 1.5}, {0.7, 1.5}});
  const Call c{100, 95, 0.04, 1, 0.01, 0.3, 12, 1, 0, 1};
  Display d;
  d.levels = Array({{15, 0}, {1, 0}}, kSentinel);  // rows up to N + 2
  ASSERT_EQ(d.Run(c, divs.get()), 0);
  lorvex::ZeroCurve curve;
  curve.Insert(0.3, 1.5);
  curve.Insert(0.7, 1.5);
  const lorvex::EquityTree tree({100, 95, 0.04, 1, 0.01, 0.3, 12, lorvex::Exercise::American, lorvex::OptionType::Put, true}, curve);
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
  // Rows 0 and 1 of the level table and element 6 of the parameters stay.
  EXPECT_EQ(d.levels.At(0), kSentinel);
  EXPECT_EQ(d.levels.At(1), kSentinel);
  EXPECT_EQ(d.params.At(6), kSentinel);
  // The display and the pricing export agree on the root.
  Outputs o;
  ASSERT_EQ(Option(c, divs.get(), o), 0);
  EXPECT_EQ(o.price, d.nodes.At(0, 0));
}

TEST(EquityExports, DisplayMemoryBudget) {
  Array none = Array::Of({});
  for (int32_t steps : {6000, LORVEX_EQUITY_MAX_STEPS}) {
    Display d;
    Call c;
    c.steps = steps;
    // Refused from the storage estimate, before anything is allocated.
    EXPECT_GT(lorvex::EquityTree::StorageBytes(steps), lorvex::kEquityTreeBudgetBytes) << steps;
    EXPECT_EQ(d.Run(c, none.get()), -1) << steps;
    EXPECT_EQ(d.nodes.At(0, 0), kSentinel);
  }
}

TEST(EquityExports, BadArgumentsWriteNothing) {
  Array none = Array::Of({});
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
  // Prices below 0.
  calls.push_back(base);
  calls.back().spot = -1e6;
  calls.push_back(base);
  calls.back().strike = -1;
  for (const Call& c : calls) {
    Outputs o;
    EXPECT_EQ(Option(c, none.get(), o), -9) << c.spot << " " << c.strike << " " << c.rate << " " << c.expiry
                                            << " " << c.yield << " " << c.vol << " " << c.steps;
    EXPECT_TRUE(o.Untouched());
    if (c.spot != 0) {
      Display d;
      EXPECT_EQ(d.Run(c, none.get()), -9) << c.steps << " " << c.vol;
      EXPECT_EQ(d.nodes.At(0, 0), kSentinel);
    }
  }
  // A put struck at 0 on a tree whose upper stock prices overflow: its
  // value is a finite 0 and is priced, but the display would hand out
  // infinite prices and refuses, writing nothing.
  const Call overflowing{100, 0, 0, 1, 0, 300, 10, 0, 0, 0};
  Outputs o;
  EXPECT_EQ(Option(overflowing, none.get(), o), 0);
  EXPECT_EQ(o.price, 0.0);
  Display d;
  EXPECT_EQ(d.Run(overflowing, none.get()), -9);
  EXPECT_EQ(d.nodes.At(0, 0), kSentinel);
  // Null output pointers.
  double a = kSentinel, b = kSentinel, g = kSentinel, t = kSentinel;
  EXPECT_EQ(HW_TreeEquityOpt(100, 100, 0.05, 1, 0, none.get(), 0.2, 2, 0, 1, 0, nullptr, &b, &g, &t), -9);
  EXPECT_EQ(HW_TreeEquityOpt(100, 100, 0.05, 1, 0, none.get(), 0.2, 2, 0, 1, 0, &a, &b, &g, nullptr), -9);
  EXPECT_TRUE(a == kSentinel && b == kSentinel && g == kSentinel && t == kSentinel);
}

}  // namespace
