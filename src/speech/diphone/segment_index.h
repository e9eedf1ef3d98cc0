#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The segment index NAME.IND: 15-byte records (name length, 8 name bytes, 16-bit length,
// 32-bit offset into NAME.DIF, little-endian), sorted by name in byte order.
namespace diphone::detail {

constexpr std::size_t kIndexRecordSize = 15;
constexpr std::size_t kIndexNameCapacity = 8;

struct SegmentRecord {
  std::string name;
  std::uint32_t length = 0;
  std::uint32_t offset = 0;
};

// The records of an index file's bytes: size div 15 of them (a shorter tail is ignored),
// name lengths above 8 read as 8, and records whose segment runs past the end of a data file
// of `dataSize` bytes left out, so no look-up can lead outside the data.
std::vector<SegmentRecord> ParseSegmentIndex(const std::uint8_t* bytes, std::size_t size,
                                             std::uint64_t dataSize);

// Binary search by name (byte order); nullptr when absent.
const SegmentRecord* FindSegment(const std::vector<SegmentRecord>& index, const std::string& name);

}  // namespace diphone::detail
