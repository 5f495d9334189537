#include "platform/date.h"

#include <glib.h>

namespace zemblo {

Date Date::now() { return fromUnixSeconds(static_cast<double>(g_get_real_time()) / 1e6); }

}  // namespace zemblo
