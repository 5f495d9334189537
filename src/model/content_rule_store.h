#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/web_view_port.h"

namespace zemblo {

// The web engine's store of compiled content-rule lists, kept on disk under identifiers so that
// a list is compiled once and found again by later starts. Every answer arrives later on the main
// thread; callers that may be gone by then guard themselves.
class ContentRuleStore {
 public:
  struct CompileResult {
    std::shared_ptr<ContentRuleList> list;  // none when the compile failed
    std::optional<std::string> error;       // the engine's description of the failure, if any
  };
  using LookUpDone = std::function<void(std::shared_ptr<ContentRuleList>)>;
  using CompileDone = std::function<void(CompileResult)>;
  using IdentifiersDone = std::function<void(std::vector<std::string>)>;

  virtual ~ContentRuleStore() = default;

  // The stored list, or none when there is no list under the identifier (or it cannot be read).
  virtual void lookUp(const std::string& identifier, LookUpDone done) = 0;
  // Compiles the rules, a JSON text in the engine's content-blocker format, and stores the
  // result under the identifier.
  virtual void compile(const std::string& identifier, std::string encodedRules,
                       CompileDone done) = 0;
  // Every identifier in the store; none when they cannot be listed.
  virtual void identifiers(IdentifiersDone done) = 0;
  // Removes the list, ignoring any failure.
  virtual void remove(const std::string& identifier) = 0;
};

// Implemented by a web engine that keeps compiled rule lists.
class ContentRuleStoreProvider {
 public:
  virtual ~ContentRuleStoreProvider() = default;
  // Created on first use; none from an engine that keeps no lists (the model tests' fake, so
  // they never start the engine's compiler).
  virtual std::shared_ptr<ContentRuleStore> contentRuleStore() = 0;
};

}  // namespace zemblo
