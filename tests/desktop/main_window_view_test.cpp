// The real main window under a (virtual) X display: its widgets, and the flow between them
// and the program.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <wx/textdlg.h>

#include "app/image_source_prompt.h"
#include "platform/wx/form_view.h"
#include "platform/wx/wx_desktop.h"
#include "platform/wx/wx_text.h"
#include "program.h"
#include "support/fake_ocr_service.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

class MainWindowView : public ::testing::Test {
 protected:
  // Answers the next modal dialog from inside its own event loop. A loaded machine may take a
  // while to show the dialog or to run its own timers, so the dialog is looked at every 50 ms
  // until `answer` says it has answered; a dialog still open after ten seconds is cancelled.
  static void AnswerNextDialog(wxTimer& timer, std::function<bool(wxDialog&)> answer) {
    const wxLongLong deadline = wxGetLocalTimeMillis() + 10000;
    timer.Bind(wxEVT_TIMER, [&timer, answer, deadline](wxTimerEvent&) {
      for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (!dialog || !dialog->IsModal()) continue;
        if (answer(*dialog)) {
          timer.Stop();
        } else if (wxGetLocalTimeMillis() > deadline) {
          timer.Stop();
          ADD_FAILURE() << "the dialog never became ready to answer";
          dialog->EndModal(wxID_CANCEL);
        }
        return;
      }
    });
    timer.Start(50);
  }

  testing::FakeOcrService service_;
  void SetUp() override {
    program_.Start();
    view_ = desktop_.mainView();
    ASSERT_NE(view_, nullptr);
    desktop_.PumpMessages(100);
  }
  // The window goes before the program whose form it shows.
  void TearDown() override {
    if (desktop_.mainView()) desktop_.mainView()->Destroy();
    wxTheApp->ProcessIdle();
    ASSERT_EQ(desktop_.mainView(), nullptr);
  }

  testing::TempFolder folder_;
  WxDesktop desktop_;
  Program program_{desktop_, folder_.path(), service_.endpoints()};
  FormView* view_ = nullptr;
};

TEST_F(MainWindowView, ShowsEveryControlWithItsCaptionAndPlace) {
  // The status bar stands below the designed window.
  ASSERT_GT(view_->StatusBarHeight(), 0);
  EXPECT_EQ(view_->GetSize(), wxSize(958, 901 + view_->StatusBarHeight()));
  EXPECT_EQ(FromWx(view_->GetTitle()), program_.window().caption());
  for (const Control* control : program_.window().controls()) {
    if (control->kind() == ControlKind::Timer) continue;
    wxWindow* widget = view_->WidgetFor(control->name());
    ASSERT_NE(widget, nullptr) << control->name();
    const Rect place = view_->ShownPlace(*control);
    EXPECT_EQ(widget->GetPosition(), wxPoint(place.left, place.top)) << control->name();
    EXPECT_EQ(widget->GetSize(), wxSize(place.width, place.height)) << control->name();
    EXPECT_EQ(place.width, control->place().width) << control->name();
    const std::string shown =
        control->kind() == ControlKind::LineEdit || control->kind() == ControlKind::MultiLineEdit
            ? FromWx(static_cast<wxTextCtrl*>(widget)->GetValue())
            : FromWx(widget->GetLabel());
    EXPECT_EQ(shown, WithNewlines(control->text())) << control->name();
    if (auto* box = dynamic_cast<wxCheckBox*>(widget)) {
      EXPECT_EQ(box->GetValue(), control->ticked()) << control->name();
    }
  }
  EXPECT_EQ(view_->ShownPlace(program_.window().编辑框1), (Rect{272, 8, 656, 845}));
}

TEST_F(MainWindowView, ResizingTheWindowResizesTheOutputBox) {
  view_->SetSize(800, 600 + view_->StatusBarHeight());
  desktop_.PumpMessages(100);
  EXPECT_EQ(view_->WidgetFor("编辑框1")->GetSize(), wxSize(498, 544));
}

