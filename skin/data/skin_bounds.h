#pragma once
// What one skin load reads at most, whatever brings the skin: a folder in the skins folder, a packed file, a
// stored skin or a skin editor's block. Every file is sized before it is read and every image's header is read
// before its pixels, so that a skin past these bounds is refused at once, with the image and its size named,
// instead of holding the window thread for seconds (a 1 GiB bitmap took five) and then leaving the image out.
//
// - One image: at most 16,777,216 pixels (4096 x 4096; 64 MiB as the 32-bit bitmap that the painters draw from).
//   A skin cuts its frames, glyphs and textures from images of a few hundred pixels a side and tiles or stretches
//   them; a picture as large as a 4096 x 2160 screen still fits whole.
// - One image file: at most 65 MiB, the bytes of the largest image held uncompressed at 32 bits per pixel (a
//   bitmap file), with a mebibyte for its headers, palette and other chunks.
// - All the images of one skin together: at most 67,108,864 pixels, four images at their largest (256 MiB of
//   bitmaps).
// - A description: at most 16 MiB of text (the program's own are 20 to 30 KB, a skin editor's block holds 30,001
//   bytes; 16 MiB holds hundreds of thousands of keys).
// - A packed skin: its members unpack to at most a description and four image files at their largest; its file
//   is at most that with a mebibyte for the members' names and zlib's framing (a stored block adds 5 bytes to
//   every 64 KiB).
#include <cstdint>

namespace skin {

inline constexpr int64_t MiB = int64_t{1} << 20;

inline constexpr int64_t MaxSkinImagePixels = int64_t{1} << 24;
inline constexpr int64_t MaxSkinImageFileBytes = 4 * MaxSkinImagePixels + MiB;
inline constexpr int64_t MaxSkinPixels = int64_t{1} << 26;
inline constexpr int64_t MaxSkinDescriptionBytes = 16 * MiB;
inline constexpr int64_t MaxPackedSkinUnpackedBytes = MaxSkinDescriptionBytes + 4 * MaxSkinImageFileBytes;
inline constexpr int64_t MaxPackedSkinFileBytes = MaxPackedSkinUnpackedBytes + MiB;

}  // namespace skin
