// A harness form with one of each skinned button and a label, in their states, skinned with the flat-colour
// fixture skin (or without a skin with "plain"), shown for a few seconds so that the screen can be looked at.
// Not a test: run by hand under Wine (sbuttons_showcase.exe [plain] [seconds]).
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "gui/gui.h"
#include "skin/manager/skincommands.h"
#include "skin/forms/sbuttons.h"
#include "skin/painters/acanimation.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"
#include "tests/skin_forms/huge_skin.h"

using namespace skin;
using namespace adaptertest;

int main(int argc, char** argv) {
  const bool plain = argc > 1 && std::strcmp(argv[1], "plain") == 0;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 6;
  AnimationsOff() = 1;
  TestSystem sys;
  auto manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  if (!plain) ApplyHugeSkin(*manager);
  auto* form = new gui::TForm(nullptr);
  form->SetBounds(20, 20, 600, 330);
  form->SetCaption(plain ? "Buttons without a skin" : "Skinned buttons");
  auto place = [form](gui::TControl* c, int x, int y, int w, int h, const char* text) {
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    c->SetText(text);
  };
  auto* images = new gui::TImageList(form);
  gui::TBitmap cell;
  cell.SetPixelFormat(gui::TPixelFormat::pf32bit);
  cell.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = cell.ScanLine(y) + x * 4;
      const bool in = (x - 8) * (x - 8) + (y - 8) * (y - 8) < 49;
      p[0] = 0x20, p[1] = 0xB0, p[2] = 0x20, p[3] = in ? 0xFF : 0;
    }
  images->AddImage32(cell);
  auto* normal = new TsButton(form);
  place(normal, 10, 10, 110, 34, "Normal");
  auto* hot = new TsButton(form);
  place(hot, 130, 10, 110, 34, "Hot");
  auto* down = new TsButton(form);
  place(down, 250, 10, 110, 34, "Down");
  down->SetDown(true);
  auto* disabled = new TsButton(form);
  place(disabled, 370, 10, 110, 34, "Disabled");
  disabled->SetEnabled(false);
  auto* image = new TsButton(form);
  place(image, 10, 54, 110, 34, "Image");
  image->SetImages(images);
  image->SetImageIndex(0);
  auto* split = new TsButton(form);
  place(split, 130, 54, 130, 34, "Split");
  split->SetStyle(TButtonStyle::bsSplitButton);
  auto* link = new TsButton(form);
  place(link, 270, 54, 210, 60, "Command link");
  link->SetStyle(TButtonStyle::bsCommandLink);
  link->SetCommandLinkHint("and its hint line");
  link->SetImages(images);
  link->SetImageIndex(0);
  auto* bit = new TsBitBtn(form);
  place(bit, 10, 124, 120, 34, "Bitmap");
  bit->Glyph().SetPixelFormat(gui::TPixelFormat::pf24bit);
  bit->Glyph().SetSize(32, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      uint8_t* p = bit->Glyph().ScanLine(y) + x * 3;
      const bool corner = (x % 16) == 0 && y == 15;
      p[0] = corner ? 0 : (x < 16 ? 0xE0 : 0x10), p[1] = corner ? 0 : 0x20, p[2] = corner ? 0 : (x < 16 ? 0x10 : 0xE0);
    }
  bit->SetNumGlyphs(2);
  bit->GlyphChanged();
  auto* bitTop = new TsBitBtn(form);
  place(bitTop, 140, 124, 90, 50, "Top");
  bitTop->Glyph().Assign(bit->Glyph());
  bitTop->SetNumGlyphs(2);
  bitTop->SetLayout(gui::TButtonLayout::blGlyphTop);
  bitTop->GlyphChanged();
  auto* bitOff = new TsBitBtn(form);
  place(bitOff, 240, 124, 120, 34, "Disabled");
  bitOff->Glyph().Assign(bit->Glyph());
  bitOff->SetNumGlyphs(2);
  bitOff->GlyphChanged();
  bitOff->SetEnabled(false);
  auto* focused = new TsButton(form);
  place(focused, 370, 124, 110, 34, "Focused");
  auto* speed = new TsSpeedButton(form);
  place(speed, 10, 190, 90, 30, "Speed");
  auto* speedHot = new TsSpeedButton(form);
  place(speedHot, 110, 190, 90, 30, "Hot");
  auto* speedDown = new TsSpeedButton(form);
  place(speedDown, 210, 190, 90, 30, "Down");
  speedDown->SetGroupIndex(1);
  speedDown->SetDown(true);
  auto* drop = new TsSpeedButton(form);
  place(drop, 310, 190, 90, 30, "Drop");
  drop->SetButtonStyle(TToolButtonStyle::tbsDropDown);
  drop->OnClick = [](gui::TObject*) {};
  // Drop-down buttons without OnClick: the arrow shows on the face only without a caption.
  auto* menuCaption = new TsSpeedButton(form);
  place(menuCaption, 430, 245, 74, 30, "Menu");
  menuCaption->SetButtonStyle(TToolButtonStyle::tbsDropDown);
  auto* menuBare = new TsSpeedButton(form);
  place(menuBare, 530, 245, 24, 30, "");
  menuBare->SetButtonStyle(TToolButtonStyle::tbsDropDown);
  auto* label = new TsLabel(form);
  place(label, 10, 240, 200, 24, "A skinned label");
  label->Font().SetSize(12);
  auto* labelOff = new TsLabel(form);
  place(labelOff, 220, 240, 200, 24, "A disabled label");
  labelOff->Font().SetSize(12);
  labelOff->SetEnabled(false);
  // A border with key-colour corners: the window is cut there.
  auto* cut = new TsButton(form);
  cut->SkinData().SkinSection = "BUTTON_HUGE";
  place(cut, 430, 190, 140, 40, "Cut corners");
  cut->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), reinterpret_cast<LPARAM>(cut->SkinData().SkinManager()));
  // A plain speed button over the hot one's right end: it stays on top when the hot one repaints alone.
  auto* over = new gui::TSpeedButton(form);
  place(over, 180, 200, 40, 24, "Over");
  form->Show();
  focused->SetFocus();
  hot->Perform(gui::CM_MOUSEENTER);
  speedHot->Perform(gui::CM_MOUSEENTER);
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  speedHot->Perform(gui::CM_MOUSELEAVE);
  speedHot->Perform(gui::CM_MOUSEENTER);
  Pump(DWORD(seconds) * 1000);
  gui::Free(form);
  return 0;
}
