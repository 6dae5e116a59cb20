// A corpus of seeded random calls of the six tree exports, for checking
// that a change to the tree code leaves its numbers alone.
//
//   tree_corpus record [count] > corpus.txt   one line per call: export,
//                                             index, status, results (hex)
//   tree_corpus compare corpus.txt            the same calls again, each
//                                             result against the recorded one
//
// The arguments cover the three volatility forms (and a kind outside
// them), European and American, clean and dirty strikes, calls and puts,
// caps and floors, receivers and payers, odd frequencies, zero and negative
// volatilities and mean reversions, expiries before, at and after the
// bond's maturity, and the display's three arrays cell by cell. Compare
// accepts a difference within 1e-12 relative or 1e-14 absolute and lists
// every other one; a status that differs is always listed.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lorvex/lorvex.h"

namespace {

// splitmix64: the same sequence on every platform and standard library.
struct Random {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  double Uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1.0p-53;
  }
  int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
  bool Chance(double p) { return Uniform(0.0, 1.0) < p; }
  template <class T, std::size_t N>
  T Pick(const T (&items)[N]) {
    return items[Next() % N];
  }
};

class Array {
 public:
  Array(ULONG rows, ULONG cols) {
    SAFEARRAYBOUND b[2] = {{rows, 0}, {cols, 0}};
    array_ = SafeArrayCreate(VT_R8, 2, b);
  }
  ~Array() { SafeArrayDestroy(array_); }
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  SAFEARRAY** get() { return &array_; }
  void Put(LONG row, LONG col, double v) {
    LONG idx[2] = {row, col};
    SafeArrayPutElement(array_, idx, &v);
  }
  double At(LONG row, LONG col) const {
    LONG idx[2] = {row, col};
    double v = 0.0;
    SafeArrayGetElement(array_, idx, &v);
    return v;
  }

 private:
  SAFEARRAY* array_ = nullptr;
};

struct Call {
  std::string name;
  int index = 0;
  int status = 0;
  std::vector<double> values;
};

// A curve of 1 to 8 points around the valuation date: mostly upward
// sloping positive rates, now and then a point before the valuation date,
// a far one, or a rate at or below zero.
std::vector<std::pair<double, double>> RandomCurve(Random& rnd, int serial) {
  const int n = rnd.Int(1, 8);
  std::vector<std::pair<double, double>> pts;
  double date = serial + (rnd.Chance(0.2) ? -rnd.Int(1, 60) : rnd.Int(0, 40));
  double rate = rnd.Uniform(0.005, 0.07);
  for (int k = 0; k < n; ++k) {
    pts.emplace_back(date, rate);
    date += rnd.Chance(0.1) ? rnd.Int(3000, 9000) : rnd.Int(20, 2500);
    rate += rnd.Uniform(-0.01, 0.015);
    if (rate < 0.0005 && !rnd.Chance(0.05)) rate = 0.0005 + rnd.Uniform(0.0, 0.01);
  }
  return pts;
}

double RandomSigma(Random& rnd, int kind) {
  if (rnd.Chance(0.03)) return rnd.Chance(0.5) ? 0.0 : -0.01;
  return kind == 0 ? rnd.Uniform(0.002, 0.03) : rnd.Uniform(0.05, 0.4);
}

double RandomMeanReversion(Random& rnd) {
  if (rnd.Chance(0.1)) return 0.0;
  if (rnd.Chance(0.05)) return rnd.Uniform(-0.08, 0.0);
  if (rnd.Chance(0.03)) return 1e-5;
  return rnd.Uniform(0.01, 0.4);
}

int RandomKind(Random& rnd) {
  if (rnd.Chance(0.02)) return rnd.Chance(0.5) ? 3 : -1;
  return rnd.Int(0, 2);
}

int RandomFrequency(Random& rnd) {
  static const int kFrequencies[] = {1, 2, 2, 4, 4, 12};
  if (rnd.Chance(0.02)) return 3;
  return rnd.Pick(kFrequencies);
}

