// The page painters, drawn into a 400 x 310 memory bitmap (and, where they
// draw into the setup window themselves, into a plain window) and checked
// pixel by pixel where the result does not depend on the fonts Wine has.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/archive_writer.h"
#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "ui/pages.h"
#include "ui/paint_tools.h"
#include "ui/window_objects.h"

namespace {

constexpr COLORREF kBackdrop = RGB(64, 64, 64);

// A top-down 32-bit bitmap of the page's size, selected into a memory DC.
class Canvas {
 public:
  Canvas() {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kPageWidth;
    bi.bmiHeader.biHeight = -kPageHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    Fill(kBackdrop);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  bool ok() const { return bits_ != nullptr; }
  void Fill(COLORREF c) {
    GdiFlush();
    std::uint32_t v = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    for (int i = 0; i < kPageWidth * kPageHeight; ++i) bits_[i] = v;
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    std::uint32_t v = bits_[y * kPageWidth + x];
    return RGB(v >> 16 & 255, v >> 8 & 255, v & 255);
  }
  std::vector<std::uint32_t> Pixels() const {
    GdiFlush();
    return std::vector<std::uint32_t>(bits_, bits_ + kPageWidth * kPageHeight);
  }
  // Pixels of colour c within [left, right) x [top, bottom).
  int Count(int left, int top, int right, int bottom, COLORREF c) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) == c;
    return n;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i) & 255);
}

void Put16(std::string& s, std::size_t at, std::uint16_t v) {
  s[at] = static_cast<char>(v & 255);
  s[at + 1] = static_cast<char>(v >> 8);
}

// A 24-bit bitmap file; colour(x, y) counts y from the top row. Bottom-up
// unless topDown.
template <typename ColourOf>
std::string Bitmap24(int w, int h, ColourOf colour, bool topDown = false) {
  const int stride = (w * 3 + 3) / 4 * 4;
  std::string f(54 + static_cast<std::size_t>(stride) * h, '\0');
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 2, static_cast<std::uint32_t>(f.size()));
  Put32(f, 10, 54);
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<std::uint32_t>(w));
  Put32(f, 22, static_cast<std::uint32_t>(topDown ? -h : h));
  Put16(f, 26, 1);
  Put16(f, 28, 24);
  for (int y = 0; y < h; ++y) {
    std::size_t row = 54 + static_cast<std::size_t>(stride) * (topDown ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) {
      COLORREF c = colour(x, y);
      f[row + 3 * x] = static_cast<char>(GetBValue(c));
      f[row + 3 * x + 1] = static_cast<char>(GetGValue(c));
      f[row + 3 * x + 2] = static_cast<char>(GetRValue(c));
    }
  }
  return f;
}

// A plain archive of the members in the order given. A member whose data
// starts with "!raw" is stored as it is, not as a zlib stream.
std::string PlainArchive(const std::vector<std::pair<std::string, std::string>>& members) {
  unsigned char header[kArchiveHeaderSize];
  InitArchiveHeader(header, 'P');
  std::string entries;
  for (const auto& [name, data] : members) {
    std::vector<unsigned char> packed(CompressBound(data.size()));
    std::size_t packedSize = 0;
    if (data.rfind("!raw", 0) == 0) {
      packed.assign(data.begin(), data.end());
      packedSize = data.size();
    } else {
      EXPECT_TRUE(CompressMember(reinterpret_cast<const unsigned char*>(data.data()), data.size(),
                                 packed.data(), packed.size(), &packedSize));
    }
    unsigned char entry[20];
    EXPECT_TRUE(BuildPlainEntryHeader(entry, name, static_cast<std::int32_t>(packedSize)));
    EXPECT_TRUE(AddEntryToArchiveHeader(header, sizeof entry, static_cast<std::uint32_t>(packedSize)));
    entries.append(reinterpret_cast<char*>(entry), sizeof entry);
    entries.append(reinterpret_cast<char*>(packed.data()), packedSize);
  }
  return std::string(reinterpret_cast<char*>(header), sizeof header) + entries;
}

