// The book engine: reading, dispatch, risk, threads and output.
#include "book/book.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>
#include <istream>
#include <limits>
#include <map>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <variant>

namespace lorvex::book {

// The calculations of a book: those of LORVEX_CALCULATIONS that price an
// instrument (rate deltas and displays are not trades).
#define LORVEX_BOOK_CALCULATIONS(X)                                          \
  LORVEX_RATE_INSTRUMENT_CALCULATIONS(X)                                     \
  X(equity_option, EquityOptionArgs, dividends, LORVEX_EQUITY_OPTION_FIELDS) \
  LORVEX_EXOTIC_CALCULATIONS(X)

FileError::FileError(const std::string& file, std::size_t line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}

namespace {

constexpr double kBasisPoint = 1e-4;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum Kind {
#define LORVEX_BOOK_KIND(name, A, market, FIELDS) k_##name,
  LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_KIND)
#undef LORVEX_BOOK_KIND
      kKindCount
};

const char* const kKindNames[] = {
#define LORVEX_BOOK_NAME(name, A, market, FIELDS) #name,
    LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_NAME)
#undef LORVEX_BOOK_NAME
};

#define LORVEX_BOOK_FIELD_NAME(field) #field,
#define LORVEX_BOOK_FIELD_LIST(name, A, market, FIELDS) std::vector<std::string_view>{FIELDS(LORVEX_BOOK_FIELD_NAME)},
const std::vector<std::string_view> kKindFields[] = {LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_FIELD_LIST)};
#undef LORVEX_BOOK_FIELD_LIST
#undef LORVEX_BOOK_FIELD_NAME

using AnyArgs = std::variant<std::monostate
#define LORVEX_BOOK_ALTERNATIVE(name, A, market, FIELDS) , lorvex::A
                             LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_ALTERNATIVE)
#undef LORVEX_BOOK_ALTERNATIVE
                             >;

// ---- Cells ----------------------------------------------------------------

// Splits one CSV line into cells; a quoted cell may hold commas and "".
void SplitCsv(std::string_view line, std::vector<std::string>& cells) {
  std::size_t n = 0;
  std::size_t i = 0;
  for (;;) {
    if (n == cells.size()) cells.emplace_back();
    std::string& cell = cells[n++];
    cell.clear();
    if (i < line.size() && line[i] == '"') {
      ++i;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            cell += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        cell += line[i++];
      }
      while (i < line.size() && line[i] != ',') cell += line[i++];
    } else {
      const std::size_t end = std::min(line.find(',', i), line.size());
      cell.assign(line.substr(i, end - i));
      i = end;
    }
    if (i >= line.size()) break;
    ++i;  // the comma
  }
  cells.resize(n);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

[[noreturn]] void RefuseCell(const char* argument, std::string_view text, const char* expected) {
  throw lorvex::Error(status::kBadArgument, argument,
                      "'" + std::string(text) + "' is not " + expected);
}

double ParseDouble(std::string_view text, const char* argument) {
  double value = 0.0;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
    RefuseCell(argument, text, "a number");
  }
  return value;
}

// Whole numbers written as decimals ("2.0", as spreadsheets and data frames
// with blanks write integer columns) are integers too.
int ParseInt(std::string_view text, const char* argument) {
  double value = 0.0;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value != std::floor(value) ||
      std::abs(value) > 2147483647.0) {
    RefuseCell(argument, text, "an integer");
  }
  return static_cast<int>(value);
}

// An argument's cell into its field; a blank cell or an absent column
// keeps the struct's default.
void Fill(double& field, const char* argument, std::string_view text) {
  field = ParseDouble(text, argument);
}
void Fill(int& field, const char* argument, std::string_view text) {
  // valuation is the only integer that is a date.
  field = std::string_view(argument) == "valuation" ? ParseDateCell(text, argument)
                                                    : ParseInt(text, argument);
}
void Fill(bool& field, const char* argument, std::string_view text) {
  if (text == "true" || text == "1" || text == "yes") {
    field = true;
  } else if (text == "false" || text == "0" || text == "no") {
    field = false;
  } else {
    RefuseCell(argument, text, "true or false");
  }
}
void Fill(TreeLimits&, const char*, std::string_view) {}
template <class Choice>
void Fill(Choice& field, const char* argument, std::string_view text) {
  field = lorvex::from_string<Choice>(text, argument);
}

