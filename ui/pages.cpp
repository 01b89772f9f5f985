#include "ui/pages.h"

#include "driver/run_state.h"
#include "imereg/preload.h"
#include "resources/texts.h"
#include "ui/gdi_holders.h"
#include "ui/paint_tools.h"
#include "ui/window_objects.h"

namespace {

constexpr char kPictureMember[] = "vemo1.bmp";
// The picture's part shown on the loading page.
constexpr int kPictureWidth = 400;
constexpr int kPictureHeight = 190;
constexpr int kProgressBarTop = 3;  // below the progress box's origin

// The font a fresh device context starts with, as the loading page found
// it; the system font until then.
HGDIOBJ DefaultFont() {
  return g_ui.savedDefaultFont ? static_cast<HGDIOBJ>(g_ui.savedDefaultFont)
                               : GetStockObject(SYSTEM_FONT);
}

void BeginPage(HDC dc) {
  DrawGradientBackground(dc, Gradient::Common);
  SetBkMode(dc, TRANSPARENT);
}

void DrawFrame(HDC dc, const RECT& r) { DrawButtonFrame(dc, r.left, r.top, r.right, r.bottom); }

void DrawButtonFrames(HDC dc) {
  DrawFrame(dc, g_ui.confirmButton);
  DrawFrame(dc, g_ui.quitButton);
}

void DrawCaptions(HDC dc, const wchar_t* confirm) {
  SelectObject(dc, g_ui.textFont);
  SetTextColor(dc, kCaptionColour);
  DrawTextAt(dc, g_ui.confirmButton.left + 5, g_ui.confirmButton.top + 2, confirm);
  DrawTextAt(dc, g_ui.quitButton.left + 5, g_ui.quitButton.top + 2, txt::kPageQuit);
}

// A label inside a field frame, left of the text field that sits there.
void DrawFieldLabel(HDC dc, const RECT& frame, const wchar_t* label) {
  DrawTextAt(dc, frame.left + 5, frame.top + 4, label);
}

// The working and finished pages' second line: grey copies, then two pale
// red ones side by side.
void DrawSecondLineShades(HDC dc, const char* text) {
  SetTextColor(dc, kGrey);
  for (int d = 8; d <= 10; ++d) DrawTextAt(dc, 80 + d, 80 + d, text);
  SetTextColor(dc, kPaleRed);
  DrawTextAt(dc, 91, 91, text);
  DrawTextAt(dc, 92, 91, text);
}

void DrawPinyinLabel(HDC dc) {
  // Two rows of the picture stretched into a plain band behind the label.
  DrawArchiveBitmap(kPictureWidth, kPictureHeight, dc, kPictureMember, 73, 90, 128, 35, 73, 90,
                    128, 2);
  GdiObject<HFONT> bold(CreateFontW(30, 15, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET, 0,
                                    0, 0, 0, L"\u6977\u4F53"));  // 楷体
  Selection selected(dc, bold.get());
  SetTextColor(dc, kPinyinShadowColour);
  DrawTextAt(dc, 75, 90, txt::kPagePinyinLabel);
  SetTextColor(dc, kEditionColour);
  DrawTextAt(dc, 83, 93, txt::kPagePinyinLabel);
}

}  // namespace

void PaintLoadingPage(HDC dc) {
  DrawGradientBackground(dc, Gradient::Loading);
  // Drawn in the context's defaults, opaque: seen while the picture is
  // being expanded, then covered by it.
  DrawTextAt(dc, 50, 150, txt::kPageLoading);
  SetBkMode(dc, TRANSPARENT);
  DrawArchiveBitmap(kPictureWidth, kPictureHeight, dc, kPictureMember, 0, 0, kPictureWidth,
                    kPictureHeight, 0, 0, kPictureWidth, kPictureHeight);
  if (g_run.edition == 1) DrawPinyinLabel(dc);

  HGDIOBJ replaced = SelectObject(dc, g_ui.textFont);
  if (replaced && replaced != HGDI_ERROR) g_ui.savedDefaultFont = static_cast<HFONT>(replaced);
  SetTextColor(dc, kWhite);
  DrawTextAt(dc, 10, 165, g_run.edition == 1 ? txt::kPageAskPinyin : txt::kPageAskWubi);
  DrawTextAt(dc, 50, 195, txt::kPageNewExperience);
  SetTextColor(dc, kVersionColour);
  DrawTextAt(dc, 220, 100, txt::kPageVersion);
  DrawButtonFrames(dc);
  DrawCaptions(dc, txt::kPageConfirmInstall);
}

