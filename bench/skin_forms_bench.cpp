// Composing a skinned form's whole frame cache (headless forms of the native build), in the program's default
// skin (Spring Willow, the stored skin of station.exe): the frame, the title bar with its section and the title
// strip, the caption text, the caption buttons, the menu line, and with extended borders the outer frame and
// shadow. Beside each, pixman copying the same area (a SRC composite of a picture of the cache's size): the
// composition's cost in units of one plain copy of its pixels.
//
//   frame_cache/1024x768     a sizeable form of 1024 x 768 with a caption, three caption buttons and a menu
//   frame_cache/main_window  the station's main window (681 x 720, single border, minimize and close, its menu),
//                            with the skin's extended borders as the program's manager has them
//
// Text is the fixed-metric engine's (the native build has no fonts).
#include <pixman.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/side_by_side.h"
#include "gui/forms.h"
#include "gui/menus.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/sskinprovider.h"
#include "skin/painters/text_engine.h"
#include "station/forms/form1.h"
#include "station/program_resources.h"

namespace {

using namespace skin;

// pixman copying a picture of w x h into another.
struct PixmanCopy {
  std::vector<uint32_t> src, dst;
  pixman_image_t* s = nullptr;
  pixman_image_t* d = nullptr;
  int w, h;
  PixmanCopy(int width, int height) : src(size_t(width) * height, 0xFF336699u), dst(src.size()), w(width), h(height) {
    s = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, src.data(), w * 4);
    d = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, dst.data(), w * 4);
  }
  ~PixmanCopy() {
    pixman_image_unref(s);
    pixman_image_unref(d);
  }
  void Run() { pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, w, h); }
};

void Compose(TsSkinProvider& p) {
  p.SkinData().BGChanged = true;
  ProviderPaintFrame(p);
  benchmark::ClobberMemory();
}

}  // namespace

int main(int argc, char** argv) {
  sidebyside::Table table(sidebyside::Options::FromArgs(argc, argv));
  SetTextEngine(&FixedMetricEngine());
  PortableSkinSystem system;
  system.layeredWindows = true;

  // A plain form of 1024 x 768 with a menu.
  {
    auto* form = new gui::TForm(nullptr);
    auto* manager = new TsSkinManagerComponent(form, system);
    station::ReadProgramSkinManagerWithResources(*manager);
    manager->SetExtendedBorders(false);
    auto* menu = new gui::TMainMenu(form);
    for (const char* caption : {"&File", "&Edit", "&Help"}) {
      auto* item = new gui::TMenuItem(form);
      item->SetCaption(caption);
      menu->Items()->Add(item);
    }
    form->SetMenu(menu);
    form->SetBounds(0, 0, 1024, 768);
    form->SetCaption("Station - AUTEX");
    form->Show();
    auto* p = new TsSkinProvider(form);
    ProviderPrepareForm(*p);
    Compose(*p);
    const Bitmap& cache = *p->SkinData().CacheBmp;
    if (cache.Width() != 1024 || cache.Height() != 768) table.Fail("frame_cache/1024x768", "cache size");
    PixmanCopy copy(cache.Width(), cache.Height());
    table.Add("frame_cache/1024x768", "pixman", [&] { Compose(*p); }, [&] { copy.Run(); }, "copy of the same area");
    gui::Free(form);
  }

  // The station's main window with the program's skin manager (extended borders).
  {
    forms::TForm1* form = nullptr;
    TsSkinProvider* p = nullptr;
    form = new forms::TForm1(nullptr, [&](forms::TForm1& f) {
      auto* manager = new TsSkinManagerComponent(&f, system);
      station::ReadProgramSkinManagerWithResources(*manager);
      f.sSkinManager1 = manager;
      p = new TsSkinProvider(&f);
      f.sSkinProvider1 = p;
    });
    form->Show();
    ProviderPrepareForm(*p);
    ProviderUpdateExtBorders(*p, true);
    Compose(*p);
    const Bitmap& cache = *p->SkinData().CacheBmp;
    char note[96];
    std::snprintf(note, sizeof note, "copy of the same area (%dx%d with the shadow)", cache.Width(), cache.Height());
    if (!p->BorderForm) table.Fail("frame_cache/main_window", "no extended borders");
    PixmanCopy copy(cache.Width(), cache.Height());
    table.Add("frame_cache/main_window", "pixman", [&] { Compose(*p); }, [&] { copy.Run(); }, note);
    gui::Free(form);
  }
  return table.Finish();
}
