#include "platform/controls.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace tarnwick {
namespace {

class TwoControlForm : public Form {
 public:
  TwoControlForm() : Form("form", 100, 100) {
    Register(button);
    Register(timer);
  }
  Control button{{"按钮", ControlKind::Button, "", {}, "", false}};
  Control timer{{"时钟", ControlKind::Timer, "", {}, "", false}};
};

TEST(Controls, AFaultInAHandlerEndsOnlyThatHandlerAndIsReported) {
  TwoControlForm form;
  std::vector<std::string> reports;
  form.OnHandlerFault([&](std::string_view control, std::string_view what) {
    reports.push_back(std::string(control) + ": " + std::string(what));
  });
  int runs = 0;
  form.button.OnClick([&] {
    ++runs;
    throw std::runtime_error("boom");
  });
  form.button.OnTextChanged([] { throw std::bad_alloc(); });
  form.timer.OnTick([] { throw 42; });
  form.OnResize([] { throw std::logic_error("resize"); });
  form.timer.SetPeriod(10);

  form.button.Click();
  form.button.Click();
  form.button.Type("ab");
  form.timer.Tick();
  form.Resize(200, 100);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(form.button.text(), "ab") << "the change itself stands";
  EXPECT_EQ(form.width(), 200);
  EXPECT_EQ(reports, (std::vector<std::string>{"按钮: boom", "按钮: boom", "按钮: std::bad_alloc",
                                               "按钮: std::bad_alloc", "时钟: unknown exception",
                                               ": resize"}));

  // A reporter that fails in turn, or none at all, still keeps the fault inside the form.
  form.OnHandlerFault([](std::string_view, std::string_view) { throw std::bad_alloc(); });
  EXPECT_NO_THROW(form.button.Click());
  form.OnHandlerFault(nullptr);
  EXPECT_NO_THROW(form.button.Click());
  Control loose({"loose", ControlKind::Button, "", {}, "", false});
  loose.OnClick([] { throw std::runtime_error("outside a form"); });
  EXPECT_NO_THROW(loose.Click());
}

}  // namespace
}  // namespace tarnwick
