#include "widgets/wallpaper_image.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <system_error>

#include "platform/gobject_ref.h"
#include "widgets/monitor_areas.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;

// The last picture decoded, with what its file looked like then. One is enough: the start page
// shows one picture at a time, and a new one always comes under a new name.
struct LastPicture {
  fs::path file;
  int longestSide = 0;
  fs::file_time_type modified;
  uintmax_t size = 0;
  GObjectRef<GdkTexture> texture;
};

std::mutex& lastPictureLock() {
  static std::mutex lock;
  return lock;
}
std::optional<LastPicture>& lastPicture() {
  static std::optional<LastPicture> picture;
  return picture;
}

// Runs on the worker. Returns a reference the caller owns.
GdkTexture* loadOrReuse(const fs::path& file, int longestSide) {
  std::error_code error;
  const uintmax_t size = fs::file_size(file, error);
  const fs::file_time_type modified =
      error ? fs::file_time_type{} : fs::last_write_time(file, error);
  if (!error) {
    std::lock_guard hold(lastPictureLock());
    const auto& last = lastPicture();
    if (last && last->file == file && last->longestSide == longestSide &&
        last->modified == modified && last->size == size) {
      return GDK_TEXTURE(g_object_ref(last->texture.get()));
    }
  }
  GdkTexture* texture = error ? nullptr : WallpaperImage::decode(file, longestSide);
  std::lock_guard hold(lastPictureLock());
  auto& last = lastPicture();
  if (texture) {
    g_object_ref(texture);
    last = LastPicture{file, longestSide, modified, size, GObjectRef<GdkTexture>::adopt(texture)};
  } else if (last && last->file == file) {
    // A failed load forgets the name, so the next attempt reads the file again.
    last.reset();
  }
  return texture;
}

}  // namespace

class WallpaperImage::Request {
 public:
  explicit Request(Done done) : done(std::move(done)) {}
  Done done;
};

GdkTexture* WallpaperImage::decode(const fs::path& file, int longestSide) {
  int width = 0;
  int height = 0;
  if (!gdk_pixbuf_get_file_info(file.c_str(), &width, &height)) {
    g_warning("The start-page picture %s is no picture that can be read", file.c_str());
    return nullptr;
  }
  if (width <= 0 || height <= 0 || int64_t(width) * height > kMaximumSourcePixels) {
    g_warning("The start-page picture %s is too large (%d × %d)", file.c_str(), width, height);
    return nullptr;
  }
  const int side = std::clamp(longestSide, 1, kMaximumSide);
  const double scale = std::min(1.0, double(side) / std::max(width, height));
  const int scaledWidth = std::max(1, int(std::lround(width * scale)));
  const int scaledHeight = std::max(1, int(std::lround(height * scale)));
  GError* error = nullptr;
  GdkPixbuf* pixbuf =
      gdk_pixbuf_new_from_file_at_scale(file.c_str(), scaledWidth, scaledHeight, TRUE, &error);
  if (!pixbuf) {
    g_warning("The start-page picture %s could not be decoded: %s", file.c_str(),
              error ? error->message : "unknown error");
    if (error) g_error_free(error);
    return nullptr;
  }
  GdkPixbuf* oriented = gdk_pixbuf_apply_embedded_orientation(pixbuf);
  g_object_unref(pixbuf);
  if (!oriented) return nullptr;
  GdkTexture* texture = gdk_texture_new_for_pixbuf(oriented);
  g_object_unref(oriented);
  return texture;
}

int WallpaperImage::screenSide(const Glib::RefPtr<Gdk::Display>& display) {
  int side = 0;
  for (const MonitorArea& area : monitorAreas(display)) {
    side = std::max(side, std::max(area.width, area.height) * area.scale);
  }
  return side > 0 ? std::min(side, kMaximumSide) : kMaximumSide;
}

std::shared_ptr<WallpaperImage::Request> WallpaperImage::load(
    const std::optional<std::string>& fileName, int longestSide, Done done,
    const fs::path& folder) {
  const auto file =
      Wallpaper::fileFor(fileName, folder.empty() ? Wallpaper::defaultFolder() : folder);
  if (!file) return nullptr;
  auto request = std::make_shared<Request>(std::move(done));
  struct Job {
    std::weak_ptr<Request> request;
    fs::path file;
    int longestSide;
    GdkTexture* texture = nullptr;
    ~Job() {
      if (texture) g_object_unref(texture);
    }
  };
  GTask* task = g_task_new(
      nullptr, nullptr,
      [](GObject*, GAsyncResult* result, gpointer) {
        auto* job = static_cast<Job*>(g_task_get_task_data(G_TASK(result)));
        auto request = job->request.lock();
        if (!request || !request->done) return;
        Glib::RefPtr<Gdk::Texture> texture;
        if (job->texture) texture = Glib::wrap(job->texture, true);
        request->done(std::move(texture));
      },
      nullptr);
  g_task_set_task_data(task, new Job{request, *file, longestSide},
                       [](gpointer job) { delete static_cast<Job*>(job); });
  g_task_run_in_thread(task, [](GTask* task, gpointer, gpointer data, GCancellable*) {
    auto* job = static_cast<Job*>(data);
    job->texture = loadOrReuse(job->file, job->longestSide);
    g_task_return_boolean(task, TRUE);
  });
  g_object_unref(task);
  return request;
}

}  // namespace zemblo
