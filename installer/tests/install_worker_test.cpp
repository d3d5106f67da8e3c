#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "test_support.h"
#include "velko/installer/install_locations.h"
#include "velko/installer/install_messages.h"
#include "velko/installer/install_worker.h"
#include "velko/installer/phase_trace.h"

namespace velko::installer {
namespace {

using test::ScratchFolder;

// Records the worker's reports; answers the running-browser question with a
// scripted function.
class RecordingHost : public InstallHost {
 public:
  std::function<bool(int ask_number)> answer = [](int) { return true; };
  int asks = 0;
  std::vector<std::wstring> temp_archives;
  std::vector<double> progress;
  std::vector<std::wstring> finished;
  std::vector<std::pair<InstallOutcome, std::wstring>> failed;
  int gave_up = 0;

  bool AskGiveUpWhileBrowserRuns() override { return answer(++asks); }
  void TempArchiveCreated(const std::wstring& path) override { temp_archives.push_back(path); }
  void ProgressChanged(double fraction) override { progress.push_back(fraction); }
  void ExtractionFinished(const std::wstring& folder) override { finished.push_back(folder); }
  void UserGaveUp() override { ++gave_up; }
  void InstallFailed(InstallOutcome outcome, const std::wstring& detail) override {
    failed.emplace_back(outcome, detail);
  }
};

// Runs `command` (a Windows program of the prefix) and waits for it.
void RunProgram(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &process));
  WaitForSingleObject(process.hProcess, 60000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// What the phase sink of the swap test works on (a sink is a plain function).
std::wstring g_temp_archive_to_swap;
std::wstring g_swapped_in_archive;

// Another process tries, between the counting and the extracting pass, to
// overwrite, replace and delete the temporary archive.
void SwapTheArchiveBetweenThePasses(const char* phase) {
  if (std::string(phase) != "files counted" || g_temp_archive_to_swap.empty()) return;
  const std::wstring target = L"\"" + g_temp_archive_to_swap + L"\"";
  const std::wstring source = L"\"" + g_swapped_in_archive + L"\"";
  const std::wstring moved = L"\"" + g_swapped_in_archive + L".moved\"";
  RunProgram(L"cmd.exe /c del /f /q " + target);
  RunProgram(L"cmd.exe /c copy /y " + source + L" " + target);
  RunProgram(L"cmd.exe /c copy /y " + source + L" " + moved + L" & move /y " + moved + L" " + target);
}

// Records the temporary archive's name for the swapping sink.
class SwapTargetHost : public RecordingHost {
 public:
  void TempArchiveCreated(const std::wstring& path) override {
    RecordingHost::TempArchiveCreated(path);
    g_temp_archive_to_swap = path;
  }
};

class InstallWorkerTest : public ::testing::Test {
 protected:
  ScratchFolder root_{L"worker"};
  InstallPlan plan_{root_ / L"VelkoBrowser", test::ExePath(), root_.path()};
  RecordingHost host_;
  std::atomic<bool> stop_{false};

  void TearDown() override {
    test::StopSampleBrowsers(root_.path());
  }
  // The browser running from the install folder.
  void StartBrowserIn(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    test::InstallSampleBrowser(folder + L"\\chrome.exe");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + folder + L"\\chrome.exe\"";
    // Starting a program copied a moment ago has failed once on a freshly
    // made Wine prefix under load; the stand-in is started again then.
    std::string errors;
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
      if (attempt > 0) Sleep(200);
      started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process) != FALSE;
      if (!started) errors.append(" ").append(std::to_string(GetLastError()));
    }
    ASSERT_TRUE(started) << "errors:" << errors;
    if (!errors.empty()) std::printf("the stand-in browser started after errors:%s\n", errors.c_str());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(test::WaitForFile(folder + L"\\chrome.exe.starts.txt", 10000));
  }
};

