#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "filter_rule_converter.h"
#include "fuzz_check.h"

namespace {

// Every rule is one the engine can read: a trigger whose url-filter is an ASCII regular
// expression, and an action. One malformed rule would make the engine refuse the whole list.
void checkRules(const std::string& text, size_t expectedCount) {
  const auto rules = nlohmann::json::parse(text, nullptr, false);
  FUZZ_CHECK(rules.is_array() && rules.size() == expectedCount);
  for (const auto& rule : rules) {
    FUZZ_CHECK(rule.contains("action") && rule["action"].contains("type"));
    const auto& filter = rule.at("trigger").at("url-filter");
    FUZZ_CHECK(filter.is_string());
    const std::string pattern = filter.get<std::string>();
    for (const char c : pattern) FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
    try {
      std::regex compiled(pattern, std::regex::ECMAScript);
    } catch (const std::regex_error&) {
      FUZZ_CHECK(!"url-filter is not a regular expression");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zemblo::filter_rules;
  const std::string_view list = zemblo::fuzz::text(data, size);
  RuleListBuilder builder;
  const ListStats stats = builder.addList(list);
  FUZZ_CHECK(stats.kept <= stats.filters && stats.rules == builder.ruleCount());
  checkRules(builder.json(), builder.ruleCount());

  // Trimming to a limit never drops more than it must.
  const size_t before = builder.ruleCount();
  const size_t limit = before / 2;
  const size_t dropped = builder.limitTo(limit);
  FUZZ_CHECK(builder.ruleCount() == before - dropped);
  FUZZ_CHECK(dropped == 0 || builder.ruleCount() >= limit);
  checkRules(builder.json(), builder.ruleCount());
  return 0;
}
