// The prompt commands and the message box in the real window under a (virtual) X display.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>

#include <algorithm>
#include <cstdlib>

#include "desktop/modal_answers.h"
#include "platform/wx/form_view.h"
#include "platform/wx/wx_desktop.h"
#include "platform/wx/wx_text.h"
#include "program.h"
#include "recognition/special_recognition.h"
#include "support/fake_ocr_service.h"
#include "support/temp_folder.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

using testing::ModalAnswers;

template <typename T>
T* FindDescendant(wxWindow& parent) {
  for (wxWindow* child : parent.GetChildren()) {
    if (auto* found = dynamic_cast<T*>(child)) return found;
    if (T* found = FindDescendant<T>(*child)) return found;
  }
  return nullptr;
}

void Press(wxButton& button) {
  wxCommandEvent press(wxEVT_BUTTON, button.GetId());
  press.SetEventObject(&button);
  button.ProcessWindowEvent(press);
}

// Presses the prompt's 网络图片 button once the timer has relabelled it.
bool ChooseWebPicture(wxDialog& prompt) {
  for (wxWindow* child : prompt.GetChildren()) {
    auto* button = dynamic_cast<wxButton*>(child);
    if (button && button->GetLabel() == ToWx("网络图片(&W)")) {
      Press(*button);
      return true;
    }
  }
  return false;
}

ModalAnswers::Answer TypeAddress(std::string address) {
  return [address](wxDialog& dialog) {
    auto* input = dynamic_cast<wxTextEntryDialog*>(&dialog);
    if (!input) return false;
    input->SetValue(ToWx(address));
    input->EndModal(wxID_OK);
    return true;
  };
}

class CommandsView : public ::testing::Test {
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

  void PressButton(const char* name) { Press(*static_cast<wxButton*>(view_->WidgetFor(name))); }
  std::string Shown() {
    return FromWx(static_cast<wxTextCtrl*>(view_->WidgetFor("编辑框1"))->GetValue());
  }

  testing::FakeOcrService service_;
  testing::TempFolder folder_;
  WxDesktop desktop_;
  Program program_{desktop_, folder_.path(), service_.endpoints()};
  FormView* view_ = nullptr;
};

TEST_F(CommandsView, HandwritingAndIdCardButtonsPutTheirLinesInTheOutputBox) {
  service_.Reply(testing::kDemoPath, R"({"data":{"words_result_num":2,"words_result":[)"
                                     R"({"words":"手写第一行"},{"words":"second line"}]}})");
  {
    ModalAnswers answers({ChooseWebPicture, TypeAddress("https://pictures.example/hand.png")});
    PressButton("按钮_手写文字识别");
    EXPECT_TRUE(answers.allAnswered());
  }
  EXPECT_TRUE(
      Shown().ends_with("--------识别文件：https://pictures.example/hand.png\n"
                        "手写第一行\nsecond line\n\n"))
      << Shown();

  service_.Reply(testing::kDemoPath,
                 R"({"data":{"words_result_num":2,"words_result":{"姓名":{"words":"张三"},)"
                 R"("性别":{"words":"男"}}}})");
  {
    ModalAnswers answers({ChooseWebPicture, TypeAddress("https://pictures.example/id.png")});
    PressButton("按钮_身份证识别");
    EXPECT_TRUE(answers.allAnswered());
  }
  EXPECT_TRUE(
      Shown().ends_with("--------识别文件：https://pictures.example/id.png\n"
                        "姓名：张三\n性别：男\n\n"))
      << Shown();
  const auto sent = service_.requestsTo(testing::kDemoPath);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_TRUE(sent[1].body.starts_with("image&image_url=https%3A%2F%2Fpictures.example%2Fid.png"));
}

// What a message box shows, and where, while it is open.
struct ShownBox {
  std::string text;  // the label's text without the breaks the wrapping inserted
  wxRect box;
  wxSize label;
  wxSize paneClient;
};

ModalAnswers::Answer LookAndClose(ShownBox& shown) {
  return [&shown](wxDialog& dialog) {
    auto* label = FindDescendant<wxStaticText>(dialog);
    if (!label || !dialog.IsShownOnScreen()) return false;
    wxYield();
    shown.text = FromWx(label->GetLabelText());
    shown.box = dialog.GetScreenRect();
    shown.label = label->GetSize();
    shown.paneClient = label->GetParent()->GetClientSize();
    if (const char* file = std::getenv("TARNWICK_SCREENSHOT")) {
      wxMilliSleep(300);
      wxYield();
      std::system(("import -window root " + std::string(file)).c_str());
    }
    dialog.EndModal(wxID_OK);
    return true;
  };
}

std::string WithoutNewlines(std::string text) {
  std::erase(text, '\n');
  std::erase(text, '\r');
  return text;
}

TEST_F(CommandsView, ALongReplyBoxShowsItsWholeTextWrappedWithAmpersandsAsTyped) {
  std::string items;
  for (int i = 0; i < 60; ++i) {
    items += std::string(i ? "," : "") + R"({"words":"第)" + std::to_string(i) + R"(行 a&b && c"})";
  }
  const std::string reply = R"({"data":{"words_result_num":60,"words_result":[)" + items + "]}}";
  service_.Reply(testing::kDemoPath, reply);
  program_.window().选择框_返回信息提示.Click();
  ShownBox shown;
  {
    ModalAnswers answers({LookAndClose(shown)});
    RecognizeHandwriting(program_.context(), "网络", "https://pictures.example/p.png", "演示");
  }
  EXPECT_EQ(WithoutNewlines(shown.text),
            "返回识别结果为：" + reply + "网络https://pictures.example/p.png演示");
  const wxRect screen = wxDisplay(0u).GetClientArea();
  EXPECT_TRUE(screen.Contains(shown.box)) << shown.box.x << "," << shown.box.width;
  EXPECT_LT(shown.label.x, screen.width * 3 / 4);
  EXPECT_GT(std::count(shown.text.begin(), shown.text.end(), '\n'), 8);
  EXPECT_TRUE(Shown().ends_with("第59行 a&b && c\n\n"));
}

TEST_F(CommandsView, ATextTallerThanTheScreenScrollsInsideTheBox) {
  std::string text;
  for (int i = 1; i <= 200; ++i) text += "第" + std::to_string(i) + "行 a&b\r\n";
  text += "最后一行";
  ShownBox shown;
  {
    ModalAnswers answers({LookAndClose(shown)});
    desktop_.ShowMessageBox(text, kBoxIconError, "错误!");
  }
  EXPECT_EQ(WithoutNewlines(shown.text), WithoutNewlines(text));
  const wxRect screen = wxDisplay(0u).GetClientArea();
  EXPECT_TRUE(screen.Contains(shown.box));
  EXPECT_GT(shown.label.y, shown.paneClient.y);  // the rest is reached by scrolling
}

}  // namespace
}  // namespace tarnwick
