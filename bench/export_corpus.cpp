// Records a seeded random corpus of calls to every export of liblorvex:
// one line per call with the export's name, its arguments, its status and
// every double it wrote (display arrays included), all as hex floats. Two
// builds agree bit for bit when their corpora are identical, so a refactoring
// that must leave the numbers alone is checked by
//   export_corpus > before.txt ... export_corpus > after.txt; cmp before.txt after.txt
// Options: --calls N per export (default 1000), --seed S (default 16).
// Arguments mix ordinary market values with edge values (zero, negative,
// huge, not finite) and malformed arrays, so refusals are covered too.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "lorvex/lorvex.h"

namespace {

// splitmix64: the same sequence on every platform and standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  double Uniform(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
  bool Chance(double p) { return Unit() < p; }

 private:
  std::uint64_t state_;
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMark = -0x1.2345p+7;  // every output holds this before a call

// A value from [lo, hi], or now and then an edge value.
double Num(Random& r, double lo, double hi, double edgeChance = 0.06) {
  if (r.Chance(edgeChance)) {
    static const double edges[] = {0.0,   -1.0,  1.0,    1e-300,
                                   -1e-9, 1e306, -1e306, 1e9,
                                   -1e6,  kInf,  -kInf,  std::numeric_limits<double>::quiet_NaN(),
                                   1e-5,  100.0, 0.5};
    return edges[r.Int(0, static_cast<int>(sizeof edges / sizeof edges[0]) - 1)];
  }
  return r.Uniform(lo, hi);
}

// A flag: mostly 0 or 1, sometimes another value.
int32_t Flag(Random& r) {
  if (r.Chance(0.1)) {
    static const int32_t others[] = {-1, 2, 5, 13, 12, 9, 1000};
    return others[r.Int(0, 6)];
  }
  return r.Int(0, 1);
}

int32_t Frequency(Random& r) {
  static const int32_t f[] = {1, 2, 4, 12, 1, 2, 4, 12, 0, 3, -2, 6};
  return f[r.Int(0, 11)];
}

// An owned SAFEARRAY of any shape and element type.
class Array {
 public:
  Array() = default;
  Array(VARTYPE vt, std::vector<SAFEARRAYBOUND> bounds) {
    // SafeArrayCreate takes dimension 1 first.
    array_ = SafeArrayCreate(vt, static_cast<UINT>(bounds.size()), bounds.data());
  }
  ~Array() {
    if (array_ != nullptr) SafeArrayDestroy(array_);
  }
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  Array(Array&& o) noexcept : array_(o.array_) { o.array_ = nullptr; }
  SAFEARRAY** get() { return &array_; }
  SAFEARRAY* raw() const { return array_; }

