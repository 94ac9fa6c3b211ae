// The program in its real Win32 windows (under Wine on a virtual X display in CI): the main
// window's controls, the flow from a click through the system's boxes and the input box to
// the service and back into the output box, and the full-screen capture window.

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/image_source_prompt.h"
#include "desktop_win32/box_answers.h"
#include "platform/win32/form_window.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/windows_api.h"
// clang-format off
#include <commctrl.h>
#include <shlobj.h>
// clang-format on
#include "program.h"
#include "support/fake_ocr_service.h"
#include "support/paths.h"
#include "support/temp_folder.h"
#include "support/wide_text.h"

namespace tarnwick {
namespace {

std::string TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), text.size())));
  return Narrow(text);
}

// A shown top-level window of this thread with this title; null when there is none.
HWND ShownWindow(const char* title) {
  HWND window = FindWindowW(nullptr, Widen(title).c_str());
  return window && IsWindowVisible(window) ? window : nullptr;
}

std::vector<std::string> ButtonCaptions(HWND box) {
  std::vector<std::string> captions;
  for (HWND child = FindWindowExW(box, nullptr, L"Button", nullptr); child;
       child = FindWindowExW(box, child, L"Button", nullptr)) {
    captions.push_back(TextOf(child));
  }
  return captions;
}

// Where a window stands in its parent's client area.
Rect PlaceInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Every character of the window's text (line breaks aside) has a glyph in the font the window
// draws with.
bool FontShowsText(HWND window) {
  std::wstring text = Widen(TextOf(window));
  std::erase_if(text, [](wchar_t c) { return c < L' '; });
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
  std::vector<WORD> glyphs(text.size());
  GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                   GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  for (WORD glyph : glyphs) {
    if (glyph == 0xFFFF) return false;
  }
  return true;
}

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.Start();
    ASSERT_NE(desktop_.mainWindow(), nullptr);
    main_ = desktop_.mainWindow()->window();
    desktop_.PumpMessages(100);
  }
  void TearDown() override {
    if (desktop_.mainWindow()) DestroyWindow(main_);
    EXPECT_EQ(desktop_.mainWindow(), nullptr);
  }

  HWND Native(const char* name) { return desktop_.mainWindow()->ControlWindow(name); }
  void Press(const char* name) { SendMessageW(Native(name), BM_CLICK, 0, 0); }
  std::string Output() { return TextOf(Native("编辑框1")); }

  testing::FakeOcrService service_;
  testing::TempFolder folder_;
  Win32Desktop desktop_;
  Program program_{desktop_, folder_.path(), service_.endpoints()};
  HWND main_ = nullptr;
};

TEST_F(Win32Window, ShowsEveryControlAtItsDesignedPlaceWithItsCaption) {
  RECT outer{};
  GetWindowRect(main_, &outer);
  const int statusBar = desktop_.mainWindow()->StatusBarHeight();
  ASSERT_GT(statusBar, 0);
  EXPECT_EQ(outer.right - outer.left, 958);
  EXPECT_EQ(outer.bottom - outer.top, 901 + statusBar);
  EXPECT_EQ(TextOf(main_), program_.window().caption());
  for (const Control* control : program_.window().controls()) {
    if (control->kind() == ControlKind::Timer) continue;
    HWND native = Native(control->name().c_str());
    ASSERT_NE(native, nullptr) << control->name();
    EXPECT_EQ(PlaceInParent(native), program_.window().PlaceInClientArea(*control))
        << control->name();
    EXPECT_EQ(TextOf(native), control->text()) << control->name();
    EXPECT_TRUE(FontShowsText(native)) << control->name();
    if (control->kind() == ControlKind::CheckBox || control->kind() == ControlKind::RadioButton) {
      EXPECT_EQ(SendMessageW(native, BM_GETCHECK, 0, 0) == BST_CHECKED, control->ticked())
          << control->name();
    }
  }
  EXPECT_EQ(program_.window().编辑框1.place(), (Rect{272, 8, 656, 845}));
  HWND stop = Native("按钮_停止");
  EXPECT_EQ(TextOf(stop), "停止(Esc)");
  EXPECT_FALSE(IsWindowEnabled(stop));
}

