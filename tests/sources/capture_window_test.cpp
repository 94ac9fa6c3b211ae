// The capture window on the simulated desktop: the user drags, double-clicks and answers the
// cancel question inside a window script, on a virtual screen painted with a known pattern.

#include "sources/capture_window.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <leptonica/allheaders.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "recognition/general_recognition.h"
#include "sources/capture_window_form.h"
#include "sources/screen_capture.h"
#include "support/paths.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using testing::RecognitionTest;

// Every pixel of the virtual screen has a colour of its own place.
std::uint32_t Pattern(int x, int y) {
  return (static_cast<std::uint32_t>(x * 7 & 0xFF) << 16) |
         (static_cast<std::uint32_t>(y * 5 & 0xFF) << 8) |
         static_cast<std::uint32_t>((x + y) & 0xFF);
}

void Press(SimDesktop& desktop, PointerAction action, int x, int y) {
  desktop.PointerAt(action, {x, y});
}

// Presses at `from`, moves to `to` in a few steps with the timer ticking, and releases there.
void Drag(SimDesktop& desktop, ScreenPoint from, ScreenPoint to) {
  desktop.PointerAt(PointerAction::LeftPress, from);
  for (int step = 1; step <= 4; ++step) {
    desktop.SetPointer({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
    desktop.AdvanceClock(2);
  }
  desktop.PointerAt(PointerAction::LeftRelease, to);
}

// A double click as the window system delivers it.
void DoubleClick(SimDesktop& desktop, ScreenPoint at) {
  desktop.PointerAt(PointerAction::LeftPress, at);
  desktop.PointerAt(PointerAction::LeftRelease, at);
  desktop.PointerAt(PointerAction::LeftDoubleClick, at);
  desktop.PointerAt(PointerAction::LeftRelease, at);
}

struct DecodedPicture {
  int width = 0;
  int height = 0;
  int depth = 0;
  std::vector<std::uint32_t> colours;  // 0xRRGGBB, rows from the top
};

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

#ifdef _WIN32
// Reads BMP bytes with GDI, a decoder that shares nothing with the program's encoder: it copies
// the stored rows, whatever their order and padding, into 32-bit rows from the top.
std::optional<DecodedPicture> DecodeIndependently(const std::string& bytes) {
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return std::nullopt;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + 14);
  const std::uint32_t bitsAt = LittleEndian(bytes, 10, 4);
  if (bitsAt >= bytes.size()) return std::nullopt;
  DecodedPicture picture{
      info->bmiHeader.biWidth, std::abs(info->bmiHeader.biHeight), info->bmiHeader.biBitCount, {}};
  BITMAPINFO wanted{};
  wanted.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB};
  void* rows = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &wanted, DIB_RGB_COLORS, &rows, nullptr, 0);
  if (!bitmap) return std::nullopt;
  const int copied = SetDIBits(nullptr, bitmap, 0, static_cast<UINT>(picture.height),
                               bytes.data() + bitsAt, info, DIB_RGB_COLORS);
  if (copied == picture.height) {
    const auto* pixels = static_cast<const std::uint32_t*>(rows);
    picture.colours.assign(pixels, pixels + picture.width * picture.height);
    for (std::uint32_t& colour : picture.colours) colour &= 0xFFFFFF;
  }
  DeleteObject(bitmap);
  if (copied != picture.height) return std::nullopt;
  return picture;
}
#else
// Reads BMP bytes with Leptonica, a decoder that shares nothing with the program's encoder.
std::optional<DecodedPicture> DecodeIndependently(const std::string& bytes) {
  PIX* pix = pixReadMem(reinterpret_cast<const l_uint8*>(bytes.data()), bytes.size());
  if (!pix) return std::nullopt;
  DecodedPicture picture{pixGetWidth(pix), pixGetHeight(pix), pixGetDepth(pix), {}};
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      l_uint32 value = 0;
      l_int32 r = 0, g = 0, b = 0;
      pixGetPixel(pix, x, y, &value);
      extractRGBValues(value, &r, &g, &b);
      picture.colours.push_back(static_cast<std::uint32_t>(r << 16 | g << 8 | b));
    }
  }
  pixDestroy(&pix);
  return picture;
}

#endif

