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
constexpr std::size_t kFmtFields = 16;

struct FileFormat {
  int rate = 0;
  int channels = 0;
  int bits = 0;
};

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
  std::size_t Read(std::uint8_t* into, std::size_t count) { return std::fread(into, 1, count, file_); }
  bool ReadExactly(std::uint8_t* into, std::size_t count) { return Read(into, count) == count; }
  // Moves past `count` bytes without reading them; steps fit a 32-bit offset everywhere.
  bool Skip(std::uint32_t count) {
    constexpr std::uint32_t kStep = 1u << 30;
    while (count > 0) {
      const std::uint32_t step = count < kStep ? count : kStep;
      if (std::fseek(file_, static_cast<long>(step), SEEK_CUR) != 0) return false;
      count -= step;
    }
    return true;
  }

 private:
  std::FILE* file_;
};

// Walks the file's chunks up to the start of the samples: the format from "fmt ", the sample
// count from the "data" header. Chunks are skipped by seeking, so a chunk of any size passes
// without passing through the read buffer.
bool ReadFileHeaders(OpenFile& file, std::uint8_t* buffer, FileFormat& format, std::uint32_t& dataLength) {
  std::uint8_t header[12];
  if (!file.ReadExactly(header, 12) || !SameChunkId(header, "RIFF")) return false;
  if (!file.ReadExactly(header, 8) || !SameChunkId(header, "fmt ")) return false;
  const std::uint32_t fmtLength = ReadLe32(header + 4);
  if (fmtLength < kFmtFields || !file.ReadExactly(buffer, kFmtFields)) return false;
  if (!file.Skip(fmtLength - kFmtFields)) return false;
  format.channels = ReadLe16(buffer + 2);
  format.rate = static_cast<int>(ReadLe32(buffer + 4));
  format.bits = ReadLe16(buffer + 14);
  for (;;) {
    if (!file.ReadExactly(header, 8)) return false;
    const std::uint32_t length = ReadLe32(header + 4);
    if (header[0] == 'd' && header[1] == 'a' && header[2] == 't' && header[3] == 'a') {
      dataLength = length;
      return true;
    }
    if (!file.Skip(length)) return false;
  }
}

// Plays the samples piece by piece through the read buffer. A piece that comes up short means
// the data is cut short: what was read is played and the result is -1.
int PlayFileData(OpenFile& file, std::uint8_t* buffer, const FileFormat& format, std::uint32_t remaining) {
  int result = 0;
  while (remaining > 0) {
    result = kUnreadable;
    const int piece = FilePieceLength(remaining);
    remaining -= static_cast<std::uint32_t>(piece);
    const std::size_t read = file.Read(buffer, static_cast<std::size_t>(piece));
    if (read == 0) break;
    result = WavPlayData(buffer, static_cast<int>(read), format.rate, format.channels, format.bits);
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
  FileFormat format;
  std::uint32_t dataLength = 0;
  if (ReadFileHeaders(file, buffer, format, dataLength)) result = PlayFileData(file, buffer, format, dataLength);
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
