// The book engine: a whole portfolio priced from CSV files, row by row with
// the calculations of the C++ API (lorvex.hpp), on several threads, with
// bump-and-reprice risk and curve scenarios.
//
// Trades file: a header line naming the columns, then one trade a line.
// `id` and `type` are required; `type` is the API's calculation name
// (bond_price ... binary, the 17 of kBookCalculations); every other column
// is an argument of some calculation, named as in LORVEX_CALCULATIONS, or
// `curve`, the name of a curve of the curves file. A cell a trade's
// calculation does not use is ignored; a blank cell, or an argument column
// the file does not have, takes the default of the API's argument struct.
// The valuation date comes from the caller unless a `valuation` cell gives
// one. Equity options are priced without cash dividends.
//
// Curves file: `curve,date,rate`, dates ISO (2000-01-01) or serial, rates
// continuously compounded decimals, several named curves in one file.
//
// Scenarios file: `scenario,curve,date,shift_bp`; each line adds shift_bp
// basis points to the zero rate of one pillar (date given) or of every
// pillar (date blank) of one curve (curve given) or of every curve (curve
// blank). Lines of one scenario accumulate; scenarios keep file order.
//
// Risk, by bump-and-reprice on the same curves, for the trades that take a
// curve (other trades leave the cells blank):
//   dv01            (V(r + 1 bp) - V(r - 1 bp)) / 2 with every pillar of the
//                   trade's curve moved: the value change for a 1 bp rise
//                   (with bump_bp = h: (V(r + h) - V(r - h)) / 2h per bp);
//   keyrate_<date>  the same with only that pillar moved. With rates linear
//                   between pillars and flat beyond, the pillar bumps add up
//                   to the parallel bump, so the key rates sum to dv01 up to
//                   the bumps' second-order terms.
//
// Errors: a fault of a file's layout (unknown, missing or repeated column,
// empty file, a bad curve or scenario line) throws FileError naming the
// file, line and column; a bad trade never stops the book: its row carries
// the status and message of the refusal (lorvex::Error), -9 for a cell that
// is not a number or word its argument accepts, an unknown type or curve.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "lorvex/lorvex.hpp"

namespace lorvex::book {

// A fault of a file's layout: what() is "FILE:LINE: message".
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& file, std::size_t line, const std::string& message);
};

// The calculations a book row may name, in the API's order.
const std::vector<std::string_view>& BookCalculations();

// One named zero curve as read: pillars ascending, dates as serials.
struct CurveData {
  std::string name;
  std::vector<double> dates;
  std::vector<double> rates;
};

// Reads a curves file. Throws FileError.
std::vector<CurveData> ReadCurves(std::istream& in, const std::string& fileName);

struct Scenario {
  std::string name;
  std::vector<CurveData> curves;  // the shifted curves, same order as the base
};

// Reads a scenarios file against the base curves. Throws FileError (also
// for a curve or pillar date the curves file does not have).
std::vector<Scenario> ReadScenarios(std::istream& in, const std::string& fileName,
                                    const std::vector<CurveData>& curves);

enum class OutputFormat { Csv, Json };

struct Options {
  int valuation = 0;         // serial
  unsigned threads = 0;      // 0: every core
  bool dv01 = false;
  bool keyrate = false;
  // Size of the risk bumps in basis points; dv01 and the key rates are
  // scaled back to a 1 bp move. 1 bp is the desk convention; a tree's value
  // is piecewise linear in the rates (a node crossing the strike or the
  // exercise boundary turns a slope), so a bump of 0.01 bp measures the
  // tree's own slope and makes the key rates add up to dv01 there too.
  double bump_bp = 1.0;
  std::size_t chunk_rows = 8192;  // rows read, priced and written at a time
  OutputFormat format = OutputFormat::Csv;
  // Called after each chunk with the rows and the bytes read so far.
  std::function<void(std::size_t rows, std::size_t bytes)> progress;
};

struct Summary {
  std::size_t trades = 0;   // rows of the trades file
  std::size_t results = 0;  // rows written: trades x scenarios
  std::size_t failed = 0;   // results with a non-zero status
};

// Prices every trade of `trades` (under each scenario when `scenarios` is
// not empty, else on the base curves) and writes one result row each, in
// input order (trade-major, then scenario order):
//   id[,scenario],type,value,status,message,delta,gamma,theta[,dv01][,keyrate_<ISO date>...]
// Memory is bounded by chunk_rows, whatever the book's size. Throws
// FileError for a fault of the trades file's layout.
Summary PriceBook(std::istream& trades, const std::string& tradesName,
                  const std::vector<CurveData>& curves, const std::vector<Scenario>& scenarios,
                  const Options& options, std::ostream& out);

// A date cell: ISO yyyy-mm-dd or a serial. Throws lorvex::Error(-9, argument).
int ParseDateCell(std::string_view text, const char* argument);
std::string IsoDate(double serial);

}  // namespace lorvex::book
