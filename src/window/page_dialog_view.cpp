#include "window/page_dialog_view.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "model/localization.h"
#include "widgets/accessibility.h"
#include "widgets/child_layout.h"
#include "widgets/paint.h"
#include "window/window_resources.h"

namespace zemblo {
namespace {

constexpr int kCardWidth = 400;
constexpr int kInset = 24;
constexpr int kMessageHeight = 240;
constexpr size_t kLongMessage = 400;
constexpr long kLongLines = 8;

}  // namespace

PageDialogView::PageDialogView() : style_(Gtk::CssProvider::create()) {
  set_name("PageDialog");
  groupForScreenReaders(*this);
  set_visible(false);
  style_->load_from_data(resources::pageDialogStyleSheet());
  Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), style_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  setAccessibleRole(card_, Gtk::Accessible::Role::ALERT_DIALOG);
  card_.add_css_class("page-dialog-card");

  heading_.add_css_class("page-dialog-heading");
  heading_.set_wrap(true);
  heading_.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  heading_.set_xalign(0);
  // A page's text may be as long as it likes: it scrolls inside the card.
  message_.set_wrap(true);
  message_.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  message_.set_xalign(0);
  message_.set_valign(Gtk::Align::START);
  messageScroller_.set_child(message_);
  // No stop of its own between the offer and the buttons: the wheel scrolls it.
  messageScroller_.set_focusable(false);
  // A scroll bar that shows only under the pointer would leave a text cut at the pane's edge
  // with nothing to say that it goes on.
  messageScroller_.set_overlay_scrolling(false);
  stop_.set_label(localized("Bu sayfanın başka iletişim kutusu göstermesine izin verme"));

  cancel_.set_label(localized("Vazgeç"));
  ok_.set_label(localized("Tamam"));
  ok_.add_css_class("suggested-action");
  cancel_.signal_clicked().connect([this] { answer(false); });
  ok_.signal_clicked().connect([this] { answer(true); });
  buttons_.set_halign(Gtk::Align::END);
  buttons_.append(cancel_);
  buttons_.append(ok_);
  // Named by their text once, not by the text and again by the label inside.
  announceButtonsOnce(GTK_WIDGET(buttons_.gobj()));

  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{&heading_, &messageScroller_,
                                                                &entry_, &stop_, &buttons_}) {
    card_.append(*child);
  }
  card_.set_parent(*this);
  groupToolkitParts(card_);

  // Ahead of the focused control, so that Return on the box answers rather than ticks it; the
  // window's own shortcuts have run before this.
  auto keys = Gtk::EventControllerKey::create();
  keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  keys->signal_key_pressed().connect(
      [this](guint keyval, guint, Gdk::ModifierType) { return keyPressed(keyval); }, false);
  add_controller(keys);
  // A click on the veil stays here: the page under it waits for its answer.
  auto veil = Gtk::GestureClick::create();
  veil->signal_pressed().connect([this](int, double, double) { takeFocus(); });
  add_controller(veil);
}

PageDialogView::~PageDialogView() { card_.unparent(); }

void PageDialogView::setTab(const std::shared_ptr<BrowserTab>& tab) {
  std::optional<PageDialog> pending;
  if (tab) pending = tab->dialogs.pending.get();
  const bool again = tab != tab_ || pending != shown_;
  tab_ = tab;
  shown_ = pending;
  set_visible(pending.has_value());
  if (!pending || !again) return;
  fill(*pending);
  takeFocus();
}

void PageDialogView::fill(const PageDialog& dialog) {
  heading_.set_text(dialog.heading);
  message_.set_text(dialog.message);
  messageScroller_.set_visible(!dialog.message.empty());
  // A scroll bar holds the pane at its own least height, taller than a line or two of text: only
  // a long text gets one.
  const bool longText = dialog.message.size() > kLongMessage ||
                        std::count(dialog.message.begin(), dialog.message.end(), '\n') > kLongLines;
  messageScroller_.set_policy(Gtk::PolicyType::NEVER,
                              longText ? Gtk::PolicyType::AUTOMATIC : Gtk::PolicyType::NEVER);
  messageScroller_.set_min_content_height(longText ? kMessageHeight : -1);
  setAccessibleName(card_, dialog.heading);
  setAccessibleDescription(card_, dialog.message);
  entry_.set_visible(dialog.kind == PageDialog::Kind::prompt);
  entry_.set_text(dialog.defaultText);
  cancel_.set_visible(dialog.kind != PageDialog::Kind::alert);
  stop_.set_visible(dialog.offersToStop);
  stop_.set_active(false);
}

void PageDialogView::takeFocus() {
  if (!get_visible()) return;
  if (entry_.get_visible()) {
    entry_.grab_focus();
    entry_.select_region(0, -1);
  } else {
    ok_.grab_focus();
  }
}

void PageDialogView::answer(bool confirmed) {
  if (!tab_ || !shown_) return;
  PageDialogAnswer answer;
  answer.confirmed = confirmed;
  answer.text = entry_.get_text();
  answer.stopAsking = stop_.get_visible() && stop_.get_active();
  // The tab's change hides this view on the next sync; the page may ask again meanwhile.
  const auto tab = tab_;
  const bool hadKeyboard = get_focus_child() != nullptr;
  tab->dialogs.answer(answer);
  // The keyboard goes back to the page rather than to nothing.
  if (WebViewPort* page = tab->storedWebView(); page && hadKeyboard) page->focusIfShown();
}

bool PageDialogView::keyPressed(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Escape:
      answer(false);
      return true;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      // A focused button answers for itself (Cancel); Return anywhere else is OK.
      if (cancel_.has_focus()) return false;
      answer(true);
      return true;
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab:
      moveFocus(keyval != GDK_KEY_ISO_Left_Tab);
      return true;
    default:
      return false;
  }
}

void PageDialogView::moveFocus(bool forward) {
  const auto direction =
      forward ? Gtk::DirectionType::TAB_FORWARD : Gtk::DirectionType::TAB_BACKWARD;
  if (card_.child_focus(direction)) return;
  // Round from the last control to the first: the keyboard stays on the dialog until it is
  // answered, or until the browser's own keys take it elsewhere.
  if (auto* root = get_root()) root->unset_focus();
  card_.child_focus(direction);
}

Gtk::SizeRequestMode PageDialogView::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void PageDialogView::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                   int& minimum_baseline, int& natural_baseline) const {
  // Whatever the card gives it; the dialog's own card is clipped to it.
  minimum = natural = 0;
  minimum_baseline = natural_baseline = -1;
}

void PageDialogView::size_allocate_vfunc(int width, int height, int) {
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  card_.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
  const int cardWidth = std::max(minimum, std::min(kCardWidth, width - 2 * kInset));
  card_.measure(Gtk::Orientation::VERTICAL, cardWidth, minimum, natural, b1, b2);
  const int cardHeight = std::max(minimum, std::min(natural, height - 2 * kInset));
  allocateChild(card_, std::max(0, (width - cardWidth) / 2), std::max(0, (height - cardHeight) / 3),
                cardWidth, cardHeight);
}

void PageDialogView::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  const GdkRGBA veil = paint::grey(0, 0.3);
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  gtk_snapshot_append_color(snapshot->gobj(), &veil, &bounds);
  snapshot_child(card_, snapshot);
}

}  // namespace zemblo
