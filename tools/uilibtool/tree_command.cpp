#include "tree_command.h"

#include <cstdio>

#include "stdout_redirect.h"
#include "tree_json.h"
#include "uilib/error.h"
#include "uilib/uilib_impl.h"
#include "uilib/win/gdiplus_session.h"

namespace uilibtool {
namespace {

TreeResult Failure(ExitCode code, std::string message) { return {code, {}, std::move(message)}; }

}  // namespace

std::string SkinName(const std::filesystem::path& skin) {
  const std::u8string skin_u8 = skin.u8string();
  return std::string(skin_u8.begin(), skin_u8.end());
}

std::optional<TreeResult> LoadSkinForCommand(CUILibImpl& lib, const std::filesystem::path& skin) {
  const uilib::SkinLoadResult loaded = lib.LoadSkinFile(skin);
  if (loaded == uilib::SkinLoadResult::kOk) return std::nullopt;
  const bool missing = loaded == uilib::SkinLoadResult::kNotFound;
  std::string message = missing ? "cannot read skin file '" : "'";
  message += SkinName(skin);
  message += missing ? "': " : "' is not a skin document: ";
  message += lib.Document().LastError();
  return Failure(missing ? kExitSkinNotFound : kExitBadSkin, std::move(message));
}

TreeResult RunTree(const std::filesystem::path& skin, const std::string& window_id) {
  uilib::win::GdiplusSession gdiplus;
  if (!gdiplus.Ok()) return Failure(kExitLibraryFailure, "GDI+ could not be started");
  CUILibImpl lib;
  const std::string skin_name = SkinName(skin);
  if (auto failure = LoadSkinForCommand(lib, skin)) return *failure;
  try {
    std::unique_ptr<CUILibWindow> window;
    {
      StdoutToStderr diagnostics;
      window = lib.BuildWindowTree(window_id.c_str());
    }
    if (!window) return Failure(kExitNoSuchWindow, "no window with id '" + window_id + "' in '" + skin_name + "'");
    nlohmann::ordered_json tree = ElementTreeToJson(*window);
    return {kExitOk, tree.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n", {}};
  } catch (const CAtlException& e) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(e.m_hr));
    return Failure(kExitLibraryFailure, std::string("the library failed with ") + code);
  }
}

}  // namespace uilibtool
