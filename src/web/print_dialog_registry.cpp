#include "web/print_dialog_registry.h"

#include <algorithm>

#include "web/page_print_dialog.h"

namespace zemblo {

void PrintDialogRegistry::remove(PagePrintDialog& dialog) { std::erase(open_, &dialog); }

void PrintDialogRegistry::closeAll() {
  closed_ = true;
  // Each cancellation may end the run that removes its dialog from the list.
  const auto open = open_;
  for (PagePrintDialog* dialog : open) dialog->cancel();
}

}  // namespace zemblo
