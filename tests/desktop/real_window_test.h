#pragma once
// The whole program in its real main window under a (virtual) X display, talking to the fake
// OCR service, in a temporary run directory. `DesktopType` lets a test stand in for a native
// dialog that it cannot drive.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/textctrl.h>

#include <string>

#include "platform/wx/form_view.h"
#include "platform/wx/wx_desktop.h"
#include "platform/wx/wx_text.h"
#include "program.h"
#include "support/fake_ocr_service.h"
#include "support/temp_folder.h"

namespace tarnwick::testing {

// Sends the button's own event, as a user's click would.
inline void Press(wxButton& button) {
  wxCommandEvent press(wxEVT_BUTTON, button.GetId());
  press.SetEventObject(&button);
  button.ProcessWindowEvent(press);
}

template <typename DesktopType = WxDesktop>
class RealWindowTest : public ::testing::Test {
 protected:
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

  void PressButton(const char* name) { Press(*static_cast<wxButton*>(view_->WidgetFor(name))); }
  // What the output box shows.
  std::string Shown() {
    return FromWx(static_cast<wxTextCtrl*>(view_->WidgetFor("编辑框1"))->GetValue());
  }

  FakeOcrService service_;
  TempFolder folder_;
  DesktopType desktop_;
  Program program_{desktop_, folder_.path(), service_.endpoints()};
  FormView* view_ = nullptr;
};

}  // namespace tarnwick::testing
