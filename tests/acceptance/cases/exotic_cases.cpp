// The closed-form exotic exports: the published example values, the type
// code and flag rules, the mended inputs and the refused ones.
#include <cmath>
#include <limits>

#include "acceptance.h"

namespace acceptance {
namespace {

using Call = std::function<std::int32_t(const Api&, double*)>;

// One export call; the value written is recorded (NaN on refusal).
Case One(std::string name, Call call, std::int32_t status, double expected, double tolerance) {
  return {std::move(name),
          [call](const Api& api, std::vector<double>& values) {
            double v = -12345.0;
            const std::int32_t s = call(api, &v);
            values.push_back(v);
            return s;
          },
          status, {expected}, tolerance};
}

// A relation between calls that must come out 0.
Case Zero(std::string name, std::function<double(const Api&, std::int32_t&)> difference,
          double tolerance) {
  return {std::move(name),
          [difference](const Api& api, std::vector<double>& values) {
            std::int32_t worst = 0;
            values.push_back(difference(api, worst));
            return worst;
          },
          0, {0.0}, tolerance};
}

// Remembers the first nonzero status of a chain of calls.
double Keep(std::int32_t& worst, std::int32_t status, double value) {
  if (worst == 0) worst = status;
  return value;
}

// Two calls that must give the same value.
Case Same(std::string name, Call first, Call second, double tolerance) {
  return Zero(
      std::move(name),
      [first, second](const Api& api, std::int32_t& worst) {
        double a = 0, b = 0;
        Keep(worst, first(api, &a), 0);
        Keep(worst, second(api, &b), 0);
        return a - b;
      },
      tolerance);
}

// Plain European options from the binary export: a call is an
// asset-or-nothing call less X cash-or-nothing calls paying 1.
double Plain(const Api& api, std::int32_t& worst, double s, double x, double r, double q,
             double sigma, double t, bool isCall) {
  double asset = 0, cash = 0;
  const int kind = isCall ? 1 : 0;
  Keep(worst, api.HW_binary_compute(s, x, r, q, sigma, t, 1.0, 10, kind, &asset), 0);
  Keep(worst, api.HW_binary_compute(s, x, r, q, sigma, t, 1.0, 9, kind, &cash), 0);
  return isCall ? asset - x * cash : x * cash - asset;
}

Call Barrier(double x, double h, int type, int kind, double s = 100, double t = 0.5,
             double sigma = 0.25) {
  return [=](const Api& api, double* v) {
    return api.HW_barrier_compute(s, x, 0.08, t, 0.04, h, sigma, type, kind, v);
  };
}

Call Compound(int underlying, int kind, double t1 = 0.25) {
  return [=](const Api& api, double* v) {
    return api.HW_compound_compute(500, 50, 520, 0.08, 0.03, 0.35, t1, 0.5, underlying, kind, v);
  };
}

Call Lookback(int kind, double sigma = 0.3, double t = 0.5) {
  return [=](const Api& api, double* v) {
    return api.HW_lookback_compute(120, 0.1, 0.04, sigma, t, 150, 100, kind, v);
  };
}

Call Binary(double s, double x, double r, double q, double sigma, double t, int payoff, int kind,
            double cash = 10) {
  return [=](const Api& api, double* v) {
    return api.HW_binary_compute(s, x, r, q, sigma, t, cash, payoff, kind, v);
  };
}

Call Average(double s, double x, double r, double q, double sigma, double t, double average, double elapsed,
             int kind) {
  return [=](const Api& api, double* v) {
    return api.HW_avgopt_compute(s, x, r, q, sigma, t, average, elapsed, kind, v);
  };
}

Call Chooser(double choiceTime) {
  return [=](const Api& api, double* v) { return api.HW_chooser_compute(50, 50, 0.08, 0, 0.25, 0.5, choiceTime, v); };
}

void AddExoticCases(std::vector<Case>& cases) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();

