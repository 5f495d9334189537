#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>

#include "model/url.h"
#include "platform/observable.h"
#include "platform/user_defaults.h"
#include "web/web_view_port.h"

namespace zemblo {

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

  explicit AdBlocker(UserDefaults& defaults);

  Observable<Status> status{Preparing{}};
  Observable<bool> isEnabled;
  Observable<std::set<std::string>> allowedHosts;
  Observable<long long> ruleCount{0};
  // The compiled list once it was found or compiled.
  std::shared_ptr<ContentRuleList> ruleList;
  // Run after the list became ready and after every change of the switch or the allow list.
  std::function<void()> onChange;

  bool isAllowed(std::optional<std::string_view> host) const;
  bool isBlocking(const std::optional<Url>& url) const;
  void setEnabled(bool enabled);
  void setAllowed(bool allowed, std::string_view host);

 private:
  void changed();

  UserDefaults& defaults_;
};

}  // namespace zemblo
