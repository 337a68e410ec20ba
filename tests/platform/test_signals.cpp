#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>

#include "platform/signals.h"

namespace {

// Each case runs in a child process: the recorded signal is process-wide.
class StopSignals : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(StopSignals, FirstIsRecordedSecondEndsAtOnce) {
  // The second signal need not be the first's kind; its own number is the code.
  struct Case {
    int signal;
    int code;
    const char* name;
    int second;
    int secondCode;
  };
  for (const Case& c :
       {Case{SIGINT, 130, "SIGINT", SIGINT, 130}, Case{SIGTERM, 143, "SIGTERM", SIGINT, 130},
        Case{SIGINT, 130, "SIGINT", SIGTERM, 143}}) {
    EXPECT_EXIT(
        {
          if (!platform::installStopSignals()) _exit(1);
          if (platform::stopSignal() != 0 || platform::stopExitCode() != 0) _exit(2);
          raise(c.signal);
          if (platform::stopSignal() != c.signal || platform::stopExitCode() != c.code ||
              std::string(platform::stopSignalName()) != c.name)
            _exit(3);
          raise(c.second);
          _exit(4);
        },
        ::testing::ExitedWithCode(c.secondCode), "")
        << c.name << " then " << c.second;
  }
}

TEST_F(StopSignals, IgnoredAtStartStaysIgnored) {
  EXPECT_EXIT(
      {
        signal(SIGTERM, SIG_IGN);
        platform::installStopSignals();
        raise(SIGTERM);
        _exit(platform::stopSignal() == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
