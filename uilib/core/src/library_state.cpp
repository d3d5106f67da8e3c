#include "uilib/library_state.h"

namespace uilib {

LibraryState& State() {
  // Lives until the process ends: windows may still be queued for deletion
  // and the render thread may still hold the mutexes at exit.
  static LibraryState* state = new LibraryState();
  return *state;
}

}  // namespace uilib
