// lorvex: prices from the command line with the library's exports.
#include <fmt/core.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

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

// Edits (insertions, deletions, substitutions, swaps of neighbours) that
// turn a into b.
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The subcommand closest to a word that names none.
std::string NearestCommand(const CLI::App& app, const std::string& word) {
  std::string best;
  std::size_t bestDistance = 0;
  for (const CLI::App* command : app.get_subcommands({})) {
    const std::size_t distance = EditDistance(word, command->get_name());
    if (best.empty() || distance < bestDistance) {
      best = command->get_name();
      bestDistance = distance;
    }
  }
  return best;
}

// The calculation a command line names, for the error object: the
// subcommand with underscores, as the C++ API spells it.
std::string FunctionOf(const CLI::App& app, int argc, char** argv) {
  if (argc < 2) return "";
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->get_name() == argv[1]) {
      std::string name = argv[1];
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    }
  }
  return "";
}

}  // namespace
}  // namespace lorvex_cli

int main(int argc, char** argv) {
  using namespace lorvex_cli;
  CLI::App app{"lorvex: interest-rate and equity derivative pricing"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "lorvex " LORVEX_CLI_VERSION);
  int exitCode = 0;
  for (const CommandFamily& family : Families()) family.registerCommands(app, exitCode);

  std::string demoValuation = "2000-01-01";
  auto* demo = app.add_subcommand("demo", "price the built-in sample book with every export");
  demo->add_option("--valuation", demoValuation, "valuation date")->capture_default_str();
  demo->callback([&] { exitCode = RunDemo(demoValuation); });

  // A word where the subcommand belongs that names none: say which was meant
  // rather than CLI11's "not expected".
  if (argc >= 2 && argv[1][0] != '-') {
    const std::string word = argv[1];
    const auto commands = app.get_subcommands({});
    if (std::none_of(commands.begin(), commands.end(), [&](const CLI::App* c) { return c->get_name() == word; })) {
      fmt::print(stderr, "lorvex: unknown command \"{}\"; did you mean \"{}\"? (lorvex --help lists them)\n", word,
                 NearestCommand(app, word));
      return kExitInput;
    }
  }
  const bool json = std::any_of(argv + 1, argv + argc, [](const char* a) { return std::strcmp(a, "--json") == 0; });
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const std::exception& e) {
    // Bad options, unreadable or ill-formed files, an output that cannot be
    // written: nothing was priced.
    if (json) fmt::print("{}\n", InputErrorJson(FunctionOf(app, argc, argv), e.what()));
    fmt::print(stderr, "lorvex: {}\n", e.what());
    if (dynamic_cast<const CLI::ParseError*>(&e) != nullptr && argc >= 2 && argv[1][0] != '-') {
      fmt::print(stderr, "run lorvex {} --help for its options\n", argv[1]);
    }
    return kExitInput;
  }
  return exitCode;
}
