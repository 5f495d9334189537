#include "model/site_permissions.h"

#include "model/tab_permissions.h"

namespace zemblo {

SitePermissions::SitePermissions(std::function<void()> changed) : changed_(std::move(changed)) {}

std::optional<PermissionDecision> SitePermissions::decisionFor(const std::string& origin,
                                                               PermissionKind kind) const {
  const auto parts = rememberedKinds(kind);
  const auto site = decisions.peek().find(origin);
  if (parts.empty() || site == decisions.peek().end()) return std::nullopt;
  PermissionDecision result = PermissionDecision::allow;
  for (PermissionKind part : parts) {
    const auto found = site->second.find(part);
    if (found == site->second.end()) return std::nullopt;
    if (found->second == PermissionDecision::block) result = PermissionDecision::block;
  }
  return result;
}

void SitePermissions::remember(const std::string& origin, PermissionKind kind,
                               PermissionDecision decision) {
  const auto parts = rememberedKinds(kind);
  if (parts.empty() || origin.empty()) return;
  decisions.mutate([&](Decisions& all) {
    for (PermissionKind part : parts) all[origin][part] = decision;
  });
  changed_();
}

void SitePermissions::forget(const std::string& origin, PermissionKind kind) {
  const auto site = decisions.peek().find(origin);
  if (site == decisions.peek().end() || !site->second.contains(kind)) return;
  decisions.mutate([&](Decisions& all) {
    all[origin].erase(kind);
    if (all[origin].empty()) all.erase(origin);
  });
  changed_();
}

std::vector<std::string> SitePermissions::notificationOrigins(PermissionDecision decision) const {
  std::vector<std::string> origins;
  for (const auto& [origin, kinds] : decisions.peek()) {
    const auto found = kinds.find(PermissionKind::notifications);
    if (found != kinds.end() && found->second == decision) origins.push_back(origin);
  }
  return origins;
}

void SitePermissions::request(TabPermissions& tab, PermissionRequest request, Answer answer) const {
  if (const auto known = decisionFor(request.origin, request.kind)) {
    answer(*known == PermissionDecision::allow);
    return;
  }
  tab.add(std::move(request), std::move(answer));
}

void SitePermissions::answerShown(TabPermissions& tab, PermissionDecision decision) {
  const auto& shown = tab.shown.peek();
  if (!shown) return;
  if (tab.remembersAnswers) remember(shown->origin, shown->kind, decision);
  tab.answerShown(decision == PermissionDecision::allow);
  tab.settle([this](const PermissionRequest& waiting) -> std::optional<bool> {
    const auto known = decisionFor(waiting.origin, waiting.kind);
    if (!known) return std::nullopt;
    return *known == PermissionDecision::allow;
  });
}

}  // namespace zemblo
