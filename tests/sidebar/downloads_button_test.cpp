#include "sidebar/downloads_button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "model/download_manager.h"
#include "sidebar/download_row.h"
#include "sidebar/downloads_popover.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/sidebar_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;

// Downloads are driven as the engine drives them, without a network.
struct SilentTransfer : DownloadTransfer {
  void cancel() override {}
};

class DownloadsButtonTest : public ::testing::Test {
 protected:
  DownloadManager& manager() { return harness.store().downloads(); }
  DownloadsButton& button() { return harness.sidebar().bottomBar().downloadsButton(); }
  DownloadsPopover& popover() {
    if (!button().showing()) button().toggle();
    pump();
    return *button().popoverContent();
  }
  std::shared_ptr<DownloadItem> start(const std::string& name) {
    auto item =
        manager().track(Url::parse("http://127.0.0.1/" + name), std::make_unique<SilentTransfer>());
    manager().decideDestination(*item, name);
    pump();
    return item;
  }

  SidebarHarness harness;
};

TEST_F(DownloadsButtonTest, TheButtonAndItsListFollowTheDownloads) {
  EXPECT_FALSE(button().pulsing() || button().dot().get_visible());

  // A real click opens the list above the button: empty, without a clear button.
  harness.click(button());
  ASSERT_TRUE(waitUntil([&] { return button().popover().get_visible(); }));
  pump();
  DownloadsPopover& list = *button().popoverContent();
  EXPECT_TRUE(list.emptyState().get_visible());
  EXPECT_FALSE(list.clearButton().get_visible());
  EXPECT_EQ(harness.bounds(list).width, DownloadsPopover::kWidth);

  auto finished = start("report.pdf");
  auto failed = start("archive.zip");
  auto running = start("a-very-long-file-name-that-cannot-fit-into-one-row-of-the-list.tar.gz");
  manager().reportProgress(*running, 0.4);
  manager().finish(*finished);
  manager().fail(*failed);
  pump();

  // One download still runs: the filled arrow pulses with the theme dot at its corner.
  EXPECT_EQ(button().face().symbol(), "arrow.down.circle.fill");
  EXPECT_TRUE(button().pulsing());
  ASSERT_TRUE(button().dot().get_visible());
  const auto face = harness.bounds(button());
  const auto dot = harness.bounds(button().dot());
  EXPECT_EQ(dot.x + DownloadsButton::kDotSize, face.x + face.width - DownloadsButton::kDotInset);
  EXPECT_EQ(dot.y, face.y + DownloadsButton::kDotInset);

  const auto rows = list.rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(&rows[0]->item(), running.get());  // newest first
  EXPECT_TRUE(rows[0]->progressBar().get_visible());
  EXPECT_DOUBLE_EQ(rows[0]->progressBar().get_fraction(), 0.4);
  EXPECT_TRUE(rows[0]->revealButton().get_visible() && !rows[0]->showsFileIcon());
  EXPECT_EQ(rows[1]->stateLabel().get_text(), "Başarısız");
  EXPECT_EQ(rows[2]->stateLabel().get_text(), "Tamamlandı");
  EXPECT_TRUE(rows[2]->showsFileIcon());
  EXPECT_TRUE(list.clearButton().get_visible());
  if (std::getenv("ZEMBLO_SHOTS")) {
    harness.input("mousemove --window %1 700 300");  // no tooltip over the list
    SidebarHarness::screenshot("downloads-popover");
  }

  // Clearing keeps only the running download; its end brings back the outline arrow.
  ASSERT_TRUE(testing::press(list.clearButton()));
  pump();
  ASSERT_EQ(list.rows().size(), 1u);
  EXPECT_EQ(&list.rows()[0]->item(), running.get());
  EXPECT_FALSE(list.clearButton().get_visible());
  manager().finish(*running);
  pump();
  EXPECT_EQ(button().face().symbol(), "arrow.down.circle");
  EXPECT_FALSE(button().pulsing() || button().dot().get_visible());
  ASSERT_TRUE(testing::press(list.clearButton()));
  pump();
  EXPECT_TRUE(list.emptyState().get_visible());
}

// While a download runs the arrow fades from its resting opacity to 0.25 / 0.72 of it and back,
// on frames that change nothing else: the window is not laid out again for them. The end of the
// download leaves it at rest.
TEST_F(DownloadsButtonTest, TheArrowPulsesOnFramesOfItsOwn) {
  testing::AnimationsOn animations;
  Gtk::Widget& arrow = button().face().symbolImage();
  auto running = start("disk.iso");
  testing::LayoutCounter layouts(harness.window());
  const double low = 0.25 / 0.72;
  std::set<long> levels;
  double lowest = 1;
  ASSERT_TRUE(waitUntil([&] {
    levels.insert(std::lround(arrow.get_opacity() * 255));
    lowest = std::min(lowest, arrow.get_opacity());
    return lowest < low + 0.02 && levels.size() >= 20;
  }));
  EXPECT_GT(lowest, low - 0.01);
  // Progress and the list may lay the window out now and then; the pulse alone never does.
  EXPECT_LT(layouts.count() * 4, int(levels.size()));

  manager().finish(*running);
  pump();
  EXPECT_FALSE(button().pulsing());
  EXPECT_EQ(arrow.get_opacity(), 1.0);
}

TEST_F(DownloadsButtonTest, AListLongerThanThePopoverScrolls) {
  for (int i = 0; i < 12; ++i) start("file" + std::to_string(i) + ".bin");
  auto& list = popover();
  EXPECT_EQ(list.rows().size(), 12u);
  EXPECT_EQ(harness.bounds(list.list()).height, DownloadsPopover::kMaxListHeight);
}

}  // namespace
}  // namespace zemblo
