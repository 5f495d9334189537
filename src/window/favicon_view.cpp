#include "window/favicon_view.h"

#include <gtk/gtk.h>
#include <libsoup/soup.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "web/gobject_ref.h"
#include "window/letter_icon.h"
#include "window/paint.h"

namespace zemblo {
namespace {

constexpr gsize kReadChunk = 64 * 1024;
constexpr double kCornerFraction = 0.24;

}  // namespace

struct FaviconLoader::Impl {
  Impl()
      : session(GObjectRef<SoupSession>::adopt(soup_session_new_with_options(
            "timeout", static_cast<guint>(kTimeout.count()), "idle-timeout",
            static_cast<guint>(kTimeout.count()), nullptr))) {}

  // Records the answer and tells everyone waiting for it.
  void finish(const std::string& address, Picture picture) {
    answers[address] = picture;
    const auto found = waiting.find(address);
    if (found == waiting.end()) return;
    // Taken out first: a listener may ask for more addresses while it is told.
    auto listeners = std::move(found->second);
    waiting.erase(found);
    listeners->emit(picture);
  }

  GObjectRef<SoupSession> session;
  std::map<std::string, Picture> answers;
  std::map<std::string, std::unique_ptr<sigc::signal<void(Picture)>>> waiting;
  size_t requests = 0;
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
  ++loader->requests;
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

FaviconLoader& FaviconLoader::shared() {
  static FaviconLoader loader;
  return loader;
}

FaviconLoader::FaviconLoader() : impl_(std::make_shared<Impl>()) {}

FaviconLoader::~FaviconLoader() = default;

std::optional<FaviconLoader::Picture> FaviconLoader::cached(const std::string& address) const {
  const auto found = impl_->answers.find(address);
  if (found == impl_->answers.end()) return std::nullopt;
  return found->second;
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

size_t FaviconLoader::requestCount() const { return impl_->requests; }

FaviconView::FaviconView(double size) : size_(size) {
  set_name("FaviconView");
  set_can_target(false);
}

FaviconView::~FaviconView() { pending_.disconnect(); }

std::vector<std::string> FaviconView::candidates(const std::optional<Url>& url,
                                                 const std::optional<std::string>& host) {
  std::vector<std::string> list;
  if (url && url->isHttpOrHttps()) list.push_back(url->str());
  if (host && !host->empty()) {
    const std::string conventional = "https://" + *host + "/favicon.ico";
    if (std::ranges::find(list, conventional) == list.end()) list.push_back(conventional);
  }
  return list;
}

void FaviconView::set(std::optional<Url> url, std::optional<std::string> host, double size) {
  if (size != size_) {
    size_ = size;
    queue_resize();
  }
  if (started_ && url == url_ && host == host_) return;
  started_ = true;
  url_ = std::move(url);
  host_ = std::move(host);
  candidates_ = candidates(url_, host_);
  next_ = 0;
  picture_.reset();
  pending_.disconnect();
  tryNext();
  queue_draw();
}

void FaviconView::tryNext() {
  auto& loader = FaviconLoader::shared();
  while (next_ < candidates_.size()) {
    const std::string& address = candidates_[next_++];
    const auto known = loader.cached(address);
    if (!known) {
      pending_ = loader.load(address, sigc::mem_fun(*this, &FaviconView::loaded));
      return;
    }
    if (*known) {
      picture_ = *known;
      return;
    }
  }
}

void FaviconView::loaded(FaviconLoader::Picture picture) {
  if (picture) {
    picture_ = std::move(picture);
    queue_draw();
    return;
  }
  tryNext();
  queue_draw();
}

void FaviconView::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = static_cast<int>(std::ceil(size_));
  minimum_baseline = natural_baseline = -1;
}

void FaviconView::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t square =
      paint::rect((get_width() - size_) / 2, (get_height() - size_) / 2, size_, size_);
  if (!picture_) {
    LetterIcon::paint(*this, s, square, letterText());
    return;
  }
  // Scaled to fit, keeping its proportions.
  const double width = picture_->get_width();
  const double height = picture_->get_height();
  const double scale = std::min(size_ / std::max(width, 1.0), size_ / std::max(height, 1.0));
  const graphene_rect_t bounds =
      paint::rect(square.origin.x + (size_ - width * scale) / 2,
                  square.origin.y + (size_ - height * scale) / 2, width * scale, height * scale);
  const GskRoundedRect clip = paint::roundedRect(square, kCornerFraction * size_);
  gtk_snapshot_push_rounded_clip(s, &clip);
  gtk_snapshot_append_texture(s, picture_->gobj(), &bounds);
  gtk_snapshot_pop(s);
}

}  // namespace zemblo
