// The program's event queue on Windows: the thread's messages, translated (TranslateMessage)
// and dispatched (DispatchMessageA) as Windows programs do, become events in the order they
// are retrieved. The console window's procedure hands its messages to
// TranslateWindowMessage, which queues their events; wave devices report through
// HandleDeviceMessage. Windows' keyboard messages already carry virtual-key codes and do by
// themselves what events.h asks (Alt keys and F10 as system keys, Ctrl+Break as VK_CANCEL,
// Ctrl+letter as characters 1-26), so keys are passed on as they come.

#include <algorithm>
#include <deque>
#include <vector>

#include "platform/encoding.h"
#include "platform/events.h"
#include "platform/win32/win32_internal.h"
#include "platform/window.h"

namespace platform::win32 {
namespace {

constexpr UINT kCodePage1252 = 1252;

// Gives the calling thread its message queue, so that wake-ups posted to it from other
// threads before it first looks at its messages are kept, and answers the thread's id.
DWORD StartThreadQueue() {
  MSG message;
  ::PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  return ::GetCurrentThreadId();
}

// Program thread only.
std::deque<Event> queue;
// The thread that runs main (static initialisation runs there); wake-ups go to it while
// there is no console window.
const DWORD programThread = StartThreadQueue();

struct HeldKey {
  int code = 0;
  int scanCode = 0;  // with the extended-key flag; 0 for a key made up without one
  bool system = false;
};
// The keys pressed in the console window and not yet released: when the window loses the
// keyboard their releases go elsewhere, so they are made here (every key down has its key
// up), and a release whose press went to another window is not passed on. A release is
// matched to its press by the physical key, and carries the press's code: Ctrl+Break goes
// down as VK_CANCEL but comes up as VK_PAUSE when Ctrl is let go first.
std::vector<HeldKey> heldKeys;

bool Pressed(int virtualKey) { return (::GetKeyState(virtualKey) & 0x8000) != 0; }

Event KeyEvent(EventKind kind, int code) {
  Event event;
  event.kind = kind;
  event.code = code;
  event.ctrl = Pressed(VK_CONTROL);
  event.alt = Pressed(VK_MENU);
  event.shift = Pressed(VK_SHIFT);
  return event;
}

// Bits 16-24 of a key message: the scan code and the extended-key flag.
int ScanCodeOf(LPARAM lParam) { return static_cast<int>((lParam >> 16) & 0x1FF); }

std::vector<HeldKey>::iterator FindHeld(int code, int scanCode) {
  return std::find_if(heldKeys.begin(), heldKeys.end(), [code, scanCode](const HeldKey& key) {
    return scanCode != 0 && key.scanCode != 0 ? key.scanCode == scanCode : key.code == code;
  });
}

void KeyPressedDown(int code, int scanCode, bool system) {
  const auto held = FindHeld(code, scanCode);
  if (held == heldKeys.end()) {
    heldKeys.push_back({code, scanCode, system});
  } else {
    *held = {code, scanCode, system};  // a repeat, perhaps with modifiers changed since
  }
  QueueEvent(KeyEvent(system ? EventKind::SysKeyDown : EventKind::KeyDown, code));
}

void KeyReleased(int code, int scanCode, bool system) {
  const auto held = FindHeld(code, scanCode);
  if (held == heldKeys.end()) return;
  const int pressedCode = held->code;
  heldKeys.erase(held);
  QueueEvent(KeyEvent(system ? EventKind::SysKeyUp : EventKind::KeyUp, pressedCode));
}

void ReleaseHeldKeys() {
  const std::vector<HeldKey> released = std::move(heldKeys);
  heldKeys.clear();
  for (const HeldKey& key : released) {
    QueueEvent(KeyEvent(key.system ? EventKind::SysKeyUp : EventKind::KeyUp, key.code));
  }
}

// The Windows-1252 code of the character an ANSI window receives in the system's ANSI code
// page (which is 1252 itself on Western systems); -1 when it has none.
int CharacterCode(WPARAM wParam) {
  const unsigned char byte = static_cast<unsigned char>(wParam & 0xFF);
  if (byte < 0x80 || ::GetACP() == kCodePage1252) return byte;
  const char narrow = static_cast<char>(byte);
  wchar_t wide = 0;
  if (::MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1) != 1) return '?';
  const int code = CodePointToCp1252(static_cast<char32_t>(wide));
  return code >= 0 ? code : '?';
}

void QueueMouse(EventKind kind, LPARAM lParam) {
  Event event;
  event.kind = kind;
  event.x = static_cast<short>(LOWORD(lParam));
  event.y = static_cast<short>(HIWORD(lParam));
  QueueEvent(event);
}

void QueueSimple(EventKind kind, int code = 0) {
  Event event;
  event.kind = kind;
  event.code = code;
  QueueEvent(event);
}

// Hands the rectangle Windows asks to have painted to the program: it is validated here and
// painted by the program from its screen buffer (the Paint event, and the update region that
// TakeUpdateRect returns). BeginPaint has erased it with the class's black brush.
void Paint(HWND window) {
  PAINTSTRUCT paint;
  if (::BeginPaint(window, &paint) == nullptr) return;
  const Rect area{paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right,
                  paint.rcPaint.bottom};
  ::EndPaint(window, &paint);
  if (area.Empty()) return;
  platform::InvalidateRect(area);
  Event event;
  event.kind = EventKind::Paint;
  event.x = area.left;
  event.y = area.top;
  event.width = area.Width();
  event.height = area.Height();
  QueueEvent(event);
}

// One retrieved message: the quit message and the messages posted to the thread itself are
// taken here (DispatchMessage has no window to give them to); the rest is translated and
// dispatched to its window's procedure.
void HandleMessage(const MSG& message) {
  if (message.message == WM_QUIT) {
    QueueSimple(EventKind::Quit, static_cast<int>(message.wParam));
    return;
  }
  if (message.hwnd == nullptr) {
    if (IsWakeMessage(message.message)) {
      QueueSimple(EventKind::Wake, static_cast<int>(message.message));
    } else {
      HandleDeviceMessage(message.message, message.wParam, message.lParam);
    }
    return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
}

// Retrieves and handles messages until an event is queued or none is left.
void TakeMessages() {
  MSG message;
  while (queue.empty() && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    HandleMessage(message);
  }
}

}  // namespace

void QueueEvent(const Event& event) { queue.push_back(event); }

bool IsWakeMessage(UINT message) {
  return std::find(std::begin(kWakeMessages), std::end(kWakeMessages), message) !=
         std::end(kWakeMessages);
}

bool TranslateWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      KeyPressedDown(static_cast<int>(wParam & 0xFF), ScanCodeOf(lParam), message == WM_SYSKEYDOWN);
      return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Not passed on to the default handling either: the program decides what a system
      // key does (Alt+F4 closes the window through the console), and a released Alt must
      // not put the keyboard into the system menu, where a blind user would be lost.
      KeyReleased(static_cast<int>(wParam & 0xFF), ScanCodeOf(lParam), message == WM_SYSKEYUP);
      return true;
    case WM_CHAR: {
      const int code = CharacterCode(wParam);
      if (code >= 0) QueueEvent(KeyEvent(EventKind::Char, code));
      return true;
    }
    case WM_SYSCHAR:
    case WM_SYSDEADCHAR:
      // Alt without Ctrl gives no character; the default handling would look for a menu
      // mnemonic, beep, or open the system menu (Alt+Space).
      return true;
    case WM_PAINT:
      Paint(window);
      return true;
    case WM_CLOSE:
      // The program decides; the window stays until it calls DestroyWindow.
      QueueSimple(EventKind::Close);
      return true;
    case WM_SETFOCUS:
      QueueSimple(EventKind::FocusIn);
      return true;
    case WM_KILLFOCUS:
      ReleaseHeldKeys();
      QueueSimple(EventKind::FocusOut);
      return true;
    case WM_RBUTTONDOWN:
      // The release comes back here even when the pointer has left the window meanwhile.
      ::SetCapture(window);
      QueueMouse(EventKind::RightDown, lParam);
      return true;
    case WM_RBUTTONUP:
      if (::GetCapture() == window) ::ReleaseCapture();
      QueueMouse(EventKind::RightUp, lParam);
      return true;
    case WM_MOUSEMOVE:
      QueueMouse(EventKind::MouseMove, lParam);
      return true;
    default:
      break;
  }
  if (IsWakeMessage(message)) {
    QueueSimple(EventKind::Wake, static_cast<int>(message));
    return true;
  }
  return false;
}

}  // namespace platform::win32

