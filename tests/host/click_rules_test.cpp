#include "ui/click_rules.h"

#include <gtest/gtest.h>

namespace {

using A = ClickAction;

TEST(ClickRules, ButtonEdgesAreInclusive) {
  struct {
    unsigned x, y;
    bool confirm, quit;
  } cases[] = {
      {40, 245, true, false},  {140, 270, true, false}, {141, 250, false, false},
      {39, 250, false, false}, {90, 244, false, false}, {90, 271, false, false},
      {260, 245, false, true}, {360, 270, false, true}, {361, 270, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InBox(kConfirmButton, c.x, c.y), c.confirm) << c.x << "," << c.y;
    EXPECT_EQ(InBox(kQuitButton, c.x, c.y), c.quit) << c.x << "," << c.y;
  }
}

TEST(ClickRules, ActionByPage) {
  struct {
    int page;
    A confirm, quit;
  } cases[] = {
      {0, A::SiteAddressStep, A::EndProgram}, {1, A::SiteAddressStep, A::EndProgram},
      {4, A::SiteAddressStep, A::EndProgram}, {5, A::None, A::EndProgram},
      {6, A::InstallClick, A::EndProgram},    {7, A::Repaint, A::EndProgram},
      {8, A::SecondFinished, A::ClosingThenEnd}, {9, A::ClosingThenEnd, A::ClosingThenEnd},
      {12, A::ClosingThenEnd, A::ClosingThenEnd},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecideClick(c.page, 90, 250), c.confirm) << "page " << c.page;
    EXPECT_EQ(DecideClick(c.page, 300, 250), c.quit) << "page " << c.page;
    EXPECT_EQ(DecideClick(c.page, 200, 250), A::None) << "between the buttons, page " << c.page;
  }
}

TEST(ClickRules, FarCoordinatesHitNothing) {
  // The halves of the position are unsigned: a click left of the client
  // area arrives as a large x and must not wrap into a button.
  EXPECT_EQ(DecideClick(6, 0xFFFFu, 250), A::None);
  EXPECT_EQ(DecideClick(6, 90, 0xFFFFu), A::None);
}

}  // namespace
