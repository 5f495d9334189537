#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/observable.h"
#include "settings/kit/binding.h"
#include "settings/kit/segmented_control.h"
#include "settings/kit/settings_row.h"

namespace zemblo {

// A settings row for options without a picture: a segmented control of fixed `width` at the
// trailing edge, one segment per option in order, labelled by `label` (localised by the pane).
// Picking a segment writes its option; showing the bound option writes nothing.
template <class T>
class SegmentedRow : public SettingsRow {
 public:
  SegmentedRow(std::string title, std::optional<std::string> subtitle,
               std::optional<std::string> symbol, std::vector<T> options, Binding<T> selection,
               const std::function<std::string(const T&)>& label, int width)
      : SettingsRow(std::move(title), std::move(subtitle), std::move(symbol)),
        options_(std::move(options)),
        selection_(std::move(selection)),
        control_(labels(options_, label), width) {
    control_.signalPicked().connect([this](size_t index) { selection_.set(options_.at(index)); });
    setAccessory(control_);
    observer_ = std::make_unique<Observer>([this] { control_.show(indexOf(selection_.get())); });
  }
  ~SegmentedRow() override { observer_.reset(); }

 private:
  static std::vector<std::string> labels(const std::vector<T>& options,
                                         const std::function<std::string(const T&)>& label) {
    std::vector<std::string> texts;
    for (const T& option : options) texts.push_back(label(option));
    return texts;
  }
  std::optional<size_t> indexOf(const T& value) const {
    for (size_t i = 0; i < options_.size(); ++i) {
      if (options_[i] == value) return i;
    }
    return std::nullopt;
  }

  std::vector<T> options_;
  Binding<T> selection_;
  SegmentedControl control_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
