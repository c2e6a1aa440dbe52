#pragma once
// A skin written by the tests: an "Options.dat" description, a 24-bit master bitmap with distinct flat colours
// per image and key-colour corners, PNG glows and a JPEG texture; written as a skin directory, as a packed
// container, or kept as container members. The benchmark and the fuzz target build theirs here too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" {
#include <jpeglib.h>
}

#include <functional>
#include <string>
#include <vector>

#include "skin/data/packedskin.h"
#include "tests/skin_pixels/png_writer.h"

namespace skintest {

inline void PutLE16(std::string& s, uint32_t v) {
  s += char(v & 0xFF);
  s += char((v >> 8) & 0xFF);
}
inline void PutLE32(std::string& s, uint32_t v) {
  PutLE16(s, v & 0xFFFF);
  PutLE16(s, v >> 16);
}

// pixel(x, y) -> 0x00RRGGBB.
using PixelFn = std::function<uint32_t(int, int)>;

// A bottom-up 24-bit Windows bitmap file.
inline std::string Bmp24(int w, int h, const PixelFn& pixel) {
  const uint32_t row = uint32_t((w * 3 + 3) & ~3);
  std::string s = "BM";
  PutLE32(s, 54 + row * uint32_t(h));
  PutLE32(s, 0);
  PutLE32(s, 54);
  PutLE32(s, 40);
  PutLE32(s, uint32_t(w));
  PutLE32(s, uint32_t(h));
  PutLE16(s, 1);
  PutLE16(s, 24);
  for (int i = 0; i < 6; ++i) PutLE32(s, 0);
  for (int y = h - 1; y >= 0; --y) {
    std::string r;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = pixel(x, y);
      r += char(c & 0xFF);
      r += char((c >> 8) & 0xFF);
      r += char((c >> 16) & 0xFF);
    }
    r.resize(row, '\0');
    s += r;
  }
  return s;
}

// An RGBA PNG; pixel gives 0xAARRGGBB.
inline std::string PngRgba(int w, int h, const PixelFn& pixel) {
  pngtest::RawImage im;
  im.width = uint32_t(w);
  im.height = uint32_t(h);
  im.colorType = 6;
  im.depth = 8;
  im.rowBytes = size_t(w) * 4;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t c = pixel(x, y);
      im.data.push_back(uint8_t(c >> 16));
      im.data.push_back(uint8_t(c >> 8));
      im.data.push_back(uint8_t(c));
      im.data.push_back(uint8_t(c >> 24));
    }
  return pngtest::EncodePng(im, pngtest::FileOptions{});
}