TEST_F(Win32Window, ResizingTheWindowResizesTheOutputBox) {
  SetWindowPos(main_, nullptr, 0, 0, 800, 600 + desktop_.mainWindow()->StatusBarHeight(),
               SWP_NOMOVE | SWP_NOZORDER);
  desktop_.PumpMessages(50);
  const Rect place = PlaceInParent(Native("编辑框1"));
  EXPECT_EQ(place, (Rect{272, 8, 498, 544}));
}

TEST_F(Win32Window, ClicksAndTypingReachTheProgramAndItsChangesReachTheControls) {
  Press("选择框_高精度版");
  EXPECT_TRUE(program_.window().选择框_高精度版.ticked());
  EXPECT_EQ(SendMessageW(Native("选择框_高精度版"), BM_GETCHECK, 0, 0), BST_CHECKED);
  // The handler unticks the other box of the pair by program.
  EXPECT_EQ(SendMessageW(Native("选择框_标准版"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(program_.settings().ReadSetting("勾选", "识别格式"), "高精度版");

  SetWindowTextW(Native("编辑框_apikey"), L"键入的key");
  EXPECT_EQ(program_.window().编辑框_apikey.text(), "键入的key");
  EXPECT_EQ(program_.settings().ReadSetting("参数", "apikey"), "键入的key");

  program_.window().AppendOutput("识别结果\r\n");
  EXPECT_TRUE(Output().ends_with("会提示频繁\r\n识别结果\r\n")) << Output();
}

TEST_F(Win32Window, TheWebPictureButtonFlowsThroughTheInputBoxToTheOutputBox) {
  service_.Reply(testing::kDemoPath, R"({"errno":0,"data":{"words_result_num":2,"words_result":[)"
                                     R"({"words":"第一行"},{"words":"second line"}]}})");
  std::string offered;
  testing::BoxAnswers answers({[&offered] {
    HWND box = ShownWindow("请输入");
    if (!box) return false;
    HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    offered = TextOf(edit);
    SetWindowTextW(edit, L"https://pictures.example/page.png");
    SendMessageW(FindWindowExW(box, nullptr, L"Button", L"确定"), BM_CLICK, 0, 0);
    return true;
  }});
  Press("按钮_网络图片");
  EXPECT_TRUE(answers.allAnswered());
  EXPECT_TRUE(offered.starts_with("https://")) << offered;
  EXPECT_TRUE(
      Output().ends_with("--------识别文件：https://pictures.example/page.png\r\n"
                         "第一行\r\nsecond line\r\n\r\n"))
      << Output();
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 1u);
}

TEST_F(Win32Window, ThePromptIsTheSystemsBoxWithItsButtonsRelabelled) {
  std::vector<std::string> captions;
  std::string text;
  testing::BoxAnswers answers({[&] {
    HWND box = ShownWindow("信息：");
    if (!box) return false;
    HWND local = FindWindowExW(box, nullptr, L"Button", L"本地图片(&B)");
    if (!local) return false;  // the relabel timer has not ticked yet
    captions = ButtonCaptions(box);
    text = TextOf(FindWindowExW(box, nullptr, L"Static", L"请选择图片的类型！"));
    SendMessageW(local, BM_CLICK, 0, 0);
    return true;
  }});
  const ImageSource source = ImageSourcePrompt(program_.context(), "请选择图片的类型！");
  EXPECT_TRUE(answers.allAnswered());
  EXPECT_EQ(captions, (std::vector<std::string>{"取消识别(&E)", "本地图片(&B)", "网络图片(&W)"}));
  EXPECT_EQ(text, "请选择图片的类型！");
  EXPECT_EQ(source, ImageSource::Local);
  desktop_.PumpMessages(300);
  EXPECT_EQ(program_.window().时钟_信息框_修改.period(), 0);
}

TEST_F(Win32Window, ClosingTheWindowWhileACommandWaitsInItsPromptWaitsForTheCommand) {
  bool openDuringPrompt = false;
  testing::BoxAnswers answers({
      [this] {
        if (!ShownWindow("信息：")) return false;
        // The prompt is system-modal and leaves the main window usable.
        PostMessageW(main_, WM_CLOSE, 0, 0);
        return true;
      },
      [&] {
        HWND box = ShownWindow("信息：");
        HWND cancel = box ? FindWindowExW(box, nullptr, L"Button", L"取消识别(&E)") : nullptr;
        if (!cancel) return false;
        openDuringPrompt = IsWindow(main_) && IsWindowVisible(main_);
        SendMessageW(cancel, BM_CLICK, 0, 0);
        return true;
      },
  });
  Press("按钮_身份证识别");
  EXPECT_TRUE(answers.allAnswered());
  EXPECT_TRUE(openDuringPrompt);
  desktop_.PumpMessages(100);
  EXPECT_EQ(desktop_.mainWindow(), nullptr);
}

TEST_F(Win32Window, AFolderChosenInTheSystemsChooserIsWalkedUntilEscStopsIt) {
  const std::filesystem::path pictures = folder_.path() / Utf8Path("图片夹");
  std::filesystem::create_directory(pictures);
  for (const char* name : {"a.png", "b.png", "c.png"}) {
    testing::WriteFileBytes(pictures / name, "picture bytes");
  }
  service_.Reply(testing::kDemoPath, R"({"errno":0,"data":{"words_result_num":1,"words_result":[)"
                                     R"({"words":"文件夹里的字"}]}})");
  Press("选择框_png");
  SetWindowTextW(Native("编辑框_延迟毫秒"), L"5000");  // long enough to stop in the first pause
  HWND bar = Native("标签_进度");
  const auto part = [bar](int index) {
    std::wstring text(LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, index, 0)) + 1, L'\0');
    text.resize(
        LOWORD(SendMessageW(bar, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text.data()))));
    return Narrow(text);
  };
  std::string progressDuringPause;
  HWND chooser = nullptr;
  testing::BoxAnswers answers({
      [&] {
        for (HWND box = FindWindowW(L"#32770", nullptr); box && !chooser;
             box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
          if (IsWindowVisible(box) && FindWindowExW(box, nullptr, L"Static", L"请选择文件夹")) {
            chooser = box;
          }
        }
        if (!chooser) return false;
        // The chooser shows the selected folder's name once the selection has taken; until
        // then it is asked again, as a tree still filling may not take it at once.
        if (TextOf(FindWindowExW(chooser, nullptr, L"Edit", nullptr)) != "图片夹") {
          SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE,
                       reinterpret_cast<LPARAM>(pictures.wstring().c_str()));
          return false;
        }
        SendMessageW(FindWindowExW(chooser, nullptr, L"Button", L"确定"), BM_CLICK, 0, 0);
        return true;
      },
      [&] {
        if (part(0) != "进度：1/3") return false;
        progressDuringPause = part(0);
        PostMessageW(main_, WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
      },
  });
  Press("按钮_文件夹识别");
  EXPECT_TRUE(answers.allAnswered());
  EXPECT_EQ(progressDuringPause, "进度：1/3");
  EXPECT_EQ(part(1), "已停止");
  EXPECT_FALSE(IsWindowEnabled(Native("按钮_停止")));
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 1u);
  EXPECT_NE(Output().find("图片夹\\"), std::string::npos) << Output();
  EXPECT_NE(Output().find("文件夹里的字\r\n"), std::string::npos) << Output();
}

