#include "platform/full_screen_painting.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// A picture box inside a group, and a label above both, on a full-screen form.
class ScreenForm : public Form {
 public:
  ScreenForm() : Form("screen", 640, 480) {
    Register(label);
    Register(group);
    Register(picture);
  }
  Control label{{"标签", ControlKind::Label, "", {10, 10, 50, 20}, "是否", false}};
  Control group{{"分组", ControlKind::GroupBox, "", {100, 100, 200, 100}, "", false}};
  Control picture{{"图片框", ControlKind::PictureBox, "分组", {5, 5, 30, 30}, "", false}};
};

TEST(FullScreenPainting, PaintsEarlierControlsLastAndChildrenWithTheirParent) {
  ScreenForm form;
  FullScreenPainting painting(form);
  EXPECT_EQ(painting.PaintOrder(),
            (std::vector<const Control*>{&form.group, &form.picture, &form.label}));
  form.group.SetVisible(false);
  EXPECT_EQ(painting.PaintOrder(), std::vector<const Control*>{&form.label});
}

TEST(FullScreenPainting, AMovedControlRepaintsWhereItsOuterControlWasAndIs) {
  ScreenForm form;
  FullScreenPainting painting(form);
  painting.PaintOrder();
  const Rect before = form.PlaceInClientArea(form.group);
  form.group.SetPlace({300, 200, 200, 100});
  EXPECT_EQ(painting.AreasToRepaint(form.picture),
            (std::vector<Rect>{before, form.PlaceInClientArea(form.group)}));
  EXPECT_TRUE(ChangeIsSeen(ControlChange::Place));
  EXPECT_FALSE(ChangeIsSeen(ControlChange::Period));
}

TEST(ControlDrag, TheControlKeepsItsGripUntilTheDragEnds) {
  ScreenForm form;
  ControlDrag drag(form);
  EXPECT_FALSE(drag.active());
  drag.Start(form.picture, 110, 112);  // 5 and 7 pixels inside the picture box
  drag.Follow(150, 160);
  EXPECT_EQ(form.picture.place(), (Rect{45, 53, 30, 30})) << "placed within its group";
  drag.End();
  drag.Follow(0, 0);
  EXPECT_EQ(form.picture.place(), (Rect{45, 53, 30, 30}));
}

}  // namespace
}  // namespace tarnwick
