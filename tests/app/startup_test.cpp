#include <gtest/gtest.h>

#include <set>

#include "app/message_boxes.h"
#include "support/paths.h"
#include "support/sim_program.h"

namespace tarnwick {
namespace {

using testing::SimProgram;

std::set<std::string> TickedBoxes(const MainWindow& window) {
  std::set<std::string> ticked;
  for (const Control* control : window.controls()) {
    if (control->ticked()) ticked.insert(control->name());
  }
  return ticked;
}

TEST(Startup, FirstStartWithoutSettingsFileShowsTheFormDefaults) {
  SimProgram sim;
  Program& program = sim.Start();
  const MainWindow& window = program.window();
  EXPECT_EQ(TickedBoxes(window),
            (std::set<std::string>{
                "选择框_标准版", "选择框_功能演示", "选择框_印刷体", "选择框_是否分割",
                "选择框_延迟", "选择框_保存_类型", "选择框_保存_符号", "选择框_保存_是否加时间戳",
                "选择框_截图_截图隐藏", "选择框_保存截图图片", "选择框_表格识别_下载"}));
  EXPECT_EQ(window.编辑框_延迟毫秒.text(), "200");
  EXPECT_EQ(window.编辑框_apikey.text(), "");
  EXPECT_EQ(window.编辑框1.text(), kBanner);
  EXPECT_TRUE(window.编辑框1.text().starts_with(">>>>>>软件首发于"));
  EXPECT_EQ(program.state().SaveSymbol, "：");
  EXPECT_EQ(program.state().DetectDirection, "false");
  EXPECT_EQ(program.state().AccessToken, "");
  EXPECT_EQ(program.state().GeneralEndpoint,
            "https://aip.baidubce.com/rest/2.0/ocr/v1/general_basic");
  EXPECT_EQ(window.时钟_信息框_修改.period(), 0);
  EXPECT_EQ(window.时钟_监视剪贴板.period(), 0);
  EXPECT_TRUE(window.caption().starts_with("Tarnwick 可识别整个文件夹 V1.0  Pellarin    "));
  EXPECT_TRUE(sim.desktop().mainWindowShown());
  EXPECT_TRUE(sim.desktop().boxes().empty());
  EXPECT_FALSE(std::filesystem::exists(sim.folder() / Utf8Path(kSettingsFileName)));
}

TEST(Startup, RestoresStoredOptionsAndKeys) {
  SimProgram sim;
  sim.StoreSettings(
      "[参数]\r\naccess_token=tok-1\r\napikey=AK\r\nSecretKey=SK\r\n延迟ms=750\r\n"
      "[勾选]\r\n识别格式=高精度版\r\n我自己有key=真\r\n延迟=假\r\n矫正图片=真\r\n保存结果为txt="
      "真\r\n");
  Program& program = sim.Start();
  const MainWindow& window = program.window();
  EXPECT_TRUE(window.选择框_高精度版.ticked());
  EXPECT_FALSE(window.选择框_标准版.ticked());
  EXPECT_TRUE(window.选择框_我自己有key.ticked());
  EXPECT_FALSE(window.选择框_功能演示.ticked());
  EXPECT_TRUE(window.选择框_延迟.ticked());
  EXPECT_TRUE(window.选择框_矫正图片.ticked());
  EXPECT_TRUE(window.选择框_保存识别结果txt.ticked());
  EXPECT_TRUE(program.state().GeneralEndpoint.ends_with("/accurate_basic"));
  EXPECT_EQ(program.state().DetectDirection, "true");
  EXPECT_EQ(program.state().AccessToken, "tok-1");
  EXPECT_EQ(window.编辑框_apikey.text(), "AK");
  EXPECT_EQ(window.编辑框_SecretKey.text(), "SK");
  EXPECT_EQ(window.编辑框_延迟毫秒.text(), "750");
}

TEST(Startup, UnexpectedStoredValuesLeaveTheFormDefaults) {
  SimProgram sim;
  sim.StoreSettings("[勾选]\r\n识别格式=高精度版 x\r\n我自己有key=yes\r\n保存结果为txt=true\r\n");
  const MainWindow& window = sim.Start().window();
  EXPECT_TRUE(window.选择框_标准版.ticked());
  EXPECT_TRUE(window.选择框_功能演示.ticked());
  EXPECT_FALSE(window.选择框_保存识别结果txt.ticked());
}

TEST(OutputBox, FollowsTheWindowSize) {
  SimProgram sim;
  MainWindow& window = sim.Start().window();
  EXPECT_EQ(window.编辑框1.place(), (Rect{272, 8, 656, 845}));
  window.Resize(800, 600);
  EXPECT_EQ(window.编辑框1.place(), (Rect{272, 8, 498, 544}));
  window.Resize(100, 50);
  EXPECT_EQ(window.编辑框1.place(), (Rect{272, 8, 0, 0}));
}

TEST(AlwaysOnTop, IsSuspendedAroundErrorBoxesOnly) {
  SimProgram sim;
  Program& program = sim.Start();
  program.window().选择框_置顶.Click();
  EXPECT_TRUE(sim.desktop().alwaysOnTop());
  TopmostAwareMessageBox(program.context(), "出错了", kBoxIconError);
  PlainMessageBox(program.context(), "成功", kBoxIconInformation);
  const auto& boxes = sim.desktop().boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_FALSE(boxes[0].mainWindowOnTop);
  EXPECT_EQ(boxes[0].title, "信息：");
  EXPECT_EQ(boxes[0].flags, 16);
  EXPECT_TRUE(boxes[1].mainWindowOnTop);
  EXPECT_TRUE(sim.desktop().alwaysOnTop());

  program.window().选择框_置顶.Click();
  EXPECT_FALSE(sim.desktop().alwaysOnTop());
  const std::size_t callsBefore = sim.desktop().calls().size();
  TopmostAwareMessageBox(program.context(), "x", kBoxIconError, "错误!");
  EXPECT_EQ(sim.desktop().calls().size(), callsBefore + 1);  // the box alone
  EXPECT_EQ(sim.desktop().boxes().back().title, "错误!");
}

}  // namespace
}  // namespace tarnwick