// The run state, the window's drawing objects and a canvas for one test.
class PagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = g_run;
    work_.assign(kWorkBufferSize, 0);
    g_run.work = work_.data();
    g_run.workSize = work_.size();
    g_run.payload = nullptr;
    g_run.payloadSize = 0;
    g_run.setupMode = 2;
    g_run.edition = 0;
    g_run.page = 0;
    CreateWindowObjects();
    canvas_ = std::make_unique<Canvas>();
    ASSERT_TRUE(canvas_->ok());
  }
  void TearDown() override {
    canvas_.reset();  // lets go of the fonts it has selected
    DeleteWindowObjects();
    g_ui.savedDefaultFont = nullptr;
    g_run = saved_;
  }

  void UsePayload(const std::vector<std::pair<std::string, std::string>>& members) {
    payload_ = PlainArchive(members);
    g_run.payload = reinterpret_cast<const unsigned char*>(payload_.data());
    g_run.payloadSize = payload_.size();
  }

  Canvas& canvas() { return *canvas_; }
  HDC dc() { return canvas_->dc(); }

  RunState saved_;
  std::vector<unsigned char> work_;
  std::string payload_;
  std::unique_ptr<Canvas> canvas_;
};

struct Probe {
  int x, y;
  COLORREF colour;
};

void ExpectProbes(const Canvas& c, const std::vector<Probe>& probes, const std::string& what) {
  for (const Probe& p : probes)
    EXPECT_EQ(c.At(p.x, p.y), p.colour) << what << " at (" << p.x << ", " << p.y << ")";
}

// ---------------------------------------------------------------------------
// Background, frames

TEST_F(PagesTest, GradientSampleRowsOfBothVariants) {
  struct Row {
    int y;
    COLORREF loading, common;
  };
  const Row rows[] = {
      {0, RGB(0, 144, 250), RGB(0, 0, 250)},      {55, RGB(0, 254, 226), RGB(26, 45, 224)},
      {56, RGB(0, 0, 225), RGB(27, 46, 223)},     {100, RGB(0, 88, 205), RGB(48, 82, 202)},
      {184, RGB(0, 0, 167), RGB(89, 151, 161)},   {200, RGB(0, 32, 160), RGB(96, 164, 154)},
      {309, RGB(0, 250, 111), RGB(149, 254, 101)},
  };
  for (Gradient variant : {Gradient::Loading, Gradient::Common}) {
    canvas().Fill(kBackdrop);
    DrawGradientBackground(dc(), variant);
    for (const Row& r : rows) {
      COLORREF want = variant == Gradient::Loading ? r.loading : r.common;
      for (int x : {0, 200, 399})
        EXPECT_EQ(canvas().At(x, r.y), want) << "row " << r.y << " x " << x;
    }
    // Every row is painted across the whole width.
    EXPECT_EQ(canvas().Count(0, 0, kPageWidth, kPageHeight, kBackdrop), 0);
  }
}

TEST_F(PagesTest, ButtonFrameIsBlackBelowAndRightWhiteAboveAndLeft) {
  DrawButtonFrame(dc(), 40, 245, 140, 270);
  ExpectProbes(canvas(),
               {{40, 270, kBlack}, {90, 270, kBlack}, {140, 270, kBlack}, {140, 246, kBlack},
                {140, 245, kWhite}, {90, 245, kWhite}, {40, 245, kWhite}, {40, 269, kWhite},
                {90, 257, kBackdrop}, {141, 270, kBackdrop}, {40, 271, kBackdrop},
                {39, 257, kBackdrop}, {90, 244, kBackdrop}},
               "frame");
  EXPECT_EQ(GetCurrentObject(dc(), OBJ_PEN), GetStockObject(WHITE_PEN));
}

// ---------------------------------------------------------------------------
// Pictures from the payload

