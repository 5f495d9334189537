#include "web/webkit_content_rule_store.h"

#include <functional>
#include <utility>

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

// Takes over a filter returned with a reference for the caller.
std::shared_ptr<ContentRuleList> adopt(WebKitUserContentFilter* filter) {
  if (!filter) return nullptr;
  auto list = std::make_shared<WebKitContentRuleList>(filter);
  webkit_user_content_filter_unref(filter);
  return list;
}

}  // namespace

WebKitContentRuleStore::WebKitContentRuleStore(const std::filesystem::path& folder)
    : store_(GObjectRef<WebKitUserContentFilterStore>::adopt(
          webkit_user_content_filter_store_new(folder.c_str()))) {}

WebKitContentRuleStore::~WebKitContentRuleStore() = default;

void WebKitContentRuleStore::lookUp(const std::string& identifier, LookUpDone done) {
  if (auto waiting = compiling_.find(identifier); waiting != compiling_.end()) {
    waiting->second.push_back(
        [done = std::move(done)](CompileResult result) { done(std::move(result.list)); });
    return;
  }
  webkit_user_content_filter_store_load(
      store_.get(), identifier.c_str(), nullptr, finishPending,
      pending([done = std::move(done)](WebKitUserContentFilterStore* store, GAsyncResult* result) {
        // Not found and unreadable are alike to the caller: it compiles anew.
        done(adopt(webkit_user_content_filter_store_load_finish(store, result, nullptr)));
      }));
}

void WebKitContentRuleStore::compile(const std::string& identifier, std::string encodedRules,
                                     CompileDone done) {
  auto& waiting = compiling_[identifier];
  waiting.push_back(std::move(done));
  if (waiting.size() > 1) return;

  // The engine may hold the bytes after this call; they go when it lets go of them.
  auto text = std::make_unique<std::string>(std::move(encodedRules));
  GBytes* bytes = g_bytes_new_with_free_func(
      text->data(), text->size(),
      [](gpointer data) { std::unique_ptr<std::string>(static_cast<std::string*>(data)); },
      text.get());
  text.release();
  webkit_user_content_filter_store_save(
      store_.get(), identifier.c_str(), bytes, nullptr, finishPending,
      pending([weak = weak_from_this(), identifier](WebKitUserContentFilterStore* store,
                                                    GAsyncResult* result) {
        GError* error = nullptr;
        CompileResult compiled{
            adopt(webkit_user_content_filter_store_save_finish(store, result, &error)),
            std::nullopt};
        if (error) compiled.error = error->message;
        g_clear_error(&error);
        if (auto self = weak.lock()) self->compiled(identifier, std::move(compiled));
      }));
  g_bytes_unref(bytes);
}

void WebKitContentRuleStore::compiled(const std::string& identifier, CompileResult result) {
  const auto waiting = compiling_.extract(identifier);
  if (waiting.empty()) return;
  for (const auto& done : waiting.mapped()) done(result);
}

void WebKitContentRuleStore::identifiers(IdentifiersDone done) {
  webkit_user_content_filter_store_fetch_identifiers(
      store_.get(), nullptr, finishPending,
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
  webkit_user_content_filter_store_remove(
      store_.get(), identifier.c_str(), nullptr, finishPending,
      pending([](WebKitUserContentFilterStore* store, GAsyncResult* result) {
        webkit_user_content_filter_store_remove_finish(store, result, nullptr);
      }));
}

}  // namespace zemblo