// ---- Pricing one row ------------------------------------------------------

// An equity option's cash dividends: the `dividends` cell, TIME:AMOUNT pairs
// (years from the valuation, cash per share) separated by ';' or blanks,
// as the command's --dividends.
struct CashDividends {
  std::vector<double> times, amounts;
};

CashDividends ParseDividends(std::string_view text) {
  CashDividends d;
  constexpr std::string_view kBetween = "; \t";
  for (std::size_t start = text.find_first_not_of(kBetween); start != std::string_view::npos;
       start = text.find_first_not_of(kBetween, start)) {
    const std::size_t end = std::min(text.find_first_of(kBetween, start), text.size());
    const std::string_view pair = text.substr(start, end - start);
    const std::size_t colon = pair.find(':');
    if (colon == std::string_view::npos) {
      RefuseCell("dividends", pair, "a TIME:AMOUNT pair (years, cash; pairs separated by ';')");
    }
    d.times.push_back(ParseDouble(pair.substr(0, colon), "dividends"));
    d.amounts.push_back(ParseDouble(pair.substr(colon + 1), "dividends"));
    start = end;
  }
  return d;
}

struct Value {
  double value = kNaN;
  double delta = kNaN;
  double gamma = kNaN;
  double theta = kNaN;
};

#define LORVEX_BOOK_RUN_curve(name, A) \
  Value Run(const lorvex::A& a, const Curve* c, const CashDividends&) { return {lorvex::name(a, *c)}; }
#define LORVEX_BOOK_RUN_none(name, A) \
  Value Run(const lorvex::A& a, const Curve*, const CashDividends&) { return {lorvex::name(a)}; }
#define LORVEX_BOOK_RUN_dividends(name, A)                                 \
  Value Run(const lorvex::A& a, const Curve*, const CashDividends& d) {    \
    const EquityResult r = lorvex::name(a, Dividends(d.times, d.amounts)); \
    return {r.value, r.delta, r.gamma, r.theta};                           \
  }
#define LORVEX_BOOK_RUN(name, A, market, FIELDS) LORVEX_BOOK_RUN_##market(name, A)
LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_RUN)
#undef LORVEX_BOOK_RUN
Value Run(const std::monostate&, const Curve*, const CashDividends&) { return {}; }

#define LORVEX_BOOK_TAKES_CURVE_curve true
#define LORVEX_BOOK_TAKES_CURVE_none false
#define LORVEX_BOOK_TAKES_CURVE_dividends false
constexpr bool kTakesCurve[] = {
#define LORVEX_BOOK_TAKES(name, A, market, FIELDS) LORVEX_BOOK_TAKES_CURVE_##market,
    LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_TAKES)
#undef LORVEX_BOOK_TAKES
};
constexpr bool kTakesDividends[] = {
#define LORVEX_BOOK_TAKES(name, A, market, FIELDS) std::string_view(#market) == "dividends",
    LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_TAKES)
#undef LORVEX_BOOK_TAKES
};

// A curve with its bumped copies, built once per market.
struct MarketCurve {
  Curve base;
  Curve up, down;                      // every pillar +- the bump
  std::vector<Curve> keyUp, keyDown;   // one pillar +- the bump
  std::vector<int> keyColumn;          // pillar -> key-rate column
};

Curve Shifted(const CurveData& c, double parallel, std::size_t pillar, double pillarShift) {
  std::vector<double> rates = c.rates;
  for (double& r : rates) r += parallel;
  if (pillar < rates.size()) rates[pillar] += pillarShift;
  return Curve(c.dates, rates);
}

std::vector<MarketCurve> BuildMarket(const std::vector<CurveData>& curves,
                                     const std::vector<double>& keyDates, bool risk, double bump) {
  std::vector<MarketCurve> market;
  market.reserve(curves.size());
  const std::size_t none = std::numeric_limits<std::size_t>::max();
  for (const CurveData& c : curves) {
    MarketCurve m{Shifted(c, 0.0, none, 0.0), {}, {}, {}, {}, {}};
    if (risk) {
      m.up = Shifted(c, bump, none, 0.0);
      m.down = Shifted(c, -bump, none, 0.0);
      for (std::size_t i = 0; i < c.dates.size(); ++i) {
        m.keyUp.push_back(Shifted(c, 0.0, i, bump));
        m.keyDown.push_back(Shifted(c, 0.0, i, -bump));
        m.keyColumn.push_back(static_cast<int>(
            std::lower_bound(keyDates.begin(), keyDates.end(), c.dates[i]) - keyDates.begin()));
      }
    }
    market.push_back(std::move(m));
  }
  return market;
}

