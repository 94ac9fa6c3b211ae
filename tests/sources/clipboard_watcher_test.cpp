#include "sources/clipboard_watcher.h"

#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using ClipboardWatcher = testing::RecognitionTest;

class ClipboardWatching : public testing::RecognitionTest {
 protected:
  // Ticks the switch and confirms.
  ClipboardWatching() {
    desktop().AnswerButton(kAnswerOk);
    window().选择框_监视剪贴板url.Click();
  }
  // Copies a text and lets the watcher look at it.
  void Copy(const std::string& text) {
    desktop().SetClipboard(text);
    desktop().AdvanceClock(kClipboardWatchPeriod);
  }
  // The addresses handed to recognition, as the demo requests carry them.
  std::vector<std::string> Recognised() {
    std::vector<std::string> addresses;
    for (const auto& request : service_.requestsTo(testing::kDemoPath)) {
      const std::size_t start = request.body.find("image_url=") + 10;
      addresses.push_back(request.body.substr(start, request.body.find("&type=") - start));
    }
    return addresses;
  }
};

TEST_F(ClipboardWatcher, TheSwitchAsksBeforeWatchingAndStopsWhenUnticked) {
  Control& box = window().选择框_监视剪贴板url;
  Control& timer = window().时钟_监视剪贴板;
  window().选择框_置顶.Click();

  desktop().AnswerButton(kAnswerCancel);
  box.Click();
  ASSERT_EQ(desktop().boxes().size(), 1u);
  const SimBox& question = desktop().boxes()[0];
  EXPECT_EQ(question.text, kClipboardWatchQuestion);
  EXPECT_EQ(question.flags, kBoxOkCancel | kBoxIconQuestion);
  EXPECT_FALSE(question.mainWindowOnTop);
  EXPECT_TRUE(desktop().alwaysOnTop());
  EXPECT_FALSE(box.ticked());
  EXPECT_EQ(timer.period(), 0);

  desktop().AnswerButton(kAnswerOk);
  box.Click();
  EXPECT_TRUE(box.ticked());
  EXPECT_EQ(timer.period(), 300);
  EXPECT_TRUE(desktop().alwaysOnTop());

  box.Click();
  EXPECT_FALSE(box.ticked());
  EXPECT_EQ(timer.period(), 0);
  EXPECT_EQ(desktop().boxes().size(), 2u);
}

TEST_F(ClipboardWatcher, TheSwitchChecksTheModeFirstEitherWay) {
  Control& box = window().选择框_监视剪贴板url;
  // No mode ticked: the check's message, no question, and the box goes back.
  window().选择框_功能演示.Click();
  box.Click();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"请先勾选key模式!"});
  EXPECT_FALSE(box.ticked());
  EXPECT_EQ(window().时钟_监视剪贴板.period(), 0);

  // Watching in demo mode, then key mode without keys: unticking says so, and watching stops.
  window().选择框_功能演示.Click();
  desktop().AnswerButton(kAnswerOk);
  box.Click();
  ASSERT_EQ(window().时钟_监视剪贴板.period(), 300);
  window().选择框_我自己有key.Click();
  box.Click();
  EXPECT_EQ(BoxTexts().back(), "请输入key或者更换为演示模式!");
  EXPECT_FALSE(box.ticked());
  EXPECT_EQ(window().时钟_监视剪贴板.period(), 0);
}

TEST_F(ClipboardWatching, HandsOnEachNewTextWithHttpWholeAndOnlyOnce) {
  const std::string address = service_.base() + "/pictures/page.png";
  Copy("");
  Copy("HTTP://PICTURES.EXAMPLE/A.PNG");
  Copy("no address here");
  Copy("see " + address + " please\r\n");
  Copy(address);                        // contained in the text before
  Copy(service_.base() + "/pictures");  // the beginning of an address handled
  Copy(address + "?again");
  desktop().AdvanceClock(3000);  // the same text, many ticks
  EXPECT_EQ(Recognised(), (std::vector<std::string>{UrlEncode("see " + address + " please\r\n"),
                                                    UrlEncode(address + "?again")}));
  EXPECT_TRUE(Output().starts_with("--------识别文件：see " + address + " please\r\n")) << Output();
  EXPECT_EQ(state().SeenClipboardText, "see " + address + " please\r\n" + address + "?again");

  // Off and on again: what was handled stays handled.
  window().选择框_监视剪贴板url.Click();
  desktop().AnswerButton(kAnswerOk);
  window().选择框_监视剪贴板url.Click();
  Copy(address + "?again");
  Copy("http://b");
  EXPECT_EQ(Recognised().size(), 3u);
  EXPECT_EQ(Recognised().back(), UrlEncode("http://b"));
}

TEST_F(ClipboardWatching, TicksInsideTheRecognitionsBoxDoNotRecogniseTheSameTextAgain) {
  window().选择框_返回信息提示.Click();
  int boxesOpen = 0;
  // The reply box stays open for a second while the timer keeps ticking.
  desktop().Answer([&boxesOpen](SimBox&, SimDesktop& sim) {
    ++boxesOpen;
    sim.AdvanceClock(1000);
    return SimReply{};
  });
  Copy("http://pictures.example/slow.png");
  EXPECT_EQ(boxesOpen, 1);
  EXPECT_EQ(Recognised(), std::vector<std::string>{UrlEncode("http://pictures.example/slow.png")});
  EXPECT_EQ(desktop().pendingScripts(), 0u);
  EXPECT_EQ(desktop().boxes().size(), 2u);  // the confirmation and one reply box
}

}  // namespace
}  // namespace tarnwick
