#include "platform/win32/status_bar.h"

#include <commctrl.h>

#include "platform/win32/ui_font.h"
#include "support/wide_text.h"

namespace tarnwick {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kFirstButtonId = 0x7B00;
// Room for a push button in the bar.
constexpr int kHeightWithButtons = 26;

}  // namespace

StatusBar::StatusBar(HWND parent, const std::vector<Control*>& controls) : controls_(controls) {
  bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                         0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(bar_, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
  // The buttons are the bar's children; their presses reach us through the bar.
  SetWindowSubclass(bar_, &StatusBar::BarProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  bool anyButton = false;
  for (std::size_t part = 0; part < controls_.size(); ++part) {
    Control& control = *controls_[part];
    HWND button = nullptr;
    if (control.kind() == ControlKind::Button) {
      anyButton = true;
      button = CreateWindowExW(0, L"BUTTON", Widen(control.text()).c_str(),
                               WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, bar_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + part)),
                               GetModuleHandleW(nullptr), nullptr);
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
      EnableWindow(button, control.enabled());
    }
    buttons_.push_back(button);
    control.Observe([this, part, alive = alive_](const Control& c, ControlChange change) {
      if (*alive) Mirror(part, c, change);
    });
  }
  if (anyButton) SendMessageW(bar_, SB_SETMINHEIGHT, kHeightWithButtons, 0);
  Fit();
  for (std::size_t part = 0; part < controls_.size(); ++part) {
    if (!buttons_[part]) {
      SendMessageW(bar_, SB_SETTEXTW, part,
                   reinterpret_cast<LPARAM>(Widen(controls_[part]->text()).c_str()));
    }
  }
}

StatusBar::~StatusBar() {
  *alive_ = false;
  if (IsWindow(bar_)) RemoveWindowSubclass(bar_, &StatusBar::BarProc, kSubclassId);
}

int StatusBar::Height() const {
  RECT rect{};
  GetWindowRect(bar_, &rect);
  return rect.bottom - rect.top;
}

void StatusBar::Fit() {
  SendMessageW(bar_, WM_SIZE, 0, 0);
  RECT client{};
  GetClientRect(bar_, &client);
  // Parts of a set width stand at their width; a part of width 0 takes what the others leave.
  int fixed = 0;
  for (const Control* control : controls_) fixed += control->place().width;
  const int rest = client.right - fixed;
  std::vector<int> edges;
  int edge = 0;
  for (const Control* control : controls_) {
    edge += control->place().width > 0 ? control->place().width : (rest > 0 ? rest : 0);
    edges.push_back(edge);
  }
  if (!edges.empty()) edges.back() = -1;
  SendMessageW(bar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t part = 0; part < buttons_.size(); ++part) {
    RECT rect{};
    if (!buttons_[part] || !SendMessageW(bar_, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect))) {
      continue;
    }
    MoveWindow(buttons_[part], rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               TRUE);
  }
}

bool StatusBar::PressFirstButton() {
  for (std::size_t part = 0; part < controls_.size(); ++part) {
    if (buttons_[part] && controls_[part]->enabled()) {
      controls_[part]->Click();
      return true;
    }
  }
  return false;
}

HWND StatusBar::WindowFor(const Control& control) const {
  for (std::size_t part = 0; part < controls_.size(); ++part) {
    if (controls_[part] == &control) return buttons_[part] ? buttons_[part] : bar_;
  }
  return nullptr;
}

void StatusBar::Mirror(std::size_t part, const Control& control, ControlChange change) {
  HWND button = buttons_[part];
  switch (change) {
    case ControlChange::Text:
      if (button) {
        SetWindowTextW(button, Widen(control.text()).c_str());
      } else {
        SendMessageW(bar_, SB_SETTEXTW, part,
                     reinterpret_cast<LPARAM>(Widen(control.text()).c_str()));
      }
      break;
    case ControlChange::Enabled:
      if (button) EnableWindow(button, control.enabled());
      break;
    default:
      break;
  }
}

LRESULT CALLBACK StatusBar::BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR self) {
  auto* bar = reinterpret_cast<StatusBar*>(self);
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && *bar->alive_) {
    const std::size_t part = LOWORD(wParam) - kFirstButtonId;
    if (part < bar->controls_.size() && bar->controls_[part]->enabled()) {
      bar->controls_[part]->Click();
    }
    return 0;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace tarnwick
