#include "cli/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace {

std::string cannot(const std::string& path, int err) { return "cannot write " + path + ": " + std::strerror(err); }

mode_t new_file_mode() {
  const mode_t u = umask(0);
  umask(u);
  return 0666 & ~u;
}

// Where and how `path` is written: the file itself when it is no regular
// file, else a temporary file beside the target with the target's mode.
struct Plan {
  std::string error;
  std::string target;
  bool direct = false;
  mode_t mode = 0;
};

// The file a path names once symbolic links are followed (the path itself
// when it is none); a link may point to a file yet to be made.
std::string followed(std::string path) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::vector<char> buf(size_t(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    const ssize_t len = readlink(path.c_str(), buf.data(), buf.size());
    if (len < 0 || size_t(len) >= buf.size()) break;
    const std::string to(buf.data(), size_t(len));
    const size_t slash = path.rfind('/');
    path = to[0] == '/' || slash == std::string::npos ? to : path.substr(0, slash + 1) + to;
  }
  return path;
}

Plan plan_for(const std::string& path) {
  Plan p;
  p.target = followed(path);
  p.mode = new_file_mode();
  struct stat st;
  if (stat(p.target.c_str(), &st) != 0) {
    if (errno != ENOENT) p.error = cannot(path, errno);
    return p;  // a new file
  }
  if (S_ISDIR(st.st_mode)) {
    p.error = cannot(path, EISDIR);
    return p;
  }
  if (!S_ISREG(st.st_mode)) {
    p.direct = true;
    return p;
  }
  p.mode = st.st_mode & 07777;
  return p;
}

// A new temporary file beside `target`; its name goes to *temp.
int make_temp(const std::string& target, mode_t mode, std::string* temp) {
  std::string name = target + ".XXXXXX";
  const int fd = mkstemp(&name[0]);
  if (fd < 0) return -1;
  if (fchmod(fd, mode) != 0) {
    const int e = errno;
    close(fd);
    unlink(name.c_str());
    errno = e;
    return -1;
  }
  *temp = name;
  return fd;
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

std::string OutputFile::check(const std::string& path) {
  const Plan p = plan_for(path);
  if (!p.error.empty()) return p.error;
  if (p.direct) return access(p.target.c_str(), W_OK) == 0 ? "" : cannot(path, errno);
  std::string temp;
  const int fd = make_temp(p.target, p.mode, &temp);
  if (fd < 0) return cannot(path, errno);
  close(fd);
  unlink(temp.c_str());
  return "";
}

std::string OutputFile::open(const std::string& path) {
  discard();
  path_ = path;
  const Plan p = plan_for(path);
  if (!p.error.empty()) return p.error;
  target_ = p.target;
  if (p.direct) {
    f_ = std::fopen(p.target.c_str(), "w");
    return f_ ? "" : cannot(path, errno);
  }
  const int fd = make_temp(p.target, p.mode, &temp_);
  if (fd < 0) return cannot(path, errno);
  f_ = fdopen(fd, "w");
  if (f_ == nullptr) {
    const int e = errno;
    close(fd);
    discard();
    return cannot(path, e);
  }
  return "";
}

std::string OutputFile::write_failed() const { return cannot(path_, errno ? errno : EIO); }

std::string OutputFile::commit() {
  if (f_ == nullptr) return cannot(path_, EBADF);
  errno = 0;
  const bool written = std::ferror(f_) == 0 && std::fflush(f_) == 0;
  const int e = errno ? errno : EIO;
  const bool closed = std::fclose(f_) == 0;
  f_ = nullptr;
  if (!written || !closed) {
    const std::string msg = cannot(path_, written ? (errno ? errno : EIO) : e);
    discard();
    return msg;
  }
  if (!temp_.empty()) {
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
      const std::string msg = cannot(path_, errno);
      discard();
      return msg;
    }
    temp_.clear();
  }
  return "";
}
