#include "cli/memory.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>

#include "containers/alloc_check.h"
#include "text/strings.h"

namespace {

// One edge record of the general engine: the record object and its bit
// block, each a small heap block (32 bytes with the allocator's header).
constexpr uint64_t kGeneralRecord = 64;
constexpr uint64_t kBase = 16ull << 20;  // the program itself, the strings, small vectors
// Counting, per node of the optimal graph: its position (4 bytes) and the
// running sum of its paths (a 16-byte number head and its first limb, a
// 32-byte heap block); the concave engine also keeps the place (8) and the
// predecessor runs (three numbers for a node with one run, 12) of each.
constexpr uint64_t kCountNode = 4 + 16 + 32;
constexpr uint64_t kCountRuns = 8 + 12;

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

char g_message[1024] = "The problem does not fit in memory.";

// Bytes the process holds: what the allocator has handed out (also blocks
// not yet touched), or, where the allocator is replaced (the sanitizer
// build), the resident set. Reads no more than a small stack buffer.
uint64_t allocated_bytes() {
  struct mallinfo2 mi = mallinfo2();
  uint64_t b = uint64_t(mi.uordblks) + uint64_t(mi.hblkhd);
  if (b >= (1u << 20)) return b;
  char buf[4096];
  int fd = open("/proc/self/status", O_RDONLY);
  if (fd < 0) return b;
  ssize_t len = read(fd, buf, sizeof buf - 1);
  close(fd);
  if (len <= 0) return b;
  buf[len] = 0;
  const char* p = std::strstr(buf, "VmRSS:");
  return p ? std::strtoull(p + 6, nullptr, 10) * 1024 : b;
}

[[noreturn]] void out_of_memory() {
  char buf[1200];
  int len = std::snprintf(buf, sizeof buf, "%s An allocation failed after about %llu MBytes had been allocated.\n",
                          g_message, static_cast<unsigned long long>(allocated_bytes() >> 20));
  if (len > 0) {
    ssize_t r = write(2, buf, std::min(size_t(len), sizeof buf - 1));
    (void)r;
  }
  std::_Exit(EXIT_NO_MEMORY);
}

void container_alloc_failed(const char*, int, const char*, const char*) { out_of_memory(); }

// Whole megabytes (rounded up for a need, down for a limit) at 10 digits.
std::string mbytes(uint64_t b, bool round_up) {
  String s;
  s.with_double(static_cast<double>((round_up ? b + (1u << 20) - 1 : b) >> 20), 10);
  return std::string(s.c_str()) + " MBytes";
}

}  // namespace

uint64_t estimate_memory(int mode, int n, int m, bool count) {
  uint64_t cells = uint64_t(n + 1) * uint64_t(m + 1);
  uint64_t inner = uint64_t(n) * uint64_t(m);
  uint64_t bits = inner / 8 + uint64_t(m) + 1;  // the optimal graph's bit matrix
  // General engine: dist and its transposed copy (4 bytes each), the record
  // pointers (8) and one record per inner node.
  if (mode == 1) return kBase + cells * (4 + 4 + 8) + inner * kGeneralRecord + bits + (count ? inner * kCountNode : 0);
  // dist and edge_m (4 bytes each) and the row and column stacks and
  // candidate lists: four arrays of 16-bit pairs over every cell. Counting
  // adds the index of every cell into its predecessor runs.
  return kBase + cells * (4 + 4 + 16) + bits + (count ? cells * 4 + inner * (kCountNode + kCountRuns) : 0);
}

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

std::string memory_message(uint64_t need, const MemoryLimit& lim) {
  std::string s = "The problem does not fit in memory: it needs about " + mbytes(need, true);
  if (lim.bytes == UINT64_MAX) return s + ", more than could be allocated.";
  return s + ", but this process may use only " + mbytes(lim.bytes, false) + " (" + lim.what + ").";
}

std::string estimate_exceeded_message(uint64_t need, const MemoryLimit& lim) {
  std::string s = "The problem does not fit in memory: it needs more than the estimated " + mbytes(need, true);
  if (lim.bytes == UINT64_MAX) return s + ".";
  return s + ", and this process may use " + mbytes(lim.bytes, false) + " (" + lim.what + ").";
}

void install_memory_handlers(const std::string& message) {
  std::snprintf(g_message, sizeof g_message, "%s", message.c_str());
  vd::set_alloc_failure_handler(container_alloc_failed);
  std::set_new_handler(out_of_memory);
}
