#pragma once

#include <memory>
#include <optional>

#include <gtkmm.h>

#include "model/app_preferences.h"
#include "model/password_offers.h"
#include "model/pending_credential.h"
#include "platform/observable.h"
#include "widgets/animated_value.h"

namespace zemblo {

class PasswordOffers;
class PreferencesModel;
class SystemColorScheme;
class WindowModel;

// The small card over the page that asks whether a login just submitted should be saved, or a
// saved password updated: "Never", "Not Now" and "Save" / "Update". It shows the pending
// offer, comes in from the top edge while there is one and leaves the same way. Its answers act
// on the offer it shows, whatever offer another page raised since. While the keyring writes it
// waits; when the keyring refuses, it stays and says so.
class SavePasswordBanner : public Gtk::Widget {
 public:
  static constexpr int kWidth = 340;
  static constexpr int kPadding = 14;
  static constexpr int kBadgeSize = 34;
  static constexpr double kCornerRadius = 18;
  static constexpr Spring kSpring{0.35, 0.85};

  SavePasswordBanner(PasswordOffers& offers, const WindowModel& tabs,
                     const PreferencesModel& preferences, const SystemColorScheme& scheme);
  ~SavePasswordBanner() override;

  void sync();

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override {
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
  }
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void showOffer(const PendingCredential& offer, PendingSaveStatus status);
  void presenceChanged();
  void answer(void (PasswordOffers::*operation)(const PendingCredential&));

  PasswordOffers& offers_;
  const WindowModel& tabs_;
  const PreferencesModel& preferences_;
  const SystemColorScheme& scheme_;
  std::optional<PendingCredential> shown_;
  Palette palette_;
  Gtk::Box row_{Gtk::Orientation::HORIZONTAL, 12};
  Gtk::Image badge_;
  Gtk::Box text_{Gtk::Orientation::VERTICAL, 3};
  Gtk::Label title_;
  Gtk::Label subtitle_;
  Gtk::Label failure_;
  Gtk::Box buttons_{Gtk::Orientation::HORIZONTAL, 8};
  Gtk::Button never_;
  Gtk::Box spacer_;
  Gtk::Button notNow_;
  Gtk::Button save_;
  Glib::RefPtr<Gtk::CssProvider> style_;
  AnimatedValue presence_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
