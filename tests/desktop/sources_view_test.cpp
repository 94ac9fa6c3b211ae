// Folder recognition and the clipboard watcher in the real main window under a (virtual) X
// display: the status bar and its stop control, and the X clipboard.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/statusbr.h>
#include <wx/timer.h>

#include <functional>

#include "platform/wx/form_view.h"
#include "platform/wx/status_bar_view.h"
#include "platform/wx/wx_desktop.h"
#include "platform/wx/wx_text.h"
#include "program.h"
#include "support/fake_ocr_service.h"
#include "support/temp_folder.h"

extern char** environ;

namespace tarnwick {
namespace {

// The real desktop, except that the folder chooser, a native GTK dialog that a test cannot
// reliably drive, picks the folder the test names.
class FolderPickingDesktop : public WxDesktop {
 public:
  std::optional<std::string> ChooseFolder(std::string_view prompt) override {
    chooserPrompts.emplace_back(prompt);
    return chosenFolder;
  }
  std::string chosenFolder;
  std::vector<std::string> chooserPrompts;
};

class SourcesView : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.Start();
    view_ = desktop_.mainView();
    ASSERT_NE(view_, nullptr);
    desktop_.PumpMessages(100);
  }
  void TearDown() override {
    if (desktop_.mainView()) desktop_.mainView()->Destroy();
    wxTheApp->ProcessIdle();
  }

  // Sends the widget's own event, as a user's click would.
  void Press(const char* controlName, wxEventType type) {
    wxWindow* widget = view_->WidgetFor(controlName);
    if (auto* box = dynamic_cast<wxCheckBox*>(widget)) box->SetValue(!box->GetValue());
    wxCommandEvent event(type, widget->GetId());
    event.SetEventObject(widget);
    widget->ProcessWindowEvent(event);
  }

  // Calls `look` every 20 ms while the program runs, from the window's own event loop.
  void Watch(std::function<void()> look) {
    watcher_.Bind(wxEVT_TIMER, [look](wxTimerEvent&) { look(); });
    watcher_.Start(20);
  }

  testing::FakeOcrService service_;
  testing::TempFolder folder_;
  FolderPickingDesktop desktop_;
  Program program_{desktop_, folder_.path(), service_.endpoints()};
  FormView* view_ = nullptr;
  wxTimer watcher_;
};

