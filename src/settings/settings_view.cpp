#include "settings/settings_view.h"

#include <adwaita.h>

#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "settings/settings_panes.h"
#include "settings/settings_sidebar.h"
#include "settings/settings_style.h"
#include "widgets/accessibility.h"
#include "widgets/close_keys.h"
#include "widgets/keyboard_regions.h"
#include "widgets/symbol_icons.h"

namespace zemblo {

SettingsView::SettingsView(SettingsModels models, FaviconLoader& favicons,
                           const SystemColorScheme& scheme)
    : context_(std::move(models), favicons, scheme) {
  set_name("SettingsView");
  add_css_class(SettingsStyle::kWindowClass);
  set_resizable(false);
  registerSymbolIcons(get_display());
  style_ = std::make_unique<SettingsStyle>(get_display());

  root_.set_size_request(kWidth, kHeight);
  root_.add_css_class("settings-root");
  column_.set_size_request(SettingsSidebar::kWidth, -1);
  detail_.add_css_class("settings-detail");
  detail_.set_hexpand(true);
  detail_.set_transition_type(Gtk::StackTransitionType::CROSSFADE);
  detail_.set_transition_duration(kFadeMilliseconds);
  detail_.property_transition_running().signal_changed().connect([this] {
    if (!detail_.get_transition_running()) dropHiddenPanes();
  });
  root_.append(column_);
  root_.append(divider_);
  root_.append(detail_);
  set_child(root_);
  enterPaneWithTab();
  closeWithKeys(*this, {"Escape", "<Control>w"});
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SettingsView::~SettingsView() {
  observer_.reset();
  // The panes and the column read the context, which goes with this window.
  if (sidebar_) column_.remove(*sidebar_);
  sidebar_.reset();
  while (Gtk::Widget* child = detail_.get_first_child()) detail_.remove(*child);
}

void SettingsView::sync() {
  const AppPreferences& prefs = context_.preferences().prefs();
  if (language_ != prefs.language) {
    language_ = prefs.language;
    rebuild();
  }
  const std::optional<std::string> font = SettingsStyle::fontClass(prefs.interfaceFont);
  if (font != fontClass_) {
    if (fontClass_) remove_css_class(*fontClass_);
    if (font) add_css_class(*font);
    fontClass_ = font;
  }
  style_->setAccent(themeColors(context_.preferences(), context_.tabs()).primary);
}

void SettingsView::rebuild() {
  set_title(localized("Ayarlar"));
  if (sidebar_) column_.remove(*sidebar_);
  sidebar_ = std::make_unique<SettingsSidebar>(context_, pane_,
                                               [this](SettingsPane pane) { select(pane); });
  sidebar_->set_vexpand(true);
  column_.append(*sidebar_);
  showPane();
}

void SettingsView::enterPaneWithTab() {
  // Left to the pane list, Tab walks its rows, and a row that takes the focus also selects its
  // pane: the keyboard could then never leave the list for the pane it shows. The arrows still
  // walk the list.
  auto keys = Gtk::EventControllerKey::create();
  keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  keys->signal_key_pressed().connect(
      [this](guint key, guint, Gdk::ModifierType) {
        if (key != GDK_KEY_Tab && key != GDK_KEY_KP_Tab && key != GDK_KEY_ISO_Left_Tab) {
          return false;
        }
        if (!shownScroller_) return false;
        // Backwards the focus wraps round to the pane's last control, as it would without a list.
        const bool backwards = key == GDK_KEY_ISO_Left_Tab;
        shownScroller_->child_focus(backwards ? Gtk::DirectionType::TAB_BACKWARD
                                              : Gtk::DirectionType::TAB_FORWARD);
        return true;
      },
      false);
  column_.add_controller(keys);
}

void SettingsView::select(SettingsPane pane) {
  if (pane == pane_) return;
  pane_ = pane;
  if (sidebar_) sidebar_->showSelected(pane);
  showPane();
}

void SettingsView::showPane() {
  // The same pane built anew (in another language) keeps the focus on the same control: it was
  // just used, and the pane's first control would take the next key for another change.
  const auto focusAt =
      shownScroller_ && shownPane_ == pane_ ? focusedControlIndex(*shownScroller_) : std::nullopt;
  shownPane_ = pane_;
  auto pane = makeSettingsPane(pane_, context_);
  pane->set_margin_start(kPaneHorizontalPadding);
  pane->set_margin_end(kPaneHorizontalPadding);
  pane->set_margin_top(kPaneVerticalPadding);
  pane->set_margin_bottom(kPaneVerticalPadding);

  // At most 660 wide with its padding, centred in the detail area.
  GtkWidget* clamp = adw_clamp_new();
  adw_clamp_set_maximum_size(ADW_CLAMP(clamp), kPaneMaximumWidth);
  adw_clamp_set_tightening_threshold(ADW_CLAMP(clamp), kPaneMaximumWidth);
  adw_clamp_set_child(ADW_CLAMP(clamp), Gtk::manage(pane.release())->Gtk::Widget::gobj());

  auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
  scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
  setAccessibleName(*scroller, paneTitle(pane_));
  nameScrollbars(*scroller, localized("Dikey kaydırma çubuğu"), localized("Yatay kaydırma çubuğu"));
  gtk_scrolled_window_set_child(scroller->gobj(), clamp);
  shownScroller_ = scroller;
  const std::string name = std::string(rawValue(pane_)) + "-" + std::to_string(++panesBuilt_);
  // Screen readers announce the pane by its page's title.
  detail_.add(*scroller, name, paneTitle(pane_));
  detail_.set_visible_child(*scroller);
  if (focusAt) focusControlAt(*scroller, *focusAt);
  if (!detail_.get_transition_running()) dropHiddenPanes();
}

void SettingsView::dropHiddenPanes() {
  std::vector<Gtk::Widget*> hidden;
  for (Gtk::Widget* child = detail_.get_first_child(); child; child = child->get_next_sibling()) {
    if (child != shownScroller_) hidden.push_back(child);
  }
  for (Gtk::Widget* child : hidden) detail_.remove(*child);
}

}  // namespace zemblo
