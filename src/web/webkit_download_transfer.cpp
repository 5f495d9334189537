#include "web/webkit_download_transfer.h"

#include <libsoup/soup.h>

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
  const auto partial = manager->decideDestination(*item, suggestedName ? suggestedName : "");
  // Without a file the manager has stopped the download (and `self` is gone).
  if (!partial) return TRUE;
  // The partial file is the manager's own, made for this download alone.
  webkit_download_set_allow_overwrite(download, TRUE);
  webkit_download_set_destination(download, partial->c_str());
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

std::optional<guint64> WebKitDownloadTransfer::bytesMissing(WebKitDownload* download) {
  WebKitURIResponse* response = webkit_download_get_response(download);
  if (!response) return std::nullopt;
  const guint64 announced = webkit_uri_response_get_content_length(response);
  // A compressed body is counted before it is decoded, and the engine counts what it decoded.
  SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
  const char* encoding =
      headers ? soup_message_headers_get_one(headers, "Content-Encoding") : nullptr;
  if (announced == 0 || (encoding && g_ascii_strcasecmp(encoding, "identity") != 0)) {
    return std::nullopt;
  }
  const guint64 received = webkit_download_get_received_data_length(download);
  if (received >= announced) return std::nullopt;
  return announced - received;
}

}  // namespace zemblo