  // A call, its status and value (NaN after a refusal).
  struct Row {
    const char* name;
    Call call;
    std::int32_t status;
    double value;
    double tolerance;
  };
  const Row rows[] = {
      // Published examples, to the decimals quoted.
      {"barrier down-and-out call", Barrier(90, 95, 8, 1), 0, 6.744746, 5e-7},
      {"barrier down-and-in call", Barrier(90, 95, 7, 1), 0, 7.088543, 5e-7},
      {"barrier up-and-in call, spot above: plain call", Barrier(90, 95, 5, 1), 0, 13.83329, 5e-6},
      {"barrier up-and-out call", Barrier(100, 105, 6, 1), 0, 0.01267775, 5e-9},
      {"barrier up-and-in call", Barrier(100, 105, 5, 1), 0, 7.836743, 5e-7},
      {"barrier up-and-out put", Barrier(100, 105, 6, 0), 0, 3.147868, 5e-7},
      {"barrier up-and-in put", Barrier(100, 105, 5, 0), 0, 2.760629, 5e-7},
      {"compound put on call", Compound(12, 0), 0, 21.19856, 5e-6},
      {"compound call on call", Compound(12, 1), 0, 17.59674, 5e-6},
      {"compound call on put", Compound(13, 1), 0, 18.71412, 5e-6},
      {"compound put on put", Compound(13, 0), 0, 15.26139, 5e-6},
      {"lookback call", Lookback(1), 0, 26.28414, 5e-6},
      {"lookback put", Lookback(0), 0, 30.37400, 5e-6},
      {"average-price call 90/95", Average(90, 95, 0.1, 0.05, 0.15, 0.5, 0, 0, 1), 0, 0.8091548, 5e-8},
      {"average-price call at the money", Average(100, 100, 0.05, 0, 0.2, 1, 0, 0, 1), 0, 5.782831, 5e-7},
      {"average-price put at the money", Average(100, 100, 0.05, 0, 0.2, 1, 0, 0, 0), 0, 3.364623, 5e-7},
      {"chooser", Chooser(0.25), 0, 6.107073, 5e-7},
      {"binary cash-or-nothing put", Binary(100, 80, 0.06, 0.06, 0.35, 0.75, 9, 0), 0, 2.671045, 5e-7},
      {"binary cash-or-nothing call", Binary(100, 100, 0.05, 0, 0.2, 1, 9, 1), 0, 5.323248, 5e-7},
      {"binary asset-or-nothing call", Binary(100, 100, 0.05, 0, 0.2, 1, 10, 1), 0, 63.68306, 5e-6},
      // Refused.
      {"barrier type 4: -9", Barrier(100, 105, 4, 1), -9, nan, 0.0},
      {"barrier type 9: -9", Barrier(100, 105, 9, 1), -9, nan, 0.0},
      {"barrier NaN barrier: -9", Barrier(100, nan, 6, 1), -9, nan, 0.0},
      {"barrier negative volatility: -9", Barrier(100, 105, 6, 1, 100, 0.5, -0.25), -9, nan, 0.0},
      {"barrier negative spot on a structural zero: -9", Barrier(110, 105, 6, 1, -100), -9, nan, 0.0},
      {"barrier zero volatility, value not finite: -9", Barrier(90, 95, 8, 1, 100, 0.5, 0.0), -9, nan, 0.0},
      {"compound T1 = 0 divides by zero: -9", Compound(12, 1, 0.0), -9, nan, 0.0},
      {"lookback negative time: -9", Lookback(1, 0.3, -0.5), -9, nan, 0.0},
      {"average-price negative elapsed time: -9", Average(100, 100, 0.05, 0, 0.2, 1, 100, -0.5, 1), -9, nan, 0.0},
      {"chooser choice time -1: -9", Chooser(-1), -9, nan, 0.0},
      {"binary infinite cash: -9", Binary(100, 100, 0.05, 0, 0.2, 1, 9, 1, inf), -9, nan, 0.0},
  };
  for (const Row& r : rows) cases.push_back(One(r.name, r.call, r.status, r.value, r.tolerance));

