#include "velko/engine/down_wrapper.h"

namespace velko::engine {
namespace {

// GetProcAddress gives an untyped FARPROC; each field has its exact type.
template <typename Fn>
void Resolve(HMODULE module, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

DownWrapper::DownWrapper(const std::wstring& dll_path) {
  // The engine's own folder and the system folder only: never the current
  // folder or PATH, from which a planted library would be loaded elevated.
  module_ = ::LoadLibraryExW(dll_path.c_str(), nullptr, kEngineLoadFlags);
  if (module_ == nullptr) throw kEngineLoadFailureText;
  ResolveEntryPoints();
}

DownWrapper::~DownWrapper() {
  if (module_ != nullptr) ::FreeLibrary(module_);
}

void DownWrapper::ResolveEntryPoints() {
  Resolve(module_, "XL_Init", XL_Init);
  Resolve(module_, "XL_UnInit", XL_UnInit);
  Resolve(module_, "XL_CreateTask", XL_CreateTask);
  Resolve(module_, "XL_DeleteTask", XL_DeleteTask);
  Resolve(module_, "XL_StartTask", XL_StartTask);
  Resolve(module_, "XL_StopTask", XL_StopTask);
  Resolve(module_, "XL_QueryTaskInfo", XL_QueryTaskInfo);
  Resolve(module_, "XL_QueryTaskInfoEx", XL_QueryTaskInfoEx);
  Resolve(module_, "XL_SetSpeedLimit", XL_SetSpeedLimit);
  Resolve(module_, "XL_SetUploadSpeedLimit", XL_SetUploadSpeedLimit);
  Resolve(module_, "XL_DelTempFile", XL_DelTempFile);
  Resolve(module_, "XL_SetProxy", XL_SetProxy);
  Resolve(module_, "XL_SetUserAgent", XL_SetUserAgent);
  Resolve(module_, "XL_GetFileSizeWithUrl", XL_GetFileSizeWithUrl);
  Resolve(module_, "XL_ParseThunderPrivateUrl", XL_ParseThunderPrivateUrl);
  Resolve(module_, "XL_SetAdditionInfo", XL_SetAdditionInfo);
  Resolve(module_, "XL_SetFileIdAndSize", XL_SetFileIdAndSize);
}

int DownWrapper::ResolvedEntryPointCount() const {
  const void* slots[] = {
      reinterpret_cast<const void*>(XL_Init),
      reinterpret_cast<const void*>(XL_UnInit),
      reinterpret_cast<const void*>(XL_CreateTask),
      reinterpret_cast<const void*>(XL_DeleteTask),
      reinterpret_cast<const void*>(XL_StartTask),
      reinterpret_cast<const void*>(XL_StopTask),
      reinterpret_cast<const void*>(XL_QueryTaskInfo),
      reinterpret_cast<const void*>(XL_QueryTaskInfoEx),
      reinterpret_cast<const void*>(XL_SetSpeedLimit),
      reinterpret_cast<const void*>(XL_SetUploadSpeedLimit),
      reinterpret_cast<const void*>(XL_DelTempFile),
      reinterpret_cast<const void*>(XL_SetProxy),
      reinterpret_cast<const void*>(XL_SetUserAgent),
      reinterpret_cast<const void*>(XL_GetFileSizeWithUrl),
      reinterpret_cast<const void*>(XL_ParseThunderPrivateUrl),
      reinterpret_cast<const void*>(XL_SetAdditionInfo),
      reinterpret_cast<const void*>(XL_SetFileIdAndSize),
  };
  int count = 0;
  for (const void* slot : slots) count += slot != nullptr ? 1 : 0;
  return count;
}

}  // namespace velko::engine
