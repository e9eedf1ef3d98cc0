#pragma once

#include <cstdint>

#include "console/video_settings.h"
#include "platform/window.h"

// The screen buffer behind the console window: what window.cpp hands to screen.cpp when the
// window is created, and the drawing it asks of it.
namespace console::screen {

// How cells map to window pixels; every size at least 1.
struct CellLayout {
  int font = platform::kStockFont;
  int cellWidth = 1;
  int cellHeight = 1;
  int ascent = 0;
  int overhang = 0;
};

// Allocates the arrays (spaces in `attribute`) and puts the cursor at 0, 0.
void Open(int columns, int rows, std::uint8_t attribute, const CellLayout& layout,
          const video::ColourTable& colourTable, bool pixelScrolling);
// Frees the arrays; the cursor goes back to 0, 0 and the attribute to its start value.
void Close();
bool IsOpen();

const CellLayout& Layout();
void SetAttribute(std::uint8_t attribute);

// Redraws the cells an update rectangle (window pixels) touches.
void PaintRect(const platform::Rect& area);
// Paints whatever the window's update region holds (UpdateWindow).
void PaintPending();

}  // namespace console::screen