// Checks the header fields a capture file must carry and that every pixel is the screen's.
void ExpectScreenPicture(const std::string& bytes, const ScreenRect& area, const char* name) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  ASSERT_EQ(bytes.size(), 54 + rowBytes * height) << name;
  EXPECT_EQ(bytes.substr(0, 2), "BM") << name;
  EXPECT_EQ(LittleEndian(bytes, 2, 4), bytes.size()) << name;
  EXPECT_EQ(LittleEndian(bytes, 6, 4), 0u) << name;
  EXPECT_EQ(LittleEndian(bytes, 10, 4), 54u) << name;
  EXPECT_EQ(LittleEndian(bytes, 14, 4), 40u) << name;
  EXPECT_EQ(LittleEndian(bytes, 18, 4), static_cast<std::uint32_t>(width)) << name;
  EXPECT_EQ(LittleEndian(bytes, 22, 4), static_cast<std::uint32_t>(height)) << name;
  EXPECT_EQ(LittleEndian(bytes, 28, 2), 24u) << name;
  EXPECT_EQ(LittleEndian(bytes, 30, 4), 0u) << name;
  const std::optional<DecodedPicture> decoded = DecodeIndependently(bytes);
  ASSERT_TRUE(decoded) << name;
  ASSERT_EQ(decoded->width, width) << name;
  ASSERT_EQ(decoded->height, height) << name;
  int wrong = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      wrong += decoded->colours[y * width + x] != Pattern(area.left + x, area.top + y);
    }
  }
  EXPECT_EQ(wrong, 0) << name;
}

class CaptureWindowTest : public RecognitionTest {
 protected:
  CaptureWindowTest() {
    desktop().SetScreen({640, 480});
    desktop().PaintScreen(Pattern);
    service_.Reply(testing::kDemoPath, testing::kOneLineDemoReply);
  }

  // Runs one capture window in which the user does what `script` says.
  void Capture(std::function<void(CaptureWindow&, SimDesktop&)> script) {
    desktop().OnFullScreenWindow([script](Form& form, SimDesktop& desktop) {
      script(static_cast<CaptureWindow&>(form), desktop);
    });
    window().按钮_截图识别.Click();
  }

  std::vector<std::filesystem::path> CaptureFiles() {
    std::vector<std::filesystem::path> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(
             sim_.folder() / Utf8Path(kCaptureFolderName), ignored)) {
      files.push_back(entry.path());
    }
    return files;
  }

  std::size_t Calls(const std::string& call) {
    const auto& calls = desktop().calls();
    return std::count(calls.begin(), calls.end(), call);
  }
};

TEST_F(CaptureWindowTest, ADragEitherWayMakesTheSameSelectionAndFramesIt) {
  struct Case {
    const char* name;
    ScreenPoint from;
    ScreenPoint to;
  };
  const Case cases[] = {{"down and right", {100, 50}, {300, 210}},
                        {"up and left", {300, 210}, {100, 50}}};
  for (const Case& c : cases) {
    std::vector<int> periods;
    Capture([&](CaptureWindow& w, SimDesktop& desktop) {
      EXPECT_EQ(w.width(), 640);
      EXPECT_EQ(w.height(), 480);
      EXPECT_EQ(w.标签1.place(), (Rect{183, 223, 273, 34})) << "centred on the screen";
      EXPECT_EQ(w.外形框3.place(), (Rect{344, 32, 1, 1}));
      periods.push_back(w.时钟1.period());
      desktop.PointerAt(PointerAction::LeftPress, c.from);
      periods.push_back(w.时钟1.period());
      EXPECT_TRUE(state().IsDragging);
      desktop.SetPointer({200, 120});
      desktop.AdvanceClock(1);
      EXPECT_TRUE(w.外形框1.visible()) << "the band follows the pointer while dragging";
      Drag(desktop, c.from, c.to);
      periods.push_back(w.时钟1.period());
      EXPECT_FALSE(state().IsDragging);
      EXPECT_EQ(w.外形框1.place(), (Rect{100, 50, 200, 1})) << c.name;
      EXPECT_EQ(w.外形框2.place(), (Rect{100, 50, 1, 160})) << c.name;
      EXPECT_EQ(w.外形框3.place(), (Rect{100, 210, 200, 1})) << c.name;
      EXPECT_EQ(w.外形框4.place(), (Rect{300, 50, 1, 160})) << c.name;
      for (Control* edge : w.FrameEdges()) EXPECT_TRUE(edge->visible()) << c.name;
      EXPECT_EQ(w.透明标签1.place(), (Rect{100, 50, 200, 160})) << c.name;
      EXPECT_FALSE(w.透明标签1.visible());
      EXPECT_EQ(w.caption(), "") << "the pointer is on the frame, not inside";
    });
    EXPECT_EQ(state().CaptureSelection, (ScreenRect{100, 50, 300, 210})) << c.name;
    EXPECT_EQ(periods, (std::vector<int>{10, 1, 0})) << c.name;
  }
}

