#pragma once

#include <gio/gio.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/gobject_ref.h"

namespace zemblo {

// Compiling a content-rule list costs the engine seconds and hundreds of megabytes for the
// generated list, and the memory stays with the process that compiled it. So the browser never
// compiles in its own process: the list is compiled when the browser is built, and a list the
// browser finds missing is compiled by a short-lived helper program that exits when done. The
// helper and the build step are one program, `zemblo-compile-rules`.
namespace content_rule_compiler {

inline constexpr const char* kProgramName = "zemblo-compile-rules";
// The store of the compiled list of a rule file: this folder beside the file.
inline constexpr const char* kBundledFolderName = "ContentRuleLists";

// Compiles `rules` (the engine's JSON format) into the store in `folder` under `identifier`,
// running this thread's main context until the engine is done. None on success, else the
// engine's description of the failure.
std::optional<std::string> compileHere(const std::filesystem::path& folder,
                                       const std::string& identifier, const std::string& rules);

// The helper installed with the browser, else the one built next to the running program; none
// when there is neither.
std::optional<std::filesystem::path> helperProgram();

}  // namespace content_rule_compiler

// One run of the helper: the rules go to it through a pipe, and it compiles them into the store
// in `folder`. Destroying this stops a helper that is still running, removes what it left half
// written, and `done` is not called.
class ContentRuleCompileProcess {
 public:
  struct Outcome {
    bool compiled = false;
    // The engine's description of the failure, if it gave one.
    std::optional<std::string> error;
  };
  using Done = std::function<void(Outcome)>;

  // `done` is called later on this thread's main context, also when the helper cannot start.
  ContentRuleCompileProcess(const std::optional<std::filesystem::path>& program,
                            const std::filesystem::path& folder, const std::string& identifier,
                            std::string rules, Done done);
  ~ContentRuleCompileProcess();
  ContentRuleCompileProcess(const ContentRuleCompileProcess&) = delete;
  ContentRuleCompileProcess& operator=(const ContentRuleCompileProcess&) = delete;

 private:
  void answerLater(Done done, Outcome outcome);

  GObjectRef<GCancellable> cancellable_ = GObjectRef<GCancellable>::adopt(g_cancellable_new());
  GObjectRef<GSubprocess> process_;
  // The helper's folder for temporary files; none when it could not be made.
  std::optional<std::filesystem::path> scratch_;
};

}  // namespace zemblo
