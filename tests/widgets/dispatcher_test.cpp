#include <gtest/gtest.h>

#include <thread>

#include "foundation/registry.h"
#include "gui_fixture.h"
#include "widgets/gui_dispatcher.h"
#include "widgets/window.h"

namespace {

using widgets::Form;
using widgets::MessageWindowDispatcher;
using widgets::ModalResult;
using widgets_test::FindThreadWindow;

TEST(GuiDispatcher, WorkerStepRunsOnTheGuiThreadInsideAModalForm) {
  MessageWindowDispatcher gui;
  Form form;
  ASSERT_TRUE(form.Create({.caption = "Scanning", .border = widgets::BorderStyle::Dialog}));
  DWORD ranOn = 0;
  bool ranInsideTheModalLoop = false;
  std::thread worker([&] {
    gui.Send([&] {
      ranOn = GetCurrentThreadId();
      ranInsideTheModalLoop = form.IsModal();
      form.Close();
    });
  });
  const ModalResult result = form.ShowModal();
  worker.join();
  EXPECT_EQ(ranOn, GetCurrentThreadId());
  EXPECT_TRUE(ranInsideTheModalLoop);
  EXPECT_EQ(result, ModalResult::Cancel);
}

TEST(GuiDispatcher, WorkerStepRunsWhileAMessageBoxIsOpen) {
  widgets_test::FlushMessages();
  MessageWindowDispatcher gui;
  bool foundTheBox = false;
  std::thread worker([&] {
    gui.Send([&] {
      const HWND box = FindThreadWindow(L"#32770", L"Dispatcher under a box");
      foundTheBox = box != nullptr;
      if (box) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      } else {
        PostQuitMessage(0);  // ends the box's loop so that the test can fail instead of hanging
      }
    });
  });
  const int pressed = MessageBoxW(nullptr, L"waiting for a worker", L"Dispatcher under a box", MB_OK);
  worker.join();
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  EXPECT_TRUE(foundTheBox);
  EXPECT_EQ(pressed, IDOK);
}

TEST(GuiDispatcher, ExceptionOfAStepReachesTheWaitingWorker) {
  MessageWindowDispatcher gui;
  Form form;
  ASSERT_TRUE(form.Create({.caption = "Scanning"}));
  std::string caught;
  std::thread worker([&] {
    try {
      gui.Send([] { throw found::ERegistryException("Invalid data type for 'Path'"); });
    } catch (const found::ERegistryException& error) {
      caught = error.what();
    }
    gui.Send([&] { form.Close(); });
  });
  form.ShowModal();
  worker.join();
  EXPECT_EQ(caught, "Invalid data type for 'Path'");
}

TEST(GuiDispatcher, OnTheGuiThreadSendRunsAtOnceAndRaisesDirectly) {
  MessageWindowDispatcher gui;
  EXPECT_TRUE(gui.IsGuiThread());
  bool ran = false;
  gui.Send([&] { ran = true; });  // posting to itself and waiting would never return
  EXPECT_TRUE(ran);
  EXPECT_THROW(gui.Send([] { throw std::runtime_error("direct"); }), std::runtime_error);
}

TEST(GuiDispatcher, ShutdownRunsTheWaitingStepAndReleasesLaterSenders) {
  widgets_test::FlushMessages();
  MessageWindowDispatcher gui;
  DWORD ranOn = 0;
  std::thread waiting([&] { gui.Send([&] { ranOn = GetCurrentThreadId(); }); });
  // Without dispatching anything: wait until the worker's step is queued.
  MSG msg;
  while (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_POSTMESSAGE);
  }
  gui.Shutdown();
  waiting.join();
  EXPECT_EQ(ranOn, GetCurrentThreadId());

  bool ranAfterShutdown = false;
  std::thread late([&] { gui.Send([&] { ranAfterShutdown = true; }); });
  late.join();  // returns although no loop will ever run the step
  EXPECT_FALSE(ranAfterShutdown);
  EXPECT_FALSE(gui.Post([&] { ranAfterShutdown = true; }));
  widgets_test::FlushMessages();
  EXPECT_FALSE(ranAfterShutdown);
}

TEST(GuiDispatcher, PostedStepsRunInOrderOnTheGuiThread) {
  MessageWindowDispatcher gui;
  std::vector<int> order;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(gui.Post([&order, i] { order.push_back(i); }));
  });
  worker.join();
  widgets_test::FlushMessages();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

}  // namespace
