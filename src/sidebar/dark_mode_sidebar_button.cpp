#include "sidebar/dark_mode_sidebar_button.h"

#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "sidebar/sidebar_context.h"
#include "widgets/accessibility.h"
#include "widgets/hover.h"
#include "widgets/paint.h"
#include "widgets/pointer_return.h"
#include "widgets/popover_keys.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"
#include "widgets/tooltip_guard.h"

namespace zemblo {
namespace {

constexpr double kOffOpacity = 0.72;
constexpr double kHoverFill = 0.08;

}  // namespace

DarkModeSidebarButton::DarkModeSidebarButton(const SidebarContext& context)
    : context_(context), pointerReturn_(*this) {
  set_name("DarkModeSidebarButton");
  set_focus_on_click(false);
  set_size_request(kWidth, kHeight);
  set_valign(Gtk::Align::CENTER);
  signal_clicked().connect([this] { context_.pageServices.togglePageDarkMode(); });

  auto secondary = Gtk::GestureClick::create();
  secondary->set_button(GDK_BUTTON_SECONDARY);
  secondary->signal_pressed().connect([this](int, double, double) { popupContextMenu(); });
  add_controller(secondary);
  trackHover(*this, [this](bool hovering) { setHovering(hovering); });

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

DarkModeSidebarButton::~DarkModeSidebarButton() {
  observer_.reset();
  if (menu_) menu_->unparent();
}

void DarkModeSidebarButton::sync() {
  const auto tab = context_.tabs.currentSpace()->selectedTab();
  look_ = darkModeButtonLook(context_.preferences.prefs(), tab.get());
  const Palette palette = themeColors(context_.preferences, context_.tabs);
  gradient_ = gradient(palette.direction, palette.primary, palette.secondary);
  scheme_ = context_.scheme();
  setHelpText(*this, look_.help);
  queue_draw();
}

void DarkModeSidebarButton::setHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  queue_draw();
}

void DarkModeSidebarButton::popupContextMenu() {
  // Built from the models as they are now; the actions keep the tab the menu was opened for.
  PreferencesModel* preferences = &context_.preferences;
  PageServicesModel* pageServices = &context_.pageServices;
  const std::shared_ptr<BrowserTab> tab = context_.tabs.currentSpace()->selectedTab();
  const DarkModeButtonLook look = darkModeButtonLook(context_.preferences.prefs(), tab.get());

  const auto actions = Gio::SimpleActionGroup::create();
  auto mode = Gio::SimpleAction::create_radio_string(
      "mode", std::string(rawValue(context_.preferences.prefs().pageDarkMode)));
  // The action's own handler holds it plainly: it never runs once the action is gone.
  mode->signal_activate().connect(
      [preferences, action = mode.get()](const Glib::VariantBase& parameter) {
        const auto name =
            Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter).get();
        const auto chosen = fromRawValue<PageDarkMode>(name.raw());
        if (!chosen) return;
        action->set_state(parameter);
        preferences->updatePrefs([&](AppPreferences& prefs) { prefs.pageDarkMode = *chosen; });
      });
  actions->add_action(mode);
  const auto menuModel = Gio::Menu::create();
  auto picker = Gio::Menu::create();
  for (const auto& [value, label] : look.modes) {
    auto item = Gio::MenuItem::create(label, "");
    item->set_action_and_target("dark.mode",
                                Glib::Variant<Glib::ustring>::create(std::string(rawValue(value))));
    picker->append_item(item);
  }
  menuModel->append_section(look.pickerTitle, picker);

  if (look.site && tab) {
    const bool turnOn = look.site->turnsOn;
    actions->add_action(
        "site", [pageServices, tab, turnOn] { pageServices->setPageDarkMode(turnOn, *tab); });
    auto site = Gio::Menu::create();
    site->append(literalMenuLabel(look.site->label), "dark.site");
    menuModel->append_section(site);
  }
  insert_action_group("dark", actions);

  if (menu_) menu_->unparent();
  menu_ = std::make_unique<Gtk::PopoverMenu>(menuModel);
  focusItemsOnly(*menu_);
  setAccessibleName(*menu_, localized("Sayfa Karanlık Modu"));
  titleToolkitPages(*menu_, localized("Sayfa Karanlık Modu"));
  menu_->set_parent(*this);
  // The items' check marks come once the items find their actions through the parent.
  groupToolkitParts(*menu_);
  menu_->set_position(Gtk::PositionType::TOP);
  hideTooltipWhileOpen(*this, *menu_);
  pointerReturn_.watch(*menu_);
  setUpPopoverKeys(*menu_);
  menu_->popup();
}

void DarkModeSidebarButton::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const double width = get_width();
  const double height = get_height();
  if (hovering_) {
    paint::appendRoundedFill(s, paint::roundedRect(paint::rect(0, 0, width, height), kCornerRadius),
                             SidebarContext::primary(scheme_, kHoverFill));
  }
  const int pixels = symbolPixelSize(kSymbolPointSize);
  const graphene_rect_t box =
      paint::rect((width - pixels) / 2.0, (height - pixels) / 2.0, pixels, pixels);
  if (look_.isOn) {
    appendGradientSymbol(s, *this, look_.symbol, pixels, box, gradient_);
  } else {
    appendSymbol(s, *this, look_.symbol, pixels, box,
                 SidebarContext::primary(scheme_, kOffOpacity));
  }
}

}  // namespace zemblo
