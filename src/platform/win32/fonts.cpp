// Fonts and text on Windows: CreateFontA as the console asks for it, measured with
// GetTextMetricsA, and text drawn opaque with ExtTextOutW, each character in a cell of the
// font's average width and centred in it (a proportional face that the system put in place
// of the one asked for keeps the grid). The bytes are Windows-1252 whatever the system's ANSI
// code page, so they are drawn as the Unicode characters they stand for.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/encoding.h"
#include "platform/win32/win32_internal.h"
#include "platform/window.h"

namespace platform::win32 {
namespace {

struct Face {
  HFONT font = nullptr;
  bool stock = false;  // a stock object: never deleted
  FontMetrics metrics;
  // The advance of each Windows-1252 byte's character, to centre it in its cell.
  std::array<int, 256> advances{};
};

std::map<int, Face> faces;
int nextHandle = 1;
// The stock fixed font stands in for every font that could not be made: OEM_FIXED_FONT when
// the last request that failed asked for the OEM character set, else SYSTEM_FIXED_FONT.
bool stockOem = false;
Face stockFaces[2];
bool stockMeasured[2] = {false, false};

wchar_t WideOf(unsigned char byte) { return static_cast<wchar_t>(Cp1252ToCodePoint(byte)); }

// Measures `face.font` on the screen's device context.
void Measure(Face& face) {
  const HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) return;
  const HGDIOBJ previous = ::SelectObject(screen, face.font);
  TEXTMETRICA metrics{};
  if (::GetTextMetricsA(screen, &metrics)) {
    face.metrics.averageWidth = metrics.tmAveCharWidth;
    face.metrics.height = metrics.tmHeight;
    face.metrics.externalLeading = metrics.tmExternalLeading;
    face.metrics.ascent = metrics.tmAscent;
    face.metrics.overhang = metrics.tmOverhang;
  }
  for (int byte = 0; byte < 256; ++byte) {
    const wchar_t character = WideOf(static_cast<unsigned char>(byte));
    SIZE size{};
    face.advances[byte] = ::GetTextExtentPoint32W(screen, &character, 1, &size)
                              ? static_cast<int>(size.cx)
                              : face.metrics.averageWidth;
  }
  ::SelectObject(screen, previous);
  ::ReleaseDC(nullptr, screen);
  face.metrics.averageWidth = std::max(1, face.metrics.averageWidth);
  face.metrics.height = std::max(1, face.metrics.height);
}

Face& StockFace() {
  const int which = stockOem ? 1 : 0;
  Face& face = stockFaces[which];
  if (!stockMeasured[which]) {
    face.font = static_cast<HFONT>(::GetStockObject(stockOem ? OEM_FIXED_FONT : SYSTEM_FIXED_FONT));
    face.stock = true;
    Measure(face);
    stockMeasured[which] = true;
  }
  return face;
}

Face& FaceOf(int font) {
  const auto found = faces.find(font);
  return found != faces.end() ? found->second : StockFace();
}

}  // namespace
}  // namespace platform::win32

namespace platform {

using namespace win32;

int CreateFont(const FontRequest& request) {
  const HFONT font = ::CreateFontA(request.height, request.width, 0, 0, request.weight, FALSE,
                                   FALSE, FALSE,
                                   static_cast<DWORD>(request.oemCharset ? OEM_CHARSET : ANSI_CHARSET),
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, request.face.c_str());
  if (font == nullptr) {
    stockOem = request.oemCharset;
    return kStockFont;
  }
  Face face;
  face.font = font;
  Measure(face);
  const int handle = nextHandle++;
  faces.emplace(handle, face);
  return handle;
}

void DeleteFont(int font) {
  const auto found = faces.find(font);
  if (found == faces.end()) return;
  if (!found->second.stock) ::DeleteObject(found->second.font);
  faces.erase(found);
}

FontMetrics MeasureFont(int font) { return FaceOf(font).metrics; }

void DrawText(int font, int x, int y, const char* bytes, int count, Rgb foreground,
              Rgb background) {
  const HWND window = ConsoleWindow();
  if (window == nullptr || bytes == nullptr || count <= 0) return;
  const Face& face = FaceOf(font);
  const int width = face.metrics.averageWidth;
  const int height = face.metrics.height + face.metrics.externalLeading;
  // Only the cells that touch the client area; 64-bit arithmetic keeps far-off runs harmless.
  RECT client{};
  ::GetClientRect(window, &client);
  const std::int64_t firstVisible = x >= 0 ? 0 : (-std::int64_t{x}) / width;
  const std::int64_t pastVisible = (std::int64_t{client.right} - x + width - 1) / width;
  const int first = static_cast<int>(std::clamp<std::int64_t>(firstVisible, 0, count));
  const int last = static_cast<int>(std::clamp<std::int64_t>(pastVisible, 0, count));
  if (last <= first) return;
  const int cells = last - first;
  const int left = x + first * width;

  // Character k starts at left + k * width + its offset in the cell; dx[k] is the step from
  // its start to the next one's.
  std::vector<wchar_t> text(static_cast<std::size_t>(cells));
  std::vector<int> offsets(static_cast<std::size_t>(cells) + 1, 0);
  std::vector<INT> steps(static_cast<std::size_t>(cells));
  for (int k = 0; k < cells; ++k) {
    const auto byte = static_cast<unsigned char>(bytes[first + k]);
    text[k] = WideOf(byte);
    offsets[k] = (width - face.advances[byte]) / 2;
  }
  for (int k = 0; k < cells; ++k) steps[k] = width + offsets[k + 1] - offsets[k];

  const HDC dc = ::GetDC(window);
  if (dc == nullptr) return;
  const bool caretHidden = CaretVisible() && ::HideCaret(window);
  const HGDIOBJ previous = ::SelectObject(dc, face.font);
  ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  ::SetTextColor(dc, RGB(foreground.r, foreground.g, foreground.b));
  ::SetBkColor(dc, RGB(background.r, background.g, background.b));
  ::SetBkMode(dc, OPAQUE);
  const RECT cellsArea{left, y, left + cells * width, y + height};
  ::ExtTextOutW(dc, left + offsets[0], y, ETO_OPAQUE | ETO_CLIPPED, &cellsArea, text.data(),
                static_cast<UINT>(cells), steps.data());
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  if (caretHidden) ::ShowCaret(window);
}

}  // namespace platform
