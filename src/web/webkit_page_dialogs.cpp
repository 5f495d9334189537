#include "web/webkit_page_dialogs.h"

#include <gtkmm.h>

#include <string>
#include <utility>
#include <vector>

#include "model/browser_tab.h"
#include "web/page_print_dialog.h"

namespace zemblo {
namespace {

// Without a desktop portal, a native chooser is GTK's own dialog in this process: the chooser
// dialog shown for `parent`. Only one is up for a window: a page out of sight has none.
GtkWindow* chooserDialogOf(GtkWindow* parent) {
  GListModel* toplevels = gtk_window_get_toplevels();
  GtkWindow* found = nullptr;
  for (guint i = 0; i < g_list_model_get_n_items(toplevels) && !found; ++i) {
    auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
    if (GTK_IS_FILE_CHOOSER_DIALOG(window) && gtk_widget_get_visible(window) &&
        gtk_window_get_transient_for(GTK_WINDOW(window)) == parent) {
      found = GTK_WINDOW(window);
    }
    g_object_unref(window);
  }
  return found;
}

}  // namespace

struct WebKitPageDialogs::ScriptDialog {
  WebKitScriptDialog* request;  // referenced until answered
  // Quitting answers the page too: the application may end with the dialog still pending.
  SignalHandlers shutdown;
};

struct WebKitPageDialogs::FileChooser {
  GObjectRef<WebKitFileChooserRequest> request;
  Glib::RefPtr<Gtk::FileChooserNative> chooser;
  sigc::connection response;
};

WebKitPageDialogs::WebKitPageDialogs(WebKitWebView* view, std::weak_ptr<BrowserTab> tab)
    : view_(view),
      tab_(std::move(tab)),
      frames_(DialogFrames::install(webkit_web_view_get_user_content_manager(view))) {
  handlers_.connect(view, "script-dialog", toGCallback(&onScriptDialog), this);
  handlers_.connect(view, "run-file-chooser", toGCallback(&onRunFileChooser), this);
  handlers_.connect(view, "print", toGCallback(&onPrint), this);
  handlers_.connect(view, "unmap", toGCallback(&onUnmap), this);
  handlers_.connect(view, "load-changed", toGCallback(&onLoadChanged), this);
}

WebKitPageDialogs::~WebKitPageDialogs() {
  alive_.end();
  handlers_.disconnectAll();
  cancelScriptDialog();
  finishFileChooser(false);
  // Its run returns once the dialog is gone, and then finds this object gone too.
  if (printDialog_) printDialog_->cancel();
}

GtkWindow* WebKitPageDialogs::window() const {
  GtkRoot* root = gtk_widget_get_root(GTK_WIDGET(view_));
  return root && GTK_IS_WINDOW(root) ? GTK_WINDOW(root) : nullptr;
}

void WebKitPageDialogs::cancelForLoad() {
  cancelScriptDialog();
  if (printDialog_) printDialog_->cancel();
}

void WebKitPageDialogs::onUnmap(GtkWidget*, WebKitPageDialogs* self) {
  // The page went out of sight (another tab, a closed window): so do its print dialog and its
  // file chooser.
  if (self->printDialog_) self->printDialog_->cancel();
  self->finishFileChooser(false);
}

void WebKitPageDialogs::onLoadChanged(WebKitWebView*, WebKitLoadEvent event,
                                      WebKitPageDialogs* self) {
  // A page that moves on no longer waits for the answer to the alert it leaves behind.
  if (event == WEBKIT_LOAD_STARTED) self->cancelScriptDialog();
}

// --- alerts, confirmations and prompts

gboolean WebKitPageDialogs::onScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog,
                                           WebKitPageDialogs* self) {
  switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_ALERT:
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
    case WEBKIT_SCRIPT_DIALOG_PROMPT: {
      // Left unreferenced, the dialog is answered as cancelled when this handler returns (a
      // prompt with null). The key sent with it is used up either way.
      const DialogSource source = self->frames_->takeSource();
      if (self->pageMayRaiseDialog()) self->showScriptDialog(dialog, source);
      return TRUE;
    }
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
      webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
      return TRUE;
  }
  return FALSE;
}

