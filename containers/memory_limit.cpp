// Reading the memory limits of this process from /proc and the cgroup files.
#include "containers/memory_limit.h"

#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

bool read_u64(const std::string& path, uint64_t* v) {
  std::ifstream f(path);
  std::string s;
  if (!(f >> s)) return false;
  if (s.empty() || s[0] < '0' || s[0] > '9') return false;  // "max" = no limit
  *v = std::strtoull(s.c_str(), nullptr, 10);
  return true;
}

// A "Key:   123 kB" field of a /proc file, in bytes.
bool proc_field(const char* file, const char* key, uint64_t* v) {
  std::ifstream f(file);
  std::string line;
  size_t kl = std::strlen(key);
  while (std::getline(f, line)) {
    if (line.compare(0, kl, key) == 0 && line.size() > kl && line[kl] == ':') {
      *v = std::strtoull(line.c_str() + kl + 1, nullptr, 10) * 1024;
      return true;
    }
  }
  return false;
}

void take(MemoryLimit* lim, uint64_t v, const char* what) {
  if (v < lim->bytes) {
    lim->bytes = v;
    lim->what = what;
  }
}

uint64_t room(uint64_t limit, uint64_t used) { return limit > used ? limit - used : 0; }

void cgroup_limits(MemoryLimit* lim) {
  std::ifstream f("/proc/self/cgroup");
  std::string line;
  while (std::getline(f, line)) {
    size_t a = line.find(':'), b = line.find(':', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    std::string ctrl = line.substr(a + 1, b - a - 1), path = line.substr(b + 1);
    bool v2 = line.compare(0, 2, "0:") == 0 && ctrl.empty();
    bool v1 = ctrl.find("memory") != std::string::npos;
    if (!v2 && !v1) continue;
    std::string root = v2 ? "/sys/fs/cgroup" : "/sys/fs/cgroup/memory";
    // The process's cgroup and every ancestor may set a limit; inside a
    // cgroup namespace the path may not exist under the mount, so the mount
    // root (the namespace's own cgroup) is always tried too.
    for (std::string p = path;; ) {
      std::string dir = root + (p == "/" ? "" : p);
      uint64_t limit = 0, used = 0;
      if (v2) {
        if (read_u64(dir + "/memory.max", &limit)) {
          read_u64(dir + "/memory.current", &used);
          take(lim, room(limit, used), "cgroup memory limit");
        }
      } else if (read_u64(dir + "/memory.limit_in_bytes", &limit) && limit < (1ull << 60)) {
        read_u64(dir + "/memory.usage_in_bytes", &used);
        take(lim, room(limit, used), "cgroup memory limit");
      }
      if (p == "/" || p.empty()) break;
      size_t s = p.rfind('/');
      p = s == 0 || s == std::string::npos ? "/" : p.substr(0, s);
    }
  }
}

}  // namespace

MemoryLimit usable_memory() {
  MemoryLimit lim;
  uint64_t v = 0;
  if (proc_field("/proc/meminfo", "MemAvailable", &v)) take(&lim, v, "available memory");
  struct rlimit rl;
  if (getrlimit(RLIMIT_AS, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY) {
    uint64_t vm = 0;
    proc_field("/proc/self/status", "VmSize", &vm);
    take(&lim, room(uint64_t(rl.rlim_cur), vm), "address-space limit (ulimit -v)");
  }
  cgroup_limits(&lim);
  return lim;
}
