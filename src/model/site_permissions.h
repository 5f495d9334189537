#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/site_permission.h"
#include "platform/observable.h"

namespace zemblo {

class TabPermissions;
struct PermissionRequest;

// The user's answers to sites' permission questions, per site origin and kind, and the rules of
// asking: a remembered answer is given at once, anything else waits in the tab for the user.
class SitePermissions {
 public:
  using Decisions = std::map<std::string, std::map<PermissionKind, PermissionDecision>>;
  using Answer = std::function<void(bool allowed)>;

  // `changed` asks for the answers to be written soon.
  explicit SitePermissions(std::function<void()> changed);

  Observable<Decisions> decisions;

  // A request for both camera and microphone has an answer only when both parts have one; it is
  // allowed only when both are.
  std::optional<PermissionDecision> decisionFor(const std::string& origin,
                                                PermissionKind kind) const;
  void remember(const std::string& origin, PermissionKind kind, PermissionDecision decision);
  void forget(const std::string& origin, PermissionKind kind);
  // The sites whose notifications are answered so.
  std::vector<std::string> notificationOrigins(PermissionDecision decision) const;

  // A page's question: answered now when the site's answer is known, otherwise put to the user
  // in its tab.
  void request(TabPermissions& tab, PermissionRequest request, Answer answer) const;
  // The user's answer to the question the tab's bar shows: kept for the site, given to the page,
  // and given as well to the tab's other questions it answers.
  void answerShown(TabPermissions& tab, PermissionDecision decision);

 private:
  std::function<void()> changed_;
};

}  // namespace zemblo
