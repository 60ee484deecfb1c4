#include "shell/quit_signals.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <csignal>

namespace yomira {
namespace {

// Runs the event loop until done() or a bounded number of rounds.
template <typename Done>
void PumpUntil(Done done) {
  for (int round = 0; round < 200 && !done(); ++round) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void (*HandlerOf(int sig))(int) {
  struct sigaction now = {};
  sigaction(sig, nullptr, &now);
  return now.sa_handler;
}

TEST(QuitSignals, EachSignalQuitsOnceOnTheEventLoopAndTheOldHandlerComesBack) {
  for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(sig);
    ASSERT_EQ(HandlerOf(sig), SIG_DFL);
    int quits = 0;
    {
      QuitSignals handlers([&] { ++quits; });
      ASSERT_TRUE(handlers.installed());
      raise(sig);
      EXPECT_EQ(quits, 0) << "the handler itself only writes to the pipe";
      PumpUntil([&] { return quits > 0; });
      EXPECT_EQ(quits, 1);
      PumpUntil([] { return false; });
      EXPECT_EQ(quits, 1);
    }
    EXPECT_EQ(HandlerOf(sig), SIG_DFL);
  }
}

TEST(QuitSignals, ASecondInstanceLeavesTheHandlersToTheFirst) {
  int first = 0;
  QuitSignals one([&] { ++first; });
  QuitSignals two([] {});
  EXPECT_TRUE(one.installed());
  EXPECT_FALSE(two.installed());
  raise(SIGHUP);
  PumpUntil([&] { return first > 0; });
  EXPECT_EQ(first, 1);
}

TEST(QuitSignalsDeathTest, ASecondSignalEndsTheProcessAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        QuitSignals handlers([] {});
        raise(SIGTERM);  // the close would run on the event loop, which never gets to it
        raise(SIGTERM);
        std::exit(0);
      },
      ::testing::ExitedWithCode(128 + SIGTERM), "");
}

}  // namespace
}  // namespace yomira
