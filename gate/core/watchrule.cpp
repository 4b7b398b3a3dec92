#include "gate/core/watchrule.h"

bool WatchedRunHasEnded(const TWatchSight& sight) {
  if (sight.ListRead) return !sight.ProgramListed;
  return sight.Started == TStartedProcess::Ended;
}
