#pragma once

#include <string>
#include <vector>

// The files of a diphone database: NAME.IND, 15-byte records (name length, eight name
// bytes, 16-bit length, 32-bit offset, little-endian) sorted by name in byte order, and
// NAME.DIF, the segments' 8-bit unsigned samples one after another.
namespace voicedata {

constexpr int kIndexRecordSize = 15;
constexpr int kMaxSegmentName = 8;
constexpr std::size_t kMaxSegmentBytes = 65535;

struct Segment {
  std::string name;     // "$" and upper-case phoneme letters, at most 8 characters
  std::string samples;  // 8-bit unsigned, 11 025 Hz
};

// Builds both files' bytes. False, with `error` naming the segment, for an empty or too long
// name, a name with lower-case letters, a name given twice, or an empty or too long segment.
bool BuildDiphoneFiles(std::vector<Segment> segments, std::string& index, std::string& data, std::string& error);

}  // namespace voicedata
