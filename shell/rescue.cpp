// The text window's content survives a failed allocation: the operations
// refuse what would not fit before they allocate, and if an allocation
// fails all the same, the text is written to a rescue file before the
// program ends. Nothing here allocates once installed.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "containers/alloc_check.h"
#include "shell/shell.h"

namespace {

char path[4096] = "";

void put(const char* s) {
  ssize_t r = write(2, s, std::strlen(s));
  (void)r;
}

void container_failed(const char*, int, const char*, const char*) { rescue_and_exit(); }
void new_failed() { rescue_and_exit(); }

}  // namespace

const char* rescue_path() { return path; }

void install_rescue_handler() {
  const char* home = std::getenv("HOME");
  if (home && *home && std::strlen(home) < 3000)
    std::snprintf(path, sizeof path, "%s/vardane-rescue-%ld.txt", home, static_cast<long>(getpid()));
  else
    std::snprintf(path, sizeof path, "/tmp/vardane-rescue-%ld.txt", static_cast<long>(getpid()));
  vd::set_alloc_failure_handler(container_failed);
  std::set_new_handler(new_failed);
}

void rescue_and_exit() {
  put("vardane: out of memory.\n");
  if (textsw && textsw->length() > 0) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0 && textsw->write_raw(fd) && close(fd) == 0) {
      put("The text of the text window was saved to ");
      put(path);
      put("\n");
    } else {
      put("The text of the text window could not be saved to ");
      put(path);
      put("\n");
    }
  }
  _exit(4);
}
