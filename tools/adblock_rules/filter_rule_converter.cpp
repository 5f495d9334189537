#include "filter_rule_converter.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <utility>

namespace zemblo::filter_rules {
namespace {

using Json = nlohmann::ordered_json;

// The characters the filter syntax's "^" does not stand for.
constexpr std::string_view kSeparator = "[^a-zA-Z0-9_.%-]";
// Any scheme, then the host itself or any of its subdomains.
constexpr std::string_view kDomainAnchor = "^[^:]+://+([^/]+\\.)?";

// Procedural and scriptlet syntax of the lists that plain CSS cannot express.
constexpr std::array kProceduralMarkers = {
    ":has(",    ":has-text(", ":-abp-",        ":xpath(",           ":upward(",
    ":remove(", ":style(",    ":matches-",     ":min-text-length(", ":watch-attr(",
    ":others(", ":if(",       ":if-not(",      ":nth-ancestor(",    ":contains(",
    ":spath(",  ":shadow",    ":remove-attr(", ":remove-class(",
};

// Resource types of the engine's format. "frame" stands for a document loaded into a child frame,
// which the engine writes as the "document" type with the "child-frame" load context.
enum Type {
  script,
  image,
  styleSheet,
  font,
  media,
  fetch,
  websocket,
  ping,
  other,
  frame,
  document,
  popup,
  kTypeCount
};
using TypeSet = std::bitset<kTypeCount>;

constexpr std::array<const char*, kTypeCount> kTypeNames = {
    "script",    "image", "style-sheet", "font",  "media",    "fetch",
    "websocket", "ping",  "other",       "frame", "document", "popup"};

// What a filter without type options blocks: every load of a page except the page itself and
// pop-ups.
TypeSet subresourceTypes() {
  TypeSet set;
  for (int type = script; type <= frame; ++type) set.set(type);
  return set;
}

std::optional<Type> typeOption(std::string_view name) {
  static const std::array<std::pair<std::string_view, Type>, 18> names = {{
      {"script", script},
      {"image", image},
      {"stylesheet", styleSheet},
      {"css", styleSheet},
      {"font", font},
      {"media", media},
      {"xmlhttprequest", fetch},
      {"xhr", fetch},
      {"websocket", websocket},
      {"ping", ping},
      {"beacon", ping},
      {"other", other},
      {"object", other},
      {"subdocument", frame},
      {"frame", frame},
      {"document", document},
      {"doc", document},
      {"popup", popup},
  }};
  for (const auto& [option, type] : names) {
    if (option == name) return type;
  }
  return std::nullopt;
}

std::string asciiLower(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

bool isDomainCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

// The engine's domain condition: either the sites a rule is limited to or the sites it spares,
// never both in one trigger. Each entry also covers the site's subdomains.
struct DomainCondition {
  const char* key = nullptr;  // "if-domain" or "unless-domain"; none for no condition
  std::vector<std::string> domains;
};

// Nothing when the rule cannot be expressed: a spared site that the engine cannot name
// (dropping it would block more than the list asks) or sites both included and spared.
// Included sites it cannot name (wildcard top-level domains, non-ASCII names) are dropped,
// which only narrows the rule.
std::optional<DomainCondition> domainCondition(std::string_view list, char separator) {
  std::vector<std::string> included, spared;
  bool sawIncluded = false;
  for (std::string_view entry : split(list, separator)) {
    entry = trimmed(entry);
    if (entry.empty()) continue;
    const bool negated = entry.front() == '~';
    if (negated) entry.remove_prefix(1);
    std::string name = asciiLower(entry);
    const bool valid = !name.empty() && name.front() != '.' && name.back() != '.' &&
                       std::all_of(name.begin(), name.end(), isDomainCharacter);
    if (!negated) sawIncluded = true;
    if (!valid) {
      if (negated) return std::nullopt;
      continue;
    }
    (negated ? spared : included).push_back("*" + name);
  }
  if (!included.empty() && !spared.empty()) return std::nullopt;
  if (included.empty() && sawIncluded) return std::nullopt;  // every named site was dropped
  if (!included.empty()) return DomainCondition{"if-domain", std::move(included)};
  if (!spared.empty()) return DomainCondition{"unless-domain", std::move(spared)};
  return DomainCondition{};
}

void addDomainCondition(Json& trigger, const DomainCondition& condition) {
  if (condition.key) trigger[condition.key] = condition.domains;
}

std::vector<ContentRule> convertHiding(std::string_view domains, std::string_view selector) {
  selector = trimmed(selector);
  if (selector.empty() || selector.starts_with("+js(") || selector.starts_with('^')) return {};
  for (std::string_view marker : kProceduralMarkers) {
    if (selector.find(marker) != std::string_view::npos) return {};
  }
  const auto condition = domainCondition(domains, ',');
  if (!condition) return {};
  Json trigger = {{"url-filter", ".*"}};
  addDomainCondition(trigger, *condition);
  Json rule = {{"trigger", std::move(trigger)},
               {"action", {{"type", "css-display-none"}, {"selector", std::string(selector)}}}};
  return {{condition->key ? Stage::siteHiding : Stage::genericHiding, std::move(rule)}};
}

struct NetworkOptions {
  TypeSet included, excluded;
  std::optional<const char*> loadType;
  DomainCondition domains;
  bool caseSensitive = false;
  bool important = false;
};

// Nothing when an option has no equivalent in the engine's format (redirects, CSP, header
// matching, page-level exceptions and the like): the filter would mean something else without
// it.
std::optional<NetworkOptions> parseOptions(std::string_view text) {
  NetworkOptions options;
  for (std::string_view option : split(text, ',')) {
    option = trimmed(option);
    const bool negated = option.starts_with('~');
    if (negated) option.remove_prefix(1);
    const size_t equals = option.find('=');
    const std::string name = asciiLower(option.substr(0, equals));
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : option.substr(equals + 1);
    if (name == "third-party" || name == "3p") {
      options.loadType = negated ? "first-party" : "third-party";
    } else if (name == "first-party" || name == "1p") {
      options.loadType = negated ? "third-party" : "first-party";
    } else if ((name == "domain" || name == "from") && !negated) {
      auto condition = domainCondition(value, '|');
      if (!condition) return std::nullopt;
      options.domains = std::move(*condition);
    } else if (name == "match-case" && !negated) {
      options.caseSensitive = true;
    } else if (name == "important" && !negated) {
      options.important = true;
    } else if (const auto type = typeOption(name)) {
      (negated ? options.excluded : options.included).set(*type);
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// Options follow the last "$" when what follows reads as an option list.
bool looksLikeOptions(std::string_view text) {
  if (text.empty()) return false;
  const char first = text.front() == '~' ? (text.size() > 1 ? text[1] : '\0') : text.front();
  return (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') ||
         (first >= '0' && first <= '9');
}

Json typeList(const TypeSet& types) {
  Json list = Json::array();
  for (int type = 0; type < kTypeCount; ++type) {
    if (types.test(type) && type != frame) list.push_back(kTypeNames[type]);
  }
  return list;
}

std::vector<ContentRule> convertNetwork(std::string_view line) {
  const bool exception = line.starts_with("@@");
  if (exception) line.remove_prefix(2);
  std::string_view pattern = line;
  std::optional<NetworkOptions> options = NetworkOptions{};
  if (const size_t dollar = line.rfind('$');
      dollar != std::string_view::npos && looksLikeOptions(line.substr(dollar + 1))) {
    pattern = line.substr(0, dollar);
    options = parseOptions(line.substr(dollar + 1));
  }
  if (!options) return {};
  // Regular-expression filters use a richer syntax than the engine's subset.
  if (pattern.size() >= 2 && pattern.front() == '/' && pattern.back() == '/') return {};
  const auto filter = urlFilterFor(pattern);
  if (!filter) return {};
  const bool domainAnchored = pattern.starts_with("||");
  // A filter that matches every address is only kept when it is limited to some sites.
  const bool limitedToSites =
      options->domains.key && std::string_view(options->domains.key) == "if-domain";
  if (*filter == ".*" && !limitedToSites) return {};

  // A blocked ad or tracker host is blocked outright, its pages included; an address pattern
  // without types must not block the pages a user opens.
  TypeSet types;
  bool anyType = false;
  if (options->included.any()) {
    types = options->included & ~options->excluded;
  } else if (options->excluded.any()) {
    types = subresourceTypes() & ~options->excluded;
  } else if (domainAnchored && !exception) {
    anyType = true;
  } else {
    types = subresourceTypes();
  }
  // Whole-page exceptions would lift every rule of the page, hiding included.
  if (exception && types.test(document)) return {};
  if (!anyType && types.none()) return {};

  Json trigger = {{"url-filter", *filter}};
  if (options->caseSensitive) trigger["url-filter-is-case-sensitive"] = true;
  if (options->loadType) trigger["load-type"] = Json::array({std::string(*options->loadType)});
  addDomainCondition(trigger, options->domains);
  const Json action = {{"type", exception ? "ignore-previous-rules" : "block"}};
  const Stage stage = exception            ? Stage::exception
                      : options->important ? Stage::important
                                           : Stage::block;

  std::vector<ContentRule> rules;
  if (anyType) {
    rules.push_back({stage, {{"trigger", trigger}, {"action", action}}});
    return rules;
  }
  const bool frames = types.test(frame) && !types.test(document);
  TypeSet rest = types;
  rest.reset(frame);
  if (rest.any()) {
    Json typed = trigger;
    typed["resource-type"] = typeList(rest);
    rules.push_back({stage, {{"trigger", std::move(typed)}, {"action", action}}});
  }
  if (frames) {
    Json framed = trigger;
    framed["resource-type"] = Json::array({"document"});
    framed["load-context"] = Json::array({"child-frame"});
    rules.push_back({stage, {{"trigger", std::move(framed)}, {"action", action}}});
  }
  return rules;
}

// Where an element-hiding separator ("##", "#@#", "#?#" …) starts, if the line is a cosmetic
// filter: the text before it must read as a list of sites.
std::optional<size_t> cosmeticSeparator(std::string_view line) {
  for (size_t at = line.find('#'); at != std::string_view::npos; at = line.find('#', at + 1)) {
    const std::string_view rest = line.substr(at + 1);
    size_t length = 0;
    if (rest.starts_with('#')) length = 1;
    for (std::string_view marker : {"@#", "?#", "$#", "%#", "@?#", "@$#", "@%#"}) {
      if (rest.starts_with(marker)) length = marker.size();
    }
    if (length == 0) continue;
    const std::string_view sites = line.substr(0, at);
    if (sites.find_first_of("/|$^@\"!") != std::string_view::npos) return std::nullopt;
    return at;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> urlFilterFor(std::string_view pattern) {
  for (const char c : pattern) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7f) return std::nullopt;
  }
  bool domainAnchor = false, startAnchor = false, endAnchor = false;
  if (pattern.starts_with("||")) {
    domainAnchor = true;
    pattern.remove_prefix(2);
  } else if (pattern.starts_with('|')) {
    startAnchor = true;
    pattern.remove_prefix(1);
  }
  if (pattern.ends_with('|')) {
    endAnchor = true;
    pattern.remove_suffix(1);
  }
  // Anchors and wildcards alone match every address (callers keep that only for listed sites),
  // whatever anchors they carry. With separators but nothing else the filter names no address
  // either, and its expression would match all or nothing depending on the anchor: left out.
  if (pattern.find_first_not_of('*') == std::string_view::npos) return ".*";
  if (pattern.find_first_not_of("*^") == std::string_view::npos) return std::nullopt;

  std::string out(domainAnchor ? kDomainAnchor : startAnchor ? "^" : "");
  const size_t bodyStart = out.size();
  bool inHost = domainAnchor;
  bool terminated = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '*') {
      if (!out.ends_with(".*")) out += ".*";
      continue;
    }
    if (c == '^') {
      if (i + 1 < pattern.size()) {
        out += kSeparator;
      } else if (inHost) {
        // After a host the address always goes on with a port or a path.
        out += "[/:]";
      } else {
        // A separator or the end of the address.
        out += "(";
        out += kSeparator;
        out += ".*)?$";
        terminated = true;
      }
      inHost = false;
      continue;
    }
    if (!isDomainCharacter(c) && !(c >= 'A' && c <= 'Z')) inHost = false;
    if (std::string_view(".+?()[]{}\\$|").find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  if (endAnchor && !terminated) out += '$';
  // The engine searches the whole address: leading and trailing wildcards add nothing.
  if (!domainAnchor && !startAnchor && out.starts_with(".*")) out.erase(0, 2);
  if (!endAnchor && !terminated && out.size() > bodyStart + 1 && out.ends_with(".*")) {
    out.erase(out.size() - 2);
  }
  if (out.empty()) return ".*";
  return out;
}

std::vector<ContentRule> convertFilter(std::string_view line) {
  line = trimmed(line);
  if (line.empty() || line.front() == '!' || line.front() == '[') return {};
  if (const auto separator = cosmeticSeparator(line)) {
    const std::string_view rest = line.substr(*separator);
    if (!rest.starts_with("##")) return {};  // exceptions and extended syntax
    return convertHiding(line.substr(0, *separator), rest.substr(2));
  }
  return convertNetwork(line);
}

ListStats RuleListBuilder::addList(std::string_view text) {
  ListStats stats;
  for (std::string_view line : split(text, '\n')) {
    line = trimmed(line);
    if (line.empty() || line.front() == '!' || line.front() == '[') continue;
    ++stats.filters;
    const auto rules = convertFilter(line);
    if (!rules.empty()) ++stats.kept;
    for (const auto& rule : rules) {
      std::string encoded = rule.json.dump(-1, ' ', false, Json::error_handler_t::replace);
      // The same rule in another stage means something else (an important block outlives the
      // exceptions), so duplicates are looked for within a stage.
      if (!seen_.insert(std::to_string(static_cast<int>(rule.stage)) + encoded).second) continue;
      stages_[static_cast<size_t>(rule.stage)].push_back(std::move(encoded));
      ++stats.rules;
    }
  }
  return stats;
}

size_t RuleListBuilder::limitTo(size_t limit) {
  size_t dropped = 0;
  auto& blocks = stages_[static_cast<size_t>(Stage::block)];
  while (ruleCount() > limit && !blocks.empty()) {
    blocks.pop_back();
    ++dropped;
  }
  return dropped;
}

size_t RuleListBuilder::ruleCount() const {
  size_t count = 0;
  for (const auto& stage : stages_) count += stage.size();
  return count;
}

std::string RuleListBuilder::json() const {
  std::string out = "[";
  bool first = true;
  for (const auto& stage : stages_) {
    for (const auto& rule : stage) {
      out += first ? "\n" : ",\n";
      out += rule;
      first = false;
    }
  }
  out += "\n]\n";
  return out;
}

}  // namespace zemblo::filter_rules
