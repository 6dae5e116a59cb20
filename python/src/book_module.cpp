// lorvex._book: the book engine for Python. Whole CSV texts in and out, the
// pricing on C++ threads with the GIL released, so no Python runs per row.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <sstream>
#include <string>

#include "book/book.h"

namespace py = pybind11;

namespace {

// Prices a book given as CSV texts; returns the results CSV and the counts.
py::tuple PriceBookCsv(const std::string& trades, const std::string& curves, int valuation, unsigned threads,
                       bool dv01, bool keyrate, const std::optional<std::string>& scenarios,
                       std::size_t chunkRows, double bumpBp) {
  using namespace lorvex::book;
  std::string out;
  Summary summary;
  {
    py::gil_scoped_release release;
    std::istringstream curvesIn(curves);
    const std::vector<CurveData> market = ReadCurves(curvesIn, "curves");
    std::vector<Scenario> shifted;
    if (scenarios) {
      std::istringstream scenariosIn(*scenarios);
      shifted = ReadScenarios(scenariosIn, "scenarios", market);
    }
    Options options;
    options.valuation = valuation;
    options.threads = threads;
    options.dv01 = dv01;
    options.keyrate = keyrate;
    options.chunk_rows = chunkRows;
    options.bump_bp = bumpBp;
    std::istringstream tradesIn(trades);
    std::ostringstream results;
    summary = PriceBook(tradesIn, "trades", market, shifted, options, results);
    out = std::move(results).str();
  }
  return py::make_tuple(py::bytes(out), summary.trades, summary.failed);
}

}  // namespace

PYBIND11_MODULE(_book, m) {
  m.doc() = "The lorvex book engine (see lorvex.price_book).";
  // A fault of a file's layout names the file, line and column.
  py::register_exception<lorvex::book::FileError>(m, "BookFileError", PyExc_ValueError);
  m.def("price_book_csv", &PriceBookCsv, py::arg("trades"), py::arg("curves"), py::arg("valuation"),
        py::arg("threads") = 0u, py::arg("dv01") = false, py::arg("keyrate") = false,
        py::arg("scenarios") = py::none(), py::arg("chunk_rows") = 8192, py::arg("bump_bp") = 1.0);
  m.def("calculations", [] {
    std::vector<std::string> names;
    for (std::string_view n : lorvex::book::BookCalculations()) names.emplace_back(n);
    return names;
  });
}
