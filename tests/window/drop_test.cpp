#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/preferences_model.h"
#include "model/window_model.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::WindowHarness;

// A small window of this process that drags what it is given, as another program would: the drop
// travels through the X server like any other.
class DragSourceWindow {
 public:
  DragSourceWindow() {
    window_.set_title("Drag source");
    window_.set_default_size(90, 36);
    window_.set_child(label_);
    source_->set_actions(Gdk::DragAction::COPY);
    label_.add_controller(source_);
    source_->signal_drag_end().connect([this](const Glib::RefPtr<Gdk::Drag>&, bool) { ++ended_; });
    window_.present();
    testing::waitUntil([&] { return window_.get_mapped(); });
  }

  void offer(const Glib::RefPtr<Gdk::ContentProvider>& content) { source_->set_content(content); }
  void offer(const std::string& mimeType, const std::string& data) {
    offer(Gdk::ContentProvider::create(mimeType, Glib::Bytes::create(data.data(), data.size())));
  }

  // Drags from this window to (`x`, `y`) in `target`, in steps, lets go there and waits for the
  // drag to end.
  void dragTo(Gtk::Window& target, double x, double y) {
    std::string command = testing::xdotoolOn(
        window_.gobj(), "windowraise %1 mousemove --window %1 45 18 mousedown 1");
    std::string moves;
    for (int step = 1; step <= 8; ++step) {
      moves += " sleep 0.05 mousemove --window %1 " + std::to_string(int(x) - 8 + step) + " " +
               std::to_string(int(y));
    }
    command += testing::xdotoolOn(target.gobj(), moves + " sleep 0.5 mouseup 1").substr(7);
    const int before = ended_;
    testing::runBesideMainLoop(command);
    // The next drag may offer something else.
    EXPECT_TRUE(testing::waitUntil([&] { return ended_ > before; })) << "the drag did not end";
  }

 private:
  Gtk::Window window_;
  Gtk::Label label_{"drag"};
  Glib::RefPtr<Gtk::DragSource> source_ = Gtk::DragSource::create();
  int ended_ = 0;
};

Gtk::Widget* widgetNamed(Gtk::Widget& root, const std::string& name) {
  if (root.get_name() == Glib::ustring(name)) return &root;
  for (auto* child = root.get_first_child(); child; child = child->get_next_sibling()) {
    if (auto* found = widgetNamed(*child, name)) return found;
  }
  return nullptr;
}

class DropTest : public ::testing::Test {
 protected:
  DropTest() {
    for (const char* name : {"a", "b", "dropped", "typed"}) {
      server.page(std::string("/") + name, std::string("<title>") + name + "</title>");
    }
  }

  WindowModel& tabs() { return harness.store().tabs(); }
  std::vector<std::string> addresses() {
    std::vector<std::string> shown;
    for (const auto& tab : tabs().currentSpace()->tabs.peek()) {
      shown.push_back(tab->url.peek() ? tab->url.peek()->str() : "");
    }
    return shown;
  }
  // Just below the boundary between the rows `index` - 1 and `index` of the tab list (just above
  // the list's end for the number of rows), in the window.
  std::pair<double, double> gapAbove(size_t index) {
    Gtk::Widget* column = widgetNamed(harness.window(), "TabColumn");
    EXPECT_TRUE(column);
    std::vector<Gtk::Widget*> rows;
    for (auto* child = column->get_first_child(); child; child = child->get_next_sibling()) {
      rows.push_back(child);
    }
    // The new-tab row, then the tabs' rows, top to bottom.
    std::ranges::sort(rows, {}, [&](Gtk::Widget* row) { return harness.bounds(*row).y; });
    if (index + 1 < rows.size()) {
      const auto row = harness.bounds(*rows.at(index + 1));
      return {row.x + row.width / 2, row.y + 2};
    }
    const auto last = harness.bounds(*rows.back());
    return {last.x + last.width / 2, last.y + last.height - 2};
  }

  TestServer server;
  WindowHarness harness;
  DragSourceWindow source;
};

