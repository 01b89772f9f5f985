#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "driver/run_state.h"
#include "ui/options_dialog.h"

// The options dialog: its two templates as the program carries them, and the
// handler driven the way the user drives it.

namespace {

// ---------------------------------------------------------------------------
// The templates, read back from this program's own resources.

// A name or an ordinal, as a template stores class names and texts.
struct NameOrOrdinal {
  bool isOrdinal = false;
  WORD ordinal = 0;
  std::wstring name;
};

struct TemplateControl {
  DWORD helpId, exStyle, style;
  short x, y, cx, cy;
  DWORD id;
  NameOrOrdinal cls, text;
  WORD extraCount;
};

struct ParsedTemplate {
  WORD version, signature;
  DWORD helpId, exStyle, style;
  WORD count;
  short x, y, cx, cy;
  NameOrOrdinal menu, cls;
  std::wstring title;
  WORD pointSize, weight;
  BYTE italic, charset;
  std::wstring face;
  std::vector<TemplateControl> controls;
  std::size_t used;  // bytes the parse consumed
};

class TemplateReader {
 public:
  TemplateReader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  std::size_t pos() const { return pos_; }

  template <typename T>
  T Get() {
    T v{};
    if (pos_ + sizeof(T) > size_) {
      ok_ = false;
      return v;
    }
    std::memcpy(&v, data_ + pos_, sizeof(T));
    pos_ += sizeof(T);
    return v;
  }
  std::wstring Text() {
    std::wstring s;
    for (WORD c = Get<WORD>(); ok_ && c != 0; c = Get<WORD>()) s += static_cast<wchar_t>(c);
    return s;
  }
  NameOrOrdinal NameOrOrd() {
    NameOrOrdinal r;
    WORD first = Get<WORD>();
    if (first == 0xFFFF) {
      r.isOrdinal = true;
      r.ordinal = Get<WORD>();
    } else if (first != 0) {
      r.name = static_cast<wchar_t>(first) + Text();
    }
    return r;
  }
  void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<std::size_t>(3); }

 private:
  const BYTE* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

bool ParseDialogEx(const BYTE* data, std::size_t size, ParsedTemplate* t) {
  TemplateReader r(data, size);
  t->version = r.Get<WORD>();
  t->signature = r.Get<WORD>();
  t->helpId = r.Get<DWORD>();
  t->exStyle = r.Get<DWORD>();
  t->style = r.Get<DWORD>();
  t->count = r.Get<WORD>();
  t->x = r.Get<short>();
  t->y = r.Get<short>();
  t->cx = r.Get<short>();
  t->cy = r.Get<short>();
  t->menu = r.NameOrOrd();
  t->cls = r.NameOrOrd();
  t->title = r.Text();
  t->pointSize = r.Get<WORD>();
  t->weight = r.Get<WORD>();
  t->italic = r.Get<BYTE>();
  t->charset = r.Get<BYTE>();
  t->face = r.Text();
  for (WORD i = 0; i < t->count && r.ok(); ++i) {
    r.AlignDword();
    TemplateControl c;
    c.helpId = r.Get<DWORD>();
    c.exStyle = r.Get<DWORD>();
    c.style = r.Get<DWORD>();
    c.x = r.Get<short>();
    c.y = r.Get<short>();
    c.cx = r.Get<short>();
    c.cy = r.Get<short>();
    c.id = r.Get<DWORD>();
    c.cls = r.NameOrOrd();
    c.text = r.NameOrOrd();
    c.extraCount = r.Get<WORD>();
    t->controls.push_back(c);
  }
  t->used = r.pos();
  return r.ok();
}

struct ExpectedControl {
  DWORD id;
  WORD classOrdinal;  // 0x80 button, 0x82 static
  DWORD style;
  short x, y, cx, cy;
  const wchar_t* textPrc;
  const wchar_t* textTaiwan;
};

constexpr DWORD kNoId = 0xFFFFFFFF;

const ExpectedControl kControls[] = {
    {105, 0x80, 0x50010001, 88, 117, 44, 14, L"确定", L"確定"},
    {kNoId, 0x80, 0x50000007, 6, 8, 204, 39, L"输入法状态窗口模式选择", L"輸入法狀態窗口模式選擇"},
    {kNoId, 0x80, 0x50000007, 6, 54, 204, 39, L"输入法皮肤选择", L"輸入法皮膚選擇"},
    {101, 0x80, 0x50000009, 15, 25, 44, 10, L"双行窗口", L"雙行窗口"},
    {102, 0x80, 0x50000009, 66, 25, 44, 10, L"单行窗口", L"單行窗口"},
    {106, 0x80, 0x50000009, 113, 25, 36, 10, L"双窗口", L"雙窗口"},
    {107, 0x80, 0x50000009, 155, 25, 48, 10, L"仿WIN窗口", L"仿WIN窗口"},
    {110, 0x80, 0x50000009, 15, 72, 48, 10, L"冷色瓷面", L"冷色瓷面"},
    {111, 0x80, 0x50000009, 84, 72, 48, 10, L"粉色瓷面", L"粉色瓷面"},
    {112, 0x80, 0x50000009, 150, 71, 40, 10, L"小天使", L"小天使"},
    {kNoId, 0x82, 0x50020000, 13, 99, 145, 8, L"注：你也可在安装完毕后改变这些参数。",
     L"注：你也可在安裝完畢后改變這些參數。"},
};

struct ExpectedTemplate {
  const wchar_t* name;
  WORD language;
  bool taiwan;
  const wchar_t* title;
  WORD pointSize, weight;
  BYTE charset;
  const wchar_t* face;
};

const ExpectedTemplate kTemplates[] = {
    {L"PYKEY", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), false,
     L"智能岚溪皮肤及窗口模式选择", 12, 400, 134, L"宋体"},
    {L"PYKEYB", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), true,
     L"智能嵐溪皮膚及窗口模式選擇", 10, 0, 1, L"System"},
};

