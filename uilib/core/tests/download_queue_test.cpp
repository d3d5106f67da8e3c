// The download request queue: requests from any thread wait for the UI
// thread's RunRequests, which starts them in order; an owner going away takes
// its waiting requests with it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "uilib/download_record.h"

namespace uilib {
namespace {

class CountingService : public DownloadService {
 public:
  void StartFile(DownloadOwner&, DownloadRecord& record) override {
    started.push_back(record.url);
    threads.push_back(std::this_thread::get_id());
    caps.push_back(record.max_bytes);
  }
  void StartText(DownloadOwner&, DownloadRecord& record) override { started.push_back("text " + record.url); }
  void Dispose(DownloadRecord&) override { ++disposed; }
  void Wake() override { ++wakes; }

  std::vector<std::string> started;
  std::vector<std::thread::id> threads;
  std::vector<std::uint64_t> caps;
  std::atomic<int> wakes{0};
  int disposed = 0;
};

class DownloadQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { SetActiveDownloadService(&service); }
  void TearDown() override { SetActiveDownloadService(nullptr); }
  CountingService service;
};

TEST_F(DownloadQueueTest, RequestsFromOtherThreadsStartOnTheThreadThatRunsThem) {
  DownloadOwner owner;
  std::vector<std::thread> painters;
  for (int i = 0; i < 4; ++i) {
    painters.emplace_back([&owner, i] {
      for (int k = 0; k < 50; ++k) owner.DownloadFile(("http://h/" + std::to_string(i)).c_str(), 0);
    });
  }
  for (std::thread& t : painters) t.join();
  EXPECT_TRUE(service.started.empty());
  EXPECT_EQ(service.QueuedRequests(), 200u);
  EXPECT_GE(service.wakes, 1);
  service.RunRequests();
  EXPECT_EQ(service.started.size(), 200u);
  EXPECT_EQ(owner.FileDownloadCount(), 200u);
  for (std::thread::id id : service.threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(DownloadQueueTest, OrderCapsAndOwnersThatLeave) {
  DownloadOwner kept;
  {
    DownloadOwner leaving;
    kept.DownloadFile("http://h/a", 0);
    leaving.DownloadFile("http://h/b", 0);
    kept.DownloadText("http://h/c");
    kept.DownloadFileUpTo("http://h/d", 0, 1000);
  }
  EXPECT_EQ(service.QueuedRequests(), 3u);
  service.RunRequests();
  EXPECT_EQ(service.started, (std::vector<std::string>{"http://h/a", "text http://h/c", "http://h/d"}));
  EXPECT_EQ(service.caps, (std::vector<std::uint64_t>{kDefaultMaxFileBytes, 1000}));
  EXPECT_EQ(service.disposed, 0);
}

TEST(DownloadableUrlTest, OnlyHttpAndHttps) {
  EXPECT_TRUE(IsDownloadableUrl("http://h/a.png"));
  EXPECT_TRUE(IsDownloadableUrl("HTTPS://h/a.png"));
  EXPECT_FALSE(IsDownloadableUrl("ftp://h/a.png"));
  EXPECT_FALSE(IsDownloadableUrl("file:///C:/a.png"));
  EXPECT_FALSE(IsDownloadableUrl("httpx://h"));
  EXPECT_FALSE(IsDownloadableUrl("C:\\a.png"));
}

}  // namespace
}  // namespace uilib
