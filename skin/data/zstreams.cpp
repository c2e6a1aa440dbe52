#include "skin/data/zstreams.h"

#include <cstdlib>

namespace skin {

namespace {

constexpr int32_t kInputBufferSize = 65536;
constexpr int32_t kSkipPiece = 8192;

// The memory routines handed to zlib: the program's heap, with the item count checked for overflow.
voidpf zalloc(voidpf, uInt items, uInt size) {
  if (size != 0 && items > SIZE_MAX / size) return Z_NULL;
  return std::malloc(size_t(items) * size_t(size));
}
void zfree(voidpf, voidpf address) { std::free(address); }

}  // namespace

EZLibError::EZLibError(int code) : std::runtime_error(zError(code)), ErrorCode(code) {}

int ZDecompressCheck(int code) {
  if (code < 0) throw EZDecompressionError(code);
  return code;
}

void InflateInit(z_stream& stream) {
  stream.zalloc = zalloc;
  stream.zfree = zfree;
  stream.opaque = Z_NULL;
  ZDecompressCheck(inflateInit(&stream));
}

TCustomZStream::TCustomZStream(TStream& Source)
    : FStrm(&Source), FStrmPos(Source.Position()), FBuffer(size_t(kInputBufferSize)) {}

TZDecompressionStream::TZDecompressionStream(TStream& Source) : TCustomZStream(Source), FStartPos(FStrmPos) {
  FZRec.next_in = FBuffer.data();
  FZRec.avail_in = 0;
  InflateInit(FZRec);
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&FZRec); }

int32_t TZDecompressionStream::Read(void* Buffer, int32_t Count) {
  if (Count <= 0) return 0;
  FZRec.next_out = static_cast<Bytef*>(Buffer);
  FZRec.avail_out = uInt(Count);
  if (FStrm->Position() != FStrmPos) FStrm->SetPosition(FStrmPos);
  while (FZRec.avail_out > 0 && FLastResult != Z_STREAM_END) {
    if (FZRec.avail_in == 0) {
      const int32_t got = FStrm->Read(FBuffer.data(), kInputBufferSize);
      if (got <= 0) return Count - int32_t(FZRec.avail_out);
      FZRec.next_in = FBuffer.data();
      FZRec.avail_in = uInt(got);
      FStrmPos = FStrm->Position();
      if (OnProgress) OnProgress(*this);
    }
    FLastResult = ZDecompressCheck(inflate(&FZRec, Z_NO_FLUSH));
    // A stream that asks for a preset dictionary cannot go on: without this it would never progress.
    if (FLastResult == Z_NEED_DICT) throw EZDecompressionError(Z_NEED_DICT);
  }
  if (FLastResult == Z_STREAM_END && FZRec.avail_in > 0) {
    FStrmPos -= FZRec.avail_in;
    FStrm->SetPosition(FStrmPos);
    FZRec.avail_in = 0;
  }
  return Count - int32_t(FZRec.avail_out);
}

int32_t TZDecompressionStream::Write(const void*, int32_t) {
  throw EZDecompressionError(Z_STREAM_ERROR, SInvalidZStreamOperation);
}

void TZDecompressionStream::skip(int64_t count) {
  uint8_t piece[kSkipPiece];
  while (count > 0) {
    const int32_t n = int32_t(count < kSkipPiece ? count : kSkipPiece);
    ReadBuffer(piece, n);
    count -= n;
  }
}

int64_t TZDecompressionStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int64_t total = int64_t(FZRec.total_out);
  if (Offset == 0 && Origin == soBeginning) {
    ZDecompressCheck(inflateReset(&FZRec));
    FZRec.next_in = FBuffer.data();
    FZRec.avail_in = 0;
    FLastResult = Z_OK;
    FStrm->SetPosition(FStartPos);
    FStrmPos = FStartPos;
  } else if ((Origin == soCurrent && Offset >= 0) || (Origin == soBeginning && Offset >= total)) {
    skip(Origin == soBeginning ? Offset - total : Offset);
  } else if (Origin == soEnd && Offset == 0) {
    uint8_t piece[kSkipPiece];
    while (Read(piece, kSkipPiece) != 0) {
    }
  } else {
    throw EZDecompressionError(Z_STREAM_ERROR, SInvalidZStreamOperation);
  }
  return int64_t(FZRec.total_out);
}

}  // namespace skin
