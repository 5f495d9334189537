#pragma once

#include <webkit/webkit.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/content_rule_store.h"
#include "platform/gobject_ref.h"
#include "web/content_rule_compiler.h"

namespace zemblo {

// WebKit's filter store in one folder, behind read-only stores that are looked in first (the
// lists compiled when the browser was built). Lists are compiled by the helper program, in a
// process of its own, into the folder. A compile that is still running is shared: a look-up or a
// compile of the same identifier waits for it instead of starting a second one (several stores of
// one process, as in tests, would otherwise each compile the large list at once).
class WebKitContentRuleStore : public ContentRuleStore,
                               public std::enable_shared_from_this<WebKitContentRuleStore> {
 public:
  // `compiler` is the helper program; without one every compile fails.
  explicit WebKitContentRuleStore(
      const std::filesystem::path& folder,
      const std::vector<std::filesystem::path>& readOnlyFolders = {},
      std::optional<std::filesystem::path> compiler = content_rule_compiler::helperProgram());
  ~WebKitContentRuleStore() override;
  WebKitContentRuleStore(const WebKitContentRuleStore&) = delete;
  WebKitContentRuleStore& operator=(const WebKitContentRuleStore&) = delete;

  // The read-only stores first, in order, then the folder's own.
  void lookUp(const std::string& identifier, LookUpDone done) override;
  void compile(const std::string& identifier, std::string encodedRules, CompileDone done) override;
  // The folder's own lists; the read-only stores are never listed or changed.
  void identifiers(IdentifiersDone done) override;
  void remove(const std::string& identifier) override;

 private:
  struct Compile {
    std::unique_ptr<ContentRuleCompileProcess> process;
    std::vector<CompileDone> waiting;
  };

  void lookUpFrom(size_t store, const std::string& identifier, LookUpDone done);
  void helperFinished(const std::string& identifier, ContentRuleCompileProcess::Outcome outcome);
  void compiled(const std::string& identifier, CompileResult result);

  std::filesystem::path folder_;
  std::optional<std::filesystem::path> compiler_;
  // The read-only stores, then the folder's own, which is the last.
  std::vector<GObjectRef<WebKitUserContentFilterStore>> stores_;
  std::vector<std::filesystem::path> storeFolders_;  // beside stores_
  // Compiles in progress, by identifier.
  std::map<std::string, Compile> compiling_;
};

}  // namespace zemblo
