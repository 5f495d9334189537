#include "web/page_context_menu.h"

#include <glibmm/main.h>

#include <optional>
#include <vector>

#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/selection_search.h"
#include "model/tab_services.h"
#include "model/window_model.h"
#include "platform/text.h"
#include "web/page_script_channel.h"
#include "web/spelling_menu.h"
#include "web/web_resources.h"
#include "web/webkit_download_transfer.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

// A page's selection is cut to this before anything else looks at it.
constexpr size_t kLongestSelection = 4096;

// The engine's items of a text field that stay, in our words. Their work is the engine's: only it
// reaches the field.
std::optional<std::string> editingLabel(WebKitContextMenuAction action) {
  switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_CUT:
      return localized("Kes");
    case WEBKIT_CONTEXT_MENU_ACTION_COPY:
      return localized("Kopyala");
    case WEBKIT_CONTEXT_MENU_ACTION_PASTE:
      return localized("Yapıştır");
    case WEBKIT_CONTEXT_MENU_ACTION_PASTE_AS_PLAIN_TEXT:
      return localized("Düz Metin Olarak Yapıştır");
    case WEBKIT_CONTEXT_MENU_ACTION_DELETE:
      return localized("Sil");
    case WEBKIT_CONTEXT_MENU_ACTION_SELECT_ALL:
      return localized("Tümünü Seç");
    case WEBKIT_CONTEXT_MENU_ACTION_INSERT_EMOJI:
      return localized("Emoji Ekle");
    default:
      return std::nullopt;
  }
}

// The same for a video or a sound: only the engine reaches its player.
std::optional<std::string> playerLabel(WebKitContextMenuAction action) {
  switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_PLAY:
      return localized("Oynat");
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_PAUSE:
      return localized("Duraklat");
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_MUTE:
      return localized("Sessiz");
    case WEBKIT_CONTEXT_MENU_ACTION_TOGGLE_MEDIA_CONTROLS:
      return localized("Denetimleri Göster");
    case WEBKIT_CONTEXT_MENU_ACTION_TOGGLE_MEDIA_LOOP:
      return localized("Döngüye Al");
    case WEBKIT_CONTEXT_MENU_ACTION_ENTER_VIDEO_FULLSCREEN:
      return localized("Tam Ekran");
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_VIDEO_LINK_TO_CLIPBOARD:
      return localized("Video Bağlantısını Kopyala");
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_AUDIO_LINK_TO_CLIPBOARD:
      return localized("Ses Bağlantısını Kopyala");
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_VIDEO_TO_DISK:
      return localized("Videoyu İndir");
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_AUDIO_TO_DISK:
      return localized("Sesi İndir");
    default:
      return std::nullopt;
  }
}

WebKitContextMenuItem* stockItem(WebKitContextMenuAction action, const std::string& label) {
  return webkit_context_menu_item_new_from_stock_action_with_label(action, label.c_str());
}

// The engine's item under our label, usable only where the engine's was (no Paste without
// anything to paste, no Cut in a password field).
WebKitContextMenuItem* relabelled(WebKitContextMenuItem* engineItem, const std::string& label) {
  WebKitContextMenuItem* item =
      stockItem(webkit_context_menu_item_get_stock_action(engineItem), label);
  GAction* from = webkit_context_menu_item_get_gaction(engineItem);
  GAction* to = webkit_context_menu_item_get_gaction(item);
  if (from && G_IS_SIMPLE_ACTION(to)) {
    g_simple_action_set_enabled(G_SIMPLE_ACTION(to), g_action_get_enabled(from));
  }
  return item;
}

// Appends a group of items, after a separator when the menu has items already.
void appendGroup(WebKitContextMenu* menu, const std::vector<WebKitContextMenuItem*>& items) {
  if (items.empty()) return;
  if (webkit_context_menu_get_n_items(menu) > 0) {
    webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
  }
  for (WebKitContextMenuItem* item : items) webkit_context_menu_append(menu, item);
}

using Run = std::function<void()>;

void runAction(GSimpleAction*, GVariant*, gpointer data) { (*static_cast<Run*>(data))(); }

}  // namespace

PageContextMenu::PageContextMenu(WebKitWebViewPort& port, std::weak_ptr<BrowserTab> tab)
    : port_(port), tab_(std::move(tab)) {
  WebKitWebView* view = port_.webView();
  // Connected after the spelling handler, so the spelling items it leaves are the ones kept.
  handlers_.connect(view, "context-menu", toGCallback(&onContextMenu), this);
  WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view);
  addPageScript(content, resources::pageMenuSelectionScript(),
                WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
                kSelectionWorld);
  // The handler is the content manager's and may outlive this menu: it holds the text alone.
  addScriptMessageHandler(content, kSelectionHandler, kSelectionWorld,
                          [selection = selection_](JSCValue* message) {
                            selection->clear();
                            if (jsc_value_is_string(message)) {
                              char* text = jsc_value_to_string(message);
                              const std::string_view whole(text);
                              *selection = validUtf8(whole.substr(0, kLongestSelection));
                              g_free(text);
                            }
                            return jsc_value_new_undefined(jsc_value_get_context(message));
                          });
}