void WebKitPageDialogs::showScriptDialog(WebKitScriptDialog* dialog, const DialogSource& source) {
  cancelScriptDialog();
  auto tab = tab_.lock();
  if (!tab) return;
  PageDialog shown;
  switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
      shown.kind = PageDialog::Kind::confirm;
      break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
      shown.kind = PageDialog::Kind::prompt;
      if (const char* text = webkit_script_dialog_prompt_get_default_text(dialog))
        shown.defaultText = text;
      break;
    default:
      shown.kind = PageDialog::Kind::alert;
      break;
  }
  shown.heading = dialogHeading(source);
  if (const char* message = webkit_script_dialog_get_message(dialog)) shown.message = message;

  auto pending = std::make_unique<ScriptDialog>();
  pending->request = webkit_script_dialog_ref(dialog);
  if (GApplication* application = g_application_get_default()) {
    auto onShutdown = +[](GApplication*, WebKitPageDialogs* self) { self->cancelScriptDialog(); };
    pending->shutdown.connect(application, "shutdown", toGCallback(onShutdown), this);
  }
  scriptDialog_ = std::move(pending);
  // The page waits until its tab is shown and the user answers there; the tab shows it only
  // over its own page, so it never covers another tab nor takes the window's keys.
  tab->dialogs.open(std::move(shown),
                    [this, alive = alive_.watch()](const PageDialogAnswer& answer) {
                      if (!alive.expired()) answerScriptDialog(answer);
                    });
}

void WebKitPageDialogs::cancelScriptDialog() {
  if (!scriptDialog_) return;
  if (auto tab = tab_.lock()) tab->dialogs.cancel();
  answerScriptDialog({});
}

void WebKitPageDialogs::answerScriptDialog(const PageDialogAnswer& answer) {
  if (!scriptDialog_) return;
  const auto pending = std::move(scriptDialog_);
  pending->shutdown.disconnectAll();
  switch (webkit_script_dialog_get_dialog_type(pending->request)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
      webkit_script_dialog_confirm_set_confirmed(pending->request, answer.confirmed);
      break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
      // A cancelled prompt gives the page null: no text set.
      if (answer.confirmed)
        webkit_script_dialog_prompt_set_text(pending->request, answer.text.c_str());
      break;
    default:
      break;
  }
  webkit_script_dialog_close(pending->request);
  webkit_script_dialog_unref(pending->request);
}

// --- upload fields

gboolean WebKitPageDialogs::onRunFileChooser(WebKitWebView*, WebKitFileChooserRequest* request,
                                             WebKitPageDialogs* self) {
  // A page can't raise choosers on its own (from a timer, in a loop): each needs a press of the
  // user's, and one chooser stays up at a time.
  if (self->fileChooser_ || !self->takeFileChooserActivation()) {
    webkit_file_chooser_request_cancel(request);
  } else {
    self->showFileChooser(request);
  }
  return TRUE;
}

bool WebKitPageDialogs::takeFileChooserActivation() {
  const auto pressed = std::exchange(lastUserPress_, std::nullopt);
  return pressed && g_get_monotonic_time() - *pressed <
                        std::chrono::microseconds(kFileChooserActivation).count();
}

void WebKitPageDialogs::showFileChooser(WebKitFileChooserRequest* request) {
  auto pending = std::make_unique<FileChooser>();
  pending->request = GObjectRef<WebKitFileChooserRequest>::share(request);
  GtkWindow* parent = window();
  pending->chooser = parent ? Gtk::FileChooserNative::create("", *Glib::wrap(parent),
                                                             Gtk::FileChooser::Action::OPEN)
                            : Gtk::FileChooserNative::create("", Gtk::FileChooser::Action::OPEN);
  pending->chooser->set_modal(true);
  pending->chooser->set_select_multiple(webkit_file_chooser_request_get_select_multiple(request));
  // The connection ends with the chooser's answer or with this object.
  pending->response = pending->chooser->signal_response().connect(
      [this](int response) { finishFileChooser(response == Gtk::ResponseType::ACCEPT); });
  fileChooser_ = std::move(pending);
  fileChooser_->chooser->show();
  // Like the print dialog: modal to nothing beyond itself, so the browser window keeps its keys
  // (Ctrl+W answers the chooser with its tab), and the application's keys work in it.
  if (GtkWindow* dialog = parent ? chooserDialogOf(parent) : nullptr) {
    GtkWindowGroup* group = gtk_window_group_new();
    gtk_window_group_add_window(group, dialog);
    g_object_unref(group);
    gtk_window_set_application(dialog, gtk_window_get_application(parent));
  }
}

