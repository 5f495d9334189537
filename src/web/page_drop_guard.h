#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/gobject_ref.h"

namespace zemblo {

// Keeps a drop from loading an address in the page that a tab may not open from outside. The
// engine loads a link dropped on a page by itself, and runs a javascript: one in the page it lands
// on; any page can offer such a link to drag. A drop that carries links reaches the page only once
// they are read and every one is a web address or a local file; drops of text, files and anything
// else go to the page as they come, so that its fields take them as the engine decides.
class PageDropGuard {
 public:
  PageDropGuard();
  // Cancels the reads under way: their results reach the guard only while it exists.
  ~PageDropGuard();
  PageDropGuard(const PageDropGuard&) = delete;
  PageDropGuard& operator=(const PageDropGuard&) = delete;

  // Sees each event on its way to the page; true when the page must not get it.
  bool stops(GdkEvent* event);

 private:
  enum class Verdict { reading, allowed, refused };
  void read(GdkDrop* drop, const char* mimeType);
  // What a read of `mimeType` found; empty when it could not be read.
  void judged(GdkDrop* drop, const std::string& mimeType, const std::string& links);

  GObjectRef<GCancellable> cancellable_;
  // The drop last seen, held so that a later one can't take its address.
  GObjectRef<GdkDrop> drop_;
  Verdict verdict_ = Verdict::allowed;
  int pendingReads_ = 0;
};

}  // namespace zemblo
