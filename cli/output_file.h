// A file the batch tool writes whole or not at all. The text goes to a
// temporary file beside it (FILE.XXXXXX), which replaces FILE only when it
// is complete, so that a failed run leaves neither a partial file nor a
// damaged older one. FILE keeps the permissions of the file it replaces
// (new files get those of the umask); symbolic links are followed. A FILE
// that is no regular file (a terminal, /dev/null, a pipe) is written
// directly; a directory is refused.
#pragma once
#include <cstdio>
#include <string>

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // removes the temporary file unless committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens the stream for `path`; "" or the message ("cannot write PATH: ...").
  std::string open(const std::string& path);
  std::FILE* stream() const { return f_; }
  // The message for a write that failed on the stream (errno says why).
  std::string write_failed() const;
  // Closes the stream and puts the file in place; "" or the message.
  std::string commit();

  // Whether `path` can be written, tried before a long computation: the
  // same checks as open, and for a regular file a trial temporary file
  // created beside it and removed again. "" or the message.
  static std::string check(const std::string& path);

 private:
  void discard();
  std::string path_;    // as the user wrote it (messages)
  std::string target_;  // the file replaced (symbolic links followed)
  std::string temp_;    // the temporary file; empty when written directly
  std::FILE* f_ = nullptr;
};
