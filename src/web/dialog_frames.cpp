#include "web/dialog_frames.h"

#include <utility>

#include "model/page_script_world.h"
#include "web/page_script_channel.h"
#include "web/script_message.h"
#include "web/web_resources.h"

namespace zemblo {
namespace {

bool booleanProperty(JSCValue* message, const char* name) {
  JSCValue* value = jsc_value_object_get_property(message, name);
  const bool set = jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
  g_object_unref(value);
  return set;
}

}  // namespace

std::shared_ptr<DialogFrames> DialogFrames::install(WebKitUserContentManager* contentManager) {
  auto frames = std::make_shared<DialogFrames>();
  addPageScript(contentManager, resources::dialogFrameScript(),
                WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
                kPageScriptWorld);
  addPageScript(contentManager, resources::dialogKeyScript(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr);
  addScriptMessageHandler(contentManager, "dialogFrame", kPageScriptWorld,
                          [weak = std::weak_ptr(frames)](JSCValue* message) {
                            if (auto self = weak.lock()) self->received(message);
                            return jsc_value_new_null(jsc_value_get_context(message));
                          });
  return frames;
}

void DialogFrames::received(JSCValue* message) {
  // A frame sends its key right before its dialog, with nothing between them: a key the engine
  // then raised no dialog for (a dialog it dropped) must not name the next one.
  sentKey_.reset();
  const auto key = messageString(message, "key");
  if (!key) return;
  if (booleanProperty(message, "asks")) {
    sentKey_ = *key;
    return;
  }
  const auto origin = messageString(message, "origin");
  if (!origin) return;
  const bool top = booleanProperty(message, "top");
  Frame frame{*origin, messageString(message, "host").value_or(""), top};
  // A new top document: the frames of the page before are gone with it.
  if (top) {
    frames_.clear();
    top_ = frame;
  }
  frames_[*key] = std::move(frame);
}

DialogSource DialogFrames::takeSource() {
  const auto key = std::exchange(sentKey_, std::nullopt);
  const auto frame = key ? frames_.find(*key) : frames_.end();
  if (frame == frames_.end() || !top_) return {};
  if (frame->second.origin == top_->origin) {
    return {.kind = DialogSource::Kind::page, .host = top_->host};
  }
  return {
      .kind = DialogSource::Kind::embedded, .host = top_->host, .embeddedHost = frame->second.host};
}

}  // namespace zemblo
