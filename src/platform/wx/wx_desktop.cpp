#include "platform/wx/wx_desktop.h"

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dirdlg.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/textdlg.h>
#include <wx/utils.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "platform/wx/form_view.h"
#include "platform/wx/message_dialog.h"
#include "platform/wx/wx_text.h"

namespace tarnwick {
namespace {

wxWindow* FindLabelled(wxWindow* parent, const wxString& text) {
  for (wxWindow* child : parent->GetChildren()) {
    if (child->GetLabel() == text) return child;
    if (wxWindow* found = FindLabelled(child, text)) return found;
  }
  return nullptr;
}

bool Contains(wxWindow* ancestor, wxWindow* window) {
  if (ancestor == window) return true;
  for (wxWindow* child : ancestor->GetChildren()) {
    if (Contains(child, window)) return true;
  }
  return false;
}

// A handle is used only while the window it names still exists.
wxWindow* LiveWindow(WindowHandle handle) {
  auto* wanted = reinterpret_cast<wxWindow*>(handle);
  for (wxWindow* top : wxTopLevelWindows) {
    if (Contains(top, wanted)) return wanted;
  }
  return nullptr;
}

}  // namespace

WxDesktop::~WxDesktop() = default;

void WxDesktop::AttachForm(Form& form) {
  auto* view = new FormView(form);
  if (!*mainView_) {
    *mainView_ = view;
    view->Bind(wxEVT_DESTROY, [slot = mainView_, view](wxWindowDestroyEvent& event) {
      if (event.GetEventObject() == view) *slot = nullptr;
      event.Skip();
    });
  }
}

int WxDesktop::ShowMessageBox(std::string_view text, int flags, std::string_view title) {
  MessageDialog dialog(text, flags, title);
  return dialog.ShowAndAnswer();
}

std::optional<std::string> WxDesktop::InputBox(std::string_view prompt, std::string_view title,
                                               std::string_view initialText) {
  wxTextEntryDialog dialog(nullptr, ToWx(WithNewlines(prompt)), ToWx(title), ToWx(initialText));
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return FromWx(dialog.GetValue());
}

std::optional<std::string> WxDesktop::OpenFileDialog(std::string_view filter) {
  wxFileDialog dialog(nullptr, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString, ToWx(filter),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return FromWx(dialog.GetPath());
}

std::optional<std::string> WxDesktop::ChooseFolder(std::string_view prompt) {
  wxDirDialog dialog(nullptr, ToWx(prompt), wxEmptyString,
                     wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return FromWx(dialog.GetPath());
}

std::string WxDesktop::ClipboardText() {
  wxClipboardLocker locker;
  if (!locker || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) return {};
  wxTextDataObject data;
  return wxTheClipboard->GetData(data) ? FromWx(data.GetText()) : std::string();
}

void WxDesktop::SetClipboardText(std::string_view text) {
  wxClipboardLocker locker;
  if (!locker) return;
  wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
}

void WxDesktop::OpenWebAddress(std::string_view address) {
  wxLaunchDefaultBrowser(ToWx(address));
}

ScreenSize WxDesktop::PrimaryScreenSize() {
  const wxRect geometry = wxDisplay(0u).GetGeometry();
  return {geometry.GetWidth(), geometry.GetHeight()};
}

ScreenPoint WxDesktop::PointerPosition() {
  const wxPoint point = wxGetMousePosition();
  return {point.x, point.y};
}

void WxDesktop::SetMainWindowAlwaysOnTop(bool onTop) {
  if (!*mainView_) return;
  const long style = (*mainView_)->GetWindowStyleFlag();
  (*mainView_)->SetWindowStyleFlag(onTop ? (style | wxSTAY_ON_TOP) : (style & ~wxSTAY_ON_TOP));
}

void WxDesktop::ShowMainWindow(bool shown) {
  if (*mainView_) (*mainView_)->Show(shown);
}

void WxDesktop::PumpMessages(int milliseconds) {
  // Yielding only dispatches through a running event loop; outside one (before the main loop
  // starts, or in a test that drives the window directly) a loop of our own stands in, so that
  // timers still tick. The windows stay enabled meanwhile: the user may click, type and start
  // other commands while the program waits (a "safe" yield would disable every window).
  std::unique_ptr<wxEventLoop> ownLoop;
  std::optional<wxEventLoopActivator> activated;
  if (!wxEventLoopBase::GetActive()) {
    ownLoop = std::make_unique<wxEventLoop>();
    activated.emplace(ownLoop.get());
  }
  const std::int64_t until = NowMilliseconds() + milliseconds;
  do {
    wxEventLoopBase::GetActive()->YieldFor(wxEVT_CATEGORY_ALL);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  } while (NowMilliseconds() < until);
}

std::int64_t WxDesktop::NowMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

WindowHandle WxDesktop::FindTopLevelWindow(std::string_view title) {
  const wxString wanted = ToWx(title);
  for (wxWindow* window : wxTopLevelWindows) {
    auto* top = dynamic_cast<wxTopLevelWindow*>(window);
    if (top && top->IsShown() && top->GetTitle() == wanted) {
      return reinterpret_cast<WindowHandle>(top);
    }
  }
  return 0;
}

WindowHandle WxDesktop::FindChildWindow(WindowHandle parent, std::string_view text) {
  wxWindow* window = parent ? LiveWindow(parent) : nullptr;
  if (!window) return 0;
  return reinterpret_cast<WindowHandle>(FindLabelled(window, ToWx(text)));
}

bool WxDesktop::SetWindowText(WindowHandle handle, std::string_view text) {
  wxWindow* window = handle ? LiveWindow(handle) : nullptr;
  if (!window) return false;
  window->SetLabel(ToWx(text));
  return true;
}

}  // namespace tarnwick