TEST(InstallPlanTest, RealRunUsesProgramFilesLocalAppDataAndTheInstallerItself) {
  const std::optional<InstallPlan> plan = DefaultInstallPlan(nullptr);
  ASSERT_TRUE(plan.has_value());
  wchar_t program_files[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, program_files, CSIDL_PROGRAM_FILES, FALSE));
  EXPECT_EQ(plan->install_folder, std::wstring(program_files) + L"\\VelkoBrowser");
  wchar_t local_app_data[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, local_app_data, CSIDL_LOCAL_APPDATA, FALSE));
  EXPECT_EQ(plan->temp_folder, local_app_data);
  EXPECT_EQ(plan->package_module, test::ExePath());
  // The tick count is unsigned: late in a 49-day cycle it still names a file.
  EXPECT_EQ(TempArchivePath(L"C:\\t", 4294967295UL), L"C:\\t\\4294967295.rar");
}

TEST_F(InstallWorkerTest, FullRunReportsArchiveProgressAndEndInOrder) {
  EXPECT_EQ(RunInstall(plan_, host_, stop_), InstallOutcome::kFinished);
  ASSERT_EQ(host_.temp_archives.size(), 1u);
  // "<folder>\<tick>.rar"; the worker leaves it for its owner to delete.
  EXPECT_EQ(host_.temp_archives[0].rfind(root_.path() + L"\\", 0), 0u);
  EXPECT_EQ(host_.temp_archives[0].substr(host_.temp_archives[0].size() - 4), L".rar");
  EXPECT_TRUE(test::FileExists(host_.temp_archives[0]));
  ASSERT_EQ(host_.progress.size(), 244u);
  EXPECT_DOUBLE_EQ(host_.progress.front(), 1.0 / 244);
  EXPECT_DOUBLE_EQ(host_.progress.back(), 1.0);
  EXPECT_TRUE(std::is_sorted(host_.progress.begin(), host_.progress.end()));
  EXPECT_EQ(host_.finished, std::vector<std::wstring>{plan_.install_folder});
  EXPECT_EQ(host_.asks, 0);
  EXPECT_TRUE(test::FileExists(plan_.install_folder + L"\\Updater.exe"));
  // A first install takes the staging folder's place whole: nothing is left beside.
  EXPECT_EQ(test::ListFilesRecursively(plan_.install_folder).size(), 244u);
  EXPECT_FALSE(test::FolderExists(plan_.install_folder + L".staging"));
  EXPECT_FALSE(test::FolderExists(plan_.install_folder + L".empty"));
}

// When the empty install folder cannot be put aside (here a file holds the
// name it would take), the files are swapped in one by one and the
// install is the same; the unrelated file stays as it was.
TEST_F(InstallWorkerTest, EmptyFolderThatCannotBeRenamedGetsTheFilesOneByOne) {
  ASSERT_TRUE(CreateDirectoryW(plan_.install_folder.c_str(), nullptr));
  test::WriteWholeFile(plan_.install_folder + L".empty", "not ours");
  EXPECT_EQ(RunInstall(plan_, host_, stop_), InstallOutcome::kFinished);
  EXPECT_EQ(test::ListFilesRecursively(plan_.install_folder).size(), 244u);
  EXPECT_FALSE(test::FolderExists(plan_.install_folder + L".staging"));
  EXPECT_EQ(test::ReadWholeFile(plan_.install_folder + L".empty"), "not ours");
}

TEST_F(InstallWorkerTest, RunningBrowserIsAskedAboutUntilItIsClosed) {
  StartBrowserIn(plan_.install_folder);
  host_.answer = [this](int ask) {
    if (ask == 2) test::StopSampleBrowsers(plan_.install_folder);  // the user closes it, then retries
    return false;
  };
  EXPECT_EQ(RunInstall(plan_, host_, stop_), InstallOutcome::kFinished);
  EXPECT_EQ(host_.asks, 2);  // retry without closing asks again
  EXPECT_EQ(host_.gave_up, 0);
}

TEST_F(InstallWorkerTest, GivingUpEndsBeforeAnythingIsWritten) {
  StartBrowserIn(plan_.install_folder);
  host_.answer = [](int) { return true; };
  EXPECT_EQ(RunInstall(plan_, host_, stop_), InstallOutcome::kUserGaveUp);
  EXPECT_EQ(host_.gave_up, 1);
  EXPECT_TRUE(host_.temp_archives.empty());
  EXPECT_TRUE(host_.progress.empty());
  EXPECT_EQ(test::ListFilesRecursively(plan_.install_folder).size(), 2u);  // chrome.exe and its record
}

TEST_F(InstallWorkerTest, BrowserRunningFromAnotherFolderIsNotAskedAbout) {
  StartBrowserIn(root_ / L"elsewhere");
  EXPECT_EQ(RunInstall(plan_, host_, stop_), InstallOutcome::kFinished);
  EXPECT_EQ(host_.asks, 0);
}

TEST_F(InstallWorkerTest, EarlyStopsEndQuietlyWithoutFinishing) {
  InstallPlan no_package = plan_;
  no_package.package_module = test::ExeFolder() + L"\\sample_browser.exe";
  EXPECT_EQ(RunInstall(no_package, host_, stop_), InstallOutcome::kNoPackage);

  InstallPlan no_temp_folder = plan_;
  no_temp_folder.temp_folder = root_ / L"missing";
  EXPECT_EQ(RunInstall(no_temp_folder, host_, stop_), InstallOutcome::kTempFileFailed);

  InstallPlan no_parent = plan_;
  no_parent.install_folder = root_ / L"missing\\VelkoBrowser";  // only the last component is created
  EXPECT_EQ(RunInstall(no_parent, host_, stop_), InstallOutcome::kNoInstallFolder);

  EXPECT_TRUE(host_.failed.empty());
  EXPECT_TRUE(host_.progress.empty());
  EXPECT_TRUE(host_.finished.empty());
  EXPECT_TRUE(host_.temp_archives.empty());
}

// The installer runs elevated and its temporary archive lies in a folder the
// user can write: another process must not be able to change what the
// second pass unpacks.
TEST_F(InstallWorkerTest, PackageSwappedBetweenThePassesByAnotherProcessIsNeverUnpacked) {
  SwapTargetHost host;
  const std::wstring swapped_in = test::ExeFolder() + L"\\test_archives\\solid.rar";
  g_swapped_in_archive = root_ / L"swap.rar";
  ASSERT_TRUE(CopyFileW(swapped_in.c_str(), g_swapped_in_archive.c_str(), FALSE));
  SetPhaseSink(&SwapTheArchiveBetweenThePasses);
  const InstallOutcome outcome = RunInstall(plan_, host, stop_);
  SetPhaseSink(nullptr);
  g_temp_archive_to_swap.clear();
  EXPECT_EQ(outcome, InstallOutcome::kFinished);
  EXPECT_TRUE(host.failed.empty());
  EXPECT_FALSE(test::FileExists(plan_.install_folder + L"\\s1.txt")) << "the swapped archive was unpacked";
  EXPECT_EQ(test::ListFilesRecursively(plan_.install_folder).size(), 244u);
  ASSERT_EQ(host.temp_archives.size(), 1u);
  EXPECT_NE(test::ReadWholeFile(host.temp_archives[0]), test::ReadWholeFile(swapped_in));
}

