// Fuzzes the internal voice's readers of outside bytes: the segment index, the letter
// recordings' chunk walk and the phoneme string walk. Every answer must stay inside the
// bytes it came from, and every name asked for must be of a size the voice can build.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "speech/diphone/letter_recording.h"
#include "speech/diphone/segment_index.h"
#include "speech/diphone/unit_split.h"

namespace {

void CheckIndex(const std::uint8_t* data, std::size_t size) {
  // The bytes serve as their own data file, so a record may address only inside them.
  const std::vector<diphone::detail::SegmentRecord> index = diphone::detail::ParseSegmentIndex(data, size, size);
  if (index.size() > size / diphone::detail::kIndexRecordSize) std::abort();
  for (const diphone::detail::SegmentRecord& record : index) {
    if (record.name.size() > diphone::detail::kIndexNameCapacity) std::abort();
    if (static_cast<std::uint64_t>(record.offset) + record.length > size) std::abort();
    diphone::detail::FindSegment(index, record.name);
  }
}

void CheckWave(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  std::vector<std::uint8_t> copy(data, data + size);
  std::FILE* file = fmemopen(copy.data(), copy.size(), "rb");
  if (file == nullptr) return;
  diphone::detail::SampleSpan span;
  if (diphone::detail::FindWaveSamples(file, size, span) && (span.offset > size || span.length > size - span.offset)) {
    std::abort();
  }
  std::fclose(file);
}

void CheckWalk(const std::uint8_t* data, std::size_t size) {
  const std::string phonemes(reinterpret_cast<const char*>(data), size);
  diphone::detail::PhonemeWalker walker;
  walker.playName = [](const std::string& name, int stressMode, double factor) {
    const std::size_t longest = name[0] == '_' ? 4 : diphone::detail::kNameCapacity + 4;
    if (name.size() < 2 || name.size() > longest) std::abort();
    if (stressMode < 0 || stressMode > 2 || !(factor > 0.0 && factor <= 1.0)) std::abort();
  };
  walker.silence = [](int samples) {
    if (samples < 0 || samples > 8000) std::abort();
  };
  diphone::detail::WalkPhonemes(phonemes, size % 2 == 0, 100, walker);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckIndex(data, size);
  CheckWave(data, size);
  CheckWalk(data, size);
  return 0;
}
