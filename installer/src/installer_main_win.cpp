// The installer's entry point. It takes no options: the command line only
// goes on to the UI library's start-up.
#include <windows.h>
#include <shlobj.h>

#include "velko/installer/image_codec_warmup.h"
#include "velko/installer/main_thread.h"

#ifdef VELKO_INSTALLER_BEGIN_AT_ONCE
#include "phase_trace_sink_win.h"
#include "velko/installer/phase_trace.h"
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show_command) {
#ifdef VELKO_INSTALLER_BEGIN_AT_ONCE
  velko::installer::bench::StartPhaseTrace();
  velko::installer::MarkPhase("entry");
#endif
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);  // never a library planted beside it or on PATH
  velko::installer::StartImageCodecWarmUp();  // beside COM's and the display driver's start below
  CoInitialize(nullptr);  // the main thread's apartment, kept for the whole run
  // Tell the shell that file associations change before anything else does.
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_DWORD | SHCNF_FLUSH, nullptr, nullptr);

  int exit_code = -1;
  {
    velko::installer::CMainThread controller(instance, previous, command_line, show_command);
#ifdef VELKO_INSTALLER_BEGIN_AT_ONCE
    controller.BeginInstallWhenCreated();
#endif
    if (controller.CreateControllerWindow()) exit_code = controller.Run();
  }  // the controller stops the worker and deletes the temporary archive here
#ifdef VELKO_INSTALLER_BEGIN_AT_ONCE
  velko::installer::MarkPhase("exit");
#endif
  return exit_code;
}
