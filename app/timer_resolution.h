#pragma once

#include <windows.h>

#include <mmsystem.h>

// Raises the system timer's resolution to 1 ms for the object's lifetime, for
// one burst of traces. Without it, Windows 10 2004 and later let a Sleep(1)
// run to the next tick of the default 15.6 ms timer. Never held while idle:
// a raised timer costs power.
class TimerResolutionHold {
 public:
  TimerResolutionHold() : raised_(timeBeginPeriod(kPeriod) == TIMERR_NOERROR) {}
  // Only a raise that was granted is ended: an unmatched end would undo someone else's.
  ~TimerResolutionHold() {
    if (raised_) timeEndPeriod(kPeriod);
  }
  TimerResolutionHold(const TimerResolutionHold&) = delete;
  TimerResolutionHold& operator=(const TimerResolutionHold&) = delete;

 private:
  static const UINT kPeriod = 1;
  bool raised_;
};