 private:
  SAFEARRAY* array_ = nullptr;
};

void Put(SAFEARRAY* a, LONG row, LONG col, double v) {
  LONG index[2] = {row, col};
  SafeArrayPutElement(a, index, &v);
}

// A curve (or dividend) array: usually rows of (date, rate) above `start`,
// sometimes malformed. Dates are serials when `serial` is set, else years.
Array MakeCurve(Random& r, double start, bool serial) {
  const int shape = r.Int(0, 99);
  if (shape < 2) return Array();                         // no array
  if (shape < 4) return Array(VT_R8, {{5, 0}});          // one dimension
  if (shape < 5) return Array(VT_I4, {{3, 0}, {2, 0}});  // integer elements
  if (shape < 7) return Array(VT_R8, {{0, 0}, {2, 0}});  // no rows
  const int rows = r.Int(1, 8);
  const LONG lower = r.Chance(0.15) ? r.Int(-2, 3) : 0;
  const ULONG columns = r.Chance(0.03) ? 1u : 2u;
  Array a(VT_R8, {{static_cast<ULONG>(rows), lower}, {columns, 0}});
  if (a.raw() == nullptr) return a;
  double x = start;
  for (int i = 0; i < rows; ++i) {
    x += serial ? r.Uniform(0.0, 900.0) : r.Uniform(0.0, 1.5);
    if (r.Chance(0.05)) x = start - r.Uniform(0.0, 400.0);  // out of order, before the start
    double y = r.Chance(0.1) ? r.Uniform(-0.06, 0.0) : r.Uniform(0.0, 0.12);
    if (!serial) y = r.Uniform(0.0, 3.0);  // a cash dividend
    if (r.Chance(0.01)) y = r.Chance(0.5) ? std::numeric_limits<double>::quiet_NaN() : 1e300;
    Put(a.raw(), lower + i, 0, x);
    Put(a.raw(), lower + i, 1, y);
  }
  return a;
}

// Output line under construction.
class Line {
 public:
  explicit Line(const char* name, int i) {
    std::snprintf(buffer_, sizeof buffer_, "%s %d", name, i);
    text_ = buffer_;
  }
  Line& I(int32_t v) {
    std::snprintf(buffer_, sizeof buffer_, " %" PRId32, v);
    text_ += buffer_;
    return *this;
  }
  Line& D(double v) {
    std::snprintf(buffer_, sizeof buffer_, " %a", v);
    text_ += buffer_;
    return *this;
  }
  Line& S(const char* s) {
    text_ += ' ';
    text_ += s;
    return *this;
  }
  // Every cell of a two-dimensional array of doubles (or its absence).
  Line& Cells(SAFEARRAY* a) {
    if (a == nullptr || a->cbElements != sizeof(double)) return S("-");
    const UINT dims = SafeArrayGetDim(a);
    LONG lo1 = 0, hi1 = -1, lo2 = 0, hi2 = 0;
    SafeArrayGetLBound(a, 1, &lo1);
    SafeArrayGetUBound(a, 1, &hi1);
    if (dims >= 2) {
      SafeArrayGetLBound(a, 2, &lo2);
      SafeArrayGetUBound(a, 2, &hi2);
    }
    S("[");
    for (LONG i = lo1; i <= hi1; ++i) {
      for (LONG j = lo2; j <= hi2; ++j) {
        LONG index[8] = {i, j, 0, 0, 0, 0, 0, 0};
        double v = 0.0;
        SafeArrayGetElement(a, index, &v);
        D(v);
      }
    }
    return S("]");
  }
  void Print() const { std::puts(text_.c_str()); }

