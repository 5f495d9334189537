#include "platform/keyring_item.h"

#include <libsecret/secret.h>

#include "platform/gobject_ref.h"

namespace zemblo {
namespace {

std::string messageOf(const GError* error) {
  return error ? error->message : "the keyring gave no reason";
}

// The item vanished behind our back (deleted by another program): it must be created again.
bool itemIsGone(const GError* error) {
  return g_error_matches(error, SECRET_ERROR, SECRET_ERROR_NO_SUCH_OBJECT) ||
         g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT) ||
         g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD);
}

struct SecretValueRef {
  explicit SecretValueRef(SecretValue* value) : value(value) {}
  ~SecretValueRef() { secret_value_unref(value); }
  SecretValueRef(const SecretValueRef&) = delete;
  SecretValueRef& operator=(const SecretValueRef&) = delete;
  SecretValue* value;
};

}  // namespace

struct KeyringItem::State : std::enable_shared_from_this<State> {
  using Step = std::function<void(State&, GObject*, GAsyncResult*)>;
  using Value = std::shared_ptr<SecretValueRef>;

  Identity identity;
  SecretSchema schema{};
  GObjectRef<GCancellable> cancellable = GObjectRef<GCancellable>::adopt(g_cancellable_new());
  GObjectRef<SecretService> service;
  GObjectRef<SecretItem> item;
  bool creatingCollection = false;

  explicit State(Identity identity) : identity(std::move(identity)) {
    schema.name = this->identity.schema.c_str();
    // Only the attributes decide, as for an item stored by another program under the same ones.
    schema.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
    size_t i = 0;
    for (const auto& attribute : this->identity.attributes) {
      if (i + 1 >= G_N_ELEMENTS(schema.attributes)) break;
      schema.attributes[i++] = {attribute.first.c_str(), SECRET_SCHEMA_ATTRIBUTE_STRING};
    }
  }

  // The continuation of one asynchronous call; it runs only while the item exists.
  struct Call {
    std::weak_ptr<State> state;
    Step step;
  };
  gpointer then(Step step) { return new Call{weak_from_this(), std::move(step)}; }
  static void resume(GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<Call> call(static_cast<Call*>(data));
    if (const auto state = call->state.lock()) call->step(*state, source, result);
  }

