#include "web/webkit_content_rule_store.h"

#include <functional>
#include <system_error>
#include <utility>

#include "platform/main_loop.h"
#include "platform/paths.h"
#include "web/element_hiding_index.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

using Finish = std::function<void(WebKitUserContentFilterStore*, GAsyncResult*)>;

// The user data of one asynchronous call: the work that takes its result.
gpointer pending(Finish finish) { return std::make_unique<Finish>(std::move(finish)).release(); }

void finishPending(GObject* source, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<Finish> finish(static_cast<Finish*>(data));
  (*finish)(WEBKIT_USER_CONTENT_FILTER_STORE(source), result);
}

using ListDone = std::function<void(std::shared_ptr<ContentRuleList>)>;

// Takes over a filter returned with a reference for the caller and reads the index of hiding
// rules stored beside it, on a worker thread; none when either is missing (a list compiled before
// the index existed is compiled again).
void withHidingIndex(WebKitUserContentFilter* filter, const std::filesystem::path& folder,
                     const std::string& identifier, ListDone done) {
  if (!filter) return done(nullptr);
  std::shared_ptr<WebKitUserContentFilter> held(filter, webkit_user_content_filter_unref);
  runInBackground<std::shared_ptr<const element_hiding::Index>>(
      [file = element_hiding::indexFile(folder, identifier)] {
        const auto text = paths::readFile(file);
        return text ? element_hiding::Index::parse(*text) : nullptr;
      },
      [held, done = std::move(done)](std::shared_ptr<const element_hiding::Index> index) {
        done(index ? std::make_shared<WebKitContentRuleList>(held.get(), std::move(index))
                   : nullptr);
      });
}

GObjectRef<WebKitUserContentFilterStore> filterStore(const std::filesystem::path& folder) {
  return GObjectRef<WebKitUserContentFilterStore>::adopt(
      webkit_user_content_filter_store_new(folder.c_str()));
}

}  // namespace

WebKitContentRuleStore::WebKitContentRuleStore(
    const std::filesystem::path& folder, const std::vector<std::filesystem::path>& readOnlyFolders,
    std::optional<std::filesystem::path> compiler)
    : folder_(folder), compiler_(std::move(compiler)) {
  std::error_code error;
  for (const auto& readOnly : readOnlyFolders) {
    // A folder that is not there holds nothing; asking the engine would only cost a turn.
    if (std::filesystem::is_directory(readOnly, error)) {
      stores_.push_back(filterStore(readOnly));
      storeFolders_.push_back(readOnly);
    }
  }
  stores_.push_back(filterStore(folder));
  storeFolders_.push_back(folder);
}

WebKitContentRuleStore::~WebKitContentRuleStore() = default;

void WebKitContentRuleStore::lookUp(const std::string& identifier, LookUpDone done) {
  if (auto compile = compiling_.find(identifier); compile != compiling_.end()) {
    compile->second.waiting.push_back(
        [done = std::move(done)](CompileResult result) { done(std::move(result.list)); });
    return;
  }
  lookUpFrom(0, identifier, std::move(done));
}

void WebKitContentRuleStore::lookUpFrom(size_t store, const std::string& identifier,
                                        LookUpDone done) {
  webkit_user_content_filter_store_load(
      stores_[store].get(), identifier.c_str(), nullptr, finishPending,
      pending([weak = weak_from_this(), store, folder = storeFolders_[store], identifier,
               done = std::move(done)](WebKitUserContentFilterStore* source, GAsyncResult* result) {
        // Not found and unreadable are alike to the caller: it compiles anew.
        withHidingIndex(webkit_user_content_filter_store_load_finish(source, result, nullptr),
                        folder, identifier,
                        [weak, store, identifier, done](std::shared_ptr<ContentRuleList> list) {
                          const auto self = weak.lock();
                          if (list || !self || store + 1 == self->stores_.size())
                            return done(std::move(list));
                          self->lookUpFrom(store + 1, identifier, done);
                        });
      }));
}

void WebKitContentRuleStore::compile(const std::string& identifier, std::string encodedRules,
                                     CompileDone done) {
  auto& compile = compiling_[identifier];
  compile.waiting.push_back(std::move(done));
  if (compile.process) return;
  compile.process = std::make_unique<ContentRuleCompileProcess>(
      compiler_, folder_, identifier, std::move(encodedRules),
      [weak = weak_from_this(), identifier](ContentRuleCompileProcess::Outcome outcome) {
        if (auto self = weak.lock()) self->helperFinished(identifier, std::move(outcome));
      });
}

void WebKitContentRuleStore::helperFinished(const std::string& identifier,
                                            ContentRuleCompileProcess::Outcome outcome) {
  if (!outcome.compiled) return compiled(identifier, {nullptr, std::move(outcome.error)});
  webkit_user_content_filter_store_load(
      stores_.back().get(), identifier.c_str(), nullptr, finishPending,
      pending([weak = weak_from_this(), folder = folder_, identifier](
                  WebKitUserContentFilterStore* store, GAsyncResult* result) {
        GError* error = nullptr;
        WebKitUserContentFilter* filter =
            webkit_user_content_filter_store_load_finish(store, result, &error);
        if (error) {
          g_warning("The compiled content-rule list could not be loaded: %s", error->message);
          g_error_free(error);
        }
        withHidingIndex(filter, folder, identifier,
                        [weak, identifier](std::shared_ptr<ContentRuleList> list) {
                          if (!list) g_warning("The compiled list's hiding rules are missing");
                          if (auto self = weak.lock()) {
                            self->compiled(identifier, {std::move(list), std::nullopt});
                          }
                        });
      }));
}

void WebKitContentRuleStore::compiled(const std::string& identifier, CompileResult result) {
  auto finished = compiling_.extract(identifier);
  if (finished.empty()) return;
  for (const auto& done : finished.mapped().waiting) done(result);
}

void WebKitContentRuleStore::identifiers(IdentifiersDone done) {
  webkit_user_content_filter_store_fetch_identifiers(
      stores_.back().get(), nullptr, finishPending,
      pending([done = std::move(done)](WebKitUserContentFilterStore* store, GAsyncResult* result) {
        std::vector<std::string> all;
        gchar** identifiers =
            webkit_user_content_filter_store_fetch_identifiers_finish(store, result);
        for (gchar** identifier = identifiers; identifier && *identifier; ++identifier) {
          all.emplace_back(*identifier);
        }
        g_strfreev(identifiers);
        done(std::move(all));
      }));
}

void WebKitContentRuleStore::remove(const std::string& identifier) {
  auto index = GObjectRef<GFile>::adopt(
      g_file_new_for_path(element_hiding::indexFile(folder_, identifier).c_str()));
  g_file_delete_async(index.get(), G_PRIORITY_DEFAULT, nullptr, nullptr, nullptr);
  webkit_user_content_filter_store_remove(
      stores_.back().get(), identifier.c_str(), nullptr, finishPending,
      pending([](WebKitUserContentFilterStore* store, GAsyncResult* result) {
        webkit_user_content_filter_store_remove_finish(store, result, nullptr);
      }));
}

}  // namespace zemblo
