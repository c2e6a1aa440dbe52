#include "tools/skingen/encode.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

extern "C" {
#include <jpeglib.h>
}

namespace skingen {

namespace {

void put16(std::string& s, uint32_t v) {
  s += char(v & 0xFF);
  s += char((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}
void put32be(std::string& s, uint32_t v) {
  s += char((v >> 24) & 0xFF);
  s += char((v >> 16) & 0xFF);
  s += char((v >> 8) & 0xFF);
  s += char(v & 0xFF);
}

std::string bmpFile(const Pixels8& img, int bits) {
  const uint32_t row = uint32_t((img.w * (bits / 8) + 3) & ~3);
  std::string s = "BM";
  put32(s, 54 + row * uint32_t(img.h));
  put32(s, 0);
  put32(s, 54);
  put32(s, 40);
  put32(s, uint32_t(img.w));
  put32(s, uint32_t(img.h));
  put16(s, 1);
  put16(s, uint32_t(bits));
  put32(s, 0);  // BI_RGB
  put32(s, row * uint32_t(img.h));
  put32(s, 2835);
  put32(s, 2835);
  put32(s, 0);
  put32(s, 0);
  s.reserve(s.size() + size_t(row) * size_t(img.h));
  for (int y = img.h - 1; y >= 0; --y) {
    const size_t start = s.size();
    for (int x = 0; x < img.w; ++x) {
      const uint32_t c = img.At(x, y);
      s += char(c & 0xFF);
      s += char((c >> 8) & 0xFF);
      s += char((c >> 16) & 0xFF);
      if (bits == 32) s += char((c >> 24) & 0xFF);
    }
    s.resize(start + row, '\0');
  }
  return s;
}

std::string pngChunk(const char* type, const std::string& data) {
  std::string c;
  put32be(c, uint32_t(data.size()));
  std::string body = std::string(type, 4) + data;
  c += body;
  put32be(c, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
  return c;
}

}  // namespace

Pixels8 ToPixels8(const Image& img) {
  Pixels8 r(img.W(), img.H());
  for (int y = 0; y < img.H(); ++y)
    for (int x = 0; x < img.W(); ++x) {
      const Color c = img.Get(x, y);
      const uint32_t a = uint32_t(std::lround(std::clamp(c.a, 0.0f, 1.0f) * 255.0f));
      r.At(x, y) = a == 0 ? 0u : (a << 24) | ToRgb(c);
    }
  return r;
}

std::string EncodeBmp24(const Pixels8& img) { return bmpFile(img, 24); }
std::string EncodeBmp32(const Pixels8& img) { return bmpFile(img, 32); }

std::string EncodePng(const Pixels8& img, bool withAlpha, int level) {
  const size_t bpp = withAlpha ? 4 : 3;
  const size_t rowBytes = size_t(img.w) * bpp;
  std::string raw;
  raw.reserve((rowBytes + 1) * size_t(img.h));
  std::vector<uint8_t> prev(rowBytes, 0), cur(rowBytes);
  for (int y = 0; y < img.h; ++y) {
    for (int x = 0; x < img.w; ++x) {
      const uint32_t c = img.At(x, y);
      uint8_t* p = &cur[size_t(x) * bpp];
      p[0] = uint8_t(c >> 16);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c);
      if (withAlpha) p[3] = uint8_t(c >> 24);
    }
    // Filter "Up" (2) for every row but the first, which uses "Sub" (1): smooth images pack well this way.
    if (y == 0) {
      raw += char(1);
      for (size_t i = 0; i < rowBytes; ++i) raw += char(uint8_t(cur[i] - (i >= bpp ? cur[i - bpp] : 0)));
    } else {
      raw += char(2);
      for (size_t i = 0; i < rowBytes; ++i) raw += char(uint8_t(cur[i] - prev[i]));
    }
    prev.swap(cur);
  }
  uLongf destLen = compressBound(uLong(raw.size()));
  std::string z(destLen, '\0');
  if (compress2(reinterpret_cast<Bytef*>(z.data()), &destLen, reinterpret_cast<const Bytef*>(raw.data()),
                uLong(raw.size()), level) != Z_OK)
    throw std::runtime_error("zlib could not compress a PNG image");
  z.resize(destLen);
  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string ihdr;
  put32be(ihdr, uint32_t(img.w));
  put32be(ihdr, uint32_t(img.h));
  ihdr += char(8);
  ihdr += char(withAlpha ? 6 : 2);
  ihdr += std::string(3, '\0');
  png += pngChunk("IHDR", ihdr);
  png += pngChunk("IDAT", z);
  png += pngChunk("IEND", "");
  return png;
}

std::string EncodeJpeg(const Pixels8& img, int quality) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(img.w);
  c.image_height = JDIMENSION(img.h);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(size_t(img.w) * 3);
  for (int y = 0; y < img.h; ++y) {
    for (int x = 0; x < img.w; ++x) {
      const uint32_t p = img.At(x, y);
      row[size_t(x) * 3] = (unsigned char)(p >> 16);
      row[size_t(x) * 3 + 1] = (unsigned char)(p >> 8);
      row[size_t(x) * 3 + 2] = (unsigned char)p;
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string s(reinterpret_cast<const char*>(out), size);
  std::free(out);
  return s;
}

std::string EncodeIco(const std::vector<Pixels8>& images) {
  std::vector<std::string> bodies;
  for (const Pixels8& img : images) {
    // BITMAPINFOHEADER with the doubled height, 32-bit XOR pixels bottom-up, then the 1-bit AND mask.
    std::string b;
    put32(b, 40);
    put32(b, uint32_t(img.w));
    put32(b, uint32_t(img.h * 2));
    put16(b, 1);
    put16(b, 32);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    for (int y = img.h - 1; y >= 0; --y)
      for (int x = 0; x < img.w; ++x) {
        const uint32_t c = img.At(x, y);
        b += char(c & 0xFF);
        b += char((c >> 8) & 0xFF);
        b += char((c >> 16) & 0xFF);
        b += char((c >> 24) & 0xFF);
      }
    const int maskRow = ((img.w + 31) / 32) * 4;
    for (int y = img.h - 1; y >= 0; --y) {
      std::string row(size_t(maskRow), '\0');
      for (int x = 0; x < img.w; ++x)
        if ((img.At(x, y) >> 24) == 0) row[size_t(x / 8)] = char(row[size_t(x / 8)] | (0x80 >> (x % 8)));
      b += row;
    }
    bodies.push_back(std::move(b));
  }
  std::string s;
  put16(s, 0);
  put16(s, 1);
  put16(s, uint32_t(images.size()));
  uint32_t offset = 6 + 16 * uint32_t(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    s += char(images[i].w >= 256 ? 0 : images[i].w);
    s += char(images[i].h >= 256 ? 0 : images[i].h);
    s += char(0);
    s += char(0);
    put16(s, 1);
    put16(s, 32);
    put32(s, uint32_t(bodies[i].size()));
    put32(s, offset);
    offset += uint32_t(bodies[i].size());
  }
  for (const std::string& b : bodies) s += b;
  return s;
}

}  // namespace skingen
