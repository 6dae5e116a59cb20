// lorvex._lorvex: the compiled half of the lorvex Python package.
//
// Every calculation of the C++ API is bound once, generated from the API's
// own list (LORVEX_CALCULATIONS), as a loop over argument columns: each
// argument arrives as a contiguous array of doubles holding either one value
// for every element or one value per element (the Python side has already
// broadcast the shapes). The loop runs without the GIL and is split over
// threads in small chunks taken from a shared counter, so trees of unequal
// cost still share the work evenly. Nothing is allocated per element by the
// loop itself; each element builds its terms struct on the stack, from the
// fields of single-value columns converted once per call and its own values.
// A thread may keep state across its elements: bond prices from one
// valuation date share each payment day's discount factor (Worker below).
//
// A refused element records its status; the lowest refused index keeps its
// argument and message for the Python side to raise or report.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

#include "equity_tree_svg.h"
#include "lorvex/lorvex.hpp"
#include "tree_display_svg.h"

namespace py = pybind11;

namespace lorvex::python {
namespace {

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// ---- Argument columns -----------------------------------------------------

// One argument: a value per element (step 1) or one value for all (step 0).
struct Column {
  const double* data;
  std::size_t step;
  double at(std::size_t i) const { return data[i * step]; }
};

template <class E>
constexpr int kChoiceCount = 2;
template <>
constexpr int kChoiceCount<TreeKind> = 3;
template <>
constexpr int kChoiceCount<BarrierType> = 4;

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

void Assign(double& field, double value, const char*) { field = value; }
void Assign(int& field, double value, const char* name) {
  if (!(value == std::floor(value)) || value < std::numeric_limits<int>::min() ||
      value > std::numeric_limits<int>::max()) {
    throw Error(status::kBadArgument, name, Number(value) + " is not a whole number within the 32-bit range");
  }
  field = static_cast<int>(value);
}
void Assign(bool& field, double value, const char*) { field = value != 0.0; }
// Choices travel as their enum's value (0 = the first word, ...).
template <class E>
  requires std::is_enum_v<E>
void Assign(E& field, double value, const char* name) {
  if (!(value >= 0 && value < kChoiceCount<E> && value == std::floor(value))) {
    throw Error(status::kBadArgument, name, "choice code " + Number(value) + " is unknown");
  }
  field = static_cast<E>(static_cast<int>(value));
}

// Which fields a fill assigns: all, those of single-value columns (once per
// call) or those of columns with a value per element (per element).
enum class Columns { All, Single, PerElement };
template <Columns W>
using Which = std::integral_constant<Columns, W>;

template <Columns W>
bool Reads(const Column& column) {
  if constexpr (W == Columns::All) return true;
  return (column.step == 0) == (W == Columns::Single);
}

// Fill reads field `name` from column k and returns the next column; the
// tree limits take two columns, memory_bytes and work_nodes.
template <Columns W, class T>
std::size_t Fill(T& field, const Column* columns, std::size_t k, std::size_t i, const char* name) {
  if (Reads<W>(columns[k])) Assign(field, columns[k].at(i), name);
  return k + 1;
}
template <Columns W>
std::size_t Fill(TreeLimits& limits, const Column* columns, std::size_t k, std::size_t i, const char*) {
  if (Reads<W>(columns[k])) limits.memory_bytes = columns[k].at(i);
  if (Reads<W>(columns[k + 1])) limits.work_nodes = columns[k + 1].at(i);
  return k + 2;
}

// ---- What Python learns of each argument --------------------------------

// (name, kind, default, words): kind "real", "integer", "flag", "choice" or
// "limits" (two columns: memory_bytes, work_nodes).

void Describe(py::list& out, const char* name, double value) {
  out.append(py::make_tuple(name, "real", value, py::list()));
}
void Describe(py::list& out, const char* name, int value) {
  out.append(py::make_tuple(name, "integer", value, py::list()));
}
void Describe(py::list& out, const char* name, bool value) {
  out.append(py::make_tuple(name, "flag", value, py::list()));
}
template <class E>
  requires std::is_enum_v<E>
void Describe(py::list& out, const char* name, E value) {
  py::list words;
  for (int k = 0; k < kChoiceCount<E>; ++k) words.append(std::string(to_string(static_cast<E>(k))));
  out.append(py::make_tuple(name, "choice", std::string(to_string(value)), words));
}
void Describe(py::list& out, const char* name, const TreeLimits& value) {
  out.append(py::make_tuple(name, "limits", py::make_tuple(value.memory_bytes, value.work_nodes), py::list()));
}

std::size_t ColumnCount(const py::list& fields) {
  std::size_t count = 0;
  for (const py::handle field : fields) count += field.cast<py::tuple>()[1].cast<std::string>() == "limits" ? 2 : 1;
  return count;
}

// ---- Results --------------------------------------------------------------

constexpr int Outputs(double) { return 1; }
constexpr int Outputs(const EquityResult&) { return 4; }
void Store(double r, double* const* out, std::size_t i) { out[0][i] = r; }
void Store(const EquityResult& r, double* const* out, std::size_t i) {
  out[0][i] = r.value;
  out[1][i] = r.delta;
  out[2][i] = r.gamma;
  out[3][i] = r.theta;
}

// ---- The loop -------------------------------------------------------------

struct Failure {
  std::size_t index;
  int status = 0;
  std::string argument;
  std::string message;
};

unsigned ThreadCount(int requested) {
  if (requested > 0) return static_cast<unsigned>(requested);
  return std::max(1u, std::thread::hardware_concurrency());
}

// Prices elements 0..n-1: each thread makes its own pricer with
// makePrice(), which must not throw, and calls price(i), which fills and
// prices element i and stores its results. status[i] gets each element's
// status; with stopAtFirst the loop stops handing out work beyond the first
// refusal.
template <class MakePrice>
Failure Run(std::size_t n, unsigned threads, bool stopAtFirst, int outputs, double* const* out,
            std::int32_t* status, const MakePrice& makePrice) {
  Failure first{n, 0, {}, {}};
  std::mutex firstMutex;
  std::atomic<std::size_t> firstIndex{n};
  std::atomic<std::size_t> next{0};
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(n, 1)));
  // Small chunks so that threads finishing early take more; at most 4096
  // elements so the counter is touched rarely on cheap closed forms.
  const std::size_t chunk = std::clamp<std::size_t>(n / (std::size_t{threads} * 16), 1, 4096);