TEST_F(Win32Window, TheCaptureWindowCoversTheScreenAndItsQuestionCancelsIt) {
  const ScreenSize screen = desktop_.PrimaryScreenSize();
  Rect covered;
  bool mainShownDuringCapture = true;
  const auto press = [](HWND window, UINT message, int x, int y) {
    PostMessageW(window, message, message == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON,
                 MAKELPARAM(x, y));
  };
  HWND capture = nullptr;
  testing::BoxAnswers answers({
      [&] {
        capture = FindWindowW(L"TarnwickFullScreen", nullptr);
        if (!capture || !IsWindowVisible(capture)) return false;
        covered = PlaceInParent(capture);
        mainShownDuringCapture = IsWindowVisible(main_);
        press(capture, WM_RBUTTONDOWN, 10, 10);  // asks "是否取消？"
        return true;
      },
      [&] {
        // The word 是 of the question centred on the screen.
        press(capture, WM_LBUTTONDOWN, (screen.width - 273) / 2 + 200,
              (screen.height - 34) / 2 + 17);
        return true;
      },
  });
  Press("按钮_截图识别");
  EXPECT_TRUE(answers.allAnswered());
  EXPECT_EQ(covered, (Rect{0, 0, screen.width, screen.height}));
  EXPECT_FALSE(mainShownDuringCapture);
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / Utf8Path("图片")));
}

