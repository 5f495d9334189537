#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>

#include "platform/url.h"

namespace zemblo {

// What one tab lets its pages ask of the user through dialogs of their own (alerts, confirms,
// prompts, and anything else a page can raise, such as a print): a site whose dialogs the user
// stopped gets none until the user takes the tab to another site. The page's own reloads,
// redirects and changes of address never lift it, or a page would undo the stop at once.
class PageDialogGuard {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  // A site's next dialog within this time of its last one offers to stop its dialogs.
  static constexpr std::chrono::seconds kRepeatWindow{5};

  // A page committed in the tab; `byUser` when the user asked for it through the browser (an
  // address, a favourite, back or forward), not the page.
  void pageCommitted(const std::optional<Url>& address, bool byUser);
  // Whether the page shown may raise a dialog: no, once the user stopped its site's dialogs.
  bool allowsDialog() const;
  // Whether a dialog shown now offers to stop the site's dialogs: another of the same site's
  // dialogs ended within the repeat window.
  bool offersToStop(TimePoint now) const;
  // A dialog of the page shown ended; `stopAsked` when the user asked for no more of them.
  void dialogEnded(TimePoint now, bool stopAsked);

  // The site a page's dialogs are counted by: its registrable domain, else its host, else its
  // scheme (a file, a data page).
  static std::string siteOf(const std::optional<Url>& address);

 private:
  std::string site_;
  std::set<std::string> stopped_;
  std::optional<std::string> lastSite_;
  std::optional<TimePoint> lastEnded_;
};

}  // namespace zemblo
