// Sends the process's standard output to standard error for a scope. The
// library writes its diagnostic lines (font fallback) to standard output; the
// tool keeps that stream for its JSON.
#pragma once

namespace uilibtool {

class StdoutToStderr {
 public:
  StdoutToStderr();
  ~StdoutToStderr();
  StdoutToStderr(const StdoutToStderr&) = delete;
  StdoutToStderr& operator=(const StdoutToStderr&) = delete;

 private:
  int saved_stdout_ = -1;
};

}  // namespace uilibtool
