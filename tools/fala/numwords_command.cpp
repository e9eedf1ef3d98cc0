// `fala numwords N`: the words the internal voice says for a number.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "speech/frontend/numbers.h"

namespace fala {

int NumwordsCommand(const Output& output, const std::vector<std::string>& arguments) {
  constexpr std::uint64_t kLargest = 4294967295u;
  bool valid = arguments.size() == 1 && !arguments[0].empty() && arguments[0].size() <= 10;
  std::uint64_t value = 0;
  if (valid) {
    for (const char digit : arguments[0]) {
      if (digit < '0' || digit > '9') {
        valid = false;
        break;
      }
      value = value * 10 + static_cast<std::uint64_t>(digit - '0');
    }
  }
  if (!valid || value > kLargest) {
    std::fputs("usage: fala numwords N   (N a whole number from 0 to 4294967295)\n", stderr);
    return 2;
  }
  std::string words = frontend::NumberToWords(static_cast<std::uint32_t>(value));
  // A text that ends in a group name keeps that name's space; the terminal line does not.
  while (!words.empty() && words.back() == ' ') words.pop_back();
  Print(output, words + "\n");
  return 0;
}

}  // namespace fala
