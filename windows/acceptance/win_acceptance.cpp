// Acceptance of a Lorvex DLL under real OLE Automation.
//
//   Lorvex_acceptance.exe DLL [LINUX_VALUES]
//
// Loads the DLL, resolves every export both by name and by ordinal (they must
// be the same function), runs the shared acceptance cases with arrays made by
// the system's SafeArrayCreate, and, given the values the Linux build
// computed for the same cases, requires agreement to 1e-12 relative.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "acceptance.h"

namespace {

bool Resolve(HMODULE dll, acceptance::Api& api, int& failures) {
  bool ok = true;
#define LORVEX_RESOLVE(name, ordinal, bytes)                                                   \
  {                                                                                            \
    FARPROC byName = GetProcAddress(dll, #name);                                               \
    FARPROC byOrdinal = GetProcAddress(dll, MAKEINTRESOURCEA(ordinal));                        \
    if (byName == nullptr || byName != byOrdinal) {                                            \
      std::printf("FAIL export %s: by name %p, by ordinal %d %p\n", #name,                     \
                  reinterpret_cast<void*>(byName), ordinal, reinterpret_cast<void*>(byOrdinal)); \
      ++failures;                                                                              \
      ok = false;                                                                              \
    } else {                                                                                   \
      api.name = reinterpret_cast<decltype(api.name)>(reinterpret_cast<void*>(byName));        \
    }                                                                                          \
  }
  LORVEX_EXPORT_LIST(LORVEX_RESOLVE)
#undef LORVEX_RESOLVE
  return ok;
}

std::vector<std::vector<double>> ReadValues(const char* path) {
  std::vector<std::vector<double>> rows;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::size_t n = 0;
    fields >> n;
    std::vector<double> row(n);
    for (std::size_t i = 0; i < n; ++i) {
      std::string token;
      fields >> token;
      row[i] = std::strtod(token.c_str(), nullptr);  // also reads nan and inf
    }
    rows.push_back(row);
  }
  return rows;
}

bool SameValue(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  if (a == b) return true;
  return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: %s DLL [LINUX_VALUES]\n", argv[0]);
    return 2;
  }
  HMODULE dll = LoadLibraryA(argv[1]);
  if (dll == nullptr) {
    std::printf("FAIL cannot load %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  int passed = 0;
  int failures = 0;
  acceptance::Api api;
  if (!Resolve(dll, api, failures)) {
    std::printf("%d passed, %d failed\n", passed, failures);
    return 1;
  }
  ++passed;  // every export resolved, by name and by ordinal alike

  const auto outcomes = acceptance::RunAll(api);
  std::vector<std::vector<double>> linux;
  if (argc > 2) linux = ReadValues(argv[2]);
  if (argc > 2 && linux.size() != outcomes.size()) {
    std::printf("FAIL the Linux values hold %zu cases, this program %zu\n", linux.size(),
                outcomes.size());
    ++failures;
  }
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const auto& o = outcomes[i];
    bool ok = o.passed;
    std::string detail = o.detail;
    if (ok && i < linux.size()) {
      if (linux[i].size() != o.values.size()) {
        ok = false;
        detail = "a different number of values than on Linux";
      }
      for (std::size_t k = 0; ok && k < o.values.size(); ++k) {
        if (!SameValue(o.values[k], linux[i][k])) {
          ok = false;
          char buffer[160];
          std::snprintf(buffer, sizeof buffer, "value %zu: %.17g here, %.17g on Linux", k,
                        o.values[k], linux[i][k]);
          detail = buffer;
        }
      }
    }
    if (ok) {
      ++passed;
    } else {
      ++failures;
      std::printf("FAIL %s: %s\n", o.name.c_str(), detail.c_str());
    }
  }
  FreeLibrary(dll);
  std::printf("%s: %zu cases\n", argv[1], outcomes.size());
  std::printf("%d passed, %d failed\n", passed, failures);
  return failures == 0 ? 0 : 1;
}
