#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"
#include "settings/kit/binding.h"
#include "settings/kit/choice_card.h"
#include "settings/settings_context.h"

namespace zemblo {

// Every option of a small choice side by side as equal cards, each a picture of what the option
// looks like with its name under it. The chosen card wears a ring in the theme's accent; a click
// writes its option (also when it is already the chosen one) and moves the ring on a short
// spring. A selection equal to no option leaves every card unselected.
class ChoiceCardRow : public Gtk::Box {
 public:
  struct Card {
    std::string title;
    Gtk::Widget* picture;  // made with Gtk::make_managed
  };
  static constexpr int kPadding = 14;

  ChoiceCardRow(const SettingsContext& context, const std::vector<Card>& cards,
                std::function<std::optional<size_t>()> selected,
                std::function<void(size_t)> select);
  ~ChoiceCardRow() override;

 private:
  void sync();

  const SettingsContext& context_;
  std::function<std::optional<size_t>()> selected_;
  std::function<void(size_t)> select_;
  std::vector<ChoiceCard*> cards_;
  bool clicked_ = false;
  std::unique_ptr<Observer> observer_;
};

// The row for the options of type T, bound to a selection of T. `title` names each card
// (localised by the pane); `preview` draws its picture, a widget made with Gtk::make_managed
// (the option thumbnails, or a pane's own), stretched to the card's width and 76 high.
template <class T>
class ChoiceCards : public ChoiceCardRow {
 public:
  ChoiceCards(const SettingsContext& context, std::vector<T> options, Binding<T> selection,
              const std::function<std::string(const T&)>& title,
              const std::function<Gtk::Widget*(const T&)>& preview)
      : ChoiceCardRow(
            context, cardsFor(options, title, preview),
            [options, get = selection.get]() -> std::optional<size_t> {
              const T value = get();
              for (size_t i = 0; i < options.size(); ++i) {
                if (options[i] == value) return i;
              }
              return std::nullopt;
            },
            [options, set = selection.set](size_t index) { set(options.at(index)); }) {}

 private:
  static std::vector<Card> cardsFor(const std::vector<T>& options,
                                    const std::function<std::string(const T&)>& title,
                                    const std::function<Gtk::Widget*(const T&)>& preview) {
    std::vector<Card> cards;
    for (const T& option : options) {
      Gtk::Widget* picture = preview(option);
      cards.push_back({title(option), picture});
    }
    return cards;
  }
};

}  // namespace zemblo
