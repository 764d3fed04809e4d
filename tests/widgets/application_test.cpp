#include <gtest/gtest.h>

#include <thread>

#include "widgets/application.h"
#include "widgets/window.h"

namespace {

TEST(Application, RunEndsWithTheMainFormOrTerminateAndLeavesNoQuitBehind) {
  const struct {
    const char* name;
    bool closeMainForm;
    int exitCode;
  } cases[] = {{"closing the main form", true, 0}, {"Terminate", false, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    widgets::Application app;
    app.SetTitle("Cobaltine");
    widgets::Form main;
    ASSERT_TRUE(main.Create({.caption = "Cobaltine"}));
    app.SetMainForm(main);
    bool shownByRun = false;
    // A worker's step, as TThread's Synchronize delivers it through the program's dispatcher.
    std::thread worker([&] {
      app.Dispatcher().Send([&] {
        shownByRun = main.Visible();
        if (c.closeMainForm) {
          main.Close();
        } else {
          app.Terminate(c.exitCode);
        }
      });
    });
    EXPECT_EQ(app.Run(), c.exitCode);
    worker.join();
    EXPECT_TRUE(shownByRun);
    EXPECT_EQ(main.Visible(), !c.closeMainForm);
    EXPECT_EQ(widgets::ApplicationTitle(), "Cobaltine");
    // A quit left queued would close the next message box at once.
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  }
}

}  // namespace