  auto refuse = [&](std::size_t i, int code, const std::string& argument, const std::string& message) {
    for (int k = 0; k < outputs; ++k) out[k][i] = std::numeric_limits<double>::quiet_NaN();
    status[i] = code;
    std::lock_guard<std::mutex> lock(firstMutex);
    if (i < first.index) {
      first = Failure{i, code, argument, message};
      firstIndex.store(i, std::memory_order_relaxed);
    }
  };
  auto work = [&] {
    auto price = makePrice();
    for (;;) {
      const std::size_t begin = next.fetch_add(chunk, std::memory_order_relaxed);
      if (begin >= n) return;
      if (stopAtFirst && begin > firstIndex.load(std::memory_order_relaxed)) return;
      const std::size_t end = std::min(n, begin + chunk);
      for (std::size_t i = begin; i < end; ++i) {
        try {
          price(i);
          status[i] = 0;
        } catch (const Error& e) {
          refuse(i, e.status(), e.argument(), e.message());
          if (stopAtFirst) return;
        } catch (const std::bad_alloc&) {
          refuse(i, status::kTreeBuild, "", "out of memory");
          if (stopAtFirst) return;
        } catch (const std::exception& e) {
          refuse(i, status::kBadArgument, "", e.what());
          if (stopAtFirst) return;
        }
      }
    }
  };

  std::vector<std::thread> pool;
  try {
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer threads than asked: the ones started and this one share the work.
  }
  work();
  for (std::thread& t : pool) t.join();
  return first;
}

struct Market {
  const Curve* curve = nullptr;
  const Dividends* dividends = nullptr;
};

// Reads the Python market argument of a calculation, with the GIL held.
Market ReadMarket(const char* kind, const py::object& market) {
  Market m;
  if (std::string(kind) == "curve") {
    if (market.is_none()) throw py::type_error("curve: a lorvex.Curve is required");
    m.curve = &market.cast<const Curve&>();
  } else if (std::string(kind) == "dividends" && !market.is_none()) {
    m.dividends = &market.cast<const Dividends&>();
  }
  return m;
}

