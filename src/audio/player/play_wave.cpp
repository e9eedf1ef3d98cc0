// Playing RIFF/WAVE files and in-memory wave images: find the format and the samples, then
// hand the samples to WavPlayData.
#include <climits>
#include <cstdio>

#include "audio/player/player.h"
#include "audio/player/player_internal.h"
#include "audio/player/wave_format.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/system.h"

namespace audio {
namespace {

constexpr int kUnreadable = -1;

class OpenFile {
 public:
  explicit OpenFile(const std::string& path)
      : file_(std::fopen(platform::FileSystemName(path).c_str(), "rb")) {}
  ~OpenFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  void Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
  }
  std::FILE* Handle() { return file_; }
  std::size_t Read(std::uint8_t* into, std::size_t count) { return std::fread(into, 1, count, file_); }
  bool SeekTo(std::uint64_t offset) {
    return offset <= static_cast<std::uint64_t>(LONG_MAX) &&
           std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
  }

 private:
  std::FILE* file_;
};

// Plays the samples piece by piece through the read buffer. A piece that comes up short means
// the data is cut short: what was read is played and the result is -1.
int PlayFileData(OpenFile& file, std::uint8_t* buffer, const WaveChunks& format, std::uint32_t remaining) {
  int result = 0;
  while (remaining > 0) {
    result = kUnreadable;
    const int piece = FilePieceLength(remaining);
    remaining -= static_cast<std::uint32_t>(piece);
    const std::size_t read = file.Read(buffer, static_cast<std::size_t>(piece));
    if (read == 0) break;
    result = WavPlayData(buffer, static_cast<int>(read), static_cast<int>(format.rate), format.channels, format.bits);
    if (result != 0) break;
    if (read < static_cast<std::size_t>(piece)) {
      result = kUnreadable;
      break;
    }
    if (KeyInterrupt() && console::KeyPressed()) break;
  }
  return result;
}

}  // namespace

int WavPlayFile(const std::string& path) {
  if (KeyInterrupt() && console::KeyPressed()) return 0;
  std::uint8_t* buffer = detail::ReadBuffer();
  OpenFile file(path);
  if (!file.IsOpen() || buffer == nullptr) return kUnreadable;

  int result = kUnreadable;
  WaveChunks chunks;
  if (FindWaveChunks(file.Handle(), true, chunks) && file.SeekTo(chunks.dataOffset)) {
    result = PlayFileData(file, buffer, chunks, chunks.dataLength);
  }
  file.Close();
  if (!NoWait()) {
    while (WavBusy()) platform::WaitEvent();
  }
  return result;
}

void WavPlayBuffer(std::uint8_t* image, std::size_t size) {
  WaveImageInfo info;
  if (!ParseWaveBuffer(image, size, info)) return;
  const int length = info.dataLength > INT_MAX ? INT_MAX : static_cast<int>(info.dataLength);
  WavPlayData(image + info.dataOffset, length, static_cast<int>(info.rate), info.channels, info.bits);
}

}  // namespace audio
