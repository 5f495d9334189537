#include "sidebar/download_row.h"

#include "model/download_manager.h"
#include "model/localization.h"
#include "widgets/accessibility.h"
#include "widgets/css_class.h"
#include "widgets/hover.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr double kRevealPointSize = 11;
constexpr int kGenericIconInset = 4;

void setAccessibleLabel(Gtk::Widget& widget, const std::string& label) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 label.c_str(), -1);
}

// The icon the desktop shows for files of this name's type.
void setFileIcon(Gtk::Image& image, const std::string& filename) {
  char* type = g_content_type_guess(filename.c_str(), nullptr, 0, nullptr);
  GIcon* icon = g_content_type_get_icon(type);
  gtk_image_set_from_gicon(image.gobj(), icon);
  g_object_unref(icon);
  g_free(type);
}

}  // namespace

DownloadRow::DownloadRow(std::shared_ptr<DownloadItem> item)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 10), item_(std::move(item)) {
  set_name("DownloadRow");
  icon_.set_name("DownloadIcon");
  icon_.set_size_request(kIconSize, kIconSize);
  presentAsDecoration(icon_);
  icon_.set_valign(Gtk::Align::CENTER);
  append(icon_);

  name_.add_css_class("download-name");
  name_.set_xalign(0);
  name_.set_single_line_mode(true);
  name_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  progress_.set_name("DownloadProgress");
  progress_.add_css_class("download-progress");
  stateLabel_.set_name("DownloadState");
  stateLabel_.add_css_class("download-state");
  stateLabel_.set_xalign(0);
  texts_.append(name_);
  texts_.append(progress_);
  texts_.append(stateLabel_);
  texts_.set_hexpand(true);
  texts_.set_valign(Gtk::Align::CENTER);
  append(texts_);

  auto* magnifier = Gtk::make_managed<Gtk::Image>();
  magnifier->set_from_icon_name(symbolIconName("magnifyingglass"));
  magnifier->set_pixel_size(symbolPixelSize(kRevealPointSize));
  presentAsDecoration(*magnifier);
  reveal_.set_child(*magnifier);
  reveal_.add_css_class("download-reveal");
  reveal_.set_has_frame(false);
  reveal_.set_focus_on_click(false);
  reveal_.set_size_request(kRevealSize, kRevealSize);
  reveal_.set_valign(Gtk::Align::CENTER);
  reveal_.signal_clicked().connect([this] { item_->revealInFileManager(); });
  // The window's content is built anew when the language changes, so this text stays right.
  const std::string revealHelp = localized("Dosya yöneticisinde göster");
  reveal_.set_tooltip_text(revealHelp);
  setAccessibleLabel(reveal_, revealHelp);
  append(reveal_);

  auto click = Gtk::GestureClick::create();
  click->set_button(GDK_BUTTON_PRIMARY);
  // A click opens a finished file; one on the reveal button is that button's alone.
  click->signal_released().connect([this](int presses, double x, double y) {
    Gtk::Widget* target = pick(x, y);
    const bool onReveal = target && (target == &reveal_ || target->is_ancestor(reveal_));
    if (presses == 1 && !onReveal) item_->open();
  });
  add_controller(click);
  trackHover(*this, [this](bool hovering) { setHovering(hovering); });

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

DownloadRow::~DownloadRow() { observer_.reset(); }

void DownloadRow::sync() {
  const std::string& filename = item_->filename.get();
  const auto state = item_->state.get();
  const bool hasDestination = item_->destination.get().has_value();

  if (name_.get_text().raw() != filename) {
    name_.set_text(filename);
    setAccessibleLabel(*this, filename);
    setAccessibleLabel(progress_, filename);
    // Every row has one: the name says which file each shows.
    setAccessibleLabel(
        reveal_, withArgument(localized("%@ dosyasını dosya yöneticisinde göster"), filename));
  }

  progress_.set_visible(state == DownloadItem::State::downloading);
  if (state == DownloadItem::State::downloading) progress_.set_fraction(item_->progress.get());
  stateLabel_.set_visible(state != DownloadItem::State::downloading);
  const bool failed = state == DownloadItem::State::failed;
  const auto& openFailure = item_->openFailure.get();
  const bool openFailed = state == DownloadItem::State::finished && openFailure;
  stateLabel_.set_text(localized(openFailed ? "Açılamadı" : (failed ? "Başarısız" : "Tamamlandı")));
  // Set only when it changes: setting a tooltip makes the toolkit look for one to show.
  const std::string tooltip = openFailed ? *openFailure : "";
  if (get_tooltip_text().raw() != tooltip) set_tooltip_text(tooltip);
  setCssClass(stateLabel_, "error", failed || openFailed);

  reveal_.set_visible(hasDestination);

  showsFileIcon_ = hasDestination && state == DownloadItem::State::finished;
  const std::string iconKey = showsFileIcon_ ? "file:" + filename : "generic";
  if (iconKey == iconKey_) return;
  iconKey_ = iconKey;
  if (showsFileIcon_) {
    setFileIcon(icon_, filename);
    icon_.set_pixel_size(kIconSize);
  } else {
    icon_.set_from_icon_name(symbolIconName("doc.fill"));
    icon_.set_pixel_size(kIconSize - 2 * kGenericIconInset);
  }
  setCssClass(icon_, "download-generic", !showsFileIcon_);
}

void DownloadRow::setHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  setCssClass(*this, "hovering", hovering_);
}

}  // namespace zemblo
