#include "ui/options_dialog.h"

#include "driver/run_state.h"

namespace {

// One flag per radio button while the dialog is open; exactly one of each
// set is 1.
struct OptionsSelection {
  unsigned char twoLineWindow;
  unsigned char oneLineWindow;
  unsigned char doubleWindow;
  unsigned char winStyleWindow;
  unsigned char coolPorcelain;
  unsigned char pinkPorcelain;
  unsigned char littleAngel;
};

OptionsSelection g_selection;

void SelectMode(int id) {
  g_selection.twoLineWindow = id == kIdTwoLineWindow;
  g_selection.oneLineWindow = id == kIdOneLineWindow;
  g_selection.doubleWindow = id == kIdDoubleWindow;
  g_selection.winStyleWindow = id == kIdWinStyleWindow;
}

void SelectSkin(int id) {
  g_selection.coolPorcelain = id == kIdCoolPorcelain;
  g_selection.pinkPorcelain = id == kIdPinkPorcelain;
  g_selection.littleAngel = id == kIdLittleAngel;
}

// All seven buttons sit in one radio group, so the button control unchecks
// the other set on every click; this puts both selections back.
void RefreshOptionChecks(HWND dialog) {
  const struct {
    int id;
    unsigned char flag;
  } buttons[] = {
      {kIdTwoLineWindow, g_selection.twoLineWindow}, {kIdOneLineWindow, g_selection.oneLineWindow},
      {kIdDoubleWindow, g_selection.doubleWindow},   {kIdWinStyleWindow, g_selection.winStyleWindow},
      {kIdCoolPorcelain, g_selection.coolPorcelain}, {kIdPinkPorcelain, g_selection.pinkPorcelain},
      {kIdLittleAngel, g_selection.littleAngel},
  };
  for (const auto& b : buttons) {
    SendDlgItemMessageA(dialog, b.id, BM_SETCHECK, b.flag ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

unsigned char EncodeStatusWindowMode() {
  if (g_selection.twoLineWindow) return 1;
  if (g_selection.oneLineWindow) return 2;
  if (g_selection.doubleWindow) return 3;
  if (g_selection.winStyleWindow) return 4;
  return 1;
}

unsigned char EncodeSkinChoice() {
  if (g_selection.coolPorcelain) return 1;
  if (g_selection.pinkPorcelain) return 2;
  if (g_selection.littleAngel) return 3;
  return 1;
}

// Puts the dialog on the setup window's top-left corner, keeping its size.
// Without a setup window (or one that is gone) the dialog stays where the
// dialog manager put it rather than moving to a rectangle never read.
void MoveToSetupWindow(HWND dialog) {
  RECT owner;
  if (g_run.setupWindow == nullptr || !GetWindowRect(g_run.setupWindow, &owner)) return;
  SetWindowPos(dialog, nullptr, owner.left, owner.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    MoveToSetupWindow(dialog);
    SelectMode(kIdTwoLineWindow);
    SelectSkin(kIdCoolPorcelain);
    RefreshOptionChecks(dialog);
    return FALSE;  // no default focus
  }
  if (message != WM_COMMAND) return FALSE;

  // The notification code is not looked at: any command from a button counts.
  const int id = LOWORD(wParam);
  switch (id) {
    case kIdTwoLineWindow:
    case kIdOneLineWindow:
    case kIdDoubleWindow:
    case kIdWinStyleWindow:
      SelectMode(id);
      break;
    case kIdCoolPorcelain:
    case kIdPinkPorcelain:
    case kIdLittleAngel:
      SelectSkin(id);
      break;
    case kIdOptionsOk:
      g_run.statusWindowMode = EncodeStatusWindowMode();
      g_run.skinChoice = EncodeSkinChoice();
      EndDialog(dialog, 0);
      return TRUE;
    default:
      // Esc, the close box and Alt+F4 arrive here as IDCANCEL: the choice
      // is made with 确定 only.
      return FALSE;
  }
  RefreshOptionChecks(dialog);
  return FALSE;
}