template <class Sink>
void RunCorpus(int count, Sink sink) {
  Random rnd{20261209};
  for (int index = 0; index < count; ++index) {
    const int serial = 36526 + rnd.Int(0, 9000);
    const auto pts = RandomCurve(rnd, serial);
    Array curve(static_cast<ULONG>(pts.size()), 2);
    for (std::size_t k = 0; k < pts.size(); ++k) {
      curve.Put(static_cast<LONG>(k), 0, pts[k].first);
      curve.Put(static_cast<LONG>(k), 1, pts[k].second);
    }
    const int kind = RandomKind(rnd);
    const double sigma = RandomSigma(rnd, kind);
    const double a = RandomMeanReversion(rnd);
    Call call;
    call.index = index;
    double v = 0.0;
    switch (index % 6) {
      case 0:
      case 1: {  // bond options weigh double: they have the most branches
        const double maturity = rnd.Uniform(0.3, 25.0);
        double expiry = rnd.Uniform(0.01, maturity);
        if (rnd.Chance(0.03)) expiry = maturity + rnd.Uniform(0.0, 2.0);
        if (rnd.Chance(0.02)) expiry = 0.0;
        const double coupon = rnd.Chance(0.05) ? 0.0 : rnd.Uniform(0.0, 0.1);
        const double face = rnd.Chance(0.8) ? 100.0 : rnd.Uniform(1.0, 1000.0);
        const double strike = face * rnd.Uniform(0.8, 1.2);
        const bool american = rnd.Chance(0.5);
        // Short steps too (expiry / steps under a few days), and now and
        // then a step count the tree refuses.
        int steps = rnd.Chance(0.85) ? rnd.Int(1, 60) : rnd.Int(60, american ? 250 : 500);
        if (rnd.Chance(0.01)) steps = 0;
        call.name = "HW_TreeBondOption";
        call.status = HW_TreeBondOption(serial, maturity, coupon, face, RandomFrequency(rnd), expiry, strike,
                                        rnd.Int(0, 2), american ? 1 : rnd.Int(0, 2) * 2, rnd.Int(0, 1),
                                        curve.get(), sigma, a, steps, kind, &v);
        call.values.push_back(v);
        break;
      }
      case 2: {
        const double start = rnd.Chance(0.05) ? 0.0 : rnd.Uniform(0.01, 10.0);
        double end = start + rnd.Uniform(0.1, 15.0);
        if (rnd.Chance(0.03)) end = start - rnd.Uniform(0.0, 1.0);
        const int steps = rnd.Chance(0.9) ? rnd.Int(1, 40) : rnd.Int(40, 120);
        call.name = "HW_TreeSwapOption";
        call.status = HW_TreeSwapOption(serial, end, start, rnd.Uniform(0.0, 0.09), rnd.Uniform(1.0, 1000.0),
                                        RandomFrequency(rnd), rnd.Int(0, 2), curve.get(), sigma, a, steps, kind,
                                        &v);
        call.values.push_back(v);
        break;
      }
      case 3: {
        const double start = rnd.Chance(0.05) ? 0.0 : rnd.Uniform(0.01, 6.0);
        double end = start + rnd.Uniform(0.1, 12.0);
        if (rnd.Chance(0.03)) end = start - rnd.Uniform(0.0, 1.0);
        call.name = "HW_TreeCap";
        call.status = HW_TreeCap(serial, end, start, rnd.Uniform(0.0, 0.09), rnd.Uniform(1.0, 1000.0),
                                 RandomFrequency(rnd), rnd.Int(0, 2), curve.get(), sigma, a, rnd.Int(0, 60),
                                 kind, &v);
        call.values.push_back(v);
        break;
      }
      case 4: {
        if (rnd.Chance(0.5)) {
          const double maturity = rnd.Uniform(0.3, 30.0);
          const double expiry = rnd.Chance(0.05) ? 0.0 : rnd.Uniform(0.01, maturity);
          call.name = "HW_BondTreeRateDelta";
          call.status = HW_BondTreeRateDelta(serial, maturity, expiry, curve.get(), sigma, a, rnd.Int(0, 400),
                                             kind, &v);
        } else {
          const double start = rnd.Uniform(0.0, 6.0);
          const double end = start + (rnd.Chance(0.05) ? -0.1 : rnd.Uniform(0.1, 12.0));
          call.name = "HW_CapTreeRateDelta";
          call.status = HW_CapTreeRateDelta(serial, start, end, RandomFrequency(rnd), curve.get(), sigma, a,
                                            rnd.Int(0, 60), kind, &v);
        }
        call.values.push_back(v);
        break;
      }
      default: {
        const double maturity = rnd.Uniform(0.3, 25.0);
        const double expiry = rnd.Uniform(0.01, maturity);
        const double strike = rnd.Uniform(80.0, 120.0);
        Array nodes(121, 4), levels(11, 3), probabilities(21, 3);
        call.name = "HW_TreeBondDisplay";
        call.status = HW_TreeBondDisplay(serial, maturity, rnd.Uniform(0.0, 0.1), 100.0, RandomFrequency(rnd),
                                         expiry, strike, rnd.Int(0, 1), rnd.Int(0, 1), rnd.Int(0, 1),
                                         curve.get(), sigma, a, rnd.Int(0, 14), kind, nodes.get(),
                                         levels.get(), probabilities.get());
        for (LONG r = 0; r < 121; ++r)
          for (LONG c = 0; c < 4; ++c) call.values.push_back(nodes.At(r, c));
        for (LONG r = 0; r < 11; ++r)
          for (LONG c = 0; c < 3; ++c) call.values.push_back(levels.At(r, c));
        for (LONG r = 0; r < 21; ++r)
          for (LONG c = 0; c < 3; ++c) call.values.push_back(probabilities.At(r, c));
        break;
      }
    }
    sink(call);
  }
}

