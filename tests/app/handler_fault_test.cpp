#include <gtest/gtest.h>

#include <stdexcept>

#include "support/sim_program.h"

namespace tarnwick {
namespace {

TEST(HandlerFaults, TheUserIsToldAndTheOutputBoxAndProgramCarryOn) {
  testing::SimProgram sim;
  Program& program = sim.Start();
  MainWindow& window = program.window();
  window.编辑框1.Append("earlier results\r\n");
  const std::string output = window.编辑框1.text();
  window.按钮_本地图片.OnClick([&window] {
    window.编辑框1.Append("half a result");
    throw std::runtime_error("disk on fire");
  });

  window.按钮_本地图片.Click();
  ASSERT_EQ(sim.desktop().boxes().size(), 1u);
  const SimBox& box = sim.desktop().boxes().at(0);
  EXPECT_EQ(box.text, "操作出错，已中止：disk on fire");
  EXPECT_EQ(box.flags, kBoxIconError);
  EXPECT_EQ(box.title, "错误!");
  EXPECT_EQ(window.编辑框1.text(), output + "half a result");

  // Other commands still work afterwards.
  window.选择框_高精度版.Click();
  EXPECT_NE(sim.StoredSettings().find("识别格式=高精度版"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick
