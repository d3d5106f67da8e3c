// The engine half of the update cycle with the pieces the updater uses: the
// bootstrap fetches the configuration and the engine package the build made,
// the wrapper loads the unpacked xldl.dll, and the start and poll steps
// download a package through it.
#include <gtest/gtest.h>

#include "engine_bootstrap.h"
#include "read_file_win.h"
#include "route_http_server_win.h"
#include "velko/engine/engine_download_steps.h"
#include "win_test_support.h"

namespace velko::engine {
namespace {

using test_support::HttpRoute;
using test_support::RouteHttpServer;
using test_support::TempFolder;

constexpr UINT kReadyMessage = 0x1400;

void ReplaceOnce(std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

TEST(EngineCycleTest, BootstrappedEngineDownloadsThePackage) {
  const std::wstring dist = test_support::ExecutableFolder() + L"\\dist";
  std::optional<std::string> config = test_support::ReadWholeFile(dist + L"\\cfg.xml");
  const std::optional<std::string> package = test_support::ReadWholeFile(dist + L"\\engine.zip");
  ASSERT_TRUE(config && package);

  TempFolder temp;
  RouteHttpServer server;
  ASSERT_TRUE(server.listening());
  // The build's configuration, pointed at this server and a scratch folder.
  const std::wstring save_base = temp.Child(L"engine");
  ReplaceOnce(*config, "CSIDL_LOCAL_APPDATA\\VelkoEngine", std::string(save_base.begin(), save_base.end()));
  // The engine ZIP address in the build's configuration starts with the configured service address.
  ReplaceOnce(*config, VELKO_ENGINE_CONFIG_URL, server.BaseUrl());
  server.SetRoute("/xl/cfg.xml", HttpRoute{200, "text/xml", *config});
  server.SetRoute("/xl/engine.zip", HttpRoute{200, "application/octet-stream", *package});
  server.SetRoute("/update/velko_2.rar", HttpRoute{200, "application/octet-stream", "version 2"});

  HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  bootstrap::EngineBootstrapOptions options;
  options.config_base_url = server.BaseUrl();
  bootstrap::RunEngineBootstrap(window, options);
  MSG message;
  ASSERT_TRUE(::PeekMessageW(&message, window, kReadyMessage, kReadyMessage, PM_REMOVE));
  const std::optional<std::wstring> engine_path = bootstrap::TakeEngineReadyPath(message.wParam);
  ::DestroyWindow(window);
  ASSERT_EQ(engine_path, save_base + L"\\xldl.dll");

  {
    std::unique_ptr<DownWrapper> wrapper = LoadDownloadEngine(*engine_path, nullptr);
    ASSERT_NE(wrapper, nullptr);
    std::unique_ptr<EngineTaskParams> params;
    EngineTaskHandle task = nullptr;
    const std::wstring commdl = temp.Child(L"commdl");
    ASSERT_EQ(StartDownloadTask(wrapper.get(), server.BaseUrl() + "/update/velko_2.rar", commdl,
                                params, task),
              StartDownloadResult::kStarted);
    PollStepResult polled;
    for (int tick = 0; tick < 400 && polled.kind == PollStepResult::Kind::kPending; ++tick) {
      ::Sleep(50);
      polled = PollDownloadTask(*wrapper, task, *params);
    }
    ASSERT_EQ(polled.kind, PollStepResult::Kind::kComplete);
    EXPECT_EQ(polled.package_path, commdl + L"\\velko_2.rar");
    EXPECT_EQ(test_support::ReadWholeFile(polled.package_path), "version 2");
  }
  EXPECT_EQ(server.CountRequests("/xl/engine.zip"), 1);
}

}  // namespace
}  // namespace velko::engine