// A file that fails (here its checksum) after others were written: reported,
// nothing of the run stays, an installation that was there is untouched.
TEST_F(InstallWorkerTest, AFailedFileIsReportedAndLeavesNothingOfTheRun) {
  InstallPlan bad = plan_;
  bad.package_module = test::ExeFolder() + L"\\installer_bad_crc_package.exe";
  EXPECT_EQ(RunInstall(bad, host_, stop_), InstallOutcome::kFileFailed);
  ASSERT_EQ(host_.failed.size(), 1u);
  EXPECT_EQ(host_.failed[0].first, InstallOutcome::kFileFailed);
  EXPECT_NE(host_.failed[0].second.find(L"bad_crc.txt"), std::wstring::npos) << test::Narrow(host_.failed[0].second);
  EXPECT_TRUE(host_.finished.empty());
  EXPECT_FALSE(test::FolderExists(plan_.install_folder)) << "made by this run, so removed";
  EXPECT_FALSE(test::FolderExists(plan_.install_folder + L".staging"));

  ASSERT_TRUE(CreateDirectoryW(plan_.install_folder.c_str(), nullptr));
  test::WriteWholeFile(plan_.install_folder + L"\\first.txt", "installed before");
  EXPECT_EQ(RunInstall(bad, host_, stop_), InstallOutcome::kFileFailed);
  EXPECT_EQ(test::ReadWholeFile(plan_.install_folder + L"\\first.txt"), "installed before");
  EXPECT_EQ(test::ListFilesRecursively(plan_.install_folder).size(), 1u);
  EXPECT_EQ(host_.failed.size(), 2u);
}

// Installing over an installation one of whose files another program holds
// open: reported with that file, and not one file of the installation changes.
TEST_F(InstallWorkerTest, AFileInUseIsReportedAndTheInstallationStaysAsItWas) {
  ASSERT_TRUE(CreateDirectoryW(plan_.install_folder.c_str(), nullptr));
  const std::wstring locked = plan_.install_folder + L"\\Updater.exe";
  test::WriteWholeFile(locked, "the installed updater");
  test::WriteWholeFile(plan_.install_folder + L"\\chrome.exe", "the installed browser");
  HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const InstallOutcome outcome = RunInstall(plan_, host_, stop_);
  CloseHandle(holder);
  EXPECT_EQ(outcome, InstallOutcome::kFilesInUse);
  ASSERT_EQ(host_.failed.size(), 1u);
  EXPECT_EQ(host_.failed[0].second, locked);
  EXPECT_TRUE(host_.finished.empty());
  EXPECT_EQ(test::ReadWholeFile(plan_.install_folder + L"\\chrome.exe"), "the installed browser");
  EXPECT_EQ(test::ListFilesRecursively(plan_.install_folder).size(), 2u);
  EXPECT_FALSE(test::FolderExists(plan_.install_folder + L".staging"));
}

// A message-only window standing in for the controller: records the private
// messages in arrival order, reads the progress on WM_UPDATE_PROGRESS as the
// controller does (when given the state) and answers the running-browser
// question.
struct ControllerStandIn {
  std::vector<UINT> messages;
  std::vector<double> progress_read;
  InstallState* state = nullptr;
  LRESULT ask_answer = 0;
  HWND window = nullptr;

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<ControllerStandIn*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && message >= WM_BEGIN_INSTALL && message <= WM_REGISTER_BROWSER) {
      self->messages.push_back(message);
      if (message == WM_UPDATE_PROGRESS && self->state != nullptr) {
        self->progress_read.push_back(self->state->TakeProgress());
      }
      if (message == WM_ASK_BROWSER_RUNNING) return self->ask_answer;
      if (message == WM_LAUNCH_BROWSER || message == WM_CLOSE_INSTALLER) PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  ControllerStandIn() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Proc;
    window_class.lpszClassName = L"VelkoInstallerTestController";
    RegisterClassW(&window_class);
    window = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                             nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ControllerStandIn() { DestroyWindow(window); }
  void RunUntilQuit() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  }
};

