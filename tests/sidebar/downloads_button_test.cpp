#include "sidebar/downloads_button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "model/download_manager.h"
#include "sidebar/download_row.h"
#include "sidebar/downloads_popover.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/sidebar_harness.h"
#include "support/drawn_nodes.h"
#include "support/find_sidebar.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

using testing::allNamed;
using testing::announced;
using testing::popoverOf;
using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;
using testing::widgetNamed;

// Downloads are driven as the engine drives them, without a network.
struct SilentTransfer : DownloadTransfer {
  void cancel() override {}
};

// The list's parts and a row's, by the names a user hears or the widget names of their views.
std::vector<DownloadRow*> rows(DownloadsPopover& list) {
  return allNamed<DownloadRow>(list, "DownloadRow");
}
Gtk::Button& clearButton(DownloadsPopover& list) { return announced(list, localized("Temizle")); }
Gtk::Label& stateLabel(DownloadRow& row) { return widgetNamed<Gtk::Label>(row, "DownloadState"); }
Gtk::ProgressBar& progressBar(DownloadRow& row) {
  return widgetNamed<Gtk::ProgressBar>(row, "DownloadProgress");
}
// The row's icon is the file's own once it has finished, the generic document before.
bool showsFileIcon(DownloadRow& row) {
  return !widgetNamed(row, "DownloadIcon").has_css_class("download-generic");
}

