#pragma once

#include <webkit/webkit.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/content_rule_store.h"
#include "platform/gobject_ref.h"

namespace zemblo {

// WebKit's filter store in one folder. A compile that is still running is shared: a look-up or
// a compile of the same identifier waits for it instead of starting the engine's compiler a
// second time (several stores of one process, as in tests, would otherwise each compile the
// large list at once).
class WebKitContentRuleStore : public ContentRuleStore,
                               public std::enable_shared_from_this<WebKitContentRuleStore> {
 public:
  explicit WebKitContentRuleStore(const std::filesystem::path& folder);
  ~WebKitContentRuleStore() override;
  WebKitContentRuleStore(const WebKitContentRuleStore&) = delete;
  WebKitContentRuleStore& operator=(const WebKitContentRuleStore&) = delete;

  void lookUp(const std::string& identifier, LookUpDone done) override;
  void compile(const std::string& identifier, std::string encodedRules, CompileDone done) override;
  void identifiers(IdentifiersDone done) override;
  void remove(const std::string& identifier) override;

 private:
  void compiled(const std::string& identifier, CompileResult result);

  GObjectRef<WebKitUserContentFilterStore> store_;
  // Callers waiting for a compile in progress, by identifier.
  std::map<std::string, std::vector<CompileDone>> compiling_;
};

}  // namespace zemblo