TEST_F(CaptureWindowTest, ADoubleClickInsideStoresTheScreenAndRecognisesIt) {
  const std::string before = UnixTimestamp();
  Capture([&](CaptureWindow& w, SimDesktop& desktop) {
    Drag(desktop, {101, 51}, {358, 212});  // 257 wide: rows need padding
    EXPECT_EQ(w.background(), state().ScreenSnapshot);
    DoubleClick(desktop, {200, 100});
    EXPECT_EQ(w.caption(), "碰撞!");
    EXPECT_TRUE(w.closed());
  });
  const auto files = CaptureFiles();
  ASSERT_EQ(files.size(), 1u);
  const std::string name = PathText(files[0].filename());
  EXPECT_EQ(name.size(), 14u) << name;
  EXPECT_TRUE(std::all_of(name.begin(), name.begin() + 10, ::isdigit)) << name;
  EXPECT_TRUE(name.ends_with(".png")) << name;
  EXPECT_LE(before, name.substr(0, 10)) << "named by the time of the capture";
  EXPECT_LE(name.substr(0, 10), UnixTimestamp());
  const std::string bytes = testing::ReadFileBytes(files[0]);
  ExpectScreenPicture(bytes, {101, 51, 358, 212}, "capture file");
  EXPECT_EQ(state().ImagePath, PathText(files[0]));

  const auto sent = service_.requestsTo(testing::kDemoPath);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].body.starts_with("image=data%3Aimage%2Fpng%3Bbase64%2C" +
                                       UrlEncode(Base64Encode(bytes)) + "&"));
  EXPECT_TRUE(Output().ends_with("X\r\n\r\n")) << Output();

  // The main window is hidden before the screen is frozen, and back once the window is gone.
  const auto& calls = desktop().calls();
  const auto hidden = std::find(calls.begin(), calls.end(), "ShowMainWindow off");
  const auto snapshot = std::find(calls.begin(), calls.end(), "CopyScreen 0,0,640,480");
  ASSERT_NE(hidden, calls.end());
  EXPECT_LT(hidden, snapshot);
  EXPECT_TRUE(desktop().mainWindowShown());
  EXPECT_EQ(Calls("RunFullScreenModal left open"), 0u);
}