TEST(OptionsDialogTemplate, BothLanguagesCarryTheExactHeaderFontAndControls) {
  for (const ExpectedTemplate& e : kTemplates) {
    SCOPED_TRACE(std::string(e.taiwan ? "PYKEYB" : "PYKEY"));
    HRSRC res = FindResourceExW(nullptr, MAKEINTRESOURCEW(5), e.name, e.language);
    ASSERT_NE(res, nullptr) << "no dialog of that name in that language";
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
    ASSERT_NE(bytes, nullptr);
    const std::size_t size = SizeofResource(nullptr, res);

    ParsedTemplate t{};
    ASSERT_TRUE(ParseDialogEx(bytes, size, &t)) << "template runs past its " << size << " bytes";
    // Nothing after the last control but padding to a DWORD.
    EXPECT_LE(size - t.used, 3u);

    EXPECT_EQ(t.version, 1);
    EXPECT_EQ(t.signature, 0xFFFF);
    EXPECT_EQ(t.helpId, 0u);
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.style, 0x80C800C0u);
    EXPECT_EQ(t.count, 11);
    EXPECT_EQ(t.x, 10);
    EXPECT_EQ(t.y, 15);
    EXPECT_EQ(t.cx, 219);
    EXPECT_EQ(t.cy, 140);
    EXPECT_TRUE(!t.menu.isOrdinal && t.menu.name.empty()) << "no menu";
    EXPECT_TRUE(!t.cls.isOrdinal && t.cls.name.empty()) << "the standard dialog class";
    EXPECT_EQ(t.title, e.title);
    EXPECT_EQ(t.pointSize, e.pointSize);
    EXPECT_EQ(t.weight, e.weight);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, e.charset);
    EXPECT_EQ(t.face, e.face);

    ASSERT_EQ(t.controls.size(), std::size(kControls));
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
      const TemplateControl& c = t.controls[i];
      const ExpectedControl& x = kControls[i];
      SCOPED_TRACE("control " + std::to_string(i));
      EXPECT_EQ(c.helpId, 0u);
      EXPECT_EQ(c.exStyle, 0u);
      EXPECT_EQ(c.style, x.style);
      EXPECT_EQ(c.x, x.x);
      EXPECT_EQ(c.y, x.y);
      EXPECT_EQ(c.cx, x.cx);
      EXPECT_EQ(c.cy, x.cy);
      EXPECT_EQ(c.id, x.id);
      EXPECT_TRUE(c.cls.isOrdinal);
      EXPECT_EQ(c.cls.ordinal, x.classOrdinal);
      EXPECT_FALSE(c.text.isOrdinal);
      EXPECT_EQ(c.text.name, e.taiwan ? x.textTaiwan : x.textPrc);
      EXPECT_EQ(c.extraCount, 0) << "no creation data";
    }
  }
}

