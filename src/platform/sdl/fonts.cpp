// Fonts and text: a face named by the program is resolved by fontconfig to a monospaced font
// file, opened with SDL_ttf at the size whose line height is the requested height, and drawn
// one cell per byte. Each cell (byte, colours) is rendered once into a small surface and then
// only copied, which keeps redrawing a line of text far below a millisecond.

#include <fontconfig/fontconfig.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <unordered_map>

#include "platform/encoding.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/window.h"

namespace platform::sdl {
namespace {

constexpr int kDefaultHeight = 16;
constexpr int kBoldWeight = 600;
constexpr std::size_t kMaxCachedCells = 4096;

struct Face {
  TTF_Font* ttf = nullptr;  // nullptr: no font file could be opened; cells are drawn as boxes
  std::string file;
  FontMetrics metrics;
  std::unordered_map<std::uint64_t, SDL_Surface*> cells;
};

FcConfig* fontConfig = nullptr;
bool ttfStarted = false;
std::map<int, Face> faces;
int nextHandle = 1;
Face stockFace;
bool stockLoaded = false;

void ClearCells(Face& face) {
  for (auto& [key, surface] : face.cells) SDL_FreeSurface(surface);
  face.cells.clear();
}

void CloseFace(Face& face) {
  ClearCells(face);
  if (face.ttf != nullptr) TTF_CloseFont(face.ttf);
  face.ttf = nullptr;
}

void CloseAllFonts() {
  for (auto& [handle, face] : faces) CloseFace(face);
  faces.clear();
  CloseFace(stockFace);
  stockLoaded = false;
  if (ttfStarted) TTF_Quit();
  ttfStarted = false;
  if (fontConfig != nullptr) FcConfigDestroy(fontConfig);
  fontConfig = nullptr;
}

bool StartFonts() {
  if (!ttfStarted) {
    if (TTF_Init() != 0) return false;
    ttfStarted = true;
    AddShutdownStep(CloseAllFonts);
  }
  if (fontConfig == nullptr) fontConfig = FcInitLoadConfigAndFonts();
  return fontConfig != nullptr;
}

struct FontFile {
  std::string path;
  int index = 0;
  bool bold = false;  // the file itself is a bold face
};

// fontconfig's best monospaced match for `family`.
bool ResolveFontFile(const std::string& family, bool bold, FontFile& found) {
  const std::string name = (family.empty() ? std::string("monospace") : family) + ":spacing=mono";
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
  if (pattern == nullptr) return false;
  if (bold) FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
  FcConfigSubstitute(fontConfig, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(fontConfig, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* file = nullptr;
  const bool haveFile = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
  if (haveFile) {
    found.path = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) found.index = index;
    int weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch) {
      found.bold = weight >= FC_WEIGHT_DEMIBOLD;
    }
  }
  FcPatternDestroy(match);
  return haveFile;
}

// The largest point size whose line height does not exceed `height`.
void SizeToHeight(TTF_Font* font, int height) {
  int points = height;
  TTF_SetFontSize(font, points);
  const int measured = std::max(1, TTF_FontHeight(font));
  points = std::max(1, height * height / measured);
  TTF_SetFontSize(font, points);
  for (int step = 0; step < 64 && points > 1 && TTF_FontHeight(font) > height; ++step) {
    TTF_SetFontSize(font, --points);
  }
  for (int step = 0; step < 64; ++step) {
    TTF_SetFontSize(font, points + 1);
    if (TTF_FontHeight(font) > height) break;
    ++points;
  }
  TTF_SetFontSize(font, points);
}

int AdvanceOf(TTF_Font* font, Uint32 character) {
  int minX, maxX, minY, maxY, advance = 0;
  if (!TTF_GlyphIsProvided32(font, character)) return 0;
  if (TTF_GlyphMetrics32(font, character, &minX, &maxX, &minY, &maxY, &advance) != 0) return 0;
  return advance;
}

// Opens a face; a face without a font file (ttf nullptr) still has metrics and draws boxes.
Face OpenFace(const std::string& family, int height, int width, int weight) {
  Face face;
  height = height == 0 ? kDefaultHeight : std::abs(height);
  face.metrics.height = height;
  face.metrics.ascent = height * 4 / 5;
  FontFile file;
  const bool bold = weight >= kBoldWeight;
  if (StartFonts() && ResolveFontFile(family, bold, file)) {
    face.ttf = TTF_OpenFontIndex(file.path.c_str(), height, file.index);
  }
  if (face.ttf != nullptr) {
    face.file = file.path;
    SizeToHeight(face.ttf, height);
    if (bold && !file.bold) TTF_SetFontStyle(face.ttf, TTF_STYLE_BOLD);
    face.metrics.ascent = std::clamp(TTF_FontAscent(face.ttf), 0, height);
  }
  int average = std::abs(width);
  if (average == 0 && face.ttf != nullptr) {
    average = AdvanceOf(face.ttf, '0');
    if (average == 0) average = AdvanceOf(face.ttf, 'M');
  }
  face.metrics.averageWidth = average > 0 ? average : std::max(1, height / 2);
  return face;
}

Face& FaceOf(int font) {
  const auto found = faces.find(font);
  if (found != faces.end()) return found->second;
  if (!stockLoaded) {
    stockFace = OpenFace("monospace", kDefaultHeight, 0, 0);
    stockLoaded = true;
  }
  return stockFace;
}

SDL_Color ColourOf(Rgb rgb) { return {rgb.r, rgb.g, rgb.b, 255}; }

std::uint64_t CellKey(unsigned char byte, Rgb foreground, Rgb background) {
  const auto pack = [](Rgb c) { return (std::uint64_t{c.r} << 16) | (c.g << 8) | c.b; };
  return (std::uint64_t{byte} << 48) | (pack(foreground) << 24) | pack(background);
}

void DrawGlyph(Face& face, SDL_Surface* cell, unsigned char byte, Rgb foreground,
               Rgb background) {
  const char32_t character = Cp1252ToCodePoint(byte);
  if (character <= 0x20 || character == 0x7F || character == 0xA0) return;
  if (face.ttf == nullptr) {
    // No font at all: a box where a visible character stands.
    SDL_Rect box{1, cell->h / 4, std::max(1, cell->w - 2), std::max(1, cell->h / 2)};
    SDL_FillRect(cell, &box, SDL_MapRGB(cell->format, foreground.r, foreground.g, foreground.b));
    return;
  }
  if (!TTF_GlyphIsProvided32(face.ttf, character)) return;
  SDL_Surface* glyph =
      TTF_RenderGlyph32_Shaded(face.ttf, character, ColourOf(foreground), ColourOf(background));
  if (glyph == nullptr) return;
  SDL_SetColorKey(glyph, SDL_FALSE, 0);
  SDL_SetSurfaceBlendMode(glyph, SDL_BLENDMODE_NONE);
  // Centred in the cell; a glyph wider than the cell loses its edges, one taller its bottom.
  SDL_Rect target{(cell->w - glyph->w) / 2, 0, glyph->w, glyph->h};
  SDL_BlitSurface(glyph, nullptr, cell, &target);
  SDL_FreeSurface(glyph);
}

SDL_Surface* CellOf(Face& face, unsigned char byte, Rgb foreground, Rgb background) {
  const std::uint64_t key = CellKey(byte, foreground, background);
  const auto found = face.cells.find(key);
  if (found != face.cells.end()) return found->second;
  if (face.cells.size() >= kMaxCachedCells) ClearCells(face);
  SDL_Surface* cell = SDL_CreateRGBSurfaceWithFormat(0, face.metrics.averageWidth,
                                                     face.metrics.height, 32,
                                                     SDL_PIXELFORMAT_ARGB8888);
  if (cell == nullptr) return nullptr;
  SDL_SetSurfaceBlendMode(cell, SDL_BLENDMODE_NONE);
  SDL_FillRect(cell, nullptr, SDL_MapRGB(cell->format, background.r, background.g, background.b));
  DrawGlyph(face, cell, byte, foreground, background);
  face.cells.emplace(key, cell);
  return cell;
}

}  // namespace

std::string FontFile(int font) { return FaceOf(font).file; }

}  // namespace platform::sdl

