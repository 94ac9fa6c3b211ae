// The real capture window under a (virtual) X display, driven by real pointer input from
// xdotool: a drag and a double click capture a file and recognise it, and the cancel question
// is drawn so that its words stand on the pixels that answer it.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>

#include "desktop/real_window_test.h"
#include "platform/wx/form_view.h"
#include "platform/wx/full_screen_view.h"
#include "platform/wx/wx_desktop.h"
#include "program.h"
#include "sources/capture_window.h"
#include "support/recognition_fixture.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

class CaptureWindowView : public testing::RealWindowTest<> {
 protected:
  void SetUp() override {
    RealWindowTest::SetUp();
    service_.Reply(testing::kDemoPath, testing::kOneLineDemoReply);
  }
  void TearDown() override {
    if (user_.joinable()) user_.join();
    RealWindowTest::TearDown();
  }

  // Presses 截图识别 and, once the capture window is up, lets the user act on it from another
  // thread (xdotool moves the real pointer). A window still open after twenty seconds is
  // closed, so that a broken run fails instead of hanging.
  void RunCapture(std::function<void()> user) {
    wxTimer watch;
    const wxLongLong deadline = wxGetLocalTimeMillis() + 20000;
    watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      FullScreenView* view = nullptr;
      for (wxWindow* window : wxTopLevelWindows) {
        if (auto* found = dynamic_cast<FullScreenView*>(window); found && found->IsModal()) {
          view = found;
        }
      }
      if (!view) return;
      if (!user_.joinable()) user_ = std::thread(user);
      if (onTick_) onTick_();
      if (wxGetLocalTimeMillis() > deadline) {
        ADD_FAILURE() << "the capture window never closed";
        watch.Stop();
        view->EndModal(wxID_CANCEL);
      }
    });
    watch.Start(50);
    PressButton("按钮_截图识别");
    watch.Stop();
    if (user_.joinable()) user_.join();
  }

  static void Xdotool(const std::string& arguments) {
    const std::string command = "xdotool " + arguments;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }

  std::thread user_;
  std::function<void()> onTick_;
};

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

// The row of a BMP picture (as the program keeps them) that shows line y from the top.
std::string_view BmpRow(const std::string& bmp, int y) {
  const int width = static_cast<int>(LittleEndian(bmp, 18));
  const int height = static_cast<int>(LittleEndian(bmp, 22));
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  return std::string_view(bmp).substr(54 + rowBytes * (height - 1 - y), width * 3);
}

