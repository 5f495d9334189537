#include "web/webkit_download_transfer.h"

#include <libsoup/soup.h>

#include "platform/text.h"
#include "platform/url.h"

namespace zemblo {

void WebKitDownloadTransfer::start(WebKitDownload* download,
                                   const std::weak_ptr<DownloadManager>& manager) {
  const auto owner = manager.lock();
  if (!owner) {
    // Left alone, the engine would save under the server's name, over any file of that name.
    webkit_download_cancel(download);
    return;
  }
  std::optional<Url> address;
  if (WebKitURIRequest* request = webkit_download_get_request(download)) {
    if (const char* uri = webkit_uri_request_get_uri(request)) address = Url::parse(uri);
  }
  std::unique_ptr<WebKitDownloadTransfer> transfer(new WebKitDownloadTransfer(download, manager));
  WebKitDownloadTransfer& self = *transfer;
  self.userNamesFile_ = g_object_get_data(G_OBJECT(download), kUserNamesFileKey) != nullptr;
  self.item_ = owner->track(address, std::move(transfer));
  self.connectSignals();
}

WebKitDownloadTransfer::WebKitDownloadTransfer(WebKitDownload* download,
                                               std::weak_ptr<DownloadManager> manager)
    : download_(GObjectRef<WebKitDownload>::share(download)), manager_(std::move(manager)) {}

WebKitDownloadTransfer::~WebKitDownloadTransfer() = default;

void WebKitDownloadTransfer::connectSignals() {
  handlers_.connect(download_.get(), "decide-destination", toGCallback(onDecideDestination), this);
  handlers_.connect(download_.get(), "notify::estimated-progress", toGCallback(onProgress), this);
  handlers_.connect(download_.get(), "failed", toGCallback(onFailed), this);
  handlers_.connect(download_.get(), "finished", toGCallback(onFinished), this);
}

void WebKitDownloadTransfer::cancel() {
  handlers_.disconnectAll();
  webkit_download_cancel(download_.get());
}

gboolean WebKitDownloadTransfer::onDecideDestination(WebKitDownload* download, gchar* suggestedName,
                                                     WebKitDownloadTransfer* self) {
  const auto manager = self->manager_.lock();
  const auto item = self->item_.lock();
  if (!manager || !item) return FALSE;
  // The engine waits for a destination set after this returns, as long as the user takes to
  // choose one. The manager calls back only while it still owns `self`; without a file it has
  // stopped the download (and `self` is gone).
  manager->chooseDestination(
      *item, suggestedName ? suggestedName : "",
      [download](const std::filesystem::path& partial) {
        // The partial file is the manager's own, made for this download
        // alone.
        webkit_download_set_allow_overwrite(download, TRUE);
        webkit_download_set_destination(download, partial.c_str());
      },
      self->userNamesFile_);
  return TRUE;
}

void WebKitDownloadTransfer::onProgress(WebKitDownload* download, GParamSpec*,
                                        WebKitDownloadTransfer* self) {
  const auto manager = self->manager_.lock();
  const auto item = self->item_.lock();
  if (manager && item)
    manager->reportProgress(*item, webkit_download_get_estimated_progress(download));
}

void WebKitDownloadTransfer::onFailed(WebKitDownload*, GError* error,
                                      WebKitDownloadTransfer* self) {
  const auto manager = self->manager_.lock();
  const auto item = self->item_.lock();
  if (!manager || !item) return;
  g_warning("Download of %s failed: %s", item->filename.peek().c_str(),
            error ? error->message : "unknown error");
  manager->fail(*item);
}

void WebKitDownloadTransfer::onFinished(WebKitDownload* download, WebKitDownloadTransfer* self) {
  const auto manager = self->manager_.lock();
  const auto item = self->item_.lock();
  if (!manager || !item) return;
  if (const auto missing = bytesMissing(download)) {
    g_warning("Download of %s ended %" G_GUINT64_FORMAT " bytes short of the announced length",
              item->filename.peek().c_str(), *missing);
    manager->fail(*item);
    return;
  }
  manager->finish(*item);
}

namespace {

// How many layers of the body's encoding the engine undoes before it counts bytes: none for a
// body it hands on as it came over the wire, so that what it counts is what the server's length
// announced. It decodes a body whose every encoding it knows (its network library's gzip, deflate
// and brotli); one it can't decode whole reaches the file untouched.
int decodedLayers(const char* contentEncoding) {
  if (!contentEncoding) return 0;
  int decoded = 0;
  bool known = true;
  gchar** encodings = g_strsplit(contentEncoding, ",", -1);
  for (gchar** each = encodings; *each; ++each) {
    const std::string name = asciiLowercased(trimmedWhitespaceAndNewlines(*each));
    if (name.empty() || name == "identity") continue;
    if (name == "gzip" || name == "x-gzip" || name == "deflate" || name == "br") {
      ++decoded;
    } else {
      known = false;
    }
  }
  g_strfreev(encodings);
  return known ? decoded : 0;
}

// The most bytes an encoder can have sent for `decoded` bytes. Compression that gains nothing
// still stores the bytes as they are in blocks of 16 KB or more, with a few bytes of framing per
// block and a small header; this bound is well above that, so that a whole body is never taken
// for a cut one.
guint64 largestEncodedSize(guint64 decoded, int layers) {
  guint64 bound = decoded;
  for (int layer = 0; layer < layers; ++layer) bound += bound / 64 + 1024;
  return bound;
}

}  // namespace

std::optional<guint64> WebKitDownloadTransfer::bytesMissing(WebKitDownload* download) {
  WebKitURIResponse* response = webkit_download_get_response(download);
  if (!response) return std::nullopt;
  const guint64 announced = webkit_uri_response_get_content_length(response);
  SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
  const char* encoding =
      headers ? soup_message_headers_get_one(headers, "Content-Encoding") : nullptr;
  if (announced == 0) return std::nullopt;
  const guint64 received = webkit_download_get_received_data_length(download);
  const int layers = decodedLayers(encoding);
  // A decoded body is counted after decoding, and the length announced is that of the encoded
  // one. The engine tells neither how many encoded bytes came nor that a decoded body that ended
  // with its connection was cut short: its network library takes the early end for the body's
  // end and its decoders accept a stream cut off there. What it decoded still bounds what can
  // have come: a body that decodes to less than the announced bytes could hold was cut short. A
  // body that compressed well and was cut late decodes to more and can't be told from a whole one.
  const guint64 arrivedAtMost = largestEncodedSize(received, layers);
  if (arrivedAtMost >= announced) return std::nullopt;
  return announced - arrivedAtMost;
}

}  // namespace zemblo
