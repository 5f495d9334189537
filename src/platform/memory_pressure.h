#pragma once

#include <sigc++/sigc++.h>

namespace zemblo {

// How hard the system is pressed for memory, mildest first.
enum class MemoryPressureLevel { low, medium, critical };

// The system's warnings that memory runs short. The system's own source reports through
// `warn`; tests call it themselves to mount a shortage.
class MemoryPressure {
 public:
  MemoryPressure() = default;
  virtual ~MemoryPressure() = default;
  MemoryPressure(const MemoryPressure&) = delete;
  MemoryPressure& operator=(const MemoryPressure&) = delete;

  sigc::signal<void(MemoryPressureLevel)>& signalWarning() { return warning_; }
  void warn(MemoryPressureLevel level) { warning_.emit(level); }

  // The desktop's memory monitor (GMemoryMonitor), made on first use; a system that has none
  // never warns.
  static MemoryPressure& system();

 private:
  sigc::signal<void(MemoryPressureLevel)> warning_;
};

}  // namespace zemblo
