#pragma once

#include <vector>

namespace zemblo {

class PagePrintDialog;

// The print dialogs open for the pages of one engine. WebKit runs each of them in a main loop of
// its own, inside which the application's own loop can't end: quitting closes them all, and none
// opens after that.
class PrintDialogRegistry {
 public:
  bool closed() const { return closed_; }
  void add(PagePrintDialog& dialog) { open_.push_back(&dialog); }
  void remove(PagePrintDialog& dialog);
  // Cancels every open dialog and refuses later ones.
  void closeAll();

 private:
  bool closed_ = false;
  std::vector<PagePrintDialog*> open_;
};

}  // namespace zemblo
