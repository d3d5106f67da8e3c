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

TreeResult RunTree(const std::filesystem::path& skin, const std::string& window_id) {
  uilib::win::GdiplusSession gdiplus;
  if (!gdiplus.Ok()) return Failure(kExitLibraryFailure, "GDI+ could not be started");
  CUILibImpl lib;
  const std::u8string skin_u8 = skin.u8string();
  const std::string skin_name(skin_u8.begin(), skin_u8.end());
  uilib::SkinLoadResult loaded = lib.LoadSkinFile(skin);
  if (loaded == uilib::SkinLoadResult::kNotFound) {
    return Failure(kExitSkinNotFound, "cannot read skin file '" + skin_name + "': " + lib.Document().LastError());
  }
  if (loaded != uilib::SkinLoadResult::kOk) {
    return Failure(kExitBadSkin, "'" + skin_name + "' is not a skin document: " + lib.Document().LastError());
  }
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