PageContextMenu::~PageContextMenu() {
  alive_.end();
  handlers_.disconnectAll();
}

gboolean PageContextMenu::onContextMenu(WebKitWebView*, WebKitContextMenu* menu,
                                        WebKitHitTestResult* hit, PageContextMenu* self) {
  self->rebuild(menu, hit);
  return FALSE;
}

void PageContextMenu::rebuild(WebKitContextMenu* menu, WebKitHitTestResult* hit) {
  const bool editable = webkit_hit_test_result_context_is_editable(hit);
  const bool media = webkit_hit_test_result_context_is_media(hit);
  // The spelling items keep the engine's work and the words the spelling handler gave them.
  std::vector<GObjectRef<WebKitContextMenuItem>> spelling;
  std::vector<WebKitContextMenuItem*> editing, player;
  for (GList* each = webkit_context_menu_get_items(menu); each; each = each->next) {
    auto* engineItem = WEBKIT_CONTEXT_MENU_ITEM(each->data);
    const WebKitContextMenuAction action = webkit_context_menu_item_get_stock_action(engineItem);
    if (isSpellingItem(action)) {
      spelling.push_back(GObjectRef<WebKitContextMenuItem>::share(engineItem));
      continue;
    }
    // Outside a field, a selection's Copy is one of ours below.
    if (const auto label = editingLabel(action); label && editable) {
      editing.push_back(relabelled(engineItem, *label));
    } else if (const auto label = playerLabel(action); label && media) {
      player.push_back(relabelled(engineItem, *label));
    }
  }
  webkit_context_menu_remove_all(menu);
  for (const auto& item : spelling) webkit_context_menu_append(menu, item.get());
  appendGroup(menu, editing);

  const char* link = webkit_hit_test_result_context_is_link(hit)
                         ? webkit_hit_test_result_get_link_uri(hit)
                         : nullptr;
  const char* image = webkit_hit_test_result_context_is_image(hit)
                          ? webkit_hit_test_result_get_image_uri(hit)
                          : nullptr;
  if (link) addLinkItems(menu, link);
  if (image) addImageItems(menu, image);
  appendGroup(menu, player);
  const bool selection = webkit_hit_test_result_context_is_selection(hit);
  if (selection) addSelectionItems(menu, editable);
  selection_->clear();
  if (!link && !image && !media && !selection && !editable) addPageItems(menu);

  if (webkit_settings_get_enable_developer_extras(webkit_web_view_get_settings(port_.webView()))) {
    appendGroup(
        menu, {stockItem(WEBKIT_CONTEXT_MENU_ACTION_INSPECT_ELEMENT, localized("Öğeyi Denetle"))});
  }
}

void PageContextMenu::addLinkItems(WebKitContextMenu* menu, const std::string& link) {
  std::vector<WebKitContextMenuItem*> items;
  const bool follows = mayFollow(link, false);
  if (follows) {
    items.push_back(item("open-link-in-new-tab", localized("Bağlantıyı Yeni Sekmede Aç"),
                         [this, link] { openInNewTab(link, true); }));
  }
  items.push_back(stockItem(WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD,
                            localized("Bağlantıyı Kopyala")));
  if (follows) {
    if (auto newWindow = newWindowItem(link)) items.insert(items.begin() + 1, newWindow);
    items.push_back(item("save-link-as", localized("Bağlantıyı Farklı Kaydet…"),
                         [this, link] { saveAs(link); }));
  }
  appendGroup(menu, items);
}

void PageContextMenu::addImageItems(WebKitContextMenu* menu, const std::string& image) {
  std::vector<WebKitContextMenuItem*> items;
  const bool follows = mayFollow(image, true);
  if (follows) {
    items.push_back(item("open-image-in-new-tab", localized("Görseli Yeni Sekmede Aç"),
                         [this, image] { openInNewTab(image, true); }));
    items.push_back(item("save-image-as", localized("Görseli Farklı Kaydet…"),
                         [this, image] { saveAs(image); }));
  }
  items.push_back(
      stockItem(WEBKIT_CONTEXT_MENU_ACTION_COPY_IMAGE_TO_CLIPBOARD, localized("Görseli Kopyala")));
  appendGroup(menu, items);
}

void PageContextMenu::addSelectionItems(WebKitContextMenu* menu, bool editable) {
  std::vector<WebKitContextMenuItem*> items;
  // A field's Copy is among its editing items.
  if (!editable) items.push_back(stockItem(WEBKIT_CONTEXT_MENU_ACTION_COPY, localized("Kopyala")));
  const auto tab = tab_.lock();
  const auto owner = tab ? tab->services() : nullptr;
  if (owner) {
    const SearchEngine engine = owner->preferences.searchEngine.peek();
    const std::string selected = *selection_;
    const auto title = searchSelectionTitle(engine, selected);
    const auto address = selectionSearchURL(engine, selected);
    if (title && address) {
      items.push_back(item("search-selection", *title,
                           [this, address = address->str()] { openInNewTab(address, false); }));
    }
  }
  appendGroup(menu, items);
}

