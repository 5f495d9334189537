#include "web/content_rule_compiler.h"

#include <webkit/webkit.h>

#include <cerrno>
#include <csignal>
#include <system_error>

#include "platform/main_loop.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "web/element_hiding_index.h"

namespace zemblo {
namespace content_rule_compiler {

std::optional<std::string> compileHere(const std::filesystem::path& folder,
                                       const std::string& identifier, const std::string& rules) {
  struct Result {
    bool finished = false;
    std::optional<std::string> error;
  } result;
  const auto store = GObjectRef<WebKitUserContentFilterStore>::adopt(
      webkit_user_content_filter_store_new(folder.c_str()));
  const element_hiding::SplitRules parts = element_hiding::split(rules);
  GBytes* bytes = g_bytes_new_static(parts.engineRules.data(), parts.engineRules.size());
  webkit_user_content_filter_store_save(
      store.get(), identifier.c_str(), bytes, nullptr,
      [](GObject* source, GAsyncResult* answer, gpointer data) {
        auto* result = static_cast<Result*>(data);
        GError* error = nullptr;
        WebKitUserContentFilter* filter = webkit_user_content_filter_store_save_finish(
            WEBKIT_USER_CONTENT_FILTER_STORE(source), answer, &error);
        if (filter) webkit_user_content_filter_unref(filter);
        if (!filter) result->error = error ? error->message : "";
        g_clear_error(&error);
        result->finished = true;
      },
      &result);
  g_bytes_unref(bytes);
  while (!result.finished) g_main_context_iteration(nullptr, TRUE);
  if (result.error) return result.error;
  // Written after the list: a list without its index counts as missing and is compiled again.
  const auto index = element_hiding::indexFile(folder, identifier);
  GError* error = nullptr;
  if (!g_file_set_contents_full(index.c_str(), parts.index.data(), gssize(parts.index.size()),
                                G_FILE_SET_CONTENTS_CONSISTENT, 0644, &error)) {
    std::string message = error ? error->message : "The hiding rules could not be written.";
    g_clear_error(&error);
    return message;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> helperProgram() {
  std::error_code error;
  // A program run from the build tree: <build>/src/zemblo-browser, <build>/tests/…
  if (const auto folder = paths::runningProgramFolder()) {
    const auto built = folder->parent_path() / "tools" / kProgramName;
    if (std::filesystem::is_regular_file(built, error)) return built;
#ifdef ZEMBLO_LIBEXEC_DIR_FROM_PROGRAM
    const auto beside = *folder / ZEMBLO_LIBEXEC_DIR_FROM_PROGRAM / kProgramName;
    if (std::filesystem::is_regular_file(beside, error)) return beside.lexically_normal();
#endif
  }
#ifdef ZEMBLO_LIBEXEC_DIR
  const auto installed = std::filesystem::path(ZEMBLO_LIBEXEC_DIR) / kProgramName;
  if (std::filesystem::is_regular_file(installed, error)) return installed;
#endif
  return std::nullopt;
}

}  // namespace content_rule_compiler

namespace {

using Done = ContentRuleCompileProcess::Done;
using Outcome = ContentRuleCompileProcess::Outcome;

// The answer of one run on its way through the main loop; dropped once the run was stopped.
struct PendingAnswer {
  GObjectRef<GCancellable> cancellable;
  Done done;
  Outcome outcome;
};

// The engine writes a list to a temporary file and moves it into the store when done, so a helper
// stopped halfway leaves tens of megabytes behind. Each run gets a folder of its own for them,
// inside the store so that the final move stays a rename, and the folder goes with the run.
std::optional<std::filesystem::path> makeScratchFolder(const std::filesystem::path& store) {
  std::error_code error;
  std::filesystem::create_directories(store, error);
  std::string pattern = (store / ".compiling-XXXXXX").string();
  if (!g_mkdtemp(pattern.data())) {
    g_warning("No folder for the content-rule compiler's temporary files in %s: %s", store.c_str(),
              g_strerror(errno));
    return std::nullopt;
  }
  return std::filesystem::path(pattern);
}

void helperFinished(GObject* source, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<Done> done(static_cast<Done*>(data));
  auto* process = G_SUBPROCESS(source);
  GBytes* output = nullptr;
  GError* error = nullptr;
  if (!g_subprocess_communicate_finish(process, result, &output, nullptr, &error)) {
    const bool stopped = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
    if (!stopped) g_warning("The content-rule compiler failed: %s", error->message);
    g_error_free(error);
    if (!stopped) (*done)(Outcome{});
    return;
  }
  Outcome outcome;
  outcome.compiled = g_subprocess_get_successful(process);
  if (!outcome.compiled) {
    gsize size = 0;
    const auto* text = static_cast<const char*>(output ? g_bytes_get_data(output, &size) : nullptr);
    const auto message = trimmedWhitespaceAndNewlines(std::string_view(text ? text : "", size));
    if (!message.empty()) outcome.error = validUtf8(message);
    if (g_subprocess_get_if_signaled(process)) {
      g_warning("The content-rule compiler ended on signal %d", g_subprocess_get_term_sig(process));
    }
  }
  if (output) g_bytes_unref(output);
  (*done)(std::move(outcome));
}

}  // namespace

ContentRuleCompileProcess::ContentRuleCompileProcess(
    const std::optional<std::filesystem::path>& program, const std::filesystem::path& folder,
    const std::string& identifier, std::string rules, Done done) {
  if (!program) {
    g_warning("The content-rule compiler %s was not found", content_rule_compiler::kProgramName);
    answerLater(std::move(done), Outcome{});
    return;
  }
  const auto launcher = GObjectRef<GSubprocessLauncher>::adopt(
      g_subprocess_launcher_new(static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDIN_PIPE |
                                                              G_SUBPROCESS_FLAGS_STDOUT_PIPE)));
  scratch_ = makeScratchFolder(folder);
  if (scratch_) g_subprocess_launcher_setenv(launcher.get(), "TMPDIR", scratch_->c_str(), TRUE);
  GError* error = nullptr;
  process_ = GObjectRef<GSubprocess>::adopt(g_subprocess_launcher_spawn(
      launcher.get(), &error, program->c_str(), "-", folder.c_str(), identifier.c_str(), nullptr));
  if (!process_) {
    g_warning("The content-rule compiler could not start: %s", error->message);
    g_error_free(error);
    answerLater(std::move(done), Outcome{});
    return;
  }
  // The pipe may still read from the bytes after this call; they go when it lets go of them.
  auto text = std::make_unique<std::string>(std::move(rules));
  GBytes* bytes = g_bytes_new_with_free_func(
      text->data(), text->size(),
      [](gpointer data) { std::unique_ptr<std::string>(static_cast<std::string*>(data)); },
      text.get());
  text.release();
  g_subprocess_communicate_async(process_.get(), bytes, cancellable_.get(), helperFinished,
                                 std::make_unique<Done>(std::move(done)).release());
  g_bytes_unref(bytes);
}

ContentRuleCompileProcess::~ContentRuleCompileProcess() {
  if (process_) g_subprocess_send_signal(process_.get(), SIGTERM);
  g_cancellable_cancel(cancellable_.get());
  // A helper still writing keeps its open file until it ends; the space is freed then.
  if (!scratch_) return;
  std::error_code error;
  std::filesystem::remove_all(*scratch_, error);
  if (error) {
    g_warning("The content-rule compiler's temporary files in %s stay: %s", scratch_->c_str(),
              error.message().c_str());
  }
}

void ContentRuleCompileProcess::answerLater(Done done, Outcome outcome) {
  auto pending = std::make_shared<PendingAnswer>(PendingAnswer{
      GObjectRef<GCancellable>::share(cancellable_.get()), std::move(done), std::move(outcome)});
  runOnMainLoop(
      [pending] {
        if (!g_cancellable_is_cancelled(pending->cancellable.get())) {
          pending->done(std::move(pending->outcome));
        }
      },
      G_PRIORITY_DEFAULT_IDLE);
}

}  // namespace zemblo