#define LORVEX_PY_PRICE_curve(function) lorvex::function(args, *market.curve)
#define LORVEX_PY_PRICE_dividends(function) \
  (market.dividends ? lorvex::function(args, *market.dividends) : lorvex::function(args))
#define LORVEX_PY_PRICE_none(function) lorvex::function(args)
#define LORVEX_PY_FILL(field) k = Fill<decltype(which)::value>(args.field, columns, k, i, #field);
#define LORVEX_PY_DESCRIBE(field) Describe(fields, #field, defaults.field);

// columns: one array per argument (in the API's order, without the tree
// limits) of length 1 or n. prepare(columns), called once with the GIL
// held, returns what makes each thread's pricer of one element,
// price(i, out). Returns (outputs, status, failure or None).
template <class Prepare>
py::tuple Vectorised(const std::vector<DoubleArray>& arrays, std::size_t n, int threads, bool stopAtFirst,
                     std::size_t expected, int outputs, const Prepare& prepare) {
  if (arrays.size() != expected) {
    throw py::type_error("expected " + std::to_string(expected) + " argument columns, got " +
                         std::to_string(arrays.size()));
  }
  std::vector<Column> columns;
  for (const DoubleArray& a : arrays) {
    const auto size = static_cast<std::size_t>(a.size());
    if (size != 1 && size != n) throw py::value_error("an argument column has neither 1 nor n values");
    columns.push_back({a.data(), size == 1 ? 0u : 1u});
  }
  std::vector<py::array_t<double>> results;
  double* out[4] = {};
  for (int k = 0; k < outputs; ++k) {
    results.emplace_back(static_cast<py::ssize_t>(n));
    out[k] = results.back().mutable_data();
  }
  py::array_t<std::int32_t> status(static_cast<py::ssize_t>(n));
  std::int32_t* statusData = status.mutable_data();
  const auto makePrice = prepare(columns.data());
  Failure failure;
  {
    py::gil_scoped_release release;
    failure = Run(n, ThreadCount(threads), stopAtFirst, outputs, out, statusData, [&] {
      return [&out, price = makePrice()](std::size_t i) mutable { price(i, out); };
    });
  }
  py::tuple outs(outputs);
  for (int k = 0; k < outputs; ++k) outs[static_cast<std::size_t>(k)] = results[static_cast<std::size_t>(k)];
  py::object error = py::none();
  if (failure.index < n) {
    error = py::make_tuple(failure.index, failure.status, failure.argument, failure.message);
  }
  return py::make_tuple(outs, status, error);
}

// ---- Tree displays --------------------------------------------------------

lorvex_cli::BondTreePicture BondPicture(const TreeBondDisplay& d) {
  lorvex_cli::BondTreePicture p;
  for (int i = 0; i < d.level_count(); ++i) {
    const TreeBondDisplay::Level level = d.level(i);
    p.levelTimes.push_back(level.time);
    p.accrued.push_back(level.accrued);
    p.nodeCounts.push_back(level.nodes);
    for (int j = 0; j < level.nodes; ++j) {
      const TreeBondDisplay::Node node = d.node(i, j);
      p.values.push_back(node.value);
      p.bondPrices.push_back(node.bond_price);
      p.rates.push_back(node.rate);
      p.exercised.push_back(node.exercise == 1.0);
    }
  }
  if (d.level_count() >= 2) {
    const int before = d.level(d.level_count() - 2).nodes;
    for (int j = 0; j < before; ++j) {
      const TreeBondDisplay::Branch b = d.branch(j);
      p.pUp.push_back(b.up);
      p.pMiddle.push_back(b.middle);
      p.pDown.push_back(b.down);
    }
  }
  return p;
}