// ---------------------------------------------------------------------------
// The handler, on a live dialog made from the template.

const int kModeIds[] = {kIdTwoLineWindow, kIdOneLineWindow, kIdDoubleWindow, kIdWinStyleWindow};
const int kSkinIds[] = {kIdCoolPorcelain, kIdPinkPorcelain, kIdLittleAngel};

// The ids of the checked radio buttons, in template order.
std::vector<int> CheckedOptions(HWND dialog) {
  std::vector<int> on;
  for (int id : {101, 102, 106, 107, 110, 111, 112}) {
    if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) on.push_back(id);
  }
  return on;
}

void Click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    g_run.setupWindow = nullptr;
    ResetResults();
  }
  void TearDown() override {
    Close();
    if (owner_) DestroyWindow(owner_);
    g_run.setupWindow = nullptr;
  }

  // Values the dialog never produces, so an unwritten result shows.
  static void ResetResults() {
    g_run.statusWindowMode = 9;
    g_run.skinChoice = 9;
  }
  void Close() {
    if (dialog_) DestroyWindow(dialog_);
    dialog_ = nullptr;
  }

  // The windows stay hidden: buttons click the same, and Wine takes
  // seconds to take a shown window off the screen again.
  HWND Open(const wchar_t* name = L"PYKEY") {
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), name, owner_, OptionsDialogProc, 0);
    return dialog_;
  }
  HWND MakeOwner(int x, int y) {
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, x, y, 500, 400, nullptr,
                             nullptr, nullptr, nullptr);
    return owner_;
  }

  HWND dialog_ = nullptr;
  HWND owner_ = nullptr;
};

TEST_F(OptionsDialog, OpensWithTwoLineAndCoolPorcelainAndOkAtOnceGivesOneAndOne) {
  for (const wchar_t* name : {L"PYKEY", L"PYKEYB"}) {
    ResetResults();
    ASSERT_NE(Open(name), nullptr);
    EXPECT_EQ(CheckedOptions(dialog_), (std::vector<int>{101, 110}));
    Click(dialog_, kIdOptionsOk);
    EXPECT_EQ(g_run.statusWindowMode, 1);
    EXPECT_EQ(g_run.skinChoice, 1);
    Close();
  }
}

// Every mode with every skin, chosen in both orders: the seven buttons form
// one radio group, so each click would clear the other set's check if the
// handler did not put it back.
TEST_F(OptionsDialog, EachClickKeepsTheOtherSetCheckedAndOkEncodesBoth) {
  ASSERT_NE(Open(), nullptr);
  for (int m = 0; m < 4; ++m) {
    for (int s = 0; s < 3; ++s) {
      for (bool modeFirst : {true, false}) {
        SCOPED_TRACE(std::to_string(kModeIds[m]) + "/" + std::to_string(kSkinIds[s]) +
                     (modeFirst ? " mode first" : " skin first"));
        Click(dialog_, modeFirst ? kModeIds[m] : kSkinIds[s]);
        Click(dialog_, modeFirst ? kSkinIds[s] : kModeIds[m]);
        EXPECT_EQ(CheckedOptions(dialog_), (std::vector<int>{kModeIds[m], kSkinIds[s]}));
      }
    }
  }
  // Last choice: 仿WIN窗口 and 小天使.
  Click(dialog_, kIdOptionsOk);
  EXPECT_EQ(g_run.statusWindowMode, 4);
  EXPECT_EQ(g_run.skinChoice, 3);
}

TEST_F(OptionsDialog, OkEncodesEveryCombination) {
  for (int m = 0; m < 4; ++m) {
    for (int s = 0; s < 3; ++s) {
      ResetResults();
      ASSERT_NE(Open(), nullptr);
      Click(dialog_, kSkinIds[s]);
      Click(dialog_, kModeIds[m]);
      Click(dialog_, kIdOptionsOk);
      EXPECT_EQ(g_run.statusWindowMode, m + 1);
      EXPECT_EQ(g_run.skinChoice, s + 1);
      Close();
    }
  }
}

