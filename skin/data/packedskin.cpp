#include "skin/data/packedskin.h"

#include <algorithm>
#include <cstring>

namespace skin {

namespace {

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
  return true;
}

// Reads up to count bytes, going on after short reads; the number read.
int32_t readUpTo(TStream& in, void* buffer, int32_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  int32_t total = 0;
  while (total < count) {
    const int32_t got = in.Read(p + total, count - total);
    if (got <= 0) break;
    total += got;
  }
  return total;
}

// One member's zlib stream, inflated into a new memory stream; it must give exactly `size` bytes and end.
// The buffer grows with the bytes that actually come, so a false size costs no more than the data holds.
std::unique_ptr<TMemoryStream> inflateMember(TStream& in, uint32_t size) {
  auto data = std::make_unique<TMemoryStream>();
  TZDecompressionStream z(in);
  int64_t done = 0;
  int64_t capacity = 0;
  while (done < int64_t(size)) {
    if (done == capacity) {
      capacity = std::min<int64_t>(size, std::max<int64_t>(capacity * 2, 1 << 20));
      data->SetSize(capacity);
    }
    const int32_t got = z.Read(data->Memory() + done, int32_t(capacity - done));
    if (got <= 0) throw EReadError();  // the stream ends before the stated size
    done += got;
  }
  uint8_t extra;
  if (z.Read(&extra, 1) != 0) throw EPackedSkinError();  // more than the stated size
  if (!z.StreamEnded()) throw EReadError();               // the data ended before the stream's checksum
  data->SetPosition(0);
  return data;
}

}  // namespace

TacSkinConvertor::~TacSkinConvertor() { ClearSkinConvertor(*this); }

void TacSkinConvertor::SetPackedData(std::unique_ptr<TStream> data) {
  ReleasePackedData();
  ownedPackedData_ = std::move(data);
  PackedData = ownedPackedData_.get();
}

void TacSkinConvertor::LendPackedData(TStream& data) {
  ReleasePackedData();
  PackedData = &data;
}

void TacSkinConvertor::ReleasePackedData() {
  PackedData = nullptr;
  ownedPackedData_.reset();
}

int TacSkinConvertor::IndexOfFile(std::string_view name) const {
  for (size_t i = 0; i < Files.size(); ++i)
    if (equalNoCase(Files[i].FileName, name)) return int(i);
  return -1;
}

TMemoryStream* TacSkinConvertor::FileData(std::string_view name) const {
  const int i = IndexOfFile(name);
  if (i < 0 || !Files[size_t(i)].Data) return nullptr;
  TMemoryStream* data = Files[size_t(i)].Data.get();
  data->SetPosition(0);
  return data;
}

bool PackedFileIsBitmap(std::string_view FileName) {
  const size_t dot = FileName.find_last_of(".\\:");
  if (dot == std::string_view::npos || FileName[dot] != '.') return false;
  return equalNoCase(FileName.substr(dot), ".BMP");
}

void ClearSkinConvertor(TacSkinConvertor& Convertor) {
  while (!Convertor.Files.empty()) Convertor.Files.pop_back();
  Convertor.FileCount = 0;
  Convertor.Options.reset();
  Convertor.ReleasePackedData();
}

bool ExtractPackedSkin(std::unique_ptr<TacSkinConvertor>& Convertor, const PackedSkinLimits& Limits) {
  if (!Convertor) return false;
  if (!Convertor->PackedData) {
    Convertor.reset();
    return false;
  }
  TStream& in = *Convertor->PackedData;
  in.SetPosition(0);
  char magic[4];
  if (readUpTo(in, magic, 4) != 4 || std::memcmp(magic, PackedSkinMagic, 4) != 0) {
    Convertor.reset();
    return false;
  }

  TacSkinConvertor& c = *Convertor;
  c.Files.clear();
  c.Options.reset();
  c.FileCount = 0;
  try {
    const uint32_t count = in.ReadUInt32LE();
    if (count > Limits.MaxMembers) throw EPackedSkinError();
    uint64_t total = 0;
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t nameLength = in.ReadUInt32LE();
      if (nameLength > Limits.MaxNameLength) throw EPackedSkinError();
      std::string name(nameLength, '\0');
      in.ReadBuffer(name.data(), nameLength);
      const uint32_t size = in.ReadUInt32LE();
      total += size;
      const bool options = equalNoCase(name, SkinOptionsFileName);
      // Told before a byte of the member is inflated.
      const uint64_t most = options ? Limits.MaxOptionsSize : Limits.MaxMemberSize;
      if (size > most)
        throw EPackedSkinError("its member \"" + name + "\" unpacks to " + std::to_string(size) + " bytes, past the " +
                               std::to_string(most) + " bytes that " +
                               (options ? "a description" : "an image file") + " may have");
      if (total > Limits.MaxTotalSize)
        throw EPackedSkinError("its members unpack to more than the " + std::to_string(Limits.MaxTotalSize) +
                               " bytes that a packed skin may hold (" + std::to_string(total) + " bytes by member \"" +
                               name + "\")");
      std::unique_ptr<TMemoryStream> data = inflateMember(in, size);
      if (options) {
        c.Options = std::move(data);
      } else {
        const bool isBitmap = PackedFileIsBitmap(name);
        c.Files.push_back(TacPackedFile{std::move(name), isBitmap, std::move(data)});
      }
    }
    c.FileCount = int32_t(c.Files.size());
  } catch (...) {
    c.Files.clear();
    c.Options.reset();
    c.FileCount = 0;
    throw;
  }
  return true;
}

void WritePackedSkin(TStream& Dest, const std::vector<PackedSkinMember>& Members, int Level) {
  const PackedSkinLimits limits;
  if (Members.size() > limits.MaxMembers) throw std::invalid_argument("too many members for a packed skin");
  for (const PackedSkinMember& m : Members) {
    if (m.Name.size() > limits.MaxNameLength) throw std::invalid_argument("packed skin member name too long");
    if (m.Data.size() > std::max<uint64_t>(limits.MaxMemberSize, limits.MaxOptionsSize))
      throw std::invalid_argument("packed skin member too large");
  }
  Dest.WriteBuffer(PackedSkinMagic, 4);
  Dest.WriteUInt32LE(uint32_t(Members.size()));
  std::string packed;
  for (const PackedSkinMember& m : Members) {
    Dest.WriteUInt32LE(uint32_t(m.Name.size()));
    Dest.WriteBuffer(m.Name.data(), int64_t(m.Name.size()));
    Dest.WriteUInt32LE(uint32_t(m.Data.size()));
    uLongf packedSize = compressBound(uLong(m.Data.size()));
    packed.resize(packedSize);
    const int r = compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                            reinterpret_cast<const Bytef*>(m.Data.data()), uLong(m.Data.size()), Level);
    if (r != Z_OK) throw EZLibError(r);
    Dest.WriteBuffer(packed.data(), int64_t(packedSize));
  }
}

std::string PackSkin(const std::vector<PackedSkinMember>& Members, int Level) {
  TMemoryStream out;
  WritePackedSkin(out, Members, Level);
  return out.Bytes();
}

}  // namespace skin
