#include "skin/data/imagedecoders.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace skin {

// ---------------------------------------------------------------------------------------------------------
// Windows bitmap files.

namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

[[noreturn]] void refuseBmp(const char* why) {
  throw EInvalidGraphic(std::string("Cannot load bitmap: ") + why);
}

}  // namespace

bool ImageFileDimensions(const void* data, size_t size, int64_t& width, int64_t& height) {
  const auto* p = static_cast<const uint8_t*>(data);
  if (!p) return false;
  const auto be16 = [&](size_t at) { return uint32_t(p[at]) << 8 | p[at + 1]; };
  const auto be32 = [&](size_t at) { return be16(at) << 16 | be16(at + 2); };
  if (size >= 26 && p[0] == 'B' && p[1] == 'M') {
    const uint32_t header = le32(p + 14);
    if (header == 12) {
      width = le16(p + 18);
      height = le16(p + 20);
    } else {
      width = int32_t(le32(p + 18));
      height = int32_t(le32(p + 22));
      if (height < 0) height = -height;
    }
    return true;
  }
  if (size >= 24 && std::memcmp(p, "\x89PNG\r\n\x1A\n", 8) == 0 && std::memcmp(p + 12, "IHDR", 4) == 0) {
    width = be32(16);
    height = be32(20);
    return true;
  }
  if (size >= 4 && p[0] == 0xFF && p[1] == 0xD8) {
    // Markers up to the first frame header (SOF0 to SOF15 but DHT, JPG and DAC), found as libjpeg finds them: any
    // bytes before an FF are passed over, so are FF fill bytes and a stuffed FF 00; a segment's big-endian length
    // counts itself. A frame header: its length, the precision, the height, the width.
    size_t at = 2;
    while (true) {
      while (at < size && p[at] != 0xFF) ++at;
      while (at < size && p[at] == 0xFF) ++at;
      if (at >= size) return false;
      const uint8_t marker = p[at++];
      if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) continue;
      if (marker == 0xD9 || marker == 0xDA) return false;  // the end, or scan data before any frame
      if (at + 2 > size) return false;
      const size_t length = be16(at);
      if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
        if (at + 7 > size) return false;
        height = be16(at + 3);
        width = be16(at + 5);
        return true;
      }
      if (length < 2) return false;
      at += length;
    }
  }
  return false;
}

bool DecodeBmp(const void* data, size_t size, Bitmap& out, int64_t maxPixels) {
  out.Clear();
  const auto* p = static_cast<const uint8_t*>(data);
  constexpr size_t fileHeader = 14;
  if (!p || size < fileHeader + 12 || p[0] != 'B' || p[1] != 'M') refuseBmp("not a bitmap file");
  const uint64_t offBits = le32(p + 10);
  const uint64_t headerSize = le32(p + 14);
  int64_t width = 0, height = 0;
  uint32_t bpp = 0, compression = 0, colorsUsed = 0;
  uint64_t paletteAt = fileHeader + headerSize;
  size_t paletteEntry = 4;
  uint32_t masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
  if (headerSize == 12) {
    width = le16(p + 18);
    height = le16(p + 20);
    bpp = le16(p + 24);
    paletteEntry = 3;
  } else if (headerSize >= 40 && fileHeader + headerSize <= size) {
    width = int32_t(le32(p + 18));
    height = int32_t(le32(p + 22));
    bpp = le16(p + 28);
    compression = le32(p + 30);
    colorsUsed = le32(p + 46);
    if (compression == 3) {  // bit fields: the masks follow a 40-byte header, or lie inside a longer one
      const uint64_t at = fileHeader + 40;
      if (at + 12 > size) refuseBmp("truncated header");
      for (int i = 0; i < 3; ++i) masks[i] = le32(p + at + 4 * size_t(i));
      if (headerSize == 40) paletteAt += 12;
    }
  } else {
    refuseBmp("unknown header");
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) refuseBmp("empty image");
  if (width * height > std::min(maxPixels, MaxSkinImagePixels)) refuseBmp("image too large");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) refuseBmp("unsupported pixel format");
  if (compression == 3) {
    if (bpp != 32 || masks[0] != 0x00FF0000u || masks[1] != 0x0000FF00u || masks[2] != 0x000000FFu)
      refuseBmp("unsupported bit fields");
  } else if (compression != 0) {
    refuseBmp("unsupported compression");
  }
  const uint64_t rowBytes = ((uint64_t(width) * bpp + 31) / 32) * 4;
  if (offBits < paletteAt || offBits > size || rowBytes * uint64_t(height) > size - offBits)
    refuseBmp("pixel data outside the file");

  std::vector<TRGBQuad> palette;
  if (bpp <= 8) {
    const uint32_t maxColors = 1u << bpp;
    uint32_t count = (colorsUsed == 0 || colorsUsed > maxColors) ? maxColors : colorsUsed;
    // Entries that the file does not hold before its pixels stay black.
    const uint64_t room = (offBits - paletteAt) / paletteEntry;
    if (room < count) count = uint32_t(room);
    palette.resize(maxColors);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = p + paletteAt + uint64_t(i) * paletteEntry;
      palette[i] = TRGBQuad{e[0], e[1], e[2], 0};
    }
  }

  Bitmap bmp(int32_t(width), int32_t(height), pf32bit);
  for (int64_t y = 0; y < height; ++y) {
    const uint8_t* src = p + offBits + uint64_t(topDown ? y : height - 1 - y) * rowBytes;
    uint32_t* dst = reinterpret_cast<uint32_t*>(bmp.ScanLine(int32_t(y)));
    for (int64_t x = 0; x < width; ++x) {
      switch (bpp) {
        case 32: dst[x] = le32(src + x * 4); break;
        case 24: dst[x] = MakePixel(src[x * 3], src[x * 3 + 1], src[x * 3 + 2], 0); break;
        default: {
          const TRGBQuad& c = palette[ReadIndex(src, int32_t(x), int(bpp))];
          dst[x] = MakePixel(c.rgbBlue, c.rgbGreen, c.rgbRed, 0);
        }
      }
    }
  }
  out = std::move(bmp);
  return bpp == 32;
}

