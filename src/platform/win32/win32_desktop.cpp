#include "platform/win32/win32_desktop.h"

// clang-format off
#include "platform/win32/windows_api.h"
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "platform/controls.h"
#include "platform/win32/form_window.h"
#include "platform/win32/full_screen_window.h"
#include "platform/win32/input_box.h"
#include "support/wide_text.h"

namespace tarnwick {
namespace {

// The program's message box flags and answers are those of the system's own box.
static_assert(kBoxOk == MB_OK && kBoxOkCancel == MB_OKCANCEL &&
              kBoxAbortRetryIgnore == MB_ABORTRETRYIGNORE && kBoxYesNoCancel == MB_YESNOCANCEL &&
              kBoxYesNo == MB_YESNO && kBoxRetryCancel == MB_RETRYCANCEL);
static_assert(kBoxIconError == MB_ICONERROR && kBoxIconQuestion == MB_ICONQUESTION &&
              kBoxIconWarning == MB_ICONWARNING && kBoxIconInformation == MB_ICONINFORMATION);
static_assert(kBoxSystemModal == MB_SYSTEMMODAL && kBoxSetForeground == MB_SETFOREGROUND);
static_assert(kAnswerOk == IDOK - 1 && kAnswerCancel == IDCANCEL - 1 &&
              kAnswerAbort == IDABORT - 1 && kAnswerRetry == IDRETRY - 1 &&
              kAnswerIgnore == IDIGNORE - 1 && kAnswerYes == IDYES - 1 && kAnswerNo == IDNO - 1);

constexpr wchar_t kHelperClass[] = L"TarnwickHelper";
// Another program may hold the clipboard for a moment; it is asked again this often.
constexpr int kClipboardTries = 10;
constexpr DWORD kClipboardRetryMs = 10;

HWND AsWindow(WindowHandle handle) {
  return reinterpret_cast<HWND>(handle);
}

HWND MakeHelperWindow() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kHelperClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
  return CreateWindowExW(WS_EX_TOOLWINDOW, kHelperClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool OpenClipboardPatiently(HWND owner) {
  for (int attempt = 0; attempt < kClipboardTries; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(kClipboardRetryMs);
  }
  return false;
}

// "label|pattern|label|pattern" as the dialog wants it: each piece ended by a NUL, the whole
// ended by another. A label without a pattern is dropped.
std::wstring FilterPairs(std::string_view filter) {
  std::vector<std::wstring> pieces;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t bar = std::min(filter.find('|', start), filter.size());
    pieces.push_back(Widen(filter.substr(start, bar - start)));
    start = bar + 1;
  }
  std::wstring pairs;
  for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
    pairs += pieces[i] + L'\0' + pieces[i + 1] + L'\0';
  }
  pairs += L'\0';
  return pairs;
}

bool IsWebAddress(std::wstring_view address) {
  std::wstring lower(address.substr(0, 8));
  for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
  return lower.starts_with(L"http://") || lower.starts_with(L"https://");
}

}  // namespace

Win32Desktop::Win32Desktop() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // The folder chooser's newer look needs COM on this thread.
  comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  clipboardOwner_ = reinterpret_cast<WindowHandle>(MakeHelperWindow());
}

Win32Desktop::~Win32Desktop() {
  formWindows_.clear();
  if (clipboardOwner_) DestroyWindow(AsWindow(clipboardOwner_));
  if (comStarted_) CoUninitialize();
}

FormWindow* Win32Desktop::mainWindow() const {
  if (formWindows_.empty() || !IsWindow(formWindows_.front()->window())) return nullptr;
  return formWindows_.front().get();
}

void Win32Desktop::AttachForm(Form& form) {
  const bool main = formWindows_.empty();
  formWindows_.push_back(std::make_unique<FormWindow>(form, [main] {
    // Wakes the message loop, which then finds the main window gone.
    if (main) PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  }));
  HWND window = formWindows_.back()->window();
  if (main && mainOnTop_) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
}

