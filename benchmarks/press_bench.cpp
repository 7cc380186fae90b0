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
#include "tests/support/trace_messages.h"
#include "trace/trace.h"

namespace {

double SecondsToPress(HWND dialog) {
  const double start = Now();
  PressGet(dialog);
  return Now() - start;
}

// Message `number` of what a press traces: the query's start, then one line an
// instance, through the program's own Trace into the same trace.log.
void TraceAsAPress(int number) {
  static const std::string start = kQueryStartLine.substr(0, kQueryStartLine.size() - 2);
  if (number == 0) return Trace("%s\n", start.c_str());
  Trace("Lumoradine(%d):%u\n", number - 1, 1000u + static_cast<unsigned>(number - 1));
}

struct PressCase {
  int instances;
  bool targeted;  // the case the targets speak of
};

const PressCase kCases[] = {
    {1, false},
    {16, false},
    {64, true},
    {256, false},
};

// "ratio <= LIMIT", or "-" for a figure with no target (a limit of 0).
std::string RatioTarget(double limit) { return limit > 0 ? Format("ratio <= %.3g", limit) : "-"; }

// The median press against the median of a floor timed beside it.
void PrintAgainst(const std::string& figure, const std::vector<double>& press,
                  const std::vector<double>& floor, const std::string& floor_name, double limit) {
  const double ratio = Median(press) / Median(floor);
  PrintRow(figure,
           Format("%.2f (%.1f ms a press vs %.1f ms of %s)", ratio, Median(press) * 1e3,
                  Median(floor) * 1e3, floor_name.c_str()),
           RatioTarget(limit), limit > 0 ? Verdict(ratio <= limit) : "-");
}

void PressCostFor(const PressCase& how) {
  const int instances = how.instances, messages = instances + 1;
  const std::string figure = Format("press, N = %d", instances);
  const double limit = how.targeted ? 1.2 : 0;
  ScratchDirectory scratch;
  ScopedEnvironment served("WMISTANDIN_INSTANCES", InstanceList(instances).c_str());
  ProgramWindow program("lumoradine.exe");
  if (program.dialog() == NULL) return PrintRow(figure, "no dialog", RatioTarget(limit), "missed");

  // About a second of presses, and never fewer than five to take the middle of.
  const int presses = instances >= 200 ? 5 : 1000 / messages + 5;
  std::vector<double> press, pause, traces;
  for (int i = 0; i < presses; ++i) {
    press.push_back(SecondsToPress(program.dialog()));
    pause.push_back(SecondsToPause(messages));
    // The fair floor: what the press must trace, into the same trace.log.
    if (how.targeted) traces.push_back(SecondsToCall(messages, TraceAsAPress));
  }
  const int lines = ListCount(program.dialog());
  if (lines != presses * instances)
    return PrintRow(figure, Format("%d lines after %d presses", lines, presses), RatioTarget(limit),
                    "missed");
  PrintAgainst(figure, press, pause, Format("%d pauses", messages), limit);
  if (how.targeted)
    PrintAgainst(Format("press at N = %d against %d whole Trace calls", instances, messages), press,
                 traces, Format("%d Trace calls", messages), 1.05);
}

}  // namespace

void PressCost() {
  for (const PressCase& how : kCases) PressCostFor(how);
  PressParts();
}
