#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/records.h"
#include "platform/url.h"

namespace zemblo {

class BrowserTab;
class HistoryModel;
class WindowModel;

// One row under the command bar's field: an address to open, a search, an open tab to switch
// to, or a page from the history. Two rows are equal when they would do the same thing: the same
// address, the same search, the same tab or the same history visit (by its id, whatever the
// title has become since).
class Suggestion {
 public:
  enum class Kind { open, search, tab, history };

  static Suggestion open(Url url) { return Suggestion(std::move(url)); }
  static Suggestion search(std::string query) { return Suggestion(std::move(query)); }
  // Holds the tab itself, so that choosing the row selects that very tab.
  static Suggestion tab(std::shared_ptr<BrowserTab> tab) { return Suggestion(std::move(tab)); }
  static Suggestion history(HistoryEntry entry) { return Suggestion(std::move(entry)); }

  Kind kind() const { return static_cast<Kind>(payload_.index()); }

  // The payload of the matching kind; none for any other kind.
  const Url* openURL() const { return std::get_if<Url>(&payload_); }
  const std::string* query() const { return std::get_if<std::string>(&payload_); }
  std::shared_ptr<BrowserTab> browserTab() const;
  const HistoryEntry* historyEntry() const { return std::get_if<HistoryEntry>(&payload_); }

  friend bool operator==(const Suggestion& a, const Suggestion& b);

 private:
  // One alternative per kind, in the order of `Kind`.
  using Payload = std::variant<Url, std::string, std::shared_ptr<BrowserTab>, HistoryEntry>;
  explicit Suggestion(Payload payload) : payload_(std::move(payload)) {}

  Payload payload_;
};

// The command bar's rows for what the user typed, recomputed on every keystroke from the live
// model: with an empty query the first 6 tabs of the current space; otherwise the typed address
// (if the text is one), the search, up to 3 matching tabs of the current space and up to 5
// matching history pages, newest first, that repeat no address already listed. Matching is
// case-insensitive and independent of the user's locale. Main thread only.
std::vector<Suggestion> suggestions(const WindowModel& openTabs, const HistoryModel& history,
                                    std::string_view query);

}  // namespace zemblo
