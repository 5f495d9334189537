#include "settings/kit/choice_cards.h"

#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "settings/kit/row_parts.h"
#include "settings/previews/settings_paint.h"

namespace zemblo {

ChoiceCardRow::ChoiceCardRow(const SettingsContext& context, const std::vector<Card>& cards,
                             std::function<std::optional<size_t>()> selected,
                             std::function<void(size_t)> select)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 12),
      context_(context),
      selected_(std::move(selected)),
      select_(std::move(select)) {
  set_name("ChoiceCards");
  set_homogeneous(true);
  row_parts::pad(*this, kPadding, kPadding);
  for (size_t i = 0; i < cards.size(); ++i) {
    auto* card = Gtk::make_managed<ChoiceCard>(cards[i].title, *cards[i].picture);
    card->signal_clicked().connect([this, i] {
      clicked_ = true;
      select_(i);
      // Writing the chosen option again changes nothing in the model; the ring stays put.
      if (observer_) observer_->syncNow();
    });
    cards_.push_back(card);
    append(*card);
  }
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

ChoiceCardRow::~ChoiceCardRow() { observer_.reset(); }

void ChoiceCardRow::sync() {
  const std::optional<size_t> chosen = selected_();
  const GdkRGBA accent = paint::rgba(themeColors(context_.preferences(), context_.tabs()).primary);
  const GdkRGBA primary = settings_paint::primary(context_.scheme(), 1);
  const bool animated = clicked_;
  clicked_ = false;
  for (size_t i = 0; i < cards_.size(); ++i) {
    cards_[i]->show(chosen == i, accent, primary, animated);
  }
}

}  // namespace zemblo
