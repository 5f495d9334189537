#include "web/element_hiding_index.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <unordered_set>
#include <utility>

#include "model/ad_blocker.h"
#include "web/page_script_channel.h"
#include "web/web_resources.h"

namespace zemblo::element_hiding {
namespace {

using Json = nlohmann::json;

// Reached only from the blocker's script world.
constexpr const char* kHandler = "zembloHiding";
constexpr const char* kIndexDataKey = "zemblo-element-hiding-index";
constexpr const char* kHandlerDataKey = "zemblo-element-hiding-handler";
// A page asks for what it has in batches; more than this in one message is not looked up.
constexpr size_t kMaxKeysPerMessage = 4096;
constexpr size_t kMaxKeyLength = 256;

bool isNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

// A rule of the engine's format that hides on every page of every site, whatever loads it.
bool hidesEverywhere(const Json& rule) {
  if (!rule.is_object()) return false;
  const auto trigger = rule.find("trigger");
  const auto action = rule.find("action");
  if (trigger == rule.end() || action == rule.end() || !trigger->is_object() ||
      !action->is_object() || trigger->size() != 1) {
    return false;
  }
  const auto filter = trigger->find("url-filter");
  const auto type = action->find("type");
  const auto selector = action->find("selector");
  return filter != trigger->end() && *filter == ".*" && type != action->end() &&
         *type == "css-display-none" && selector != action->end() && selector->is_string();
}

// The plain key at `at` ("." or "#" and a name), if the name is one.
std::optional<std::string> keyAt(std::string_view selector, size_t at) {
  size_t end = at + 1;
  while (end < selector.size() && isNameCharacter(selector[end])) ++end;
  std::string key(selector.substr(at, end - at));
  const bool escaped = end < selector.size() && selector[end] == '\\';
  const bool ascii = std::none_of(key.begin(), key.end(),
                                  [](char k) { return static_cast<unsigned char>(k) >= 0x80; });
  if (key.size() < 2 || escaped || !ascii) return std::nullopt;
  // Quirks-mode documents match classes and ids regardless of case; the page script asks in
  // lower case too.
  for (char& k : key) k = (k >= 'A' && k <= 'Z') ? char(k - 'A' + 'a') : k;
  return key;
}

// What one content manager shows of an index: the keys already asked for and the style sheets
// they brought, which go with the list.
struct Installed {
  explicit Installed(std::weak_ptr<const Index> index) : index(std::move(index)) {}
  ~Installed() {
    for (WebKitUserStyleSheet* sheet : sheets) webkit_user_style_sheet_unref(sheet);
  }
  Installed(const Installed&) = delete;
  Installed& operator=(const Installed&) = delete;