// ---- Output ---------------------------------------------------------------

void AppendNumber(std::string& out, double v, bool json) {
  if (!std::isfinite(v)) {
    if (json) out += "null";
    return;
  }
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  out.append(text, static_cast<std::size_t>(end - text));
}

void AppendText(std::string& out, std::string_view s, bool json) {
  if (json) {
    out += '"';
    for (const char ch : s) {
      if (ch == '"' || ch == '\\') {
        out += '\\';
        out += ch;
      } else if (static_cast<unsigned char>(ch) < 0x20) {
        char esc[8];
        std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(ch)));
        out += esc;
      } else {
        out += ch;
      }
    }
    out += '"';
    return;
  }
  if (s.find_first_of(",\"\n\r") == std::string_view::npos) {
    out += s;
    return;
  }
  out += '"';
  for (const char ch : s) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

struct Layout {
  bool scenarios = false;
  bool dv01 = false;
  std::vector<std::string> keyNames;  // keyrate_<ISO date>
};

struct RowResult {
  Value value;
  int status = 0;
  std::string message;
  double dv01 = kNaN;
  std::vector<double> keyrates;
};

void AppendRow(std::string& out, const Layout& layout, bool json, bool first,
               std::string_view id, std::string_view scenario, std::string_view type,
               const RowResult& r) {
  std::size_t field = 0;
  auto key = [&](std::string_view name) {
    if (json) {
      out += field == 0 ? "{" : ", ";
      AppendText(out, name, true);
      out += ": ";
    } else if (field != 0) {
      out += ',';
    }
    ++field;
  };
  if (json) out += first ? "\n" : ",\n";
  key("id");
  AppendText(out, id, json);
  if (layout.scenarios) {
    key("scenario");
    AppendText(out, scenario, json);
  }
  key("type");
  AppendText(out, type, json);
  key("value");
  AppendNumber(out, r.value.value, json);
  key("status");
  out += std::to_string(r.status);
  key("message");
  AppendText(out, r.message, json);
  key("delta");
  AppendNumber(out, r.value.delta, json);
  key("gamma");
  AppendNumber(out, r.value.gamma, json);
  key("theta");
  AppendNumber(out, r.value.theta, json);
  if (layout.dv01) {
    key("dv01");
    AppendNumber(out, r.dv01, json);
  }
  for (std::size_t k = 0; k < layout.keyNames.size(); ++k) {
    key(layout.keyNames[k]);
    AppendNumber(out, k < r.keyrates.size() ? r.keyrates[k] : kNaN, json);
  }
  out += json ? "}" : "\n";
}

// ---- The trades file's header ---------------------------------------------

struct Header {
  std::size_t cells = 0;
  int id = -1, type = -1, curve = -1, dividends = -1;
  int workNodes = -1, memoryBytes = -1;  // a tree's limits
  std::vector<int> fieldColumn[kKindCount];
};

Header ReadHeader(const std::vector<std::string>& cells, const std::string& file) {
  Header h;
  h.cells = cells.size();
  std::map<std::string, int, std::less<>> columns;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::string name(Trim(cells[i]));
    const std::string where = "column " + std::to_string(i + 1) + " '" + name + "'";
    if (!columns.emplace(name, static_cast<int>(i)).second) {
      throw FileError(file, 1, where + " is repeated");
    }
    bool known = name == "id" || name == "type" || name == "curve" || name == "dividends" ||
                 name == "work_nodes" || name == "memory_bytes";
    for (int k = 0; k < kKindCount && !known; ++k) {
      for (std::string_view f : kKindFields[k]) known = known || (f == name && f != "limits");
    }
    if (!known) {
      throw FileError(file, 1, where + " is not a book column (id, type, curve, dividends, work_nodes, memory_bytes or an argument "
                                       "of the calculations, as in lorvex.hpp)");
    }
  }
  for (const char* required : {"id", "type"}) {
    if (!columns.count(required)) {
      throw FileError(file, 1, std::string("missing column '") + required + "'");
    }
  }
  h.id = columns["id"];
  h.type = columns["type"];
  h.curve = columns.count("curve") ? columns["curve"] : -1;
  h.dividends = columns.count("dividends") ? columns["dividends"] : -1;
  h.workNodes = columns.count("work_nodes") ? columns["work_nodes"] : -1;
  h.memoryBytes = columns.count("memory_bytes") ? columns["memory_bytes"] : -1;
  for (int k = 0; k < kKindCount; ++k) {
    for (std::string_view f : kKindFields[k]) {
      const auto it = columns.find(f);
      h.fieldColumn[k].push_back(it == columns.end() ? -1 : it->second);
    }
  }
  return h;
}

