#include "benchmarks/template_dialog.h"

#include "app/resource.h"
#include "tests/support/scratch_directory.h"

namespace {

INT_PTR CALLBACK IdleDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

}  // namespace

TemplateDialog::TemplateDialog()
    : program_(LoadLibraryExA(BinaryPath("lumoradine.exe").c_str(), NULL,
                              LOAD_LIBRARY_AS_DATAFILE)),
      dialog_(program_ != NULL ? CreateDialogParamA(program_, MAKEINTRESOURCEA(IDD_MAIN), NULL,
                                                    IdleDialogProc, 0)
                               : NULL),
      list_(dialog_ != NULL ? GetDlgItem(dialog_, IDC_LIST) : NULL) {
  Pump();
}

TemplateDialog::~TemplateDialog() {
  if (dialog_ != NULL) DestroyWindow(dialog_);
  if (program_ != NULL) FreeLibrary(program_);
}

void TemplateDialog::Insert(const std::string& line) const {
  SendMessageA(list_, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TemplateDialog::HoldRedraw(bool hold) const {
  SendMessageA(list_, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
  if (!hold) InvalidateRect(list_, NULL, TRUE);
}

void TemplateDialog::Pump() const {
  MSG message;
  for (int i = 0; i < 10000 && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE); ++i)
    DispatchMessageA(&message);
}