TEST_F(SourcesView, AFolderOfThreePicturesIsRecognisedWithTheStatusBarCounting) {
  const std::filesystem::path pictures = folder_.path() / "pictures";
  std::filesystem::create_directory(pictures);
  for (const char* name : {"a.png", "b.png", "c.PNG"}) {
    testing::WriteFileBytes(pictures / name, "picture");
  }
  Press("选择框_png", wxEVT_CHECKBOX);
  program_.window().编辑框_延迟毫秒.SetText("150");

  StatusBarView* bar = view_->statusBarView();
  ASSERT_NE(bar, nullptr);
  wxButton* stop = bar->ButtonFor(program_.window().按钮_停止);
  ASSERT_NE(stop, nullptr);
  EXPECT_FALSE(stop->IsEnabled());
  std::vector<std::string> shown;
  bool stopEnabledDuringWalk = false;
  desktop_.chosenFolder = pictures.string();
  Watch([&] {
    const std::string progress = FromWx(bar->GetStatusText(0));
    if (shown.empty() || shown.back() != progress) shown.push_back(progress);
    stopEnabledDuringWalk |= stop->IsEnabled();
  });
  Press("按钮_文件夹识别", wxEVT_BUTTON);
  watcher_.Stop();

  EXPECT_EQ(desktop_.chooserPrompts, std::vector<std::string>{"请选择文件夹"});
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 3u);
  EXPECT_TRUE(stopEnabledDuringWalk);
  EXPECT_FALSE(stop->IsEnabled());
  // Each count stays up for the pause after its file, long enough to be seen.
  EXPECT_NE(std::find(shown.begin(), shown.end(), "进度：1/3"), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(), "进度：2/3"), shown.end());
  EXPECT_EQ(FromWx(bar->GetStatusText(0)), "进度：3/3");
  EXPECT_EQ(FromWx(bar->GetStatusText(1)), "完成");
  EXPECT_TRUE(program_.window().编辑框1.text().ends_with(">>>>>>>>枚举" + pictures.string() +
                                                         "/中的*.png图片文件完成\r\n"));

  // Esc stops a walk during its pause, after the file under way.
  program_.window().编辑框_延迟毫秒.SetText("60000");
  bool escaped = false;
  Watch([&] {
    if (!escaped && stop->IsEnabled()) {
      escaped = true;
      wxKeyEvent escape(wxEVT_CHAR_HOOK);
      escape.m_keyCode = WXK_ESCAPE;
      escape.SetEventObject(view_->WidgetFor("编辑框1"));
      view_->ProcessWindowEvent(escape);
    }
  });
  const wxLongLong started = wxGetLocalTimeMillis();
  Press("按钮_文件夹识别", wxEVT_BUTTON);
  watcher_.Stop();
  EXPECT_LT(wxGetLocalTimeMillis() - started, 30000);
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 4u);
  EXPECT_EQ(FromWx(bar->GetStatusText(0)), "进度：1/3");
  EXPECT_EQ(FromWx(bar->GetStatusText(1)), "已停止");

  // Closing the window during a pause stops the walk too; the window goes once it has ended.
  bool closing = false;
  Watch([&] {
    if (!closing && stop->IsEnabled()) {
      closing = true;
      view_->Close();
    }
  });
  Press("按钮_文件夹识别", wxEVT_BUTTON);
  watcher_.Stop();
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 5u);
  ASSERT_NE(desktop_.mainView(), nullptr);
  wxTheApp->ProcessPendingEvents();
  wxTheApp->ProcessIdle();
  EXPECT_EQ(desktop_.mainView(), nullptr);
}

TEST_F(SourcesView, AnAddressPutOnTheXClipboardIsRecognisedOnce) {
  const std::string address = "http://pictures.example/copied.png";
  int written[2];
  ASSERT_EQ(pipe(written), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, written[0], 0);
  posix_spawn_file_actions_addclose(&actions, written[1]);
  char program[] = "xclip";
  char selection[] = "-selection";
  char clipboard[] = "clipboard";
  char* arguments[] = {program, selection, clipboard, nullptr};
  pid_t xclip = 0;
  ASSERT_EQ(posix_spawnp(&xclip, "xclip", &actions, nullptr, arguments, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(written[0]);
  ASSERT_EQ(write(written[1], address.data(), address.size()),
            static_cast<ssize_t>(address.size()));
  close(written[1]);

  // The switch asks first; OK starts the watcher.
  wxTimer answer;
  answer.Bind(wxEVT_TIMER, [&answer](wxTimerEvent&) {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<wxDialog*>(window);
      if (dialog && dialog->IsModal()) {
        answer.Stop();
        dialog->EndModal(wxID_OK);
        return;
      }
    }
  });
  answer.Start(50);
  Press("选择框_监视剪贴板url", wxEVT_CHECKBOX);
  EXPECT_EQ(program_.window().时钟_监视剪贴板.period(), 300);

  const wxLongLong deadline = wxGetLocalTimeMillis() + 10000;
  while (service_.requestsTo(testing::kDemoPath).empty() && wxGetLocalTimeMillis() < deadline) {
    desktop_.PumpMessages(100);
  }
  desktop_.PumpMessages(1200);  // several more ticks with the same text on the clipboard
  kill(xclip, SIGTERM);
  waitpid(xclip, nullptr, 0);

  const auto requests = service_.requestsTo(testing::kDemoPath);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_NE(requests[0].body.find("image_url=http%3A%2F%2Fpictures.example%2Fcopied.png&"),
            std::string::npos)
      << requests[0].body;
  EXPECT_EQ(program_.state().SeenClipboardText, address);
}

}  // namespace
}  // namespace tarnwick
