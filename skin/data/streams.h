#pragma once
// Byte streams of the skin engine: the abstract stream, a memory stream and the stream errors. A packed skin
// is read from one of these and its members come out as memory streams.
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace skin {

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// A read that got fewer bytes than it needed.
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
};
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
};
// A file that cannot be opened (why, when it is told: "it is not a regular file").
class EFOpenError : public EStreamError {
 public:
  explicit EFOpenError(const std::string& name, const std::string& why = {})
      : EStreamError("Cannot open file \"" + name + "\"" + (why.empty() ? "" : ": " + why)), Why(why) {}
  std::string Why;
};
// A file larger than a read may take, told from its size before a byte of it is read.
class EFileTooLarge : public EStreamError {
 public:
  EFileTooLarge(const std::string& name, int64_t size, int64_t max)
      : EStreamError("The file \"" + name + "\" is " + std::to_string(size) + " bytes, past the " +
                     std::to_string(max) + " bytes that may be read"),
        Size(size),
        Max(max) {}
  int64_t Size, Max;
};

// A regular file opened for reading. A pipe, a device or a directory is refused when it is opened (EFOpenError),
// before anything is read from it: a read of one could wait for ever, or never end.
class TFileReader {
 public:
  explicit TFileReader(const std::string& FileName);
  ~TFileReader();
  TFileReader(const TFileReader&) = delete;
  TFileReader& operator=(const TFileReader&) = delete;
  // The file's size when it was opened.
  int64_t Size() const { return size_; }
  // Up to Count bytes from where the last read ended (fewer at the file's end); EFOpenError when the system
  // fails the read.
  std::string Read(int64_t Count);

 private:
  std::string name_;
  intptr_t handle_ = -1;
  int64_t size_ = 0;
};

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
 public:
  virtual ~TStream() = default;
  // Up to count bytes; the number read (0 at the end).
  virtual int32_t Read(void* Buffer, int32_t Count) = 0;
  // Up to count bytes; the number written.
  virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
  // The new position.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
  virtual int64_t Size();

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t p) { Seek(p, soBeginning); }

  // Exactly count bytes, or EReadError / EWriteError.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies exactly count bytes from the source's current position (EReadError when it has fewer).
  void CopyFrom(TStream& Source, int64_t Count);
  // A little-endian unsigned 32-bit number (EReadError at the end).
  uint32_t ReadUInt32LE();
  void WriteUInt32LE(uint32_t v);
};

class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

  int32_t Read(void* Buffer, int32_t Count) override;
  int32_t Write(const void* Buffer, int32_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return int64_t(data_.size()); }

  void Clear();
  void SetSize(int64_t size);
  const char* Memory() const { return data_.data(); }
  char* Memory() { return data_.data(); }
  // The whole content.
  const std::string& Bytes() const { return data_; }
  std::string_view View() const { return data_; }

  // The whole file; EFOpenError when it cannot be opened or read or is no regular file (TFileReader),
  // EFileTooLarge when it holds more than MaxBytes.
  void LoadFromFile(const std::string& FileName, int64_t MaxBytes = std::numeric_limits<int64_t>::max());
  void SaveToFile(const std::string& FileName) const;

 private:
  std::string data_;
  int64_t position_ = 0;
};

}  // namespace skin
