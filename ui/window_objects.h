// The drawing objects of the setup window: made when the window is created,
// kept until it is torn down, used by the page painters and the click
// handler.
#pragma once

#include <windows.h>

#include "ui/click_rules.h"

struct WindowObjects {
  HFONT textFont = nullptr;      // 22 x 7, "宋体", GB2312
  HFONT headingFont = nullptr;   // 40 x 20, "楷体"
  HFONT savedDefaultFont = nullptr;  // the font a fresh device context had
  HBRUSH redBrush = nullptr;     // progress fill
  // Drawn where the click handler hit-tests them.
  RECT confirmButton{kConfirmButton.left, kConfirmButton.top, kConfirmButton.right,
                     kConfirmButton.bottom};
  RECT quitButton{kQuitButton.left, kQuitButton.top, kQuitButton.right, kQuitButton.bottom};
  RECT lowerFieldFrame{30, 192, 365, 217};
  RECT unitSiteFrame{30, 162, 365, 187};
  POINT progressOrigin{30, 188};
  SIZE progressSize{340, 30};
};

extern WindowObjects g_ui;

// Creates the fonts and the brush (the rectangles are fixed).
void CreateWindowObjects();

// Deletes what CreateWindowObjects made.
void DeleteWindowObjects();
