// The tab's back and forward list as the engine's own bytes, so the tab can keep it as plain data
// across a close or a restart.
#include <memory>

#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

struct BytesUnref {
  void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};
struct SessionStateUnref {
  void operator()(WebKitWebViewSessionState* state) const {
    webkit_web_view_session_state_unref(state);
  }
};
using Bytes = std::unique_ptr<GBytes, BytesUnref>;
using SessionState = std::unique_ptr<WebKitWebViewSessionState, SessionStateUnref>;

}  // namespace

std::optional<std::string> WebKitWebViewPort::sessionState() const {
  // A view that has been on no page yet has no list worth keeping.
  WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(view_.get());
  if (!webkit_back_forward_list_get_current_item(list)) return std::nullopt;
  const SessionState state(webkit_web_view_get_session_state(view_.get()));
  const Bytes bytes(state ? webkit_web_view_session_state_serialize(state.get()) : nullptr);
  gsize size = 0;
  const auto* data =
      static_cast<const char*>(bytes ? g_bytes_get_data(bytes.get(), &size) : nullptr);
  if (!data || size == 0) return std::nullopt;
  return std::string(data, size);
}

bool WebKitWebViewPort::restoreSessionState(const std::string& bytes) {
  const Bytes data(g_bytes_new(bytes.data(), bytes.size()));
  const SessionState state(webkit_web_view_session_state_new(data.get()));
  if (!state) {
    g_warning("A saved back and forward list is not the engine's; the tab loads its address");
    return false;
  }
  webkit_web_view_restore_session_state(view_.get(), state.get());
  WebKitBackForwardListItem* current =
      webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_.get()));
  if (!current) {
    g_warning("A saved back and forward list holds no page; the tab loads its address");
    return false;
  }
  browserAsked_ = true;
  webkit_web_view_go_to_back_forward_list_item(view_.get(), current);
  return true;
}

}  // namespace zemblo