constexpr COLORREF kTopLeft = RGB(200, 0, 0);
constexpr COLORREF kTopRight = RGB(0, 200, 0);
constexpr COLORREF kBottomLeft = RGB(0, 0, 200);
constexpr COLORREF kBottomRight = RGB(200, 200, 0);

// 20 x 10 pixels in four quadrants of 10 x 5.
std::string Quadrants(bool topDown = false) {
  return Bitmap24(
      20, 10,
      [](int x, int y) {
        if (y < 5) return x < 10 ? kTopLeft : kTopRight;
        return x < 10 ? kBottomLeft : kBottomRight;
      },
      topDown);
}

struct ClipCase {
  const char* what;
  const char* member;
  int clipRight, clipBottom, dx, dy, dw, dh, sx, sy, sw, sh;
  std::vector<Probe> probes;  // none: nothing may be drawn
};

TEST_F(PagesTest, ArchiveBitmapIsCutAtThePictureAndClipEdges) {
  UsePayload({{"quad.bmp", Quadrants()}, {"down.bmp", Quadrants(true)}});
  const ClipCase cases[] = {
      {"unscaled at an offset", "quad.bmp", 400, 190, 5, 5, 20, 10, 0, 0, 20, 10,
       {{5, 5, kTopLeft}, {24, 5, kTopRight}, {5, 14, kBottomLeft}, {24, 14, kBottomRight},
        {4, 5, kBackdrop}, {25, 5, kBackdrop}, {5, 15, kBackdrop}}},
      {"source past the right edge: the cut half fills the destination", "quad.bmp", 400, 190, 0,
       0, 20, 10, 10, 0, 20, 10,
       {{0, 0, kTopRight}, {19, 0, kTopRight}, {0, 9, kBottomRight}, {19, 9, kBottomRight}}},
      {"source past the bottom edge", "quad.bmp", 400, 190, 0, 0, 20, 10, 0, 5, 20, 10,
       {{0, 0, kBottomLeft}, {0, 9, kBottomLeft}, {19, 0, kBottomRight}, {19, 9, kBottomRight}}},
      {"top-down picture cut at its bottom edge", "down.bmp", 400, 190, 0, 0, 20, 10, 0, 5, 20, 10,
       {{0, 0, kBottomLeft}, {0, 9, kBottomLeft}, {19, 9, kBottomRight}}},
      {"the loading page's call on a small picture stretches it", "quad.bmp", 400, 190, 0, 0, 400,
       190, 0, 0, 400, 190,
       {{0, 0, kTopLeft}, {399, 0, kTopRight}, {0, 189, kBottomLeft}, {399, 189, kBottomRight},
        {0, 190, kBackdrop}}},
      {"a clip edge inside the destination does not shrink it", "quad.bmp", 10, 190, 0, 0, 20, 10,
       0, 0, 20, 10, {{0, 0, kTopLeft}, {19, 0, kTopRight}}},
      {"destination at the clip right edge", "quad.bmp", 50, 190, 50, 0, 20, 10, 0, 0, 20, 10, {}},
      {"destination past the clip bottom", "quad.bmp", 400, 30, 0, 40, 20, 10, 0, 0, 20, 10, {}},
  };
  for (const ClipCase& c : cases) {
    canvas().Fill(kBackdrop);
    DrawArchiveBitmap(c.clipRight, c.clipBottom, dc(), c.member, c.dx, c.dy, c.dw, c.dh, c.sx,
                      c.sy, c.sw, c.sh);
    if (c.probes.empty()) {
      EXPECT_EQ(canvas().Count(0, 0, kPageWidth, kPageHeight, kBackdrop), kPageWidth * kPageHeight)
          << c.what;
    }
    ExpectProbes(canvas(), c.probes, c.what);
  }
}

std::string WithByte(std::string s, std::size_t at, char v) {
  s[at] = v;
  return s;
}

std::string With32(std::string s, std::size_t at, std::uint32_t v) {
  Put32(s, at, v);
  return s;
}

