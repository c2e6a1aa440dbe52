#include "platform/colors.h"

#include <gtest/gtest.h>

#include "gui/types.h"

namespace {

// A scheme whose colour number n is 0x0n0n0n (n < 31) and which knows nothing beyond.
class Scheme final : public platform::SystemColors {
 public:
  uint32_t SysColor(int index) override { return index >= 0 && index < 31 ? uint32_t(index) * 0x010101u : 0; }
};

// The one conversion and what the component layer hands to GDI: a system colour is resolved through the scheme;
// the conversion leaves every other value as it is, clNone and clDefault included; the layer's COLORREF keeps
// the three colour bytes and draws clNone and clDefault black.
TEST(Colors, OneConversionAndTheLayersColorRef) {
  Scheme scheme;
  struct Case {
    platform::TColor colour;
    platform::TColor rgb;
    uint32_t colorRef;
  };
  const Case cases[] = {
      {0x123456, 0x123456, 0x123456},
      {platform::clBtnFace, 0x0F0F0F, 0x0F0F0F},
      {platform::TColor(0x800000FFu), 0, 0},  // a number the scheme does not know
      {platform::clNone, platform::clNone, 0},
      {platform::clDefault, platform::clDefault, 0},
      {0x02123456, 0x02123456, 0x123456},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::ColorToRGB(c.colour, scheme), c.rgb) << std::hex << c.colour;
    if (c.colour >= 0) {
      EXPECT_EQ(gui::ColorRef(c.colour), c.colorRef) << std::hex << c.colour;
    }
  }
  // Without a scheme: the operating system's (natively the Windows 10 defaults).
  EXPECT_EQ(uint32_t(platform::ColorToRGB(platform::clBtnFace)), platform::systemColors().SysColor(15));
  EXPECT_EQ(gui::ColorRef(platform::clBtnFace), platform::systemColors().SysColor(15));
}

}  // namespace