// Esc, the close box and Alt+F4 all reach the dialog as IDCANCEL; none of
// them closes it or touches the choice.
TEST_F(OptionsDialog, CancelAndCloseLeaveItOpenAndChangeNothing) {
  ASSERT_NE(Open(), nullptr);
  Click(dialog_, kIdDoubleWindow);
  Click(dialog_, kIdPinkPorcelain);
  SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  SendMessageW(dialog_, WM_CLOSE, 0, 0);
  SendMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
  SendMessageW(dialog_, WM_KEYDOWN, VK_ESCAPE, 0);
  // Commands from unknown controls are ignored too (and do not reset checks).
  SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(999, BN_CLICKED), 0);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);

  EXPECT_TRUE(IsWindow(dialog_));
  EXPECT_EQ(CheckedOptions(dialog_), (std::vector<int>{106, 111}));
  EXPECT_EQ(g_run.statusWindowMode, 9);
  EXPECT_EQ(g_run.skinChoice, 9);

  Click(dialog_, kIdOptionsOk);
  EXPECT_EQ(g_run.statusWindowMode, 3);
  EXPECT_EQ(g_run.skinChoice, 2);
}

// The notification code is not looked at: a WM_COMMAND with the button's id
// selects like a click does. The handler answers 1 only when it ended the
// dialog.
TEST_F(OptionsDialog, CommandSelectsWhateverTheNotificationCode) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(OptionsDialogProc(dialog_, WM_COMMAND, MAKEWPARAM(kIdOneLineWindow, BN_DOUBLECLICKED), 0),
            0);
  EXPECT_EQ(OptionsDialogProc(dialog_, WM_COMMAND, MAKEWPARAM(kIdLittleAngel, 0x1234), 0), 0);
  EXPECT_EQ(CheckedOptions(dialog_), (std::vector<int>{102, 112}));
  EXPECT_EQ(OptionsDialogProc(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0), 0);
  EXPECT_EQ(OptionsDialogProc(dialog_, WM_PAINT, 0, 0), 0);
  EXPECT_EQ(g_run.statusWindowMode, 9);
  EXPECT_EQ(OptionsDialogProc(dialog_, WM_COMMAND, MAKEWPARAM(kIdOptionsOk, 0x77), 0), 1);
  EXPECT_EQ(g_run.statusWindowMode, 2);
  EXPECT_EQ(g_run.skinChoice, 3);
}

// Every opening starts from the defaults, whatever the last one chose; the
// results keep the last choice until the next 确定.
TEST_F(OptionsDialog, EachOpeningStartsFromTheDefaults) {
  ASSERT_NE(Open(), nullptr);
  Click(dialog_, kIdWinStyleWindow);
  Click(dialog_, kIdLittleAngel);
  Click(dialog_, kIdOptionsOk);
  Close();
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(CheckedOptions(dialog_), (std::vector<int>{101, 110}));
  EXPECT_EQ(g_run.statusWindowMode, 4);
  EXPECT_EQ(g_run.skinChoice, 3);
}

TEST_F(OptionsDialog, MovesToTheSetupWindowsTopLeftCornerKeepingItsSize) {
  // Where the dialog manager puts it on its own, and its size.
  ASSERT_NE(Open(), nullptr);
  RECT alone;
  GetWindowRect(dialog_, &alone);
  Close();

  for (POINT at : {POINT{137, 91}, POINT{0, 0}, POINT{-40, 300}}) {
    SCOPED_TRACE(std::to_string(at.x) + "," + std::to_string(at.y));
    ASSERT_NE(MakeOwner(at.x, at.y), nullptr);
    g_run.setupWindow = owner_;
    ASSERT_NE(Open(), nullptr);
    RECT setup, r;
    GetWindowRect(owner_, &setup);
    GetWindowRect(dialog_, &r);
    EXPECT_EQ(r.left, setup.left);
    EXPECT_EQ(r.top, setup.top);
    EXPECT_EQ(r.right - r.left, alone.right - alone.left);
    EXPECT_EQ(r.bottom - r.top, alone.bottom - alone.top);
    Close();
    DestroyWindow(owner_);
    owner_ = nullptr;
  }
}

