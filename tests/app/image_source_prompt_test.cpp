#include "app/image_source_prompt.h"

#include <gtest/gtest.h>

#include "support/sim_program.h"

namespace tarnwick {
namespace {

using testing::SimProgram;

const std::string kPrompt = std::string("请选择图片的类型！") + kImageSourcePromptTail;

TEST(ImageSourcePrompt, MapsTheThreeButtons) {
  struct Case {
    int button;
    ImageSource source;
  } cases[] = {{kAnswerRetry, ImageSource::Local},
               {kAnswerIgnore, ImageSource::Web},
               {kAnswerAbort, ImageSource::Cancel}};
  for (const Case& c : cases) {
    SimProgram sim;
    Program& program = sim.Start();
    sim.desktop().AnswerButton(c.button);
    EXPECT_EQ(ImageSourcePrompt(program.context(), kPrompt), c.source);
    const SimBox& box = sim.desktop().boxes().back();
    EXPECT_EQ(box.text, kPrompt);
    EXPECT_EQ(box.flags, 69698);
    EXPECT_EQ(box.title, "信息：");
  }
}

TEST(ImageSourcePrompt, RelabelsTheButtonsWhileOpenThenStopsItsTimer) {
  SimProgram sim;
  Program& program = sim.Start();
  program.window().选择框_置顶.Click();
  std::vector<std::string> atOpen;
  std::vector<std::string> after100;
  int periodAfter200 = -1;
  sim.desktop().Answer([&](SimBox& box, SimDesktop& desktop) {
    atOpen = box.buttonCaptions;
    desktop.AdvanceClock(100);
    after100 = box.buttonCaptions;
    desktop.AdvanceClock(100);
    periodAfter200 = program.window().时钟_信息框_修改.period();
    return SimReply{kAnswerIgnore};
  });
  EXPECT_EQ(ImageSourcePrompt(program.context(), kPrompt), ImageSource::Web);
  EXPECT_EQ(atOpen, (std::vector<std::string>{"中止(&A)", "重试(&R)", "忽略(&I)"}));
  EXPECT_EQ(after100, (std::vector<std::string>{"取消识别(&E)", "本地图片(&B)", "网络图片(&W)"}));
  EXPECT_EQ(periodAfter200, 0);
  EXPECT_TRUE(sim.desktop().boxes().back().mainWindowOnTop);  // shown plainly
}

TEST(ImageSourcePrompt, CancelStopsTheTimerAtOnce) {
  SimProgram sim;
  Program& program = sim.Start();
  sim.desktop().AnswerButton(kAnswerAbort);
  ImageSourcePrompt(program.context(), kPrompt);
  EXPECT_EQ(program.window().时钟_信息框_修改.period(), 0);
}

TEST(ImageSourcePrompt, OtherCaptionsAreLeftAloneAndTheFirstTickStopsTheTimer) {
  SimProgram sim;
  Program& program = sim.Start();
  std::vector<std::string> captions;
  int period = -1;
  sim.desktop().Answer([&](SimBox& box, SimDesktop& desktop) {
    box.buttonCaptions = {"Abort", "Retry", "Ignore"};  // another display language
    desktop.AdvanceClock(100);
    captions = box.buttonCaptions;
    period = program.window().时钟_信息框_修改.period();
    return SimReply{kAnswerRetry};
  });
  EXPECT_EQ(ImageSourcePrompt(program.context(), kPrompt), ImageSource::Local);
  EXPECT_EQ(captions, (std::vector<std::string>{"Abort", "Retry", "Ignore"}));
  EXPECT_EQ(period, 0);
}

TEST(AskForImage, TakesAFileOrAnAddressAndTheModeWord) {
  SimProgram sim;
  Program& program = sim.Start();
  SimDesktop& desktop = sim.desktop();

  desktop.AnswerButton(kAnswerRetry);
  desktop.AnswerText("/pictures/a.png");
  auto chosen = AskForImage(program.context(), kPrompt, "https://static.example/x.jpg");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->sourceWord, "本地");
  EXPECT_EQ(chosen->location, "/pictures/a.png");
  EXPECT_EQ(chosen->modeWord, "演示");
  EXPECT_EQ(program.state().ImagePath, "/pictures/a.png");
  EXPECT_EQ(desktop.boxes().back().filter,
            "图片文件(*.jpg;*.bmp;*.png;*.gif)|*.jpg;*.bmp;*.png|任意文件（*.*）|*.*");

  program.window().选择框_我自己有key.Click();
  desktop.AnswerButton(kAnswerIgnore);
  desktop.AnswerText("https://pictures.example/b.jpg");
  chosen = AskForImage(program.context(), kPrompt, "https://static.example/x.jpg");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->sourceWord, "网络");
  EXPECT_EQ(chosen->modeWord, "key");
  EXPECT_EQ(program.state().ImageUrl, "https://pictures.example/b.jpg");
  const SimBox& input = desktop.boxes().back();
  EXPECT_EQ(input.text, "请在下方粘贴需要识别的图片的网络地址:");
  EXPECT_EQ(input.title, "请输入");
  EXPECT_EQ(input.initialText, "https://static.example/x.jpg");
}

TEST(AskForImage, EndsWhenTheUserGivesUpOrNoModeIsTicked) {
  SimProgram sim;
  Program& program = sim.Start();
  SimDesktop& desktop = sim.desktop();
  desktop.AnswerButton(kAnswerAbort);
  EXPECT_FALSE(AskForImage(program.context(), kPrompt, ""));
  EXPECT_EQ(desktop.boxes().size(), 1u);

  desktop.AnswerButton(kAnswerRetry);
  desktop.AnswerText(std::nullopt);
  EXPECT_FALSE(AskForImage(program.context(), kPrompt, ""));

  program.window().选择框_功能演示.Click();  // unticked by hand: no mode
  desktop.AnswerButton(kAnswerIgnore);
  desktop.AnswerText("https://x.example/a.png");
  bool forced = false;
  EXPECT_FALSE(AskForImage(program.context(), kPrompt, "", [&] { forced = true; }));
  EXPECT_TRUE(forced);
  EXPECT_EQ(desktop.pendingScripts(), 0u);
}

}  // namespace
}  // namespace tarnwick
