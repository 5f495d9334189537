#pragma once

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <chrono>
#include <memory>
#include <optional>

#include "model/page_dialog.h"
#include "platform/alive_token.h"
#include "platform/gobject_ref.h"
#include "web/dialog_frames.h"
#include "web/print_dialog_registry.h"

namespace zemblo {

class BrowserTab;
class PagePrintDialog;

// What one web view's page asks of the user through dialogs, in the tab's terms: its alerts,
// confirms and prompts wait in the tab for the user's answer, its prints open one dialog at a
// time, only on screen, and its upload fields open one file chooser, only right after the user's
// press. The tab's dialog guard decides whether the page may ask at all.
class WebKitPageDialogs {
 public:
  WebKitPageDialogs(WebKitWebView* view, std::weak_ptr<BrowserTab> tab);
  ~WebKitPageDialogs();
  WebKitPageDialogs(const WebKitPageDialogs&) = delete;
  WebKitPageDialogs& operator=(const WebKitPageDialogs&) = delete;

  // A page may open a file chooser only this soon after the user's press on it.
  static constexpr std::chrono::seconds kFileChooserActivation{2};

  // The engine's print dialogs, which quitting closes all at once.
  void setPrintDialogs(std::shared_ptr<PrintDialogRegistry> registry) {
    printDialogs_ = std::move(registry);
  }
  // The user pressed a button or a key on the page.
  void userPressed() { lastUserPress_ = g_get_monotonic_time(); }
  // The page waits on its alert, confirm or prompt, which has the keyboard.
  bool scriptDialogPending() const { return scriptDialog_ != nullptr; }
  // A page waiting on an alert or a print dialog cannot start another navigation: the user's
  // load answers it.
  void cancelForLoad();
  // The user's own print of the page; brings its dialog forward when one is up.
  void print();

 private:
  struct ScriptDialog;
  struct FileChooser;

  static gboolean onScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog,
                                 WebKitPageDialogs* self);
  static gboolean onRunFileChooser(WebKitWebView*, WebKitFileChooserRequest* request,
                                   WebKitPageDialogs* self);
  static gboolean onPrint(WebKitWebView*, WebKitPrintOperation* operation, WebKitPageDialogs* self);
  static void onUnmap(GtkWidget*, WebKitPageDialogs* self);
  static void onLoadChanged(WebKitWebView*, WebKitLoadEvent event, WebKitPageDialogs* self);

  GtkWindow* window() const;
  void showScriptDialog(WebKitScriptDialog* dialog, const DialogSource& source);
  // Answers the page's pending alert, confirm or prompt; nothing when none is pending.
  void answerScriptDialog(const PageDialogAnswer& answer);
  void cancelScriptDialog();
  // Only the page on screen prints, one dialog at a time, and none once quitting has begun.
  bool mayOpenPrintDialog() const;
  // The tab's guard lets its page raise a dialog of its own.
  bool pageMayRaiseDialog() const;
  void runPrintDialog(GObjectRef<WebKitPrintOperation> operation, bool askedByPage);
  // The user's last press on the page, if it was recent enough to open a file chooser; once.
  bool takeFileChooserActivation();
  void showFileChooser(WebKitFileChooserRequest* request);
  void finishFileChooser(bool accepted);

  WebKitWebView* view_;  // the port's, which outlives this object
  std::weak_ptr<BrowserTab> tab_;
  std::shared_ptr<DialogFrames> frames_;
  std::unique_ptr<ScriptDialog> scriptDialog_;
  std::unique_ptr<FileChooser> fileChooser_;
  // When the user last pressed a button or a key on the page (monotonic microseconds).
  std::optional<gint64> lastUserPress_;
  std::shared_ptr<PrintDialogRegistry> printDialogs_ = std::make_shared<PrintDialogRegistry>();
  // The print dialog being shown, which lives on the stack of its run.
  PagePrintDialog* printDialog_ = nullptr;
  // Tells the answers that come after this object whether it still exists.
  AliveToken alive_;
  SignalHandlers handlers_;
};

}  // namespace zemblo
