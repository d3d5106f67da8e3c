#include "stdout_redirect.h"

#include <cstdio>
#include <io.h>

namespace uilibtool {

StdoutToStderr::StdoutToStderr() {
  std::fflush(stdout);
  saved_stdout_ = _dup(_fileno(stdout));
  if (saved_stdout_ >= 0) _dup2(_fileno(stderr), _fileno(stdout));
}

StdoutToStderr::~StdoutToStderr() {
  std::fflush(stdout);
  if (saved_stdout_ < 0) return;
  _dup2(saved_stdout_, _fileno(stdout));
  _close(saved_stdout_);
}

}  // namespace uilibtool
