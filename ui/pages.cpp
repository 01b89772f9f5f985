#include "ui/pages.h"

// The pages are drawn by the setup window; until its painters exist the
// install runs without drawing, as the silent install always does.
void RepaintInstallPathPage() {}

void DrawProgress(int, int) {}

// Stand-ins until the painters land.
void PaintLoadingPage(HDC) {}
void PaintSiteAddressPage(HDC) {}
void PaintInstallPathPage(HDC) {}
void PaintWorkingPage(HDC) {}
void PaintFinishedPage(HDC) {}
