// The painted caption buttons and the dragging band of the dialog, on a fake window host.
#include <gtest/gtest.h>

#include "app/installer_dialog.h"
#include "app/window_geometry.h"
#include "tests/support/fake_window_host.h"

namespace {

using testing_support::FakeWindowHost;

class DialogMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDownloadShared();
    host.windowRect = {0, 0, kWidth, 325};
    host.Attach(dialog);
    dialog.DoDataExchange();
    dialog.m_layout = ui::ComputeLayout({kWidth, 325}, ui::Bitmap(6, 14), ui::Bitmap(300, 20));
  }

  static constexpr int32_t kWidth = 596;
  FakeWindowHost host;
  CTorvinWebInstallerDlg dialog;
};

TEST_F(DialogMouseTest, HoverRedrawsOneCaptionButtonPerMove) {
  dialog.OnMouseMove({kWidth - 20, 10});  // inside close
  EXPECT_TRUE(dialog.m_bCloseHot);
  EXPECT_EQ(host.cursor, platform::Cursor::Hand);
  ASSERT_EQ(host.presented.size(), 1u);
  EXPECT_EQ(host.presented[0].rect, ToWindowRect(dialog.m_layout.rcClose));

  dialog.OnMouseMove({kWidth - 50, 10});  // straight into minimise: close stays hot
  EXPECT_TRUE(dialog.m_bCloseHot);
  EXPECT_TRUE(dialog.m_bMinimizeHot);

  dialog.OnMouseMove({10, 200});  // far outside: close first, minimise on the next move
  EXPECT_EQ(host.cursor, platform::Cursor::Arrow);
  EXPECT_FALSE(dialog.m_bCloseHot);
  EXPECT_TRUE(dialog.m_bMinimizeHot);
  EXPECT_EQ(host.presented.back().rect, ToWindowRect(dialog.m_layout.rcClose));
  dialog.OnMouseMove({10, 200});
  EXPECT_FALSE(dialog.m_bMinimizeHot);
  EXPECT_EQ(host.presented.back().rect, ToWindowRect(dialog.m_layout.rcMinimize));
}

TEST_F(DialogMouseTest, PressingTheHotCloseButtonAsksTheCancelQuestionOnce) {
  dialog.OnMouseMove({kWidth - 20, 10});
  host.answers.push_back(platform::MessageBoxAnswer::Yes);
  dialog.OnLButtonDown({kWidth - 20, 10});
  EXPECT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_TRUE(host.drags.empty());
  dialog.OnLButtonDown({kWidth - 20, 10});  // already confirmed: nothing
  EXPECT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_FALSE(host.endResult);
}

TEST_F(DialogMouseTest, TheTopBandDragsTheWindowExceptAtItsRightEnd) {
  dialog.OnLButtonDown({10, 10});
  EXPECT_TRUE(dialog.m_bDragging);
  ASSERT_EQ(host.drags.size(), 1u);
  dialog.OnLButtonUp({10, 10});
  EXPECT_FALSE(dialog.m_bDragging);

  dialog.OnLButtonDown({kWidth - 40, 10});
  EXPECT_FALSE(dialog.m_bDragging);
  EXPECT_EQ(host.drags.size(), 1u);
}

TEST_F(DialogMouseTest, APressOnTheMinimiseButtonInsideTheBandMinimisesAndDrags) {
  dialog.OnMouseMove({kWidth - 57, 10});
  ASSERT_TRUE(dialog.m_bMinimizeHot);
  dialog.OnLButtonDown({kWidth - 57, 10});
  EXPECT_EQ(host.minimizes, 1);
  EXPECT_EQ(host.drags.size(), 1u);
}

TEST_F(DialogMouseTest, NoEraseWhileDragging) {
  dialog.m_bDragging = true;
  dialog.OnEraseBkgnd();
  EXPECT_TRUE(host.presented.empty());
}

}  // namespace