std::string Format(const Call& c) {
  std::string line = c.name + " " + std::to_string(c.index) + " " + std::to_string(c.status);
  char buf[64];
  for (double v : c.values) {
    std::snprintf(buf, sizeof buf, " %a", v);
    line += buf;
  }
  return line;
}

bool Close(double before, double after) {
  if (std::isnan(before) || std::isnan(after)) return std::isnan(before) && std::isnan(after);
  const double diff = std::fabs(before - after);
  return diff <= 1e-14 || diff <= 1e-12 * std::fabs(before);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "record") {
    const int count = argc > 2 ? std::atoi(argv[2]) : 24000;
    RunCorpus(count, [](const Call& c) { std::printf("%s\n", Format(c).c_str()); });
    return 0;
  }
  if (mode == "compare" && argc > 2) {
    std::ifstream in(argv[2]);
    std::vector<Call> before;
    for (std::string line; std::getline(in, line);) {
      std::istringstream s(line);
      Call c;
      s >> c.name >> c.index >> c.status;
      for (std::string hex; s >> hex;) c.values.push_back(std::strtod(hex.c_str(), nullptr));
      before.push_back(c);
    }
    int differing = 0;
    int compared = 0;
    RunCorpus(static_cast<int>(before.size()), [&](const Call& after) {
      const Call& b = before[static_cast<std::size_t>(after.index)];
      ++compared;
      bool same = b.name == after.name && b.status == after.status && b.values.size() == after.values.size();
      double worst = 0.0;
      for (std::size_t k = 0; same && k < b.values.size(); ++k) {
        if (!Close(b.values[k], after.values[k])) {
          same = false;
          worst = after.values[k] - b.values[k];
        }
      }
      if (!same) {
        ++differing;
        std::printf("before: %s\nafter:  %s\n  (first difference %.3g)\n", Format(b).c_str(), Format(after).c_str(),
                    worst);
      }
    });
    std::printf("%d calls compared, %d differ\n", compared, differing);
    return differing == 0 ? 0 : 1;
  }
  std::fprintf(stderr, "usage: %s record [count] | compare file\n", argv[0]);
  return 2;
}
