// lorvex: prices from the command line with the library's exports.
#include <fmt/core.h>

#include <algorithm>
#include <cmath>

#include "cli.h"

namespace lorvex_cli {

namespace {

int RunDemo(const std::string& valuation) {
  const std::int32_t serial = ParseDate(valuation);
  std::vector<DemoRow> book;
  for (const CommandFamily& family : Families()) family.addDemoRows(book, serial);

  fmt::print("Lorvex demo book, valuation {} (serial {}), built-in sample zero curve\n\n",
             FormatSerial(serial), serial);
  std::size_t wi = 10, wt = 9, wf = 8;
  for (const DemoRow& r : book) {
    wi = std::max(wi, r.instrument.size());
    wt = std::max(wt, r.terms.size());
    wf = std::max(wf, r.function.size());
  }
  fmt::print("{:<{}}  {:<{}}  {:<{}}  {:>14}  {:>6}\n", "instrument", wi, "key terms", wt,
             "function", wf, "value", "status");
  fmt::print("{}\n", std::string(wi + wt + wf + 14 + 6 + 8, '-'));
  int failures = 0;
  for (const DemoRow& r : book) {
    fmt::print("{:<{}}  {:<{}}  {:<{}}  {:>14.7f}  {:>6}\n", r.instrument, wi, r.terms, wt,
               r.function, wf, r.value, r.status);
    if (r.status != 0) ++failures;
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace lorvex_cli

int main(int argc, char** argv) {
  using namespace lorvex_cli;
  CLI::App app{"lorvex: interest-rate and equity derivative pricing"};
  app.require_subcommand(1);
  int exitCode = 0;
  for (const CommandFamily& family : Families()) family.registerCommands(app, exitCode);

  std::string demoValuation = "2000-01-01";
  auto* demo = app.add_subcommand("demo", "price the built-in sample book with every export");
  demo->add_option("--valuation", demoValuation, "valuation date")->capture_default_str();
  demo->callback([&] { exitCode = RunDemo(demoValuation); });

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const std::exception& e) {
    fmt::print(stderr, "lorvex: {}\n", e.what());
    return 2;
  }
  return exitCode;
}