class DownloadsButtonTest : public ::testing::Test {
 protected:
  DownloadManager& manager() { return harness.store().downloads(); }
  DownloadsButton& button() {
    return widgetNamed<DownloadsButton>(harness.sidebar(), "DownloadsButton");
  }
  SidebarIconButton& face() {
    return widgetNamed<SidebarIconButton>(button(), "SidebarIconButton");
  }
  std::string faceSymbol() {
    return dynamic_cast<Gtk::Image&>(face().symbolImage()).get_icon_name();
  }
  Gtk::Widget& dot() { return widgetNamed(button(), "DownloadsDot"); }
  DownloadsPopover& shownList() {
    return widgetNamed<DownloadsPopover>(popoverOf(button()), "DownloadsPopover");
  }
  DownloadsPopover& popover() {
    if (!popoverOf(button()).get_visible()) button().toggle();
    pump();
    return shownList();
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
  EXPECT_FALSE(dot().get_visible());

  // A real click opens the list above the button: empty, without a clear button.
  harness.click(button());
  ASSERT_TRUE(waitUntil([&] { return popoverOf(button()).get_visible(); }));
  pump();
  DownloadsPopover& list = shownList();
  EXPECT_TRUE(widgetNamed(list, "DownloadsEmpty").get_visible());
  EXPECT_FALSE(clearButton(list).get_visible());
  EXPECT_EQ(harness.bounds(list).width, DownloadsPopover::kWidth);

  auto finished = start("report.pdf");
  auto failed = start("archive.zip");
  auto running = start("a-very-long-file-name-that-cannot-fit-into-one-row-of-the-list.tar.gz");
  manager().reportProgress(*running, 0.4);
  manager().finish(*finished);
  manager().fail(*failed);
  pump();

  // One download still runs: the filled arrow pulses with the theme dot at its corner.
  EXPECT_EQ(faceSymbol(), symbolIconName("arrow.down.circle.fill"));
  ASSERT_TRUE(dot().get_visible());
  const auto face = harness.bounds(button());
  const auto corner = harness.bounds(dot());
  EXPECT_EQ(corner.x + DownloadsButton::kDotSize, face.x + face.width - DownloadsButton::kDotInset);
  EXPECT_EQ(corner.y, face.y + DownloadsButton::kDotInset);

  const auto shown = rows(list);
  ASSERT_EQ(shown.size(), 3u);
  // Newest first; a row is announced by its file's name.
  EXPECT_EQ(testing::accessibleName(GTK_WIDGET(shown[0]->gobj())), running->filename.peek());
  EXPECT_TRUE(progressBar(*shown[0]).get_visible());
  EXPECT_DOUBLE_EQ(progressBar(*shown[0]).get_fraction(), 0.4);
  EXPECT_TRUE(
      announced(*shown[0], running->filename.peek() + " dosyasını dosya yöneticisinde göster")
          .get_visible() &&
      !showsFileIcon(*shown[0]));
  EXPECT_EQ(stateLabel(*shown[1]).get_text(), "Başarısız");
  EXPECT_EQ(stateLabel(*shown[2]).get_text(), "Tamamlandı");
  EXPECT_TRUE(showsFileIcon(*shown[2]));
  EXPECT_TRUE(clearButton(list).get_visible());
  if (std::getenv("ZEMBLO_SHOTS")) {
    harness.input("mousemove --window %1 700 300");  // no tooltip over the list
    SidebarHarness::screenshot("downloads-popover");
  }

  // Clearing keeps only the running download; its end brings back the outline arrow.
  ASSERT_TRUE(testing::press(clearButton(list)));
  pump();
  ASSERT_EQ(rows(list).size(), 1u);
  EXPECT_EQ(testing::accessibleName(GTK_WIDGET(rows(list)[0]->gobj())), running->filename.peek());
  EXPECT_FALSE(clearButton(list).get_visible());
  manager().finish(*running);
  pump();
  EXPECT_EQ(faceSymbol(), symbolIconName("arrow.down.circle"));
  EXPECT_FALSE(dot().get_visible());
  ASSERT_TRUE(testing::press(clearButton(list)));
  pump();
  EXPECT_TRUE(widgetNamed(list, "DownloadsEmpty").get_visible());
}

// While a download runs the arrow fades from its resting opacity to 0.25 / 0.72 of it and back,
// on frames that change nothing else: the window is not laid out again for them. The open list
// and the end of the download leave it at rest.
TEST_F(DownloadsButtonTest, TheArrowPulsesOnFramesOfItsOwn) {
  testing::AnimationsOn animations;
  Gtk::Widget& arrow = face().symbolImage();
  auto running = start("disk.iso");
  testing::LayoutCounter layouts(harness.window());
  const double low = 0.25 / 0.72;
  // The opacities seen, one for each frame that changed it.
  std::vector<double> steps{arrow.get_opacity()};
  ASSERT_TRUE(waitUntil([&] {
    if (arrow.get_opacity() != steps.back()) steps.push_back(arrow.get_opacity());
    return std::ranges::min(steps) < low + 0.02 && steps.size() >= 20;
  }));
  EXPECT_GT(std::ranges::min(steps), low - 0.01);
  // Progress and the list may lay the window out now and then; the pulse alone never does.
  EXPECT_LT(layouts.count() * 4, int(steps.size()));
  // The open list shows the progress itself: the arrow rests beneath it, and pulses once it closes.
  popover();
  pump();
  EXPECT_EQ(arrow.get_opacity(), 1.0);
  popoverOf(button()).popdown();
  ASSERT_TRUE(waitUntil([&] { return arrow.get_opacity() < 1; }));

  manager().finish(*running);
  pump();
  EXPECT_EQ(arrow.get_opacity(), 1.0);
}

// How much larger than at rest the button drew its arrow at its last frame.
double drawnSwell(DownloadsButton& button) {
  GtkWidget* widget = GTK_WIDGET(button.gobj());
  GskRenderNode* frame = testing::drawnNodeOf(widget, button.get_width(), button.get_height());
  float swell = 1, other = 1, dx = 0, dy = 0;
  testing::firstNode(frame, [&](GskRenderNode* node) {
    if (gsk_render_node_get_node_type(node) != GSK_TRANSFORM_NODE) return false;
    gsk_transform_to_affine(gsk_transform_node_get_transform(node), &swell, &other, &dx, &dy);
    return swell != 1;
  });
  if (frame) gsk_render_node_unref(frame);
  return swell;
}

// A download that starts swells the arrow once; the button stays marked, and says so, after a
// quick download is over, until the list is opened. With motion reduced only the mark tells.
TEST_F(DownloadsButtonTest, AStartedDownloadShowsOnTheButtonUntilTheListIsOpened) {
  testing::AnimationsOn animations;
  manager().finish(*start("quick.pdf"));
  ASSERT_TRUE(waitUntil([&] { return drawnSwell(button()) > 1.3; }));
  ASSERT_TRUE(waitUntil([&] { return drawnSwell(button()) == 1; }));
  EXPECT_TRUE(dot().get_visible());
  EXPECT_EQ(face().get_tooltip_text(), "İndirmeler (1 yeni)");
  harness.click(button());
  ASSERT_TRUE(waitUntil([&] { return !dot().get_visible(); }));
  EXPECT_EQ(face().get_tooltip_text(), "İndirmeler");
  button().toggle();

  harness.store().preferences().updatePrefs([](AppPreferences& p) { p.reduceMotion = true; });
  manager().finish(*start("calm.pdf"));
  for (int frame = 0; frame < 10 && testing::waitForFrame(); ++frame) {
    EXPECT_EQ(drawnSwell(button()), 1);
  }
  EXPECT_TRUE(dot().get_visible());
}

TEST_F(DownloadsButtonTest, AListLongerThanThePopoverScrolls) {
  for (int i = 0; i < 12; ++i) start("file" + std::to_string(i) + ".bin");
  auto& list = popover();
  EXPECT_EQ(rows(list).size(), 12u);
  EXPECT_EQ(harness.bounds(widgetNamed(list, "DownloadsList")).height,
            DownloadsPopover::kMaxListHeight);
}

}  // namespace
}  // namespace zemblo