// Without a setup window, or with one that is already gone, there is no
// corner to go to: the dialog stays where the dialog manager put it.
TEST_F(OptionsDialog, StaysPutWithoutASetupWindow) {
  ASSERT_NE(Open(), nullptr);
  RECT alone;
  GetWindowRect(dialog_, &alone);
  Close();

  ASSERT_NE(MakeOwner(200, 200), nullptr);
  DestroyWindow(owner_);
  g_run.setupWindow = owner_;  // a stale handle
  owner_ = nullptr;
  ASSERT_NE(Open(), nullptr);
  RECT r;
  GetWindowRect(dialog_, &r);
  EXPECT_EQ(r.left, alone.left);
  EXPECT_EQ(r.top, alone.top);
  EXPECT_EQ(CheckedOptions(dialog_), (std::vector<int>{101, 110}));
}

// ---------------------------------------------------------------------------
// The modal run the install uses, answered from a timer inside its loop:
// first every way to cancel, then a choice and 确定.

struct ModalAnswer {
  int ticks = 0;
  HWND dialog = nullptr;
  POINT corner{};
  std::vector<int> checkedAtOpen;
  bool openAfterCancel = false;
  std::vector<int> checkedAfterCancel;
  int modeAfterCancel = 0;
};
ModalAnswer g_answer;

void CALLBACK AnswerOptionsDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  ModalAnswer& a = g_answer;
  if (++a.ticks > 100) {  // never found: give up rather than hang
    KillTimer(nullptr, timer);
    return;
  }
  if (!a.dialog) {
    a.dialog = FindWindowW(L"#32770", L"智能岚溪皮肤及窗口模式选择");
    if (!a.dialog) return;
    RECT r;
    GetWindowRect(a.dialog, &r);
    a.corner = {r.left, r.top};
    a.checkedAtOpen = CheckedOptions(a.dialog);
    Click(a.dialog, kIdOneLineWindow);
    Click(a.dialog, kIdPinkPorcelain);
    // Esc goes through the modal loop's keyboard handling; the rest
    // straight to the dialog.
    PostMessageW(a.dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(a.dialog, WM_KEYUP, VK_ESCAPE, 0);
    PostMessageW(a.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(a.dialog, WM_CLOSE, 0, 0);
    PostMessageW(a.dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  // A later tick: everything posted above has been handled.
  KillTimer(nullptr, timer);
  a.openAfterCancel = IsWindow(a.dialog) && IsWindowVisible(a.dialog);
  a.checkedAfterCancel = CheckedOptions(a.dialog);
  a.modeAfterCancel = g_run.statusWindowMode;
  Click(a.dialog, kIdOptionsOk);
}

TEST_F(OptionsDialog, ModalRunIgnoresCancelAndEndsOnOkWithResultZero) {
  ASSERT_NE(MakeOwner(150, 120), nullptr);
  g_run.setupWindow = owner_;
  g_answer = ModalAnswer{};
  UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerOptionsDialog);
  ASSERT_NE(timer, 0u);
  INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), L"PYKEY", owner_, OptionsDialogProc, 0);
  KillTimer(nullptr, timer);

  ASSERT_NE(g_answer.dialog, nullptr) << "the dialog never showed";
  EXPECT_EQ(result, 0);
  RECT setup;
  GetWindowRect(owner_, &setup);
  EXPECT_EQ(g_answer.corner.x, setup.left);
  EXPECT_EQ(g_answer.corner.y, setup.top);
  EXPECT_EQ(g_answer.checkedAtOpen, (std::vector<int>{101, 110}));
  EXPECT_TRUE(g_answer.openAfterCancel) << "Esc, the close box or IDCANCEL ended the dialog";
  EXPECT_EQ(g_answer.checkedAfterCancel, (std::vector<int>{102, 111}));
  EXPECT_EQ(g_answer.modeAfterCancel, 9);
  EXPECT_EQ(g_run.statusWindowMode, 2);
  EXPECT_EQ(g_run.skinChoice, 2);
  EXPECT_FALSE(IsWindow(g_answer.dialog));
}

}  // namespace
