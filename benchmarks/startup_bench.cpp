#include <string>
#include <vector>

#include "benchmarks/bench_support.h"
#include "benchmarks/benches.h"
#include "benchmarks/program_window.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/standin_control.h"

namespace {

// Negative when the dialog did not come up.
double SecondsToDialog(const std::string& program) {
  ProgramWindow window(program);
  return window.dialog() != NULL ? window.seconds_to_dialog() : -1;
}

}  // namespace

void Startup() {
  const int kRuns = 31;
  ScratchDirectory scratch;
  ScopedEnvironment served("WMISTANDIN_INSTANCES", "800");
  // The first start of each reads its files from disk; later ones from the cache.
  SecondsToDialog("lumoradine.exe");
  SecondsToDialog("bare_dialog.exe");
  std::vector<double> program, bare;
  for (int run = 0; run < kRuns; ++run) {
    program.push_back(SecondsToDialog("lumoradine.exe"));
    bare.push_back(SecondsToDialog("bare_dialog.exe"));
    if (program.back() < 0 || bare.back() < 0)
      return PrintRow("start-up", "a dialog did not come up", "ratio <= 1.2", "missed");
  }
  const double ratio = Median(program) / Median(bare);
  PrintRow("start-up",
           Format("%.2f (%.0f ms to the dialog vs %.0f ms for a bare one)", ratio,
                  Median(program) * 1e3, Median(bare) * 1e3),
           "ratio <= 1.2", Verdict(ratio <= 1.2));
}
