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

// Price, delta, gamma, theta in that order; sentinels stay when nothing is written.
std::int32_t Option(const Api& api, std::vector<double>& values, const Terms& t, SAFEARRAY** dividends) {
  double price = -1, delta = -1, gamma = -1, theta = -1;
  const std::int32_t status =
      api.HW_TreeEquityOpt(t.spot, t.strike, t.rate, t.expiry, t.yield, dividends, t.vol, t.steps, t.style,
                           t.kind, t.useDividends, &price, &delta, &gamma, &theta);
  values.insert(values.end(), {price, delta, gamma, theta});
  return status;
}

Case OptionCase(std::string name, Terms t, std::vector<std::vector<double>> dividends, std::int32_t status,
                std::vector<double> expected, double tol) {
  return {std::move(name),
          [=](const Api& api, std::vector<double>& v) {
            Array d(dividends);  // no rows: an empty 0 To -1, 0 To 1 array
            return Option(api, v, t, d.get());
          },
          status, std::move(expected), tol};
}

struct Shape {
  std::vector<std::pair<unsigned long, long>> nodes{{169, 0}, {3, 0}};
  std::vector<std::pair<unsigned long, long>> levels{{13, 0}, {1, 0}};
  std::vector<std::pair<unsigned long, long>> params{{7, 0}};
  bool nullNodes = false, nullLevels = false, nullParams = false;
};

// Element i of a parameter vector of one or two dimensions.
double ParamAt(Array& params, long i) {
  LONG index[2] = {static_cast<LONG>(i), 0};
  double v = std::nan("");
  SafeArrayGetElement(*params.get(), index, &v);
  return v;
}

// Returns the display status; values: the parameter vector, then the number
// of node rows written (rows whose exercised column changed from -1).
Case DisplayCase(std::string name, Terms t, Shape s, std::int32_t status, std::vector<double> expected,
                 double tol) {
  return {std::move(name),
          [=](const Api& api, std::vector<double>& v) {
            Array dividends(VT_R8, {{0, 0}, {2, 0}});
            Array nodes(VT_R8, s.nodes), levels(VT_R8, s.levels), params(VT_R8, s.params);
            const long nodeLower = s.nodes[0].second;
            for (unsigned long r = 0; r < s.nodes[0].first && s.nodes.size() == 2; ++r) {
              LONG i[2] = {static_cast<LONG>(nodeLower + static_cast<long>(r)), static_cast<LONG>(s.nodes[1].second + 2)};
              double mark = -1;
              SafeArrayPutElement(*nodes.get(), i, &mark);
            }
            SAFEARRAY* null = nullptr;
            const std::int32_t st = api.HW_EquityTreeDisplay(
                t.spot, t.strike, t.rate, t.expiry, t.yield, dividends.get(), t.vol, t.steps, t.style,
                t.kind, t.useDividends, s.nullNodes ? &null : nodes.get(), s.nullLevels ? &null : levels.get(),
                s.nullParams ? &null : params.get());
            if (!expected.empty()) {
              for (long i = 0; i < 6; ++i) v.push_back(ParamAt(params, i));
              double rows = 0;
              for (unsigned long r = 0; r < s.nodes[0].first; ++r) {
                if (nodes.At(nodeLower + static_cast<long>(r), 2) != -1) ++rows;
              }
              v.push_back(rows);
            }
            return st;
          },
          status, std::move(expected), tol};
}

