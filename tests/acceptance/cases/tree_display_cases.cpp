// HW_TreeBondDisplay through real arrays: the tree it copies out checked
// against the option export, the bond's price and the branching of an
// unreverting tree; every status of the output arrays, and that a refusal
// leaves them untouched.
#include <algorithm>
#include <cmath>
#include <limits>

#include "acceptance.h"

namespace acceptance {
namespace {

using Bounds = std::vector<std::pair<unsigned long, long>>;

constexpr double kMark = -123.25;  // every cell holds this before the call; no tree writes it

struct Terms {
  std::int32_t serial = 36526;
  double maturityYears = 5.0;
  double coupon = 0.06;
  int frequency = 2;
  double expiryYears = 1.0;
  double strike = 100.0;
  int call = 0;
  int american = 1;
  int clean = 0;
  double sigma = 0.01;
  double a = 0.1;
  int steps = 10;
  int kind = 0;
};

// The three output arrays; empty bounds: a reference holding no array.
struct Shapes {
  Bounds nodes{{121, 0}, {4, 0}};
  Bounds levels{{11, 0}, {3, 0}};
  Bounds probabilities{{21, 0}, {3, 0}};
  VARTYPE nodeType = VT_R8;
  bool probabilityPointerNull = false;  // no SAFEARRAY** at all
};

// Owns the arrays of one call, marked beforehand where they are doubles.
class Display {
 public:
  explicit Display(const Shapes& s)
      : nodes_(s.nodeType, s.nodes.empty() ? Bounds{{1, 0}} : s.nodes),
        levels_(VT_R8, s.levels.empty() ? Bounds{{1, 0}} : s.levels),
        probabilities_(VT_R8, s.probabilities.empty() ? Bounds{{1, 0}} : s.probabilities),
        shapes_(s) {
    if (s.nodeType == VT_R8) Mark(nodes_, s.nodes);
    Mark(levels_, s.levels);
    Mark(probabilities_, s.probabilities);
  }

  std::int32_t Call(const Api& api, const Terms& t, SAFEARRAY** curve) {
    SAFEARRAY* none = nullptr;
    SAFEARRAY* none2 = nullptr;
    SAFEARRAY* none3 = nullptr;
    SAFEARRAY** probabilities = shapes_.probabilityPointerNull ? nullptr
                                : shapes_.probabilities.empty() ? &none3
                                                                : probabilities_.get();
    return api.HW_TreeBondDisplay(t.serial, t.maturityYears, t.coupon, 100.0, t.frequency, t.expiryYears, t.strike,
                                  t.call, t.american, t.clean, curve, t.sigma, t.a, t.steps, t.kind,
                                  shapes_.nodes.empty() ? &none : nodes_.get(),
                                  shapes_.levels.empty() ? &none2 : levels_.get(), probabilities);
  }

  // Cells no longer holding the mark, over the three arrays.
  double Changed() const {
    double changed = 0;
    if (shapes_.nodeType == VT_R8) changed += Changed(nodes_, shapes_.nodes);
    return changed + Changed(levels_, shapes_.levels) + Changed(probabilities_, shapes_.probabilities);
  }

  double Node(long row, long column) const { return nodes_.At(row, column); }
  double Level(long row, long column) const { return levels_.At(row, column); }
  double Probability(long row, long column) const { return probabilities_.At(row, column); }

 private:
  // Visits every cell of a two-dimensional array of doubles.
  template <class F>
  static void EachCell(const Bounds& b, F f) {
    for (unsigned long i = 0; b.size() == 2 && i < b[0].first; ++i) {
      for (unsigned long j = 0; j < b[1].first; ++j) {
        f(static_cast<LONG>(b[0].second + static_cast<long>(i)), static_cast<LONG>(b[1].second + static_cast<long>(j)));
      }
    }
  }
  static void Mark(Array& a, const Bounds& b) {
    EachCell(b, [&a](LONG row, LONG column) {
      LONG index[2] = {row, column};
      double v = kMark;
      SafeArrayPutElement(*a.get(), index, &v);
    });
  }
  static double Changed(const Array& a, const Bounds& b) {
    double changed = 0;
    EachCell(b, [&](LONG row, LONG column) { changed += a.At(row, column) != kMark; });
    return changed;
  }

