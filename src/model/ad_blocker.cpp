#include "model/ad_blocker.h"

#include <glib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <system_error>
#include <vector>

#include "model/host_rules.h"
#include "model/localization.h"
#include "model/tab_web_view.h"
#include "platform/main_loop.h"
#include "platform/mapped_file.h"
#include "platform/paths.h"
#include "platform/sha256.h"
#include "platform/text.h"

namespace zemblo {
namespace {

constexpr const char* kRuleFileMissing = "Kural dosyası bulunamadı.";
constexpr const char* kBlockingUnavailable = "İçerik engelleme kullanılamıyor.";
constexpr const char* kCompileFailed = "Kurallar derlenemedi.";

std::optional<std::string_view> hostOf(const std::optional<Url>& url,
                                       std::optional<std::string>& storage) {
  storage = url ? url->host() : std::nullopt;
  if (!storage) return std::nullopt;
  return std::string_view(*storage);
}

// Runs `work` on the main thread's loop (the default main context), unless the blocker whose
// liveness `alive` tells is gone by then.
void onMainThread(AliveToken::Watch alive, int priority, std::function<void()> work) {
  runOnMainLoop(
      [alive = std::move(alive), work = std::move(work)] {
        if (!alive.expired()) work();
      },
      priority);
}

}  // namespace

AdBlocker::AdBlocker(UserDefaults& defaults, std::optional<std::filesystem::path> ruleFile)
    : isEnabled(defaults.boolValue(kEnabledKey).value_or(true)),
      defaults_(defaults),
      ruleFile_(std::move(ruleFile)) {
  if (auto hosts = defaults.stringArray(kAllowedHostsKey)) {
    allowedHosts.set(std::set<std::string>(hosts->begin(), hosts->end()));
  }
}

AdBlocker::~AdBlocker() = default;

std::optional<std::filesystem::path> AdBlocker::bundledRuleFile() {
  return paths::bundledDataFile(kRuleFileName);
}

std::string AdBlocker::ruleListIdentifier(std::string_view ruleFileBytes) {
  return std::string(kRuleListPrefix) + lowercaseHex(sha256(ruleFileBytes), 6);
}

long long AdBlocker::countRules(std::string_view ruleFileBytes) {
  constexpr std::string_view kQuotedTrigger = "\"trigger\"";
  long long count = 0;
  for (size_t at = ruleFileBytes.find(kQuotedTrigger); at != std::string_view::npos;
       at = ruleFileBytes.find(kQuotedTrigger, at + kQuotedTrigger.size())) {
    ++count;
  }
  return count;
}

void AdBlocker::prepareRules(std::shared_ptr<ContentRuleStore> store) {
  if (std::exchange(prepareStarted_, true)) return;
  std::error_code error;
  if (!ruleFile_ || !std::filesystem::is_regular_file(*ruleFile_, error)) {
    return fail(localized(kRuleFileMissing));
  }
  // Without an engine there is no use in reading the large file.
  if (!store) return fail(localized(kBlockingUnavailable));
  ruleStore_ = std::move(store);
  startReading();
}

void AdBlocker::fail(std::string message) {
  g_warning("The content blocker could not start: %s", message.c_str());
  status.set(Failed{std::move(message)});
}

void AdBlocker::startReading() {
  // Reading and digesting the large file takes tens of milliseconds at start-up, when the main
  // thread should be setting up the window and answering the first page's web process.
  reader_ = std::jthread([file = *ruleFile_, alive = alive_.watch(), this] {
    auto mapped = MappedFile::open(file);
    if (!mapped) {
      onMainThread(alive, G_PRIORITY_DEFAULT, [this] { fail(localized(kRuleFileMissing)); });
      return;
    }
    // Both threads read the same mapped bytes; they stay mapped while either needs them.
    const auto source = std::make_shared<const MappedFile>(std::move(*mapped));
    onMainThread(alive, G_PRIORITY_DEFAULT,
                 [this, source, identifier = ruleListIdentifier(source->bytes())] {
                   lookUpRules(identifier, source);
                 });
    onMainThread(alive, G_PRIORITY_DEFAULT_IDLE,
                 [this, count = countRules(source->bytes())] { ruleCount.set(count); });
  });
}

void AdBlocker::lookUpRules(const std::string& identifier,
                            std::shared_ptr<const MappedFile> source) {
  ruleStore_->lookUp(identifier, [this, alive = alive_.watch(), identifier,
                                  source](std::shared_ptr<ContentRuleList> list) {
    if (alive.expired()) return;
    if (list) {
      finishPreparing(std::move(list));
    } else {
      compileRules(identifier, source->bytes());
    }
  });
}

void AdBlocker::compileRules(const std::string& identifier, std::string_view bytes) {
  auto compiled = [this, alive = alive_.watch(),
                   identifier](ContentRuleStore::CompileResult result) {
    if (alive.expired()) return;
    if (!result.list) return fail(result.error ? *result.error : localized(kCompileFailed));
    finishPreparing(std::move(result.list));
    removeStaleRuleLists(identifier);
  };
  ruleStore_->compile(identifier, validUtf8(bytes), std::move(compiled));
}

void AdBlocker::finishPreparing(std::shared_ptr<ContentRuleList> list) {
  ruleList = std::move(list);
  status.set(Ready{});
  changed();
}

void AdBlocker::removeStaleRuleLists(const std::string& currentIdentifier) {
  ruleStore_->identifiers(
      [this, alive = alive_.watch(), currentIdentifier](std::vector<std::string> all) {
        if (alive.expired()) return;
        for (const auto& identifier : all) {
          if (startsWith(identifier, kRuleListPrefix) && identifier != currentIdentifier) {
            ruleStore_->remove(identifier);
          }
        }
      });
}

std::string AdBlocker::statusText() const {
  const Status& current = status.get();
  if (const auto* failed = std::get_if<Failed>(&current)) {
    return withArgument(localized("Başlatılamadı: %@"), failed->message);
  }
  if (std::holds_alternative<Preparing>(current)) return localized("Kurallar hazırlanıyor…");
  return isEnabled.get() ? localized("Reklamlar ve izleyiciler engelleniyor") : localized("Kapalı");
}

bool AdBlocker::isAllowed(std::optional<std::string_view> host) const {
  if (!host) return false;
  const auto normalized = normalizedHost(*host);
  if (!normalized) return false;
  for (const auto& entry : allowedHosts.get()) {
    if (hostsMatch(entry, *normalized)) return true;
  }
  return false;
}

void AdBlocker::apply(TabWebView& page, const std::optional<Url>& address) const {
  auto* view = page.stored();
  if (!view || !ruleList) return;
  std::optional<std::string> host;
  const bool wanted = isEnabled.peek() && !isAllowed(hostOf(address, host));
  if (wanted == page.adBlockApplied()) return;
  if (wanted) {
    view->addContentRuleList(*ruleList);
  } else {
    view->removeContentRuleList(*ruleList);
  }
  page.setAdBlockApplied(wanted);
}

bool AdBlocker::isBlocking(const std::optional<Url>& url) const {
  if (!isEnabled.get() || !std::holds_alternative<Ready>(status.get())) return false;
  std::optional<std::string> host;
  return !isAllowed(hostOf(url, host));
}

void AdBlocker::setEnabled(bool enabled) {
  isEnabled.set(enabled);
  defaults_.setBool(kEnabledKey, enabled);
  changed();
}

void AdBlocker::setAllowed(bool allowed, std::string_view host) {
  const auto normalized = normalizedHost(host);
  if (!normalized) return;
  if (allowed) {
    allowedHosts.mutate([&](auto& hosts) { hosts.insert(*normalized); });
  } else {
    // Every entry for the site goes, its parent domains' and subdomains' included: otherwise
    // one of them would keep the site allowed.
    auto remaining = allowedHosts.peek();
    std::erase_if(remaining, [&](const auto& entry) { return hostsMatch(entry, *normalized); });
    allowedHosts.set(std::move(remaining));
  }
  const auto& hosts = allowedHosts.peek();
  defaults_.setStringArray(kAllowedHostsKey, std::vector<std::string>(hosts.begin(), hosts.end()));
  changed();
}

bool AdBlocker::replyEnabled(std::optional<std::string_view> host) const {
  return isEnabled.peek() && !isAllowed(host);
}

void AdBlocker::changed() {
  if (onChange) onChange();
}

}  // namespace zemblo
