#pragma once

#include <webkit/webkit.h>

#include <functional>
#include <memory>
#include <string>

#include "model/page_script_world.h"
#include "platform/alive_token.h"
#include "platform/gobject_ref.h"

namespace zemblo {

class BrowserTab;
class WebKitWebViewPort;

// The menu the user opens on a page, built from the engine's own for what was clicked: a link, an
// image, a selection, a text field (its spelling and editing items), a video or the page itself.
// Every item is worded in the interface language of the moment: the engine's own items would
// take the language the browser started in. Nothing in it names a window.
class PageContextMenu {
 public:
  // Both outlive this object: the port owns it and the view.
  PageContextMenu(WebKitWebViewPort& port, std::weak_ptr<BrowserTab> tab);
  ~PageContextMenu();
  PageContextMenu(const PageContextMenu&) = delete;
  PageContextMenu& operator=(const PageContextMenu&) = delete;

  // The isolated world of the script that reports the selection, and the handler it posts to.
  static constexpr const char* kSelectionWorld = kPageScriptWorld;
  static constexpr const char* kSelectionHandler = "zembloPageMenu";

 private:
  static gboolean onContextMenu(WebKitWebView* view, WebKitContextMenu* menu,
                                WebKitHitTestResult* hit, PageContextMenu* self);
  void rebuild(WebKitContextMenu* menu, WebKitHitTestResult* hit);
  void addLinkItems(WebKitContextMenu* menu, const std::string& link);
  void addImageItems(WebKitContextMenu* menu, const std::string& image);
  void addSelectionItems(WebKitContextMenu* menu, bool editable);
  void addPageItems(WebKitContextMenu* menu);

  // An item of ours that runs `run` while this menu still exists.
  // "Open Link in New Window", while the browser has more than one window.
  WebKitContextMenuItem* newWindowItem(const std::string& link);
  WebKitContextMenuItem* item(const char* name, const std::string& label, std::function<void()> run,
                              bool enabled = true);
  // An item that runs the window's command of that name on a later turn, as its key would.
  WebKitContextMenuItem* windowCommand(const char* name, const std::string& label);
  void openInNewTab(const std::string& address, bool inBackground);
  void saveAs(const std::string& address);
  // The address on the page that the menu may open or save: the web's own, or one of the page's
  // own scheme (a file page's files); never a script.
  bool mayFollow(const std::string& address, bool isImage) const;

  WebKitWebViewPort& port_;
  std::weak_ptr<BrowserTab> tab_;
  // What the page's selection was when the menu was asked for; each menu takes it once.
  std::shared_ptr<std::string> selection_ = std::make_shared<std::string>();
  AliveToken alive_;
  SignalHandlers handlers_;
};

}  // namespace zemblo