TEST_F(PagesTest, UnsoundBitmapMembersDrawNothing) {
  const std::string good = Quadrants();
  // An 8-bit picture needs 1024 bytes of colour table that are not there.
  std::string noTable = With32(good, 10, 54);
  Put16(noTable, 28, 8);
  const std::pair<const char*, std::string> bad[] = {
      {"not BM", WithByte(good, 0, 'M')},
      {"file header only", good.substr(0, 14)},
      {"cut inside the information header", good.substr(0, 30)},
      {"pixel bits cut short", good.substr(0, good.size() - 10)},
      {"pixel offset past the end", With32(good, 10, static_cast<std::uint32_t>(good.size()) + 4)},
      {"pixel offset near 4 GiB", With32(good, 10, 0xFFFFFFF0u)},
      {"information header size near 4 GiB", With32(good, 14, 0xFFFFFFF0u)},
      {"too short an information header", With32(good, 14, 12)},
      {"rows of 65535 x 65535 pixels", With32(With32(good, 18, 0xFFFF), 22, 0xFFFF)},
      {"width of 2^31 - 1", With32(good, 18, 0x7FFFFFFF)},
      {"height of -2^31", With32(good, 22, 0x80000000u)},
      {"colour table past the end", noTable},
      {"run-length compressed", With32(good, 30, BI_RLE8)},
      {"zero width", With32(good, 18, 0)},
      {"not a zlib stream", "!raw not compressed at all"},
  };
  std::vector<std::pair<std::string, std::string>> members{{"good.bmp", good}};
  for (std::size_t i = 0; i < sizeof bad / sizeof bad[0]; ++i)
    members.emplace_back("bad" + std::to_string(i) + ".bmp", bad[i].second);
  UsePayload(members);

  for (std::size_t i = 0; i < sizeof bad / sizeof bad[0]; ++i) {
    // The good picture leaves its bytes behind in the work buffer, so a
    // short member is followed by bytes that would make it look whole.
    DrawArchiveBitmap(400, 190, dc(), "good.bmp", 0, 0, 20, 10, 0, 0, 20, 10);
    ASSERT_EQ(canvas().At(0, 0), kTopLeft);
    canvas().Fill(kBackdrop);
    std::string name = "bad" + std::to_string(i) + ".bmp";
    DrawArchiveBitmap(400, 190, dc(), name.c_str(), 0, 0, 20, 10, 0, 0, 20, 10);
    EXPECT_EQ(canvas().Count(0, 0, kPageWidth, kPageHeight, kBackdrop), kPageWidth * kPageHeight)
        << bad[i].first;
  }
}

TEST_F(PagesTest, MissingMemberPayloadOrWorkBufferDrawsNothing) {
  UsePayload({{"quad.bmp", Quadrants()}});
  const auto blank = canvas().Pixels();
  DrawArchiveBitmap(400, 190, dc(), "other.bmp", 0, 0, 20, 10, 0, 0, 20, 10);
  EXPECT_EQ(canvas().Pixels(), blank) << "missing member";

  g_run.work = nullptr;
  g_run.workSize = 0;
  DrawArchiveBitmap(400, 190, dc(), "quad.bmp", 0, 0, 20, 10, 0, 0, 20, 10);
  EXPECT_EQ(canvas().Pixels(), blank) << "no work buffer";

  g_run.work = work_.data();
  g_run.workSize = work_.size();
  g_run.payload = nullptr;
  g_run.payloadSize = 0;
  DrawArchiveBitmap(400, 190, dc(), "quad.bmp", 0, 0, 20, 10, 0, 0, 20, 10);
  EXPECT_EQ(canvas().Pixels(), blank) << "no payload";
}

// ---------------------------------------------------------------------------
// The pages

constexpr COLORREF kPicture = RGB(10, 120, 30);
constexpr COLORREF kStripe = RGB(250, 0, 250);

