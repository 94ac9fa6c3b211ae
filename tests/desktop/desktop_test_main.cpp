// Runs the desktop tests inside a wx application on the X display; listing them needs none.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  wxApp::SetInstance(new wxApp());
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "no display for the desktop tests\n");
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
