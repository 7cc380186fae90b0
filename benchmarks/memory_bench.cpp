// What 999 presses add to the program: beyond what the list's new lines
// hold, a leak. Two controls tell the two apart: the same presses with the
// list emptied after each, and the same lines in the same list in the bench.
#include <string>
#include <vector>

#include "app/resource.h"
#include "benchmarks/bench_support.h"
#include "benchmarks/benches.h"
#include "benchmarks/process_usage.h"
#include "benchmarks/program_window.h"
#include "benchmarks/template_dialog.h"
#include "driver/dialog_driver.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/standin_control.h"

namespace {

const int kPresses = 1000;
const char* const kLines[] = {"Lumoradine(0):800", "Lumoradine(1):900", "Lumoradine(2):1000",
                              "Lumoradine(3):1100"};
const char kInstances[] = "800,900,1000,1100";

struct PressRun {
  int presses = 0;
  ProcessUsage first = {}, last = {};  // after the first press and after the last
  double text_bytes = 0;               // what the list's lines are at the end
};

// What the list's lines hold as the list keeps them: UTF-16, terminated.
double ListTextBytes(HWND dialog) {
  double bytes = 0;
  for (const std::wstring& line : ReadList(dialog)) bytes += (line.size() + 1) * sizeof(wchar_t);
  return bytes;
}

// kPresses presses in a program of its own; with empty_list the list is
// emptied after each, so that what still grows is the program's own.
PressRun RunPresses(bool empty_list) {
  PressRun run;
  ScratchDirectory scratch;
  ScopedEnvironment served("WMISTANDIN_INSTANCES", kInstances);
  ProgramWindow program("lumoradine.exe");
  HWND dialog = program.dialog();
  if (dialog == NULL) return run;
  const double deadline = Now() + 90;
  for (; run.presses < kPresses && Now() < deadline; ++run.presses) {
    PressGet(dialog);
    if (empty_list) SendMessageW(GetDlgItem(dialog, IDC_LIST), LB_RESETCONTENT, 0, 0);
    if (run.presses == 0) run.first = UsageOf(program.process());
  }
  Settle(dialog);
  run.last = UsageOf(program.process());
  run.text_bytes = ListTextBytes(dialog);
  return run;
}

double GrowthPerPress(const PressRun& run) {
  return (static_cast<double>(run.last.private_bytes) - run.first.private_bytes) /
         (run.presses - 1);
}

bool Complete(const PressRun& run) {
  return run.presses == kPresses && run.first.private_bytes != 0 && run.first.handles != 0;
}

// The same lines put into the same list here, press by press: what the
// list itself needs for them, with no program around it.
double ListBytesPerPress() {
  TemplateDialog dialog;
  if (dialog.list() == NULL) return 0;
  for (const char* line : kLines) dialog.Insert(line);
  dialog.Pump();
  const SIZE_T before = UsageOf(GetCurrentProcess()).private_bytes;
  // Held off, redrawing would take a minute and weighs nothing.
  dialog.HoldRedraw(true);
  for (int press = 1; press < kPresses; ++press)
    for (const char* line : kLines) dialog.Insert(line);
  dialog.HoldRedraw(false);
  dialog.Pump();
  return (static_cast<double>(UsageOf(GetCurrentProcess()).private_bytes) - before) /
         (kPresses - 1);
}

void PrintGrowth(const std::string& figure, const PressRun& kept) {
  const double growth = GrowthPerPress(kept), text = kept.text_bytes / kPresses;
  PrintRow(
      figure,
      Format("%.0f / %.0f KiB: %.0f bytes a press vs %.0f of list text",
             kept.first.private_bytes / 1024.0, kept.last.private_bytes / 1024.0, growth, text),
      "growth <= list text", Verdict(growth <= text));
}

// Emulated, a process's memory is mostly the emulator's: no figure of the program's.
void PrintUnmeasurable(const std::string& figure, const std::string& target) {
  PrintRow(figure, "emulator's memory", target, "not measurable under emulation");
}

}  // namespace

void Memory() {
  const std::string memory = "private bytes, 1 / 1000 presses";
  const PressRun kept = RunPresses(false);
  if (!Complete(kept)) return PrintRow(memory, "presses or figures failed", "-", "missed");
  const bool emulated = RunsEmulated();
  if (emulated)
    PrintUnmeasurable(memory, "growth <= list text");
  else
    PrintGrowth(memory, kept);
  // The server counts handles, and it runs natively either way.
  PrintRow("handles, 1 / 1000 presses", Format("%lu / %lu", kept.first.handles, kept.last.handles),
           "no growth", Verdict(kept.last.handles <= kept.first.handles));

  const std::string emptied_figure = "memory part: presses, list emptied after each";
  const std::string list_figure = "memory part: the same lines in the list, in the bench";
  if (emulated) {
    PrintUnmeasurable(emptied_figure, "-");
    return PrintUnmeasurable(list_figure, "-");
  }
  const PressRun emptied = RunPresses(true);
  PrintRow(emptied_figure,
           Complete(emptied) ? Format("%.0f bytes a press", GrowthPerPress(emptied)) : "failed",
           "-", "-");
  PrintRow(list_figure, Format("%.0f bytes a press", ListBytesPerPress()), "-", "-");
}
