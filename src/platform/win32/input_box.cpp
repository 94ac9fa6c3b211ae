#include "platform/win32/input_box.h"

#include <algorithm>
#include <vector>

#include "platform/desktop.h"
#include "platform/win32/ui_font.h"
#include "support/wide_text.h"

namespace tarnwick {
namespace {

constexpr int kPromptId = 10;
constexpr int kEditId = 11;

// Pixel measures of the box's inside.
constexpr int kMargin = 12;
constexpr int kGap = 8;
constexpr int kMinTextWidth = 360;
constexpr int kEditHeight = 24;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 28;

struct InputState {
  std::wstring prompt;
  std::wstring initialText;
  std::wstring entered;
};

// A dialog template in memory: the header, then each item on a four-byte boundary. Controls
// are made at no size and laid out in pixels when the dialog starts.
class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& title, const LOGFONTW& font) {
    const DWORD style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    Add<DWORD>(style);
    Add<DWORD>(0);  // extended style
    countAt_ = words_.size();
    Add<WORD>(0);                               // items, counted as they are added
    for (int i = 0; i < 4; ++i) Add<short>(0);  // place and size, set later in pixels
    Add<WORD>(0);                               // no menu
    Add<WORD>(0);                               // the standard dialog class
    AddText(title);
    // The font's height in points, at the screen's resolution.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int height = font.lfHeight < 0 ? -font.lfHeight : std::max<LONG>(font.lfHeight, 12);
    Add<WORD>(static_cast<WORD>(std::max(1, MulDiv(height, 72, dpi))));
    AddText(font.lfFaceName);
  }

  void AddItem(WORD systemClass, const std::wstring& text, DWORD style, int id) {
    Align();
    Add<DWORD>(WS_CHILD | WS_VISIBLE | style);
    Add<DWORD>(systemClass == kEdit ? WS_EX_CLIENTEDGE : 0);
    for (int i = 0; i < 4; ++i) Add<short>(0);
    Add<WORD>(static_cast<WORD>(id));
    Add<WORD>(0xFFFF);
    Add<WORD>(systemClass);
    AddText(text);
    Add<WORD>(0);  // no creation data
    ++words_[countAt_];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  static constexpr WORD kButton = 0x0080;
  static constexpr WORD kEdit = 0x0081;
  static constexpr WORD kStatic = 0x0082;

 private:
  template <typename T>
  void Add(T value) {
    static_assert(sizeof(T) % sizeof(WORD) == 0);
    const auto* parts = reinterpret_cast<const WORD*>(&value);
    words_.insert(words_.end(), parts, parts + sizeof(T) / sizeof(WORD));
  }
  void AddText(const std::wstring& text) {
    for (wchar_t c : text) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
  }
  void Align() {
    if (words_.size() % 2) words_.push_back(0);
  }

  std::vector<WORD> words_;  // WORD-aligned at its start, as a template must be
  std::size_t countAt_ = 0;
};

// Places the prompt, the edit box and the buttons for the prompt's size, and centres the box
// on its owner (or the screen).
void LayOut(HWND dialog, const std::wstring& prompt) {
  HWND promptWindow = GetDlgItem(dialog, kPromptId);
  HDC dc = GetDC(promptWindow);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(promptWindow, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font);
  const int maxWidth = std::max(kMinTextWidth, GetSystemMetrics(SM_CXSCREEN) / 2);
  RECT text{0, 0, maxWidth, 0};
  DrawTextW(dc, prompt.c_str(), static_cast<int>(prompt.size()), &text,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
  SelectObject(dc, old);
  ReleaseDC(promptWindow, dc);

  const int width = std::max<int>(kMinTextWidth, text.right);
  int y = kMargin;
  MoveWindow(promptWindow, kMargin, y, width, text.bottom, FALSE);
  y += text.bottom + kGap;
  MoveWindow(GetDlgItem(dialog, kEditId), kMargin, y, width, kEditHeight, FALSE);
  y += kEditHeight + kGap + kGap;
  const int cancelLeft = kMargin + width - kButtonWidth;
  MoveWindow(GetDlgItem(dialog, IDCANCEL), cancelLeft, y, kButtonWidth, kButtonHeight, FALSE);
  MoveWindow(GetDlgItem(dialog, IDOK), cancelLeft - kGap - kButtonWidth, y, kButtonWidth,
             kButtonHeight, FALSE);
  y += kButtonHeight + kMargin;

  RECT outer{0, 0, width + 2 * kMargin, y};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  const int outerWidth = outer.right - outer.left;
  const int outerHeight = outer.bottom - outer.top;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (HWND owner = GetWindow(dialog, GW_OWNER); owner && IsWindowVisible(owner)) {
    GetWindowRect(owner, &area);
  }
  const int left = std::max<int>(0, area.left + (area.right - area.left - outerWidth) / 2);
  const int top = std::max<int>(0, area.top + (area.bottom - area.top - outerHeight) / 2);
  SetWindowPos(dialog, nullptr, left, top, outerWidth, outerHeight, SWP_NOZORDER);
}

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<InputState*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
      HWND edit = GetDlgItem(dialog, kEditId);
      SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
      SetWindowTextW(edit, state->initialText.c_str());
      LayOut(dialog, state->prompt);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        HWND edit = GetDlgItem(dialog, kEditId);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), text.size())));
        state->entered = std::move(text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<std::string> RunInputBox(HWND owner, std::string_view prompt, std::string_view title,
                                       std::string_view initialText) {
  InputState state{Widen(prompt), Widen(initialText), {}};
  DialogTemplate dialog(Widen(title), ControlLogFont());
  dialog.AddItem(DialogTemplate::kStatic, {}, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kPromptId);
  dialog.AddItem(DialogTemplate::kEdit, {}, WS_TABSTOP | ES_AUTOHSCROLL, kEditId);
  dialog.AddItem(DialogTemplate::kButton, Widen(SystemButtonCaption(kAnswerOk)),
                 WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  dialog.AddItem(DialogTemplate::kButton, Widen(SystemButtonCaption(kAnswerCancel)),
                 WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner,
                                                 &InputProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return Narrow(state.entered);
}

}  // namespace tarnwick