  // Type codes and flags: kinds other than 1 are puts; payoff codes other
  // than 9 are asset-or-nothing; underlying codes other than 12 are puts.
  for (int kind : {0, 2, -1}) {
    const std::string k = std::to_string(kind);
    cases.push_back(One("barrier option kind " + k + " is a put", Barrier(100, 105, 6, kind), 0,
                        3.147868, 5e-7));
    cases.push_back(One("lookback option kind " + k + " is a put", Lookback(kind), 0, 30.37400, 5e-6));
    cases.push_back(One("binary option kind " + k + " is a put",
                        Binary(100, 80, 0.06, 0.06, 0.35, 0.75, 9, kind), 0, 2.671045, 5e-7));
    cases.push_back(One("compound kind " + k + " is a put", Compound(12, kind), 0, 21.19856, 5e-6));
  }
  for (int payoff : {10, 0, 8}) {
    cases.push_back(One("binary payoff " + std::to_string(payoff) + " is asset-or-nothing",
                        Binary(100, 100, 0.05, 0, 0.2, 1, payoff, 1), 0, 63.68306, 5e-6));
  }
  cases.push_back(Same("compound underlying 14 is a put like 13", Compound(13, 1), Compound(14, 1), 0.0));
  // Code 13 with a put that can never be worth X1 at T1 (X2 e^(-r (T2-T1))
  // = 97.53 < X1 = 98): the call on it is 0, the put on it a certain sale,
  // X1 e^(-r T1) less the put today.
  cases.push_back(One("compound call on put 13 that cannot reach X1 is 0",
                      [](const Api& api, double* v) {
                        return api.HW_compound_compute(100, 98, 100, 0.05, 0, 0.3, 0.5, 1.0, 13, 1, v);
                      },
                      0, 0.0, 0.0));
  struct CertainSale {
    const char* name;
    int underlying;
    double tolerance;
  };
  for (const CertainSale& c : {CertainSale{"compound put on put 13 that cannot reach X1 is a certain sale", 13, 1e-9},
                               CertainSale{"compound put on put 14 reaches the certain sale by iteration", 14, 1e-3}}) {
    const int underlying = c.underlying;
    cases.push_back(Zero(
        c.name,
        [underlying](const Api& api, std::int32_t& w) {
          double v = 0;
          Keep(w, api.HW_compound_compute(100, 98, 100, 0.05, 0, 0.3, 0.5, 1.0, underlying, 0, &v), 0);
          return v - (98 * std::exp(-0.05 * 0.5) - Plain(api, w, 100, 100, 0.05, 0, 0.3, 1.0, false));
        },
        c.tolerance));
  }

  // Identities through the exports.
  cases.push_back(Zero("compound call less put is the option less X1 discounted, both kinds",
                       [](const Api& api, std::int32_t& w) {
                         double worst = 0;
                         for (int underlying : {12, 13}) {
                           double c = 0, p = 0;
                           Keep(w, api.HW_compound_compute(500, 50, 520, 0.08, 0.03, 0.35, 0.25, 0.5, underlying, 1, &c), 0);
                           Keep(w, api.HW_compound_compute(500, 50, 520, 0.08, 0.03, 0.35, 0.25, 0.5, underlying, 0, &p), 0);
                           const double option = Plain(api, w, 500, 520, 0.08, 0.03, 0.35, 0.5, underlying == 12);
                           worst = std::max(worst, std::fabs(c - p - (option - 50 * std::exp(-0.08 * 0.25))));
                         }
                         return worst;
                       },
                       1e-9));
  cases.push_back(Zero("barrier in plus out is the plain option",
                       [](const Api& api, std::int32_t& w) {
                         double worst = 0;
                         for (int kind : {1, 0}) {
                           for (int in : {5, 7}) {
                             double a = 0, b = 0;
                             Keep(w, api.HW_barrier_compute(100, 100, 0.08, 0.5, 0.04, in == 5 ? 115 : 85, 0.25, in, kind, &a), 0);
                             Keep(w, api.HW_barrier_compute(100, 100, 0.08, 0.5, 0.04, in == 5 ? 115 : 85, 0.25, in + 1, kind, &b), 0);
                             worst = std::max(worst, std::fabs(a + b - Plain(api, w, 100, 100, 0.08, 0.04, 0.25, 0.5, kind == 1)));
                           }
                         }
                         return worst;
                       },
                       1e-8));
  cases.push_back(Zero("chooser at t1 = T is a straddle",
                       [](const Api& api, std::int32_t& w) {
                         double v = 0;
                         Keep(w, api.HW_chooser_compute(50, 50, 0.08, 0, 0.25, 0.5, 0.5, &v), 0);
                         return v - Plain(api, w, 50, 50, 0.08, 0, 0.25, 0.5, true) -
                                Plain(api, w, 50, 50, 0.08, 0, 0.25, 0.5, false);
                       },
                       1e-8));