  GHashTable* newAttributes() const {
    GHashTable* table = g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free);
    for (const auto& [name, value] : identity.attributes) {
      g_hash_table_insert(table, g_strdup(name.c_str()), g_strdup(value.c_str()));
    }
    return table;
  }

  void withService(std::function<void(State&, std::string error)> next) {
    if (service) {
      next(*this, {});
      return;
    }
    secret_service_open(SECRET_TYPE_SERVICE, nullptr, SECRET_SERVICE_OPEN_SESSION,
                        cancellable.get(), &State::resume,
                        then([next](State& self, GObject*, GAsyncResult* result) {
                          GError* error = nullptr;
                          SecretService* opened = secret_service_open_finish(result, &error);
                          if (!opened) {
                            next(self, messageOf(error));
                            g_clear_error(&error);
                            return;
                          }
                          self.service = GObjectRef<SecretService>::adopt(opened);
                          next(self, {});
                        }));
  }

  // Holds the most recently modified of the items found; false when there was none.
  bool holdNewest(GList* items) {
    SecretItem* newest = nullptr;
    for (GList* link = items; link; link = link->next) {
      auto* candidate = SECRET_ITEM(link->data);
      if (!newest || secret_item_get_modified(candidate) > secret_item_get_modified(newest)) {
        newest = candidate;
      }
    }
    if (newest) item = GObjectRef<SecretItem>::adopt(SECRET_ITEM(g_object_ref(newest)));
    g_list_free_full(items, g_object_unref);
    return newest != nullptr;
  }

  void search(SecretSearchFlags flags, std::function<void(State&, bool found, std::string)> next) {
    GHashTable* attributes = newAttributes();
    secret_service_search(service.get(), &schema, attributes, flags, cancellable.get(),
                          &State::resume, then([next](State& self, GObject*, GAsyncResult* result) {
                            GError* error = nullptr;
                            GList* items =
                                secret_service_search_finish(self.service.get(), result, &error);
                            if (error) {
                              next(self, false, messageOf(error));
                              g_clear_error(&error);
                              return;
                            }
                            next(self, self.holdNewest(items), {});
                          }));
    g_hash_table_unref(attributes);
  }

  ReadResult heldSecret() const {
    if (secret_item_get_locked(item.get())) return {ReadStatus::failed, {}, "the item is locked"};
    SecretValue* value = secret_item_get_secret(item.get());
    if (!value) return {ReadStatus::failed, {}, "the item's secret could not be loaded"};
    gsize length = 0;
    const gchar* bytes = secret_value_get(value, &length);
    ReadResult result{ReadStatus::found, std::string(bytes ? bytes : "", bytes ? length : 0), {}};
    secret_value_unref(value);
    return result;
  }

  void read(ReadDone done) {
    withService([done](State& self, const std::string& error) {
      if (!error.empty()) return done({ReadStatus::failed, {}, error});
      constexpr auto kFlags =
          SecretSearchFlags(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS);
      self.search(kFlags, [done](State& self, bool found, const std::string& error) {
        if (!error.empty()) return done({ReadStatus::failed, {}, error});
        if (found) return done(self.heldSecret());
        self.readFromDefaultCollection(done);
      });
    });
  }

  // Nothing was found. Some keyrings hide the items of a locked collection, so "no item" is
  // believed only once the default collection is open.
  void readFromDefaultCollection(ReadDone done) {
    secret_collection_for_alias(
        service.get(), SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, cancellable.get(),
        &State::resume, then([done](State& self, GObject*, GAsyncResult* result) {
          GError* error = nullptr;
          SecretCollection* found = secret_collection_for_alias_finish(result, &error);
          if (error) {
            done({ReadStatus::failed, {}, messageOf(error)});
            g_clear_error(&error);
            return;
          }
          if (!found) return done({ReadStatus::notFound, {}, {}});
          auto collection = std::make_shared<GObjectRef<SecretCollection>>(
              GObjectRef<SecretCollection>::adopt(found));
          if (!secret_collection_get_locked(found)) return done({ReadStatus::notFound, {}, {}});
          self.unlockThenSearch(collection, done);
        }));
  }

  void unlockThenSearch(std::shared_ptr<GObjectRef<SecretCollection>> collection, ReadDone done) {
    GList* objects = g_list_append(nullptr, collection->get());
    secret_service_unlock(
        service.get(), objects, cancellable.get(), &State::resume,
        then([done, collection](State& self, GObject*, GAsyncResult* result) {
          GError* error = nullptr;
          const gint unlocked =
              secret_service_unlock_finish(self.service.get(), result, nullptr, &error);
          if (error || unlocked == 0) {
            done({ReadStatus::failed, {}, error ? messageOf(error) : "the keyring stays locked"});
            g_clear_error(&error);
            return;
          }
          constexpr auto kFlags = SecretSearchFlags(SECRET_SEARCH_ALL | SECRET_SEARCH_LOAD_SECRETS);
          self.search(kFlags, [done](State& self, bool found, const std::string& error) {
            if (!error.empty()) return done({ReadStatus::failed, {}, error});
            done(found ? self.heldSecret() : ReadResult{ReadStatus::notFound, {}, {}});
          });
        }));
    g_list_free(objects);
  }

  void write(std::string data, WriteDone done) {
    auto value = std::make_shared<SecretValueRef>(
        secret_value_new(data.data(), gssize(data.size()), identity.contentType.c_str()));
    withService([value, done](State& self, const std::string& error) {
      if (!error.empty()) return done(false, error);
      if (self.item) {
        self.replaceSecret(value, true, done);
      } else {
        self.create(value, done);
      }
    });
  }

  void replaceSecret(Value value, bool mayUnlock, WriteDone done) {
    secret_item_set_secret(
        item.get(), value->value, cancellable.get(), &State::resume,
        then([value, mayUnlock, done](State& self, GObject* source, GAsyncResult* result) {
          GError* error = nullptr;
          if (secret_item_set_secret_finish(SECRET_ITEM(source), result, &error)) {
            return done(true, {});
          }
          if (mayUnlock && g_error_matches(error, SECRET_ERROR, SECRET_ERROR_IS_LOCKED)) {
            self.unlockItemThenReplace(value, done);
          } else if (itemIsGone(error)) {
            self.item.reset();
            self.create(value, done);
          } else {
            done(false, messageOf(error));
          }
          g_clear_error(&error);
        }));
  }

  void unlockItemThenReplace(Value value, WriteDone done) {
    GList* objects = g_list_append(nullptr, item.get());
    secret_service_unlock(service.get(), objects, cancellable.get(), &State::resume,
                          then([value, done](State& self, GObject*, GAsyncResult* result) {
                            GError* error = nullptr;
                            secret_service_unlock_finish(self.service.get(), result, nullptr,
                                                         &error);
                            if (error) {
                              done(false, messageOf(error));
                              g_clear_error(&error);
                              return;
                            }
                            self.replaceSecret(value, false, done);
                          }));
    g_list_free(objects);
  }

  // Stores into the default collection only when there is one. Without it the write fails at
  // once, and the keyring is asked to create the collection: that asks the user, who may take
  // any time or never answer, so the caller learns of the failure now and writes again later.
  void create(Value value, WriteDone done) {
    secret_collection_for_alias(
        service.get(), SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, cancellable.get(),
        &State::resume, then([value, done](State& self, GObject*, GAsyncResult* result) {
          GError* error = nullptr;
          SecretCollection* found = secret_collection_for_alias_finish(result, &error);
          if (error) {
            done(false, messageOf(error));
            g_clear_error(&error);
            return;
          }
          if (!found) {
            self.createDefaultCollection();
            return done(false, "the keyring has no default collection");
          }
          g_object_unref(found);
          self.store(value, done);
        }));
  }

  void createDefaultCollection() {
    if (creatingCollection) return;
    creatingCollection = true;
    secret_collection_create(
        service.get(), identity.collectionLabel.c_str(), SECRET_COLLECTION_DEFAULT,
        SECRET_COLLECTION_CREATE_NONE, cancellable.get(), &State::resume,
        then([](State& self, GObject*, GAsyncResult* result) {
          self.creatingCollection = false;
          GError* error = nullptr;
          SecretCollection* created = secret_collection_create_finish(result, &error);
          if (created) {
            g_object_unref(created);
          } else {
            g_warning("The keyring made no default collection: %s", messageOf(error).c_str());
          }
          g_clear_error(&error);
        }));
  }

  void store(Value value, WriteDone done) {
    GHashTable* attributes = newAttributes();
    secret_service_store(service.get(), &schema, attributes, SECRET_COLLECTION_DEFAULT,
                         identity.label.c_str(), value->value, cancellable.get(), &State::resume,
                         then([done](State& self, GObject*, GAsyncResult* result) {
                           GError* error = nullptr;
                           if (!secret_service_store_finish(self.service.get(), result, &error)) {
                             done(false, messageOf(error));
                             g_clear_error(&error);
                             return;
                           }
                           // Later writes go to this item, which keeps its label. Not finding it
                           // again only means the next write stores anew, which replaces it.
                           self.search(SECRET_SEARCH_ALL, [done](State&, bool, const std::string&) {
                             done(true, {});
                           });
                         }));
    g_hash_table_unref(attributes);
  }
};

KeyringItem::KeyringItem(Identity identity)
    : state_(std::make_shared<State>(std::move(identity))) {}

KeyringItem::~KeyringItem() { g_cancellable_cancel(state_->cancellable.get()); }

void KeyringItem::read(ReadDone done) { state_->read(std::move(done)); }

void KeyringItem::write(std::string data, WriteDone done) {
  state_->write(std::move(data), std::move(done));
}

}  // namespace zemblo