// The loading page's picture in its real shape, 401 x 310, one colour but
// for rows 90 and 91, which the Pinyin edition stretches behind its label.
std::string LoadingPicture() {
  return Bitmap24(401, 310, [](int, int y) { return y == 90 || y == 91 ? kStripe : kPicture; });
}

TEST_F(PagesTest, LoadingPageShowsTheTopOfThePictureOverTheLoadingText) {
  UsePayload({{"vemo1.bmp", LoadingPicture()}});
  PaintLoadingPage(dc());
  // The picture's top 400 x 190 pixels, unscaled; the loading gradient below.
  ExpectProbes(canvas(),
               {{0, 0, kPicture}, {399, 0, kPicture}, {399, 89, kPicture}, {399, 90, kStripe},
                {399, 91, kStripe}, {399, 92, kPicture}, {399, 189, kPicture},
                {399, 190, GradientColour(Gradient::Loading, 190)},
                {399, 309, RGB(0, 250, 111)}},
               "loading page");
  // The opaque loading text lay where the picture now is.
  EXPECT_EQ(canvas().Count(40, 145, 300, 165, kPicture), 260 * 20);
}

TEST_F(PagesTest, LoadingTextStaysWhenThePictureIsMissing) {
  UsePayload({{"other.bmp", LoadingPicture()}});
  PaintLoadingPage(dc());
  // Drawn opaque in the context's defaults: a white box with black text.
  EXPECT_GT(canvas().Count(40, 145, 300, 165, kWhite), 100);
  EXPECT_GT(canvas().Count(40, 145, 300, 165, kBlack), 0);
  EXPECT_EQ(canvas().At(399, 0), GradientColour(Gradient::Loading, 0));
}

TEST_F(PagesTest, PinyinEditionAloneDrawsItsLabelBand) {
  UsePayload({{"vemo1.bmp", LoadingPicture()}});
  // The band where two picture rows are stretched behind the label,
  // below the rows themselves.
  const RECT band{73, 92, 201, 125};
  const int area = (band.right - band.left) * (band.bottom - band.top);

  g_run.edition = 0;
  PaintLoadingPage(dc());
  EXPECT_EQ(canvas().Count(band.left, band.top, band.right, band.bottom, kPicture), area);

  canvas().Fill(kBackdrop);
  g_run.edition = 1;
  PaintLoadingPage(dc());
  EXPECT_GT(canvas().Count(band.left, band.top, band.right, band.bottom, kStripe), area / 4);
  EXPECT_EQ(canvas().Count(band.left, band.top, band.right, band.bottom, kPicture), 0);
  // Outside the band the picture is as in the Wubi edition.
  EXPECT_EQ(canvas().At(72, 100), kPicture);
  EXPECT_EQ(canvas().At(150, 89), kPicture);
  EXPECT_EQ(canvas().At(150, 126), kPicture);
}

TEST_F(PagesTest, LoadingPageKeepsTheFontAFreshContextHas) {
  UsePayload({{"vemo1.bmp", LoadingPicture()}});
  HGDIOBJ fresh = GetCurrentObject(dc(), OBJ_FONT);
  PaintLoadingPage(dc());
  EXPECT_EQ(g_ui.savedDefaultFont, fresh);
  EXPECT_NE(g_ui.savedDefaultFont, g_ui.textFont);
}

// Every pixel of rows top..bottom-1 is the common background.
int BackgroundRows(const Canvas& c, int top, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y) n += c.Count(0, y, kPageWidth, y + 1, GradientColour(Gradient::Common, y));
  return n;
}

const std::vector<Probe> kButtonFramePixels = {
    {40, 270, kBlack}, {140, 250, kBlack}, {100, 245, kWhite}, {40, 250, kWhite},
    {260, 270, kBlack}, {360, 250, kBlack}, {300, 245, kWhite}, {260, 250, kWhite}};

