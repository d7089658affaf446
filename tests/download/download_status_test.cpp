#include "download/download_status.h"

#include <gtest/gtest.h>

#include "download/cancel_request.h"

namespace {

class DownloadStatusTest : public testing::Test {
 protected:
  void SetUp() override { ResetDownloadShared(); }
  void TearDown() override { ResetDownloadShared(); }

  static void StartSegments(int32_t count) {
    std::lock_guard lock(StatusLock);
    ActiveSegments = count;
  }
  static DownloadStatus Report(int32_t state, uint64_t bytes) { return {state, bytes, 0}; }
};

TEST_F(DownloadStatusTest, StartsAtInitWithNoBytes) {
  DownloadStatus s = ReadStatus();
  EXPECT_EQ(s.state, STATUS_INIT);
  EXPECT_EQ(s.received, 0u);
  EXPECT_EQ(s.total, 0u);
}

TEST_F(DownloadStatusTest, ProgressAddsBytesAndChangesNothingElse) {
  PublishStatus({STATUS_DOWNLOADING, 0, 5'000'000'000ull});
  StartSegments(1);
  DownloadStatus r = Report(STATUS_DOWNLOADING, 4096);
  EXPECT_EQ(OnSegmentProgress(&r), 0);
  r.received = 4'294'967'295ull;
  EXPECT_EQ(OnSegmentProgress(&r), 0);
  DownloadStatus s = ReadStatus();
  EXPECT_EQ(s.state, STATUS_DOWNLOADING);
  EXPECT_EQ(s.received, 4096u + 4'294'967'295ull);
  EXPECT_EQ(s.total, 5'000'000'000ull);
  EXPECT_FALSE(DoneEvent.IsSet());
  EXPECT_EQ(OnSegmentProgress(nullptr), 0);
}

TEST_F(DownloadStatusTest, FinalReportOfTheOnlySegmentDecides) {
  for (int32_t final : {STATUS_DOWNLOADDONE, STATUS_DOWNLOAD_CANCELLED, STATUS_DOWNLOAD_FAILED}) {
    SCOPED_TRACE(final);
    ResetDownloadShared();
    PublishStatus({STATUS_DOWNLOADING, 0, 100});
    StartSegments(1);
    DownloadStatus r = Report(final, 0);
    EXPECT_EQ(OnSegmentProgress(&r), 0);
    EXPECT_EQ(ReadStatus().state, final);
    EXPECT_TRUE(DoneEvent.IsSet());
    EXPECT_FALSE(DoneEvent.IsSet()) << "automatic reset";
    std::lock_guard lock(StatusLock);
    EXPECT_EQ(ActiveSegments, 0);
    EXPECT_EQ(SegmentFailed, final == STATUS_DOWNLOAD_FAILED);
  }
}

TEST_F(DownloadStatusTest, AfterAFailureOtherSegmentsAreStopped) {
  PublishStatus({STATUS_DOWNLOADING, 0, 100});
  StartSegments(5);
  DownloadStatus failed = Report(STATUS_DOWNLOAD_FAILED, 7);
  EXPECT_EQ(OnSegmentProgress(&failed), 0);
  EXPECT_FALSE(CancelEvent.IsSet());

  struct Case {
    int32_t state;
    bool raisesCancel;
  };
  const Case cases[] = {{STATUS_DOWNLOADING, true},
                        {STATUS_DOWNLOADDONE, true},
                        {STATUS_DOWNLOAD_CANCELLED, false},
                        {STATUS_DOWNLOAD_FAILED, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    CancelEvent.Reinitialize(false);
    DownloadStatus r = Report(c.state, 1000);
    EXPECT_EQ(OnSegmentProgress(&r), 1);
    EXPECT_EQ(CancelEvent.IsSet(), c.raisesCancel);
  }
  DownloadStatus s = ReadStatus();
  EXPECT_EQ(s.received, 7u) << "bytes after the failure are not counted";
  EXPECT_EQ(s.state, STATUS_DOWNLOAD_FAILED);
  EXPECT_TRUE(DoneEvent.IsSet()) << "the last unit taken off stores 6 and releases the worker";
}

TEST_F(DownloadStatusTest, AWaitToReconnectAndANewStartAreShown) {
  PublishStatus({STATUS_DOWNLOADING, 0, 100});
  StartSegments(1);
  DownloadStatus r = Report(STATUS_DOWNLOADING, 60);
  OnSegmentProgress(&r);
  r = Report(STATUS_RECONNECTING, 0);
  EXPECT_EQ(OnSegmentProgress(&r), 0);
  EXPECT_EQ(ReadStatus().state, STATUS_RECONNECTING);
  EXPECT_EQ(ReadStatus().received, 60u) << "the count keeps its place";

  r = Report(STATUS_DOWNLOADING, 0);
  r.total = 120;  // the file changed: a new start from byte 0 with its new length
  EXPECT_EQ(OnSegmentProgress(&r), 0);
  EXPECT_EQ(ReadStatus().state, STATUS_RECONNECTING) << "until bytes come";
  r = Report(STATUS_DOWNLOADING, 10);
  OnSegmentProgress(&r);
  DownloadStatus s = ReadStatus();
  EXPECT_EQ(s.state, STATUS_DOWNLOADING);
  EXPECT_EQ(s.received, 10u);
  EXPECT_EQ(s.total, 120u);
  EXPECT_EQ(s.restarts, 1u);
}

TEST_F(DownloadStatusTest, CancelRequestFollowsTheEvents) {
  CancelRequest request(CancelEvent);
  EXPECT_FALSE(request.IsCancelled());
  EXPECT_FALSE(request.IsPaused());
  RunEvent.Clear();
  EXPECT_TRUE(request.IsPaused());
  RunEvent.Set();
  EXPECT_FALSE(request.IsPaused());
  CancelEvent.Set();
  EXPECT_TRUE(request.IsCancelled());
  EXPECT_TRUE(request.IsCancelled()) << "a cancel stays";
}

}  // namespace
