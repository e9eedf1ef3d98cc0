// Reading the segment index and looking names up in it.
#include "speech/diphone/segment_index.h"

#include <algorithm>

namespace diphone::detail {

std::vector<SegmentRecord> ParseSegmentIndex(const std::uint8_t* bytes, std::size_t size,
                                             std::uint64_t dataSize) {
  std::vector<SegmentRecord> index;
  const std::size_t count = size / kIndexRecordSize;
  index.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t* record = bytes + k * kIndexRecordSize;
    SegmentRecord segment;
    const std::size_t nameLength = std::min<std::size_t>(record[0], kIndexNameCapacity);
    segment.name.assign(reinterpret_cast<const char*>(record + 1), nameLength);
    segment.length = static_cast<std::uint32_t>(record[9] | record[10] << 8);
    segment.offset = static_cast<std::uint32_t>(record[11]) | static_cast<std::uint32_t>(record[12]) << 8 |
                     static_cast<std::uint32_t>(record[13]) << 16 | static_cast<std::uint32_t>(record[14]) << 24;
    if (static_cast<std::uint64_t>(segment.offset) + segment.length > dataSize) continue;
    index.push_back(std::move(segment));
  }
  return index;
}

const SegmentRecord* FindSegment(const std::vector<SegmentRecord>& index, const std::string& name) {
  const auto found = std::lower_bound(index.begin(), index.end(), name,
                                      [](const SegmentRecord& record, const std::string& key) { return record.name < key; });
  if (found == index.end() || found->name != name) return nullptr;
  return &*found;
}

}  // namespace diphone::detail