// A colour JPEG of quality 90.
inline std::string Jpeg(int w, int h, const PixelFn& pixel) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(w);
  c.image_height = JDIMENSION(h);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(size_t(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t p = pixel(x, y);
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

// A number of `digits` digits with leading zeros.
inline std::string Digits(int v, int digits) {
  char b[16];
  std::snprintf(b, sizeof b, "%0*d", digits, v);
  return b;
}
// "@LLLL@TTTT@RRRR@BBBB@C@M"
inline std::string Glyph(int l, int t, int r, int b, int count, int mask) {
  return "@" + Digits(l, 4) + "@" + Digits(t, 4) + "@" + Digits(r, 4) + "@" + Digits(b, 4) + "@" +
         std::to_string(count) + "@" + std::to_string(mask);
}
// "^LLLL^TTTT^RRRR^BBBB^WWWW^XXXX^YYYY^ZZZZ^C^M^D^B"
inline std::string Mask(int l, int t, int r, int b, int wl, int wt, int wr, int wb, int count, int mask, int draw,
                        int common) {
  return "^" + Digits(l, 4) + "^" + Digits(t, 4) + "^" + Digits(r, 4) + "^" + Digits(b, 4) + "^" + Digits(wl, 4) +
         "^" + Digits(wt, 4) + "^" + Digits(wr, 4) + "^" + Digits(wb, 4) + "^" + std::to_string(count) + "^" +
         std::to_string(mask) + "^" + std::to_string(draw) + "^" + std::to_string(common);
}
// "~LLLL~TTTT~RRRR~BBBB~DD~M"
inline std::string Texture(int l, int t, int r, int b, int draw, int mask) {
  return "~" + Digits(l, 4) + "~" + Digits(t, 4) + "~" + Digits(r, 4) + "~" + Digits(b, 4) + "~" +
         Digits(draw, 2) + "~" + std::to_string(mask);
}

inline constexpr uint32_t Key = 0xFF00FF;

// The master bitmap of the fixture, 128 x 64 (plus `extraWidth` columns of noise for larger skins): flat areas
// of distinct colours, one per image, and key-colour pixels in some corners.
inline uint32_t FixtureMasterPixel(int x, int y) {
  if (y < 32 && x < 48) {  // BUTTON BORDERSMASK: 2 states of 24 x 16, image frame then mask frame
    if ((x == 0 || x == 24) && y == 0) return Key;
    return y < 16 ? (x < 24 ? 0x3060A0 : 0x4070B0) : 0x2080C0;
  }
  if (y < 6 && x >= 48 && x < 60) return 0x808080;   // EDIT BORDERSMASK, 2 states of 6 x 6
  if (y < 32 && x >= 64 && x < 96) return 0x20C040;  // FORM PATTERN
  if (y < 16 && x >= 96 && x < 128) return (x == 96 && y == 0) ? Key : 0xC02020;  // BICONCLOSE, 2 states
  if (y >= 32 && x < 30) return 0x101010;            // SH_MASK
  if (y >= 32 && x >= 64 && x < 80) return 0xA0A000; // MENUITEM GLYPHMASK
  return (x + y) % 7 == 0 ? Key : 0xD0D0D0;
}

struct FixtureOptions {
  int extraSections = 0;  // copies of the BUTTON section with names of their own
  int chain = 0;          // > 0: the extra sections in chains this long, each the child of the one before it
  int extraWidth = 0;     // noise columns at the right of the master bitmap
  int glows = 1;          // PNG glow images
  std::string masterName = "Master.bmp";
  std::string version = "8.50";
};

// The description of the fixture skin; the master bitmap is named "master.BMP" in it (a case other than the
// file's).
inline std::string FixtureOptionsText(const FixtureOptions& o = {}) {
  std::string t;
  auto line = [&t](const std::string& s) { t += s + "\r\n"; };
  line("; the fixture skin of the tests");
  line("[GLOBALINFO]");
  line("VERSION=" + o.version);
  line("AUTHOR=The tests");
  line("DESCRIPTION=Flat colours");
  line("MASTERBITMAP=master.BMP");
  line("TITLEHEIGHT=24");
  line("COLOR=0xE0E0E0");
  line("FONTCOLOR=0x101010");
  line("BORDERCOLOR=8421504");
  line("EDITBG_ODD=0xF8F8F8");
  line("BIKEEPHUE=1");
  line("BICONCLOSE=" + Glyph(96, 0, 128, 16, 2, 0));
  line("SH_SOURCE=1");
  line("SH_MASK=" + Mask(0, 32, 30, 62, 0, 0, 0, 0, 1, 1, 0, 5));
  line("[BUTTON]");
  line("STATES=2");
  line("COLOR=0xC0C0C0");
  line("FONTCOLOR=0x000000");
  line("HOTCOLOR=0xE0E0E0");
  line("HOTFONTCOLOR=0x0000FF");
  line("TCLEFT=0x00FF00");
  line("GRADIENTDATA=16777215;0;60;0;0;0;8421504;150;0;0");
  line("GRADIENTPERCENT=50");
  line("GLOW=4");
  line("BORDERSMASK=" + Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 1, 0));
  for (int g = 0; g < o.glows; ++g) line("GLOWMASK" + std::to_string(g) + "=!glow" + std::to_string(g) + ".png!1!0!2");
  line("[SPEEDBUTTON]");
  line("PARENTCLASS=BUTTON");
  line("COLOR=0xB0B0B0");
  line("STATES=1");
  line("[EDIT]");
  line("COLOR=0xFFFFFF");
  line("FONTCOLOR=0x202020");
  line("BORDERSMASK=" + Mask(48, 0, 60, 6, 1, 1, 1, 1, 2, 0, 0, 0));
  line("[FORM]");
  line("COLOR=-1");
  line("PARENTCLASS=BUTTON");
  line("PATTERN=" + Texture(64, 0, 96, 32, 1, 0));
  line("[PANEL]");
  line("PATTERN=Panel.jpg");
  line("[MENUITEM]");
  line("HOTCOLOR=0x884422");
  line("HOTFONTCOLOR=0xFFFFFF");
  line("GLYPHMASK=" + Glyph(64, 32, 80, 48, 1, 0));
  line("[CHECK]");
  line("GLYPHMASK=!small.bmp!2!0!0");
  for (int i = 0; i < o.extraSections; ++i) {
    line("[EXTRA" + std::to_string(i) + "]");
    if (o.chain > 0 && i % o.chain != 0) {
      // A link of a chain: one value and an image of its own, everything else inherited from the chain's top.
      line("PARENTCLASS=EXTRA" + std::to_string(i - 1));
      line("HOTCOLOR=0x" + std::to_string(100000 + i));
      if (i % 10 == 0) line("GLYPHMASK=" + Glyph(64, 32, 80, 48, 1, 0));
      continue;
    }
    line("PARENTCLASS=BUTTON");
    line("COLOR=" + std::to_string(0x101010 * (i % 15)));
    line("HOTCOLOR=0x" + std::to_string(100000 + i));
    line("TRANSPARENCY=" + std::to_string(i % 100));
    line("BORDERSMASK=" + Mask(0, 0, 48, 32, 0, 0, 0, 0, 2, 1, 1, 0));
    line("GRADIENTDATA=16777215;0;100;0;0");
  }
  return t;
}

// The members of the fixture skin: "Options.dat" first, then its image files.
inline std::vector<skin::PackedSkinMember> FixtureMembers(const FixtureOptions& o = {}) {
  std::vector<skin::PackedSkinMember> m;
  m.push_back({"Options.dat", FixtureOptionsText(o)});
  uint32_t seed = 12345;
  m.push_back({o.masterName, Bmp24(128 + o.extraWidth, 64, [&seed](int x, int y) {
                 if (x < 128) return FixtureMasterPixel(x, y);
                 seed = seed * 1664525u + 1013904223u;
                 return (seed >> 8) & 0x3F3F3F;  // some noise, as painted skins have
               })});
  for (int g = 0; g < o.glows; ++g)
    m.push_back({"Glow" + std::to_string(g) + ".PNG", PngRgba(40, 40, [g](int x, int y) {
                   const int d = std::abs(x - 20) + std::abs(y - 20);
                   const uint32_t a = d >= 20 ? 0 : uint32_t(255 - d * 12);
                   return (a << 24) | uint32_t(0x40 + g * 8) << 16 | 0x80A0;
                 })});
  m.push_back({"Small.bmp", Bmp24(8, 4, [](int x, int) { return x == 0 ? Key : 0x3080F0u; })});
  m.push_back({"PANEL.JPG", Jpeg(16, 16, [](int x, int y) { return uint32_t(((x * 16) << 16) | ((y * 16) << 8) | 0x40); })});
  return m;
}

inline std::string Pack(const std::vector<skin::PackedSkinMember>& members) { return skin::PackSkin(members); }

}  // namespace skintest
