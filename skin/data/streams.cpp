#include "skin/data/streams.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace skin {

namespace {
// Paths are written with '\' by the skin engine; elsewhere than on Windows they are taken with '/'.
std::string osPath(const std::string& name) {
#ifdef _WIN32
  return name;
#else
  std::string p = name;
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
#endif
}
}  // namespace

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t end = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return end;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  auto* p = static_cast<uint8_t*>(Buffer);
  while (Count > 0) {
    const int32_t chunk = int32_t(std::min<int64_t>(Count, std::numeric_limits<int32_t>::max()));
    const int32_t got = Read(p, chunk);
    if (got <= 0) throw EReadError();
    p += got;
    Count -= got;
  }
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  const auto* p = static_cast<const uint8_t*>(Buffer);
  while (Count > 0) {
    const int32_t chunk = int32_t(std::min<int64_t>(Count, std::numeric_limits<int32_t>::max()));
    const int32_t put = Write(p, chunk);
    if (put <= 0) throw EWriteError();
    p += put;
    Count -= put;
  }
}

void TStream::CopyFrom(TStream& Source, int64_t Count) {
  std::vector<uint8_t> buffer(size_t(std::min<int64_t>(std::max<int64_t>(Count, 0), 65536)));
  while (Count > 0) {
    const int32_t chunk = int32_t(std::min<int64_t>(Count, int64_t(buffer.size())));
    Source.ReadBuffer(buffer.data(), chunk);
    WriteBuffer(buffer.data(), chunk);
    Count -= chunk;
  }
}

uint32_t TStream::ReadUInt32LE() {
  uint8_t b[4];
  ReadBuffer(b, 4);
  return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

void TStream::WriteUInt32LE(uint32_t v) {
  const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  WriteBuffer(b, 4);
}

int32_t TMemoryStream::Read(void* Buffer, int32_t Count) {
  if (Count <= 0 || position_ >= int64_t(data_.size())) return 0;
  const int64_t n = std::min<int64_t>(Count, int64_t(data_.size()) - position_);
  std::memcpy(Buffer, data_.data() + position_, size_t(n));
  position_ += n;
  return int32_t(n);
}

int32_t TMemoryStream::Write(const void* Buffer, int32_t Count) {
  if (Count <= 0) return 0;
  const int64_t end = position_ + Count;
  if (end > int64_t(data_.size())) data_.resize(size_t(end));
  std::memcpy(data_.data() + position_, Buffer, size_t(Count));
  position_ = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t base = 0;
  if (Origin == soCurrent) base = position_;
  else if (Origin == soEnd) base = int64_t(data_.size());
  int64_t p = base + Offset;
  if (p < 0) p = 0;
  position_ = p;
  return position_;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::SetSize(int64_t size) {
  data_.resize(size_t(std::max<int64_t>(size, 0)));
  if (position_ > int64_t(data_.size())) position_ = int64_t(data_.size());
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  std::FILE* f = std::fopen(osPath(FileName).c_str(), "rb");
  if (!f) throw EFOpenError(FileName);
  std::string bytes;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) throw EFOpenError(FileName);
  data_ = std::move(bytes);
  position_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& FileName) const {
  std::FILE* f = std::fopen(osPath(FileName).c_str(), "wb");
  if (!f) throw EFOpenError(FileName);
  const bool ok = std::fwrite(data_.data(), 1, data_.size(), f) == data_.size();
  const bool closed = std::fclose(f) == 0;
  if (!ok || !closed) throw EWriteError();
}

}  // namespace skin
