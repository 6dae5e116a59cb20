// Level dates of the tree: the worked lay-outs of both modes, snapping of
// maturities onto the grid, trimming, and the filler dates between.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "hwtree/time_grid.h"

namespace lorvex {
namespace {

constexpr double kT0 = 2451545.0;  // 1 January 2000

TimeGridInput Uniform(int steps, double expiry, double end, std::vector<double> curve) {
  TimeGridInput in;
  in.startDate = kT0;
  in.endDate = end;
  in.stepCount = steps;
  in.uniform = true;
  in.exerciseDates = {expiry};
  in.curveDates = std::move(curve);
  in.maxDates = 1000000;
  return in;
}

TimeGridInput PerYear(int steps, std::vector<double> exercise, double end, std::vector<double> curve) {
  TimeGridInput in = Uniform(steps, 0.0, end, std::move(curve));
  in.uniform = false;
  in.exerciseDates = std::move(exercise);
  return in;
}

bool Has(const std::vector<double>& v, double d) { return std::find(v.begin(), v.end(), d) != v.end(); }

struct GridCase {
  const char* name;
  TimeGridInput in;
  std::vector<double> dates;       // expected level dates (offsets from t0)
  std::vector<double> maturities;  // expected maturities (offsets from t0)
};

std::vector<double> Offsets(std::vector<double> v) {
  for (double& d : v) d -= kT0;
  return v;
}

// Whole lay-outs worked by hand from the grid rules.
TEST(TimeGrid, WorkedLayouts) {
  const double t = kT0;
  const GridCase cases[] = {
      // One step: t0, E, E + (E - t0); the maturity 100 days past the
      // lattice end gets floor(100 * 8/365) = 2 fillers.
      {"uniform N = 1", Uniform(1, t + 100, t + 300, {t, t + 300}),
       {0, 100, 200, 200 + 100.0 / 3, 200 + 200.0 / 3, 300},
       {0, 300}},
      // Four steps of 25 days, lattice end 125; a maturity 3 days past it
      // moves onto it, one 10 days past stays a level date of its own.
      {"snap 3 days past the lattice end", Uniform(4, t + 100, t + 128, {t, t + 128}),
       {0, 25, 50, 75, 100, 125}, {0, 125}},
      {"10 days past the lattice end stays", Uniform(4, t + 100, t + 135, {t, t + 135}),
       {0, 25, 50, 75, 100, 125, 135}, {0, 135}},
      // Steps of 0.5 day, lattice end 4.5: 7 first moves onto 2.5, the
      // first grid date within 5 days, and then, lying inside the lattice,
      // onto the nearest of the later grid dates, 3 (not on to 4.5).
      {"past the lattice, steps of 0.5 day", Uniform(8, t + 4, t + 7, {t, t + 7}),
       {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5}, {0, 3}},
      // Inside the lattice maturities go to the nearest grid date, a tie
      // to the earlier; 24 and 26 both land on 25 and become one.
      {"nearest grid date, ties earlier", Uniform(4, t + 100, t + 100, {t + 12.5, t + 24, t + 26, t + 100}),
       {0, 25, 50, 75, 100, 125}, {0, 25, 100}},
      // The curve is trimmed after its first date on or after the end date
      // (300), so 500 never becomes a level date.
      {"trimmed after the end date", Uniform(1, t + 50, t + 260, {t, t + 300, t + 500}),
       {0, 50, 100, 100 + 200.0 / 5 * 1, 100 + 200.0 / 5 * 2, 100 + 200.0 / 5 * 3, 100 + 200.0 / 5 * 4,
        300},
       {0, 300}},
      // Per year, 4 steps a year: the exercise dates after t0 are level
      // dates; a maturity before t0 is dropped, one 3.5 days from an
      // exercise date moves onto it; gaps of exactly 365/4 days are split.
      {"per-year mode", PerYear(4, {t - 10, t + 91.25, t + 182.5}, t + 186, {t - 30, t, t + 186}),
       {0, 45.625, 91.25, 136.875, 182.5}, {0, 182.5}},
  };
  for (const GridCase& c : cases) {
    const TimeGrid g = BuildTimeGrid(c.in);
    ASSERT_EQ(g.status, 0) << c.name;
    const std::vector<double> dates = Offsets(g.dates);
    ASSERT_EQ(dates.size(), c.dates.size()) << c.name;
    for (std::size_t k = 0; k < dates.size(); ++k) EXPECT_NEAR(dates[k], c.dates[k], 1e-9) << c.name << " " << k;
    EXPECT_EQ(Offsets(g.maturities), c.maturities) << c.name;
  }
}

// The filler rule is n = floor(gap * 8/365) past the lattice (and
// floor(gap / (365/N)) per year), so a gap of exactly 45.625 days is split
// in two and one of 91.25 days in three; exactly 365/N per year in two.
TEST(TimeGrid, FillerCountFollowsTheFloorRule) {
  const double t = kT0;
  struct Row {
    const char* name;
    TimeGridInput in;
    double gapStart;
    double gap;
    int parts;
  };
  const Row rows[] = {
      {"45.625 days past the lattice", Uniform(1, t + 10, t + 20 + 45.625, {t, t + 20 + 45.625}), t + 20,
       45.625, 2},
      {"91.25 days past the lattice", Uniform(1, t + 10, t + 20 + 91.25, {t, t + 20 + 91.25}), t + 20, 91.25,
       3},
      {"45.6 days past the lattice", Uniform(1, t + 10, t + 20 + 45.6, {t, t + 20 + 45.6}), t + 20, 45.6, 1},
      {"365/4 days per year, N = 4", PerYear(4, {t + 91.25}, t + 91.25, {t, t + 91.25}), t, 91.25, 2},
      {"90 days per year, N = 4", PerYear(4, {t + 90}, t + 90, {t, t + 90}), t, 90, 1},
  };
  for (const Row& r : rows) {
    const TimeGrid g = BuildTimeGrid(r.in);
    ASSERT_EQ(g.status, 0) << r.name;
    const auto first = std::find(g.dates.begin(), g.dates.end(), r.gapStart);
    ASSERT_NE(first, g.dates.end()) << r.name;
    const auto firstIndex = first - g.dates.begin();
    ASSERT_LT(static_cast<std::size_t>(firstIndex + r.parts), g.dates.size()) << r.name;
    EXPECT_EQ(g.dates[static_cast<std::size_t>(firstIndex + r.parts)], r.gapStart + r.gap) << r.name;
    for (int k = 1; k < r.parts; ++k) {
      EXPECT_NEAR(g.dates[static_cast<std::size_t>(firstIndex + k)], r.gapStart + k * r.gap / r.parts, 1e-9)
          << r.name;
    }
  }
}

// Every maturity is a level date, and the grid is strictly increasing.
TEST(TimeGrid, MaturitiesAreLevelDates) {
  std::vector<double> curve;
  for (int k = 0; k < 40; ++k) curve.push_back(kT0 - 20 + 37.3 * k);
  for (const TimeGridInput& in : {Uniform(7, kT0 + 200, kT0 + 1200, curve),
                                  PerYear(3, {kT0 + 100, kT0 + 400}, kT0 + 1200, curve)}) {
    const TimeGrid g = BuildTimeGrid(in);
    ASSERT_EQ(g.status, 0);
    EXPECT_TRUE(std::is_sorted(g.dates.begin(), g.dates.end()));
    EXPECT_EQ(std::adjacent_find(g.dates.begin(), g.dates.end()), g.dates.end());
    for (double m : g.maturities) EXPECT_TRUE(Has(g.dates, m)) << m - kT0;
    EXPECT_EQ(g.dates.front(), kT0);
    EXPECT_LE(g.dates.back(), g.endDate);
  }
}

// Requests the grid cannot serve fail instead of laying a broken grid.
TEST(TimeGrid, RefusedRequests) {
  const double t = kT0;
  struct Row {
    const char* name;
    TimeGridInput in;
  };
  TimeGridInput tooLong = PerYear(1000000, {t + 3650}, t + 3650, {t});
  tooLong.maxDates = 100000;
  const Row rows[] = {
      {"no steps", Uniform(0, t + 100, t + 200, {t})},
      {"negative steps", Uniform(-3, t + 100, t + 200, {t})},
      {"uniform expiry on the valuation date", Uniform(10, t, t + 200, {t})},
      {"uniform expiry before the valuation date", Uniform(10, t - 5, t + 200, {t})},
      {"empty curve", Uniform(10, t + 100, t + 200, {})},
      {"no exercise date", PerYear(4, {}, t + 200, {t})},
      {"one date only", PerYear(4, {t - 3}, t, {t})},
      {"more dates than allowed", tooLong},
  };
  for (const Row& r : rows) EXPECT_EQ(BuildTimeGrid(r.in).status, -1) << r.name;
}

}  // namespace
}  // namespace lorvex
