#include "window/load_error_view.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "model/certificate_texts.h"
#include "model/localization.h"
#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

// One row of the certificate's details; the certificate's own words are shown as they come.
void addDetail(Gtk::Grid& grid, int row, const std::string& name, const std::string& value) {
  auto* key = Gtk::make_managed<Gtk::Label>(name);
  key->set_xalign(1);
  key->set_valign(Gtk::Align::START);
  key->add_css_class("fg-secondary");
  auto* text = Gtk::make_managed<Gtk::Label>(value);
  text->set_xalign(0);
  text->set_wrap(true);
  text->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  text->set_max_width_chars(40);
  text->set_selectable(true);
  grid.attach(*key, 0, row);
  grid.attach(*text, 1, row);
}

// What went wrong, in the browser's words; the engine's own stay behind the details.
std::string causeText(BrowserTab::FailureCause cause) {
  using Cause = BrowserTab::FailureCause;
  switch (cause) {
    case Cause::nameNotResolved:
      return localized("Bu adreste bir sunucu bulunamadı. Adresin doğru yazıldığından emin ol.");
    case Cause::connectionRefused:
      return localized(
          "Sunucu bağlantıyı reddetti. Site kapalı olabilir ya da başka bir bağlantı noktasında "
          "çalışıyor olabilir.");
    case Cause::timedOut:
      return localized("Sunucu zamanında yanıt vermedi. Biraz sonra tekrar dene.");
    case Cause::connectionReset:
      return localized("Sunucuyla bağlantı yarıda kesildi. Tekrar dene.");
    case Cause::tooManyRedirects:
      return localized(
          "Bu sayfa çok fazla yönlendirme yaptı. Sitenin çerezlerini silmek işe yarayabilir.");
    case Cause::secureConnectionFailed:
      return localized("Bu siteyle güvenli bir bağlantı kurulamadı.");
    case Cause::pageKeptCrashing:
      return localized("Bu sayfayı gösteren süreç tekrar tekrar durdu.");
    case Cause::unknown:
      break;
  }
  return localized("Sayfa yüklenirken bir sorun oluştu.");
}

}  // namespace

void LimitedLabel::measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum,
                                 int& natural, int& minimum_baseline, int& natural_baseline) const {
  const bool horizontal = orientation == Gtk::Orientation::HORIZONTAL;
  if (!horizontal && limit_ >= 0 && (for_size < 0 || for_size > limit_)) for_size = limit_;
  Gtk::Label::measure_vfunc(orientation, for_size, minimum, natural, minimum_baseline,
                            natural_baseline);
  if (horizontal && limit_ >= 0) {
    natural = std::min(natural, limit_);
    minimum = std::min(minimum, natural);
  }
}

LoadErrorView::LoadErrorView() {
  set_name("LoadErrorView");
  groupForScreenReaders(*this);
  set_layout_manager(Gtk::BinLayout::create());
  add_css_class("zemblo-load-error");

  icon_.set_name("LoadErrorIcon");
  icon_.set_from_icon_name(symbolIconName("wifi.exclamationmark"));
  presentAsDecoration(icon_);
  icon_.set_pixel_size(symbolPixelSize(44));
  icon_.set_margin_bottom(4);
  icon_.add_css_class("fg-secondary");

  title_.add_css_class("title");
  title_.add_css_class("font-rounded");
  title_.set_justify(Gtk::Justification::CENTER);
  title_.set_wrap(true);

  message_.setWidthLimit(kMessageMaxWidth);
  message_.add_css_class("message");
  message_.add_css_class("fg-secondary");
  message_.set_wrap(true);
  message_.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  message_.set_justify(Gtk::Justification::CENTER);
  message_.set_selectable(false);

  host_.add_css_class("host");
  host_.add_css_class("fg-tertiary");
  host_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  host_.set_max_width_chars(48);

  retryButton_.add_css_class("pill");
  retryButton_.add_css_class("suggested-action");
  retryButton_.add_css_class("retry");
  retryButton_.signal_clicked().connect([this] { retry(); });
  detailsButton_.add_css_class("pill");
  detailsButton_.add_css_class("details");
  detailsButton_.signal_clicked().connect([this] { toggleDetails(); });
  buttons_.set_margin_top(6);
  buttons_.set_halign(Gtk::Align::CENTER);
  buttons_.append(retryButton_);
  buttons_.append(detailsButton_);

  certificateGrid_.set_column_spacing(12);
  certificateGrid_.set_row_spacing(6);
  certificateGrid_.set_halign(Gtk::Align::CENTER);
  visitAnywayButton_.add_css_class("pill");
  visitAnywayButton_.add_css_class("destructive-action");
  visitAnywayButton_.set_halign(Gtk::Align::CENTER);
  visitAnywayButton_.signal_clicked().connect([this] { visitAnyway(); });
  engineMessage_.add_css_class("engine-message");
  engineMessage_.add_css_class("fg-tertiary");
  engineMessage_.set_wrap(true);
  engineMessage_.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  engineMessage_.setWidthLimit(kMessageMaxWidth);
  engineMessage_.set_justify(Gtk::Justification::CENTER);
  engineMessage_.set_selectable(true);
  details_.append(engineMessage_);
  details_.append(certificateGrid_);
  details_.append(visitAnywayButton_);
  details_.set_name("CertificateDetails");
  details_.set_margin_top(6);
  details_.set_visible(false);

  column_.set_halign(Gtk::Align::CENTER);
  column_.set_valign(Gtk::Align::CENTER);
  column_.set_margin(40);
  column_.append(icon_);
  column_.append(title_);
  column_.append(message_);
  column_.append(host_);
  column_.append(buttons_);
  column_.append(details_);
  column_.set_parent(*this);

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

LoadErrorView::~LoadErrorView() {
  observer_.reset();
  column_.unparent();
}

void LoadErrorView::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  observer_->syncNow();
}