void PaintSiteAddressPage(HDC dc) {
  BeginPage(dc);
  SelectObject(dc, g_ui.textFont);
  SetTextColor(dc, kBlack);
  DrawTextAt(dc, 30, 10, txt::kPageSiteTitle);
  SetTextColor(dc, kWhite);
  DrawTextAt(dc, 39, 19, txt::kPageSiteTitle);
  SetTextColor(dc, kEditionColour);
  DrawTextAt(dc, 250, 19, g_run.edition == 1 ? txt::kPageEditionPinyin : txt::kPageEditionWubi);

  SelectObject(dc, DefaultFont());
  SetTextColor(dc, kWhite);
  DrawTextAt(dc, 20, 70, txt::kPageSiteLine1);
  DrawTextAt(dc, 20, 90, txt::kPageSiteLine2);
  DrawTextAt(dc, 20, 110, txt::kPageSiteLine3);

  SelectObject(dc, g_ui.textFont);
  DrawButtonFrames(dc);
  DrawFrame(dc, g_ui.lowerFieldFrame);
  DrawFrame(dc, g_ui.unitSiteFrame);
  DrawFieldLabel(dc, g_ui.unitSiteFrame, txt::kPageUnitSiteLabel);
  DrawFieldLabel(dc, g_ui.lowerFieldFrame, txt::kPageGovSiteLabel);
  DrawCaptions(dc, txt::kPageConfirmInstall);
}

void PaintInstallPathPage(HDC dc) {
  BeginPage(dc);
  SelectObject(dc, g_ui.headingFont);
  DrawEmbossedText(dc, 30, 20, txt::kPageProductName);
  SelectObject(dc, g_ui.textFont);
  DrawEmbossedText(dc, 100, 80, txt::kPageInstallSubtitle);
  SetTextColor(dc, kWhite);
  DrawTextAt(dc, 50, 130, txt::kPageSystemsLine1);
  DrawTextAt(dc, 30, 155, txt::kPageSystemsLine2);
  DrawButtonFrames(dc);
  DrawFrame(dc, g_ui.lowerFieldFrame);
  DrawFieldLabel(dc, g_ui.lowerFieldFrame, txt::kPageInstallPathLabel);
  DrawCaptions(dc, txt::kPageConfirmInstall);
}

void PaintWorkingPage(HDC dc) {
  BeginPage(dc);
  SelectObject(dc, g_ui.headingFont);
  DrawEmbossedText(dc, 30, 20, txt::kPageWorkingHeading);
  SelectObject(dc, g_ui.textFont);
  SetTextColor(dc, kBlack);
  DrawTextAt(dc, 80, 80, txt::kPageWorkingLine);
  DrawSecondLineShades(dc, txt::kPageWorkingLine);
  // The buttons still answer clicks on this page but are not drawn.
  SetTextColor(dc, kWhite);
}

void PaintFinishedPage(HDC dc) {
  BeginPage(dc);
  SelectObject(dc, g_ui.headingFont);
  DrawEmbossedText(dc, 30, 20, txt::kPageFinishedHeading);
  SelectObject(dc, g_ui.textFont);
  DrawSecondLineShades(dc, txt::kPageFinishedLine);
  SetTextColor(dc, kWhite);
  DrawTextAt(dc, 50, 130, txt::kPageInstalledLine);
  DrawTextAt(dc, 50, 155, txt::kPageTryNameLine);
  DrawTextAt(dc, 10, 190, txt::kPageNameLabel);
  DrawButtonFrames(dc);
  DrawCaptions(dc, txt::kPageConfirmQuit);
  ActivateInstalledIme();
}

void RepaintInstallPathPage() {
  // Without a setup window a device context would be the whole screen's.
  if (g_run.setupMode == 3 || !g_run.setupWindow) return;
  WindowDc dc(g_run.setupWindow);
  if (dc.ok()) PaintInstallPathPage(dc.get());
}

void DrawProgress(int done, int total) {
  if (g_run.setupMode == 3 || !g_run.setupWindow) return;
  WindowDc dc(g_run.setupWindow);
  if (!dc.ok()) return;
  const long long full = g_ui.progressSize.cx;
  // In 64 bits: 340 times a count past six million would wrap in 32.
  long long width = 0;
  if (total != 0) width = total < done ? full : full * done / total;
  const int left = g_ui.progressOrigin.x;
  const int top = g_ui.progressOrigin.y + kProgressBarTop;
  const int bottom = g_ui.progressOrigin.y + g_ui.progressSize.cy;
  if (done < 1) {
    Selection brush(dc.get(), GetStockObject(WHITE_BRUSH));
    Rectangle(dc.get(), left, top, left + static_cast<int>(full), bottom);
  } else {
    Selection brush(dc.get(), g_ui.redBrush);
    Rectangle(dc.get(), left, top, left + static_cast<int>(width), bottom);
  }
}