TEST_F(CaptureWindowTest, PicturesAreCutToTheScreenAndAnEmptyOneIsNone) {
  struct Case {
    const char* name;
    ScreenRect asked;
    std::optional<ScreenRect> taken;
  };
  const Case cases[] = {
      {"inside, width a multiple of four", {10, 20, 18, 23}, ScreenRect{10, 20, 18, 23}},
      {"one pixel", {639, 479, 640, 480}, ScreenRect{639, 479, 640, 480}},
      {"over the top left corner", {-5, -7, 6, 3}, ScreenRect{0, 0, 6, 3}},
      {"over the bottom right corner", {630, 470, 700, 500}, ScreenRect{630, 470, 640, 480}},
      {"empty", {50, 50, 50, 90}, std::nullopt},
      {"upside down", {60, 60, 50, 50}, std::nullopt},
      {"off the screen", {700, 10, 720, 20}, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::string bytes = CaptureScreen(desktop(), c.asked);
    if (!c.taken) {
      EXPECT_EQ(bytes, "") << c.name;
      continue;
    }
    ExpectScreenPicture(bytes, *c.taken, c.name);
  }
  ExpectScreenPicture(CaptureScreen(desktop(), std::nullopt), {0, 0, 640, 480}, "whole screen");
}

TEST_F(CaptureWindowTest, ADoubleClickOnTheFrameOrOnNoSelectionCapturesNothing) {
  Capture([&](CaptureWindow& w, SimDesktop& desktop) {
    DoubleClick(desktop, {100, 100});  // the first window's selection is all zero
    desktop.AdvanceClock(20);
    Drag(desktop, {100, 50}, {300, 210});
    for (const ScreenPoint edge : {ScreenPoint{100, 100}, ScreenPoint{300, 100},
                                   ScreenPoint{200, 50}, ScreenPoint{200, 210}}) {
      DoubleClick(desktop, edge);
      EXPECT_FALSE(w.closed());
    }
    Press(desktop, PointerAction::LeftPress, 400, 400);  // a click without movement
    desktop.AdvanceClock(5);
    Press(desktop, PointerAction::LeftRelease, 400, 400);
    DoubleClick(desktop, {400, 400});
    EXPECT_FALSE(w.closed());
    EXPECT_EQ(w.caption(), "");
  });
  EXPECT_EQ(CaptureFiles().size(), 0u);
  EXPECT_EQ(service_.requests().size(), 0u);
  EXPECT_EQ(state().CaptureSelection, (ScreenRect{400, 400, 400, 400}));
}

TEST_F(CaptureWindowTest, TheNextWindowStartsWithThePreviousSelection) {
  window().选择框_截图_截图隐藏.Click();  // unticked: the main window stays
  Capture([](CaptureWindow&, SimDesktop& desktop) {
    Drag(desktop, {40, 30}, {90, 70});
    DoubleClick(desktop, {60, 50});
  });
  std::filesystem::remove_all(sim_.folder() / Utf8Path(kCaptureFolderName));
  Capture([&](CaptureWindow& w, SimDesktop& desktop) {
    Press(desktop, PointerAction::LeftPress, 50, 40);
    EXPECT_FALSE(state().IsDragging) << "a press inside starts no new selection";
    EXPECT_EQ(w.时钟1.period(), 10);
    for (Control* edge : w.FrameEdges()) EXPECT_FALSE(edge->visible());
    Press(desktop, PointerAction::LeftRelease, 50, 40);
    DoubleClick(desktop, {50, 40});
  });
  const auto files = CaptureFiles();
  ASSERT_EQ(files.size(), 1u);
  ExpectScreenPicture(testing::ReadFileBytes(files[0]), {40, 30, 90, 70}, "second capture");
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 2u);
  EXPECT_EQ(Calls("ShowMainWindow off"), 0u);
}

TEST_F(CaptureWindowTest, TheQuestionAnswersOnlyOnItsWords) {
  enum Result { Nothing, Cancel, Dismiss };
  struct Case {
    int x;
    Result result;
  };
  const Case cases[] = {{187, Nothing}, {188, Cancel},  {224, Cancel},  {225, Nothing},
                        {228, Nothing}, {230, Nothing}, {231, Dismiss}, {267, Dismiss},
                        {268, Nothing}, {0, Nothing},   {272, Nothing}};
  for (const Case& c : cases) {
    Capture([&](CaptureWindow& w, SimDesktop& desktop) {
      Drag(desktop, {10, 10}, {60, 40});
      Press(desktop, PointerAction::RightPress, 500, 400);
      EXPECT_TRUE(w.标签1.visible());
      EXPECT_TRUE(w.透明标签1.visible());
      EXPECT_EQ(w.透明标签1.place(), (Rect{0, 0, 640, 480}));
      const Rect label = w.标签1.place();
      Press(desktop, PointerAction::LeftPress, label.left + c.x, label.top + 17);
      EXPECT_EQ(w.closed(), c.result == Cancel) << c.x;
      EXPECT_EQ(w.标签1.visible(), c.result != Dismiss) << c.x;
      if (c.result == Dismiss) {
        EXPECT_FALSE(w.透明标签1.visible()) << c.x;
        EXPECT_EQ(w.透明标签1.place(), (Rect{10, 10, 50, 30})) << c.x;
      }
      if (c.result == Nothing) {
        // While the question is up, presses beside it start nothing underneath.
        Press(desktop, PointerAction::LeftPress, 500, 400);
        EXPECT_FALSE(state().IsDragging) << c.x;
      }
    });
    EXPECT_TRUE(desktop().mainWindowShown()) << c.x;
  }
  EXPECT_EQ(CaptureFiles().size(), 0u);
  EXPECT_EQ(service_.requests().size(), 0u);
}

