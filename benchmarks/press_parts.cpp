// What a press spends beyond its pauses, timed alone on the program's own
// template in this process: the click, and a line put into the list as the
// program puts it, with and without the list redrawn at every line.
#include "app/resource.h"
#include "benchmarks/bench_support.h"
#include "benchmarks/benches.h"
#include "benchmarks/template_dialog.h"

namespace {

const int kCalls = 64;

double SecondsPerClick(const TemplateDialog& dialog) {
  HWND button = GetDlgItem(dialog.dialog(), IDC_GET);
  const double start = Now();
  for (int i = 0; i < kCalls; ++i) SendMessageA(button, BM_CLICK, 0, 0);
  return (Now() - start) / kCalls;
}

// Painting that the list only asks for happens after the press, so it is
// left out; what the list draws at once, its scroll bar, is counted.
double SecondsPerLine(const TemplateDialog& dialog, bool hold_redraw) {
  const double start = Now();
  if (hold_redraw) dialog.HoldRedraw(true);
  for (int i = 0; i < kCalls; ++i) dialog.Insert(Format("Lumoradine(%d):%d", i, 1000 + i));
  if (hold_redraw) dialog.HoldRedraw(false);
  return (Now() - start) / kCalls;
}

void PrintPart(const char* name, double seconds, double pause) {
  PrintRow(Format("press part: %s", name),
           Format("%.0f us (%.2f of a pause)", seconds * 1e6, seconds / pause), "-", "-");
}

}  // namespace

void PressParts() {
  TemplateDialog dialog;
  if (dialog.list() == NULL) return PrintRow("press part", "no template", "-", "-");
  // More lines than the list shows, so that its scroll bar is up, as in use.
  for (int i = 0; i < 20; ++i) dialog.Insert("Lumoradine(0):800");
  dialog.Pump();
  const double pause = SecondsToPause(kCalls) / kCalls;
  PrintPart("the click alone, no handler", SecondsPerClick(dialog), pause);
  dialog.Pump();
  PrintPart("a line into the list, redrawn", SecondsPerLine(dialog, false), pause);
  dialog.Pump();
  PrintPart("a line into the list, redraw held for 64", SecondsPerLine(dialog, true), pause);
  dialog.Pump();
}
