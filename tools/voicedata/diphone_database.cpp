// Writing the index and data file of a diphone database.
#include "diphone_database.h"

#include <algorithm>
#include <cstdint>

namespace voicedata {
namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool CheckSegment(const Segment& segment, std::string& error) {
  if (segment.name.empty() || segment.name.size() > kMaxSegmentName) {
    error = "segment name \"" + segment.name + "\" must have 1 to 8 characters";
    return false;
  }
  for (char c : segment.name) {
    if (c >= 'a' && c <= 'z') {
      error = "segment name \"" + segment.name + "\" must be upper case";
      return false;
    }
  }
  if (segment.samples.empty() || segment.samples.size() > kMaxSegmentBytes) {
    error = "segment " + segment.name + " has " + std::to_string(segment.samples.size()) +
            " bytes; a segment holds 1 to 65535";
    return false;
  }
  return true;
}

}  // namespace

bool BuildDiphoneFiles(std::vector<Segment> segments, std::string& index, std::string& data, std::string& error) {
  index.clear();
  data.clear();
  for (const Segment& segment : segments) {
    if (!CheckSegment(segment, error)) return false;
  }
  // std::string compares bytes as unsigned values, and a name sorts before every longer name
  // that begins with it: the order the synthesizer's binary search expects.
  std::sort(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) { return a.name < b.name; });
  for (std::size_t i = 1; i < segments.size(); ++i) {
    if (segments[i].name == segments[i - 1].name) {
      error = "segment " + segments[i].name + " is given twice";
      return false;
    }
  }
  for (const Segment& segment : segments) {
    if (data.size() + segment.samples.size() > UINT32_MAX) {
      error = "the data file would pass 4 GiB";
      return false;
    }
    index.push_back(static_cast<char>(segment.name.size()));
    std::string name = segment.name;
    name.resize(kMaxSegmentName, '\0');
    index += name;
    PutLittleEndian(index, static_cast<std::uint32_t>(segment.samples.size()), 2);
    PutLittleEndian(index, static_cast<std::uint32_t>(data.size()), 4);
    data += segment.samples;
  }
  return true;
}

}  // namespace voicedata
