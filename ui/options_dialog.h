// The options dialog: status-window mode and skin.
#pragma once

#include <windows.h>

// Control identifiers of the PYKEY/PYKEYB templates.
constexpr int kIdTwoLineWindow = 101;
constexpr int kIdOneLineWindow = 102;
constexpr int kIdDoubleWindow = 106;
constexpr int kIdWinStyleWindow = 107;
constexpr int kIdCoolPorcelain = 110;
constexpr int kIdPinkPorcelain = 111;
constexpr int kIdLittleAngel = 112;
constexpr int kIdOptionsOk = 105;

// Handler of the modal options dialog. On 确定 it stores the choices in
// g_run.statusWindowMode (1 to 4) and g_run.skinChoice (1 to 3) and ends the
// dialog; it has no other way out.
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