void WebKitPageDialogs::finishFileChooser(bool accepted) {
  if (!fileChooser_) return;
  const auto pending = std::move(fileChooser_);
  pending->response.disconnect();
  std::vector<std::string> paths;
  if (accepted) {
    GListModel* files = gtk_file_chooser_get_files(GTK_FILE_CHOOSER(pending->chooser->gobj()));
    for (guint i = 0; files && i < g_list_model_get_n_items(files); ++i) {
      auto* file = static_cast<GFile*>(g_list_model_get_item(files, i));
      if (char* path = g_file_get_path(file)) {
        paths.emplace_back(path);
        g_free(path);
      }
      g_object_unref(file);
    }
    if (files) g_object_unref(files);
  }
  if (paths.empty()) {
    webkit_file_chooser_request_cancel(pending->request.get());
  } else {
    std::vector<const char*> list;
    for (const auto& path : paths) list.push_back(path.c_str());
    list.push_back(nullptr);
    webkit_file_chooser_request_select_files(pending->request.get(), list.data());
  }
  pending->chooser->hide();
  // The chooser may be emitting its answer right now: keep it until a later turn.
  Glib::signal_idle().connect_once([chooser = pending->chooser] {});
}

// --- printing

gboolean WebKitPageDialogs::onPrint(WebKitWebView*, WebKitPrintOperation* operation,
                                    WebKitPageDialogs* self) {
  // Always handled here: WebKit's own handling opens a dialog for every call, one over the
  // other, from a page in the background too. A page whose dialogs the user stopped can't print.
  if (self->mayOpenPrintDialog() && self->pageMayRaiseDialog()) {
    self->runPrintDialog(GObjectRef<WebKitPrintOperation>::share(operation), true);
  }
  return TRUE;
}

void WebKitPageDialogs::print() {
  if (printDialog_) {
    printDialog_->present();
    return;
  }
  if (!mayOpenPrintDialog()) return;
  runPrintDialog(GObjectRef<WebKitPrintOperation>::adopt(webkit_print_operation_new(view_)), false);
}

bool WebKitPageDialogs::mayOpenPrintDialog() const {
  return !printDialog_ && !printDialogs_->closed() && gtk_widget_get_mapped(GTK_WIDGET(view_));
}

bool WebKitPageDialogs::pageMayRaiseDialog() const {
  // Not held on to: the tab must be free to go while its page's dialog is up.
  const auto tab = tab_.lock();
  return tab && tab->dialogs.allowsDialog();
}

void WebKitPageDialogs::runPrintDialog(GObjectRef<WebKitPrintOperation> operation,
                                       bool askedByPage) {
  // The page's print counts with its alerts: a page that keeps printing can be stopped like one
  // that keeps alerting. The user's own print is none of the page's doing.
  auto tab = askedByPage ? tab_.lock() : nullptr;
  const bool offerToStop = tab && tab->dialogs.offersToStop();
  // The dialog runs the main loop, which may close the tab and end this object meanwhile:
  // neither is held through it.
  const std::weak_ptr<BrowserTab> askingTab = tab;
  tab.reset();
  const AliveToken::Watch alive = alive_.watch();
  const auto registry = printDialogs_;
  PagePrintDialog dialog(std::move(operation), window(), offerToStop);
  printDialog_ = &dialog;
  registry->add(dialog);
  dialog.run();
  registry->remove(dialog);
  if (alive.expired()) return;
  printDialog_ = nullptr;
  if (const auto ended = askingTab.lock()) ended->dialogs.dialogEnded(dialog.blockMoreChosen());
}

}  // namespace zemblo
