#include "ui/options_dialog.h"

INT_PTR CALLBACK OptionsDialogProc(HWND, UINT, WPARAM, LPARAM) {
  // The dialog's templates and behaviour come with the setup window's
  // pages; until then the dialog cannot be shown and both choices keep
  // their default of 1.
  return FALSE;
}
