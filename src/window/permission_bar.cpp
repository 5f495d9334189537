#include "window/permission_bar.h"

#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/site_permissions.h"
#include "widgets/accessibility.h"
#include "window/window_resources.h"

namespace zemblo {
namespace {

const char* iconFor(PermissionKind kind) {
  switch (kind) {
    case PermissionKind::notifications:
      return "preferences-system-notifications-symbolic";
    case PermissionKind::geolocation:
      return "find-location-symbolic";
    case PermissionKind::camera:
    case PermissionKind::cameraAndMicrophone:
      return "camera-web-symbolic";
    case PermissionKind::microphone:
      return "audio-input-microphone-symbolic";
    case PermissionKind::displayCapture:
      return "video-display-symbolic";
    case PermissionKind::clipboard:
      return "edit-paste-symbolic";
    case PermissionKind::pointerLock:
      return "input-mouse-symbolic";
    default:
      return "dialog-information-symbolic";
  }
}

}  // namespace

PermissionBar::PermissionBar(SitePermissions& permissions, const PreferencesModel& preferences)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 10),
      permissions_(permissions),
      preferences_(preferences),
      style_(Gtk::CssProvider::create()) {
  set_name("PermissionBar");
  groupForScreenReaders(*this);
  set_visible(false);
  style_->load_from_data(resources::permissionBarStyleSheet());
  Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), style_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  icon_.set_pixel_size(16);
  question_.add_css_class("permission-question");
  question_.set_wrap(true);
  // A site with a very long name can't push the buttons away; the end of its name, which says
  // whose it is, stays in view.
  question_.set_lines(3);
  question_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  question_.set_xalign(0);
  question_.set_hexpand(true);
  allow_.add_css_class("suggested-action");
  block_.signal_clicked().connect([this] { answer(PermissionDecision::block); });
  allow_.signal_clicked().connect([this] { answer(PermissionDecision::allow); });
  for (Gtk::Widget* child :
       std::initializer_list<Gtk::Widget*>{&icon_, &question_, &block_, &allow_}) {
    child->set_valign(Gtk::Align::CENTER);
    append(*child);
  }
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

PermissionBar::~PermissionBar() {
  observer_.reset();
  Gtk::StyleContext::remove_provider_for_display(Gdk::Display::get_default(), style_);
}

void PermissionBar::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  // Through the observer, so that it follows the new tab's questions.
  observer_->syncNow();
}

void PermissionBar::sync() {
  preferences_.prefs();  // the texts follow the interface language
  shown_ = tab_ ? tab_->permissions.shown.get() : std::nullopt;
  set_visible(shown_.has_value());
  if (!shown_) return;
  const std::string text =
      permissionQuestion(shown_->kind, siteHost(shown_->origin), shown_->detail);
  question_.set_text(text);
  setAccessibleName(*this, text);
  icon_.set_from_icon_name(iconFor(shown_->kind));
  block_.set_label(localized("Engelle"));
  allow_.set_label(localized("İzin ver"));
}

void PermissionBar::answer(PermissionDecision decision) {
  if (!tab_ || !shown_ || tab_->permissions.shown.peek() != shown_) return;
  permissions_.answerShown(tab_->permissions, decision);
}

}  // namespace zemblo
