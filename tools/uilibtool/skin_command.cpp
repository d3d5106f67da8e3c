#include "skin_command.h"

#include <cstdio>
#include <optional>
#include <windows.h>

#include "sample_provider.h"
#include "stdout_redirect.h"
#include "uilib/error.h"
#include "uilib/uilib_impl.h"
#include "uilib/uilib_startup.h"
#include "uilib/win/gdiplus_session.h"

namespace uilibtool {
namespace {

std::optional<CommandResult> LoadSkin(CUILibImpl& lib, const std::filesystem::path& skin) {
  const uilib::SkinLoadResult loaded = lib.LoadSkinFile(skin);
  if (loaded == uilib::SkinLoadResult::kOk) return std::nullopt;
  const bool missing = loaded == uilib::SkinLoadResult::kNotFound;
  std::string message = missing ? "cannot read skin file '" : "'";
  message += PathName(skin);
  message += missing ? "': " : "' is not a skin document: ";
  message += lib.Document().LastError();
  return Failure(missing ? kExitSkinNotFound : kExitBadSkin, std::move(message));
}

CommandResult LibraryFailure(const CAtlException& e) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(e.m_hr));
  return Failure(kExitLibraryFailure, std::string("the library failed with ") + code);
}

CommandResult RunLoaded(const std::filesystem::path& skin, const std::string& window_id,
                        const std::function<CommandResult(const SkinWindowCommand&)>& command) {
  CUILibImpl lib;
  RegisterSampleProviders(lib);
  if (auto failure = LoadSkin(lib, skin)) return *failure;
  try {
    return command(SkinWindowCommand(lib, skin, window_id));
  } catch (const CAtlException& e) {
    return LibraryFailure(e);
  }
}

}  // namespace

CommandResult Failure(ExitCode code, std::string message) { return {code, {}, std::move(message)}; }

std::string PathName(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

CommandResult SkinWindowCommand::NoSuchWindow() const {
  return Failure(kExitNoSuchWindow, "no window with id '" + window_id_ + "' in '" + PathName(skin_) + "'");
}

std::unique_ptr<CUILibWindow> SkinWindowCommand::BuildTree(CommandResult* failure) const {
  std::unique_ptr<CUILibWindow> window;
  {
    StdoutToStderr diagnostics;
    window = lib_.BuildWindowTree(window_id_.c_str());
  }
  if (!window) *failure = NoSuchWindow();
  return window;
}

CUILibWindow* SkinWindowCommand::CreateNativeWindow(CommandResult* failure) const {
  IUILibWindow* created = lib_.CreateWindowById(window_id_.c_str(), nullptr, nullptr, nullptr);
  auto* window = dynamic_cast<CUILibWindow*>(created);
  if (window != nullptr && window->NativeHandle() != nullptr) return window;
  // Tell a missing window from one that exists but could not be created.
  if (BuildTree(failure) != nullptr) {
    *failure = Failure(kExitLibraryFailure, "the window '" + window_id_ + "' could not be created");
  }
  return nullptr;
}

CommandResult RunOnSkinWindow(const std::filesystem::path& skin, const std::string& window_id,
                              LibraryStart start,
                              const std::function<CommandResult(const SkinWindowCommand&)>& command) {
  if (start == LibraryStart::kWindows) {
    if (!UILibStartup(GetModuleHandleW(nullptr))) return Failure(kExitLibraryFailure, "the library could not start");
    return RunLoaded(skin, window_id, command);
  }
  uilib::win::GdiplusSession gdiplus;
  if (!gdiplus.Ok()) return Failure(kExitLibraryFailure, "GDI+ could not be started");
  return RunLoaded(skin, window_id, command);
}

}  // namespace uilibtool
