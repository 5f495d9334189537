#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation_json.h"

namespace zemblo {

class UserDefaults;

struct WindowSize {
  int width = 0, height = 0;
  friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

// How a browser window stood when the user left it: its unmaximized size, whether it was
// maximized and, for the window a session restores, whether it was full screen. A window in full
// screen keeps the size it had before. Where it stood is not kept: the toolkit neither tells nor
// sets a window's place on screen.
struct WindowFrame {
  int width = 0, height = 0;
  bool maximized = false;
  bool fullScreen = false;
  friend bool operator==(const WindowFrame&, const WindowFrame&) = default;

  // No side may exceed this: a larger one is no window's size, only a damaged or planted value.
  static constexpr int kLargestSide = 32767;

  // The frame encoded in `bytes`; none for anything but an object with a width and a height in
  // 1…kLargestSide (a maximized flag, when given, must be true or false).
  static std::optional<WindowFrame> decode(std::string_view bytes);
  // The same from a parsed value.
  static std::optional<WindowFrame> fromJson(const json::Json& value);
  std::string encode() const;
  json::Json toJson() const;
  // What a new window takes of it: the size and the maximized state.
  WindowFrame forNewWindow() const { return {width, height, maximized}; }

  // Never smaller than `minimum`, and within `screen` where one is known (the minimum wins on a
  // screen smaller than it, as the window can't go below its minimum).
  WindowFrame fittedBetween(WindowSize minimum, std::optional<WindowSize> screen) const;
};

// Keeps the size of the browser window closed last in the user defaults, so that the next new
// window opens as the user left it. Reads are lenient: whatever cannot be used is no frame at all.
class WindowFrameMemory {
 public:
  static constexpr std::string_view kDefaultsKey = "browserWindowFrame.v1";

  explicit WindowFrameMemory(UserDefaults& defaults) : defaults_(defaults) {}

  // The remembered frame fitted between `minimum` and `screen`; none while there is none to use.
  std::optional<WindowFrame> remembered(WindowSize minimum, std::optional<WindowSize> screen) const;
  // Written on the defaults' own thread.
  void remember(const WindowFrame& frame);

 private:
  UserDefaults& defaults_;
};

}  // namespace zemblo
