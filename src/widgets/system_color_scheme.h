#pragma once

#include "model/color.h"
#include "platform/observable.h"

namespace zemblo {

// The window's effective light or dark appearance, as the application's style manager resolves
// it from the theme setting and the desktop. Reading it in a view's sync subscribes the view.
class SystemColorScheme {
 public:
  SystemColorScheme();
  ~SystemColorScheme();
  SystemColorScheme(const SystemColorScheme&) = delete;
  SystemColorScheme& operator=(const SystemColorScheme&) = delete;

  ColorScheme get() const { return scheme_.get(); }

 private:
  Observable<ColorScheme> scheme_;
  unsigned long handler_ = 0;
};

}  // namespace zemblo
