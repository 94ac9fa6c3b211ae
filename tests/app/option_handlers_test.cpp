#include <gtest/gtest.h>

#include "support/paths.h"
#include "support/sim_program.h"

namespace tarnwick {
namespace {

using testing::SimProgram;

TEST(OptionHandlers, StoreEachOptionTheMomentItChanges) {
  struct Case {
    Control MainWindow::*box;
    int clicks;
    const char* stored;
  } cases[] = {
      {&MainWindow::选择框_保存识别结果txt, 1, "保存结果为txt=真"},
      {&MainWindow::选择框_保存识别结果txt, 2, "保存结果为txt=假"},
      {&MainWindow::选择框_延迟, 1, "延迟=假"},
      {&MainWindow::选择框_延迟, 2, "延迟=真"},
      {&MainWindow::选择框_矫正图片, 1, "矫正图片=真"},
      {&MainWindow::选择框_矫正图片, 2, "矫正图片=\r\n"},
      {&MainWindow::选择框_高精度版, 1, "识别格式=高精度版"},
      {&MainWindow::选择框_标准版, 2, "识别格式=标准版"},
      {&MainWindow::选择框_我自己有key, 1, "我自己有key=真"},
      {&MainWindow::选择框_功能演示, 2, "我自己有key=无"},
  };
  for (const Case& c : cases) {
    SimProgram sim;
    MainWindow& window = sim.Start().window();
    for (int i = 0; i < c.clicks; ++i) (window.*c.box).Click();
    EXPECT_NE(sim.StoredSettings().find(std::string("[勾选]\r\n") + c.stored), std::string::npos)
        << (window.*c.box).name() << " x" << c.clicks << ":\n"
        << sim.StoredSettings();
  }
}

TEST(OptionHandlers, TickingOneOfAPairUnticksThePartnerWithoutItsHandler) {
  SimProgram sim;
  Program& program = sim.Start();
  MainWindow& window = program.window();
  window.选择框_高精度版.Click();
  EXPECT_FALSE(window.选择框_标准版.ticked());
  EXPECT_TRUE(program.state().GeneralEndpoint.ends_with("/accurate_basic"));
  EXPECT_EQ(sim.StoredSettings(), "[勾选]\r\n识别格式=高精度版\r\n");

  window.选择框_高精度版.Click();  // unticked by hand: nothing is written, both boxes clear
  EXPECT_FALSE(window.选择框_高精度版.ticked());
  EXPECT_FALSE(window.选择框_标准版.ticked());
  EXPECT_EQ(sim.StoredSettings(), "[勾选]\r\n识别格式=高精度版\r\n");
  EXPECT_TRUE(sim.Restart().window().选择框_高精度版.ticked());

  sim.window().选择框_标准版.Click();
  EXPECT_TRUE(sim.state().GeneralEndpoint.ends_with("/general_basic"));
  sim.window().选择框_矫正图片.Click();
  EXPECT_EQ(sim.state().DetectDirection, "true");
  sim.window().选择框_矫正图片.Click();
  EXPECT_EQ(sim.state().DetectDirection, "false");
}

TEST(OptionHandlers, EditBoxesStoreTheirTextOnEveryChange) {
  SimProgram sim;
  MainWindow& window = sim.Start().window();
  std::vector<std::string> stored;
  for (const char* character : {"a", "密", "3"}) {
    window.编辑框_apikey.Type(character);
    SettingsFile& settings = sim.program().settings();
    stored.push_back(settings.ReadSetting("参数", "apikey"));
  }
  EXPECT_EQ(stored, (std::vector<std::string>{"a", "a密", "a密3"}));
  window.编辑框_SecretKey.Type("s");
  window.编辑框_SecretKey.EditByUser("");
  EXPECT_EQ(sim.program().settings().ReadSetting("参数", "SecretKey", "missing"), "");

  window.编辑框_延迟毫秒.EditByUser("500");
  window.编辑框_延迟毫秒.EditByUser("");
  EXPECT_EQ(sim.program().settings().ReadSetting("参数", "延迟ms"), "500");
  window.编辑框_延迟毫秒.SetText("900");  // by program: no handler
  EXPECT_EQ(sim.program().settings().ReadSetting("参数", "延迟ms"), "500");
}

TEST(SymbolPrompt, ConfirmCancelAndEmptyAnswers) {
  struct Case {
    std::optional<std::string> answer;
    bool ticked;
    const char* symbol;
  } cases[] = {{"##", true, "##"}, {std::nullopt, false, ""}, {"", true, ""}};
  for (const Case& c : cases) {
    SimProgram sim;
    Program& program = sim.Start();
    Control& box = program.window().选择框_保存_符号;
    box.Click();  // untick: no prompt was ever confirmed, so the symbol goes at once
    EXPECT_FALSE(box.ticked());
    EXPECT_EQ(program.state().SaveSymbol, "");
    sim.desktop().AnswerText(c.answer);
    box.Click();
    const SimBox& prompt = sim.desktop().boxes().back();
    EXPECT_EQ(prompt.kind, SimBox::Kind::Input);
    EXPECT_EQ(prompt.text, "保存的文件为符号+时间戳+.txt\r\n例如777.png----1610183524.txt");
    EXPECT_EQ(prompt.title, "请输入符号");
    EXPECT_EQ(prompt.initialText, "----");
    EXPECT_EQ(box.ticked(), c.ticked);
    EXPECT_EQ(program.state().SaveSymbol, c.symbol);
    EXPECT_EQ(program.state().SymbolConfirmed, c.answer.has_value());
  }
}

TEST(SymbolPrompt, UntickingAfterAConfirmedPromptKeepsTheSymbol) {
  SimProgram sim;
  Program& program = sim.Start();
  Control& box = program.window().选择框_保存_符号;
  box.Click();
  sim.desktop().AnswerText("--");
  box.Click();
  box.Click();
  EXPECT_FALSE(box.ticked());
  EXPECT_EQ(program.state().SaveSymbol, "--");
  EXPECT_EQ(sim.desktop().boxes().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(sim.folder() / Utf8Path(kSettingsFileName)));
}

}  // namespace
}  // namespace tarnwick