// ---- One row --------------------------------------------------------------

struct Context {
  const Header* header;
  const std::vector<CurveData>* curves;
  const std::vector<std::vector<MarketCurve>>* markets;  // per scenario (or the base)
  const std::vector<std::string>* scenarioNames;
  const Layout* layout;
  const Options* options;
};

struct Parsed {
  Kind kind = kKindCount;
  AnyArgs args;
  int curve = -1;
  CashDividends dividends;
};

template <class Args>
void FillArgs(Args& args, const std::vector<int>& columns, const std::vector<std::string>& cells,
              const std::vector<std::string_view>& names, int valuation) {
  if constexpr (requires { args.valuation; }) args.valuation = valuation;
  std::size_t k = 0;
  auto one = [&](auto& field) {
    const int c = columns[k];
    const char* name = names[k].data();  // views of the field-name literals: terminated
    ++k;
    if (c < 0) return;
    const std::string_view text = Trim(cells[static_cast<std::size_t>(c)]);
    if (text.empty()) return;
    Fill(field, name, text);
  };
#define LORVEX_BOOK_ONE(field) one(args.field);
#define LORVEX_BOOK_FILL(name, A, market, FIELDS) \
  if constexpr (std::is_same_v<Args, lorvex::A>) { FIELDS(LORVEX_BOOK_ONE) }
  LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_FILL)
#undef LORVEX_BOOK_FILL
#undef LORVEX_BOOK_ONE
}

