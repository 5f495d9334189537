#pragma once

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <string>
#include <vector>

#include "model/browser_store.h"
#include "model/preferences_model.h"
#include "settings/settings_harness.h"

// Driving a pane of the settings window as a user would, and watching what it writes.
namespace zemblo::testing {

// The pane of that kind, shown in the harness's window.
template <class Pane>
Pane& showPane(SettingsHarness& harness, SettingsPane pane) {
  harness.view().select(pane);
  pump();
  auto* shown = dynamic_cast<Pane*>(&testing::shownPane(harness.view()));
  if (!shown) throw std::runtime_error("another pane is shown");
  return *shown;
}

// A click, as the pointer or Space gives it.
inline void click(Gtk::Widget& button) {
  g_signal_emit_by_name(button.gobj(), "clicked");
  pump();
}

// The knob dragged to `value`.
inline void drag(Gtk::Range& slider, double value) {
  gboolean handled = FALSE;
  g_signal_emit_by_name(slider.gobj(), "change-value", GTK_SCROLL_JUMP, value, &handled);
  pump();
}

inline void flip(Gtk::Switch& control) {
  control.set_active(!control.get_active());
  pump();
}

// Every write of the preferences that changed them, as the names of the fields it changed.
class PrefsWrites {
 public:
  explicit PrefsWrites(BrowserStore& store)
      : store_(store), last_(*json::parse(*store.preferences().prefs().encoded())) {
    connection_ = store.preferences().observablePrefs().signalChanged().connect([this] {
      const json::Json now = *json::parse(*store_.preferences().prefs().encoded());
      std::vector<std::string> fields;
      for (const auto& [key, value] : now.items()) {
        if (!last_.contains(key) || last_[key] != value) fields.push_back(key);
      }
      writes_.push_back(fields);
      last_ = now;
    });
  }
  ~PrefsWrites() { connection_.disconnect(); }

  const std::vector<std::vector<std::string>>& writes() const { return writes_; }
  // The field of each write, when each changed exactly one.
  std::vector<std::string> fields() const {
    std::vector<std::string> names;
    for (const auto& write : writes_) {
      EXPECT_EQ(write.size(), 1u);
      if (!write.empty()) names.push_back(write.front());
    }
    return names;
  }
  void clear() { writes_.clear(); }

 private:
  BrowserStore& store_;
  json::Json last_;
  std::vector<std::vector<std::string>> writes_;
  sigc::connection connection_;
};

}  // namespace zemblo::testing
