#include "platform/win32/form_window.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/form_timers.h"
#include "platform/win32/status_bar.h"
#include "platform/win32/ui_font.h"
#include "support/wide_text.h"

namespace tarnwick {
namespace {

constexpr wchar_t kWindowClass[] = L"TarnwickForm";
constexpr int kFirstControlId = 100;
// Room a check box takes beside its mark, and a push button around its caption.
constexpr int kCheckMarkGap = 6;
constexpr int kButtonMargins = 8;

void RegisterWindowClass(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), text.size())));
  return text;
}

struct NativeKind {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

// The native control for each kind of control the main window holds; null class for kinds
// that are drawn rather than made controls.
NativeKind NativeKindFor(ControlKind kind) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (kind) {
    case ControlKind::GroupBox:
      // Transparent, so that the window, which leaves out its controls when it paints, still
      // paints the inside of a group.
      return {L"BUTTON", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, WS_EX_TRANSPARENT};
    case ControlKind::Label:
      return {L"STATIC", kChild | SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Button:
      return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::CheckBox:
      // The model decides the tick; the box only shows it.
      return {L"BUTTON", kChild | WS_TABSTOP | BS_CHECKBOX, 0};
    case ControlKind::RadioButton:
      return {L"BUTTON", kChild | WS_TABSTOP | BS_RADIOBUTTON, 0};
    case ControlKind::LineEdit:
      return {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::PasswordEdit:
      return {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE};
    case ControlKind::MultiLineEdit:
      return {L"EDIT",
              kChild | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                  ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
              WS_EX_CLIENTEDGE};
    default:
      return {nullptr, 0, 0};
  }
}

}  // namespace

FormWindow::FormWindow(Form& form, std::function<void()> onDestroyed)
    : form_(form), onDestroyed_(std::move(onDestroyed)) {
  RegisterWindowClass(&FormWindow::Proc);
  window_ = CreateWindowExW(0, kWindowClass, Widen(form_.caption()).c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            form_.width(), form_.height(), nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
  if (!window_) return;
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
  BuildControls();
  timers_ = std::make_unique<FormTimers>(window_, form_);
  if (!form_.statusBar().empty()) {
    statusBar_ = std::make_unique<StatusBar>(window_, form_.statusBar());
    for (Control* control : form_.statusBar()) {
      control->Observe([this, alive = alive_](const Control& c, ControlChange change) {
        if (*alive && change == ControlChange::Enabled && !c.enabled() && closeWhenWorkEnds_) {
          closeWhenWorkEnds_ = false;
          PostMessageW(window_, WM_CLOSE, 0, 0);
        }
      });
    }
    // The bar is added below the designed window, so that it covers none of its controls.
    SetWindowPos(window_, nullptr, 0, 0, form_.width(), form_.height() + StatusBarHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  form_.Observe([this, alive = alive_](const Form&, FormChange change) {
    if (*alive) MirrorForm(change);
  });
}

FormWindow::~FormWindow() {
  *alive_ = false;
  if (timers_) timers_->StopAll();
  if (IsWindow(window_)) {
    onDestroyed_ = nullptr;
    DestroyWindow(window_);
  }
}

HWND FormWindow::ControlWindow(std::string_view controlName) const {
  for (const auto& [control, window] : controls_) {
    if (control->name() == controlName) return window;
  }
  if (statusBar_) {
    for (const Control* control : form_.statusBar()) {
      if (control->name() == controlName) return statusBar_->WindowFor(*control);
    }
  }
  return nullptr;
}

int FormWindow::StatusBarHeight() const {
  return statusBar_ ? statusBar_->Height() : 0;
}

bool FormWindow::PressStatusButton() {
  return statusBar_ && statusBar_->PressFirstButton();
}

void FormWindow::BuildControls() {
  int id = kFirstControlId;
  for (Control* control : form_.controls()) {
    HWND native = MakeControl(*control, id);
    if (!native) continue;
    byId_[id++] = control;
    controls_[control] = native;
    control->Observe([this, alive = alive_](const Control& c, ControlChange change) {
      if (*alive) Mirror(c, change);
    });
  }
  LayerOverlaps();
  // Group boxes lie under what they hold, so their frames never paint over it.
  for (const auto& [control, native] : controls_) {
    if (control->kind() == ControlKind::GroupBox) {
      SetWindowPos(native, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

// Some designed places overlap a little (a check box reaching into the next one's mark). A
// control declared later lies above an earlier one there, as where the layout was designed:
// it is put just above the earlier one, and the earlier one, clipped by the siblings above it,
// paints around it. Only such pairs change places, so the tab order stays nearly the table's.
void FormWindow::LayerOverlaps() {
  std::vector<std::pair<const Control*, HWND>> ordered;
  for (const Control* control : form_.controls()) {
    const auto found = controls_.find(control);
    if (found != controls_.end() && control->kind() != ControlKind::GroupBox) {
      ordered.emplace_back(control, found->second);
    }
  }
  for (std::size_t i = 0; i < ordered.size(); ++i) {
    const Rect place = form_.PlaceInClientArea(*ordered[i].first);
    for (std::size_t j = i + 1; j < ordered.size(); ++j) {
      const Rect later = form_.PlaceInClientArea(*ordered[j].first);
      const bool overlap =
          place.left < later.left + later.width && later.left < place.left + place.width &&
          place.top < later.top + later.height && later.top < place.top + place.height;
      if (!overlap) continue;
      HWND above = GetWindow(ordered[i].second, GW_HWNDPREV);
      SetWindowPos(ordered[j].second, above ? above : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

HWND FormWindow::MakeControl(Control& control, int id) {
  const NativeKind kind = NativeKindFor(control.kind());
  if (!kind.windowClass) return nullptr;
  const Rect place = form_.PlaceInClientArea(control);
  HWND native = CreateWindowExW(kind.exStyle, kind.windowClass, Widen(control.text()).c_str(),
                                kind.style, place.left, place.top, place.width, place.height,
                                window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
  if (!native) return nullptr;
  FitFont(control, native);
  if (control.kind() == ControlKind::MultiLineEdit) {
    // The output box only grows; the default limit would silently drop what comes later.
    SendMessageW(native, EM_SETLIMITTEXT, 0, 0);
  }
  if (control.kind() == ControlKind::CheckBox || control.kind() == ControlKind::RadioButton) {
    SendMessageW(native, BM_SETCHECK, control.ticked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  if (!control.enabled()) EnableWindow(native, FALSE);
  if (!control.visible()) ShowWindow(native, SW_HIDE);
  return native;
}

// The designed places assume the system font of a Chinese Windows; where another system's
// font needs more room, a caption is drawn smaller rather than cut off.
void FormWindow::FitFont(const Control& control, HWND native) {
  const Rect place = form_.PlaceInClientArea(control);
  const std::wstring text = Widen(control.text());
  HFONT font = ControlFont();
  switch (control.kind()) {
    case ControlKind::Label:
      font = FontToFit(text, {place.width, place.height}, true);
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      font = FontToFit(
          text, {place.width - GetSystemMetrics(SM_CXMENUCHECK) - kCheckMarkGap, place.height},
          false);
      break;
    case ControlKind::Button:
      font = FontToFit(text, {place.width - kButtonMargins, place.height - kButtonMargins}, false);
      break;
    default:
      break;
  }
  SendMessageW(native, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void FormWindow::Mirror(const Control& control, ControlChange change) {
  const auto found = controls_.find(&control);
  if (found == controls_.end() || !IsWindow(found->second)) return;
  HWND native = found->second;
  mirroring_ = true;
  switch (change) {
    case ControlChange::Text:
      if (WindowText(native) != Widen(control.text())) {
        FitFont(control, native);
        SetWindowTextW(native, Widen(control.text()).c_str());
      }
      break;
    case ControlChange::Appended: {
      // The caret goes to the end, the new text replaces the empty selection there, and the
      // end is scrolled into view.
      const int end = GetWindowTextLengthW(native);
      SendMessageW(native, EM_SETSEL, end, end);
      SendMessageW(native, EM_REPLACESEL, FALSE,
                   reinterpret_cast<LPARAM>(Widen(control.lastAppended()).c_str()));
      SendMessageW(native, EM_SCROLLCARET, 0, 0);
      break;
    }
    case ControlChange::Ticked:
      SendMessageW(native, BM_SETCHECK, control.ticked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlChange::Place: {
      const Rect place = form_.PlaceInClientArea(control);
      SetWindowPos(native, nullptr, place.left, place.top, place.width, place.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case ControlChange::Visible: {
      // A group box's contents are its siblings here, so they follow it explicitly.
      for (const auto& [shown, window] : controls_) {
        bool visible = true;
        bool affected = false;
        for (const Control* c = shown; c; c = form_.Find(c->parent())) {
          visible = visible && c->visible();
          affected = affected || c == &control;
        }
        if (affected) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
      }
      break;
    }
    case ControlChange::Enabled:
      EnableWindow(native, control.enabled());
      break;
    case ControlChange::Period:
    case ControlChange::Picture:
      break;
  }
  mirroring_ = false;
}

void FormWindow::MirrorForm(FormChange change) {
  switch (change) {
    case FormChange::Caption:
      SetWindowTextW(window_, Widen(form_.caption()).c_str());
      break;
    case FormChange::Size:
      SetWindowPos(window_, nullptr, 0, 0, form_.width(), form_.height() + StatusBarHeight(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case FormChange::Closed:
      PostMessageW(window_, WM_CLOSE, 0, 0);
      break;
    case FormChange::Background:
      break;
  }
}

void FormWindow::OnCommand(int id, int code) {
  const auto found = byId_.find(id);
  if (found == byId_.end()) return;
  const HandlerRun run(*this);
  Control& control = *found->second;
  switch (control.kind()) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      if (code == BN_CLICKED && control.enabled()) control.Click();
      break;
    case ControlKind::LineEdit:
    case ControlKind::PasswordEdit:
      if (code == EN_CHANGE && !mirroring_) {
        control.EditByUser(Narrow(WindowText(controls_[&control])));
      }
      break;
    default:
      break;
  }
}

void FormWindow::OnSize() {
  if (statusBar_) statusBar_->Fit();
  RECT outer{};
  GetWindowRect(window_, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top - StatusBarHeight();
  if (IsIconic(window_)) return;
  if (width != form_.width() || height != form_.height()) form_.Resize(width, height);
}

// Work under way (a folder walk pausing between files) runs inside one of this window's
// handlers, and the window must outlive it. Closing stops the work and waits for its end,
// which the status bar's button shows by going disabled; then the window closes. Any other
// handler still running (one waiting in a box that leaves this window usable) ends first.
void FormWindow::OnClose() {
  if (PressStatusButton()) {
    closeWhenWorkEnds_ = true;
    return;
  }
  if (handlersRunning_ > 0) {
    closeWhenHandlersEnd_ = true;
    return;
  }
  DestroyWindow(window_);
}

FormWindow::HandlerRun::HandlerRun(FormWindow& window) : window_(window) {
  ++window_.handlersRunning_;
}

FormWindow::HandlerRun::~HandlerRun() {
  if (--window_.handlersRunning_ == 0 && window_.closeWhenHandlersEnd_ && *window_.alive_) {
    window_.closeWhenHandlersEnd_ = false;
    PostMessageW(window_.window_, WM_CLOSE, 0, 0);
  }
}

LRESULT CALLBACK FormWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<FormWindow*>(create->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER: {
      const HandlerRun run(*this);
      if (timers_ && timers_->OnTimer(wParam)) return 0;
      break;
    }
    case WM_SIZE:
      if (*alive_) OnSize();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY: {
      if (timers_) timers_->StopAll();
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      *alive_ = false;
      auto destroyed = std::move(onDestroyed_);
      if (destroyed) destroyed();
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace tarnwick