 private:
  char buffer_[64];
  std::string text_;
};

// An output array of doubles filled with the mark, usually of the shape the
// export wants, sometimes missing, one-dimensional, too small, of integers
// or with a lower bound of 1.
Array MakeOutput(Random& r, ULONG rows, ULONG columns, bool oneDimensional = false) {
  const int shape = r.Int(0, 99);
  std::vector<SAFEARRAYBOUND> bounds;
  VARTYPE vt = VT_R8;
  if (shape < 2) return Array();
  if (oneDimensional) {
    bounds = {{rows, 0}};
    if (shape < 5)
      bounds = {{rows - 1, 0}};
    else if (shape < 8)
      bounds = {{rows, 0}, {2, 0}};
  } else {
    bounds = {{rows, 0}, {columns, 0}};
    if (shape < 4)
      bounds = {{rows, 0}};
    else if (shape < 6)
      bounds = {{rows - 1, 0}, {columns, 0}};
    else if (shape < 8)
      bounds = {{rows, 1}, {columns, 0}};
    else if (shape < 9)
      bounds = {{rows, 0}, {columns - 1, 0}};
    else if (shape < 10)
      vt = VT_I4;
  }
  Array a(vt, bounds);
  if (a.raw() == nullptr || vt != VT_R8) return a;
  const UINT dims = SafeArrayGetDim(a.raw());
  LONG lo1 = 0, hi1 = -1, lo2 = 0, hi2 = 0;
  SafeArrayGetLBound(a.raw(), 1, &lo1);
  SafeArrayGetUBound(a.raw(), 1, &hi1);
  if (dims >= 2) {
    SafeArrayGetLBound(a.raw(), 2, &lo2);
    SafeArrayGetUBound(a.raw(), 2, &hi2);
  }
  for (LONG i = lo1; i <= hi1; ++i) {
    for (LONG j = lo2; j <= hi2; ++j) {
      LONG index[2] = {i, j};
      double v = kMark;
      SafeArrayPutElement(a.raw(), index, &v);
    }
  }
  return a;
}

// Mostly the normal tree: the other two refuse curves with negative rates.
int32_t TreeKind(Random& r) { return r.Chance(0.05) ? r.Int(-1, 4) : (r.Chance(0.5) ? 0 : r.Int(1, 2)); }

int32_t Serial(Random& r) { return r.Chance(0.02) ? r.Int(-10, 10) : r.Int(36000, 47000); }

void BondPrice(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double years = Num(r, -1.0, 30.0), coupon = Num(r, 0.0, 0.12), face = Num(r, 1.0, 1000.0);
  const int32_t f = Frequency(r);
  double out = kMark;
  const int32_t s = HW_BondPrice(v, years, coupon, face, f, c.get(), &out);
  Line("HW_BondPrice", i).I(v).D(years).D(coupon).D(face).I(f).Cells(c.raw()).I(s).D(out).Print();
}

void BlackBondOption(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double bond = Num(r, -1.0, 30.0), coupon = Num(r, 0.0, 0.12), face = Num(r, 1.0, 1000.0);
  const int32_t f = Frequency(r);
  const double expiry = Num(r, -0.5, 10.0), strike = Num(r, 50.0, 150.0), vol = Num(r, 0.0, 0.5);
  const int32_t call = Flag(r), clean = Flag(r);
  double out = kMark;
  const int32_t s =
      HW_BlackBondOption(v, bond, coupon, face, f, expiry, strike, vol, call, clean, c.get(), &out);
  Line("HW_BlackBondOption", i)
      .I(v)
      .D(bond)
      .D(coupon)
      .D(face)
      .I(f)
      .D(expiry)
      .D(strike)
      .D(vol)
      .I(call)
      .I(clean)
      .Cells(c.raw())
      .I(s)
      .D(out)
      .Print();
}

void BlackSwapOption(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double expiry = Num(r, -0.5, 10.0), end = Num(r, 0.0, 20.0), rate = Num(r, -0.01, 0.1),
               notional = Num(r, 1.0, 1e6), vol = Num(r, 0.0, 0.6);
  const int32_t f = Frequency(r), receiver = Flag(r);
  double out = kMark;
  const int32_t s = HW_BlackSwapOption(v, expiry, end, rate, notional, f, vol, receiver, c.get(), &out);
  Line("HW_BlackSwapOption", i)
      .I(v)
      .D(expiry)
      .D(end)
      .D(rate)
      .D(notional)
      .I(f)
      .D(vol)
      .I(receiver)
      .Cells(c.raw())
      .I(s)
      .D(out)
      .Print();
}

void BlackCap(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double start = Num(r, -1.0, 5.0), end = Num(r, 0.0, 15.0), rate = Num(r, -0.01, 0.1),
               notional = Num(r, 1.0, 1e6), vol = Num(r, 0.0, 0.6);
  const int32_t f = Frequency(r), cap = Flag(r);
  double out = kMark;
  const int32_t s = HW_BlackCap(v, start, end, rate, notional, f, vol, cap, c.get(), &out);
  Line("HW_BlackCap", i)
      .I(v)
      .D(start)
      .D(end)
      .D(rate)
      .D(notional)
      .I(f)
      .D(vol)
      .I(cap)
      .Cells(c.raw())
      .I(s)
      .D(out)
      .Print();
}

void HullWhiteBondOption(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double bond = Num(r, -1.0, 30.0), coupon = Num(r, 0.0, 0.12), face = Num(r, 1.0, 1000.0);
  const int32_t f = Frequency(r);
  const double expiry = Num(r, -0.5, 10.0), strike = Num(r, -10.0, 150.0), sigma = Num(r, -0.005, 0.04),
               a = Num(r, -0.1, 0.5);
  const int32_t call = Flag(r), clean = Flag(r);
  double out = kMark;
  const int32_t s =
      HW_HullWhiteBondOption(v, bond, coupon, face, f, expiry, strike, sigma, a, call, clean, c.get(), &out);
  Line("HW_HullWhiteBondOption", i)
      .I(v)
      .D(bond)
      .D(coupon)
      .D(face)
      .I(f)
      .D(expiry)
      .D(strike)
      .D(sigma)
      .D(a)
      .I(call)
      .I(clean)
      .Cells(c.raw())
      .I(s)
      .D(out)
      .Print();
}

void HullWhiteSwapOption(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double expiry = Num(r, -0.5, 10.0), end = Num(r, 0.0, 20.0), rate = Num(r, -0.01, 0.1),
               notional = Num(r, 1.0, 1e6), sigma = Num(r, -0.005, 0.04), a = Num(r, -0.1, 0.5);
  const int32_t f = Frequency(r), receiver = Flag(r);
  double out = kMark;
  const int32_t s =
      HW_HullWhiteSwapOption(v, expiry, end, rate, notional, f, sigma, a, receiver, c.get(), &out);
  Line("HW_HullWhiteSwapOption", i)
      .I(v)
      .D(expiry)
      .D(end)
      .D(rate)
      .D(notional)
      .I(f)
      .D(sigma)
      .D(a)
      .I(receiver)
      .Cells(c.raw())
      .I(s)
      .D(out)
      .Print();
}

void HullWhiteCap(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double start = Num(r, -1.0, 5.0), end = Num(r, 0.0, 15.0), rate = Num(r, -0.5, 0.1),
               notional = Num(r, 1.0, 1e6), sigma = Num(r, -0.005, 0.04), a = Num(r, -0.1, 0.5);
  const int32_t f = Frequency(r), cap = Flag(r);
  double out = kMark;
  const int32_t s = HW_HullWhiteCap(v, start, end, rate, notional, f, sigma, a, cap, c.get(), &out);
  Line("HW_HullWhiteCap", i)
      .I(v)
      .D(start)
      .D(end)
      .D(rate)
      .D(notional)
      .I(f)
      .D(sigma)
      .D(a)
      .I(cap)
      .Cells(c.raw())
      .I(s)
      .D(out)
      .Print();
}

// Arguments shared by the tree bond option and its display.
struct TreeBondArgs {
  int32_t v, f, call, american, clean, steps, kind;
  double bond, coupon, face, expiry, strike, sigma, a;
};

TreeBondArgs MakeTreeBondArgs(Random& r, int maxSteps) {
  TreeBondArgs t{};
  t.v = Serial(r);
  t.bond = Num(r, -1.0, 15.0);
  t.coupon = Num(r, 0.0, 0.12);
  t.face = Num(r, 1.0, 1000.0);
  t.f = Frequency(r);
  t.expiry = Num(r, -0.5, 6.0, 0.03);
  t.strike = Num(r, 50.0, 150.0);
  t.call = Flag(r);
  t.american = Flag(r);
  t.clean = Flag(r);
  t.sigma = Num(r, -0.005, 0.04, 0.03);
  t.a = Num(r, -0.05, 0.5, 0.03);
  t.steps = r.Chance(0.03) ? r.Int(-2, 0) : r.Int(1, maxSteps);
  t.kind = TreeKind(r);
  return t;
}

Line& TreeBondArgsLine(Line& l, const TreeBondArgs& t) {
  return l.I(t.v)
      .D(t.bond)
      .D(t.coupon)
      .D(t.face)
      .I(t.f)
      .D(t.expiry)
      .D(t.strike)
      .I(t.call)
      .I(t.american)
      .I(t.clean)
      .D(t.sigma)
      .D(t.a)
      .I(t.steps)
      .I(t.kind);
}

void TreeBondOption(Random& r, int i) {
  const TreeBondArgs t = MakeTreeBondArgs(r, 40);
  Array c = MakeCurve(r, t.v, true);
  double out = kMark;
  const int32_t s = HW_TreeBondOption(t.v, t.bond, t.coupon, t.face, t.f, t.expiry, t.strike, t.call,
                                      t.american, t.clean, c.get(), t.sigma, t.a, t.steps, t.kind, &out);
  Line l("HW_TreeBondOption", i);
  TreeBondArgsLine(l, t).Cells(c.raw()).I(s).D(out).Print();
}

void TreeBondDisplay(Random& r, int i) {
  const TreeBondArgs t = MakeTreeBondArgs(r, 14);
  Array c = MakeCurve(r, t.v, true);
  Array nodes = MakeOutput(r, 121, 4);
  Array levels = MakeOutput(r, 11, 3);
  Array probabilities = MakeOutput(r, 21, 3);
  const int32_t s = HW_TreeBondDisplay(t.v, t.bond, t.coupon, t.face, t.f, t.expiry, t.strike, t.call,
                                       t.american, t.clean, c.get(), t.sigma, t.a, t.steps, t.kind,
                                       nodes.get(), levels.get(), probabilities.get());
  Line l("HW_TreeBondDisplay", i);
  TreeBondArgsLine(l, t)
      .Cells(c.raw())
      .I(s)
      .Cells(nodes.raw())
      .Cells(levels.raw())
      .Cells(probabilities.raw())
      .Print();
}

void TreeSwapOption(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double end = Num(r, 0.0, 12.0, 0.03), start = Num(r, -0.5, 5.0, 0.03), rate = Num(r, -0.01, 0.1),
               notional = Num(r, 1.0, 1e6), sigma = Num(r, -0.005, 0.04, 0.03), a = Num(r, -0.05, 0.5, 0.03);
  const int32_t f = Frequency(r), receiver = Flag(r);
  const int32_t steps = r.Chance(0.03) ? r.Int(-2, 0) : r.Int(1, 12);
  const int32_t kind = TreeKind(r);
  double out = kMark;
  const int32_t s =
      HW_TreeSwapOption(v, end, start, rate, notional, f, receiver, c.get(), sigma, a, steps, kind, &out);
  Line("HW_TreeSwapOption", i)
      .I(v)
      .D(end)
      .D(start)
      .D(rate)
      .D(notional)
      .I(f)
      .I(receiver)
      .Cells(c.raw())
      .D(sigma)
      .D(a)
      .I(steps)
      .I(kind)
      .I(s)
      .D(out)
      .Print();
}

void TreeCap(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double end = Num(r, 0.0, 10.0, 0.03), start = Num(r, -0.5, 4.0, 0.03), rate = Num(r, -0.01, 0.1),
               notional = Num(r, 1.0, 1e6), sigma = Num(r, -0.005, 0.04, 0.03), a = Num(r, -0.05, 0.5, 0.03);
  const int32_t f = Frequency(r), cap = Flag(r);
  const int32_t stepParameter = r.Chance(0.03) ? r.Int(-2, 0) : r.Int(1, 40);
  const int32_t kind = TreeKind(r);
  double out = kMark;
  const int32_t s =
      HW_TreeCap(v, end, start, rate, notional, f, cap, c.get(), sigma, a, stepParameter, kind, &out);
  Line("HW_TreeCap", i)
      .I(v)
      .D(end)
      .D(start)
      .D(rate)
      .D(notional)
      .I(f)
      .I(cap)
      .Cells(c.raw())
      .D(sigma)
      .D(a)
      .I(stepParameter)
      .I(kind)
      .I(s)
      .D(out)
      .Print();
}

void BondTreeRateDelta(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double maturity = Num(r, -1.0, 15.0), expiry = Num(r, -0.5, 6.0, 0.03),
               sigma = Num(r, -0.005, 0.04, 0.03), a = Num(r, -0.05, 0.5, 0.03);
  const int32_t steps = r.Chance(0.03) ? r.Int(-2, 0) : r.Int(1, 60);
  const int32_t kind = TreeKind(r);
  double out = kMark;
  const int32_t s = HW_BondTreeRateDelta(v, maturity, expiry, c.get(), sigma, a, steps, kind, &out);
  Line("HW_BondTreeRateDelta", i)
      .I(v)
      .D(maturity)
      .D(expiry)
      .Cells(c.raw())
      .D(sigma)
      .D(a)
      .I(steps)
      .I(kind)
      .I(s)
      .D(out)
      .Print();
}

void CapTreeRateDelta(Random& r, int i) {
  const int32_t v = Serial(r);
  Array c = MakeCurve(r, v, true);
  const double start = Num(r, -0.5, 4.0, 0.03), end = Num(r, 0.0, 10.0, 0.03),
               sigma = Num(r, -0.005, 0.04, 0.03), a = Num(r, -0.05, 0.5, 0.03);
  const int32_t f = Frequency(r);
  const int32_t stepParameter = r.Chance(0.03) ? r.Int(-2, 0) : r.Int(1, 100);
  const int32_t kind = TreeKind(r);
  double out = kMark;
  const int32_t s = HW_CapTreeRateDelta(v, start, end, f, c.get(), sigma, a, stepParameter, kind, &out);
  Line("HW_CapTreeRateDelta", i)
      .I(v)
      .D(start)
      .D(end)
      .I(f)
      .Cells(c.raw())
      .D(sigma)
      .D(a)
      .I(stepParameter)
      .I(kind)
      .I(s)
      .D(out)
      .Print();
}

struct EquityArgs {
  double spot, strike, rate, expiry, yield, vol;
  int32_t steps, american, call, useDividends;
};

EquityArgs MakeEquityArgs(Random& r, int maxSteps) {
  EquityArgs e{};
  e.spot = Num(r, 20.0, 200.0);
  e.strike = Num(r, 20.0, 200.0);
  e.rate = Num(r, -0.02, 0.12);
  e.expiry = Num(r, 0.0, 3.0);
  e.yield = Num(r, 0.0, 0.08);
  e.vol = Num(r, 0.0, 0.8);
  e.steps = r.Chance(0.03) ? r.Int(-1, 1) : r.Chance(0.8) ? r.Int(2, maxSteps / 3) : r.Int(2, maxSteps);
  e.american = Flag(r);
  e.call = Flag(r);
  e.useDividends = Flag(r);
  return e;
}

Line& EquityArgsLine(Line& l, const EquityArgs& e) {
  return l.D(e.spot)
      .D(e.strike)
      .D(e.rate)
      .D(e.expiry)
      .D(e.yield)
      .D(e.vol)
      .I(e.steps)
      .I(e.american)
      .I(e.call)
      .I(e.useDividends);
}

void TreeEquityOpt(Random& r, int i) {
  const EquityArgs e = MakeEquityArgs(r, 300);
  Array d = MakeCurve(r, 0.0, false);
  double price = kMark, delta = kMark, gamma = kMark, theta = kMark;
  const int32_t s = HW_TreeEquityOpt(e.spot, e.strike, e.rate, e.expiry, e.yield, d.get(), e.vol, e.steps,
                                     e.american, e.call, e.useDividends, &price, &delta, &gamma, &theta);
  Line l("HW_TreeEquityOpt", i);
  EquityArgsLine(l, e).Cells(d.raw()).I(s).D(price).D(delta).D(gamma).D(theta).Print();
}

void EquityTreeDisplay(Random& r, int i) {
  const EquityArgs e = MakeEquityArgs(r, 30);
  Array d = MakeCurve(r, 0.0, false);
  Array nodes = MakeOutput(r, 169, 3);
  Array levels = MakeOutput(r, 13, 1);
  Array parameters = MakeOutput(r, 7, 1, true);
  const int32_t s =
      HW_EquityTreeDisplay(e.spot, e.strike, e.rate, e.expiry, e.yield, d.get(), e.vol, e.steps, e.american,
                           e.call, e.useDividends, nodes.get(), levels.get(), parameters.get());
  Line l("HW_EquityTreeDisplay", i);
  EquityArgsLine(l, e)
      .Cells(d.raw())
      .I(s)
      .Cells(nodes.raw())
      .Cells(levels.raw())
      .Cells(parameters.raw())
      .Print();
}

void Barrier(Random& r, int i) {
  const double spot = Num(r, 50.0, 150.0), strike = Num(r, 50.0, 150.0), rate = Num(r, -0.02, 0.12),
               years = Num(r, -0.1, 3.0), q = Num(r, 0.0, 0.08), barrier = Num(r, 50.0, 150.0),
               sigma = Num(r, 0.0, 0.8);
  const int32_t type = r.Chance(0.05) ? r.Int(-1, 10) : r.Int(5, 8), kind = Flag(r);
  double out = kMark;
  const int32_t s = HW_barrier_compute(spot, strike, rate, years, q, barrier, sigma, type, kind, &out);
  Line("HW_barrier_compute", i)
      .D(spot)
      .D(strike)
      .D(rate)
      .D(years)
      .D(q)
      .D(barrier)
      .D(sigma)
      .I(type)
      .I(kind)
      .I(s)
      .D(out)
      .Print();
}

void Compound(Random& r, int i) {
  const double spot = Num(r, 50.0, 150.0), k1 = Num(r, 0.0, 20.0), k2 = Num(r, 50.0, 150.0),
               rate = Num(r, -0.02, 0.12), q = Num(r, 0.0, 0.08), sigma = Num(r, 0.0, 0.8),
               t1 = Num(r, 0.0, 1.5), t2 = Num(r, 0.0, 3.0);
  const int32_t underlying = r.Chance(0.7) ? (r.Chance(0.5) ? 12 : 13) : Flag(r), compound = Flag(r);
  double out = kMark;
  const int32_t s = HW_compound_compute(spot, k1, k2, rate, q, sigma, t1, t2, underlying, compound, &out);
  Line("HW_compound_compute", i)
      .D(spot)
      .D(k1)
      .D(k2)
      .D(rate)
      .D(q)
      .D(sigma)
      .D(t1)
      .D(t2)
      .I(underlying)
      .I(compound)
      .I(s)
      .D(out)
      .Print();
}

void Lookback(Random& r, int i) {
  const double spot = Num(r, 50.0, 150.0), rate = Num(r, -0.02, 0.12), q = Num(r, 0.0, 0.08),
               sigma = Num(r, 0.0, 0.8), years = Num(r, 0.0, 3.0), maxSoFar = Num(r, 80.0, 200.0),
               minSoFar = Num(r, 20.0, 120.0);
  const int32_t kind = Flag(r);
  // Equal r and q now and then: the formula's special case.
  const double qq = r.Chance(0.05) ? rate : q;
  double out = kMark;
  const int32_t s = HW_lookback_compute(spot, rate, qq, sigma, years, maxSoFar, minSoFar, kind, &out);
  Line("HW_lookback_compute", i)
      .D(spot)
      .D(rate)
      .D(qq)
      .D(sigma)
      .D(years)
      .D(maxSoFar)
      .D(minSoFar)
      .I(kind)
      .I(s)
      .D(out)
      .Print();
}

void Average(Random& r, int i) {
  const double spot = Num(r, 50.0, 150.0), strike = Num(r, 50.0, 150.0), rate = Num(r, -0.02, 0.12),
               q = Num(r, 0.0, 0.08), sigma = Num(r, 0.0, 0.8), remaining = Num(r, 0.0, 3.0),
               average = Num(r, 50.0, 150.0), elapsed = Num(r, 0.0, 2.0);
  const int32_t kind = Flag(r);
  double out = kMark;
  const int32_t s = HW_avgopt_compute(spot, strike, rate, q, sigma, remaining, average, elapsed, kind, &out);
  Line("HW_avgopt_compute", i)
      .D(spot)
      .D(strike)
      .D(rate)
      .D(q)
      .D(sigma)
      .D(remaining)
      .D(average)
      .D(elapsed)
      .I(kind)
      .I(s)
      .D(out)
      .Print();
}

void Chooser(Random& r, int i) {
  const double spot = Num(r, 50.0, 150.0), strike = Num(r, 50.0, 150.0), rate = Num(r, -0.02, 0.12),
               q = Num(r, 0.0, 0.08), sigma = Num(r, 0.0, 0.8), years = Num(r, 0.0, 3.0),
               choose = Num(r, 0.0, 1.5);
  double out = kMark;
  const int32_t s = HW_chooser_compute(spot, strike, rate, q, sigma, years, choose, &out);
  Line("HW_chooser_compute", i)
      .D(spot)
      .D(strike)
      .D(rate)
      .D(q)
      .D(sigma)
      .D(years)
      .D(choose)
      .I(s)
      .D(out)
      .Print();
}

void Binary(Random& r, int i) {
  const double spot = Num(r, 50.0, 150.0), strike = Num(r, 50.0, 150.0), rate = Num(r, -0.02, 0.12),
               q = Num(r, 0.0, 0.08), sigma = Num(r, 0.0, 0.8), years = Num(r, -0.1, 3.0),
               cash = Num(r, 0.0, 20.0);
  const int32_t payoff = r.Chance(0.6) ? 9 : Flag(r), kind = Flag(r);
  double out = kMark;
  const int32_t s = HW_binary_compute(spot, strike, rate, q, sigma, years, cash, payoff, kind, &out);
  Line("HW_binary_compute", i)
      .D(spot)
      .D(strike)
      .D(rate)
      .D(q)
      .D(sigma)
      .D(years)
      .D(cash)
      .I(payoff)
      .I(kind)
      .I(s)
      .D(out)
      .Print();
}

}  // namespace

