#pragma once

namespace zemblo {

// The interface language setting. `system` follows the user's preferred languages.
enum class AppLanguage { system, turkish, english };

}  // namespace zemblo
