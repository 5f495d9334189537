#pragma once

#include <webkit/webkit.h>

#include <memory>
#include <optional>

#include "model/download_manager.h"
#include "platform/gobject_ref.h"

namespace zemblo {

// One WebKitDownload, translated for the download manager: the engine asks the manager where to
// write and reports progress, completion and failure to it. The manager owns this object for as
// long as the download runs.
class WebKitDownloadTransfer : public DownloadTransfer {
 public:
  // Set on a download the user started to save under a name of their own: the user is asked
  // where, whatever the download settings say.
  static constexpr const char* kUserNamesFileKey = "zemblo-user-names-file";

  // Hands a download that has just started to the manager; without a manager the download is
  // cancelled before it writes anything.
  static void start(WebKitDownload* download, const std::weak_ptr<DownloadManager>& manager);

  ~WebKitDownloadTransfer() override;
  WebKitDownloadTransfer(const WebKitDownloadTransfer&) = delete;
  WebKitDownloadTransfer& operator=(const WebKitDownloadTransfer&) = delete;

  void cancel() override;

 private:
  WebKitDownloadTransfer(WebKitDownload* download, std::weak_ptr<DownloadManager> manager);
  void connectSignals();

  // Each handler may end with the manager destroying `self`: none touches it after the call.
  static gboolean onDecideDestination(WebKitDownload* download, gchar* suggestedName,
                                      WebKitDownloadTransfer* self);
  static void onProgress(WebKitDownload* download, GParamSpec*, WebKitDownloadTransfer* self);
  static void onFailed(WebKitDownload* download, GError* error, WebKitDownloadTransfer* self);
  static void onFinished(WebKitDownload* download, WebKitDownloadTransfer* self);
  // How many bytes short of the length the response announced the download ended; nothing when
  // it is whole or announced no length it can be held to. An answer that ends with its
  // connection looks finished to the engine however early the server stopped.
  static std::optional<guint64> bytesMissing(WebKitDownload* download);

  GObjectRef<WebKitDownload> download_;
  std::weak_ptr<DownloadManager> manager_;
  std::weak_ptr<DownloadItem> item_;
  bool userNamesFile_ = false;
  SignalHandlers handlers_;
};

}  // namespace zemblo
