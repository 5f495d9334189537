#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <gtkmm.h>

#include "model/color.h"
#include "model/search_engine.h"
#include "model/suggestions.h"
#include "widgets/favicon_view.h"

namespace zemblo {

// One symbol of the interface drawn in a colour of the caller's choosing, optionally on a
// rounded backdrop of its own colour (a tile, or a disc when the radius is half the size).
class SymbolGlyph : public Gtk::Widget {
 public:
  // A colour at an opacity. Without a colour: the named colour of the current style when there
  // is a name, else the style's text colour, so that it follows the appearance.
  struct Ink {
    std::optional<GdkRGBA> color;
    double opacity = 1;
    const char* styleColor = nullptr;
  };
  struct Backdrop {
    double size = 0;
    double radius = 0;
    Ink ink;
  };

  SymbolGlyph(std::string symbol, int pixelSize);

  void setSymbol(std::string symbol);
  void setInk(Ink ink);
  void setBackdrop(std::optional<Backdrop> backdrop);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  GdkRGBA resolve(const Ink& ink);
  // The colour the symbol is drawn in now.
  GdkRGBA color();

  std::string symbol_;
  int pixelSize_;
  Ink ink_;
  std::optional<Backdrop> backdrop_;
};

// One entry of the command bar's list: an icon, a title, an optional second line and, on the
// highlighted row only, a hint naming what Return will do. The bar handles clicks and hovering
// over the whole row and decides which row is highlighted.
class SuggestionRow : public Gtk::Widget {
 public:
  static constexpr int kHeight = 48;
  static constexpr int kIconFrame = 28;
  static constexpr double kCornerRadius = 13;
  static constexpr double kSelectedTint = 0.16;
  static constexpr double kFaviconSize = 20;

  SuggestionRow(FaviconLoader& favicons, const Suggestion& suggestion, bool isSelected,
                const Color& accent, SearchEngine engine);
  ~SuggestionRow() override;

  // Shows another entry, or the same one with a changed highlight, accent or engine.
  void update(const Suggestion& suggestion, bool isSelected, const Color& accent,
              SearchEngine engine);

  // What a row shows for an entry, in the interface language.
  static std::string title(const Suggestion& suggestion);
  static std::optional<std::string> subtitle(const Suggestion& suggestion, SearchEngine engine);
  static std::string hint(const Suggestion& suggestion);
  // The symbol of the tile for addresses and searches; none where the site's icon is shown.
  static std::optional<std::string> tileSymbol(const Suggestion& suggestion);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  Gtk::Box row_{Gtk::Orientation::HORIZONTAL, 12};
  Gtk::Box iconFrame_;
  SymbolGlyph tile_;
  FaviconView favicon_;
  Gtk::Box texts_{Gtk::Orientation::VERTICAL, 1};
  Gtk::Label title_;
  Gtk::Label subtitle_;
  Gtk::Box hint_{Gtk::Orientation::HORIZONTAL, 6};
  Gtk::Label hintText_;
  Gtk::Label returnSymbol_;
  bool isSelected_ = false;
  Color accent_;
};

// Gives a label the system font at `points` (one point is one logical pixel) and `weight`.
void setLabelFont(Gtk::Label& label, double points, Pango::Weight weight);

}  // namespace zemblo
