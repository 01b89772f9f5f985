// What a click on the setup window does: the two drawn buttons hit-tested
// against the page number. Kept free of Windows so it can be checked
// directly.
#pragma once

struct Box {
  int left, top, right, bottom;  // edges included
};

constexpr Box kConfirmButton{40, 245, 140, 270};
constexpr Box kQuitButton{260, 245, 360, 270};

enum class ClickAction {
  None,             // outside both buttons, or nothing to do on this page
  EndProgram,       // quit without a message
  ClosingThenEnd,   // the closing message, then quit
  SiteAddressStep,  // show and fill the site fields, or leave their page
  InstallClick,     // the whole install
  SecondFinished,   // to page 9
  Repaint,          // the working page only repaints
};

bool InBox(const Box& box, unsigned x, unsigned y);

// x and y are the client coordinates of the click, as the two unsigned
// 16-bit halves of the message's position.
ClickAction DecideClick(int page, unsigned x, unsigned y);
