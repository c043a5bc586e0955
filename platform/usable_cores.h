// How many processors this process may use at once: the processors of its
// affinity mask (taskset, a container's cpuset), fewer when its control
// group's CPU quota allows less time than that. The thread counts of the
// analysis come from here, not from the machine's processor count, so that a
// run given one processor does not start threads that only wait for it.
#pragma once

#include <string>

namespace quilor {

// At least 1. The mask is read anew on every call (taskset may change it);
// the control group's quota once per process.
unsigned UsableCores();

// Work too small to be shared (a short text) caps the answer for a while:
// threads that start, hand over and end would cost more than they save.
class ScopedCoresCap {
 public:
  // cap 0: no cap.
  explicit ScopedCoresCap(unsigned cap);
  ~ScopedCoresCap();
  ScopedCoresCap(const ScopedCoresCap&) = delete;
  ScopedCoresCap& operator=(const ScopedCoresCap&) = delete;

 private:
  unsigned previous_;
};

// The processors a cgroup v2 "cpu.max" line ("QUOTA PERIOD" or "max PERIOD")
// allows, rounded up; 0 when it sets no limit or cannot be read.
unsigned CoresOfCpuMax(const std::string& line);
// The same for the cgroup v1 pair cpu.cfs_quota_us / cpu.cfs_period_us
// (a quota of -1: no limit).
unsigned CoresOfCfsQuota(long long quota, long long period);

}  // namespace quilor
