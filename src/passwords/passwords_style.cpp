#include "passwords/passwords_style.h"

namespace zemblo {
namespace {

constexpr const char* kStyleSheet = R"css(
.lock-title { font-size: 24px; font-weight: 600; }
.lock-explanation { font-size: 13px; }
.lock-error { font-size: 12px; color: @error_color; }
.lock-notice { font-size: 12px; }
.lock-badge-symbol { color: white; }

.credential-row-host { font-size: 13px; font-weight: 500; }
.credential-row-username { font-size: 11px; }
.credential-icon-tile { background-color: alpha(@window_fg_color, 0.06); border-radius: 16px; }
.credential-title { font-size: 22px; font-weight: 600; }
.credential-date { font-size: 12px; }
.credential-card {
  background-color: alpha(@window_fg_color, 0.04);
  border: 1px solid alpha(@window_fg_color, 0.08);
  border-radius: 12px;
}
.credential-field { padding: 12px 16px; }
.credential-field-caption { font-size: 11px; font-weight: 600; }
.credential-field-value { font-size: 13px; }
button.credential-action {
  min-width: 28px; min-height: 28px; padding: 0;
  background-color: alpha(@window_fg_color, 0.06);
}
button.credential-action:hover { background-color: alpha(@window_fg_color, 0.12); }
.credential-delete, .destructive-text { color: @destructive_color; }

.import-sheet-title { font-size: 20px; font-weight: 600; }
.import-sheet-subtitle { font-size: 12px; }
.import-source-picker button { padding: 4px 6px; min-width: 0; }
.import-steps { background-color: alpha(@window_fg_color, 0.04); border-radius: 12px; padding: 16px; }
.import-step-number { font-size: 11px; font-weight: 700; color: white; }
.import-step-text { font-size: 13px; }
.import-drop-zone {
  border: 1.5px dashed alpha(@window_fg_color, 0.18);
  border-radius: 14px;
  padding: 22px 0;
  transition: background-color 200ms, border-color 200ms;
}
.import-drop-symbol { color: alpha(@window_fg_color, 0.55); }
.import-drop-title { font-size: 13px; font-weight: 500; }
.import-footer { font-size: 11px; }
.import-headline { font-size: 22px; font-weight: 600; }
.import-summary { font-size: 12px; }
.import-warning { background-color: alpha(@warning_color, 0.1); border-radius: 12px; padding: 14px; }
.import-warning-symbol { color: @warning_color; }
.import-warning-text { font-size: 12px; }
button.import-trash { min-height: 24px; padding: 2px 10px; font-size: 12px; }
.import-failed-symbol { color: @error_color; }
.import-failed-title { font-size: 20px; font-weight: 600; }
.import-failed-message { font-size: 13px; }

@keyframes import-bounce-a {
  0% { -gtk-icon-transform: scale(1); }
  40% { -gtk-icon-transform: scale(1.18); }
  100% { -gtk-icon-transform: scale(1); }
}
@keyframes import-bounce-b {
  0% { -gtk-icon-transform: scale(1); }
  40% { -gtk-icon-transform: scale(1.18); }
  100% { -gtk-icon-transform: scale(1); }
}
.bounce-a { animation: import-bounce-a 350ms ease-out; }
.bounce-b { animation: import-bounce-b 350ms ease-out; }
)css";

}  // namespace

PasswordsStyle::PasswordsStyle() : provider_(Gtk::CssProvider::create()) {
  provider_->load_from_data(kStyleSheet);
  Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), provider_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

PasswordsStyle::~PasswordsStyle() {
  Gtk::StyleContext::remove_provider_for_display(Gdk::Display::get_default(), provider_);
}

}  // namespace zemblo
