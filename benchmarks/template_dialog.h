#pragma once

#include <windows.h>

#include <string>

// The program's own dialog template, read from lumoradine.exe as data and
// shown in this process with a procedure that does nothing: the program's
// list without the program, to time and weigh what the list itself costs.
class TemplateDialog {
 public:
  TemplateDialog();
  ~TemplateDialog();

  // NULL when the template could not be had.
  HWND dialog() const { return dialog_; }
  HWND list() const { return list_; }

  // Inserts a line at the top, as the program does.
  void Insert(const std::string& line) const;

  // WM_SETREDRAW FALSE while held; let go, the whole list is drawn anew.
  void HoldRedraw(bool hold) const;

  // Handles what is queued, painting included, as an idle program would.
  void Pump() const;

  // One dialog, one owner: it is destroyed once.
  TemplateDialog(const TemplateDialog&) = delete;
  TemplateDialog& operator=(const TemplateDialog&) = delete;

 private:
  HMODULE program_;
  HWND dialog_;
  HWND list_;
};
