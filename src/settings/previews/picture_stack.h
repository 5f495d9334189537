#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtk/gtk.h>
#include <gtkmm.h>

namespace zemblo {

// Texts and symbols stacked from top to bottom and centred in a picture, as the option
// thumbnails letter themselves. Texts take the widget's font unless given a family of their own.
class PictureStack {
 public:
  PictureStack(Gtk::Widget& widget, double spacing) : widget_(widget), spacing_(spacing) {}

  void addText(const std::string& text, double points, Pango::Weight weight, const GdkRGBA& color,
               std::optional<std::string> family = std::nullopt);
  void addSymbol(std::string_view symbol, double points, const GdkRGBA& color);

  void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) const;

 private:
  // The height of the whole stack.
  double height() const;

  struct Item {
    Glib::RefPtr<Pango::Layout> text;  // else a symbol
    std::string symbol;
    int pixelSize = 0;
    GdkRGBA color{};
    double width = 0;
    double height = 0;
  };

  Gtk::Widget& widget_;
  double spacing_;
  std::vector<Item> items_;
};

}  // namespace zemblo
