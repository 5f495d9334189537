#pragma once

#include <cstdint>
#include <string>

namespace zemblo {

// A page's alert, confirm or prompt, as the browser shows it over the page's own tab.
struct PageDialog {
  enum class Kind { alert, confirm, prompt };
  Kind kind = Kind::alert;
  std::string heading;  // the page's host, or "This page says"
  std::string message;
  std::string defaultText;  // what a prompt's field starts with
  // Offers "Don't let this page show more dialogs".
  bool offersToStop = false;
  // Tells one dialog from the next with the same texts.
  std::uint64_t serial = 0;

  friend bool operator==(const PageDialog&, const PageDialog&) = default;
};

struct PageDialogAnswer {
  bool confirmed = false;  // OK rather than cancel
  std::string text;        // a prompt's field
  bool stopAsking = false;
};

}  // namespace zemblo