  std::weak_ptr<const Index> index;
  std::unordered_set<std::string> asked;
  std::vector<WebKitUserStyleSheet*> sheets;  // owned
};

// Hides what the selectors select, in every page of the web view, with a user style sheet as the
// engine's own hiding does: the page's document gets no element of ours, and the rules win over
// the page's own.
void addSheet(WebKitUserContentManager* contentManager, Installed& installed,
              const std::vector<std::string>& selectors) {
  if (selectors.empty()) return;
  // A rule for each selector: one the style engine rejects takes no other with it.
  std::string css;
  for (const auto& selector : selectors) css += selector + " { display: none !important; }\n";
  WebKitUserStyleSheet* sheet =
      webkit_user_style_sheet_new(css.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                  WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
  webkit_user_content_manager_add_style_sheet(contentManager, sheet);
  installed.sheets.push_back(sheet);
}

std::vector<std::string> keysOf(JSCValue* message) {
  std::vector<std::string> keys;
  JSCValue* list = jsc_value_object_get_property(message, "keys");
  if (jsc_value_is_array(list)) {
    JSCValue* length = jsc_value_object_get_property(list, "length");
    const size_t count =
        std::min<size_t>(kMaxKeysPerMessage, std::max(0, jsc_value_to_int32(length)));
    g_object_unref(length);
    for (size_t i = 0; i < count; ++i) {
      JSCValue* key = jsc_value_object_get_property_at_index(list, guint(i));
      if (jsc_value_is_string(key)) {
        char* text = jsc_value_to_string(key);
        if (std::strlen(text) <= kMaxKeyLength) keys.emplace_back(text);
        g_free(text);
      }
      g_object_unref(key);
    }
  }
  g_object_unref(list);
  return keys;
}

// Hides what the keys a page names select. Each key is looked up once per web view.
JSCValue* answer(WebKitUserContentManager* contentManager, JSCValue* message) {
  JSCContext* context = jsc_value_get_context(message);
  auto* installed =
      static_cast<Installed*>(g_object_get_data(G_OBJECT(contentManager), kIndexDataKey));
  const auto index = installed ? installed->index.lock() : nullptr;
  if (!index || !jsc_value_is_object(message)) return jsc_value_new_boolean(context, FALSE);
  std::vector<std::string> keys;
  for (auto& key : keysOf(message)) {
    if (installed->asked.insert(key).second) keys.push_back(std::move(key));
  }
  addSheet(contentManager, *installed, index->selectorsFor(keys, /*withAlways=*/false));
  return jsc_value_new_boolean(context, TRUE);
}

}  // namespace

std::optional<std::string> requiredKey(std::string_view selector) {
  int depth = 0;
  bool inAttribute = false;
  char quote = 0;
  for (size_t at = 0; at < selector.size(); ++at) {
    const char c = selector[at];
    if (quote) {
      if (c == '\\') {
        ++at;
      } else if (c == quote) {
        quote = 0;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '\\') {
      ++at;
    } else if (c == '[' || c == ']') {
      inAttribute = c == '[';
    } else if (c == '(' || c == ')') {
      depth += c == '(' ? 1 : -1;
    } else if (depth == 0 && !inAttribute) {
      if (c == ',') return std::nullopt;  // a list: each of its parts needs its own
      if (c == '.' || c == '#') {
        if (auto key = keyAt(selector, at)) return key;
      }
    }
  }
  return std::nullopt;
}

SplitRules split(std::string_view rules) {
  Json list = Json::parse(rules, nullptr, false);
  if (!list.is_array()) return {std::string(rules), ""};
  Json engine = Json::array();
  std::vector<std::string> always;
  std::map<std::string, std::vector<std::string>> keyed;
  for (auto& rule : list) {
    // The index is lines of fields apart by tabs: a selector with either stays with the engine.
    const bool indexable = hidesEverywhere(rule) &&
                           rule["action"]["selector"].get_ref<const std::string&>().find_first_of(
                               "\t\n\r") == std::string::npos;
    if (!indexable) {
      engine.push_back(std::move(rule));
      continue;
    }
    std::string selector = rule["action"]["selector"].get<std::string>();
    if (auto key = requiredKey(selector)) {
      keyed[*key].push_back(std::move(selector));
    } else {
      always.push_back(std::move(selector));
    }
  }
  std::string index;
  const auto addLine = [&](const std::string& key, const std::vector<std::string>& selectors) {
    index += key;
    for (const auto& selector : selectors) index += '\t' + selector;
    index += '\n';
  };
  if (!always.empty()) addLine("", always);
  for (const auto& [key, selectors] : keyed) addLine(key, selectors);
  return {engine.dump(-1, ' ', false, Json::error_handler_t::replace), std::move(index)};
}

std::filesystem::path indexFile(const std::filesystem::path& store, std::string_view identifier) {
  // Not named like the engine's own files, which it lists as identifiers.
  return store / ("ElementHiding-" + std::string(identifier) + ".txt");
}

std::shared_ptr<const Index> Index::parse(std::string_view text) {
  auto index = std::make_shared<Index>();
  std::vector<std::string>* selectors = nullptr;
  size_t start = 0;
  // Fields end at a tab or a line's end; the first of each line is its key.
  for (size_t at = 0; at <= text.size(); ++at) {
    const char c = at < text.size() ? text[at] : '\n';
    if (c != '\t' && c != '\n') continue;
    const std::string_view field = text.substr(start, at - start);
    if (!selectors) {
      selectors = field.empty() ? &index->always_ : &index->keyed_[std::string(field)];
    } else if (!field.empty()) {
      selectors->emplace_back(field);
    }
    if (c == '\n') selectors = nullptr;
    start = at + 1;
  }
  return index;
}

std::vector<std::string> Index::selectorsFor(const std::vector<std::string>& keys,
                                             bool withAlways) const {
  std::vector<std::string> selectors;
  if (withAlways) selectors = always_;
  for (const auto& key : keys) {
    if (const auto found = keyed_.find(key); found != keyed_.end()) {
      selectors.insert(selectors.end(), found->second.begin(), found->second.end());
    }
  }
  return selectors;
}

WebKitUserScript* newPageScript() {
  return webkit_user_script_new_for_world(
      resources::adBlockElementHidingScript().c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, AdBlocker::kContentWorld, nullptr, nullptr);
}

void removeFrom(WebKitUserContentManager* contentManager, WebKitUserScript* script) {
  webkit_user_content_manager_remove_script(contentManager, script);
  if (auto* installed =
          static_cast<Installed*>(g_object_get_data(G_OBJECT(contentManager), kIndexDataKey))) {
    for (WebKitUserStyleSheet* sheet : installed->sheets) {
      webkit_user_content_manager_remove_style_sheet(contentManager, sheet);
    }
  }
  g_object_set_data(G_OBJECT(contentManager), kIndexDataKey, nullptr);
}

void addTo(WebKitUserContentManager* contentManager, WebKitUserScript* script,
           std::weak_ptr<const Index> index) {
  removeFrom(contentManager, script);
  auto installed = std::make_unique<Installed>(index);
  // The rules no class or id selects go in with the list, before any page asks: a page's first
  // question would otherwise wait for them, and their sheet would come in the middle of its load
  // and make every document of the web view work out its style again.
  if (const auto rules = index.lock()) {
    addSheet(contentManager, *installed, rules->selectorsFor({}, /*withAlways=*/true));
  }
  g_object_set_data_full(
      G_OBJECT(contentManager), kIndexDataKey, installed.release(),
      [](gpointer data) { std::unique_ptr<Installed>(static_cast<Installed*>(data)); });
  if (!g_object_get_data(G_OBJECT(contentManager), kHandlerDataKey)) {
    g_object_set_data(G_OBJECT(contentManager), kHandlerDataKey, GINT_TO_POINTER(1));
    // The handler goes with the content manager, which it is connected to.
    addScriptMessageHandler(
        contentManager, kHandler, AdBlocker::kContentWorld,
        [contentManager](JSCValue* message) { return answer(contentManager, message); });
  }
  webkit_user_content_manager_add_script(contentManager, script);
}

}  // namespace zemblo::element_hiding
