#include "model/localization_table.h"

#include <glib.h>

#include <nlohmann/json.hpp>

#include "model/model_resources.h"

namespace zemblo {
namespace {

bool isText(const nlohmann::json& value) {
  return value.is_string() && !value.get_ref<const std::string&>().empty();
}

}  // namespace

const LocalizationTable& LocalizationTable::builtIn() {
  static const LocalizationTable table(resources::localizationJson());
  return table;
}

LocalizationTable::LocalizationTable(std::string_view json) {
  const auto entries = nlohmann::json::parse(json, nullptr, false, true);
  if (!entries.is_array()) {
    unreadable_.push_back("the table is no JSON array");
    g_warning("The table of English texts is no JSON array: every text shows in Turkish");
    return;
  }
  for (const nlohmann::json& entry : entries) {
    if (!entry.is_array() || entry.size() != 2 || !isText(entry[0]) || !isText(entry[1])) {
      // Its text then shows in Turkish; the others still read.
      unreadable_.push_back(entry.dump());
      g_warning("An entry of the table of English texts is no pair of texts: %s",
                unreadable_.back().c_str());
      continue;
    }
    const std::string& turkish = texts_.emplace_back(entry[0].get<std::string>());
    const std::string& english = texts_.emplace_back(entry[1].get<std::string>());
    pairs_.push_back({turkish, english});
  }
}

std::span<const LocalizationPair> localizationPairs() {
  return LocalizationTable::builtIn().pairs();
}

}  // namespace zemblo
