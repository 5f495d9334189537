#include "web/autofill_menu_channel.h"

#include <optional>

#include "model/autofill_bridge.h"
#include "model/browser_tab.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

using json::Json;

struct Point {
  double x = 0;
  double y = 0;
};

// A field report of the script: the field's rectangle in its frame's viewport, where the frame
// lies in the page when the script could tell (frames of the same origin up to the top), and
// where in the frame the press that asked for the menu was.
struct FieldReport {
  std::string frame;
  AutofillMenu::Box field;
  std::optional<Point> frameOffset;
  std::optional<Point> pointer;
};

std::optional<std::string> textOf(const Json& body, std::string_view key) {
  const auto found = body.find(key);
  if (found == body.end() || !found->is_string()) return std::nullopt;
  return found->get<std::string>();
}

std::optional<Point> optionalPoint(const Json& body, std::string_view key) {
  const auto found = body.find(key);
  if (found == body.end() || found->is_null()) return std::nullopt;
  const Json& point = json::requireObject(*found);
  return Point{json::requireDouble(point, "x"), json::requireDouble(point, "y")};
}

// None for a report that lacks a part or has one of the wrong kind.
std::optional<FieldReport> reportOf(const Json& body) {
  try {
    const Json& field = json::requireObject(json::requireValue(body, "field"));
    return FieldReport{json::requireString(body, "frame"),
                       {json::requireDouble(field, "x"), json::requireDouble(field, "y"),
                        json::requireDouble(field, "width"), json::requireDouble(field, "height")},
                       optionalPoint(body, "frameOffset"),
                       optionalPoint(body, "pointer")};
  } catch (const json::DecodeError&) {
    return std::nullopt;
  }
}

WebKitWebViewPort* portOf(BrowserTab& tab) {
  return dynamic_cast<WebKitWebViewPort*>(tab.storedWebView());
}

// The field in the view's pixels; none when no part of it is in the view, where a menu under it
// would point at nothing the user sees.
std::optional<AutofillMenu::Box> inView(const WebKitWebViewPort& port,
                                        const AutofillMenu::Box& field, Point frameOffset) {
  const double zoom = port.pageZoom();
  const AutofillMenu::Box box{(field.x + frameOffset.x) * zoom, (field.y + frameOffset.y) * zoom,
                              field.width * zoom, field.height * zoom};
  GtkWidget* view = GTK_WIDGET(port.webView());
  const bool visible = box.width > 0 && box.height > 0 && box.x < gtk_widget_get_width(view) &&
                       box.y < gtk_widget_get_height(view) && box.x + box.width > 0 &&
                       box.y + box.height > 0;
  if (!visible) return std::nullopt;
  return box;
}

}  // namespace

AutofillMenuChannel::AutofillMenuChannel(std::weak_ptr<AutofillBridge> bridge,
                                         std::weak_ptr<BrowserTab> tab)
    : bridge_(std::move(bridge)), tab_(std::move(tab)) {}

bool AutofillMenuChannel::receive(std::string_view message,
                                  const std::shared_ptr<ScriptReply>& reply) {
  const std::optional<Json> body = json::parse(message);
  const std::optional<std::string> type =
      body && body->is_object() ? textOf(*body, "type") : std::nullopt;
  if (type == "menu") {
    open(*body, std::string(message), reply);
  } else if (type == "menuMove") {
    move(*body);
  } else if (type == "menuClose") {
    close(*body);
  } else {
    return false;
  }
  return true;
}

void AutofillMenuChannel::open(const Json& body, const std::string& message,
                               const std::shared_ptr<ScriptReply>& reply) {
  const auto tab = tab_.lock();
  const auto bridge = bridge_.lock();
  WebKitWebViewPort* port = tab ? portOf(*tab) : nullptr;
  const std::optional<FieldReport> report = reportOf(body);
  // Only a press the user made on this view since the last menu opens one.
  const auto press = port && report ? port->takeUserPress() : std::nullopt;
  if (!press || !bridge) return;
  // A site without logins gets the menu too, saying so: were there none, the keys and the
  // pointer the menu takes would reach the page, and tell it whether the user has an account.
  std::optional<std::vector<AutofillMenu::Row>> rows = bridge->menuRows(message);
  if (!rows) return;
  Point offset;
  if (report->frameOffset) {
    offset = *report->frameOffset;
  } else if (report->pointer && press->at) {
    // A frame of another origin cannot tell where it lies; the press, seen both in the view and
    // in the frame, tells it.
    const double zoom = port->pageZoom();
    offset = {press->at->x / zoom - report->pointer->x, press->at->y / zoom - report->pointer->y};
  } else {
    return;
  }
  const std::optional<AutofillMenu::Box> field = inView(*port, report->field, offset);
  if (!field) return;
  frame_ = report->frame;
  frameOffset_ = {offset.x, offset.y};
  tab->autofillMenu.open(
      {std::move(*rows), *field}, [bridge = bridge_, message, reply](std::optional<Uuid> chosen) {
        const auto target = bridge.lock();
        reply->send(chosen && target ? target->chosenLogin(message, *chosen) : "null");
      });
}

void AutofillMenuChannel::move(const Json& body) {
  const auto tab = tab_.lock();
  WebKitWebViewPort* port = tab ? portOf(*tab) : nullptr;
  const std::optional<FieldReport> report = port ? reportOf(body) : std::nullopt;
  if (!report || report->frame != frame_ || !tab->autofillMenu.shown.peek()) return;
  if (report->frameOffset) frameOffset_ = {report->frameOffset->x, report->frameOffset->y};
  if (const auto field = inView(*port, report->field, {frameOffset_.x, frameOffset_.y})) {
    tab->autofillMenu.move(*field);
  } else {
    tab->autofillMenu.end();
  }
}

void AutofillMenuChannel::close(const Json& body) {
  const auto tab = tab_.lock();
  if (tab && textOf(body, "frame") == frame_) tab->autofillMenu.end();
}

}  // namespace zemblo
