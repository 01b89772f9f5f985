// Drawing into the setup window while the install runs.
#pragma once

// Repaints the install-path page at once (nothing in the silent install).
void RepaintInstallPathPage();

// Draws the progress bar, done of total (nothing in the silent install).
void DrawProgress(int done, int total);

#include <windows.h>

// The five pages, each painted whole into the device context.
void PaintLoadingPage(HDC dc);
void PaintSiteAddressPage(HDC dc);
void PaintInstallPathPage(HDC dc);
void PaintWorkingPage(HDC dc);
void PaintFinishedPage(HDC dc);
