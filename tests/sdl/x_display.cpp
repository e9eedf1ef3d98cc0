#include "x_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace xtest {
namespace {

Display* display = nullptr;

Window FindByTitle(Window parent, const std::string& title) {
  char* name = nullptr;
  if (XFetchName(display, parent, &name) && name != nullptr) {
    const bool same = title == name;
    XFree(name);
    if (same) return parent;
  }
  Window root, up, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int k = 0; k < count && found == 0; ++k) found = FindByTitle(children[k], title);
  if (children != nullptr) XFree(children);
  return found;
}

// The window called `title`, waiting up to 5 s for it: a title just set reaches the server
// through the program's own connection, which may be served after ours.
Window WaitForTitle(const std::string& title) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    const Window found = FindByTitle(DefaultRootWindow(display), title);
    if (found != 0 || std::chrono::steady_clock::now() > deadline) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// A window of an earlier test may be destroyed while the tree is walked; the walk then just
// skips it instead of the default handler ending the process.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool Open() {
  if (display == nullptr) display = XOpenDisplay(nullptr);
  if (display != nullptr) XSetErrorHandler(IgnoreError);
  return display != nullptr;
}

void Close() {
  if (display != nullptr) XCloseDisplay(display);
  display = nullptr;
}

std::vector<platform::Rgb> Screenshot(int x, int y, int width, int height) {
  std::vector<platform::Rgb> pixels;
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, width, height, AllPlanes,
                            ZPixmap);
  if (image == nullptr) return pixels;
  pixels.reserve(static_cast<std::size_t>(width) * height);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const unsigned long value = XGetPixel(image, column, row);
      platform::Rgb rgb;
      rgb.r = static_cast<std::uint8_t>((value & image->red_mask) >> 16);
      rgb.g = static_cast<std::uint8_t>((value & image->green_mask) >> 8);
      rgb.b = static_cast<std::uint8_t>(value & image->blue_mask);
      pixels.push_back(rgb);
    }
  }
  XDestroyImage(image);
  return pixels;
}

void Key(const std::string& keysymName, bool down) {
  const KeySym symbol = XStringToKeysym(keysymName.c_str());
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down ? True : False, 0);
  XFlush(display);
}

void MovePointer(int screenX, int screenY) {
  XTestFakeMotionEvent(display, DefaultScreen(display), screenX, screenY, 0);
  XFlush(display);
}

void Button(int button, bool down) {
  XTestFakeButtonEvent(display, static_cast<unsigned int>(button), down ? True : False, 0);
  XFlush(display);
}

bool AskToClose(const std::string& title) {
  const Window window = WaitForTitle(title);
  if (window == 0) return false;
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  return true;
}

bool Resize(const std::string& title, int width, int height) {
  const Window window = WaitForTitle(title);
  if (window == 0) return false;
  XResizeWindow(display, window, static_cast<unsigned int>(width), static_cast<unsigned int>(height));
  XFlush(display);
  return true;
}

}  // namespace xtest
