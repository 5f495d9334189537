#include "support/find_window.h"
#include "widgets/start_background_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/wallpaper.h"
#include "support/find_sidebar.h"
#include "window/start_page.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::waitUntil;
using testing::WindowHarness;

const Color kPrimary = Color::fromHex("#3050E0");
const Color kSecondary = Color::fromHex("#F06090");

// What a widget puts on screen, rendered by its window's renderer and read back.
class Pixels {
 public:
  explicit Pixels(Gtk::Widget& widget) : width_(widget.get_width()), height_(widget.get_height()) {
    bytes_.resize(size_t(width_) * size_t(height_) * 4);
    GskRenderNode* node = testing::drawnNodeOf(widget.gobj(), width_, height_);
    if (!node) {
      ADD_FAILURE() << G_OBJECT_TYPE_NAME(widget.gobj()) << " drew nothing";
      return;
    }
    bytes_ = testing::renderedPixels(gtk_native_get_renderer(widget.get_native()->gobj()), node,
                                     width_, height_);
    gsk_render_node_unref(node);
  }

  // What `renderer` draws of `node` within `width` × `height`.
  Pixels(GskRenderer* renderer, GskRenderNode* node, int width, int height)
      : width_(width),
        height_(height),
        bytes_(testing::renderedPixels(renderer, node, width, height)) {}

  // In 0…255 per channel (the pixels drawn here are opaque).
  std::array<int, 3> at(int x, int y) const {
    const guint8* p = &bytes_[(size_t(y) * size_t(width_) + size_t(x)) * 4];
    return {p[2], p[1], p[0]};
  }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  std::vector<guint8> bytes_;
};

void expectColor(const std::array<int, 3>& pixel, const Color& expected, int tolerance = 3) {
  EXPECT_NEAR(pixel[0], expected.r * 255, tolerance);
  EXPECT_NEAR(pixel[1], expected.g * 255, tolerance);
  EXPECT_NEAR(pixel[2], expected.b * 255, tolerance);
}

// A portrait picture: red above, blue below.
std::string portraitPng() {
  return testing::pngOf(40, 80, [](int, int y) { return y < 40 ? 0xFF0000u : 0x0000FFu; });
}