// Reads the row's calculation, curve and arguments; throws lorvex::Error.
Parsed ParseRow(const Context& ctx, const std::vector<std::string>& cells) {
  const Header& h = *ctx.header;
  Parsed p;
  const std::string_view type = Trim(cells[static_cast<std::size_t>(h.type)]);
  for (int k = 0; k < kKindCount; ++k) {
    if (type == kKindNames[k]) p.kind = static_cast<Kind>(k);
  }
  if (p.kind == kKindCount) {
    RefuseCell("type", type, "a calculation of a book (bond_price ... binary, as in lorvex.hpp)");
  }
  if (kTakesCurve[p.kind]) {
    const std::string_view name = h.curve < 0 ? std::string_view() : Trim(cells[static_cast<std::size_t>(h.curve)]);
    const std::vector<CurveData>& curves = *ctx.curves;
    if (name.empty() && curves.size() == 1) {
      p.curve = 0;
    } else if (name.empty()) {
      throw lorvex::Error(status::kBadArgument, "curve",
                          "blank, and the curves file has " + std::to_string(curves.size()) +
                              " curves: name one");
    } else {
      for (std::size_t i = 0; i < curves.size(); ++i) {
        if (curves[i].name == name) p.curve = static_cast<int>(i);
      }
      if (p.curve < 0) RefuseCell("curve", name, "a curve of the curves file");
    }
  }
  switch (p.kind) {
#define LORVEX_BOOK_CASE(name, A, market, FIELDS)                                          \
  case k_##name: {                                                                         \
    lorvex::A args;                                                                        \
    FillArgs(args, h.fieldColumn[k_##name], cells, kKindFields[k_##name], ctx.options->valuation); \
    p.args = args;                                                                         \
    break;                                                                                 \
  }
    LORVEX_BOOK_CALCULATIONS(LORVEX_BOOK_CASE)
#undef LORVEX_BOOK_CASE
    default:
      break;
  }
  // A tree's limits (lorvex::TreeLimits): blank keeps the default budgets.
  std::visit(
      [&](auto& a) {
        if constexpr (requires { a.limits; }) {
          for (const auto& [column, field, name] : {std::tuple{h.workNodes, &TreeLimits::work_nodes, "work_nodes"},
                                                     std::tuple{h.memoryBytes, &TreeLimits::memory_bytes, "memory_bytes"}}) {
            if (column < 0) continue;
            const std::string_view text = Trim(cells[static_cast<std::size_t>(column)]);
            if (!text.empty()) a.limits.*field = ParseDouble(text, name);
          }
        }
      },
      p.args);
  if (kTakesDividends[p.kind] && h.dividends >= 0) {
    p.dividends = ParseDividends(cells[static_cast<std::size_t>(h.dividends)]);
  }
  return p;
}

double Reprice(const AnyArgs& args, const Curve& curve) {
  try {
    return std::visit([&](const auto& a) { return Run(a, &curve, CashDividends()).value; }, args);
  } catch (const std::exception&) {
    return kNaN;
  }
}

void PriceRow(const Context& ctx, const Parsed& p, std::size_t scenario, RowResult& r) {
  const Curve* curve = p.curve < 0 ? nullptr : &(*ctx.markets)[scenario][static_cast<std::size_t>(p.curve)].base;
  r.value = std::visit([&](const auto& a) { return Run(a, curve, p.dividends); }, p.args);
  if (p.curve < 0 || !(ctx.layout->dv01 || !ctx.layout->keyNames.empty())) return;
  const MarketCurve& m = (*ctx.markets)[scenario][static_cast<std::size_t>(p.curve)];
  // Per 1 bp: with the default bump of 1 bp the division is exact.
  const double perBp = 2.0 * ctx.options->bump_bp;
  if (ctx.layout->dv01) r.dv01 = (Reprice(p.args, m.up) - Reprice(p.args, m.down)) / perBp;
  for (std::size_t i = 0; i < m.keyUp.size(); ++i) {
    r.keyrates[static_cast<std::size_t>(m.keyColumn[i])] =
        (Reprice(p.args, m.keyUp[i]) - Reprice(p.args, m.keyDown[i])) / perBp;
  }
}

void Fail(RowResult& r, int status, std::string message) {
  r.value = Value{};
  r.dv01 = kNaN;
  std::fill(r.keyrates.begin(), r.keyrates.end(), kNaN);
  r.status = status;
  r.message = std::move(message);
}

// Prices one line under every scenario and appends its result rows;
// returns how many of them failed.
std::size_t PriceLine(const Context& ctx, std::string_view line, std::size_t lineNumber, bool firstInBook,
               std::vector<std::string>& cells, RowResult& r, std::string& out) {
  SplitCsv(line, cells);
  const Header& h = *ctx.header;
  const bool json = ctx.options->format == OutputFormat::Json;
  const std::size_t nScenarios = ctx.markets->size();
  const bool complete = cells.size() == h.cells;
  const std::string_view id = Trim(complete || cells.size() > static_cast<std::size_t>(h.id)
                                       ? std::string_view(cells[static_cast<std::size_t>(h.id)])
                                       : std::string_view());
  std::string_view type;
  if (cells.size() > static_cast<std::size_t>(h.type)) type = Trim(cells[static_cast<std::size_t>(h.type)]);
  Parsed p;
  int parseStatus = 0;
  std::string parseMessage;
  if (!complete) {
    parseStatus = status::kBadArgument;
    parseMessage = "line " + std::to_string(lineNumber) + " has " + std::to_string(cells.size()) +
                   " cells, the header " + std::to_string(h.cells);
  } else {
    try {
      p = ParseRow(ctx, cells);
    } catch (const lorvex::Error& e) {
      parseStatus = e.status();
      parseMessage = e.what();
    }
  }
  std::size_t failed = 0;
  for (std::size_t s = 0; s < nScenarios; ++s) {
    r.status = 0;
    r.message.clear();
    r.dv01 = kNaN;
    r.keyrates.assign(ctx.layout->keyNames.size(), kNaN);
    r.value = Value{};
    if (parseStatus != 0) {
      Fail(r, parseStatus, parseMessage);
    } else {
      try {
        PriceRow(ctx, p, s, r);
      } catch (const lorvex::Error& e) {
        Fail(r, e.status(), e.what());
      } catch (const std::exception& e) {
        Fail(r, status::kBadArgument, e.what());
      }
    }
    const std::string_view scenario =
        ctx.scenarioNames->empty() ? std::string_view() : std::string_view((*ctx.scenarioNames)[s]);
    AppendRow(out, *ctx.layout, json, firstInBook && s == 0, id, scenario, type, r);
    if (r.status != 0) ++failed;
  }
  return failed;
}

bool ReadLine(std::istream& in, std::string& line, std::size_t& bytes) {
  if (!std::getline(in, line)) return false;
  bytes += line.size() + 1;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool Blank(std::string_view line) { return Trim(line).empty(); }

std::vector<std::string> RequireHeader(std::istream& in, const std::string& file,
                                       const std::vector<std::string_view>& expected,
                                       std::size_t& lineNumber) {
  std::string line;
  std::size_t bytes = 0;
  while (ReadLine(in, line, bytes)) {
    ++lineNumber;
    if (!Blank(line)) break;
  }
  if (Blank(line)) throw FileError(file, lineNumber == 0 ? 1 : lineNumber, "empty file: no header line");
  std::vector<std::string> cells;
  SplitCsv(line, cells);
  for (std::string& c : cells) c = std::string(Trim(c));
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (std::find(expected.begin(), expected.end(), cells[i]) == expected.end()) {
      throw FileError(file, lineNumber, "column " + std::to_string(i + 1) + " '" + cells[i] +
                                            "' is not one of the file's columns");
    }
  }
  for (std::string_view e : expected) {
    if (std::find(cells.begin(), cells.end(), e) == cells.end()) {
      throw FileError(file, lineNumber, "missing column '" + std::string(e) + "'");
    }
  }
  return cells;
}

std::size_t Column(const std::vector<std::string>& header, std::string_view name) {
  return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
}

// The data lines of a curves or scenarios file after its header of the
// `expected` columns (in any order): each line that is not blank is split
// and handed to row(lineNumber, cell), where cell(column) is that column's
// text, trimmed. A line with another number of cells than the header is
// refused; a lorvex::Error thrown by row becomes a FileError naming its
// column. Returns the number of the last line read.
template <class Row>
std::size_t ForEachDataLine(std::istream& in, const std::string& file, const std::vector<std::string_view>& expected,
                            Row&& row) {
  std::size_t lineNumber = 0;
  const std::vector<std::string> header = RequireHeader(in, file, expected, lineNumber);
  std::string line;
  std::vector<std::string> cells;
  std::size_t bytes = 0;
  const auto cell = [&](std::string_view column) { return Trim(cells[Column(header, column)]); };
  while (ReadLine(in, line, bytes)) {
    ++lineNumber;
    if (Blank(line)) continue;
    SplitCsv(line, cells);
    if (cells.size() != header.size()) {
      throw FileError(file, lineNumber, std::to_string(cells.size()) + " cells, the header has " +
                                            std::to_string(header.size()));
    }
    try {
      row(lineNumber, cell);
    } catch (const lorvex::Error& e) {
      throw FileError(file, lineNumber, "column '" + e.argument() + "': " + e.message());
    }
  }
  return lineNumber;
}

}  // namespace