TEST_F(CaptureWindowView, ARealDragAndDoubleClickCaptureTheRectangleAndRecogniseIt) {
  // Something on the screen besides the main window, which hides while capturing.
  auto* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(200, 20), wxSize(700, 200));
  other->SetBackgroundColour(wxColour(200, 30, 60));
  new wxStaticText(other, wxID_ANY, "截图识别 Tarnwick 0123456789", wxPoint(120, 40));
  other->Show();
  desktop_.PumpMessages(300);
  bool hiddenWhileOpen = false;
  onTick_ = [&] { hiddenWhileOpen = hiddenWhileOpen || !desktop_.mainView()->IsShown(); };
  RunCapture([] {
    Xdotool(
        "mousemove 300 40 sleep 0.3 mousedown 1 sleep 0.1 mousemove 500 90 sleep 0.1 "
        "mousemove 720 140 sleep 0.3 mouseup 1 sleep 0.3 mousemove 500 90 sleep 0.2 "
        "click --repeat 2 --delay 80 1");
  });
  EXPECT_TRUE(hiddenWhileOpen);
  EXPECT_TRUE(desktop_.mainView()->IsShown());
  EXPECT_EQ(program_.state().CaptureSelection, (ScreenRect{300, 40, 720, 140}));

  std::vector<std::filesystem::path> files;
  std::error_code ignored;
  for (const auto& entry :
       std::filesystem::directory_iterator(folder_.path() / kCaptureFolderName, ignored)) {
    files.push_back(entry.path());
  }
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(files[0].filename().string().ends_with(".png"));
  const std::string bytes = testing::ReadFileBytes(files[0]);
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(LittleEndian(bytes, 18), 420u);
  EXPECT_EQ(LittleEndian(bytes, 22), 100u);
  EXPECT_EQ(bytes.size(), 54u + 420 * 3 * 100);
  // What was captured is the frozen screen, without the frame of the selection.
  const std::string& snapshot = program_.state().ScreenSnapshot;
  int differentRows = 0;
  for (int y = 0; y < 100; ++y) {
    differentRows += BmpRow(bytes, y) != BmpRow(snapshot, 40 + y).substr(300 * 3, 420 * 3);
  }
  EXPECT_EQ(differentRows, 0);
  // The other window stands in the frozen screen in its own colour (blue, green, red bytes).
  EXPECT_EQ(BmpRow(snapshot, 200).substr(210 * 3, 3), "\x3C\x1E\xC8");
  // The main window was hidden before the screen was frozen: where only it stood, the frozen
  // screen shows the bare (black) background.
  int mainWindowRows = 0;
  for (int y = 300; y < 700; ++y) {
    mainWindowRows += BmpRow(snapshot, y).substr(10 * 3, 170 * 3) != std::string(170 * 3, '\0');
  }
  EXPECT_EQ(mainWindowRows, 0);
  other->Destroy();

  const auto sent = service_.requestsTo(testing::kDemoPath);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].body.starts_with("image=data%3Aimage%2Fpng%3Bbase64%2C" +
                                       UrlEncode(Base64Encode(bytes)) + "&"));
  EXPECT_TRUE(program_.window().编辑框1.text().ends_with("X\r\n\r\n"));
}

TEST_F(CaptureWindowView, TheQuestionsWordsStandOnThePixelsThatAnswerIt) {
  const ScreenSize screen = desktop_.PrimaryScreenSize();
  const int left = (screen.width - 273) / 2;
  const int top = (screen.height - 34) / 2;
  std::atomic<bool> asked = false;
  std::atomic<bool> looked = false;
  std::vector<int> inkColumns;
  onTick_ = [&] {
    if (!asked || looked) return;
    const ScreenPixels label = desktop_.CopyScreen({left, top, left + 273, top + 34});
    for (int x = 0; x < label.width; ++x) {
      bool ink = false;
      for (int y = 0; y < label.height; ++y) {
        const std::uint8_t* p = &label.rgb[(static_cast<std::size_t>(y) * label.width + x) * 3];
        ink = ink || p[0] + p[1] + p[2] < 200;
      }
      if (ink) inkColumns.push_back(x);
    }
    looked = true;
  };
  RunCapture([&] {
    Xdotool("mousemove 100 100 sleep 0.2 click 3 sleep 0.5");
    asked = true;
    for (int i = 0; i < 200 && !looked; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // 是 cancels the capture.
    Xdotool("mousemove " + std::to_string(left + 206) + " " + std::to_string(top + 17) +
            " click 1");
  });
  ASSERT_TRUE(looked);
  int yes = 0;
  int no = 0;
  for (const int x : inkColumns) {
    if (x < 180) continue;  // the question itself
    if (188 <= x && x <= 224) {
      ++yes;
    } else if (231 <= x && x <= 267) {
      ++no;
    } else {
      // Only the thin bars stand between and beside the words.
      EXPECT_TRUE(x < 188 || (x > 224 && x < 231) || x > 267) << x;
    }
  }
  EXPECT_GT(yes, 10);
  EXPECT_GT(no, 10);
  // The bars are one or two pixels wide, so nothing of either word spills out of its range.
  for (const auto& [first, last] : {std::pair{180, 187}, std::pair{225, 230}, {268, 272}}) {
    EXPECT_LE(std::count_if(inkColumns.begin(), inkColumns.end(),
                            [=](int x) { return first <= x && x <= last; }),
              2)
        << first;
  }
  EXPECT_TRUE(desktop_.mainView()->IsShown());
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / kCaptureFolderName));
}

}  // namespace
}  // namespace tarnwick
