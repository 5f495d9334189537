#include "platform/memory_pressure.h"

#include <gio/gio.h>

#include "platform/gobject_ref.h"

namespace zemblo {
namespace {

class SystemMemoryPressure : public MemoryPressure {
 public:
  SystemMemoryPressure()
      : monitor_(GObjectRef<GMemoryMonitor>::adopt(g_memory_monitor_dup_default())) {
    if (!monitor_) {
      g_warning("The system has no memory monitor; tabs sleep only after their time");
      return;
    }
    handlers_.connect(monitor_.get(), "low-memory-warning", toGCallback(&onWarning), this);
  }

 private:
  static void onWarning(GMemoryMonitor*, GMemoryMonitorWarningLevel level,
                        SystemMemoryPressure* self) {
    if (level >= G_MEMORY_MONITOR_WARNING_LEVEL_CRITICAL) {
      self->warn(MemoryPressureLevel::critical);
    } else if (level >= G_MEMORY_MONITOR_WARNING_LEVEL_MEDIUM) {
      self->warn(MemoryPressureLevel::medium);
    } else {
      self->warn(MemoryPressureLevel::low);
    }
  }

  GObjectRef<GMemoryMonitor> monitor_;
  SignalHandlers handlers_;
};

}  // namespace

MemoryPressure& MemoryPressure::system() {
  static SystemMemoryPressure pressure;
  return pressure;
}

}  // namespace zemblo
