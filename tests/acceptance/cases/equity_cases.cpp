// HW_TreeEquityOpt and HW_EquityTreeDisplay: worked values, the display's
// array statuses, and refused input, through real arrays.
#include <cmath>
#include <limits>

#include "acceptance.h"

namespace acceptance {
namespace {

struct Terms {
  double spot = 100, strike = 100, rate = 0.05, expiry = 1, yield = 0, vol = 0.2;
  std::int32_t steps = 2, style = 0, kind = 1, useDividends = 0;
};

using Rows = std::vector<std::vector<double>>;
using Bounds = std::vector<std::pair<unsigned long, long>>;

// An absent dividend array, or one of another shape or type.
enum class DividendArray { kRows, kAbsent, kOneDimensional, kIntegers };

struct OptionRow {
  std::string name;
  Terms t;
  Rows dividends;
  DividendArray array;
  std::int32_t status;
  std::vector<double> expected;  // price, delta, gamma, theta; -1 = left untouched
  double tolerance;
};

Case OptionCase(const OptionRow& r) {
  return {r.name,
          [r](const Api& api, std::vector<double>& v) {
            Array rows(r.dividends);
            Array oneDim(VT_R8, {{4, 0}});
            Array ints(VT_I4, {{2, 0}, {2, 0}});
            SAFEARRAY* none = nullptr;
            SAFEARRAY** arrays[] = {rows.get(), &none, oneDim.get(), ints.get()};
            double price = -1, delta = -1, gamma = -1, theta = -1;
            const Terms& t = r.t;
            const std::int32_t status = api.HW_TreeEquityOpt(
                t.spot, t.strike, t.rate, t.expiry, t.yield, arrays[static_cast<int>(r.array)], t.vol, t.steps,
                t.style, t.kind, t.useDividends, &price, &delta, &gamma, &theta);
            v.insert(v.end(), {price, delta, gamma, theta});
            v.resize(r.expected.size());
            return status;
          },
          r.status, r.expected, r.tolerance};
}

struct DisplayRow {
  std::string name;
  std::int32_t steps;
  Bounds nodes, levels, params;  // empty: a reference holding no array
  VARTYPE nodeType;
  std::int32_t status;
  std::vector<double> expected;  // parameters 0..6, then the node rows written
  Terms t{};                     // all but the steps
};

// Node rows are marked -1 in column 2 beforehand; a written row holds 0 or 1.
Case DisplayCase(const DisplayRow& r) {
  return {r.name,
          [r](const Api& api, std::vector<double>& v) {
            Array dividends(Rows{});
            Array nodes(r.nodeType, r.nodes.empty() ? Bounds{{1, 0}} : r.nodes);
            Array levels(VT_R8, r.levels.empty() ? Bounds{{1, 0}} : r.levels);
            Array params(VT_R8, r.params.empty() ? Bounds{{1, 0}} : r.params);
            SAFEARRAY* null = nullptr;
            const bool markable = r.nodeType == VT_R8 && r.nodes.size() == 2;
            for (unsigned long i = 0; markable && i < r.nodes[0].first; ++i) {
              LONG index[2] = {static_cast<LONG>(r.nodes[0].second + static_cast<long>(i)),
                               static_cast<LONG>(r.nodes[1].second + 2)};
              double mark = -1;
              SafeArrayPutElement(*nodes.get(), index, &mark);
            }
            const std::int32_t status = api.HW_EquityTreeDisplay(
                r.t.spot, r.t.strike, r.t.rate, r.t.expiry, r.t.yield, dividends.get(), r.t.vol, r.steps,
                r.t.style, r.t.kind, r.t.useDividends, r.nodes.empty() ? &null : nodes.get(),
                r.levels.empty() ? &null : levels.get(), r.params.empty() ? &null : params.get());
            if (!r.expected.empty()) {
              for (LONG i = 0; i < 7; ++i) {
                LONG index[2] = {i, 0};
                double p = std::nan("");
                SafeArrayGetElement(*params.get(), index, &p);
                v.push_back(p);
              }
              double written = 0;
              for (unsigned long i = 0; markable && i < r.nodes[0].first; ++i) {
                if (nodes.At(r.nodes[0].second + static_cast<long>(i), r.nodes[1].second + 2) != -1) ++written;
              }
              v.push_back(written);
            }
            return status;
          },
          r.status, r.expected, 5e-8};
}

void AddEquityCases(std::vector<Case>& cases) {
  Terms call2;
  Terms put3;
  put3.steps = 3;
  put3.style = 1;
  put3.kind = 0;
  Terms div4;
  div4.steps = 4;
  div4.useDividends = 1;
  auto with = [](Terms t, double Terms::*field, double value) {
    t.*field = value;
    return t;
  };
  auto withSteps = [](Terms t, std::int32_t steps) {
    t.steps = steps;
    return t;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> untouched{-1, -1, -1, -1};
  // Worth a finite 0, but its upper stock prices u^k S pass the largest
  // double (u = e^(300 sqrt(0.1)), ten steps).
  const Terms overflowingPut{100, 0, 0, 1, 0, 300, 10, 0, 0, 0};
  const auto rows = DividendArray::kRows;

  const OptionRow options[] = {
      // Worked values, to the decimals published with them.
      {"equity N=2 European call", call2, {}, rows, 0, {9.540501, 0.6222989, 0.03488830, -0.02613836}, 5e-7},
      {"equity N=3 American put", put3, {}, rows, 0, {6.499560, -0.4179557, 0.02465130, -0.006602268}, 5e-7},
      {"equity N=4 call with a dividend of 2 at 0.5", div4, {{0.5, 2.0}}, rows, 0, {9.970523}, 5e-7},
      // The dividend array is read, and refused, even with dividends off.
      {"equity dividends absent: -4", call2, {}, DividendArray::kAbsent, -4, untouched, 0},
      {"equity dividends one-dimensional: -5", call2, {}, DividendArray::kOneDimensional, -5, untouched, 0},
      {"equity dividends of integers: -2", call2, {}, DividendArray::kIntegers, -2, untouched, 0},
      {"equity NaN dividend amount: -9", call2, {{0.5, nan}}, rows, -9, untouched, 0},
      // Refused arguments: nothing written.
      {"equity one step: -9", withSteps(call2, 1), {}, rows, -9, untouched, 0},
      {"equity steps above 100000: -9", withSteps(call2, 100001), {}, rows, -9, untouched, 0},
      {"equity zero expiry: -9", with(call2, &Terms::expiry, 0), {}, rows, -9, untouched, 0},
      {"equity negative volatility: -9", with(call2, &Terms::vol, -0.2), {}, rows, -9, untouched, 0},
      {"equity NaN spot: -9", with(call2, &Terms::spot, nan), {}, rows, -9, untouched, 0},
      {"equity infinite rate: -9", with(call2, &Terms::rate, inf), {}, rows, -9, untouched, 0},
      {"equity up factor overflowing: -9", with(call2, &Terms::vol, 2000), {}, rows, -9, untouched, 0},
      {"equity negative spot: -9", with(call2, &Terms::spot, -1e6), {}, rows, -9, untouched, 0},
      {"equity negative strike: -9", with(call2, &Terms::strike, -1), {}, rows, -9, untouched, 0},
      // Priced: the overflowing nodes are worth 0 to a put; only the display,
      // which would hand the infinite prices out, refuses the tree.
      {"equity put on a tree whose stock prices overflow: priced 0", overflowingPut, {}, rows, 0, {0.0}, 0},
  };
  for (const OptionRow& r : options) cases.push_back(OptionCase(r));
  // An American put, where the dividend moves the price: a second row at the
  // same time is ignored.
  cases.push_back({"equity repeated dividend time keeps the first",
                   [](const Api& api, std::vector<double>& v) {
                     Array single({{0.5, 2.0}});
                     Array repeated({{0.5, 2.0}, {0.5, 7.0}});
                     Array none(Rows{});
                     double p[3] = {0, 0, 0}, d = 0, g = 0, th = 0;
                     SAFEARRAY** arrays[3] = {single.get(), repeated.get(), none.get()};
                     std::int32_t status = 0;
                     for (int i = 0; i < 3; ++i) {
                       status |= api.HW_TreeEquityOpt(100, 100, 0.05, 1, 0, arrays[i], 0.2, 4, 1, 0, 1, &p[i], &d,
                                                      &g, &th);
                     }
                     v.push_back(p[1] - p[0]);
                     v.push_back(p[2] - p[0] > 0.1 ? 1.0 : 0.0);
                     return status;
                   },
                   0, {0.0, 1.0}, 0.0});

  const Bounds n169{{169, 0}, {3, 0}}, l13{{13, 0}, {1, 0}}, p7{{7, 0}}, l20{{20, 0}, {1, 0}};
  const DisplayRow displays[] = {
      {"equity display N=2 parameters and rows", 2, n169, l13, p7, VT_R8, 0,
       {0.5, 0.9753099, 1.0253151, 0.5539083, 1.1519099, 0.8681234, 0, 6}},
      {"equity display N=17 fills 169 rows then -8", 17, n169, l20, p7, VT_R8, -8, {0, 0, 0, 0, 0, 0, 0, 169}},
      {"equity display node table missing: -4", 2, {}, l13, p7, VT_R8, -4, {}},
      {"equity display level table missing: -4", 2, n169, {}, p7, VT_R8, -4, {}},
      {"equity display node table one-dimensional: -5", 2, {{600, 0}}, l13, p7, VT_R8, -5, {}},
      {"equity display level table three-dimensional: -5", 2, n169, {{13, 0}, {1, 0}, {1, 0}}, p7, VT_R8, -5, {}},
      {"equity display parameter vector missing: -6", 2, n169, l13, {}, VT_R8, -6, {}},
      {"equity display 168 node rows: -7", 2, {{168, 0}, {3, 0}}, l13, p7, VT_R8, -7, {}},
      {"equity display 12 level rows: -7", 2, n169, {{12, 0}, {1, 0}}, p7, VT_R8, -7, {}},
      {"equity display 6 parameters: -7", 2, n169, l13, {{6, 0}}, VT_R8, -7, {}},
      {"equity display node rows from 1: -8", 2, {{169, 1}, {3, 0}}, l13, p7, VT_R8, -8, {}},
      {"equity display level columns from 1: -8", 2, n169, {{13, 0}, {1, 1}}, p7, VT_R8, -8, {}},
      {"equity display parameters from 1: -8", 2, n169, l13, {{7, 1}}, VT_R8, -8, {}},
      {"equity display integer node table: -8", 2, n169, l13, p7, VT_I4, -8, {}},
      {"equity display two-dimensional parameters", 2, n169, l13, {{7, 0}, {1, 0}}, VT_R8, 0,
       {0.5, 0.9753099, 1.0253151, 0.5539083, 1.1519099, 0.8681234, 0, 6}},
      {"equity display three-dimensional parameters", 2, n169, l13, {{7, 0}, {1, 0}, {1, 0}}, VT_R8, 0, {}},
      {"equity display one step: -9", 1, n169, l13, p7, VT_R8, -9, {0, 0, 0, 0, 0, 0, 0, 0}},
      {"equity display beyond the memory budget: -1", 20000, n169, l13, p7, VT_R8, -1, {0, 0, 0, 0, 0, 0, 0, 0}},
      {"equity display of infinite stock prices: -9, nothing written", 10, n169, l13, p7, VT_R8, -9,
       {0, 0, 0, 0, 0, 0, 0, 0}, overflowingPut},
  };
  for (const DisplayRow& r : displays) cases.push_back(DisplayCase(r));
}

const bool registered = RegisterCases(AddEquityCases);

}  // namespace
}  // namespace acceptance
