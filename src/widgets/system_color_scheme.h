#pragma once

#include "model/color.h"
#include "platform/observable.h"

namespace zemblo {

// The window's effective light or dark appearance, as the application's style manager resolves
// it from the theme setting and the desktop. Reading it in a view's sync subscribes the view.
class SystemColorScheme {
 public:
  SystemColorScheme();
  // Always `fixed`, whatever the desktop shows: a private window is dark in every theme.
  explicit SystemColorScheme(ColorScheme fixed);
  ~SystemColorScheme();
  SystemColorScheme(const SystemColorScheme&) = delete;
  SystemColorScheme& operator=(const SystemColorScheme&) = delete;

  ColorScheme get() const { return scheme_.get(); }

 private:
  Observable<ColorScheme> scheme_;
  unsigned long handler_ = 0;
};

}  // namespace zemblo
