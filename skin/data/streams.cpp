#include "skin/data/streams.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#ifdef _WIN32
TFileReader::TFileReader(const std::string& FileName) : name_(FileName) {
  HANDLE h = CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD a = GetFileAttributesA(FileName.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) throw EFOpenError(FileName, "it is not a regular file");
    throw EFOpenError(FileName);
  }
  LARGE_INTEGER size{};
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) {
    CloseHandle(h);
    throw EFOpenError(FileName, "it is not a regular file");
  }
  handle_ = reinterpret_cast<intptr_t>(h);
  size_ = size.QuadPart;
}

TFileReader::~TFileReader() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::string TFileReader::Read(int64_t Count) {
  std::string bytes;
  while (Count > 0) {
    char buffer[65536];
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, DWORD(std::min<int64_t>(Count, sizeof buffer)), &got,
                  nullptr))
      throw EFOpenError(name_);
    if (got == 0) break;
    bytes.append(buffer, got);
    Count -= got;
  }
  return bytes;
}
#else
TFileReader::TFileReader(const std::string& FileName) : name_(FileName) {
  // Opened without waiting (a pipe without a writer would hold the open), then kept only when it is a regular file.
  const int fd = ::open(osPath(FileName).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError(FileName);
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw EFOpenError(FileName, "it is not a regular file");
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  handle_ = fd;
  size_ = int64_t(st.st_size);
}

TFileReader::~TFileReader() { ::close(int(handle_)); }

std::string TFileReader::Read(int64_t Count) {
  std::string bytes;
  while (Count > 0) {
    char buffer[65536];
    const ssize_t got = ::read(int(handle_), buffer, size_t(std::min<int64_t>(Count, sizeof buffer)));
    if (got < 0) throw EFOpenError(name_);
    if (got == 0) break;
    bytes.append(buffer, size_t(got));
    Count -= got;
  }
  return bytes;
}
#endif

void TMemoryStream::LoadFromFile(const std::string& FileName, int64_t MaxBytes) {
  TFileReader file(FileName);
  if (file.Size() > MaxBytes) throw EFileTooLarge(FileName, file.Size(), MaxBytes);
  data_ = file.Read(file.Size());  // the size it had when it was opened
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
