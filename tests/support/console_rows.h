#pragma once

#include <string>

#include "console/console.h"

namespace test_support {

// The characters of one row of the console's own screen array, trailing blanks removed.
inline std::string BufferRow(int row) {
  std::string text;
  for (int column = 0; column < console::Columns(); ++column) {
    text += console::ScreenCharacter(column, row);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace test_support
