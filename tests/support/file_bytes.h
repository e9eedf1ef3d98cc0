#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace test_support {

// The whole file's bytes; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// An unsigned little-endian field of `size` bytes at `at`.
inline std::uint32_t LittleEndianField(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

}  // namespace test_support