namespace zemblo {
namespace {

// A real click on a widget of the open list, which has a surface of its own, at `across` of its
// width: clicks at different points are never taken for one double click.
void clickInList(Gtk::Popover& list, Gtk::Widget& widget, double across) {
  graphene_rect_t area;
  ASSERT_TRUE(gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(list.gobj()), &area));
  double x = 0, y = 0;
  gtk_native_get_surface_transform(GTK_NATIVE(list.gobj()), &x, &y);
  const int pointX = int(x + area.origin.x + area.size.width * across);
  const int pointY = int(y + area.origin.y + area.size.height / 2);
  testing::runBesideMainLoop(testing::xdotoolOn(reinterpret_cast<GtkWindow*>(list.gobj()),
                                                "mousemove --window %1 " + std::to_string(pointX) +
                                                    " " + std::to_string(pointY) + " click 1"));
}

// A click on a finished row opens the file. No application of the test session takes this
// type, so the row says it could not be opened, with the desktop's reason in its tooltip; a file
// gone from the folder fails the same way, for its own reason.
TEST_F(DownloadsButtonTest, AClickOpensAFinishedFileAndTheRowSaysWhenThatFails) {
  auto item = start("samples.zqxw");
  const auto partial = manager().partialFile(*item);
  ASSERT_TRUE(partial);
  std::ofstream(*partial, std::ios::binary) << std::string("\x01\x02\xff\x00\x7f", 5);
  manager().finish(*item);
  harness.click(button());
  ASSERT_TRUE(waitUntil([&] { return popoverOf(button()).get_visible(); }));
  ASSERT_EQ(rows(popover()).size(), 1u);
  DownloadRow& row = *rows(popover())[0];
  ASSERT_EQ(stateLabel(row).get_text(), "Tamamlandı");

  clickInList(popoverOf(button()), row, 0.2);
  ASSERT_TRUE(waitUntil([&] { return stateLabel(row).get_text() == "Açılamadı"; }));
  const std::string noApplication = row.get_tooltip_text();
  EXPECT_FALSE(noApplication.empty());
  EXPECT_TRUE(stateLabel(row).has_css_class("error"));
  EXPECT_EQ(item->state.peek(), DownloadItem::State::finished);

  ASSERT_TRUE(std::filesystem::remove(*item->destination.peek()));
  clickInList(popoverOf(button()), row, 0.6);
  ASSERT_TRUE(waitUntil([&] {
    const std::string reason = row.get_tooltip_text();
    return !reason.empty() && reason != noApplication;
  }));
  EXPECT_EQ(stateLabel(row).get_text(), "Açılamadı");
}

}  // namespace
}  // namespace zemblo
