#include "ui/click_rules.h"

bool InBox(const Box& box, unsigned x, unsigned y) {
  return static_cast<int>(x) >= box.left && static_cast<int>(x) <= box.right &&
         static_cast<int>(y) >= box.top && static_cast<int>(y) <= box.bottom;
}

ClickAction DecideClick(int page, unsigned x, unsigned y) {
  // The quit button is tested first.
  if (InBox(kQuitButton, x, y))
    return page >= 8 ? ClickAction::ClosingThenEnd : ClickAction::EndProgram;
  if (!InBox(kConfirmButton, x, y)) return ClickAction::None;
  if (page == 6) return ClickAction::InstallClick;
  if (page >= 9) return ClickAction::ClosingThenEnd;
  if (page == 8) return ClickAction::SecondFinished;
  if (page == 7) return ClickAction::Repaint;
  if (page >= 0 && page <= 4) return ClickAction::SiteAddressStep;
  return ClickAction::None;
}
