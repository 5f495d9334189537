#include "web/favicon_loader.h"

#include <gtk/gtk.h>
#include <libsoup/soup.h>

#include <algorithm>
#include <list>
#include <map>
#include <unordered_map>

#include "platform/gobject_ref.h"
#include "platform/url.h"

namespace zemblo {
namespace {

constexpr gsize kReadChunk = 64 * 1024;

}  // namespace

struct FaviconLoader::Impl {
  explicit Impl(size_t capacity)
      : capacity(std::max<size_t>(capacity, 1)),
        session(GObjectRef<SoupSession>::adopt(soup_session_new_with_options(
            "timeout", static_cast<guint>(kTimeout.count()), "idle-timeout",
            static_cast<guint>(kTimeout.count()), nullptr))) {}

  // Records the answer and tells everyone waiting for it.
  void finish(const std::string& address, Picture picture) {
    remember(address, picture);
    const auto found = waiting.find(address);
    if (found == waiting.end()) return;
    // Taken out first: a listener may ask for more addresses while it is told.
    auto listeners = std::move(found->second);
    waiting.erase(found);
    listeners->emit(picture);
  }

  // Newest first; the oldest goes once there are more than `capacity`.
  void remember(const std::string& address, const Picture& picture) {
    if (const auto found = index.find(address); found != index.end()) {
      found->second->second = picture;
      recent.splice(recent.begin(), recent, found->second);
      return;
    }
    recent.emplace_front(address, picture);
    index[address] = recent.begin();
    if (recent.size() <= capacity) return;
    index.erase(recent.back().first);
    recent.pop_back();
  }

  std::optional<Picture> recall(const std::string& address) {
    const auto found = index.find(address);
    if (found == index.end()) return std::nullopt;
    recent.splice(recent.begin(), recent, found->second);
    return found->second->second;
  }

  using Recent = std::list<std::pair<std::string, Picture>>;
  const size_t capacity;
  GObjectRef<SoupSession> session;
  Recent recent;
  std::unordered_map<std::string, Recent::iterator> index;
  std::map<std::string, std::unique_ptr<sigc::signal<void(Picture)>>> waiting;
};

// One request on its way: its message, the response body read so far and its deadline. Passed
// through the asynchronous steps by ownership; the loader is reached only through a weak
// reference.
struct FaviconLoader::Fetch {
  Fetch(std::weak_ptr<Impl> owner, std::string address, SoupMessage* message)
      : owner(std::move(owner)),
        address(std::move(address)),
        message(GObjectRef<SoupMessage>::adopt(message)),
        cancellable(GObjectRef<GCancellable>::adopt(g_cancellable_new())),
        body(g_byte_array_new()) {
    // Ends the request wherever it stands: connecting, waiting, reading or decoding.
    deadline = g_timeout_add_seconds(
        static_cast<guint>(kTimeout.count()),
        +[](gpointer data) {
          auto* self = static_cast<Fetch*>(data);
          self->deadline = 0;
          g_cancellable_cancel(self->cancellable.get());
          return G_SOURCE_REMOVE;
        },
        this);
  }
  ~Fetch() {
    if (deadline) g_source_remove(deadline);
    g_byte_array_unref(body);
  }
  Fetch(const Fetch&) = delete;
  Fetch& operator=(const Fetch&) = delete;

  static void start(std::unique_ptr<Fetch> fetch);
  static void sent(GObject* source, GAsyncResult* result, gpointer data);
  static void readMore(std::unique_ptr<Fetch> fetch);
  static void read(GObject* source, GAsyncResult* result, gpointer data);
  static void decode(std::unique_ptr<Fetch> fetch);
  static void decodeInThread(GTask* task, gpointer, gpointer data, GCancellable*);
  static void decoded(GObject* source, GAsyncResult* result, gpointer data);
  static void fail(std::unique_ptr<Fetch> fetch) { deliver(std::move(fetch), {}); }
  static void deliver(std::unique_ptr<Fetch> fetch, Picture picture) {
    if (auto loader = fetch->owner.lock()) loader->finish(fetch->address, std::move(picture));
  }

