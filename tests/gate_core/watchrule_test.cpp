#include <gtest/gtest.h>

#include "gate/core/watchrule.h"

namespace {

// Every sight a tick can have. Where the list was read the watch is as it
// always was (a handle does not overrule it); an unreadable list, as on NT
// 4.0 without the process-status library, must never end a run on its own.
TEST(WatchRule, EndsOnlyOnWhatWasSeen) {
  using S = TStartedProcess;
  struct Case {
    bool listRead;
    bool listed;
    S started;
    bool ended;
  };
  const Case cases[] = {
      {true, true, S::Unknown, false},   {true, true, S::Running, false},   {true, true, S::Ended, false},
      {true, false, S::Unknown, true},   {true, false, S::Running, true},   {true, false, S::Ended, true},
      // Unread: what "listed" says is nothing (an empty list names nothing).
      {false, false, S::Unknown, false}, {false, false, S::Running, false}, {false, false, S::Ended, true},
      {false, true, S::Unknown, false},  {false, true, S::Running, false},  {false, true, S::Ended, true},
  };
  for (const auto& c : cases) {
    const TWatchSight sight{c.listRead, c.listed, c.started};
    EXPECT_EQ(WatchedRunHasEnded(sight), c.ended)
        << "list read " << c.listRead << ", listed " << c.listed << ", started " << static_cast<int>(c.started);
  }
}

}  // namespace