void Win32Desktop::RunUntilMainWindowCloses() {
  MSG message;
  while (mainWindow()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) break;
    Dispatch(&message);
  }
}

bool Win32Desktop::Dispatch(const void* raw) {
  const MSG& message = *static_cast<const MSG*>(raw);
  if (message.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  if (FormWindow* main = mainWindow()) {
    HWND window = main->window();
    const bool inMain = message.hwnd == window || IsChild(window, message.hwnd);
    // Esc presses the status bar's button (the stop control of a running walk) wherever the
    // focus is, and is otherwise ignored: a multi-line edit box would close the window.
    if (inMain && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
      main->PressStatusButton();
      return true;
    }
    if (inMain && IsDialogMessageW(window, const_cast<MSG*>(&message))) return true;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return true;
}

WindowHandle Win32Desktop::DialogOwner() const {
  FormWindow* main = mainWindow();
  if (!main || !IsWindowVisible(main->window())) return 0;
  return reinterpret_cast<WindowHandle>(main->window());
}

int Win32Desktop::ShowMessageBox(std::string_view text, int flags, std::string_view title) {
  // The program's boxes have no owner and are task-modal unless it asks for system-modal.
  UINT style = static_cast<UINT>(flags) &
               (kBoxButtonsMask | kBoxIconMask | kBoxSystemModal | kBoxSetForeground);
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  const int pressed = MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(), style);
  if (pressed >= IDOK && pressed <= IDNO) return pressed - 1;
  return ButtonAnswersFor(flags).front();
}

std::optional<std::string> Win32Desktop::InputBox(std::string_view prompt, std::string_view title,
                                                  std::string_view initialText) {
  return RunInputBox(AsWindow(DialogOwner()), prompt, title, initialText);
}

std::optional<std::string> Win32Desktop::OpenFileDialog(std::string_view filter) {
  const std::wstring filters = FilterPairs(filter);
  std::wstring path(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = AsWindow(DialogOwner());
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  // The program keeps its files beside itself, so the working folder must not wander.
  dialog.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  path.resize(wcslen(path.c_str()));
  return Narrow(path);
}

std::optional<std::string> Win32Desktop::ChooseFolder(std::string_view prompt) {
  const std::wstring title = Widen(prompt);
  BROWSEINFOW browse{};
  HWND active = GetActiveWindow();
  browse.hwndOwner = active ? active : AsWindow(DialogOwner());
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) return std::nullopt;
  std::wstring path(MAX_PATH * 8, L'\0');
  const bool found =
      SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
  CoTaskMemFree(chosen);
  if (!found) return std::nullopt;
  path.resize(wcslen(path.c_str()));
  if (path.empty()) return std::nullopt;
  return Narrow(path);
}

std::string Win32Desktop::ClipboardText() {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return {};
  if (!OpenClipboardPatiently(AsWindow(clipboardOwner_))) return {};
  std::string text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      // The text ends at its first NUL, and never beyond the memory that holds it.
      const std::size_t room = GlobalSize(data) / sizeof(wchar_t);
      text = Narrow(std::wstring_view(wide, std::find(wide, wide + room, L'\0') - wide));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void Win32Desktop::SetClipboardText(std::string_view text) {
  const std::wstring wide = Widen(text);
  if (!OpenClipboardPatiently(AsWindow(clipboardOwner_))) return;
  EmptyClipboard();
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(memory)) {
      std::memcpy(target, wide.c_str(), bytes);
      GlobalUnlock(memory);
      // Once set, the memory belongs to the clipboard.
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

void Win32Desktop::OpenWebAddress(std::string_view address) {
  const std::wstring wide = Widen(address);
  // Only a web address is handed to the shell, which would run anything else it is given.
  if (!IsWebAddress(wide)) return;
  ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

ScreenSize Win32Desktop::PrimaryScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenPoint Win32Desktop::PointerPosition() {
  POINT point{};
  GetCursorPos(&point);
  return {point.x, point.y};
}

ScreenPixels Win32Desktop::CopyScreen(const ScreenRect& area) {
  ScreenPixels pixels;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return pixels;
  // What is copied is what the screen shows: repaints still pending are done first.
  for (const auto& form : formWindows_) {
    if (IsWindow(form->window())) UpdateWindow(form->window());
  }
  for (FullScreenWindow* window : fullScreenWindows_) UpdateWindow(window->window());
  GdiFlush();

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied =
      BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
  SelectObject(memory, old);

  // Rows top down, three bytes (blue, green, red) each, every row padded to four bytes.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height));
  const int read = copied ? GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), rows.data(),
                                      &info, DIB_RGB_COLORS)
                          : 0;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (read != height) return pixels;

  pixels.width = width;
  pixels.height = height;
  pixels.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  std::uint8_t* out = pixels.rgb.data();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = rows.data() + stride * static_cast<std::size_t>(y);
    for (int x = 0; x < width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  return pixels;
}

void Win32Desktop::RunFullScreenModal(Form& form) {
  const ScreenSize screen = PrimaryScreenSize();
  // The form takes the screen's size before the window is made, so it opens at that size.
  form.Resize(screen.width, screen.height);
  FullScreenWindow window(form);
  if (!window.window()) return;
  // Like any modal window, it leaves the program's other windows waiting.
  std::vector<HWND> disabled;
  for (const auto& formWindow : formWindows_) {
    HWND other = formWindow->window();
    if (IsWindow(other) && IsWindowEnabled(other)) {
      EnableWindow(other, FALSE);
      disabled.push_back(other);
    }
  }
  fullScreenWindows_.push_back(&window);
  window.RunModal();
  fullScreenWindows_.pop_back();
  // Enabled again before the popup goes, so that activation returns to them.
  for (HWND other : disabled) {
    if (IsWindow(other)) EnableWindow(other, TRUE);
  }
}

void Win32Desktop::DragControl(Form& form, Control& control) {
  (void)form;
  if (!fullScreenWindows_.empty()) fullScreenWindows_.back()->DragControl(control);
}

void Win32Desktop::SetMainWindowAlwaysOnTop(bool onTop) {
  mainOnTop_ = onTop;
  FormWindow* main = mainWindow();
  if (!main) return;
  SetWindowPos(main->window(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Desktop::ShowMainWindow(bool shown) {
  FormWindow* main = mainWindow();
  if (!main) return;
  ShowWindow(main->window(), shown ? SW_SHOW : SW_HIDE);
  // A full-screen window stays above the main window that comes back under it.
  if (shown && !fullScreenWindows_.empty()) {
    SetWindowPos(fullScreenWindows_.back()->window(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
  }
}

void Win32Desktop::PumpMessages(int milliseconds) {
  // The windows stay enabled meanwhile: the user may click, type and start other commands
  // while the program waits.
  const std::int64_t until = NowMilliseconds() + std::max(milliseconds, 0);
  MSG message;
  while (true) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (!Dispatch(&message)) return;
    }
    const std::int64_t left = until - NowMilliseconds();
    if (left <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
  }
}

std::int64_t Win32Desktop::NowMilliseconds() {
  return static_cast<std::int64_t>(GetTickCount64());
}

WindowHandle Win32Desktop::FindTopLevelWindow(std::string_view title) {
  return reinterpret_cast<WindowHandle>(FindWindowW(nullptr, Widen(title).c_str()));
}

WindowHandle Win32Desktop::FindChildWindow(WindowHandle parent, std::string_view text) {
  if (!parent || !IsWindow(AsWindow(parent))) return 0;
  return reinterpret_cast<WindowHandle>(
      FindWindowExW(AsWindow(parent), nullptr, nullptr, Widen(text).c_str()));
}

bool Win32Desktop::SetWindowText(WindowHandle window, std::string_view text) {
  if (!window || !IsWindow(AsWindow(window))) return false;
  return SetWindowTextW(AsWindow(window), Widen(text).c_str()) != FALSE;
}

}  // namespace tarnwick