  // Mended inputs: still status 0 and a value. Without volatility the
  // lookback's stock drifts up from its minimum: the call is the forward
  // less the minimum, both discounted. Average price: tau SA = 1.0 * 150 >=
  // X T = 90 * 1.5 is a certain exercise; at r = q the expected sum over the
  // remaining half year is S T2 = 50.
  const Row mended[] = {
      {"barrier at T = 0 discounts with T = 0", Barrier(90, 95, 8, 1, 100, 0.0), 0, 10.0, 1e-9},
      {"barrier spot at the barrier: knocked in", Barrier(100, 100, 7, 1, 100), 0, 7.836743 + 0.01267775, 1e-4},
      {"barrier spot at the barrier: knocked out", Barrier(100, 100, 8, 1, 100), 0, 0.0, 0.0},
      {"binary at T = 0 in the money pays almost the cash", Binary(110, 100, 0.05, 0, 0.2, 0, 9, 1), 0,
       10 * std::exp(-0.05 * 0.00001), 1e-12},
      {"lookback call without volatility", Lookback(1, 0.0), 0,
       120 * std::exp(-0.04 * 0.5) - 100 * std::exp(-0.1 * 0.5), 1e-9},
      {"average-price certain exercise at r = q", Average(100, 90, 0.04, 0.04, 0.3, 0.5, 150, 1.0, 1), 0,
       std::exp(-0.04 * 0.5) * ((50.0 + 150.0) / 1.5 - 90.0), 1e-9},
      {"average-price certain exercise: put worth 0", Average(100, 90, 0.05, 0, 0.3, 0.5, 150, 1.0, 0), 0, 0.0, 0.0},
  };
  for (const Row& r : mended) cases.push_back(One(r.name, r.call, r.status, r.value, r.tolerance));
  // Inputs mended by a small shift: the same value as the shifted input.
  const auto compound = [](double t2) {
    return [t2](const Api& api, double* v) {
      return api.HW_compound_compute(100, 5, 100, 0.05, 0, 0.25, 0.5, t2, 12, 1, v);
    };
  };
  const auto lookback = [](double r) {
    return [r](const Api& api, double* v) { return api.HW_lookback_compute(100, r, 0.05, 0.25, 1, 110, 90, 1, v); };
  };
  cases.push_back(Same("compound T2 = T1 is valued at T1 + 0.00001", compound(0.5), compound(0.5 + 0.00001), 1e-12));
  cases.push_back(Same("lookback r = q is valued at r + 0.00001", lookback(0.05), lookback(0.05 + 0.00001), 1e-12));
  cases.push_back(
      Same("average-price r = q is valued at q + 0.00001", Average(100, 100, 0.05, 0.05, 0.2, 1, 98, 0.5, 1),
           Average(100, 100, 0.05, 0.05 + 0.00001, 0.2, 1, 98, 0.5, 1), 1e-12));

  // A null result pointer: -9 from every export.
  const std::pair<const char*, Call> nulls[] = {
      {"barrier", Barrier(90, 95, 8, 1)},
      {"compound", Compound(12, 1)},
      {"lookback", Lookback(1)},
      {"average-price", Average(100, 100, 0.05, 0, 0.2, 1, 0, 0, 1)},
      {"chooser", Chooser(0.25)},
      {"binary", Binary(100, 100, 0.05, 0, 0.2, 1, 9, 1)},
  };
  for (const auto& [name, call] : nulls) {
    cases.push_back({std::string(name) + " null result pointer: -9",
                     [call](const Api& api, std::vector<double>&) { return call(api, nullptr); }, -9, {}, 0.0});
  }
}

const bool registered = RegisterCases(AddExoticCases);

}  // namespace
}  // namespace acceptance