// The display as arrays: levels (time, accrued, nodes), nodes (level, node,
// value, bond_price, exercise, rate), branches (up, middle, down), and the
// SVG picture.
py::dict BondDisplayDict(const TreeBondDisplay& d, const std::string& title) {
  lorvex_cli::BondTreePicture p = BondPicture(d);
  const auto levels = static_cast<py::ssize_t>(p.levelTimes.size());
  const auto nodes = static_cast<py::ssize_t>(p.values.size());
  py::array_t<double> levelArray({levels, py::ssize_t{3}});
  py::array_t<double> nodeArray({nodes, py::ssize_t{6}});
  py::array_t<double> branchArray({static_cast<py::ssize_t>(p.pUp.size()), py::ssize_t{3}});
  auto l = levelArray.mutable_unchecked<2>();
  auto nd = nodeArray.mutable_unchecked<2>();
  auto br = branchArray.mutable_unchecked<2>();
  py::ssize_t row = 0;
  for (py::ssize_t i = 0; i < levels; ++i) {
    const auto iu = static_cast<std::size_t>(i);
    l(i, 0) = p.levelTimes[iu];
    l(i, 1) = p.accrued[iu];
    l(i, 2) = p.nodeCounts[iu];
    for (int j = 0; j < p.nodeCounts[iu]; ++j, ++row) {
      const auto r = static_cast<std::size_t>(row);
      nd(row, 0) = static_cast<double>(i);
      nd(row, 1) = j;
      nd(row, 2) = p.values[r];
      nd(row, 3) = p.bondPrices[r];
      nd(row, 4) = d.node(static_cast<int>(i), j).exercise;
      nd(row, 5) = p.rates[r];
    }
  }
  for (std::size_t j = 0; j < p.pUp.size(); ++j) {
    const auto js = static_cast<py::ssize_t>(j);
    br(js, 0) = p.pUp[j];
    br(js, 1) = p.pMiddle[j];
    br(js, 2) = p.pDown[j];
  }
  p.title = title;
  py::dict result;
  result["levels"] = levelArray;
  result["nodes"] = nodeArray;
  result["branches"] = branchArray;
  result["svg"] = lorvex_cli::BondTreeSvg(p);
  return result;
}

// Nodes (level, node, value, price, exercised), level times, the lattice
// (dt, discount, growth, up_probability, up, down) and the SVG picture.
py::dict EquityDisplayDict(const EquityTreeDisplay& d, const std::string& title) {
  lorvex_cli::EquityTreePicture p;
  p.title = title;
  p.steps = d.steps();
  const py::ssize_t count = static_cast<py::ssize_t>(p.steps + 1) * (p.steps + 2) / 2;
  py::array_t<double> nodeArray({count, py::ssize_t{5}});
  py::array_t<double> timeArray(p.steps + 1);
  auto nd = nodeArray.mutable_unchecked<2>();
  auto tm = timeArray.mutable_unchecked<1>();
  py::ssize_t row = 0;
  for (int k = 0; k <= p.steps; ++k) {
    p.levelTimes.push_back(d.level_time(k));
    tm(k) = d.level_time(k);
    for (int m = 0; m <= k; ++m, ++row) {
      const EquityTreeDisplay::Node node = d.node(k, m);
      p.values.push_back(node.value);
      p.prices.push_back(node.price);
      p.exercised.push_back(node.exercised);
      nd(row, 0) = k;
      nd(row, 1) = m;
      nd(row, 2) = node.value;
      nd(row, 3) = node.price;
      nd(row, 4) = node.exercised ? 1.0 : 0.0;
    }
  }
  const EquityTreeDisplay::Lattice lat = d.lattice();
  py::dict result;
  result["nodes"] = nodeArray;
  result["times"] = timeArray;
  result["lattice"] = py::make_tuple(lat.dt, lat.discount, lat.growth, lat.up_probability, lat.up, lat.down);
  result["svg"] = lorvex_cli::EquityTreeSvg(p);
  return result;
}

py::dict DisplayDict(const TreeBondDisplay& d, const std::string& title) { return BondDisplayDict(d, title); }
py::dict DisplayDict(const EquityTreeDisplay& d, const std::string& title) { return EquityDisplayDict(d, title); }


// ---- Per-thread state ------------------------------------------------------

// What one thread keeps between its elements: nothing for most
// calculations, which price each element from its terms alone.
template <class Args>
struct Worker {
  Worker(const Args&, const Column*, bool) {}
  template <class Price>
  auto operator()(const Args& args, const Market& market, const Price& price) {
    return price(args, market);
  }
};

