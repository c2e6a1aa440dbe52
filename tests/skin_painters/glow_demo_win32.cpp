// A form with a glow around a panel (for looking at it under Wine): the glow window is shown at full alpha and
// the program closes itself after the number of seconds given (default 5). With a file name as second argument it
// also writes the glow's own picture, composed over the form's colour, there (BMP): Xvfb's screen does not show a
// layered window's alpha.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "gui/gui.h"
#include "skin/data/scommondata.h"
#include "skin/painters/acglow.h"
#include "skin/painters/canvas_bitmap.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_painters/glow_fixture.h"
#include "tests/support/win_screen.h"

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
  skin::test::GlowFixture skin;
  auto* form = new gui::TForm(nullptr);
  form->SetCaption("Glow");
  form->SetColor(gui::TColor(0x302820));
  form->SetBounds(100, 100, 420, 240);
  gui::TPanel* panels[2];
  for (int i = 0; i < 2; ++i) {
    panels[i] = new gui::TPanel(form);
    panels[i]->SetParent(form);
    panels[i]->SetBounds(40 + 190 * i, 70, 140, 50);
    panels[i]->SetCaption(i == 0 ? "Hot" : "Normal");
  }
  form->Show();
  testsupport::PumpFor(200);

  skin::TsCommonData data;
  data.OwnerControl = panels[0];
  data.OwnerObject = panels[0];
  data.FSkinManager = &skin.manager;
  data.SkinIndex = skin.button;
  data.RepaintBlocked = 0;
  data.MouseAbove = 1;
  skin::CommonDataShowGlow(data, false, nullptr, false, 255);
  if (data.GlowID < 0) return 1;

  if (argc > 2) {
    const skin::TacGlowEffect& glow = *skin::GlowList()[size_t(data.GlowID)];
    skin::Bitmap over(glow.Bitmap->Width(), glow.Bitmap->Height(), skin::pf32bit);
    skin::FillRectBitmap32(over, skin::TRect{0, 0, over.Width(), over.Height()}, 0x302820, 255);
    // The picture is premultiplied: d := s + d x (255 - a) / 255.
    for (int32_t y = 0; y < over.Height(); ++y)
      for (int32_t x = 0; x < over.Width(); ++x) {
        const uint32_t s = skin::GetPixel32(*glow.Bitmap, x, y), d = skin::GetPixel32(over, x, y);
        auto ch = [&](int shift) { return ((s >> shift) & 0xFF) + ((d >> shift) & 0xFF) * (255 - (s >> 24)) / 255; };
        skin::SetPixel32(over, x, y, skin::MakePixel(ch(0), ch(8), ch(16), 255));
      }
    gui::TBitmap out;
    skin::BitmapToGuiBitmap(over, out);
    out.SaveToFile(argv[2]);
  }
  testsupport::PumpFor(DWORD(seconds) * 1000);
  skin::HideGlow(data.GlowID, false);
  gui::Free(form);
  return 0;
}
