#include "web/page_drop_guard.h"

#include <memory>

#include "model/dropped_address.h"

namespace zemblo {

namespace {

// The formats the engine takes a dropped link from.
constexpr const char* kLinkFormats[] = {"text/uri-list", "_NETSCAPE_URL"};

// One format of a drop, read into memory; the guard hears of it only while it still exists.
struct LinkRead {
  PageDropGuard* guard;
  GObjectRef<GdkDrop> drop;
  std::string mimeType;
  GObjectRef<GCancellable> cancellable;
  GObjectRef<GOutputStream> buffer;
};

}  // namespace

PageDropGuard::PageDropGuard()
    : cancellable_(GObjectRef<GCancellable>::adopt(g_cancellable_new())) {}

PageDropGuard::~PageDropGuard() { g_cancellable_cancel(cancellable_.get()); }

bool PageDropGuard::stops(GdkEvent* event) {
  const GdkEventType type = gdk_event_get_event_type(event);
  if (type != GDK_DRAG_MOTION && type != GDK_DROP_START) return false;
  GdkDrop* drop = gdk_dnd_event_get_drop(event);
  if (!drop) return false;
  if (drop != drop_.get()) {
    drop_ = GObjectRef<GdkDrop>::share(drop);
    verdict_ = Verdict::allowed;
    pendingReads_ = 0;
    GdkContentFormats* formats = gdk_drop_get_formats(drop);
    for (const char* format : kLinkFormats) {
      if (gdk_content_formats_contain_mime_type(formats, format)) read(drop, format);
    }
  }
  if (type != GDK_DROP_START || verdict_ == Verdict::allowed) return false;
  // Links not yet read are refused with those read and found wanting: letting them through
  // unread would be letting any of them through.
  g_warning("A dropped link the page may not open was kept from it");
  gdk_drop_finish(drop, GdkDragAction(0));
  return true;
}

void PageDropGuard::read(GdkDrop* drop, const char* mimeType) {
  ++pendingReads_;
  verdict_ = Verdict::reading;
  auto state = std::make_unique<LinkRead>(
      LinkRead{this, GObjectRef<GdkDrop>::share(drop), mimeType,
               GObjectRef<GCancellable>::share(cancellable_.get()), GObjectRef<GOutputStream>{}});
  const char* mimeTypes[] = {mimeType, nullptr};
  gdk_drop_read_async(
      drop, mimeTypes, G_PRIORITY_DEFAULT, cancellable_.get(),
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<LinkRead> read(static_cast<LinkRead*>(data));
        GError* error = nullptr;
        GInputStream* stream = gdk_drop_read_finish(GDK_DROP(source), result, nullptr, &error);
        if (!stream) {
          if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
            g_warning("Could not read a dropped link: %s", error->message);
            read->guard->judged(read->drop.get(), read->mimeType, "");
          }
          g_error_free(error);
          return;
        }
        read->buffer = GObjectRef<GOutputStream>::adopt(g_memory_output_stream_new_resizable());
        GOutputStream* buffer = read->buffer.get();
        GCancellable* cancellable = read->cancellable.get();
        g_output_stream_splice_async(
            buffer, stream,
            GOutputStreamSpliceFlags(G_OUTPUT_STREAM_SPLICE_CLOSE_SOURCE |
                                     G_OUTPUT_STREAM_SPLICE_CLOSE_TARGET),
            G_PRIORITY_DEFAULT, cancellable,
            [](GObject* target, GAsyncResult* result, gpointer data) {
              std::unique_ptr<LinkRead> read(static_cast<LinkRead*>(data));
              GError* error = nullptr;
              const gssize size =
                  g_output_stream_splice_finish(G_OUTPUT_STREAM(target), result, &error);
              if (size < 0) {
                const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
                if (!cancelled) g_warning("Could not read a dropped link: %s", error->message);
                g_error_free(error);
                if (!cancelled) read->guard->judged(read->drop.get(), read->mimeType, "");
                return;
              }
              auto* memory = G_MEMORY_OUTPUT_STREAM(target);
              const auto* bytes = static_cast<const char*>(g_memory_output_stream_get_data(memory));
              read->guard->judged(read->drop.get(), read->mimeType,
                                  std::string(bytes ? bytes : "", bytes ? size_t(size) : 0));
            },
            read.release());
        g_object_unref(stream);
      },
      state.release());
}

void PageDropGuard::judged(GdkDrop* drop, const std::string& mimeType, const std::string& links) {
  if (drop != drop_.get()) return;  // a drop that is over
  // A Netscape link is its address, then its title on the next line.
  const std::string_view listed = mimeType == "_NETSCAPE_URL"
                                      ? std::string_view(links).substr(0, links.find('\n'))
                                      : std::string_view(links);
  const bool opens = everyDroppedUriOpens(listed);
  if (!opens) verdict_ = Verdict::refused;
  if (--pendingReads_ == 0 && verdict_ == Verdict::reading) verdict_ = Verdict::allowed;
}

}  // namespace zemblo