// Bonds valued on one date pay on far fewer days than they have flows: a
// thread keeps a lorvex::BondPricer, which computes each payment day's
// discount factor once, when the valuation column holds one value. It is
// made at the thread's first bond, where a failure to allocate is that
// element's refusal, and its prices are bond_price's to the last bit.
#define LORVEX_PY_NAME(field) #field,
constexpr std::string_view kBondPriceFields[] = {LORVEX_BOND_PRICE_FIELDS(LORVEX_PY_NAME)};
#undef LORVEX_PY_NAME
static_assert(kBondPriceFields[0] == "valuation", "the valuation is column 0 of bond_price");

template <>
class Worker<BondPriceArgs> {
 public:
  Worker(const BondPriceArgs& single, const Column* columns, bool singlesAccepted)
      : valuation_(single.valuation), oneValuation_(singlesAccepted && columns[0].step == 0) {}
  template <class Price>
  double operator()(const BondPriceArgs& args, const Market& market, const Price& price) {
    if (!oneValuation_) return price(args, market);
    if (!pricer_) pricer_.emplace(*market.curve, valuation_);
    return (*pricer_)(args);
  }

 private:
  int valuation_;
  bool oneValuation_;
  std::optional<BondPricer> pricer_;
};

// Binds _lorvex._<name>: a vectorised loop for calculations returning numbers,
// a scalar call returning arrays and the picture for the tree displays.
template <class Args, class Fill, class Price>
void Bind(py::module_& m, const char* name, const char* marketKind, std::size_t columnCount,
          py::dict& outputCounts, Fill fill, Price price) {
  using Result = decltype(price(Args{}, Market{}));
  const std::string kind = marketKind;
  std::string binding(name);
  binding.insert(binding.begin(), '_');
  if constexpr (std::is_same_v<Result, double> || std::is_same_v<Result, EquityResult>) {
    outputCounts[name] = Outputs(Result{});
    m.def(binding.c_str(),
          [=](const std::vector<DoubleArray>& arrays, std::size_t n, const py::object& marketObject, int threads,
              bool stop) {
            const Market market = ReadMarket(kind.c_str(), marketObject);
            return Vectorised(
                arrays, n, threads, stop, columnCount, Outputs(Result{}), [&](const Column* columns) {
                  // The fields of single-value columns are converted once;
                  // each element then converts only its own values. If a
                  // single value is refused, every element converts all its
                  // fields in order, so each reports the first refusal.
                  Args single{};
                  bool singlesAccepted = true;
                  try {
                    fill(single, columns, 0, Which<Columns::Single>{});
                  } catch (const std::exception&) {
                    singlesAccepted = false;
                  }
                  return [&, columns, single, singlesAccepted] {
                    return [&, columns, single, singlesAccepted,
                            worker = Worker<Args>(single, columns, singlesAccepted)](std::size_t i,
                                                                                     double* const* out) mutable {
                      Args args = single;
                      if (singlesAccepted) {
                        fill(args, columns, i, Which<Columns::PerElement>{});
                      } else {
                        fill(args, columns, i, Which<Columns::All>{});
                      }
                      Store(worker(args, market, price), out, i);
                    };
                  };
                });
          });
  } else {
    m.def(binding.c_str(),
          [=](const std::vector<double>& values, const py::object& marketObject, const std::string& title) {
            const Market market = ReadMarket(kind.c_str(), marketObject);
            if (values.size() != columnCount) throw py::type_error("wrong number of display arguments");
            std::vector<Column> columns;
            for (const double& v : values) columns.push_back({&v, 0});
            Args args{};
            fill(args, columns.data(), 0, Which<Columns::All>{});
            std::optional<Result> display;
            {
              py::gil_scoped_release release;
              display.emplace(price(args, market));
            }
            return DisplayDict(*display, title);
          });
  }
}

}  // namespace
}  // namespace lorvex::python

