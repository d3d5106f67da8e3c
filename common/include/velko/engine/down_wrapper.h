// The download engine library (xldl.dll), loaded at run time, with its
// seventeen entry points resolved by name.
#pragma once

#include <windows.h>

#include <string>

#include "velko/engine/engine_entry_points.h"

namespace velko::engine {

// How the library and what it imports are looked up: its own folder (which
// must be one that only administrators can write into) and the system folder.
inline constexpr DWORD kEngineLoadFlags = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

// Thrown (as a pointer to this text) when the library cannot be loaded.
inline constexpr const wchar_t* kEngineLoadFailureText = L"can not load xldl.dll";

class DownWrapper {
 public:
  // Loads the library at the full path `dll_path` (kEngineLoadFlags) and
  // resolves every entry point; a name the
  // library does not export leaves its pointer null. Throws
  // kEngineLoadFailureText (const wchar_t*) when the library does not load.
  explicit DownWrapper(const std::wstring& dll_path);
  // Unloads the library. XL_UnInit is deliberately not called: the engine's
  // own clean-up is left to the end of the process.
  virtual ~DownWrapper();

  DownWrapper(const DownWrapper&) = delete;
  DownWrapper& operator=(const DownWrapper&) = delete;

  HMODULE module() const { return module_; }
  // How many of the seventeen entry points the library exports.
  int ResolvedEntryPointCount() const;

  // Null when the library does not export the name.
  XlInitFn XL_Init = nullptr;
  XlUnInitFn XL_UnInit = nullptr;
  XlCreateTaskFn XL_CreateTask = nullptr;
  XlDeleteTaskFn XL_DeleteTask = nullptr;
  XlStartTaskFn XL_StartTask = nullptr;
  XlStopTaskFn XL_StopTask = nullptr;
  XlQueryTaskInfoFn XL_QueryTaskInfo = nullptr;
  XlQueryTaskInfoExFn XL_QueryTaskInfoEx = nullptr;
  XlSetSpeedLimitFn XL_SetSpeedLimit = nullptr;
  XlSetUploadSpeedLimitFn XL_SetUploadSpeedLimit = nullptr;
  XlDelTempFileFn XL_DelTempFile = nullptr;
  XlSetProxyFn XL_SetProxy = nullptr;
  XlSetUserAgentFn XL_SetUserAgent = nullptr;
  XlGetFileSizeWithUrlFn XL_GetFileSizeWithUrl = nullptr;
  XlParseThunderPrivateUrlFn XL_ParseThunderPrivateUrl = nullptr;
  XlSetAdditionInfoFn XL_SetAdditionInfo = nullptr;
  XlSetFileIdAndSizeFn XL_SetFileIdAndSize = nullptr;

 private:
  void ResolveEntryPoints();

  HMODULE module_ = nullptr;
};

}  // namespace velko::engine
