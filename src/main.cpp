// Starts Tarnwick on the real desktop: the program keeps everything it stores in the folder it
// was started from.

#include <wx/app.h>

#include <memory>

#include "platform/wx/wx_desktop.h"
#include "program.h"

namespace {

class TarnwickApp : public wxApp {
 public:
  bool OnInit() override {
    desktop_ = std::make_unique<tarnwick::WxDesktop>();
    program_ = std::make_unique<tarnwick::Program>(*desktop_, tarnwick::ProgramFolder());
    program_->Start();
    return true;
  }
  // The form model already catches what a handler throws; anything that still reaches the
  // event loop is dropped there, so the window and the user's output stay.
  bool OnExceptionInMainLoop() override { return true; }
  int OnExit() override {
    program_.reset();
    desktop_.reset();
    return wxApp::OnExit();
  }

 private:
  std::unique_ptr<tarnwick::WxDesktop> desktop_;
  std::unique_ptr<tarnwick::Program> program_;
};

}  // namespace

wxIMPLEMENT_APP(TarnwickApp);
