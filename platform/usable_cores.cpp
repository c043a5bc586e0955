#include "platform/usable_cores.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace quilor {

namespace {

unsigned RoundedUp(long long quota, long long period) {
  if (quota <= 0 || period <= 0) return 0;
  return static_cast<unsigned>(std::min<long long>((quota + period - 1) / period, 1 << 20));
}

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  if (in) std::getline(in, line);
  return line;
}

long long NumberIn(const std::string& path) {
  const std::string line = FirstLine(path);
  char* end = nullptr;  // an empty or missing file reads no digit: 0
  const long long v = std::strtoll(line.c_str(), &end, 10);
  return end != line.c_str() ? v : 0;
}

// The tightest CPU quota on the way from this process's control group up to
// the root of the hierarchy (a parent's limit binds its children); 0 none.
unsigned ReadCgroupCores() {
  std::ifstream groups("/proc/self/cgroup");
  std::string line;
  unsigned cores = 0;
  auto tighter = [&cores](unsigned c) {
    if (c > 0 && (cores == 0 || c < cores)) cores = c;
  };
  while (std::getline(groups, line)) {
    // "0::/path" (v2) or "N:cpu,cpuacct:/path" (v1).
    const size_t a = line.find(':');
    const size_t b = a == std::string::npos ? a : line.find(':', a + 1);
    if (b == std::string::npos) continue;
    const std::string controllers = line.substr(a + 1, b - a - 1);
    std::string path = line.substr(b + 1);
    const bool v2 = controllers.empty();
    bool v1cpu = false;
    std::stringstream list(controllers);
    for (std::string c; std::getline(list, c, ',');) v1cpu = v1cpu || c == "cpu";
    if (!v2 && !v1cpu) continue;
    const std::string root = v2 ? "/sys/fs/cgroup" : "/sys/fs/cgroup/" + controllers;
    for (;;) {
      const std::string dir = root + (path == "/" ? "" : path);
      if (v2) tighter(CoresOfCpuMax(FirstLine(dir + "/cpu.max")));
      else tighter(CoresOfCfsQuota(NumberIn(dir + "/cpu.cfs_quota_us"), NumberIn(dir + "/cpu.cfs_period_us")));
      if (path.empty() || path == "/") break;
      const size_t slash = path.find_last_of('/');
      path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
    }
  }
  return cores;
}

// Read once: a run asks at every step it shares out, and each reading opens
// a file per level of the hierarchy.
unsigned CgroupCores() {
  static const unsigned cores = ReadCgroupCores();
  return cores;
}

}  // namespace

unsigned CoresOfCpuMax(const std::string& line) {
  std::istringstream in(line);
  std::string quota;
  long long period = 0;
  if (!(in >> quota >> period) || quota == "max") return 0;
  char* end = nullptr;
  const long long q = std::strtoll(quota.c_str(), &end, 10);
  if (end == quota.c_str() || *end) return 0;
  return RoundedUp(q, period);
}

unsigned CoresOfCfsQuota(long long quota, long long period) { return RoundedUp(quota, period); }

namespace {
std::atomic<unsigned> coresCap{0};
}  // namespace

ScopedCoresCap::ScopedCoresCap(unsigned cap) : previous_(coresCap.exchange(cap)) {}
ScopedCoresCap::~ScopedCoresCap() { coresCap.store(previous_); }

unsigned UsableCores() {
  if (const unsigned cap = coresCap.load(std::memory_order_relaxed)) return cap;
  unsigned cores = 0;
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) cores = static_cast<unsigned>(CPU_COUNT(&set));
  if (cores == 0) cores = std::thread::hardware_concurrency();
  const unsigned quota = CgroupCores();
  if (quota > 0) cores = std::min(cores, quota);
  return std::max(cores, 1u);
}

}  // namespace quilor
