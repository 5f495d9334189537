#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zemblo {

// Which document of a page raised a dialog, as far as the browser can prove it: the page itself
// (or a frame of its origin), an embedded page of another origin, or none it can tell. The hosts
// are those of the documents that asked, never the address the tab shows, which may already be
// the next page's.
struct DialogSource {
  enum class Kind { page, embedded, unknown };
  Kind kind = Kind::unknown;
  std::string host;          // the page's
  std::string embeddedHost;  // an embedded page's

  friend bool operator==(const DialogSource&, const DialogSource&) = default;
};

// Who asks, as the dialog's heading says it: the page's host, the page's and an embedded page's,
// or "This page says" where the source or its host can't be told.
std::string dialogHeading(const DialogSource& source);

// A page's alert, confirm or prompt, as the browser shows it over the page's own tab.
struct PageDialog {
  enum class Kind { alert, confirm, prompt };
  Kind kind = Kind::alert;
  std::string heading;  // who asks: the page's host, an embedded page's, or "This page says"
  std::string message;
  std::string defaultText;  // what a prompt's field starts with
  // Offers "Don't let this page show more dialogs".
  bool offersToStop = false;
  // Tells one dialog from the next with the same texts.
  std::uint64_t serial = 0;

  friend bool operator==(const PageDialog&, const PageDialog&) = default;
};

// What a dialog shows of a text the page gave: at most `characters` characters and `lines`
// lines, cut with an ellipsis when it goes on. A label lays out all it holds on the main thread,
// so a page's megabyte would hold every window; only the part kept is read.
std::string shownPageText(std::string_view text, size_t characters, size_t lines);

struct PageDialogAnswer {
  bool confirmed = false;  // OK rather than cancel
  std::string text;        // a prompt's field
  bool stopAsking = false;
};

}  // namespace zemblo
