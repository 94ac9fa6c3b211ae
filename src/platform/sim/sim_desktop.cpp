#include "platform/sim/sim_desktop.h"

#include <algorithm>

#include "platform/controls.h"

namespace tarnwick {
namespace {

// Window handles: a main window is its index + 1; the box open at depth d is (d + 1) << 16,
// and its button b is that plus b + 1.
constexpr WindowHandle kBoxHandleShift = 16;

}  // namespace

void SimDesktop::AnswerButton(int button) {
  Answer([button](SimBox&, SimDesktop&) { return SimReply{button, std::nullopt}; });
}

void SimDesktop::AnswerText(std::optional<std::string> text) {
  Answer([text](SimBox&, SimDesktop&) { return SimReply{kAnswerOk, text}; });
}

void SimDesktop::AttachForm(Form& form) {
  forms_.push_back(&form);
  AttachTimers(form);
}

void SimDesktop::AttachTimers(Form& form) {
  for (Control* control : form.controls()) {
    if (control->kind() != ControlKind::Timer) continue;
    attachedTimers_.insert(control);
    if (control->period() > 0) dueTimers_[control] = now_ + control->period();
    control->Observe([this](const Control& timer, ControlChange change) {
      // A window that has closed keeps its controls a while, but its timers no longer run.
      if (change != ControlChange::Period || !attachedTimers_.contains(&timer)) return;
      auto* key = const_cast<Control*>(&timer);
      if (timer.period() > 0) {
        dueTimers_[key] = now_ + timer.period();
      } else {
        dueTimers_.erase(key);
      }
    });
  }
}

void SimDesktop::DetachTimers(Form& form) {
  for (Control* control : form.controls()) {
    attachedTimers_.erase(control);
    dueTimers_.erase(control);
  }
}

void SimDesktop::AdvanceClock(int milliseconds) {
  const std::int64_t target = now_ + std::max(milliseconds, 0);
  while (true) {
    auto next = std::min_element(dueTimers_.begin(), dueTimers_.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    if (next == dueTimers_.end() || next->second > target) break;
    Control* timer = next->first;
    now_ = next->second;
    next->second += timer->period();
    timer->Tick();
  }
  now_ = std::max(now_, target);
}

SimReply SimDesktop::RunModal(SimBox& box) {
  box.openedAt = now_;
  box.mainWindowOnTop = alwaysOnTop_;
  openBoxes_.push_back(&box);
  SimReply reply;
  if (!scripts_.empty()) {
    Script script = std::move(scripts_.front());
    scripts_.pop_front();
    reply = script(box, *this);
  } else {
    box.scripted = false;
    reply.button = box.buttonAnswers.empty() ? kAnswerOk : box.buttonAnswers.front();
  }
  openBoxes_.pop_back();
  box.answer = reply.button;
  box.enteredText = reply.text;
  boxes_.push_back(box);
  return reply;
}

int SimDesktop::ShowMessageBox(std::string_view text, int flags, std::string_view title) {
  calls_.push_back("ShowMessageBox " + std::string(title));
  SimBox box{.kind = SimBox::Kind::Message,
             .text = std::string(text),
             .flags = flags,
             .title = std::string(title)};
  for (const int answer : ButtonAnswersFor(flags)) {
    box.buttonAnswers.push_back(answer);
    box.buttonCaptions.emplace_back(SystemButtonCaption(answer));
  }
  const SimReply reply = RunModal(box);
  const auto& answers = box.buttonAnswers;
  // A box answers only with one of its own buttons.
  if (std::find(answers.begin(), answers.end(), reply.button) == answers.end()) {
    return answers.front();
  }
  return reply.button;
}

std::optional<std::string> SimDesktop::InputBox(std::string_view prompt, std::string_view title,
                                                std::string_view initialText) {
  calls_.push_back("InputBox " + std::string(title));
  SimBox box{.kind = SimBox::Kind::Input,
             .text = std::string(prompt),
             .title = std::string(title),
             .initialText = std::string(initialText)};
  return RunModal(box).text;
}

std::optional<std::string> SimDesktop::OpenFileDialog(std::string_view filter) {
  calls_.push_back("OpenFileDialog");
  SimBox box{.kind = SimBox::Kind::OpenFile, .filter = std::string(filter)};
  return RunModal(box).text;
}

std::optional<std::string> SimDesktop::ChooseFolder(std::string_view prompt) {
  calls_.push_back("ChooseFolder");
  SimBox box{.kind = SimBox::Kind::Folder, .text = std::string(prompt)};
  return RunModal(box).text;
}

void SimDesktop::SetClipboardText(std::string_view text) {
  calls_.push_back("SetClipboardText");
  clipboard_ = text;
}

void SimDesktop::OpenWebAddress(std::string_view address) {
  calls_.push_back("OpenWebAddress " + std::string(address));
  openedAddresses_.emplace_back(address);
}

void SimDesktop::SetMainWindowAlwaysOnTop(bool onTop) {
  calls_.push_back(onTop ? "SetMainWindowAlwaysOnTop on" : "SetMainWindowAlwaysOnTop off");
  alwaysOnTop_ = onTop;
}

void SimDesktop::ShowMainWindow(bool shown) {
  calls_.push_back(shown ? "ShowMainWindow on" : "ShowMainWindow off");
  shown_ = shown;
}

ScreenPixels SimDesktop::CopyScreen(const ScreenRect& area) {
  calls_.push_back("CopyScreen " + std::to_string(area.left) + "," + std::to_string(area.top) +
                   "," + std::to_string(area.right) + "," + std::to_string(area.bottom));
  ScreenPixels pixels;
  pixels.width = std::max(area.right - area.left, 0);
  pixels.height = std::max(area.bottom - area.top, 0);
  pixels.rgb.reserve(static_cast<std::size_t>(pixels.width) * pixels.height * 3);
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const std::uint32_t colour = painter_ ? painter_(x, y) : 0;
      pixels.rgb.push_back(static_cast<std::uint8_t>(colour >> 16));
      pixels.rgb.push_back(static_cast<std::uint8_t>(colour >> 8));
      pixels.rgb.push_back(static_cast<std::uint8_t>(colour));
    }
  }
  return pixels;
}