void AddEquityCases(std::vector<Case>& cases) {
  // Worked values, to the decimals published with them.
  Terms call2;
  cases.push_back(OptionCase("equity N=2 European call", call2, {}, 0,
                             {9.540501, 0.6222989, 0.03488830, -0.02613836}, 5e-7));
  Terms put3;
  put3.steps = 3;
  put3.style = 1;
  put3.kind = 0;
  cases.push_back(OptionCase("equity N=3 American put", put3, {}, 0,
                             {6.499560, -0.4179557, 0.02465130, -0.006602268}, 5e-7));
  Terms div4;
  div4.steps = 4;
  div4.useDividends = 1;
  cases.push_back({"equity N=4 call with a dividend of 2 at 0.5",
                   [=](const Api& api, std::vector<double>& v) {
                     Array d({{0.5, 2.0}});
                     const std::int32_t s = Option(api, v, div4, d.get());
                     v.resize(1);
                     return s;
                   },
                   0, {9.970523}, 5e-7});

  // The display of the N = 2 call: parameters, then 6 node rows.
  cases.push_back(DisplayCase("equity display N=2 parameters and rows", call2, Shape{}, 0,
                              {0.5, 0.9753099, 1.0253151, 0.5539083, 1.1519099, 0.8681234, 6}, 5e-8));
  Terms n17;
  n17.steps = 17;
  Shape tallLevels;
  tallLevels.levels = {{20, 0}, {1, 0}};
  cases.push_back(DisplayCase("equity display N=17 fills 169 rows then -8", n17, tallLevels, -8,
                              {0, 0, 0, 0, 0, 0, 169}, 0.0));  // parameters never reached
  // The other shapes: the status alone.
  Shape s;
  s.nullNodes = true;
  cases.push_back(DisplayCase("equity display node table missing: -4", call2, s, -4, {}, 0));
  s = Shape{};
  s.nullLevels = true;
  cases.push_back(DisplayCase("equity display level table missing: -4", call2, s, -4, {}, 0));
  s = Shape{};
  s.nodes = {{600, 0}};
  cases.push_back(DisplayCase("equity display node table one-dimensional: -5", call2, s, -5, {}, 0));
  s = Shape{};
  s.nullParams = true;
  cases.push_back(DisplayCase("equity display parameter vector missing: -6", call2, s, -6, {}, 0));
  s = Shape{};
  s.nodes = {{168, 0}, {3, 0}};
  cases.push_back(DisplayCase("equity display 168 node rows: -7", call2, s, -7, {}, 0));
  s = Shape{};
  s.levels = {{12, 0}, {1, 0}};
  cases.push_back(DisplayCase("equity display 12 level rows: -7", call2, s, -7, {}, 0));
  s = Shape{};
  s.params = {{6, 0}};
  cases.push_back(DisplayCase("equity display 6 parameters: -7", call2, s, -7, {}, 0));
  s = Shape{};
  s.nodes = {{169, 1}, {3, 0}};
  cases.push_back(DisplayCase("equity display node rows from 1: -8", call2, s, -8, {}, 0));
  s = Shape{};
  s.params = {{7, 1}};
  cases.push_back(DisplayCase("equity display parameters from 1: -8", call2, s, -8, {}, 0));
  Terms big;
  big.steps = 20000;
  cases.push_back(DisplayCase("equity display beyond the memory budget: -1", big, Shape{}, -1, {}, 0));

  // Refused input: nothing written (the sentinels -1 remain).
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> untouched{-1, -1, -1, -1};
  Terms t;
  t.steps = 1;
  cases.push_back(OptionCase("equity one step: -9", t, {}, -9, untouched, 0));
  t.steps = 100001;
  cases.push_back(OptionCase("equity steps above 100000: -9", t, {}, -9, untouched, 0));
  t = Terms{};
  t.expiry = 0;
  cases.push_back(OptionCase("equity zero expiry: -9", t, {}, -9, untouched, 0));
  t = Terms{};
  t.vol = -0.2;
  cases.push_back(OptionCase("equity negative volatility: -9", t, {}, -9, untouched, 0));
  t = Terms{};
  t.spot = nan;
  cases.push_back(OptionCase("equity NaN spot: -9", t, {}, -9, untouched, 0));
  t = Terms{};
  cases.push_back(OptionCase("equity NaN dividend amount, dividends off: -9", t, {{0.5, nan}}, -9, untouched, 0));
  cases.push_back({"equity dividends one-dimensional, dividends off: -5",
                   [](const Api& api, std::vector<double>& v) {
                     Array a(VT_R8, {{4, 0}});
                     return Option(api, v, Terms{}, a.get());
                   },
                   -5, untouched, 0});
  cases.push_back({"equity dividends absent: -4",
                   [](const Api& api, std::vector<double>& v) {
                     SAFEARRAY* none = nullptr;
                     return Option(api, v, Terms{}, &none);
                   },
                   -4, untouched, 0});
}

const bool registered = RegisterCases(AddEquityCases);

}  // namespace
}  // namespace acceptance
