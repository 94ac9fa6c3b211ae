#include "platform/form_layout.h"

#include <gtest/gtest.h>

#include "app/main_window.h"

namespace tarnwick {
namespace {

// Captions 16 pixels tall per line, as a GTK font of about 8 points draws them.
TextExtent SixteenPixelLines(const std::string& text) {
  int lines = 1;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  return {static_cast<int>(text.size()) * 6, lines * 16};
}

TEST(FormLayout, MovesGroupContentsBelowTheirCaptionsAndKeepsTheRestInPlace) {
  MainWindow window;
  const auto places = LayOutForm(window, SixteenPixelLines);
  const auto at = [&](const Control& control) { return places.at(&control); };

  EXPECT_EQ(at(window.编辑框1), window.编辑框1.place());
  EXPECT_EQ(at(window.分组框1), (Rect{8, 16, 264, 784}));
  EXPECT_EQ(at(window.选择框_标准版), (Rect{32, 32, 112, 32}));  // first child at the caption
  // 卡识别's buttons stood 8 pixels into the group: they move below its 16-pixel caption, the
  // group grows, and the group below it moves down only as far as it must.
  EXPECT_EQ(at(window.分组框5).top, 16 + 224);
  EXPECT_EQ(at(window.按钮_身份证识别).top, 16 + 224 + 16);
  const Rect cards = at(window.分组框5);
  EXPECT_GE(cards.top + cards.height, at(window.按钮_身份证识别).top + 32);
  EXPECT_EQ(at(window.分组框6).top, cards.top + cards.height);
  // Three lines of instructions get the room they need; a separator of bars stays cut off.
  EXPECT_EQ(at(window.标签3).height, 48);
  EXPECT_EQ(at(window.标签4).height, 48);
  for (const Control* control : window.controls()) {
    if (control->kind() == ControlKind::Timer) {
      EXPECT_FALSE(places.contains(control));
    } else if (control->kind() != ControlKind::Label) {
      EXPECT_EQ(places.at(control).width, control->place().width) << control->name();
    }
  }
}

TEST(FormLayout, DesignedPlacesStandWhereCaptionsAreSmall) {
  MainWindow window;
  const auto places = LayOutForm(window, [](const std::string&) { return TextExtent{10, 8}; });
  for (const Control* control : window.controls()) {
    if (control->kind() == ControlKind::Timer) continue;
    EXPECT_EQ(places.at(control), window.PlaceInClientArea(*control)) << control->name();
  }
}

}  // namespace
}  // namespace tarnwick