const std::vector<std::string_view>& BookCalculations() {
  static const std::vector<std::string_view> names(std::begin(kKindNames), std::end(kKindNames));
  return names;
}

int ParseDateCell(std::string_view text, const char* argument) {
  text = Trim(text);
  if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    int y = 0, m = 0, d = 0;
    const char* s = text.data();
    const bool ok = std::from_chars(s, s + 4, y).ptr == s + 4 && std::from_chars(s + 5, s + 7, m).ptr == s + 7 &&
                    std::from_chars(s + 8, s + 10, d).ptr == s + 10;
    if (!ok) RefuseCell(argument, text, "a date (yyyy-mm-dd or a serial)");
    try {
      return serial_from_date({y, m, d});
    } catch (const lorvex::Error&) {
      RefuseCell(argument, text, "a calendar date");
    }
  }
  int serial = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), serial);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
    RefuseCell(argument, text, "a date (yyyy-mm-dd or a serial)");
  }
  return serial;
}

std::string IsoDate(double serial) {
  const Date d = date_from_serial(static_cast<int>(std::floor(serial)));
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
  return text;
}

std::vector<CurveData> ReadCurves(std::istream& in, const std::string& file) {
  std::vector<CurveData> curves;
  const std::size_t lastLine =
      ForEachDataLine(in, file, {"curve", "date", "rate"}, [&](std::size_t lineNumber, const auto& cell) {
        const std::string name(cell("curve"));
        if (name.empty()) throw FileError(file, lineNumber, "column 'curve' is blank");
        const double date = ParseDateCell(cell("date"), "date");
        const double rate = ParseDouble(cell("rate"), "rate");
        if (!std::isfinite(rate)) RefuseCell("rate", cell("rate"), "a finite rate");
        auto it = std::find_if(curves.begin(), curves.end(), [&](const CurveData& c) { return c.name == name; });
        if (it == curves.end()) {
          curves.push_back({name, {}, {}});
          it = curves.end() - 1;
        }
        const auto at = std::lower_bound(it->dates.begin(), it->dates.end(), date);
        if (at != it->dates.end() && *at == date) {
          throw FileError(file, lineNumber, "column 'date': curve '" + name + "' has " + IsoDate(date) + " twice");
        }
        it->rates.insert(it->rates.begin() + (at - it->dates.begin()), rate);
        it->dates.insert(at, date);
      });
  if (curves.empty()) throw FileError(file, lastLine, "header only: no curve points");
  return curves;
}

