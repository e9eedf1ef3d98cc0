// Naming what the simulated loudspeaker played: the played bytes of every block in one stream,
// each stretch matched against the known recordings, longest exact match first.
#include "audival/sound_log.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unordered_map>

#include "audio/player/wave_format.h"
#include "platform/system.h"

namespace audival {
namespace {

constexpr std::uint8_t kSilence = 128;
// Recordings are found by their first bytes; a shorter one cannot be told from noise.
constexpr std::size_t kKeyLength = 4;

std::uint32_t KeyAt(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The played bytes of all blocks, with what is needed to time them and to judge a match.
struct Stream {
  std::vector<std::uint8_t> bytes;
  // Where the player may have put silence over a recording's byte: the silent end of a block.
  std::vector<bool> silentTail;
  // A sound cannot continue across a segment's end: a cut block, or a change of format.
  std::vector<std::size_t> segmentEnd;  // per byte: the end of its segment
  std::vector<bool> segmentCut;         // per byte: its segment ends where a block was cut
  // A new stretch of sound begins here: a segment start, or a block after the device fell idle.
  std::vector<bool> breakBefore;
  struct Span {
    std::size_t first = 0;
    double startMs = 0;
    double msPerByte = 0;
  };
  std::vector<Span> spans;  // one per block that played something

  double TimeOf(std::size_t index) const {
    auto span = std::upper_bound(spans.begin(), spans.end(), index,
                                 [](std::size_t i, const Span& s) { return i < s.first; });
    --span;
    return span->startMs + static_cast<double>(index - span->first) * span->msPerByte;
  }
  double EndTimeOf(std::size_t index) const {
    auto span = std::upper_bound(spans.begin(), spans.end(), index,
                                 [](std::size_t i, const Span& s) { return i < s.first; });
    --span;
    return span->startMs + static_cast<double>(index + 1 - span->first) * span->msPerByte;
  }
};

Stream BuildStream(const std::vector<sim::WaveBlockRecord>& blocks) {
  Stream stream;
  std::size_t segmentStart = 0;
  auto closeSegment = [&](bool cut) {
    const std::size_t end = stream.bytes.size();
    for (std::size_t i = segmentStart; i < end; ++i) {
      stream.segmentEnd[i] = end;
      stream.segmentCut[i] = cut;
    }
    segmentStart = end;
  };

  const platform::WaveFormat* previousFormat = nullptr;
  double previousEndMs = 0;
  for (const sim::WaveBlockRecord& block : blocks) {
    const platform::WaveFormat& format = block.format;
    const bool sameFormat = previousFormat != nullptr && previousFormat->rate == format.rate &&
                            previousFormat->bits == format.bits &&
                            previousFormat->channels == format.channels;
    if (!sameFormat) closeSegment(false);
    previousFormat = &format;

    const std::size_t played =
        std::min(block.bytes.size(), static_cast<std::size_t>(std::max(block.playedLength, 0)));
    if (played == 0) continue;
    std::size_t tail = block.bytes.size();
    while (tail > 0 && block.bytes[tail - 1] == kSilence) --tail;

    const double bytesPerSecond =
        static_cast<double>(format.rate) * format.channels * std::max(format.bits / 8, 1);
    const double msPerByte = bytesPerSecond > 0 ? 1000.0 / bytesPerSecond : 0;
    const std::size_t first = stream.bytes.size();
    stream.spans.push_back({first, block.startMs, msPerByte});
    const bool idleBefore = block.startMs > previousEndMs + 0.5;
    for (std::size_t j = 0; j < played; ++j) {
      stream.bytes.push_back(block.bytes[j]);
      stream.silentTail.push_back(j >= tail);
      stream.segmentEnd.push_back(0);
      stream.segmentCut.push_back(false);
      stream.breakBefore.push_back(j == 0 && (first == segmentStart || idleBefore));
    }
    previousEndMs = block.startMs + static_cast<double>(played) * msPerByte;
    if (block.cut) closeSegment(true);
  }
  closeSegment(false);
  return stream;
}

struct Match {
  const Recording* recording = nullptr;
  std::size_t length = 0;  // bytes of the stream it covers
  std::size_t exact = 0;   // of which equal to the recording
  bool cut = false;
};

// How far `recording` matches the stream at `position`: a whole match, or one that runs up to
// the end of a cut segment (the recording was stopped there).
Match MatchAt(const Stream& stream, std::size_t position, const Recording& recording) {
  const std::size_t end = stream.segmentEnd[position];
  const std::size_t limit = std::min(recording.samples.size(), end - position);
  std::size_t k = 0;
  std::size_t exact = 0;
  for (; k < limit; ++k) {
    const std::uint8_t played = stream.bytes[position + k];
    if (played == recording.samples[k]) {
      ++exact;
    } else if (!(stream.silentTail[position + k] && played == kSilence)) {
      break;
    }
  }
  Match match;
  if (k == recording.samples.size()) {
    match = {&recording, k, exact, false};
  } else if (position + k == end && stream.segmentCut[position] && k >= kKeyLength) {
    match = {&recording, k, exact, true};
  }
  return match;
}

bool Better(const Match& candidate, const Match& best) {
  if (best.recording == nullptr) return true;
  if (candidate.cut != best.cut) return !candidate.cut;
  if (candidate.exact != best.exact) return candidate.exact > best.exact;
  return candidate.length < best.length;
}

// Adds the unmatched bytes [from, to) as unnamed sounds, one per stretch, without the silence.
void AddOtherSounds(const Stream& stream, std::size_t from, std::size_t to,
                    std::vector<HeardSound>& sounds) {
  std::size_t start = from;
  while (start < to) {
    std::size_t stop = start + 1;
    while (stop < to && !stream.breakBefore[stop]) ++stop;
    std::size_t first = start;
    std::size_t last = stop;
    while (first < last && stream.bytes[first] == kSilence) ++first;
    while (last > first && stream.bytes[last - 1] == kSilence) --last;
    if (first < last) {
      sounds.push_back({stream.TimeOf(first), stream.EndTimeOf(last - 1), "", false});
    }
    start = stop;
  }
}

}  // namespace

std::vector<Recording> LoadRecordings(const std::string& folder) {
  std::vector<Recording> recordings;
  std::error_code error;
  const std::filesystem::path path(platform::FileSystemName(folder.empty() ? "." : folder));
  std::map<std::string, std::filesystem::path> files;
  for (std::filesystem::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    const std::filesystem::path& file = it->path();
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".wav" && it->is_regular_file(error)) files[file.stem().string()] = file;
  }
  for (const auto& [name, file] : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    audio::WaveImageInfo info;
    if (!audio::ParseWaveBuffer(image.data(), image.size(), info)) continue;
    const auto first = image.begin() + static_cast<std::ptrdiff_t>(info.dataOffset);
    std::vector<std::uint8_t> samples(first, first + static_cast<std::ptrdiff_t>(info.dataLength));
    const bool audible = std::any_of(samples.begin(), samples.end(), [](std::uint8_t b) { return b != kSilence; });
    if (samples.size() >= kKeyLength && audible) recordings.push_back({name, std::move(samples)});
  }
  return recordings;
}

std::vector<HeardSound> RecogniseSounds(const std::vector<sim::WaveBlockRecord>& blocks,
                                        const std::vector<Recording>& recordings) {
  const Stream stream = BuildStream(blocks);
  // Recordings are looked up by their first audible bytes: silence, which many of them begin
  // with, would make every silent stretch of the stream a candidate for all of them.
  struct Indexed {
    const Recording* recording = nullptr;
    std::size_t lead = 0;  // leading silent samples
  };
  std::vector<Indexed> indexed;
  std::unordered_map<std::uint32_t, std::vector<Indexed>> byKey;
  for (const Recording& recording : recordings) {
    const std::vector<std::uint8_t>& samples = recording.samples;
    std::size_t lead = 0;
    while (lead < samples.size() && samples[lead] == kSilence) ++lead;
    if (samples.size() - lead < kKeyLength) continue;
    indexed.push_back({&recording, lead});
    byKey[KeyAt(&samples[lead])].push_back(indexed.back());
  }

  std::vector<HeardSound> sounds;
  const std::size_t size = stream.bytes.size();
  std::size_t unmatched = 0;  // start of the bytes no recording has taken yet
  std::size_t position = 0;
  while (position < size) {
    Match best;
    std::size_t bestStart = 0;
    // A recording whose first audible sample is played here began `lead` samples before, in
    // silence of the same segment that no recording has taken.
    auto consider = [&](const Indexed& candidate) {
      if (candidate.lead > position - unmatched) return;
      const std::size_t start = position - candidate.lead;
      if (stream.segmentEnd[start] != stream.segmentEnd[position]) return;
      const Match match = MatchAt(stream, start, *candidate.recording);
      if (match.recording != nullptr && Better(match, best)) {
        best = match;
        bestStart = start;
      }
    };
    if (stream.bytes[position] != kSilence && position + kKeyLength <= stream.segmentEnd[position]) {
      // A key touching the silent end of a block may hide the recording's true bytes.
      if (!stream.silentTail[position + kKeyLength - 1]) {
        const auto found = byKey.find(KeyAt(&stream.bytes[position]));
        if (found != byKey.end()) {
          for (const Indexed& candidate : found->second) consider(candidate);
        }
      } else {
        for (const Indexed& candidate : indexed) consider(candidate);
      }
    }
    if (best.recording == nullptr) {
      ++position;
      continue;
    }
    AddOtherSounds(stream, unmatched, bestStart, sounds);
    sounds.push_back({stream.TimeOf(bestStart), stream.EndTimeOf(bestStart + best.length - 1),
                      best.recording->name, best.cut});
    position = bestStart + best.length;
    unmatched = position;
  }
  AddOtherSounds(stream, unmatched, size, sounds);
  return sounds;
}

std::string FormatSoundLog(const std::vector<HeardSound>& sounds) {
  std::string text;
  char line[160];
  for (const HeardSound& sound : sounds) {
    if (sound.name.empty()) {
      std::snprintf(line, sizeof line, "%9.1f ms  (other sound, %.0f ms)", sound.startMs,
                    sound.endMs - sound.startMs);
    } else {
      std::snprintf(line, sizeof line, "%9.1f ms  %s%s", sound.startMs, sound.name.c_str(),
                    sound.cut ? " (cut)" : "");
    }
    text += line;
    text += '\n';
  }
  return text;
}

}  // namespace audival