// ---------------------------------------------------------------------------------------------------------
// JPEG files. libjpeg reports errors through its error manager, which leaves by longjmp here instead of ending
// the process. Between each setjmp and the end of its block only plain data lives, so no destructor is skipped.

namespace {

struct JpegErrors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrors*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void jpegSilence(j_common_ptr) {}

// Creates the decoder and reads the header; false (message in err) when libjpeg refuses it. The decoder must be
// destroyed afterwards either way (cinfo starts zeroed, so destroying a decoder never created does nothing).
bool jpegHeader(JpegErrors& err, jpeg_decompress_struct& cinfo, const uint8_t* data, size_t size) {
  if (setjmp(err.jump)) return false;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, const_cast<uint8_t*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  return true;
}

// Decodes into rgb, rows top-down, 3 bytes per pixel (sized by the caller); false on an error.
bool jpegPixels(JpegErrors& err, jpeg_decompress_struct& cinfo, uint8_t* rgb, JDIMENSION width,
                JDIMENSION height) {
  if (setjmp(err.jump)) return false;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width != width || cinfo.output_height != height || cinfo.output_components != 3) {
    std::snprintf(err.message, sizeof err.message, "unexpected output layout");
    return false;
  }
  const size_t stride = size_t(width) * 3;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = rgb + size_t(cinfo.output_scanline) * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

void DecodeJpeg(const void* data, size_t size, Bitmap& out, int64_t maxPixels) {
  out.Clear();
  if (!data || size == 0) throw EInvalidGraphic("Cannot load JPEG image: no data");
  JpegErrors err;
  jpeg_std_error(&err.pub);
  err.pub.error_exit = jpegErrorExit;
  err.pub.output_message = jpegSilence;
  err.message[0] = '\0';
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = &err.pub;
  std::vector<uint8_t> rgb;
  bool ok = jpegHeader(err, cinfo, static_cast<const uint8_t*>(data), size);
  const JDIMENSION width = cinfo.image_width, height = cinfo.image_height;
  if (ok && (width == 0 || height == 0 || int64_t(width) * int64_t(height) > std::min(maxPixels, MaxSkinImagePixels))) {
    std::snprintf(err.message, sizeof err.message, "image too large");
    ok = false;
  }
  if (ok) {
    try {
      rgb.resize(size_t(width) * height * 3);
    } catch (...) {
      jpeg_destroy_decompress(&cinfo);
      throw;
    }
    ok = jpegPixels(err, cinfo, rgb.data(), width, height);
  }
  jpeg_destroy_decompress(&cinfo);
  if (!ok) throw EInvalidGraphic(std::string("Cannot load JPEG image: ") + err.message);
  Bitmap bmp(int32_t(width), int32_t(height), pf32bit);
  for (JDIMENSION y = 0; y < height; ++y) {
    const uint8_t* s = rgb.data() + size_t(y) * width * 3;
    uint32_t* d = reinterpret_cast<uint32_t*>(bmp.ScanLine(int32_t(y)));
    for (JDIMENSION x = 0; x < width; ++x, s += 3) d[x] = MakePixel(s[2], s[1], s[0], 0);
  }
  out = std::move(bmp);
}

}  // namespace skin
