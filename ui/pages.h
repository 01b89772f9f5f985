// The pages of the setup window, each painted whole into a device context,
// and the drawing done straight into the setup window while the install
// runs.
#pragma once

#include <windows.h>

// Page 0: the picture from the payload, the product's question and version.
void PaintLoadingPage(HDC dc);
// Pages 1 to 4: the two web-site addresses.
void PaintSiteAddressPage(HDC dc);
// Pages 5 and 6: the install path.
void PaintInstallPathPage(HDC dc);
// Page 7: the install is running; no buttons are drawn.
void PaintWorkingPage(HDC dc);
// Pages 8 and 9: done; the name box to try the new IME in, which it
// switches the program to.
void PaintFinishedPage(HDC dc);

// Repaints the install-path page at once (nothing in the silent install).
void RepaintInstallPathPage();

// Draws the progress bar, done of total (nothing in the silent install).
void DrawProgress(int done, int total);