std::vector<Scenario> ReadScenarios(std::istream& in, const std::string& file,
                                    const std::vector<CurveData>& curves) {
  std::vector<Scenario> scenarios;
  const std::size_t lastLine = ForEachDataLine(
      in, file, {"scenario", "curve", "date", "shift_bp"}, [&](std::size_t lineNumber, const auto& cell) {
        const std::string name(cell("scenario"));
        const std::string_view curveName = cell("curve");
        const std::string_view dateText = cell("date");
        if (name.empty()) throw FileError(file, lineNumber, "column 'scenario' is blank");
        const double shift = ParseDouble(cell("shift_bp"), "shift_bp") * kBasisPoint;
        const int date = dateText.empty() ? 0 : ParseDateCell(dateText, "date");
        auto it =
            std::find_if(scenarios.begin(), scenarios.end(), [&](const Scenario& s) { return s.name == name; });
        if (it == scenarios.end()) {
          scenarios.push_back({name, curves});
          it = scenarios.end() - 1;
        }
        bool matched = false;
        for (CurveData& c : it->curves) {
          if (!curveName.empty() && c.name != curveName) continue;
          matched = true;
          if (dateText.empty()) {
            for (double& r : c.rates) r += shift;
            continue;
          }
          const auto at = std::find(c.dates.begin(), c.dates.end(), static_cast<double>(date));
          if (at == c.dates.end()) {
            throw FileError(file, lineNumber, "column 'date': " + std::string(dateText) +
                                                  " is not a pillar of curve '" + c.name + "'");
          }
          c.rates[static_cast<std::size_t>(at - c.dates.begin())] += shift;
        }
        if (!matched) {
          throw FileError(file, lineNumber, "column 'curve': '" + std::string(curveName) +
                                                "' is not a curve of the curves file");
        }
      });
  if (scenarios.empty()) throw FileError(file, lastLine, "header only: no scenarios");
  return scenarios;
}