PYBIND11_MODULE(_lorvex, m) {
  using namespace lorvex;
  using namespace lorvex::python;
  m.doc() = "The compiled half of the lorvex package; use the functions of lorvex itself.";

  // lorvex.Error becomes lorvex.LorvexError(status, argument, message).
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const lorvex::Error& e) {
      py::object cls = py::module_::import("lorvex._errors").attr("LorvexError");
      py::object error = cls(e.status(), e.argument(), e.message());
      PyErr_SetObject(cls.ptr(), error.ptr());
    }
  });

  py::class_<Curve>(m, "Curve")
      .def(py::init([](const DoubleArray& dates, const DoubleArray& rates) {
             return Curve(std::span<const double>(dates.data(), static_cast<std::size_t>(dates.size())),
                          std::span<const double>(rates.data(), static_cast<std::size_t>(rates.size())));
           }),
           py::arg("dates"), py::arg("rates"))
      .def("_rates",
           [](const Curve& c, const DoubleArray& dates) {
             py::array_t<double> out(dates.size());
             double* o = out.mutable_data();
             for (py::ssize_t i = 0; i < dates.size(); ++i) o[i] = c.rate(dates.data()[i]);
             return out;
           })
      .def("_points",
           [](const Curve& c) {
             const std::vector<Point> points = c.points();
             py::array_t<double> dates(static_cast<py::ssize_t>(points.size()));
             py::array_t<double> rates(static_cast<py::ssize_t>(points.size()));
             for (std::size_t i = 0; i < points.size(); ++i) {
               dates.mutable_data()[i] = points[i].x;
               rates.mutable_data()[i] = points[i].y;
             }
             return py::make_tuple(dates, rates);
           })
      .def("__len__", &Curve::size);

  py::class_<Dividends>(m, "Dividends")
      .def(py::init([](const DoubleArray& times, const DoubleArray& amounts) {
             return Dividends(std::span<const double>(times.data(), static_cast<std::size_t>(times.size())),
                              std::span<const double>(amounts.data(), static_cast<std::size_t>(amounts.size())));
           }),
           py::arg("times"), py::arg("amounts"))
      .def("_points",
           [](const Dividends& d) {
             const std::vector<Point> points = d.points();
             py::array_t<double> times(static_cast<py::ssize_t>(points.size()));
             py::array_t<double> amounts(static_cast<py::ssize_t>(points.size()));
             for (std::size_t i = 0; i < points.size(); ++i) {
               times.mutable_data()[i] = points[i].x;
               amounts.mutable_data()[i] = points[i].y;
             }
             return py::make_tuple(times, amounts);
           })
      .def("__len__", &Dividends::size);

  m.def("status_text", [](int code) { return std::string(status_text(code)); });
  m.def("serial_from_date", [](int y, int mo, int d) { return serial_from_date({y, mo, d}); });
  m.def("hardware_threads", [] { return std::max(1u, std::thread::hardware_concurrency()); });

  // Per calculation: _lorvex.<name>(columns, n, market, threads, stop) and
  // its argument descriptions in _lorvex.arguments[name], market kind in
  // _lorvex.markets[name].
  py::dict arguments;
  py::dict markets;
  py::dict output_counts;
#define LORVEX_PY_BIND(function, Args, market_kind, FIELDS)                                       \
  {                                                                                               \
    const Args defaults{};                                                                        \
    py::list fields;                                                                              \
    FIELDS(LORVEX_PY_DESCRIBE)                                                                    \
    arguments[#function] = fields;                                                                \
    markets[#function] = #market_kind;                                                            \
    Bind<Args>(                                                                                   \
        m, #function, #market_kind, ColumnCount(fields), output_counts,                               \
        [](Args& args, const Column* columns, std::size_t i, auto which) -> std::size_t {         \
          std::size_t k = 0;                                                                      \
          FIELDS(LORVEX_PY_FILL)                                                                  \
          return k;                                                                               \
        },                                                                                        \
        [](const Args& args, const Market& market) {                                              \
          (void)market;                                                                           \
          return LORVEX_PY_PRICE_##market_kind(function);                                         \
        });                                                                                       \
  }
  LORVEX_CALCULATIONS(LORVEX_PY_BIND)
#undef LORVEX_PY_BIND
  m.attr("arguments") = arguments;
  m.attr("markets") = markets;
  m.attr("output_counts") = output_counts;
}
