#include "model/suggestions.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "model/browser_tab.h"
#include "model/history_model.h"
#include "model/typed_input.h"
#include "model/window_model.h"
#include "platform/text.h"

namespace zemblo {
namespace {

constexpr size_t kTabsForEmptyQuery = 6;
constexpr size_t kMatchingTabLimit = 3;
constexpr size_t kHistoryLimit = 5;

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool isAscii(std::string_view text) {
  unsigned char bits = 0;
  for (const char c : text) bits |= static_cast<unsigned char>(c);
  return bits < 0x80;
}

// Answers whether a text, lower-cased, contains the lower-cased query. Runs for every tab and
// history entry on every keystroke, so it avoids making a lower-cased copy of each text: ASCII
// text (nearly every address and most titles) is compared in place, and other text is lower-cased
// into one buffer kept for the whole scan.
class LowercasedSearch {
 public:
  explicit LowercasedSearch(std::string_view query) : needle_(unicodeLowercased(query)) {}

  bool foundIn(std::string_view text) {
    if (isAscii(text)) return asciiContains(text);
    lowercaseIntoBuffer(text);
    return buffer_.find(needle_) != std::string::npos;
  }

 private:
  // ASCII text lower-cases byte by byte, and a needle with other characters cannot occur in it.
  bool asciiContains(std::string_view text) const {
    if (needle_.empty()) return true;
    const char first = needle_.front();
    if (first >= 'a' && first <= 'z') {
      return asciiContainsFrom(text, first) ||
             asciiContainsFrom(text, static_cast<char>(first - 32));
    }
    return asciiContainsFrom(text, first);
  }

  // Whether the needle occurs at a place where the text holds `first`.
  bool asciiContainsFrom(std::string_view text, char first) const {
    const size_t length = needle_.size();
    if (length > text.size()) return false;
    const char* candidate = text.data();
    const char* const last = text.data() + (text.size() - length);
    while (candidate <= last) {
      candidate = static_cast<const char*>(
          std::memchr(candidate, first, static_cast<size_t>(last - candidate) + 1));
      if (!candidate) return false;
      size_t j = 1;
      while (j < length && asciiLower(candidate[j]) == needle_[j]) ++j;
      if (j == length) return true;
      ++candidate;
    }
    return false;
  }

  // ASCII bytes never occur inside a multi-byte character, so the text can be lower-cased one
  // run at a time: ASCII runs here, the runs of other characters by the full Unicode rule.
  void lowercaseIntoBuffer(std::string_view text) {
    buffer_.clear();
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = pos;
      const bool ascii = static_cast<unsigned char>(text[pos]) < 0x80;
      while (end < text.size() && (static_cast<unsigned char>(text[end]) < 0x80) == ascii) ++end;
      const std::string_view run = text.substr(pos, end - pos);
      if (ascii) {
        const size_t start = buffer_.size();
        buffer_.resize(start + run.size());
        std::transform(run.begin(), run.end(), buffer_.begin() + static_cast<ptrdiff_t>(start),
                       asciiLower);
      } else {
        buffer_ += unicodeLowercased(run);
      }
      pos = end;
    }
  }

  std::string needle_;
  std::string buffer_;
};

bool tabMatches(const BrowserTab& tab, LowercasedSearch& search) {
  const std::string& title = tab.title.get();
  const bool titleMatches =
      title.empty() ? search.foundIn(tab.displayTitle()) : search.foundIn(title);
  if (titleMatches) return true;
  const auto& address = tab.url.get();
  return address && search.foundIn(address->str());
}

// The addresses already listed. It never holds more than nine texts, so a list beats a hash.
class ListedAddresses {
 public:
  bool contains(std::string_view address) const {
    return std::find(texts_.begin(), texts_.end(), address) != texts_.end();
  }
  // The text must outlive this list.
  void add(std::string_view address) { texts_.push_back(address); }
  void reserve(size_t count) { texts_.reserve(count); }

 private:
  std::vector<std::string_view> texts_;
};

}  // namespace

std::shared_ptr<BrowserTab> Suggestion::browserTab() const {
  const auto* tab = std::get_if<std::shared_ptr<BrowserTab>>(&payload_);
  return tab ? *tab : nullptr;
}

bool operator==(const Suggestion& a, const Suggestion& b) {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case Suggestion::Kind::open:
      return *a.openURL() == *b.openURL();
    case Suggestion::Kind::search:
      return *a.query() == *b.query();
    case Suggestion::Kind::tab:
      return a.browserTab()->id == b.browserTab()->id;
    case Suggestion::Kind::history:
      return a.historyEntry()->id == b.historyEntry()->id;
  }
  return false;
}

std::vector<Suggestion> suggestions(const WindowModel& openTabs, const HistoryModel& history,
                                    std::string_view query) {
  const std::string_view trimmed = trimmedWhitespaceAndNewlines(query);
  const auto space = openTabs.currentSpace();
  const auto& tabs = space->tabs.get();
  std::vector<Suggestion> result;

  if (trimmed.empty()) {
    const size_t count = std::min(tabs.size(), kTabsForEmptyQuery);
    result.reserve(count);
    for (size_t i = 0; i < count; ++i) result.push_back(Suggestion::tab(tabs[i]));
    return result;
  }

  result.reserve(2 + kMatchingTabLimit + kHistoryLimit);
  ListedAddresses listed;
  listed.reserve(1 + kMatchingTabLimit + kHistoryLimit);
  const std::optional<Url> typed = urlFromUserInput(trimmed);
  if (typed) {
    result.push_back(Suggestion::open(*typed));
    listed.add(typed->str());
  }
  result.push_back(Suggestion::search(std::string(trimmed)));

  LowercasedSearch search(trimmed);
  // Stopping at the third match gives the same rows as scanning every tab: a later tab can only
  // enter the list when one of the first three changes, and that change is read here too.
  size_t matchingTabs = 0;
  for (const auto& tab : tabs) {
    if (matchingTabs == kMatchingTabLimit) break;
    if (!tabMatches(*tab, search)) continue;
    result.push_back(Suggestion::tab(tab));
    if (const auto& address = tab->url.get()) listed.add(address->str());
    ++matchingTabs;
  }

  size_t pages = 0;
  for (const auto& entry : history.entries.get()) {
    if (pages == kHistoryLimit) break;
    const std::string& address = entry.url.str();
    if (listed.contains(address)) continue;
    if (!search.foundIn(entry.title) && !search.foundIn(address)) continue;
    listed.add(address);
    result.push_back(Suggestion::history(entry));
    ++pages;
  }
  return result;
}

}  // namespace zemblo