TEST_F(DropTest, LinksFilesAndTextDroppedOnTheTabListOpenWhereTheInsertionLineShows) {
  harness.open(server.url("/b"));
  auto a = harness.open(server.url("/a"));
  ASSERT_TRUE(WebHarness::waitForPage(*a, "a"));
  pump();

  // A link between the two tabs.
  source.offer("text/uri-list", server.url("/dropped") + "\r\n");
  auto [x, y] = gapAbove(1);
  source.dragTo(harness.window(), x, y);
  ASSERT_TRUE(waitUntil([&] { return server.hits("/dropped") == 1; }));
  EXPECT_EQ(addresses(),
            (std::vector<std::string>{server.url("/a"), server.url("/dropped"), server.url("/b")}));
  EXPECT_EQ(tabs().currentSpace()->selectedTab()->url.peek()->str(), server.url("/dropped"));

  // A file of this machine, above the first tab, offered as the file manager offers its files.
  const auto file = harness.home().root() / "on disk.html";
  harness.home().writeFile(file, "<title>On disk</title>");
  GFile* gfile = g_file_new_for_path(file.c_str());
  GSList* files = g_slist_prepend(nullptr, gfile);
  source.offer(Glib::wrap(gdk_content_provider_new_typed(GDK_TYPE_FILE_LIST, files)));
  g_slist_free(files);
  g_object_unref(gfile);
  std::tie(x, y) = gapAbove(0);
  source.dragTo(harness.window(), x, y);
  ASSERT_TRUE(waitUntil([&] { return addresses().size() == 4; }));
  auto fromDisk = tabs().currentSpace()->tabs.peek().front();
  EXPECT_EQ(fromDisk->url.peek()->str(),
            "file://" + (harness.home().root() / "on%20disk.html").string());
  EXPECT_TRUE(WebHarness::waitForPage(*fromDisk, "On disk"));

  // Text, read as typed: an address loads, anything else is searched for.
  const std::string typed = "127.0.0.1:" + server.url("/typed").substr(17);
  source.offer("text/plain;charset=utf-8", typed);
  std::tie(x, y) = gapAbove(4);
  source.dragTo(harness.window(), x, y);
  ASSERT_TRUE(waitUntil([&] { return server.hits("/typed") == 1; }));
  EXPECT_EQ(addresses().back(), "http://" + typed);

  const std::string words = "javascript:alert(1) and more";
  source.offer("text/plain;charset=utf-8", words);
  std::tie(x, y) = gapAbove(0);
  source.dragTo(harness.window(), x, y);
  ASSERT_TRUE(waitUntil([&] { return addresses().size() == 6; }));
  const auto search = harness.store().preferences().searchEngine.peek().searchURL(words);
  EXPECT_EQ(addresses().front(), search->str());
}

TEST_F(DropTest, ALinkDroppedOnThePageOpensInItsTabButOneThatRunsScriptDoesNot) {
  server.page("/ran", "ran");
  auto a = harness.open(server.url("/a"));
  ASSERT_TRUE(WebHarness::waitForPage(*a, "a"));
  pump();
  const auto page = harness.bounds(harness.content());
  const double x = page.x + page.width / 2, y = page.y + page.height / 2;

  // What a hostile page offers to drag: addresses that would run in the page they land on.
  for (const char* script :
       {"javascript:void(fetch('/ran'))", "data:text/html,<script>fetch('/ran')</script>"}) {
    source.offer("text/uri-list", std::string(script) + "\r\n");
    source.dragTo(harness.window(), x, y);
  }
  source.offer("text/uri-list", server.url("/dropped") + "\r\n");
  source.dragTo(harness.window(), x, y);
  ASSERT_TRUE(WebHarness::waitForPage(*a, "dropped"));
  EXPECT_EQ(addresses(), std::vector<std::string>{server.url("/dropped")});
  EXPECT_EQ(server.hits("/ran"), 0);
  // Nothing came between the two pages.
  WebKitBackForwardList* history = webkit_web_view_get_back_forward_list(WebHarness::viewOf(*a));
  GList* back = webkit_back_forward_list_get_back_list(history);
  EXPECT_EQ(g_list_length(back), 1u);
  g_list_free(back);

  // On the start page, away from its search field.
  tabs().newTab();
  pump();
  auto blank = tabs().currentSpace()->selectedTab();
  ASSERT_TRUE(testing::showsStartPage(harness.content()));
  source.offer("text/uri-list", "data:text/html,<title>x</title>\r\n" + server.url("/b") + "\r\n");
  source.dragTo(harness.window(), x, page.y + page.height - 20);
  ASSERT_TRUE(WebHarness::waitForPage(*blank, "b"));
  EXPECT_EQ(addresses(), (std::vector<std::string>{server.url("/b"), server.url("/dropped")}));
}

}  // namespace
}  // namespace zemblo