int main(int argc, char** argv) {
  int calls = 1000;
  std::uint64_t seed = 16;
  for (int a = 1; a + 1 < argc; a += 2) {
    if (std::strcmp(argv[a], "--calls") == 0)
      calls = std::atoi(argv[a + 1]);
    else if (std::strcmp(argv[a], "--seed") == 0)
      seed = std::strtoull(argv[a + 1], nullptr, 10);
  }
  using Call = void (*)(Random&, int);
  const Call exports[] = {BondPrice,
                          BlackBondOption,
                          BlackSwapOption,
                          BlackCap,
                          HullWhiteBondOption,
                          HullWhiteSwapOption,
                          HullWhiteCap,
                          TreeBondOption,
                          TreeBondDisplay,
                          TreeSwapOption,
                          TreeCap,
                          BondTreeRateDelta,
                          CapTreeRateDelta,
                          TreeEquityOpt,
                          EquityTreeDisplay,
                          Barrier,
                          Compound,
                          Lookback,
                          Average,
                          Chooser,
                          Binary};
  // One generator per export, so that adding calls to one leaves the others'
  // sequences alone.
  std::uint64_t stream = seed;
  for (Call call : exports) {
    Random r(stream++ * 0x100000001b3ULL);
    for (int i = 0; i < calls; ++i) call(r, i);
  }
  return 0;
}