void SimDesktop::RunFullScreenModal(Form& form) {
  calls_.push_back("RunFullScreenModal");
  fullScreenForms_.push_back(&form);
  AttachTimers(form);
  form.Resize(screen_.width, screen_.height);
  if (!windowScripts_.empty()) {
    WindowScript script = std::move(windowScripts_.front());
    windowScripts_.pop_front();
    script(form, *this);
  }
  if (!form.closed()) calls_.push_back("RunFullScreenModal left open");
  DetachTimers(form);
  fullScreenForms_.pop_back();
}

void SimDesktop::PointerAt(PointerAction action, ScreenPoint point) {
  pointer_ = point;
  if (fullScreenForms_.empty() || fullScreenForms_.back()->closed()) return;
  fullScreenForms_.back()->DeliverPointer({action, point.x, point.y});
}

void SimDesktop::DragControl(Form&, Control& control) {
  calls_.push_back("DragControl " + control.name());
  draggedControls_.push_back(control.name());
}

void SimDesktop::PumpMessages(int milliseconds) {
  AdvanceClock(milliseconds);
}

WindowHandle SimDesktop::FindTopLevelWindow(std::string_view title) {
  for (std::size_t depth = openBoxes_.size(); depth-- > 0;) {
    if (openBoxes_[depth]->title == title) return (depth + 1) << kBoxHandleShift;
  }
  for (std::size_t i = 0; i < forms_.size(); ++i) {
    if (forms_[i]->caption() == title) return i + 1;
  }
  return 0;
}

WindowHandle SimDesktop::FindChildWindow(WindowHandle parent, std::string_view text) {
  const std::size_t depth = parent >> kBoxHandleShift;
  if (depth == 0 || depth > openBoxes_.size() || (parent & 0xFFFF) != 0) return 0;
  const auto& captions = openBoxes_[depth - 1]->buttonCaptions;
  for (std::size_t i = 0; i < captions.size(); ++i) {
    if (captions[i] == text) return parent + i + 1;
  }
  return 0;
}

bool SimDesktop::SetWindowText(WindowHandle window, std::string_view text) {
  const std::size_t depth = window >> kBoxHandleShift;
  const std::size_t button = window & 0xFFFF;
  if (depth == 0 || depth > openBoxes_.size() || button == 0) return false;
  auto& captions = openBoxes_[depth - 1]->buttonCaptions;
  if (button > captions.size()) return false;
  captions[button - 1] = text;
  return true;
}

}  // namespace tarnwick