  Array nodes_;
  Array levels_;
  Array probabilities_;
  Shapes shapes_;
};

// Status rows: the call's status and how many cells it changed.
struct StatusRow {
  std::string name;
  Terms terms;
  Shapes shapes;
  std::int32_t status;
  double changed;  // < 0: not checked
  double curveRate = 0.05;
};

Case StatusCase(const StatusRow& r) {
  return {r.name,
          [r](const Api& api, std::vector<double>& v) {
            Array curve(FlatCurve(36526, r.curveRate));
            Display d(r.shapes);
            const std::int32_t status = d.Call(api, r.terms, curve.get());
            if (r.changed >= 0) v.push_back(d.Changed());
            return status;
          },
          r.status, r.changed >= 0 ? std::vector<double>{r.changed} : std::vector<double>{}, 0.0};
}

void AddTreeDisplayCases(std::vector<Case>& cases) {
  const Terms put;  // American put, 1 year on a 5-year 6 % bond, 10 steps
  auto with = [](Terms t, auto field, auto value) {
    t.*field = value;
    return t;
  };
  auto shaped = [](auto field, Bounds b) {
    Shapes s;
    s.*field = std::move(b);
    return s;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // 11 levels of 1, 3, ..., 21 nodes: 121 node cells of 4, 33 level cells,
  // 19 probability rows of 3.
  const double full = 121 * 4 + 11 * 3 + 19 * 3;
  Shapes nodeInts;
  nodeInts.nodeType = VT_I4;
  Shapes noProbabilityPointer;
  noProbabilityPointer.probabilityPointerNull = true;

  const StatusRow rows[] = {
      {"tree display: minimum arrays filled", put, Shapes{}, 0, full},
      {"tree display: 120 node rows -7", put, shaped(&Shapes::nodes, {{120, 0}, {4, 0}}), -7, 0},
      {"tree display: 10 level rows -7", put, shaped(&Shapes::levels, {{10, 0}, {3, 0}}), -7, 0},
      {"tree display: 20 probability rows -7", put, shaped(&Shapes::probabilities, {{20, 0}, {3, 0}}), -7, 0},
      {"tree display: node array missing -4", put, shaped(&Shapes::nodes, {}), -4, 0},
      {"tree display: level array missing -4", put, shaped(&Shapes::levels, {}), -4, 0},
      {"tree display: probability array missing -6", put, shaped(&Shapes::probabilities, {}), -6, 0},
      {"tree display: no probability reference -6", put, noProbabilityPointer, -6, 0},
      {"tree display: node array one-dimensional -5", put, shaped(&Shapes::nodes, {{484, 0}}), -5, 0},
      {"tree display: level array three-dimensional -5", put, shaped(&Shapes::levels, {{11, 0}, {3, 0}, {1, 0}}),
       -5, 0},
      // Three probabilities would share one cell.
      {"tree display: probability array one-dimensional -5", put, shaped(&Shapes::probabilities, {{63, 0}}), -5,
       0},
      // The write at row 0 fails once the level row 0 is written.
      {"tree display: node rows from 1 -8", put, shaped(&Shapes::nodes, {{121, 1}, {4, 0}}), -8, 3},
      {"tree display: level rows from 1 -8", put, shaped(&Shapes::levels, {{11, 1}, {3, 0}}), -8, 0},
      {"tree display: three node columns -8 after level 0", put, shaped(&Shapes::nodes, {{121, 0}, {3, 0}}), -8,
       6},
      {"tree display: integer node array -8", put, nodeInts, -8, 0},
      // The arrays are checked only once the tree stands.
      {"tree display: no steps -1 before the arrays", with(put, &Terms::steps, 0),
       shaped(&Shapes::nodes, {}), -1, 0},
      {"tree display: expiry today -1", with(put, &Terms::expiryYears, 0.0), Shapes{}, -1, 0},
      {"tree display: a dt of 1 or more -1", with(with(put, &Terms::a, 400.0), &Terms::steps, 1), Shapes{}, -1, 0},
      {"tree display: NaN strike -9", with(put, &Terms::strike, nan), Shapes{}, -9, 0},
      {"tree display: infinite sigma -9", with(put, &Terms::sigma, std::numeric_limits<double>::infinity()),
       Shapes{}, -9, 0},
      {"tree display: valuation past the calendar -9", with(put, &Terms::serial, 2958466), Shapes{}, -9, 0},
      {"tree display: maturity past the calendar -9", with(put, &Terms::maturityYears, 1e7), Shapes{}, -9, 0},
      // A strike at the largest double grows past it when discounted at a
      // negative rate: the node values are infinite, nothing is written.
      {"tree display: infinite node values -9, nothing written",
       with(with(put, &Terms::strike, std::numeric_limits<double>::max()), &Terms::american, 0), Shapes{}, -9, 0,
       -0.05},
  };
  for (const StatusRow& r : rows) cases.push_back(StatusCase(r));

  cases.push_back({"tree display: curve holding no array -4",
                   [](const Api& api, std::vector<double>& v) {
                     Display d(Shapes{});
                     SAFEARRAY* none = nullptr;
                     const std::int32_t s = d.Call(api, Terms{}, &none);
                     v.push_back(d.Changed());
                     return s;
                   },
                   -4, {0.0}, 0.0});

  // Steps beyond 10 build the 10-step tree: the same cells as a call with
  // 10, the last level at the expiry and nothing past it.
  cases.push_back({"tree display: 25 steps give the 10-step tree",
                   [](const Api& api, std::vector<double>& v) {
                     Array curve(FlatCurve(36526, 0.05));
                     Shapes big;
                     big.nodes = {{130, 0}, {4, 0}};
                     big.levels = {{13, 0}, {3, 0}};
                     Display ten(big), many(big);
                     Terms t;
                     const std::int32_t s1 = ten.Call(api, t, curve.get());
                     t.steps = 25;
                     const std::int32_t s2 = many.Call(api, t, curve.get());
                     double differences = 0;
                     for (long r = 0; r < 130; ++r) {
                       for (long c = 0; c < 4; ++c) differences += ten.Node(r, c) != many.Node(r, c);
                     }
                     v.push_back(differences);
                     v.push_back(many.Level(10, 0));  // time of the last level: the expiry
                     v.push_back(many.Level(10, 2));  // its 21 nodes
                     v.push_back(many.Level(11, 0));  // untouched
                     v.push_back(many.Node(120, 3) != kMark ? 1.0 : 0.0);
                     v.push_back(many.Node(121, 0));  // untouched
                     return s1 != 0 ? s1 : s2;
                   },
                   0, {0.0, 1.0, 21.0, kMark, 1.0, kMark}, 1e-12});

  // The root of the display is the option export's value on the same 10
  // steps, for each kind and exercise; its bond price, less the accrued
  // coupon of level 0, is the bond's clean price to the fit's accuracy.
  for (int kind : {0, 1, 2}) {
    for (int american : {0, 1}) {
      const std::string name = "tree display: root matches the option export and the bond, kind " +
                               std::to_string(kind) + (american ? " American" : " European");
      cases.push_back({name,
                       [kind, american](const Api& api, std::vector<double>& v) {
                         Array curve(FlatCurve(36526, 0.05));
                         Terms t;
                         t.kind = kind;
                         t.american = american;
                         t.maturityYears = 5.3;  // level 0 between coupon dates
                         t.sigma = kind == 0 ? 0.01 : 0.2;
                         Display d(Shapes{});
                         const std::int32_t s = d.Call(api, t, curve.get());
                         double option = 0, clean = 0;
                         const std::int32_t s2 =
                             api.HW_TreeBondOption(t.serial, t.maturityYears, t.coupon, 100.0, t.frequency,
                                                   t.expiryYears, t.strike, t.call, t.american, t.clean,
                                                   curve.get(), t.sigma, t.a, t.steps, t.kind, &option);
                         const std::int32_t s3 = api.HW_BondPrice(t.serial, t.maturityYears, t.coupon, 100.0,
                                                                  t.frequency, curve.get(), &clean);
                         v.push_back(d.Node(0, 0) - option);
                         v.push_back((d.Node(0, 1) - d.Level(0, 1)) / clean - 1.0);
                         return s != 0 ? s : s2 != 0 ? s2 : s3;
                       },
                       0, {0.0, 0.0}, 1e-6});
    }
  }

  // Levels every tenth of the year with 1, 3, ..., 21 nodes (a = 0.1 over
  // 36.5-day steps never stops the widening before level 10); a 5-year bond
  // starts its first period today, so nothing has accrued at level 0; the
  // root's one-step rate reprices the flat 5 % curve.
  cases.push_back({"tree display: level rows and the root's rate",
                   [](const Api& api, std::vector<double>& v) {
                     Array curve(FlatCurve(36526, 0.05));
                     Display d(Shapes{});
                     Terms t;
                     const std::int32_t s = d.Call(api, t, curve.get());
                     double worst = 0;
                     for (long i = 0; i <= 10; ++i) {
                       worst = std::max(worst, std::fabs(d.Level(i, 0) - 0.1 * static_cast<double>(i)));
                       worst = std::max(worst, std::fabs(d.Level(i, 2) - static_cast<double>(2 * i + 1)));
                     }
                     v.push_back(worst);
                     v.push_back(d.Level(0, 1));
                     v.push_back(d.Node(0, 3));
                     return s;
                   },
                   0, {0.0, 0.0, 0.05}, 1e-9});

  // Branching of the last step. Without mean reversion every node of an
  // equal-step tree branches with 1/6, 2/3, 1/6 (the spacing sqrt(3 V)
  // makes the middle carry two thirds); with a = 0.1 the central node still
  // does, and the outer nodes lean back towards it.
  cases.push_back({"tree display: last-step probabilities",
                   [](const Api& api, std::vector<double>& v) {
                     Array curve(FlatCurve(36526, 0.05));
                     Terms t;
                     t.a = 0.0;
                     Display flat(Shapes{});
                     const std::int32_t s1 = flat.Call(api, t, curve.get());
                     double worst = 0;
                     for (long j = 0; j < 19; ++j) {
                       worst = std::max({worst, std::fabs(flat.Probability(j, 0) - 1.0 / 6),
                                         std::fabs(flat.Probability(j, 1) - 2.0 / 3),
                                         std::fabs(flat.Probability(j, 2) - 1.0 / 6)});
                     }
                     v.push_back(worst);
                     v.push_back(flat.Probability(19, 0));  // level 9 has 19 nodes: row 19 untouched
                     Display reverting(Shapes{});
                     t.a = 0.1;
                     const std::int32_t s2 = reverting.Call(api, t, curve.get());
                     v.push_back(reverting.Probability(9, 0) - 1.0 / 6);
                     v.push_back(reverting.Probability(9, 1) - 2.0 / 3);
                     v.push_back(reverting.Probability(18, 0) < reverting.Probability(18, 2) ? 1.0 : 0.0);
                     v.push_back(reverting.Probability(0, 0) > reverting.Probability(0, 2) ? 1.0 : 0.0);
                     return s1 != 0 ? s1 : s2;
                   },
                   0, {0.0, kMark, 0.0, 0.0, 1.0, 1.0}, 1e-12});

  // Exercise flags. At the expiry the continuation is 0: a put whose bond
  // is worth the strike or more ties at 0 and is held (-1.0); below the
  // strike it is exercised (+1.0) for K - price. A put struck at 0 never
  // pays: every node ties and reads -1.0. An exercised node holds its
  // exercise value.
  cases.push_back({"tree display: exercise flags and ties",
                   [](const Api& api, std::vector<double>& v) {
                     Array curve(FlatCurve(36526, 0.05));
                     Terms t;
                     t.strike = 104.0;
                     Display d(Shapes{});
                     const std::int32_t s1 = d.Call(api, t, curve.get());
                     double wrongFlags = 0, held = 0, exercised = 0, worst = 0;
                     for (long r = 0; r < 121; ++r) {
                       const double flag = d.Node(r, 2);
                       const double payoff = std::max(t.strike - d.Node(r, 1), 0.0);
                       if (flag == 1.0) {
                         ++exercised;
                         worst = std::max(worst, std::fabs(d.Node(r, 0) - payoff));
                         if (!(payoff > 0)) ++wrongFlags;
                       } else if (flag == -1.0) {
                         ++held;
                         if (r >= 100 && payoff > 0) ++wrongFlags;  // expiry level: rows 100 .. 120
                       } else {
                         ++wrongFlags;
                       }
                     }
                     v.insert(v.end(), {wrongFlags, held > 0 ? 1.0 : 0.0, exercised > 0 ? 1.0 : 0.0, worst});
                     t.strike = 0.0;
                     Display zero(Shapes{});
                     const std::int32_t s2 = zero.Call(api, t, curve.get());
                     double notHeld = 0;
                     for (long r = 0; r < 121; ++r) notHeld += zero.Node(r, 2) != -1.0 || zero.Node(r, 0) != 0.0;
                     v.push_back(notHeld);
                     return s1 != 0 ? s1 : s2;
                   },
                   0, {0.0, 1.0, 1.0, 0.0, 0.0}, 0.0});
}

const bool registered = RegisterCases(AddTreeDisplayCases);

}  // namespace
}  // namespace acceptance