TEST_F(InstallWorkerTest, ControllerReceivesProgressThenTheFourFinishingMessages) {
  ControllerStandIn controller;
  InstallState state;
  controller.state = &state;
  ControllerWindowHost host(controller.window, state);
  InstallWorker worker(plan_, host);
  ASSERT_TRUE(worker.Start());
  controller.RunUntilQuit();
  worker.StopAndWait();
  EXPECT_EQ(worker.outcome(), InstallOutcome::kFinished);
  // Progress messages are coalesced: one per file at most, at least the
  // first, and every value read rises to the end.
  ASSERT_GE(controller.messages.size(), 1u + 4u);
  ASSERT_LE(controller.messages.size(), 244u + 4u);
  EXPECT_TRUE(std::all_of(controller.messages.begin(), controller.messages.end() - 4,
                          [](UINT m) { return m == WM_UPDATE_PROGRESS; }));
  const std::vector<UINT> last(controller.messages.end() - 4, controller.messages.end());
  EXPECT_EQ(last, (std::vector<UINT>{WM_REGISTER_BROWSER, WM_UPDATE_PROGRESS, WM_MAKE_SHORTCUTS,
                                     WM_LAUNCH_BROWSER}));
  EXPECT_TRUE(std::is_sorted(controller.progress_read.begin(), controller.progress_read.end()));
  EXPECT_EQ(controller.progress_read.back(), 1.0);
  EXPECT_EQ(state.install_folder, plan_.install_folder);
  EXPECT_TRUE(test::FileExists(state.temp_archive));
}

// However fast the files come, the controller's queue holds one progress
// message until the controller reads it; the next change after the read
// posts again, so the last value is never left unshown.
TEST(ControllerWindowHostTest, ProgressPostsOnceUntilTheControllerReads) {
  ControllerStandIn controller;
  InstallState state;
  ControllerWindowHost host(controller.window, state);
  const auto queued = [&controller] {
    int count = 0;
    MSG message;
    while (PeekMessageW(&message, controller.window, WM_UPDATE_PROGRESS, WM_UPDATE_PROGRESS, PM_REMOVE)) ++count;
    return count;
  };
  for (int file = 1; file <= 50; ++file) host.ProgressChanged(file / 100.0);
  EXPECT_EQ(queued(), 1);
  EXPECT_EQ(state.TakeProgress(), 0.5);
  host.ProgressChanged(0.75);
  host.ProgressChanged(0.8);
  EXPECT_EQ(queued(), 1);
  EXPECT_EQ(state.TakeProgress(), 0.8);
  // While the controller's frame timer runs, changes are only stored; its
  // read finds the latest and lets the next change post again.
  state.QuietUntilNextRead();
  host.ProgressChanged(0.9);
  EXPECT_EQ(queued(), 0);
  EXPECT_EQ(state.TakeProgress(), 0.9);
  host.ProgressChanged(0.95);
  EXPECT_EQ(queued(), 1);
}

TEST_F(InstallWorkerTest, GivingUpPostsCloseInstaller) {
  StartBrowserIn(plan_.install_folder);
  ControllerStandIn controller;
  controller.ask_answer = 1;
  InstallState state;
  ControllerWindowHost host(controller.window, state);
  InstallWorker worker(plan_, host);
  ASSERT_TRUE(worker.Start());
  controller.RunUntilQuit();
  worker.StopAndWait();
  EXPECT_EQ(worker.outcome(), InstallOutcome::kUserGaveUp);
  EXPECT_EQ(controller.messages, (std::vector<UINT>{WM_ASK_BROWSER_RUNNING, WM_CLOSE_INSTALLER}));
  EXPECT_TRUE(state.temp_archive.empty());
}

// Closing the installer while the worker waits for an answer: StopAndWait
// answers the pending question itself, so nothing deadlocks, and the worker
// has ended before its state goes away.
TEST_F(InstallWorkerTest, StopAndWaitEndsAWorkerBlockedInTheQuestion) {
  StartBrowserIn(plan_.install_folder);
  ControllerStandIn controller;  // answers "try again" forever
  InstallState state;
  ControllerWindowHost host(controller.window, state);
  {
    InstallWorker worker(plan_, host);
    ASSERT_TRUE(worker.Start());
    // Not pumping messages here: the worker is now stuck in SendMessage.
    while (!worker.outcome() && controller.messages.empty()) {
      MSG message;
      if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE)) Sleep(5);
    }
    worker.StopAndWait();
    EXPECT_EQ(worker.outcome(), InstallOutcome::kStopped);
  }
  EXPECT_FALSE(controller.messages.empty());
  EXPECT_TRUE(state.temp_archive.empty());
}

}  // namespace
}  // namespace velko::installer
