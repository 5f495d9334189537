#include "widgets/symbol_icons.h"

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "model/space.h"
#include "web/web_harness.h"

namespace zemblo {
namespace {

constexpr std::string_view kDot = "zemblo-dot-symbolic";
constexpr const char* kOwnIconsFolder = "/com/pellobar/browser/icons/scalable/actions/";

Glib::RefPtr<Gtk::IconTheme> iconTheme() {
  testing::initializeGtk();
  const auto display = Gdk::Display::get_default();
  registerSymbolIcons(display);
  registerSymbolIcons(display);  // a second window registers again
  return Gtk::IconTheme::get_for_display(display);
}

TEST(SymbolIconsTest, EverySymbolASpaceCanWearHasAnIconOfItsOwn) {
  const auto known = knownSymbols();
  for (const std::string_view symbol : spaceSymbols()) {
    SCOPED_TRACE(std::string(symbol));
    EXPECT_NE(std::string_view(symbolIconName(symbol)), kDot);
    EXPECT_NE(std::find(known.begin(), known.end(), symbol), known.end());
  }
  // A symbol from a newer or damaged session file still draws something.
  EXPECT_EQ(std::string_view(symbolIconName("no.such.symbol")), kDot);
  EXPECT_EQ(std::string_view(symbolIconName("")), kDot);
}

TEST(SymbolIconsTest, EveryKnownSymbolIsASymbolicIconOfTheDisplaysTheme) {
  const auto theme = iconTheme();
  const auto known = knownSymbols();
  ASSERT_GE(known.size(), spaceSymbols().size());
  std::set<std::string_view> seen;
  for (const std::string_view symbol : known) {
    SCOPED_TRACE(std::string(symbol));
    EXPECT_TRUE(seen.insert(symbol).second) << "mapped twice";
    const std::string icon = symbolIconName(symbol);
    EXPECT_NE(icon, kDot);
    EXPECT_TRUE(theme->has_icon(icon)) << icon;
    const auto paintable = theme->lookup_icon(icon, symbolPixelSize(13));
    ASSERT_TRUE(paintable);
    EXPECT_TRUE(paintable->is_symbolic()) << icon;
  }
  EXPECT_TRUE(theme->has_icon(std::string(kDot)));

  // Registering twice leaves one entry on the theme's resource path.
  const auto paths = theme->get_resource_path();
  EXPECT_EQ(std::count(paths.begin(), paths.end(), "/com/pellobar/browser/icons"), 1);
}

// GTK recolours a symbolic icon by overriding the fill of its paths, rectangles and circles; any
// other element, a stroke or text would keep its own colour on a dark or accented background.
TEST(SymbolIconsTest, OurIconsUseOnlyShapesTheThemeRecolours) {
  iconTheme();
  const auto files = Gio::Resource::enumerate_children_global(kOwnIconsFolder);
  ASSERT_FALSE(files.empty());
  std::set<std::string> ownIcons;
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(file.starts_with("zemblo-") && file.ends_with("-symbolic.svg"));
    ownIcons.insert(file.substr(0, file.size() - 4));
    gsize size = 0;
    const auto bytes = Gio::Resource::lookup_data_global(kOwnIconsFolder + file);
    const auto* data = static_cast<const char*>(bytes->get_data(size));
    const std::string svg(data, size);
    EXPECT_NE(svg.find("viewBox=\"0 0 16 16\""), std::string::npos);
    for (const char* forbidden : {"stroke", "<text", "<image", "<ellipse", "<line", "<polygon",
                                  "<polyline", "<use", "opacity"}) {
      EXPECT_EQ(svg.find(forbidden), std::string::npos) << forbidden;
    }
  }
  for (const std::string_view symbol : knownSymbols()) {
    const std::string icon = symbolIconName(symbol);
    if (icon.starts_with("zemblo-")) {
      EXPECT_TRUE(ownIcons.contains(icon)) << icon;
    }
  }
}

}  // namespace
}  // namespace zemblo
