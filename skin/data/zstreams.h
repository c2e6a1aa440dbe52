#pragma once
// The zlib stream wrapper of the skin engine: a read-only stream that inflates one zlib stream (RFC 1950)
// from a source stream, and the zlib errors.
//
// The decompression stream reads its source in blocks of 65,536 bytes; when the zlib stream ends, the input
// it read beyond that end is handed back to the source, so the source is left exactly on the first byte
// after the zlib data.
#include <zlib.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/data/streams.h"

namespace skin {

inline constexpr const char* SInvalidZStreamOperation = "Invalid ZStream operation!";

// An error of zlib: the message is zlib's text for the code.
class EZLibError : public std::runtime_error {
 public:
  explicit EZLibError(int code);
  EZLibError(int code, const std::string& message) : std::runtime_error(message), ErrorCode(code) {}
  int ErrorCode;
};
class EZDecompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};

// Raises EZDecompressionError for a negative zlib result; returns the code otherwise.
int ZDecompressCheck(int code);
// Prepares an inflate state (the wrapper's memory routines, then zlib's inflateInit), checked.
void InflateInit(z_stream& stream);

class TCustomZStream : public TStream {
 public:
  // Called each time a block of input has been read from the source.
  std::function<void(TCustomZStream&)> OnProgress;
  const z_stream& ZStream() const { return FZRec; }

 protected:
  explicit TCustomZStream(TStream& Source);

  TStream* FStrm;       // the source, not owned
  int64_t FStrmPos;     // the source position at the last access
  z_stream FZRec{};
  std::vector<uint8_t> FBuffer;
};

class TZDecompressionStream final : public TCustomZStream {
 public:
  // Starts inflating at the source's current position.
  explicit TZDecompressionStream(TStream& Source);
  ~TZDecompressionStream() override;
  TZDecompressionStream(const TZDecompressionStream&) = delete;
  TZDecompressionStream& operator=(const TZDecompressionStream&) = delete;

  // Up to Count inflated bytes; fewer at the end of the zlib stream or of the source.
  // A corrupt stream raises EZDecompressionError.
  int32_t Read(void* Buffer, int32_t Count) override;
  // Always raises EZDecompressionError ("Invalid ZStream operation!").
  int32_t Write(const void* Buffer, int32_t Count) override;
  // Returns the number of bytes inflated so far. Offset 0 from the beginning restarts inflation at the
  // start of the zlib data (where the stream was made, not the source's first byte: a member of a container
  // lies after the container's header and the members before it); a forward offset from the current position (or one at or beyond the bytes
  // inflated so far from the beginning) skips ahead; offset 0 from the end inflates to the end. Anything
  // else raises EZDecompressionError.
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

  // True once the zlib stream's end (and its checksum) has been read.
  bool StreamEnded() const { return FLastResult == Z_STREAM_END; }
  uint64_t TotalOut() const { return FZRec.total_out; }

 private:
  void skip(int64_t count);

  int64_t FStartPos;  // where the zlib data begins in the source
  int FLastResult = Z_OK;
};

}  // namespace skin