TEST_F(PagesTest, WorkingPageDrawsNoButtonsButTheOtherPagesDo) {
  // Below the working page's two lines nothing but the background.
  PaintWorkingPage(dc());
  EXPECT_EQ(BackgroundRows(canvas(), 120, kPageHeight), kPageWidth * (kPageHeight - 120));

  for (auto paint : {PaintSiteAddressPage, PaintInstallPathPage, PaintFinishedPage}) {
    canvas().Fill(kBackdrop);
    paint(dc());
    ExpectProbes(canvas(), kButtonFramePixels, "button frames");
    EXPECT_EQ(canvas().At(399, 309), GradientColour(Gradient::Common, 309));
  }
}

TEST_F(PagesTest, FieldFramesOfTheSiteAndInstallPathPages) {
  const std::vector<Probe> lower = {{30, 217, kBlack}, {365, 200, kBlack}, {200, 192, kWhite},
                                    {30, 200, kWhite}};
  const std::vector<Probe> unit = {{300, 187, kBlack}, {365, 170, kBlack}, {300, 162, kWhite},
                                   {30, 170, kWhite}};
  PaintSiteAddressPage(dc());
  ExpectProbes(canvas(), lower, "site page, lower frame");
  ExpectProbes(canvas(), unit, "site page, unit-site frame");

  canvas().Fill(kBackdrop);
  PaintInstallPathPage(dc());
  ExpectProbes(canvas(), lower, "install-path page, lower frame");
  EXPECT_EQ(canvas().At(300, 187), GradientColour(Gradient::Common, 187)) << "no unit-site frame";
}

int g_activations = 0;
HKL WINAPI CountActivation(HKL layout, UINT) {
  ++g_activations;
  return layout;
}

TEST_F(PagesTest, FinishedPageSwitchesToTheImeOnEveryPaint) {
  ImeState savedIme = g_ime;
  g_ime.installedLayout = reinterpret_cast<HKL>(static_cast<std::uintptr_t>(0xE0200804));
  g_ime.activateLayout = CountActivation;
  g_activations = 0;
  g_run.page = 8;
  PaintFinishedPage(dc());
  PaintFinishedPage(dc());
  g_ime = savedIme;
  EXPECT_EQ(g_activations, 2);
}

// ---------------------------------------------------------------------------
// Drawing straight into the setup window

// A plain top-level window standing in for the setup window, on top at the
// screen's corner, its client area 400 x 310 and grey.
class WindowPagesTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"tavoPagesTest";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                              kPageWidth, kPageHeight, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    Pump();
    Paint(kBackdrop);
    ASSERT_EQ(At(200, 200), kBackdrop);
    g_run.setupWindow = window_;
  }
  void TearDown() override {
    DestroyWindow(window_);
    PagesTest::TearDown();
  }
  static void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  void Paint(COLORREF c) {
    HDC dc = GetDC(window_);
    HBRUSH b = CreateSolidBrush(c);
    RECT r{0, 0, kPageWidth, kPageHeight};
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(window_, dc);
  }
  COLORREF At(int x, int y) {
    HDC dc = GetDC(window_);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window_, dc);
    return c;
  }
  void Expect(const std::vector<Probe>& probes, const std::string& what) {
    for (const Probe& p : probes)
      EXPECT_EQ(At(p.x, p.y), p.colour) << what << " at (" << p.x << ", " << p.y << ")";
  }

  HWND window_ = nullptr;
};

constexpr COLORREF kRed = RGB(255, 0, 0);

