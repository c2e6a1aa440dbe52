#pragma once
// The packed skin container: a skin's "Options.dat" description and its image files in one byte stream.
//
//   offset 0   4 bytes  magic "ASzf"
//   offset 4   4 bytes  member count N (unsigned 32-bit little-endian, like every number here)
//   then N members:  name length L, L name bytes (single-byte, no terminator), unpacked size S, and one zlib
//                    stream (RFC 1950) that inflates to exactly S bytes. The next member starts on the byte
//                    after the zlib stream's end.
//
// TacSkinConvertor unpacks a container into memory streams; WritePackedSkin makes one.
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/skin_bounds.h"
#include "skin/data/streams.h"
#include "skin/data/zstreams.h"

namespace skin {

inline constexpr char PackedSkinMagic[4] = {'A', 'S', 'z', 'f'};
inline constexpr std::string_view SkinOptionsFileName = "Options.dat";
// The refusal of data that is not a packed skin (wrong magic, nothing to read, or a header that breaks the
// container's limits).
inline constexpr const char* SNotPackedSkin = "Loaded data is not a packed skin file";

// A container whose header breaks the limits below, or a member whose zlib stream goes on past its stated
// size. Its message is SNotPackedSkin, or what is past which limit when a member's size breaks one.
class EPackedSkinError : public std::runtime_error {
 public:
  EPackedSkinError() : std::runtime_error(SNotPackedSkin) {}
  explicit EPackedSkinError(const std::string& why) : std::runtime_error(why) {}
};

// Limits that the reader enforces before it allocates or inflates anything.
// The sizes are those of one skin load (skin_bounds.h): a member is an image file, or the description.
struct PackedSkinLimits {
  uint32_t MaxMembers = 65536;
  uint32_t MaxNameLength = 1024;
  uint32_t MaxMemberSize = uint32_t(MaxSkinImageFileBytes);        // bytes of one unpacked image file
  uint32_t MaxOptionsSize = uint32_t(MaxSkinDescriptionBytes);     // bytes of the unpacked description
  uint64_t MaxTotalSize = uint64_t(MaxPackedSkinUnpackedBytes);    // bytes of all unpacked members
};

struct TacPackedFile {
  std::string FileName;                 // as stored
  bool IsBitmap = false;                // the extension, upper-cased, is ".BMP"
  std::unique_ptr<TMemoryStream> Data;  // the unpacked bytes, positioned at 0
};

class TacSkinConvertor {
 public:
  TacSkinConvertor() = default;
  ~TacSkinConvertor();
  TacSkinConvertor(const TacSkinConvertor&) = delete;
  TacSkinConvertor& operator=(const TacSkinConvertor&) = delete;

  // The unpacked "Options.dat" (the last member of that name, compared without regard to case); null when
  // the container had none.
  std::unique_ptr<TMemoryStream> Options;
  // The container to read; null when none was given. Set it with SetPackedData or LendPackedData.
  TStream* PackedData = nullptr;
  // One entry per member other than "Options.dat", in container order.
  std::vector<TacPackedFile> Files;
  // The number of entries of Files.
  int32_t FileCount = 0;

  // Gives the container to the convertor, which frees it in ClearSkinConvertor.
  void SetPackedData(std::unique_ptr<TStream> data);
  // Lends a container that stays the caller's: the convertor reads it but never frees it.
  void LendPackedData(TStream& data);
  // Forgets the container (freeing it only when it was given).
  void ReleasePackedData();

  // Index in Files of the member of that name, compared without regard to case; -1 when none.
  int IndexOfFile(std::string_view name) const;
  // The member's data rewound to 0, or null when there is no such member.
  TMemoryStream* FileData(std::string_view name) const;

 private:
  std::unique_ptr<TStream> ownedPackedData_;
};

// Whether the name's extension (from its last '.', upper-cased) is ".BMP".
bool PackedFileIsBitmap(std::string_view FileName);

// Reads the container in the convertor's PackedData into Options and Files.
// - Returns false, and frees the convertor (the variable becomes null), when there is no convertor, no
//   PackedData, or the data does not start with "ASzf": the data is not a packed skin (SNotPackedSkin).
// - Raises EPackedSkinError when the header breaks the limits (a member's stated size past its limit is named
//   with the member: "its member "X.bmp" unpacks to N bytes, past the M bytes that an image file may have") or
//   a member's zlib stream inflates to more than its stated size, EReadError when the data ends early (a
//   member's zlib stream included),
//   EZDecompressionError when zlib finds a member's stream corrupt. The convertor then holds no member.
// - Returns true when every member was read.
bool ExtractPackedSkin(std::unique_ptr<TacSkinConvertor>& Convertor, const PackedSkinLimits& Limits = {});

// Frees every member's data (last to first) and Options, and the container when it was given.
void ClearSkinConvertor(TacSkinConvertor& Convertor);

// One member to pack.
struct PackedSkinMember {
  std::string Name;
  std::string Data;
};

// Writes a container of these members, in this order, each compressed at the level given. Raises
// std::invalid_argument for a name longer than the reader accepts or data above 4 GiB.
void WritePackedSkin(TStream& Dest, const std::vector<PackedSkinMember>& Members,
                     int Level = Z_BEST_COMPRESSION);
std::string PackSkin(const std::vector<PackedSkinMember>& Members, int Level = Z_BEST_COMPRESSION);

}  // namespace skin
