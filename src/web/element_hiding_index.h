#pragma once

#include <webkit/webkit.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zemblo::element_hiding {

// A content-rule list taken apart: what the engine compiles, and the hiding rules that apply on
// every page, which the engine would parse as one style sheet of thousands of selectors for every
// new document (tens of milliseconds of each page load). Those go into an index by the class or id
// each selector needs; the blocker's page script asks it only for the classes and ids a page has.
struct SplitRules {
  std::string engineRules;  // the engine's JSON format
  // A line for each key (".class" or "#id" in lower case) and one without a key for the
  // selectors that need none, then the selectors, each after a tab. Read in a few milliseconds
  // at start-up, when loads wait for the blocker.
  std::string index;
};

// The list without its every-page hiding rules, and their index; the rules as they are (and an
// empty index) when they are not a JSON array, so that the engine reports on them as it would.
SplitRules split(std::string_view rules);

// The class or id ("." or "#" and the name, in lower case) that every element a selector matches
// needs on itself or on another element of the document; none when the selector has none outside
// parentheses (which :not() may negate) that is plain ASCII without escapes.
std::optional<std::string> requiredKey(std::string_view selector);

// The file the index of the list stored under `identifier` is kept in, in the store's folder.
std::filesystem::path indexFile(const std::filesystem::path& store, std::string_view identifier);

// The index read back.
class Index {
 public:
  static std::shared_ptr<const Index> parse(std::string_view text);

  // The selectors of those keys the index has, and with `withAlways` those that need no key.
  std::vector<std::string> selectorsFor(const std::vector<std::string>& keys,
                                        bool withAlways) const;

 private:
  std::vector<std::string> always_;
  std::unordered_map<std::string, std::vector<std::string>> keyed_;
};

// The page script, in every frame from the document's start, and the handler that adds the rules
// of the classes and ids it names to the content manager's user style sheets, from the index
// installed there, whose rules that need neither go in at once; what a page names beyond the limits
// of one message is not looked up. Removing takes the script and those style sheets away again.
void addTo(WebKitUserContentManager* contentManager, WebKitUserScript* script,
           std::weak_ptr<const Index> index);
void removeFrom(WebKitUserContentManager* contentManager, WebKitUserScript* script);
// The page script, made once per list.
WebKitUserScript* newPageScript();

}  // namespace zemblo::element_hiding
