#include "settings/previews/option_thumbnail.h"

#include "model/theme_colors.h"
#include "settings/previews/settings_paint.h"

namespace zemblo {

OptionThumbnail::OptionThumbnail(const SettingsContext& context) : context_(context) {
  set_can_target(false);
  observer_ = std::make_unique<Observer>([this] {
    palette_ = themeColors(context_.preferences(), context_.tabs());
    scheme_ = context_.scheme();
    queue_draw();
  });
}

OptionThumbnail::~OptionThumbnail() { observer_.reset(); }

GdkRGBA OptionThumbnail::primary(double opacity) const {
  return settings_paint::primary(scheme_, opacity);
}

void OptionThumbnail::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                    int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = 0;
  minimum_baseline = natural_baseline = -1;
}

void OptionThumbnail::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  draw(snapshot->gobj(), paint::rect(0, 0, get_width(), get_height()));
}

}  // namespace zemblo
