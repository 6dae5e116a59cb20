// lorvex price-book: a whole book of trades from a CSV file, with risk and
// scenarios, through the book engine.
#include <fmt/core.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "book/book.h"
#include "cli.h"

namespace lorvex_cli {
namespace {

struct PriceBookOptions {
  std::string trades;
  std::string curves;
  std::string valuation;
  std::string out;
  bool json = false;
  unsigned threads = 0;
  std::vector<std::string> risk;
  double bumpBp = 1.0;
  std::string scenarios;
  bool progress = false;
  bool noProgress = false;
};

// Rows, rate and time left on one line of stderr, redrawn at most a few
// times a second; the time left is read off the bytes still to read.
class ProgressBar {
 public:
  explicit ProgressBar(std::size_t totalBytes) : total_(totalBytes), start_(Clock::now()) {}
  void Update(std::size_t rows, std::size_t bytes, bool last = false) {
    const auto now = Clock::now();
    if (!last && now - drawn_ < std::chrono::milliseconds(200)) return;
    drawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(rows) / seconds : 0.0;
    const double done = total_ > 0 ? std::min(1.0, static_cast<double>(bytes) / static_cast<double>(total_)) : 0.0;
    const double left = done > 0 ? seconds * (1.0 - done) / done : 0.0;
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(done * kWidth);
    fmt::print(stderr, "\r[{}{}] {:3.0f}%  {} trades  {:.0f}/s  {:.0f} s left ", std::string(static_cast<std::size_t>(filled), '#'),
               std::string(static_cast<std::size_t>(kWidth - filled), ' '), 100 * done, rows, rate, left);
    if (last) fmt::print(stderr, "\n");
  }

 private:
  using Clock = std::chrono::steady_clock;
  std::size_t total_;
  Clock::time_point start_;
  Clock::time_point drawn_{};
};

std::ifstream OpenInput(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot open for reading");
  return in;
}

int RunPriceBook(const PriceBookOptions& o) {
  using namespace lorvex::book;
  Options options;
  try {
    options.valuation = ParseDateCell(o.valuation, "valuation");
  } catch (const lorvex::Error& e) {
    fmt::print(stderr, "lorvex price-book: --{}\n", e.what());
    return 2;
  }
  options.threads = o.threads;
  options.bump_bp = o.bumpBp;
  options.format = o.json ? OutputFormat::Json : OutputFormat::Csv;
  for (const std::string& r : o.risk) {
    if (r == "dv01") {
      options.dv01 = true;
    } else if (r == "keyrate") {
      options.keyrate = true;
    } else {
      fmt::print(stderr, "lorvex price-book: --risk: '{}' is not dv01 or keyrate\n", r);
      return 2;
    }
  }
  try {
    std::ifstream curvesIn = OpenInput(o.curves);
    const std::vector<CurveData> curves = ReadCurves(curvesIn, o.curves);
    std::vector<Scenario> scenarios;
    if (!o.scenarios.empty()) {
      std::ifstream scenariosIn = OpenInput(o.scenarios);
      scenarios = ReadScenarios(scenariosIn, o.scenarios, curves);
    }
    std::ifstream tradesIn = OpenInput(o.trades);
    tradesIn.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(std::max<std::streamoff>(0, tradesIn.tellg()));
    tradesIn.seekg(0);

    // A bar for books that take more than a moment, on a terminal only.
    constexpr std::size_t kLargeBook = 4u << 20;
    const bool bar = o.progress || (!o.noProgress && isatty(STDERR_FILENO) && size >= kLargeBook);
    ProgressBar progress(size);
    if (bar) options.progress = [&](std::size_t rows, std::size_t bytes) { progress.Update(rows, bytes); };

    std::ofstream file;
    if (!o.out.empty()) {
      file.open(o.out, std::ios::binary);
      if (!file) throw std::runtime_error(o.out + ": cannot open for writing");
    }
    std::ostream& out = o.out.empty() ? std::cout : file;
    std::vector<char> buffer(1 << 20);
    out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const Summary s = PriceBook(tradesIn, o.trades, curves, scenarios, options, out);
    out.flush();
    if (bar) progress.Update(s.trades, size, true);
    if (!out) throw std::runtime_error((o.out.empty() ? "stdout" : o.out) + ": write failed");
    if (!o.out.empty() || s.failed > 0) {
      fmt::print(stderr, "lorvex price-book: {} trades, {} results, {} failed{}\n", s.trades, s.results,
                 s.failed, o.out.empty() ? "" : ", written to " + o.out);
    }
    // The book was priced: failed rows carry their own status, so the
    // command succeeds.
    return 0;
  } catch (const std::exception& e) {
    fmt::print(stderr, "lorvex price-book: {}\n", e.what());
    return 2;
  }
}

void RegisterPriceBook(CLI::App& app, int& exitCode) {
  static PriceBookOptions o;
  auto* cmd = app.add_subcommand("price-book", "price a book of trades from a CSV file, with risk and scenarios");
  cmd->add_option("trades", o.trades, "trades CSV: id,type, then the argument columns")->required();
  cmd->add_option("--curves", o.curves, "curves CSV: curve,date,rate")->required();
  cmd->add_option("--valuation", o.valuation, "valuation date, ISO or serial")->required();
  cmd->add_option("--out", o.out, "results file (default: stdout)");
  cmd->add_flag("--json", o.json, "write a JSON array of result objects instead of CSV");
  cmd->add_option("--threads", o.threads, "threads (default: every core)");
  cmd->add_option("--risk", o.risk, "dv01, keyrate or both (dv01,keyrate)")->delimiter(',');
  cmd->add_option("--bump-bp", o.bumpBp,
                  "risk bump in basis points, results per 1 bp (default 1; 0.01 for a tree's own slope)");
  cmd->add_option("--scenarios", o.scenarios, "scenarios CSV: scenario,curve,date,shift_bp");
  cmd->add_flag("--progress", o.progress, "show the progress bar even when stderr is not a terminal");
  cmd->add_flag("--no-progress", o.noProgress, "never show the progress bar");
  cmd->callback([&exitCode] { exitCode = RunPriceBook(o); });
}

void NoDemoRows(std::vector<DemoRow>&, std::int32_t) {}

const bool registered = RegisterFamily({90, RegisterPriceBook, NoDemoRows});

}  // namespace
}  // namespace lorvex_cli
