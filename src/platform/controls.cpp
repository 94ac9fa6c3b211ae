#include "platform/controls.h"

#include <exception>

namespace tarnwick {
namespace {

// Length of the UTF-8 character that starts with this byte (1 for a stray byte).
std::size_t CharacterLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

}  // namespace

Control::Control(const ControlDefinition& definition)
    : name_(definition.name),
      kind_(definition.kind),
      parent_(definition.parent),
      text_(definition.text),
      place_(definition.place),
      ticked_(definition.ticked) {}

void Control::Notify(ControlChange change) {
  for (const Observer& observer : observers_) observer(*this, change);
}

void Control::SetText(std::string_view text) {
  text_ = text;
  Notify(ControlChange::Text);
}

void Control::Append(std::string_view text) {
  text_ += text;
  lastAppended_ = text;
  Notify(ControlChange::Appended);
}

void Control::SetTicked(bool ticked) {
  ticked_ = ticked;
  Notify(ControlChange::Ticked);
}

void Control::SetPlace(const Rect& place) {
  place_ = place;
  Notify(ControlChange::Place);
}

void Control::SetVisible(bool visible) {
  visible_ = visible;
  Notify(ControlChange::Visible);
}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Notify(ControlChange::Enabled);
}

void Control::SetPeriod(int milliseconds) {
  period_ = milliseconds < 0 ? 0 : milliseconds;
  Notify(ControlChange::Period);
}

void Control::Run(const Handler& handler) {
  if (!handler) return;
  if (form_) {
    form_->RunGuarded(name_, handler);
    return;
  }
  try {
    handler();
  } catch (...) {
    // A control outside any window has no one to tell; its handler's work simply ends.
  }
}

void Control::Click() {
  if (kind_ == ControlKind::CheckBox) SetTicked(!ticked_);
  if (kind_ == ControlKind::RadioButton) SetTicked(true);
  Run(onClick_);
}

void Control::Type(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = CharacterLength(static_cast<unsigned char>(text[at]));
    EditByUser(text_ + std::string(text.substr(at, length)));
    at += length;
  }
}

void Control::EditByUser(std::string_view text) {
  if (text == text_) return;
  SetText(text);
  Run(onTextChanged_);
}

void Control::Tick() {
  if (period_ > 0) Run(onTick_);
}

Control* Form::Find(std::string_view name) const {
  for (Control* control : controls_) {
    if (control->name() == name) return control;
  }
  return nullptr;
}

Rect Form::PlaceInClientArea(const Control& control) const {
  Rect place = control.place();
  for (const Control* group = Find(control.parent()); group; group = Find(group->parent())) {
    place.left += group->place().left;
    place.top += group->place().top;
  }
  return place;
}

void Form::Resize(int width, int height) {
  width_ = width;
  height_ = height;
  if (onResize_) RunGuarded({}, onResize_);
}

void Form::RunGuarded(std::string_view control, const Handler& handler) {
  // The report is made inside the catch, where the exception's text is still alive, and is
  // guarded in turn: copying a text after running out of memory may fail as well.
  const auto report = [&](const char* what) {
    try {
      if (onHandlerFault_) onHandlerFault_(control, what);
    } catch (...) {
      // The report failed too; the window goes on regardless.
    }
  };
  try {
    handler();
  } catch (const std::exception& error) {
    report(error.what());
  } catch (...) {
    report("unknown exception");
  }
}

}  // namespace tarnwick