void PageContextMenu::addPageItems(WebKitContextMenu* menu) {
  WebKitWebView* view = port_.webView();
  appendGroup(menu, {
                        item(
                            "back", localized("Geri"), [this] { port_.goBack(); },
                            webkit_web_view_can_go_back(view)),
                        item(
                            "forward", localized("İleri"), [this] { port_.goForward(); },
                            webkit_web_view_can_go_forward(view)),
                        item("reload", localized("Yeniden Yükle"),
                             [this] {
                               if (const auto tab = tab_.lock()) tab->reload();
                             }),
                    });
  appendGroup(menu, {
                        windowCommand("save-page", localized("Sayfayı Farklı Kaydet…")),
                        windowCommand("print", localized("Yazdır…")),
                        windowCommand("page-source", localized("Sayfa Kaynağını Görüntüle")),
                    });
}

WebKitContextMenuItem* PageContextMenu::item(const char* name, const std::string& label,
                                             std::function<void()> run, bool enabled) {
  auto action = GObjectRef<GSimpleAction>::adopt(g_simple_action_new(name, nullptr));
  g_simple_action_set_enabled(action.get(), enabled);
  // The menu may be shown, and its item chosen, after the tab has closed.
  Run guarded = [alive = alive_.watch(), run = std::move(run)] {
    if (!alive.expired()) run();
  };
  g_signal_connect_data(
      action.get(), "activate", G_CALLBACK(runAction),
      std::make_unique<Run>(std::move(guarded)).release(),
      [](gpointer data, GClosure*) { std::unique_ptr<Run>(static_cast<Run*>(data)); },
      GConnectFlags(0));
  return webkit_context_menu_item_new_from_gaction(G_ACTION(action.get()), label.c_str(), nullptr);
}

WebKitContextMenuItem* PageContextMenu::newWindowItem(const std::string& link) {
  // A browser of one window names none: the link opens in a window of its own only once the user
  // works with several.
  const auto tab = tab_.lock();
  const auto owner = tab ? tab->services() : nullptr;
  GApplication* application = g_application_get_default();
  if (!owner || owner->windows.open().size() < 2 || !application) return nullptr;
  const char* name = tab->isPrivate() ? "open-in-new-private-window" : "open-in-new-window";
  GAction* action = g_action_map_lookup_action(G_ACTION_MAP(application), name);
  if (!action) return nullptr;
  return webkit_context_menu_item_new_from_gaction(
      action, localized("Bağlantıyı Yeni Pencerede Aç").c_str(),
      g_variant_new_string(link.c_str()));
}

WebKitContextMenuItem* PageContextMenu::windowCommand(const char* name, const std::string& label) {
  const std::string command = std::string("win.") + name;
  return item(name, label, [this, command] {
    // The print dialog runs a main loop of its own: not from inside the menu's activation.
    Glib::signal_idle().connect_once([alive = alive_.watch(), this, command] {
      if (alive.expired()) return;
      if (!gtk_widget_activate_action(GTK_WIDGET(port_.webView()), command.c_str(), nullptr)) {
        g_warning("The page's menu found no command %s", command.c_str());
      }
    });
  });
}

void PageContextMenu::openInNewTab(const std::string& address, bool inBackground) {
  const auto url = Url::parse(address);
  const auto tab = tab_.lock();
  const auto owner = tab ? tab->services() : nullptr;
  if (!url || !owner) return;
  // Placed where a Ctrl+click on a link places its tab: right after this one, in its window.
  owner->windows.holding(*tab).openTab(*url, inBackground, tab);
}

void PageContextMenu::saveAs(const std::string& address) {
  auto download = GObjectRef<WebKitDownload>::adopt(
      webkit_web_view_download_uri(port_.webView(), address.c_str()));
  if (download) {
    g_object_set_data(G_OBJECT(download.get()), WebKitDownloadTransfer::kUserNamesFileKey,
                      GINT_TO_POINTER(1));
  }
}

bool PageContextMenu::mayFollow(const std::string& address, bool isImage) const {
  const auto url = Url::parse(address);
  if (!url || !url->scheme()) return false;
  const std::string scheme = asciiLowercased(*url->scheme());
  if (scheme == "http" || scheme == "https") return true;
  // A picture the page made itself stays a picture wherever it is opened.
  if (isImage && scheme == "data") return asciiLowercased(url->path()).starts_with("image/");
  const char* page = webkit_web_view_get_uri(port_.webView());
  const auto pageURL = page ? Url::parse(page) : std::nullopt;
  return scheme != "javascript" && pageURL && pageURL->scheme() &&
         asciiLowercased(*pageURL->scheme()) == scheme;
}

}  // namespace zemblo