// The contrast of two colours as the web's accessibility guidelines define it, 1 to 21.
double contrast(const std::array<int, 3>& a, const std::array<int, 3>& b) {
  const auto luminance = [](const std::array<int, 3>& rgb) {
    double sum = 0;
    for (int i = 0; i < 3; ++i) {
      const double v = rgb[i] / 255.0;
      sum += std::array{0.2126, 0.7152, 0.0722}[i] *
             (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
    return sum;
  };
  const double x = luminance(a), y = luminance(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// A valid PNG start that claims a picture of 100 000 × 100 000 pixels, with no pixels after it.
std::string enormousPngHeader() {
  const auto crc = [](const std::string& data) {
    uint32_t c = 0xFFFFFFFF;
    for (unsigned char byte : data) {
      c ^= byte;
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
    }
    return c ^ 0xFFFFFFFF;
  };
  const auto be32 = [](uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  };
  const std::string ihdr = "IHDR" + be32(100000) + be32(100000) + std::string{8, 2, 0, 0, 0};
  return std::string("\x89PNG\r\n\x1a\n", 8) + be32(13) + ihdr + be32(crc(ihdr)) + be32(0) +
         "IDAT" + be32(crc("IDAT"));
}

class StartBackgroundTest : public ::testing::Test {
 protected:
  StartBackgroundTest() {
    setPrefs([](AppPreferences& p) {
      p.colorSource = ColorSource::custom;
      p.customColorA = kPrimary.hexString();
      p.customColorB = kSecondary.hexString();
    });
  }

  StartPage& page() { return testing::widgetNamed<StartPage>(harness.content(), "StartPage"); }
  StartBackgroundView& background() {
    return testing::widgetNamed<StartBackgroundView>(page(), "StartBackgroundView");
  }
  AuroraBackground& aurora() {
    return testing::widgetNamed<AuroraBackground>(background(), "AuroraBackground");
  }
  // Whether the aurora's drawing moves while the window paints frames for a second of its frame
  // clock: the aurora follows the clock only while it runs.
  bool auroraDrifts() {
    const auto sampled = [&] {
      const Pixels shown(aurora());
      std::vector<std::array<int, 3>> samples;
      for (int y = 1; y < 8; ++y) {
        for (int x = 1; x < 8; ++x)
          samples.push_back(shown.at(shown.width() * x / 8, shown.height() * y / 8));
      }
      return samples;
    };
    // A page shown again is laid out at its next frame.
    EXPECT_TRUE(waitUntil([&] { return aurora().get_width() > 0; }));
    const auto before = sampled();
    gint64 start = 0;
    bool painted = false;
    harness.window().add_tick_callback([&](const Glib::RefPtr<Gdk::FrameClock>& clock) {
      harness.window().queue_draw();
      if (!start) start = clock->get_frame_time();
      painted = clock->get_frame_time() - start >= 1000000;
      return !painted;
    });
    waitUntil([&] { return painted || sampled() != before; });
    const bool drifted = sampled() != before;
    // The callback refers to this frame: it ends before the frame does.
    waitUntil([&] { return painted; });
    return drifted;
  }
  Gtk::Text& field() { return testing::widgetNamed<Gtk::Text>(page(), "StartPageField"); }
  Gtk::Widget& capsule() { return testing::widgetNamed(page(), "StartPageCapsule"); }
  void setPrefs(const std::function<void(AppPreferences&)>& change) {
    harness.store().preferences().updatePrefs(change);
    pump();
  }
  void showPicture(const std::string& name, const std::string& bytes) {
    harness.home().writeFile(Wallpaper::defaultFolder() / name, bytes);
    setPrefs([&](AppPreferences& p) {
      p.startBackground = StartBackground::wallpaper;
      p.wallpaperFile = name;
      p.wallpaperDim = 0;
      p.wallpaperBlur = 0;
    });
  }
  bool contentIsLight() {
    return testing::widgetNamed(page(), "StartPageColumn").has_css_class("over-picture");
  }

  WindowHarness harness;
};

TEST_F(StartBackgroundTest, EachKindPaintsTheCardAsChosenAndTheAuroraRunsOnlyWhileSeen) {
  const Color base = StartBackgroundView::baseColor(ColorScheme::light);
  ASSERT_TRUE(aurora().get_mapped());
  EXPECT_TRUE(auroraDrifts());
  {
    const Pixels shown(background());
    // The corners keep their colours however the field drifts.
    const AuroraMesh mesh = AuroraMesh::at(0, kPrimary, kSecondary, ColorScheme::light);
    expectColor(shown.at(0, 0), mesh.colors[0], 6);
    expectColor(shown.at(shown.width() - 1, 0), mesh.colors[2], 6);
    expectColor(shown.at(shown.width() / 2, 0), base, 6);
  }
  WindowHarness::screenshot("start-aurora");
  setPrefs([](AppPreferences& p) { p.reduceMotion = true; });
  EXPECT_FALSE(auroraDrifts());

  setPrefs([](AppPreferences& p) { p.startBackground = StartBackground::gradient; });
  EXPECT_FALSE(aurora().get_mapped());
  {
    const Pixels shown(background());
    expectColor(shown.at(0, 0), mixPerceptual(kPrimary, base, 0.35));
    expectColor(shown.at(shown.width() - 1, shown.height() - 1),
                mixPerceptual(kSecondary, base, 0.35));
  }
  WindowHarness::screenshot("start-gradient");

  setPrefs([](AppPreferences& p) { p.startBackground = StartBackground::solid; });
  {
    const Pixels shown(background());
    // The glow from the top centre is gone 700 points down and at the far corners.
    expectColor(shown.at(shown.width() / 2, 720), base, 1);
    const auto glow = shown.at(shown.width() / 2, 0);
    expectColor(glow, Color{0.98 * 0.9 + kPrimary.r * 0.1, 0.98 * 0.9 + kPrimary.g * 0.1,
                            0.98 * 0.9 + kPrimary.b * 0.1});
  }
  WindowHarness::screenshot("start-solid");

  // A page in the card hides the start page, and the aurora with it.
  setPrefs([](AppPreferences& p) {
    p.startBackground = StartBackground::aurora;
    p.reduceMotion = false;
  });
  ASSERT_TRUE(auroraDrifts());
  harness.open("about:blank");
  pump();
  EXPECT_FALSE(aurora().get_mapped());
}

TEST_F(StartBackgroundTest, APictureFillsTheCardUncroppedWidthwiseAndTheContentTurnsLight) {
  // Eight bands of ten rows, red and blue in turn.
  showPicture("wallpaper-0123ABCD.png", testing::pngOf(40, 80, [](int, int y) {
                return (y / 10) % 2 ? 0x0000FFu : 0xFF0000u;
              }));
  ASSERT_TRUE(waitUntil([&] { return background().showsPicture(); }));
  pump();
  EXPECT_TRUE(contentIsLight());
  // Portrait in a landscape card: as wide as the card, twice as tall, centred and so cropped
  // above and below. Each band's edges lie where that frame puts them, from edge to edge of the
  // card; a picture pixel away from an edge the band's colour is unmixed.
  {
    const Pixels shown(background());
    const double width = shown.width(), height = shown.height();
    const double top = (height - 2 * width) / 2, band = 2 * width / 8, pixel = width / 40;
    int edges = 0;
    for (int k = 1; k < 8; ++k) {
      const double edge = top + k * band;
      if (edge - 2 * pixel < 0 || edge + 2 * pixel >= height) continue;
      ++edges;
      const Color above = k % 2 ? Color{1, 0, 0} : Color{0, 0, 1};
      const Color below = k % 2 ? Color{0, 0, 1} : Color{1, 0, 0};
      for (const int x : {2, int(width) / 2, int(width) - 3}) {
        expectColor(shown.at(x, int(edge - 1.5 * pixel)), above);
        expectColor(shown.at(x, int(edge + 1.5 * pixel)), below);
      }
    }
    EXPECT_GE(edges, 2);
  }
  setPrefs([](AppPreferences& p) { p.wallpaperDim = 1; });
  expectColor(Pixels(background()).at(10, 10), {0, 0, 0});
  WindowHarness::screenshot("start-picture");

  setPrefs([](AppPreferences& p) { p.startBackground = StartBackground::gradient; });
  EXPECT_FALSE(contentIsLight());
}

// Over a white picture, undimmed: the capsule's text and placeholder keep the contrast the web's
// accessibility guidelines ask of text and of a hint.
TEST_F(StartBackgroundTest, OverAnyPictureTheCapsulesTextStaysLegible) {
  showPicture("wallpaper-0000000A.png", testing::pngOf(40, 30, [](int, int) { return 0xFFFFFFu; }));
  ASSERT_TRUE(waitUntil([&] { return background().showsPicture(); }));
  // Without the cursor, which is drawn in the text's colour only part of the time.
  gtk_root_set_focus(GTK_ROOT(harness.window().gobj()), nullptr);
  const auto capsuleArea = testing::boundsIn(capsule(), page());
  const auto text = testing::boundsIn(field(), page());
  for (const auto& [typed, least] : {std::pair{"", 3.0}, std::pair{"Www", 4.5}}) {
    field().set_text(typed);
    pump();
    const Pixels shown(page());
    // The pane left of the magnifier, and the strongest ink of the field's text on it.
    const auto pane =
        shown.at(int(capsuleArea.x + 12), int(capsuleArea.y + capsuleArea.height / 2));
    double strongest = 1;
    for (int y = int(text.y); y < int(text.y + text.height); ++y) {
      for (int x = int(text.x); x < int(text.x + text.width); ++x) {
        strongest = std::max(strongest, contrast(shown.at(x, y), pane));
      }
    }
    EXPECT_GE(strongest, least) << "typed: \"" << typed << "\"";
  }
  field().set_text("");
}

// Over a white picture, undimmed, the white clock lines carry a dark halo: next to their glyphs
// the picture is dark enough for white large text to keep a contrast of 3:1.
TEST_F(StartBackgroundTest, OverAWhitePictureTheClockLinesKeepADarkHalo) {
  showPicture("wallpaper-0000000B.png", testing::pngOf(40, 30, [](int, int) { return 0xFFFFFFu; }));
  ASSERT_TRUE(waitUntil([&] { return background().showsPicture(); }));
  pump();
  WindowHarness::screenshot("start-white-picture");
  const Pixels shown(page());
  for (const char* name : {"ClockDate", "ClockTime", "ClockGreetingLine"}) {
    const auto area = testing::boundsIn(testing::widgetNamed(page(), name), page());
    std::array<int, 3> darkest{255, 255, 255};
    for (int y = std::max(0, int(area.y) - 4);
         y < std::min(shown.height(), int(area.y + area.height) + 4); ++y) {
      for (int x = std::max(0, int(area.x) - 4);
           x < std::min(shown.width(), int(area.x + area.width) + 4); ++x) {
        const auto pixel = shown.at(x, y);
        if (pixel[0] + pixel[1] + pixel[2] < darkest[0] + darkest[1] + darkest[2]) darkest = pixel;
      }
    }
    EXPECT_GE(contrast({255, 255, 255}, darkest), 3.0) << name;
  }
}

// With the design's dim, in the dark scheme, the tile titles keep 4.5:1 over a white picture and
// over a busy photo of bright colours: their brightest ink against the brightest their backdrop
// gets under them, drawn again with the text made transparent.
TEST_F(StartBackgroundTest, OverAnyPictureTheTileTitlesKeepTheirContrast) {
  const auto brightest = [&] {
    std::array<int, 3> found{0, 0, 0};
    const Pixels shown(page());
    for (auto* title : testing::allNamed<Gtk::Label>(page(), "StartTileTitle")) {
      const auto area = testing::boundsIn(*title, page());  // clear of the rounded corners
      for (int y = int(area.y) + 1; y < int(area.y + area.height) - 1; ++y) {
        for (int x = int(area.x) + 6; x < int(area.x + area.width) - 6; ++x) {
          if (contrast(shown.at(x, y), {0, 0, 0}) > contrast(found, {0, 0, 0}))
            found = shown.at(x, y);
        }
      }
    }
    return found;
  };
  auto textless = Gtk::CssProvider::create();
  textless->load_from_data("#StartTileTitle { color: transparent; }");
  for (const bool busy : {false, true}) {
    showPicture(busy ? "wallpaper-0000000D.png" : "wallpaper-0000000C.png",
                testing::pngOf(60, 40, [busy](int x, int y) {
                  const uint32_t mixed = uint32_t(x * 2654435761u ^ y * 40503u) * 2246822519u;
                  return busy && (x + y) % 5 ? (mixed >> 8) | 0x909090u : 0xFFFFFFu;
                }));
    setPrefs([](AppPreferences& p) {
      p.theme = ThemeMode::dark;
      p.wallpaperDim = 0.2;
    });
    ASSERT_TRUE(waitUntil([&] { return background().showsPicture(); }));
    const auto ink = brightest();
    Gtk::StyleContext::add_provider_for_display(page().get_display(), textless,
                                                GTK_STYLE_PROVIDER_PRIORITY_USER + 1);
    pump();
    EXPECT_GE(contrast(ink, brightest()), 4.5) << "busy: " << busy;
    Gtk::StyleContext::remove_provider_for_display(page().get_display(), textless);
  }
}

// Parts of the page are drawn again on their own (the cursor, the clock's minute); over a
// blurred picture such a part looks exactly as when the whole page is drawn, without a lighter
// square behind it.
TEST_F(StartBackgroundTest, ABlurredPictureLooksTheSameBehindAPartDrawnAgain) {
  showPicture("wallpaper-0000000C.png",
              testing::pngOf(64, 40, [](int x, int) { return x % 8 < 4 ? 0xFFFFFFu : 0x202020u; }));
  setPrefs([](AppPreferences& p) { p.wallpaperBlur = 30; });
  ASSERT_TRUE(waitUntil([&] { return background().showsPicture(); }));
  pump();
  // The software renderer, which draws only what changed, as without a graphics card.
  GskRenderer* renderer = gsk_cairo_renderer_new();
  ASSERT_TRUE(gsk_renderer_realize(
      renderer, gtk_native_get_surface(GTK_NATIVE(harness.window().gobj())), nullptr));
  const int width = page().get_width(), height = page().get_height();
  GskRenderNode* whole = testing::drawnNodeOf(GTK_WIDGET(page().gobj()), width, height);
  ASSERT_TRUE(whole);
  const auto magnifier = testing::boundsIn(*capsule().get_first_child(), page());
  const graphene_rect_t area = GRAPHENE_RECT_INIT(float(magnifier.x), float(magnifier.y),
                                                  float(magnifier.width), float(magnifier.height));
  GskRenderNode* part = gsk_clip_node_new(whole, &area);
  const Pixels all(renderer, whole, width, height), again(renderer, part, width, height);
  int largest = 0;
  for (int y = int(area.origin.y); y < int(area.origin.y + area.size.height); ++y) {
    for (int x = int(area.origin.x); x < int(area.origin.x + area.size.width); ++x) {
      for (int i = 0; i < 3; ++i)
        largest = std::max(largest, std::abs(all.at(x, y)[i] - again.at(x, y)[i]));
    }
  }
  EXPECT_LE(largest, 2);
  gsk_render_node_unref(part);
  gsk_render_node_unref(whole);
  gsk_renderer_unrealize(renderer);
  g_object_unref(renderer);
}

TEST_F(StartBackgroundTest, APictureThatCannotBeShownLeavesAStillAurora) {
  const auto expectFallback = [&](const std::string& why) {
    EXPECT_TRUE(aurora().get_mapped()) << why;
    EXPECT_FALSE(auroraDrifts()) << why;
    EXPECT_FALSE(contentIsLight()) << why;
  };
  // Whatever the motion settings say.
  setPrefs([](AppPreferences& p) { p.auroraSpeed = 2; });

  showPicture("wallpaper-0123ABCD.jpg", "this is no picture");
  pump();
  expectFallback("undecodable");

  harness.home().writeFile(Wallpaper::defaultFolder() / "wallpaper-89ABCDEF.png", portraitPng());
  showPicture("wallpaper-CDEF0123.png", enormousPngHeader());
  pump();
  expectFallback("too large");

  // A name of another form is never opened, even when a picture lies there.
  setPrefs([](AppPreferences& p) { p.wallpaperFile = "../Zemblo Browser/wallpaper-89ABCDEF.png"; });
  pump();
  expectFallback("not a stored name");

  setPrefs([](AppPreferences& p) { p.wallpaperFile = "wallpaper-89ABCDEF.png"; });
  ASSERT_TRUE(waitUntil([&] { return background().showsPicture(); }));
  // The picture is deleted while the page is away; shown again, the page notices.
  std::filesystem::remove(Wallpaper::defaultFolder() / "wallpaper-89ABCDEF.png");
  page().set_visible(false);
  page().set_visible(true);
  ASSERT_TRUE(waitUntil([&] { return !background().showsPicture(); }));
  expectFallback("deleted");
}

}  // namespace
}  // namespace zemblo