TEST_F(MainWindowView, ClicksReachTheProgramAndItsChangesReachTheWidgets) {
  auto* precise = static_cast<wxCheckBox*>(view_->WidgetFor("选择框_高精度版"));
  auto* standard = static_cast<wxCheckBox*>(view_->WidgetFor("选择框_标准版"));
  precise->SetValue(true);
  wxCommandEvent click(wxEVT_CHECKBOX, precise->GetId());
  click.SetEventObject(precise);
  click.SetInt(1);
  precise->ProcessWindowEvent(click);
  EXPECT_TRUE(program_.window().选择框_高精度版.ticked());
  EXPECT_FALSE(standard->GetValue());
  EXPECT_EQ(program_.settings().ReadSetting("勾选", "识别格式"), "高精度版");

  auto* apiKey = static_cast<wxTextCtrl*>(view_->WidgetFor("编辑框_apikey"));
  apiKey->SetValue("typed");
  EXPECT_EQ(program_.settings().ReadSetting("参数", "apikey"), "typed");

  program_.window().AppendOutput("识别结果\r\n");
  auto* output = static_cast<wxTextCtrl*>(view_->WidgetFor("编辑框1"));
  EXPECT_TRUE(
      FromWx(output->GetValue())
          .ends_with(
              ">>>>>>"
              "qps限制为2，识别整个文件夹图片的时候尽量不要使用功能演示，会提示频繁\n识别结果\n"));
}

TEST_F(MainWindowView, ThePromptsButtonsAreRelabelledWhileItIsOpen) {
  std::vector<std::string> captions;
  wxTimer answer;
  // Waits for the relabel timer's first tick, then presses the relabelled Retry button.
  AnswerNextDialog(answer, [&captions](wxDialog& dialog) {
    wxButton* retry = nullptr;
    std::vector<std::string> shown;
    for (wxWindow* child : dialog.GetChildren()) {
      if (auto* button = dynamic_cast<wxButton*>(child)) {
        shown.push_back(FromWx(button->GetLabel()));
        if (button->GetLabel() == ToWx("本地图片(&B)")) retry = button;
      }
    }
    if (!retry) return false;
    captions = shown;
    wxCommandEvent press(wxEVT_BUTTON, retry->GetId());
    press.SetEventObject(retry);
    retry->ProcessWindowEvent(press);
    return true;
  });
  const ImageSource source = ImageSourcePrompt(program_.context(), "请选择图片的类型！");
  EXPECT_EQ(captions, (std::vector<std::string>{"取消识别(&E)", "本地图片(&B)", "网络图片(&W)"}));
  EXPECT_EQ(source, ImageSource::Local);
  desktop_.PumpMessages(300);
  EXPECT_EQ(program_.window().时钟_信息框_修改.period(), 0);
}

TEST_F(MainWindowView, TheWebPictureButtonPutsTheRecognisedLinesInTheOutputBox) {
  service_.Reply(testing::kDemoPath, R"({"errno":0,"data":{"words_result_num":2,"words_result":[)"
                                     R"({"words":"第一行"},{"words":"second line"}]}})");
  wxTimer answer;
  AnswerNextDialog(answer, [](wxDialog& dialog) {
    auto& input = dynamic_cast<wxTextEntryDialog&>(dialog);
    input.SetValue("https://pictures.example/page.png");
    input.EndModal(wxID_OK);
    return true;
  });
  auto* button = static_cast<wxButton*>(view_->WidgetFor("按钮_网络图片"));
  wxCommandEvent press(wxEVT_BUTTON, button->GetId());
  press.SetEventObject(button);
  button->ProcessWindowEvent(press);
  const std::string shown =
      FromWx(static_cast<wxTextCtrl*>(view_->WidgetFor("编辑框1"))->GetValue());
  EXPECT_TRUE(
      shown.ends_with("--------识别文件：https://pictures.example/page.png\n第一行\n"
                      "second line\n\n"))
      << shown;
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 1u);
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();  // no display needed
  wxApp::SetInstance(new wxApp());
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "no display for the desktop tests\n");
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
