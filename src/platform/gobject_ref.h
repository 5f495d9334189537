#pragma once

#include <glib-object.h>

#include <utility>
#include <vector>

namespace zemblo {

// One strong reference to a GObject of the C libraries that gtkmm does not wrap (WebKit,
// libadwaita). Taking a floating object sinks it, so a widget owned here survives being
// unparented by a GTK container.
template <class T>
class GObjectRef {
 public:
  GObjectRef() = default;
  // Adopts a reference the caller owns (a new object, or a "transfer full" return value).
  static GObjectRef adopt(T* object) { return GObjectRef(object); }
  // Takes a reference of its own (sinking a floating one).
  static GObjectRef share(T* object) {
    if (object) g_object_ref_sink(object);
    return GObjectRef(object);
  }

  ~GObjectRef() { reset(); }
  GObjectRef(const GObjectRef&) = delete;
  GObjectRef& operator=(const GObjectRef&) = delete;
  GObjectRef(GObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GObjectRef& operator=(GObjectRef&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }

  T* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset() {
    if (auto* object = std::exchange(object_, nullptr)) g_object_unref(object);
  }

 private:
  explicit GObjectRef(T* object) : object_(object) {}

  T* object_ = nullptr;
};

// Signal handlers connected to C objects, disconnected together when this goes away, so no
// handler can run with a dangling user-data pointer.
class SignalHandlers {
 public:
  SignalHandlers() = default;
  ~SignalHandlers() { disconnectAll(); }
  SignalHandlers(const SignalHandlers&) = delete;
  SignalHandlers& operator=(const SignalHandlers&) = delete;

  // `instance` must outlive this object or be disconnected first (the owner holds a reference).
  void connect(gpointer instance, const char* signal, GCallback handler, gpointer data) {
    handlers_.push_back({G_OBJECT(instance), g_signal_connect(instance, signal, handler, data)});
  }
  void disconnectAll() {
    for (const auto& [instance, id] : handlers_) g_signal_handler_disconnect(instance, id);
    handlers_.clear();
  }

 private:
  std::vector<std::pair<GObject*, gulong>> handlers_;
};

// G_CALLBACK cannot take a lambda whose parameter list has commas (it is a macro).
template <class R, class... A>
GCallback toGCallback(R (*function)(A...)) {
  return reinterpret_cast<GCallback>(function);
}

}  // namespace zemblo