TEST_F(CaptureWindowTest, CancellingInTheMiddleOfADragKeepsTheSelectionForTheNextWindow) {
  Capture([](CaptureWindow&, SimDesktop& desktop) { Drag(desktop, {10, 10}, {60, 40}); });
  Capture([](CaptureWindow& w, SimDesktop& desktop) {
    Press(desktop, PointerAction::LeftPress, 100, 100);
    desktop.SetPointer({150, 150});
    desktop.AdvanceClock(2);
    Press(desktop, PointerAction::RightPress, 150, 150);
    Press(desktop, PointerAction::LeftRelease, 150, 150);  // over the question's layer
    const Rect label = w.标签1.place();
    Press(desktop, PointerAction::LeftPress, label.left + 200, label.top + 10);
  });
  const ScreenRect cancelled{100, 100, 150, 150};
  EXPECT_EQ(state().CaptureSelection, cancelled);
  Capture([](CaptureWindow&, SimDesktop& desktop) {
    desktop.SetPointer({400, 300});
    desktop.AdvanceClock(50);
  });
  EXPECT_EQ(state().CaptureSelection, cancelled) << "no drag goes on in a new window";
}

TEST_F(CaptureWindowTest, TheMagnifierFollowsThePointerAndRepaintsOnlyOnChange) {
  Capture([&](CaptureWindow& w, SimDesktop& desktop) {
    int changes = 0;
    for (Control* control : w.controls()) {
      control->Observe([&changes](const Control&, ControlChange) { ++changes; });
    }
    desktop.SetPointer({300, 200});
    desktop.AdvanceClock(10);
    EXPECT_TRUE(w.图片框1.visible());
    EXPECT_EQ(w.图片框1.place(), (Rect{320, 120, 80, 60}));
    // 80 x 60 shows a 26 x 20 strip with the pointer a sixth in from its top left.
    ExpectScreenPicture(w.图片框1.picture(), {287, 190, 313, 210}, "magnifier");
    EXPECT_EQ(state().MagnifierPicture, w.图片框1.picture());

    changes = 0;
    desktop.AdvanceClock(50);
    EXPECT_EQ(changes, 0) << "nothing changed, nothing is written";
    desktop.PaintScreen([](int, int) { return 0x123456u; });
    desktop.AdvanceClock(10);
    EXPECT_EQ(changes, 1) << "a new picture, in the same place";

    desktop.SetPointer({3, 2});  // the strip hangs off the screen's corner
    desktop.AdvanceClock(10);
    EXPECT_EQ(w.图片框1.place(), (Rect{23, -78, 80, 60}));
    EXPECT_EQ(w.图片框1.picture().size(), 54 + 48u * 12) << "a strip of 16 x 12 pixels";

    // During a drag only the edges that moved are written.
    Press(desktop, PointerAction::LeftPress, 100, 100);
    desktop.SetPointer({150, 140});
    desktop.AdvanceClock(1);
    changes = 0;
    desktop.SetPointer({150, 180});
    desktop.AdvanceClock(1);
    // The magnifier takes a new place and is shown (the screen is one colour now, so its
    // picture stays); the left and right edges grow and the bottom edge moves down, each
    // write wrapped in a hide and a show.
    EXPECT_EQ(changes, 2 + 3 * 3);
  });
}

TEST_F(CaptureWindowTest, AWindowClosedByTheWindowSystemStillBringsTheMainWindowBack) {
  Capture([](CaptureWindow&, SimDesktop&) {});
  EXPECT_EQ(Calls("RunFullScreenModal left open"), 1u);
  EXPECT_TRUE(desktop().mainWindowShown());
}

TEST_F(CaptureWindowTest, APressOnTheMagnifierDragsItInsteadOfSelecting) {
  Capture([&](CaptureWindow& w, SimDesktop& desktop) {
    Drag(desktop, {10, 10}, {60, 40});
    const Rect box = w.图片框1.place();
    Press(desktop, PointerAction::LeftPress, box.left + 5, box.top + 5);
    EXPECT_FALSE(state().IsDragging);
  });
  EXPECT_EQ(desktop().draggedControls(), (std::vector<std::string>{"图片框1"}));
  EXPECT_EQ(state().CaptureSelection, (ScreenRect{10, 10, 60, 40}));
}

}  // namespace
}  // namespace tarnwick
