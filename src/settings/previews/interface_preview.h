#pragma once

#include <memory>
#include <optional>
#include <string>

#include <gtk/gtk.h>
#include <gtkmm.h>

#include "platform/observable.h"
#include "settings/previews/preview_layout.h"
#include "settings/settings_context.h"
#include "widgets/animated_value.h"
#include "widgets/drawing_cache.h"

namespace zemblo {

// A live, non-interactive miniature of the browser window, drawn from the current preferences
// and space: every change the user makes shows in it at once, sliding there on a spring. It is
// 260 high and as wide as its column.
class InterfacePreview : public Gtk::Widget {
 public:
  static constexpr double kPaneScale = 0.42;
  static constexpr Spring kPreferencesSpring{0.35, 0.85};
  static constexpr Spring kThemeSpring{0.3, 1.0};

  InterfacePreview(const SettingsContext& context, double scale = kPaneScale);
  ~InterfacePreview() override;

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  // What the miniature shows at the moment.
  PreviewLayout shownLayout() const;
  void sync();
  static std::string backdropKey(const PreviewLayout& layout);
  static void drawBackdrop(GtkSnapshot* snapshot, const PreviewLayout& layout,
                           const graphene_rect_t& bounds);
  void drawSidebar(GtkSnapshot* snapshot, const PreviewLayout& layout);
  void drawCard(GtkSnapshot* snapshot, const PreviewLayout& layout);

  const SettingsContext& context_;
  double scale_;
  PreviewInputs target_;
  // Where the last change started from; none until the first change.
  std::optional<PreviewLayout> from_;
  std::unique_ptr<AnimatedValue> progress_;
  DrawingCache backdrop_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