TEST_F(Win32Window, ADragAndADoubleClickCaptureTheSelectionAndRecogniseIt) {
  service_.Reply(testing::kDemoPath, R"({"errno":0,"data":{"words_result_num":1,"words_result":[)"
                                     R"({"words":"截图里的字"}]}})");
  // The capture window follows the real pointer; its presses come as the window's messages.
  HWND capture = nullptr;
  const auto at = [&capture](int x, int y, std::initializer_list<UINT> messages) {
    SetCursorPos(x, y);
    for (UINT message : messages) {
      PostMessageW(capture, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    return true;
  };
  testing::BoxAnswers answers({
      [&] {
        capture = FindWindowW(L"TarnwickFullScreen", nullptr);
        return capture && IsWindowVisible(capture) && at(100, 100, {WM_LBUTTONDOWN});
      },
      [&] { return at(300, 220, {}); },
      [&] { return at(300, 220, {WM_LBUTTONUP}); },
      [&] {
        return at(200, 160, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
      },
  });
  Press("按钮_截图识别");
  EXPECT_TRUE(answers.allAnswered());
  EXPECT_TRUE(IsWindowVisible(main_));
  std::vector<std::filesystem::path> captures;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path() / Utf8Path("图片"))) {
    captures.push_back(entry.path());
  }
  ASSERT_EQ(captures.size(), 1u);
  const std::string bmp = testing::ReadFileBytes(captures[0]);
  ASSERT_GE(bmp.size(), 26u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  const auto little32 = [&bmp](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(bmp[at])) |
           static_cast<unsigned>(static_cast<unsigned char>(bmp[at + 1])) << 8;
  };
  EXPECT_EQ(little32(18), 200u);  // width: the drag's right less its left
  EXPECT_EQ(little32(22), 120u);  // height
  EXPECT_TRUE(Output().ends_with("截图里的字\r\n\r\n")) << Output();
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 1u);
}

TEST_F(Win32Window, ScreenCopiesCarryTheScreensColoursInOrder) {
  WNDCLASSW patchClass{};
  patchClass.lpfnWndProc = DefWindowProcW;
  patchClass.hInstance = GetModuleHandleW(nullptr);
  patchClass.hbrBackground = CreateSolidBrush(RGB(10, 200, 30));
  patchClass.lpszClassName = L"TarnwickTestPatch";
  RegisterClassW(&patchClass);
  HWND patch = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"TarnwickTestPatch", L"",
                               WS_POPUP | WS_VISIBLE, 100, 100, 60, 40, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  desktop_.PumpMessages(200);
  const ScreenPixels pixels = desktop_.CopyScreen({110, 110, 130, 125});
  DestroyWindow(patch);
  ASSERT_EQ(pixels.width, 20);
  ASSERT_EQ(pixels.height, 15);
  ASSERT_EQ(pixels.rgb.size(), 20u * 15u * 3u);
  for (std::size_t i = 0; i < pixels.rgb.size(); i += 3) {
    ASSERT_EQ(pixels.rgb[i], 10) << i;
    ASSERT_EQ(pixels.rgb[i + 1], 200) << i;
    ASSERT_EQ(pixels.rgb[i + 2], 30) << i;
  }
}

TEST_F(Win32Window, TheClipboardCarriesChineseTextBothWays) {
  desktop_.SetClipboardText("https://图片.example/一.png");
  EXPECT_EQ(desktop_.ClipboardText(), "https://图片.example/一.png");
}

}  // namespace
}  // namespace tarnwick