namespace platform {

using namespace sdl;

int CreateFont(const FontRequest& request) {
  Face face = OpenFace(request.face, request.height, request.width, request.weight);
  if (face.ttf == nullptr) return kStockFont;
  const int handle = nextHandle++;
  faces.emplace(handle, std::move(face));
  return handle;
}

void DeleteFont(int font) {
  const auto found = faces.find(font);
  if (found == faces.end()) return;
  CloseFace(found->second);
  faces.erase(found);
}

FontMetrics MeasureFont(int font) { return FaceOf(font).metrics; }

void DrawText(int font, int x, int y, const char* bytes, int count, Rgb foreground,
              Rgb background) {
  SDL_Surface* target = BackingSurface();
  if (target == nullptr || bytes == nullptr || count <= 0) return;
  Face& face = FaceOf(font);
  const int width = face.metrics.averageWidth;
  const int height = face.metrics.height;
  // Only the cells that touch the surface; 64-bit arithmetic keeps far-off runs harmless.
  const std::int64_t firstVisible = x >= 0 ? 0 : (-std::int64_t{x}) / width;
  const std::int64_t pastVisible = (std::int64_t{target->w} - x + width - 1) / width;
  const int first = static_cast<int>(std::clamp<std::int64_t>(firstVisible, 0, count));
  const int last = static_cast<int>(std::clamp<std::int64_t>(pastVisible, 0, count));
  for (int k = first; k < last; ++k) {
    SDL_Rect place{x + k * width, y, width, height};
    SDL_Surface* cell = CellOf(face, static_cast<unsigned char>(bytes[k]), foreground, background);
    if (cell != nullptr) {
      SDL_BlitSurface(cell, nullptr, target, &place);
    } else {
      SDL_FillRect(target, &place,
                   SDL_MapRGB(target->format, background.r, background.g, background.b));
    }
  }
  if (last > first) MarkDrawn({x + first * width, y, (last - first) * width, height});
}

}  // namespace platform
