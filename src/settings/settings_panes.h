#pragma once

#include <memory>

#include "settings/kit/pane_body.h"
#include "settings/settings_context.h"

namespace zemblo {

// The pane shown for `pane`, built anew with fresh view state each time the window shows it.
// The sidebar, window, appearance and colours panes open with the interface preview.
std::unique_ptr<PaneBody> makeSettingsPane(SettingsPane pane, const SettingsContext& context);

}  // namespace zemblo