  std::weak_ptr<Impl> owner;
  std::string address;
  GObjectRef<SoupMessage> message;
  GObjectRef<GCancellable> cancellable;
  GObjectRef<GInputStream> stream;
  GByteArray* body;
  guint deadline = 0;
};

void FaviconLoader::Fetch::start(std::unique_ptr<Fetch> fetch) {
  auto loader = fetch->owner.lock();
  if (!loader) return;
  Fetch* raw = fetch.get();
  soup_session_send_async(loader->session.get(), raw->message.get(), G_PRIORITY_LOW,
                          raw->cancellable.get(), &Fetch::sent, fetch.release());
}

void FaviconLoader::Fetch::sent(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Fetch> fetch(static_cast<Fetch*>(data));
  GInputStream* stream = soup_session_send_finish(SOUP_SESSION(source), result, nullptr);
  if (!stream) return fail(std::move(fetch));
  fetch->stream = GObjectRef<GInputStream>::adopt(stream);
  const unsigned status = soup_message_get_status(fetch->message.get());
  SoupMessageHeaders* headers = soup_message_get_response_headers(fetch->message.get());
  const goffset announced = soup_message_headers_get_content_length(headers);
  if (status < 200 || status > 299 || announced > static_cast<goffset>(kMaximumBytes)) {
    return fail(std::move(fetch));
  }
  readMore(std::move(fetch));
}

void FaviconLoader::Fetch::readMore(std::unique_ptr<Fetch> fetch) {
  Fetch* raw = fetch.get();
  g_input_stream_read_bytes_async(raw->stream.get(), kReadChunk, G_PRIORITY_LOW,
                                  raw->cancellable.get(), &Fetch::read, fetch.release());
}

void FaviconLoader::Fetch::read(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Fetch> fetch(static_cast<Fetch*>(data));
  GBytes* chunk = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, nullptr);
  if (!chunk) return fail(std::move(fetch));
  gsize size = 0;
  const auto* bytes = static_cast<const guint8*>(g_bytes_get_data(chunk, &size));
  if (size > 0) g_byte_array_append(fetch->body, bytes, static_cast<guint>(size));
  g_bytes_unref(chunk);
  if (fetch->body->len > kMaximumBytes) return fail(std::move(fetch));
  if (size == 0) return decode(std::move(fetch));
  readMore(std::move(fetch));
}

void FaviconLoader::Fetch::decode(std::unique_ptr<Fetch> fetch) {
  if (fetch->body->len == 0) return fail(std::move(fetch));
  GBytes* bytes = g_bytes_new(fetch->body->data, fetch->body->len);
  GCancellable* cancellable = fetch->cancellable.get();
  GTask* task = g_task_new(nullptr, cancellable, &Fetch::decoded, fetch.release());
  g_task_set_task_data(task, bytes, reinterpret_cast<GDestroyNotify>(g_bytes_unref));
  g_task_run_in_thread(task, &Fetch::decodeInThread);
  g_object_unref(task);
}

void FaviconLoader::Fetch::decodeInThread(GTask* task, gpointer, gpointer data, GCancellable*) {
  // Texture creation from bytes is safe off the main thread.
  GError* error = nullptr;
  GdkTexture* texture = gdk_texture_new_from_bytes(static_cast<GBytes*>(data), &error);
  if (texture) {
    g_task_return_pointer(task, texture, g_object_unref);
  } else {
    g_task_return_error(task, error);
  }
}

void FaviconLoader::Fetch::decoded(GObject*, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Fetch> fetch(static_cast<Fetch*>(data));
  auto* texture = static_cast<GdkTexture*>(g_task_propagate_pointer(G_TASK(result), nullptr));
  if (!texture) return fail(std::move(fetch));
  deliver(std::move(fetch), Glib::wrap(texture));
}

FaviconLoader::FaviconLoader(size_t rememberedAnswers)
    : impl_(std::make_shared<Impl>(rememberedAnswers)) {}

FaviconLoader::~FaviconLoader() = default;

std::optional<FaviconLoader::Picture> FaviconLoader::cached(const std::string& address) const {
  return impl_->recall(address);
}

void FaviconLoader::keep(const std::string& address, Picture picture) {
  impl_->finish(address, std::move(picture));
}

sigc::connection FaviconLoader::load(const std::string& address,
                                     const sigc::slot<void(Picture)>& done) {
  auto& listeners = impl_->waiting[address];
  const bool started = listeners != nullptr;
  if (!listeners) listeners = std::make_unique<sigc::signal<void(Picture)>>();
  sigc::connection connection = listeners->connect(done);
  if (started) return connection;

  if (const auto known = cached(address)) {
    // Answered before: told on the next turn, like any other answer.
    Glib::signal_idle().connect_once(
        [weak = std::weak_ptr<Impl>(impl_), address, picture = *known] {
          if (auto loader = weak.lock()) loader->finish(address, picture);
        });
    return connection;
  }
  const auto url = Url::parse(address);
  SoupMessage* message =
      url && url->isHttpOrHttps() ? soup_message_new("GET", address.c_str()) : nullptr;
  if (!message) {
    Glib::signal_idle().connect_once([weak = std::weak_ptr<Impl>(impl_), address] {
      if (auto loader = weak.lock()) loader->finish(address, {});
    });
    return connection;
  }
  Fetch::start(std::make_unique<Fetch>(impl_, address, message));
  return connection;
}

}  // namespace zemblo