void LoadErrorView::sync() {
  const auto error = tab_ ? tab_->loadError.get() : std::nullopt;
  const bool appearing = error.has_value() && !get_visible();
  set_visible(error.has_value());
  if (!error) return;
  if (appearing) {
    details_.set_visible(false);
    takeFocusFromTheCard();
  }
  retryButton_.set_label(error->resendsForm ? localized("Tekrar Gönder")
                                            : localized("Tekrar Dene"));
  detailsButton_.set_label(localized("Ayrıntılar"));
  visitAnywayButton_.set_label(localized("Yine de ziyaret et (güvenli değil)"));
  const auto host = hostLine(*tab_);
  host_.set_visible(host.has_value());
  host_.set_text(host.value_or(""));
  syncCertificate();
}

void LoadErrorView::syncCertificate() {
  const auto& error = tab_->loadError.peek();
  const auto& certificate = error->certificate;
  detailsButton_.set_visible(certificate.has_value() ||
                             (!error->resendsForm && !error->message.empty()));
  engineMessage_.set_visible(!certificate);
  certificateGrid_.set_visible(certificate.has_value());
  visitAnywayButton_.set_visible(certificate.has_value());
  if (error->resendsForm) {
    details_.set_visible(false);
    icon_.set_from_icon_name(symbolIconName("doc.badge.arrow.up"));
    title_.set_text(
        localized("Bu sayfa, gönderdiğiniz formdan oluşturuldu. Tekrar gönderilsin mi?"));
    message_.set_text(
        localized("Tekrar göndermek, formun yaptığını (örneğin bir ödemeyi) yineleyebilir."));
    return;
  }
  if (!certificate) {
    details_.set_visible(false);
    icon_.set_name("LoadErrorIcon");
    icon_.set_from_icon_name(symbolIconName("wifi.exclamationmark"));
    title_.set_text(localized("Bu sayfaya ulaşılamadı"));
    message_.set_text(causeText(error->cause));
    // The engine's words and the host are shown as they come, never translated or read as
    // markup.
    engineMessage_.set_text(error->message);
    return;
  }
  icon_.set_from_icon_name(symbolIconName("exclamationmark.triangle.fill"));
  title_.set_text(localized("Bu sitenin sertifikasına güvenilmiyor"));
  message_.set_text(certificateFaultLines(*certificate));
  while (Gtk::Widget* row = certificateGrid_.get_first_child()) certificateGrid_.remove(*row);
  int row = 0;
  for (const auto& [name, value] : certificateDetails(*certificate)) {
    addDetail(certificateGrid_, row++, name, value);
  }
}

void LoadErrorView::toggleDetails() {
  const auto& error = tab_ ? tab_->loadError.peek() : std::nullopt;
  if (!error || error->resendsForm) return;
  details_.set_visible(!details_.get_visible());
}

void LoadErrorView::visitAnyway() {
  if (tab_) tab_->navigation.visitDespiteCertificate();
}

void LoadErrorView::takeFocusFromTheCard() {
  // Whoever typed the address or worked in the page goes on with the keyboard here; focus the
  // user put elsewhere (the sidebar, the command bar) stays where it is.
  auto* root = dynamic_cast<Gtk::Window*>(get_root());
  Gtk::Widget* card = get_parent();
  if (!root || !card) return;
  Gtk::Widget* focus = root->get_focus();
  if (!focus || focus == card || focus->is_ancestor(*card)) retryButton_.grab_focus();
}

void LoadErrorView::retry() {
  if (!tab_) return;
  const auto& error = tab_->loadError.peek();
  if (error && error->resendsForm) {
    tab_->navigation.resendForm();
  } else {
    tab_->reload();
  }
}

std::optional<std::string> LoadErrorView::hostLine(const BrowserTab& tab) {
  const auto& error = tab.loadError.peek();
  if (!error || !error->url) return std::nullopt;
  return error->url->host();
}

}  // namespace zemblo
