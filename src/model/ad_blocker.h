#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <variant>

#include "model/content_rule_store.h"
#include "model/page_script_world.h"
#include "model/web_view_port.h"
#include "platform/alive_token.h"
#include "platform/observable.h"
#include "platform/url.h"
#include "platform/user_defaults.h"

namespace zemblo {

class TabWebView;
class MappedFile;

// Blocks ads and trackers with one compiled content-rule list, switched off for the whole
// browser or per site. The user's switch and allow list live in the user defaults.
class AdBlocker {
 public:
  struct Preparing {
    friend bool operator==(const Preparing&, const Preparing&) = default;
  };
  struct Ready {
    friend bool operator==(const Ready&, const Ready&) = default;
  };
  struct Failed {
    std::string message;
    friend bool operator==(const Failed&, const Failed&) = default;
  };
  using Status = std::variant<Preparing, Ready, Failed>;

  static constexpr const char* kEnabledKey = "adBlockEnabled";
  static constexpr const char* kAllowedHostsKey = "adBlockAllowedHosts";
  static constexpr const char* kRuleFileName = "AdBlockRules.json";
  // Every stored list whose identifier starts with this is one of ours.
  static constexpr std::string_view kRuleListPrefix = "zemblo.adblock.";
  // The isolated script world of the video-page script and of its message handler.
  static constexpr const char* kContentWorld = kPageScriptWorld;
  static constexpr const char* kMessageHandler = "zembloAdblock";
  static constexpr std::string_view kVideoSiteDomain = "youtube.com";

  // `ruleFile` is the content-rule list to prepare; none when it could not be found.
  explicit AdBlocker(UserDefaults& defaults,
                     std::optional<std::filesystem::path> ruleFile = bundledRuleFile());
  ~AdBlocker();
  AdBlocker(const AdBlocker&) = delete;
  AdBlocker& operator=(const AdBlocker&) = delete;

  Observable<Status> status{Preparing{}};
  Observable<bool> isEnabled;
  Observable<std::set<std::string>> allowedHosts;
  Observable<long long> ruleCount{0};
  // The compiled list once it was found or compiled.
  std::shared_ptr<ContentRuleList> ruleList;
  // Run after the list became ready and after every change of the switch or the allow list.
  std::function<void()> onChange;

  // The rule file shipped with the browser, installed or in the build tree (see
  // paths::bundledDataFile); none when there is neither.
  static std::optional<std::filesystem::path> bundledRuleFile();
  // "zemblo.adblock." and the first 6 bytes of the file's SHA-256 digest in lowercase hex.
  static std::string ruleListIdentifier(std::string_view ruleFileBytes);
  // The occurrences of "trigger" in double quotes: a byte search, not a parse.
  static long long countRules(std::string_view ruleFileBytes);

  // Finds the compiled list in `store` by the rule file's identifier, or compiles it there, and
  // then makes it ready. The file is read on another thread; the store is asked on this one.
  // Without a store the engine cannot block content: the status becomes failed. Runs once; later
  // calls do nothing.
  void prepareRules(std::shared_ptr<ContentRuleStore> store);
  // The status line the views show, in the interface language.
  std::string statusText() const;

  bool isAllowed(std::optional<std::string_view> host) const;
  // Adds the rule list to the tab's web view, or takes it out, for a page at `address`.
  void apply(TabWebView& page, const std::optional<Url>& address) const;
  bool isBlocking(const std::optional<Url>& url) const;
  void setEnabled(bool enabled);
  void setAllowed(bool allowed, std::string_view host);
  // The answer to the video-page script of a page on `host`: whether it should remove ads.
  bool replyEnabled(std::optional<std::string_view> host) const;

 private:
  void fail(std::string message);
  // Reads the rule file, its identifier and its count on a thread of their own.
  void startReading();
  void lookUpRules(const std::string& identifier, std::shared_ptr<const MappedFile> source);
  void compileRules(const std::string& identifier, std::string_view bytes);
  void finishPreparing(std::shared_ptr<ContentRuleList> list);
  void removeStaleRuleLists(const std::string& currentIdentifier);
  void changed();

  UserDefaults& defaults_;
  std::optional<std::filesystem::path> ruleFile_;
  std::shared_ptr<ContentRuleStore> ruleStore_;
  bool prepareStarted_ = false;
  // Lets work that finishes later (the engine's answers, the count) tell whether this blocker
  // still exists.
  AliveToken alive_;
  // Joined on destruction, so the reading never outlives the process's main objects.
  std::jthread reader_;
};

}  // namespace zemblo
