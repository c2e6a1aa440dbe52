// The MDI form link on Windows: the client adapter and what it asks of the provider.
#include "skin/forms/smdiform.h"

#include <algorithm>
#include <cstring>

#include "skin/adapters/acmdiwnd.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"

namespace skin {

struct TsMDIForm::Host final : TacMDIHost {
  TsSkinProvider* p;
  explicit Host(TsSkinProvider* provider) : p(provider) {}

  bool MDIHostUpdating() override { return p->SkinData().Updating != 0; }
  bool MDIHostFrameImage(const Bitmap*& Image, TPoint& ClientOrigin) override {
    if (p->SkinData().FillFlags & 1) return false;
    ProviderPaintFrame(*p);
    const Bitmap* cache = p->SkinData().CacheBmp.get();
    if (cache == nullptr || cache->Empty()) return false;
    Image = cache;
    const TPoint origin = ProviderCacheOrigin(*p);
    ClientOrigin = TPoint{origin.X + ProviderClientLeft(*p), origin.Y + ProviderClientTop(*p)};
    return true;
  }
  bool MDIHostPaintsArea() override {
    const TsSkinManager* m = ProviderManager(*p);
    const bool area = m != nullptr && SkinManagerIsValidSectionIndex(*m, SkinManagerGetSectionIndex(*m, "MDIAREA"));
    return area || !(p->SkinData().FillFlags & 1);
  }
  TColor MDIHostColor() override { return ProviderFormColor(*p); }
  void MDIChildCreated(HWND) override {
    p->MenuLineCountCache = -1;
    p->SkinData().BGChanged = true;
  }
  void MDIUpdateButtons() override {
    ProviderUpdateTitleButtons(*p);
    p->SkinData().BGChanged = true;
  }
  void MDIRefreshMenuLine() override {
    p->MenuLineCountCache = -1;
    p->SkinData().BGChanged = true;
    if (p->Form() != nullptr && p->Form()->HandleAllocated()) SendMessageA(p->Form()->WindowHandle(), WM_NCPAINT, 1, 0);
  }
};

TsMDIForm::TsMDIForm(TsSkinProvider* AProvider) : Provider(AProvider) {
  if (Provider != nullptr && Provider->Form() != nullptr) {
    Form = Provider->Form();
    Form->HandleNeeded();
  }
  host_ = std::make_unique<Host>(Provider);
}

TsMDIForm::~TsMDIForm() { DisconnectFromClient(); }

void TsMDIForm::ConnectToClient() {
  if (Provider == nullptr || !ProviderSkinned(*Provider)) {
    DisconnectFromClient();
    return;
  }
  DisconnectFromClient();
  if (Form == nullptr || Form->ClientHandle() == nullptr) return;
  TacSkinParams params;
  params.SkinSection = "CHECKBOX";
  TacMDIWnd* adapter =
      NewAdapter<TacMDIWnd>(Form->ClientHandle(), nullptr, Provider->SkinData().SkinManager(), params, true);
  if (adapter->Destroyed) {
    TacMainWnd* gone = adapter;
    FreeAdapter(gone);
    return;
  }
  adapter->Form = Form;
  // The client paints with the form's skin data: its own goes.
  if (adapter->OwnsSkinData) delete adapter->SkinData;
  adapter->OwnsSkinData = 0;
  adapter->SkinData = &Provider->SkinData();
  adapter->Provider = host_.get();
  ClientAdapter = adapter;
  // The client's frame is laid out again for the skinned bars, and painted.
  RedrawWindowFrame(Form->ClientHandle(), true);
  RedrawWindow(Form->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsMDIForm::DisconnectFromClient() {
  if (ClientAdapter == nullptr) return;
  TacMDIWnd* adapter = ClientAdapter;
  ClientAdapter = nullptr;
  // The form's skin data is the provider's: the adapter lets go of it before it is released.
  adapter->Provider = nullptr;
  adapter->Form = nullptr;
  FreeAdapter(adapter);
  if (Form != nullptr && Form->ClientHandle() != nullptr && IsWindow(Form->ClientHandle()))
    RedrawWindow(Form->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsMDIForm::RepaintFrame() {
  if (Provider == nullptr) return;
  Provider->SkinData().BGChanged = true;
  if (Form != nullptr && Form->HandleAllocated()) SendMessageA(Form->WindowHandle(), WM_NCPAINT, 1, 0);
}

bool ProviderMDIChildMaximizedWithMenu(const TsSkinProvider& p) {
  gui::TCustomForm* form = p.Form();
  if (form == nullptr || form->FormStyle() != gui::TFormStyle::fsMDIForm || form->Menu() == nullptr) return false;
  const HWND client = form->ClientHandle();
  if (client == nullptr) return false;
  BOOL maximized = FALSE;
  const HWND active = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  if (active == nullptr || !(maximized || IsZoomed(active))) return false;
  if (auto* child = dynamic_cast<gui::TCustomForm*>(gui::TWinControl::FromHandle(active)))
    return (child->BorderIcons() & gui::biSystemMenu) != 0;
  return (GetWindowLongA(active, GWL_STYLE) & WS_SYSMENU) != 0;
}

bool ProviderMDIChildCommand(TsSkinProvider& p, int32_t code) {
  UINT command = 0;
  switch (code) {
    case 101: command = SC_CLOSE; break;
    case 102: command = SC_RESTORE; break;
    case 103: command = SC_MINIMIZE; break;
    default: return false;
  }
  gui::TCustomForm* form = p.Form();
  gui::TCustomForm* child = form != nullptr ? form->ActiveMDIChild() : nullptr;
  if (child == nullptr || !child->HandleAllocated()) return false;
  SendMessageA(child->WindowHandle(), WM_SYSCOMMAND, command, 0);
  return true;
}

void ProviderPaintMDIArea(TsSkinProvider& p, Bitmap& cache, const TPoint& ClientOrigin) {
  TsSkinManager* m = ProviderManager(p);
  gui::TCustomForm* form = p.Form();
  if (p.MDIForm == nullptr || m == nullptr || form == nullptr || form->ClientHandle() == nullptr) return;
  const int32_t section = SkinManagerGetSectionIndex(*m, "MDIAREA");
  if (!SkinManagerIsValidSectionIndex(*m, section)) return;
  RECT wr{};
  GetWindowRect(form->ClientHandle(), &wr);
  POINT origin{0, 0};
  ClientToScreen(form->WindowHandle(), &origin);
  TRect r{int32_t(ClientOrigin.X + wr.left - origin.x), int32_t(ClientOrigin.Y + wr.top - origin.y), 0, 0};
  r.Right = std::min<int32_t>(r.Left + (wr.right - wr.left), cache.Width());
  r.Bottom = std::min<int32_t>(r.Top + (wr.bottom - wr.top), cache.Height());
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  if (r.Width() <= 0 || r.Height() <= 0) return;
  // Painted into a bitmap of its own (the painters place a section at the bitmap's origin), then copied.
  Bitmap area(r.Width(), r.Height(), pf32bit);
  PaintSectionCore(section, EmptyCacheInfo, 0, TRect{0, 0, r.Width(), r.Height()}, TPoint{}, area, m, -1, -1, KeyColor);
  uint8_t* dst = nullptr;
  const uint8_t* src = nullptr;
  ptrdiff_t dstStride = 0, srcStride = 0;
  if (!BitmapRowAccess(cache, dst, dstStride) || !BitmapRowAccess(static_cast<const Bitmap&>(area), src, srcStride)) return;
  for (int32_t y = 0; y < r.Height(); ++y)
    std::memcpy(dst + (r.Top + y) * dstStride + r.Left * 4, src + y * srcStride, size_t(r.Width()) * 4);
}

}  // namespace skin
