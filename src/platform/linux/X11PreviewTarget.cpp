#include "platform/linux/X11PreviewTarget.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace lumevra {

namespace {

std::atomic<int> gTrappedError{0};

int TrapError(::Display*, XErrorEvent* event) {
  gTrappedError.store(event->error_code, std::memory_order_relaxed);
  return 0;
}

// Catches the X errors of the requests made while it lives (the default
// handler would end the process on a window id that does not exist).
class ErrorTrap {
public:
  explicit ErrorTrap(::Display* display) : display_(display) {
    XSync(display_, False);
    gTrappedError.store(0, std::memory_order_relaxed);
    previous_ = XSetErrorHandler(TrapError);
  }
  ~ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
  }
  // Whether any request so far failed.
  bool Failed() {
    XSync(display_, False);
    return gTrappedError.load(std::memory_order_relaxed) != 0;
  }

private:
  ::Display* display_;
  int (*previous_)(::Display*, XErrorEvent*) = nullptr;
};

bool Attributes(::Display* display, unsigned long window, XWindowAttributes& attributes) {
  ErrorTrap trap(display);
  const Status ok = XGetWindowAttributes(display, window, &attributes);
  return ok != 0 && !trap.Failed();
}

// Where a channel's 8 bits go in a pixel of the given mask.
struct Channel {
  int shift = 0;
  int bits = 0;
  explicit Channel(unsigned long mask) {
    constexpr int kWidth = sizeof(unsigned long) * 8;
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
    while (shift + bits < kWidth && ((mask >> (shift + bits)) & 1) != 0) ++bits;
  }
  unsigned long Place(uint8_t value) const {
    if (bits == 0) return 0;
    const unsigned long v = bits >= 8 ? (static_cast<unsigned long>(value) << (bits - 8)) : (value >> (8 - bits));
    return v << shift;
  }
};

}  // namespace

std::unique_ptr<X11PreviewTarget> X11PreviewTarget::Open(unsigned long window, std::chrono::milliseconds visibleBound) {
  if (window == 0) return nullptr;
  ::Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  XWindowAttributes attributes;
  if (!Attributes(display, window, attributes)) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<X11PreviewTarget>(new X11PreviewTarget(display, window, visibleBound));
}

X11PreviewTarget::~X11PreviewTarget() { XCloseDisplay(display_); }

bool X11PreviewTarget::WaitVisible() {
  const auto deadline = std::chrono::steady_clock::now() + visibleBound_;
  for (;;) {
    XWindowAttributes attributes;
    if (!Attributes(display_, window_, attributes)) return false;
    if (attributes.map_state == IsViewable) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

PixelSize X11PreviewTarget::Size() {
  XWindowAttributes attributes;
  if (!Attributes(display_, window_, attributes)) return {};
  return {attributes.width, attributes.height};
}

void X11PreviewTarget::DrawStretched(const PixelView& picture) {
  if (picture.pixels == nullptr || picture.width <= 0 || picture.height <= 0 || picture.stride < picture.width) return;
  XWindowAttributes attributes;
  if (!Attributes(display_, window_, attributes)) return;
  const int width = attributes.width;
  const int height = attributes.height;
  Visual* visual = attributes.visual;
  if (width <= 0 || height <= 0 || visual == nullptr) return;
  if (visual->c_class != TrueColor && visual->c_class != DirectColor) return;

  XImage* image = XCreateImage(display_, visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (image == nullptr) return;
  // XDestroyImage frees the pixels with free().
  image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * height));
  if (image->data == nullptr) {
    XDestroyImage(image);
    return;
  }
  const Channel red(visual->red_mask), green(visual->green_mask), blue(visual->blue_mask);
  for (int y = 0; y < height; ++y) {
    // Nearest neighbour: the source row and column that cover this pixel.
    const int64_t sy = int64_t{y} * picture.height / height;
    const uint32_t* row = picture.pixels + sy * picture.stride;
    for (int x = 0; x < width; ++x) {
      const uint32_t c = row[int64_t{x} * picture.width / width];
      XPutPixel(image, x, y, red.Place(uint8_t(c >> 16)) | green.Place(uint8_t(c >> 8)) | blue.Place(uint8_t(c)));
    }
  }
  {
    ErrorTrap trap(display_);
    GC gc = XCreateGC(display_, window_, 0, nullptr);
    XPutImage(display_, window_, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFreeGC(display_, gc);
    XFlush(display_);
  }
  XDestroyImage(image);
}

std::unique_ptr<PreviewTarget> OpenX11Preview(intptr_t handle) {
  if (handle <= 0) return nullptr;
  return X11PreviewTarget::Open(static_cast<unsigned long>(handle));
}

}  // namespace lumevra
