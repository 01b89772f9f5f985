#include "ui/window_objects.h"

WindowObjects g_ui;

namespace {

// Character set 134 (GB2312); every other parameter but size and face is 0.
HFONT CreatePageFont(int height, int width, const wchar_t* face) {
  return CreateFontW(height, width, 0, 0, 0, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, 0,
                     face);
}

template <typename Handle>
void Delete(Handle& object) {
  if (object) DeleteObject(object);
  object = nullptr;
}

}  // namespace

void CreateWindowObjects() {
  DeleteWindowObjects();  // a second window must not leak the first one's
  g_ui.textFont = CreatePageFont(22, 7, L"\u5B8B\u4F53");      // 宋体
  g_ui.headingFont = CreatePageFont(40, 20, L"\u6977\u4F53");  // 楷体
  g_ui.redBrush = CreateSolidBrush(0x0000FF);
}

void DeleteWindowObjects() {
  Delete(g_ui.headingFont);
  Delete(g_ui.textFont);
  Delete(g_ui.redBrush);
}