namespace platform {

bool PeekEvent(Event& event) {
  win32::TakeMessages();
  if (win32::queue.empty()) {
    // The program goes on with something else: what it drew is shown now.
    win32::ShowPendingDrawing();
    return false;
  }
  event = win32::queue.front();
  win32::queue.pop_front();
  return true;
}

void WaitEvent() {
  for (;;) {
    win32::TakeMessages();
    if (!win32::queue.empty()) return;
    win32::ShowPendingDrawing();
    // Every message there was has been taken: WaitMessage returns when a new one arrives.
    ::WaitMessage();
  }
}

// To the console window while it exists, so that the wake-up also reaches the program
// through a modal loop of the system (a message box, a move of the window), which drops
// messages posted to the thread; else to the program's thread.
void PostWake(int message) {
  const UINT number = static_cast<UINT>(message);
  const HWND window = win32::ConsoleWindow();
  if (window != nullptr && ::PostMessageA(window, number, 0, 0)) return;
  ::PostThreadMessageA(win32::programThread, number, 0, 0);
}

void PostQuit(int exitCode) {
  if (::GetCurrentThreadId() == win32::programThread) {
    ::PostQuitMessage(exitCode);
  } else {
    ::PostThreadMessageA(win32::programThread, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
  }
}

}  // namespace platform