TEST_F(WindowPagesTest, ProgressBarWidths) {
  struct Case {
    int done, total;
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      // An empty white bar from (30, 191) to (370, 218), outlined black.
      {0, 64,
       {{31, 192, kWhite}, {368, 216, kWhite}, {30, 200, kBlack}, {369, 200, kBlack},
        {200, 191, kBlack}, {200, 217, kBlack}, {200, 190, kBackdrop}, {200, 218, kBackdrop},
        {370, 200, kBackdrop}, {29, 200, kBackdrop}}},
      {-5, 64, {{31, 192, kWhite}, {368, 216, kWhite}}},
      // 170 pixels: x 30 to 200.
      {32, 64,
       {{31, 192, kRed}, {198, 216, kRed}, {199, 200, kBlack}, {30, 200, kBlack},
        {100, 191, kBlack}, {100, 217, kBlack}, {200, 200, kBackdrop}, {368, 200, kBackdrop}}},
      {64, 64, {{368, 200, kRed}, {369, 200, kBlack}, {370, 200, kBackdrop}}},
      {80, 64, {{368, 200, kRed}, {369, 200, kBlack}, {370, 200, kBackdrop}}},
      // Counts whose product with 340 passes 2^31 still give half.
      {10000000, 20000000, {{198, 200, kRed}, {199, 200, kBlack}, {200, 200, kBackdrop}}},
      {1, -1, {{368, 200, kRed}, {369, 200, kBlack}}},
  };
  for (const Case& c : cases) {
    Paint(kBackdrop);
    DrawProgress(c.done, c.total);
    Expect(c.probes, "DrawProgress(" + std::to_string(c.done) + ", " + std::to_string(c.total) + ")");
  }
}

TEST_F(WindowPagesTest, RepaintDrawsTheInstallPathPageIntoTheWindow) {
  RepaintInstallPathPage();
  Expect(kButtonFramePixels, "repainted page");
  Expect({{30, 217, kBlack}, {399, 309, GradientColour(Gradient::Common, 309)}}, "repainted page");
}

TEST_F(WindowPagesTest, SilentInstallDrawsNothing) {
  g_run.setupMode = 3;
  RepaintInstallPathPage();
  DrawProgress(0, 64);
  DrawProgress(32, 64);
  Expect({{40, 270, kBackdrop}, {399, 309, kBackdrop}, {100, 200, kBackdrop}, {30, 191, kBackdrop}},
         "silent install");
}

TEST_F(WindowPagesTest, NoSetupWindowDrawsNothingOnTheScreen) {
  // Without a window a device context would be the whole screen's.
  g_run.setupWindow = nullptr;
  RepaintInstallPathPage();
  DrawProgress(32, 64);
  HDC screen = GetDC(nullptr);
  EXPECT_NE(GetPixel(screen, 100, 200), kRed);
  EXPECT_NE(GetPixel(screen, 40, 270), kBlack);
  ReleaseDC(nullptr, screen);
}

// ---------------------------------------------------------------------------
// The window's drawing objects

TEST(WindowObjects, FontsAndBrushAsTheWindowNeedsThem) {
  CreateWindowObjects();
  struct Font {
    HFONT font;
    LONG height, width;
    const wchar_t* face;
  };
  for (const Font& f : {Font{g_ui.textFont, 22, 7, L"\u5B8B\u4F53"},
                        Font{g_ui.headingFont, 40, 20, L"\u6977\u4F53"}}) {
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(f.font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, f.height);
    EXPECT_EQ(lf.lfWidth, f.width);
    EXPECT_EQ(lf.lfWeight, 0);
    EXPECT_EQ(lf.lfCharSet, 134);
    EXPECT_EQ(lf.lfEscapement | lf.lfOrientation | lf.lfItalic | lf.lfUnderline | lf.lfStrikeOut |
                  lf.lfOutPrecision | lf.lfClipPrecision | lf.lfQuality | lf.lfPitchAndFamily,
              0);
    EXPECT_STREQ(lf.lfFaceName, f.face);
  }
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectW(g_ui.redBrush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, RGB(255, 0, 0));

  HGDIOBJ made[] = {g_ui.textFont, g_ui.headingFont, g_ui.redBrush};
  DeleteWindowObjects();
  EXPECT_EQ(g_ui.textFont, nullptr);
  EXPECT_EQ(g_ui.headingFont, nullptr);
  EXPECT_EQ(g_ui.redBrush, nullptr);
  for (HGDIOBJ object : made) EXPECT_EQ(GetObjectType(object), 0u) << "still alive";
}

}  // namespace
