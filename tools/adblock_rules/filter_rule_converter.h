#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

// Turns ad-block filter lists (the EasyList syntax) into the web engine's content-rule JSON.
// Only what the engine can express is kept: network filters with plain or domain-anchored
// patterns and their party, type and domain options; exceptions; element hiding without
// procedural selectors. Everything else (regular expressions, redirects, scriptlets, CSP,
// procedural cosmetics, page-level exceptions) is skipped.
namespace zemblo::filter_rules {

// The engine applies rules in list order and an "ignore-previous-rules" action undoes only the
// rules before it, so every converted rule belongs to one block of the output, in this order.
// Hiding rules that apply everywhere come first: before any exception the engine folds them
// into one shared style sheet.
enum class Stage { genericHiding, block, siteHiding, exception, important };
inline constexpr size_t kStageCount = 5;

// The most rules the engine compiles in one list.
inline constexpr size_t kEngineRuleLimit = 150'000;

struct ContentRule {
  Stage stage;
  nlohmann::ordered_json json;
};

// The rules one line of a filter list becomes: none for comments, headers and filters the
// engine cannot express.
std::vector<ContentRule> convertFilter(std::string_view line);

// The url-filter regular expression of a filter pattern in the engine's subset (no alternation,
// no counted repetition, ASCII only), or nothing when the pattern cannot be expressed.
std::optional<std::string> urlFilterFor(std::string_view pattern);

struct ListStats {
  size_t filters = 0;  // lines that are filters, not comments
  size_t kept = 0;     // filters that gave at least one rule
  size_t rules = 0;    // rules added to the output (duplicates of earlier rules not counted)
};

// Collects the rules of several lists, drops exact duplicates and writes them in stage order.
class RuleListBuilder {
 public:
  ListStats addList(std::string_view text);
  // Drops block rules of the lists added last until at most `limit` rules remain, so that hiding
  // rules and exceptions survive; the number dropped.
  size_t limitTo(size_t limit);
  size_t ruleCount() const;
  // The whole list as a JSON array, one rule per line.
  std::string json() const;

 private:
  std::array<std::vector<std::string>, kStageCount> stages_;
  std::unordered_set<std::string> seen_;
};

}  // namespace zemblo::filter_rules
