// A press of "取得" as the driver makes it: SendMessage returns once the
// dialog has handled the click, so its time is the handler's, query and all.
#include <string>
#include <vector>

#include "app/resource.h"
#include "benchmarks/bench_support.h"
#include "benchmarks/benches.h"
#include "benchmarks/program_window.h"
#include "driver/dialog_driver.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/standin_control.h"

namespace {

double SecondsToPress(HWND dialog) {
  const double start = Now();
  PressGet(dialog);
  return Now() - start;
}

struct PressCase {
  int instances;
  bool targeted;  // the case the target speaks of
};

const PressCase kCases[] = {
    {1, false},
    {16, false},
    {64, true},
    {256, false},
};

void PressCostFor(const PressCase& how) {
  const int instances = how.instances;
  const std::string figure = Format("press, N = %d", instances);
  const std::string target = how.targeted ? "ratio <= 1.2" : "-";
  ScratchDirectory scratch;
  ScopedEnvironment served("WMISTANDIN_INSTANCES", InstanceList(instances).c_str());
  ProgramWindow program("lumoradine.exe");
  if (program.dialog() == NULL) return PrintRow(figure, "no dialog", target, "missed");

  // About a second of presses, and never fewer than five to take the middle of.
  const int presses = instances >= 200 ? 5 : 1000 / (instances + 1) + 5;
  std::vector<double> press, pause;
  for (int i = 0; i < presses; ++i) {
    press.push_back(SecondsToPress(program.dialog()));
    pause.push_back(SecondsToPause(instances + 1));
  }
  const int lines = ListCount(program.dialog());
  if (lines != presses * instances)
    return PrintRow(figure, Format("%d lines after %d presses", lines, presses), target, "missed");
  const double ratio = Median(press) / Median(pause);
  PrintRow(figure,
           Format("%.2f (%.1f ms a press vs %.1f ms of %d pauses)", ratio, Median(press) * 1e3,
                  Median(pause) * 1e3, instances + 1),
           target, how.targeted ? Verdict(ratio <= 1.2) : "-");
}

}  // namespace

void PressCost() {
  for (const PressCase& how : kCases) PressCostFor(how);
  PressParts();
}
