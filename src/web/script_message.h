#pragma once

#include <webkit/webkit.h>

#include <optional>
#include <string>

namespace zemblo {

// A string property of a page script's message object; none when the message is no object or
// the property is no string. Messages are the page's word, so nothing else is assumed of them.
std::optional<std::string> messageString(JSCValue* message, const char* property);

}  // namespace zemblo
