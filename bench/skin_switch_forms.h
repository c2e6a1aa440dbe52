#pragma once
// Forms for the skin-switch benchmarks: each is a skinned form (registered, answering AC_GETPROVIDER) whose
// provider, told AC_SKINREFRESH, repaints the form's cached image from the skin: the FORM section's colour, then
// its PATTERN texture tiled over the whole form. That is the part of a skinned form's repaint that the form
// painters will do; in the Windows build the form's WM_PAINT then copies the cache to the window.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "tests/skin_data/skin_fixture.h"

#ifdef _WIN32
#include "skin/pixels/gdi_ledger.h"
#endif

namespace skinbench {

using Clock = std::chrono::steady_clock;

// Two stored skins of about 100 kB each (as the program's are), of different colours.
inline std::string BenchSkin(uint32_t mainColour) {
  skintest::FixtureOptions o;
  o.extraSections = 110;
  o.extraWidth = 680;
  o.glows = 6;
  auto members = skintest::FixtureMembers(o);
  std::string& text = members[0].Data;
  const size_t at = text.find("COLOR=0xE0E0E0");
  text.replace(at, 14, "COLOR=" + std::to_string(mainColour));
  return skintest::Pack(members);
}

class BenchForm : public gui::TForm {
 public:
  struct Provider : skin::TacFormProvider {
    BenchForm* form = nullptr;
    gui::TCustomForm* Form() const override { return form; }
    skin::TsSkinManager* SkinManager() const override { return skin::DefaultManager(); }
  };

  BenchForm(gui::TComponent* owner, int index, bool skinned) : gui::TForm(owner), skinned_(skinned) {
    SetBounds(10 + index * 30, 10 + index * 20, 480, 360);
    SetCaption("Form " + std::to_string(index));
    provider_.form = this;
    for (int i = 0; i < 4; ++i) {
      auto* e = new gui::TEdit(this);
      e->SetParent(this);
      e->SetBounds(10, 10 + i * 30, 200, 22);
      e->SetText("Edit " + std::to_string(i));
      auto* b = new gui::TButton(this);
      b->SetParent(this);
      b->SetBounds(230, 10 + i * 30, 90, 24);
      b->SetCaption("Button " + std::to_string(i));
      auto* l = new gui::TLabel(this);
      l->SetParent(this);
      l->SetBounds(10, 140 + i * 20, 200, 16);
      l->SetCaption("Label " + std::to_string(i));
      l->SetTransparent(true);
    }
    if (skinned) skin::RegisterSkinnedForm(this);
    gui::TWndMethod previous = WindowProc;
    WindowProc = [this, previous](gui::TMessage& m) {
      if (skinned_ && m.Msg == skin::WM_SKINCOMMAND) {
        switch (skin::SkinCommandCode(m.WParam)) {
          case skin::AC_ISSKINNED: m.Result = 1; return;
          case skin::AC_GETPROVIDER: m.Result = reinterpret_cast<LRESULT>(static_cast<skin::TacFormProvider*>(&provider_)); return;
          case skin::AC_SKINREFRESH: RepaintCache(); return;
          case skin::AC_GETBACKGROUND:  // what lies under a child: the cache at the child's place
            if (m.LParam && skin::AcceptSkinCommand(m) && !cache_.Empty()) {
              auto* info = reinterpret_cast<skin::BackgroundInfo*>(m.LParam);
              info->Bmp = &cache_;
              info->Offset = skin::TPoint{info->R.Left, info->R.Top};
              info->BgType = skin::btCache;
            }
            return;
          default: return;
        }
      }
#ifdef _WIN32
      if (skinned_ && m.Msg == WM_PAINT && HandleAllocated()) {
        PaintFromCache();
        m.Result = 0;
        return;
      }
#endif
      previous(m);
    };
  }
  ~BenchForm() override { skin::UnregisterSkinnedForm(this); }

  // Skinned (registered, painted from the cache) or painted by the system.
  void SetSkinned(bool on) {
    if (on == skinned_) return;
    skinned_ = on;
    if (on)
      skin::RegisterSkinnedForm(this);
    else
      skin::UnregisterSkinnedForm(this);
  }

  // The form's image from the default manager's skin.
  void RepaintCache() {
    const skin::TsSkinManager* m = skin::DefaultManager();
    if (!m) return;
    const skin::LoadedSkin& s = m->Skin();
    if (cache_.Width() != ClientWidth() || cache_.Height() != ClientHeight())
      cache_ = skin::Bitmap(ClientWidth(), ClientHeight(), skin::pf32bit);
    const int32_t section = skin::SkinManagerGetSectionIndex(*m, "FORM");
    uint32_t fill = skin::ColorToPixel(skin::SkinManagerGlobalColor(s), 255);
    if (section >= 0) fill = skin::ColorToPixel(s.Sections[size_t(section)].NormalState.Color & 0xFFFFFF, 255);
    for (int32_t y = 0; y < cache_.Height(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(cache_.ScanLine(y));
      std::fill(row, row + cache_.Width(), fill);
    }
    const int32_t pattern = section >= 0 ? skin::SkinManagerGetImageIndex(*m, section, "PATTERN") : -1;
    if (skin::SkinManagerIsValidImageIndex(*m, pattern)) {
      const skin::SkinImageRecord& r = s.Images[size_t(pattern)];
      const skin::Bitmap* src = skin::SkinImageBitmap(s, r);
      const skin::TRect t = r.SourceRect;
      const int32_t tw = t.Right - t.Left, th = t.Bottom - t.Top;
      if (src && src->PixelFormat() == skin::pf32bit && tw > 0 && th > 0 && t.Right <= src->Width() &&
          t.Bottom <= src->Height()) {
        for (int32_t y = 0; y < cache_.Height(); ++y) {
          const auto* srow = reinterpret_cast<const uint32_t*>(src->ScanLine(t.Top + y % th)) + t.Left;
          auto* drow = reinterpret_cast<uint32_t*>(cache_.ScanLine(y));
          for (int32_t x = 0; x < cache_.Width(); x += tw)
            std::memcpy(drow + x, srow, size_t(std::min(tw, cache_.Width() - x)) * 4);
        }
      }
    }
    ++refreshes;
  }

  int refreshes = 0;
  int paints = 0;
  Clock::time_point lastPaint{};

 private:
#ifdef _WIN32
  void PaintFromCache() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(WindowHandle(), &ps);
    if (!cache_.Empty()) {
      HDC mem = skin::ledger::CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, static_cast<HBITMAP>(cache_.Handle()));
      BitBlt(dc, 0, 0, cache_.Width(), cache_.Height(), mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      skin::ledger::DeleteDC(mem);
      skin::PaintGraphicControls(dc, this, true, skin::TPoint{0, 0});  // the labels over the cache
    }
    EndPaint(WindowHandle(), &ps);
    ++paints;
    lastPaint = Clock::now();
  }
#endif
  bool skinned_;
  Provider provider_;
  skin::Bitmap cache_;
};

}  // namespace skinbench