Summary PriceBook(std::istream& in, const std::string& file, const std::vector<CurveData>& curves,
                  const std::vector<Scenario>& scenarios, const Options& options, std::ostream& out) {
  // Beyond 100 bp a "delta" is a scenario, not a sensitivity.
  if (!(options.bump_bp > 0.0 && options.bump_bp <= 100.0)) {
    throw std::invalid_argument("bump_bp: the risk bump must be above 0 and at most 100 basis points");
  }
  std::size_t lineNumber = 0;
  std::size_t bytes = 0;
  std::string line;
  std::vector<std::string> cells;
  while (ReadLine(in, line, bytes)) {
    ++lineNumber;
    if (!Blank(line)) break;
  }
  if (Blank(line)) {
    throw FileError(file, lineNumber == 0 ? 1 : lineNumber,
                    "empty file: expected a header line starting id,type");
  }
  SplitCsv(line, cells);
  Header header = ReadHeader(cells, file);
  const std::size_t headerLine = lineNumber;

  Layout layout;
  layout.scenarios = !scenarios.empty();
  layout.dv01 = options.dv01;
  std::vector<double> keyDates;
  if (options.keyrate) {
    for (const CurveData& c : curves) keyDates.insert(keyDates.end(), c.dates.begin(), c.dates.end());
    std::sort(keyDates.begin(), keyDates.end());
    keyDates.erase(std::unique(keyDates.begin(), keyDates.end()), keyDates.end());
    for (double d : keyDates) layout.keyNames.push_back("keyrate_" + IsoDate(d));
  }
  const bool risk = options.dv01 || options.keyrate;
  std::vector<std::vector<MarketCurve>> markets;
  std::vector<std::string> scenarioNames;
  if (scenarios.empty()) {
    markets.push_back(BuildMarket(curves, keyDates, risk, options.bump_bp * kBasisPoint));
  } else {
    for (const Scenario& s : scenarios) {
      markets.push_back(BuildMarket(s.curves, keyDates, risk, options.bump_bp * kBasisPoint));
      scenarioNames.push_back(s.name);
    }
  }
  if (!options.dv01) {
    for (auto& m : markets) {
      for (MarketCurve& c : m) c.up = c.down = Curve();
    }
  }
  if (!options.keyrate) {
    for (auto& m : markets) {
      for (MarketCurve& c : m) c.keyUp.clear(), c.keyDown.clear();
    }
  }

  const bool json = options.format == OutputFormat::Json;
  // Written with the first chunk, so that a file with no trades writes nothing.
  auto writeHead = [&] {
    std::string head;
    if (json) {
      head = "[";
    } else {
      head = layout.scenarios ? "id,scenario,type,value,status,message,delta,gamma,theta"
                              : "id,type,value,status,message,delta,gamma,theta";
      if (layout.dv01) head += ",dv01";
      for (const std::string& k : layout.keyNames) head += "," + k;
      head += "\n";
    }
    out << head;
  };

  const Context ctx{&header, &curves, &markets, &scenarioNames, &layout, &options};
  unsigned threads = options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  const std::size_t chunkRows = std::max<std::size_t>(options.chunk_rows, 1);
  // Blocks small enough that a few slow trees do not leave a thread idle.
  constexpr std::size_t kBlock = 16;
  std::vector<std::string> lines(chunkRows);
  std::vector<std::size_t> numbers(chunkRows);
  std::vector<std::string> blockOut((chunkRows + kBlock - 1) / kBlock);
  struct Scratch {
    std::vector<std::string> cells;
    RowResult result;
    std::size_t failed = 0;
  };
  std::vector<Scratch> scratch(threads);

  Summary summary;
  for (;;) {
    std::size_t n = 0;
    while (n < chunkRows && ReadLine(in, lines[n], bytes)) {
      ++lineNumber;
      if (Blank(lines[n])) continue;
      numbers[n++] = lineNumber;
    }
    if (n == 0) break;
    if (summary.trades == 0) writeHead();
    const std::size_t blocks = (n + kBlock - 1) / kBlock;
    const std::size_t firstRow = summary.trades;
    std::atomic<std::size_t> next{0};
    auto work = [&](Scratch& s) {
      for (std::size_t b; (b = next.fetch_add(1)) < blocks;) {
        std::string& o = blockOut[b];
        o.clear();
        const std::size_t end = std::min(n, (b + 1) * kBlock);
        for (std::size_t i = b * kBlock; i < end; ++i) {
          s.failed += PriceLine(ctx, lines[i], numbers[i], firstRow + i == 0, s.cells, s.result, o);
        }
      }
    };
    const unsigned used = static_cast<unsigned>(std::min<std::size_t>(threads, blocks));
    std::vector<std::thread> pool;
    pool.reserve(used > 0 ? used - 1 : 0);
    for (unsigned t = 1; t < used; ++t) pool.emplace_back(work, std::ref(scratch[t]));
    work(scratch[0]);
    for (std::thread& t : pool) t.join();
    for (std::size_t b = 0; b < blocks; ++b) out.write(blockOut[b].data(), static_cast<std::streamsize>(blockOut[b].size()));
    summary.trades += n;
    if (options.progress) options.progress(summary.trades, bytes);
    if (n < chunkRows) break;
  }
  if (summary.trades == 0) throw FileError(file, headerLine, "header only: no trades");
  if (json) out << "\n]\n";
  summary.results = summary.trades * markets.size();
  for (const Scratch& s : scratch) summary.failed += s.failed;
  return summary;
}

}  // namespace lorvex::book
