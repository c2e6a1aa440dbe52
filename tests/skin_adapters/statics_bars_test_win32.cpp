// Statics, panels, track bars, the size grip, status bars and tool bars under their adapters (Windows build,
// under Wine), read back through WM_PRINT on the fixture skin of flat colours.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acbuttons.h"
#include "skin/adapters/accombo.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/adapters/acsbwnd.h"
#include "skin/adapters/acstatics.h"
#include "skin/adapters/button_glyph.h"
#include "skin/manager/skincommands.h"
#include "skin/painters/parent_background.h"
#include "skin/painters/acanimation.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::ctlcolours;


struct BarsTest : ::testing::Test {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  HWND host = MakeHost(40, 40, 460, 320);
  std::vector<TacMainWnd*> adapters;
  BarsTest() {
    AnimationsOff() = 1;
    ApplyControlSkin(*manager);
  }
  ~BarsTest() override {
    for (TacMainWnd*& a : adapters) FreeAdapter(a);
    DestroyWindow(host);
    Pump();
    AnimationsOff() = 0;
  }
  template <class T>
  T* Adapt(HWND h, const std::string& section = std::string(), gui::TControl* control = nullptr) {
    TacSkinParams p;
    p.SkinSection = section;
    p.Control = control;
    T* a = NewAdapter<T>(h, nullptr, manager.get(), p, true);
    adapters.push_back(a);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    Pump(10);
    return a;
  }
};

TEST_F(BarsTest, StaticsShowTheirSectionAndText) {
  HWND text = MakeChild(host, "Static", SS_LEFT, 10, 10, 120, 20, "Frequency");
  HWND empty = MakeChild(host, "Static", SS_LEFT, 10, 40, 120, 20, "");
  HWND edged = MakeChild(host, "Static", SS_LEFT, 10, 70, 120, 20, "", WS_EX_STATICEDGE);
  Adapt<TacStaticWnd>(text);
  Adapt<TacStaticWnd>(empty);
  Adapt<TacStaticWnd>(edged);
  const Printed t(text), e(empty), s(edged);
  EXPECT_GT(t.Count(CheckBg), 0);
  EXPECT_LT(t.Count(CheckBg), t.w * t.h) << "the text is written over the section";
  EXPECT_EQ(e.Count(CheckBg), e.w * e.h) << "an empty static shows only its background";
  EXPECT_EQ(s.Count(CheckBg), 0) << "a static with a static edge is left to the system";
  // A link's text loses its tag pairs.
  EXPECT_EQ(LinkTextWithoutTags("see <a>the manual</A> and <A>notes</a>"), "see the manual and notes");
}

TEST_F(BarsTest, PanelCaptionUnlessTagged999) {
  gui::TForm* form = new gui::TForm(nullptr);
  form->SetBounds(100, 100, 300, 200);
  auto* shown = new gui::TPanel(form);
  auto* hidden = new gui::TPanel(form);
  auto* flat = new gui::TPanel(form);
  for (gui::TPanel* p : {shown, hidden, flat}) {
    p->SetParent(form);
    p->SetCaption("Panel caption");
  }
  shown->SetBounds(10, 10, 120, 60);
  hidden->SetBounds(140, 10, 120, 60);
  hidden->SetTag(999);
  flat->SetBounds(10, 80, 120, 60);
  flat->SetBevelOuter(gui::TBevelCut::bvNone);
  flat->SetTag(999);
  form->Show();
  Pump(20);
  Adapt<TacPanelWnd>(shown->Handle(), "", shown);
  Adapt<TacPanelWnd>(hidden->Handle(), "", hidden);
  Adapt<TacPanelWnd>(flat->Handle(), "", flat);
  const Printed a(shown->Handle()), b(hidden->Handle());
  EXPECT_EQ(b.Count(PanelBg), b.w * b.h);
  const Printed f(flat->Handle());
  EXPECT_EQ(f.Count(CheckBg), f.w * f.h) << "a panel without bevels takes its section from them when adapted";
  EXPECT_GT(a.Count(PanelBg), 0);
  EXPECT_LT(a.Count(PanelBg), a.w * a.h);
  EXPECT_EQ(PanelSection(int(gui::TBevelCut::bvLowered), int(gui::TBevelCut::bvRaised)), "GROUPBOX");
  EXPECT_EQ(PanelSection(int(gui::TBevelCut::bvLowered), int(gui::TBevelCut::bvNone)), "PANEL_LOW");
  EXPECT_EQ(PanelSection(int(gui::TBevelCut::bvNone), int(gui::TBevelCut::bvNone)), "CHECKBOX");
  for (TacMainWnd*& ad : adapters) FreeAdapter(ad);
  adapters.clear();
  gui::Free(form);
  Pump(10);
}

// The leftmost column of a print that holds a pixel of the colour within rows y0..y1 (-1 when none).
int FirstColumnOf(const Printed& p, uint32_t colour, int y0, int y1) {
  for (int x = 0; x < p.w; ++x)
    for (int y = y0; y < y1; ++y)
      if (p.At(x, y) == colour) return x;
  return -1;
}

TEST_F(BarsTest, StaticTextBorderSectionAndAlignment) {
  gui::TForm* form = new gui::TForm(nullptr);
  form->SetBounds(100, 100, 360, 200);
  struct Case {
    gui::TStaticBorderStyle border;
    gui::TAlignment alignment;
    uint32_t face;  // the section's colour
  } cases[] = {{gui::TStaticBorderStyle::sbsNone, gui::TAlignment::taLeftJustify, CheckBg},
               {gui::TStaticBorderStyle::sbsSingle, gui::TAlignment::taLeftJustify, GroupBg},
               {gui::TStaticBorderStyle::sbsSunken, gui::TAlignment::taRightJustify, GroupBg}};
  std::vector<gui::TStaticText*> texts;
  for (const Case& c : cases) {
    auto* t = new gui::TStaticText(form);
    t->SetParent(form);
    t->SetBounds(10, 10 + 40 * int(texts.size()), 160, 30);
    t->SetBorderStyle(c.border);
    t->SetAlignment(c.alignment);
    t->SetCaption("Signal");
    texts.push_back(t);
  }
  form->Show();
  Pump(20);
  for (size_t i = 0; i < texts.size(); ++i) {
    const Case& c = cases[i];
    gui::TStaticText* t = texts[i];
    const bool bordered = c.border != gui::TStaticBorderStyle::sbsNone;
    const LONG style = GetWindowLongA(t->Handle(), GWL_STYLE), ex = GetWindowLongA(t->Handle(), GWL_EXSTYLE);
    EXPECT_EQ((style & WS_BORDER) != 0, c.border == gui::TStaticBorderStyle::sbsSingle) << i;
    EXPECT_EQ((ex & WS_EX_STATICEDGE) != 0, c.border == gui::TStaticBorderStyle::sbsSunken) << i;
    // The component layer's static texts come to this adapter through their class category.
    TacSkinParams params;
    params.Control = t;
    TacMainWnd* a = NewAdapterOfCategory(21, t->Handle(), manager.get(), params);
    ASSERT_NE(dynamic_cast<TacStaticTextWnd*>(a), nullptr) << i;
    adapters.push_back(a);
    RedrawWindow(t->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    Pump(10);
    const Printed p(t->Handle());
    // The border (where the system would draw its line or edge) and the face in the section's colour, the text
    // in its font colour (black), nothing of the system's own colours.
    EXPECT_EQ(p.At(0, 0), c.face) << i;
    EXPECT_EQ(p.At(p.w - 1, p.h - 1), c.face) << i;
    EXPECT_EQ(p.At(p.w / 2, p.h - 2), c.face) << i;
    EXPECT_GT(p.Count(0x000000), 10) << i;
    EXPECT_EQ(p.Count(0x000000) + p.Count(c.face) > p.w * p.h * 9 / 10, true) << i;
    EXPECT_EQ(p.Count(c.face == CheckBg ? GroupBg : CheckBg), 0) << i;
    const int first = FirstColumnOf(p, 0x000000, 0, p.h);
    if (c.alignment == gui::TAlignment::taRightJustify)
      EXPECT_GT(first, p.w / 2) << i;
    else
      EXPECT_LT(first, 6) << i;
    // The window's own surface: its border painted from the cache.
    if (bordered) {
      HDC dc = GetWindowDC(t->Handle());
      EXPECT_EQ(GetPixel(dc, 0, 0), COLORREF(c.face)) << i;
      EXPECT_EQ(GetPixel(dc, p.w - 1, 5), COLORREF(c.face)) << i;
      ReleaseDC(t->Handle(), dc);
    }
  }
  // A new caption is drawn at once.
  const int before = Printed(texts[0]->Handle()).Count(0x000000);
  texts[0]->SetCaption("Signal strength");
  Pump(10);
  EXPECT_GT(Printed(texts[0]->Handle()).Count(0x000000), before);
  for (TacMainWnd*& ad : adapters) FreeAdapter(ad);
  adapters.clear();
  gui::Free(form);
  Pump(10);
}

// An owner-draw request for a combo's item, sent to its parent the way the list sends it, drawn into a 32-bit DIB;
// the pixels as TColors.
std::vector<uint32_t> DrawItemThroughParent(gui::TComboBox* combo, int index, UINT state, int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  DRAWITEMSTRUCT di{};
  di.CtlType = ODT_COMBOBOX;
  di.CtlID = UINT(GetDlgCtrlID(combo->Handle()));
  di.itemID = UINT(index);
  di.itemAction = ODA_DRAWENTIRE;
  di.itemState = state;
  di.hwndItem = combo->Handle();
  di.hDC = dc;
  di.rcItem = RECT{0, 0, w, h};
  SendMessageA(GetParent(combo->Handle()), WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
  GdiFlush();
  std::vector<uint32_t> px;
  for (int i = 0; i < w * h; ++i) {
    const uint32_t p = static_cast<uint32_t*>(bits)[i];
    px.push_back(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return px;
}

TEST_F(BarsTest, OwnerDrawnComboItemsInTheSkinsSelection) {
  constexpr uint32_t SelN = 0x604020, SelF = 0x2090E0, SelText = 0xF0F8F0, Marker = 0x10C0A0;
  skin::TsStoredSkin& stored = manager->InternalSkins.Add();
  stored.Name = "Selection";
  const std::string text = ControlOptionsText() + "[SELECTION]\r\nSTATES=2\r\nCOLOR=" + std::to_string(SelN) +
                           "\r\nHOTCOLOR=" + std::to_string(SelF) + "\r\nFONTCOLOR=0\r\nHOTFONTCOLOR=" +
                           std::to_string(SelText) + "\r\n";
  const std::string bytes =
      skin::PackSkin({{"Options.dat", text}, {"master.bmp", skintest::Bmp24(64, 48, ControlMasterPixel)}});
  stored.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  manager->SetSkinName("Selection");
  gui::TForm* form = new gui::TForm(nullptr);
  form->SetBounds(100, 100, 300, 260);
  auto* combo = new gui::TComboBox(form);
  combo->SetParent(form);
  combo->SetBounds(10, 10, 160, 24);
  combo->SetStyle(gui::TComboBoxStyle::csOwnerDrawFixed);
  combo->SetItemHeight(18);
  for (const char* s : {"Voice one", "Voice two", "Voice three"}) combo->Items().Add(s);
  form->Show();
  combo->SetItemIndex(1);
  Pump(20);
  // Unskinned, the control draws its items as the system would: the highlight under a selected one.
  EXPECT_EQ(DrawItemThroughParent(combo, 1, ODS_SELECTED, 120, 18)[size_t(9 * 120 + 110)],
            uint32_t(ColorToRGB(clHighlight)));
  TacSkinParams params;
  params.Control = combo;
  auto* ca = dynamic_cast<TacComboBoxWnd*>(NewAdapterOfCategory(4, combo->Handle(), manager.get(), params));
  ASSERT_NE(ca, nullptr);
  adapters.push_back(ca);
  const uint32_t face = ColorToRGB(combo->Color());
  // Items as the list asks for them: selected ones on the skin's selection (its focused look) in its text colour,
  // the others on the control's colour; without a handler the text is the item's.
  {
    const std::vector<uint32_t> sel = DrawItemThroughParent(combo, 1, ODS_SELECTED | ODS_FOCUS, 120, 18);
    const std::vector<uint32_t> plain = DrawItemThroughParent(combo, 0, 0, 120, 18);
    EXPECT_EQ(sel[size_t(9 * 120 + 110)], SelF);
    EXPECT_GT(std::count(sel.begin(), sel.end(), SelText), 5);
    EXPECT_EQ(plain[size_t(9 * 120 + 110)], face);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), SelF), 0);
  }
  // The face of the focused combo, printed: the selected item in the selection's colours.
  combo->SetFocus();
  Pump(20);
  {
    const Printed p(combo->Handle());
    EXPECT_EQ(p.At(ca->ButtonRect().Left - 5, p.h / 2), SelF);
    EXPECT_GT(p.Count(SelText), 5);
  }
  // The control's own drawing goes onto the item's bitmap over the selection.
  std::vector<int> drawn;
  combo->OnDrawItem = [&](gui::TWinControl*, int index, const gui::TRect& r, gui::TOwnerDrawState) {
    drawn.push_back(index);
    combo->Canvas().Brush().Color = gui::TColor(Marker);
    combo->Canvas().Brush().Style = gui::TBrushStyle::bsSolid;
    combo->Canvas().FillRect(gui::TRect{r.Left + 2, r.Top + 2, r.Left + 8, r.Top + 8});
  };
  {
    const std::vector<uint32_t> sel = DrawItemThroughParent(combo, 2, ODS_SELECTED, 120, 18);
    EXPECT_EQ(sel[size_t(4 * 120 + 4)], Marker);
    EXPECT_EQ(sel[size_t(9 * 120 + 110)], SelF);
    EXPECT_EQ(std::count(sel.begin(), sel.end(), SelText), 0) << "the handler writes no text";
    const Printed p(combo->Handle());
    EXPECT_EQ(p.At(3 + 4, 3 + 4), Marker);
  }
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front(), 2);
  // The list keeps the combo's width on every drop-down.
  int widths[2] = {};
  for (int& w : widths) {
    SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    Pump(20);
    RECT r{};
    if (ca->ListHandle != nullptr) GetWindowRect(ca->ListHandle, &r);
    w = r.right - r.left;
    SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    Pump(10);
  }
  EXPECT_EQ(widths[0], 160);
  EXPECT_EQ(widths[1], 160);
  for (TacMainWnd*& ad : adapters) FreeAdapter(ad);
  adapters.clear();
  gui::Free(form);
  Pump(10);
}

TEST_F(BarsTest, TrackBarTicksAndSizeGrip) {
  struct Case {
    DWORD style;
    bool ticks;
  } cases[] = {{TBS_AUTOTICKS, true}, {TBS_AUTOTICKS | TBS_NOTICKS, false}, {TBS_AUTOTICKS | TBS_BOTH, true}};
  for (const Case& c : cases) {
    HWND t = MakeChild(host, TRACKBAR_CLASSA, c.style, 10, 10, 200, 40);
    SendMessageA(t, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageA(t, TBM_SETTICFREQ, 1, 0);
    Adapt<TacTrackWnd>(t);
    const Printed p(t);
    EXPECT_GT(p.Count(CheckBg), p.w * p.h / 2) << std::hex << c.style;
    EXPECT_EQ(p.Count(Tick) > 0, c.ticks) << std::hex << c.style;
    FreeAdapter(adapters.back());
    adapters.pop_back();
    DestroyWindow(t);
  }
  HWND grip = MakeChild(host, "ScrollBar", SBS_SIZEGRIP | SBS_SIZEBOX, 300, 200, 20, 20);
  Adapt<TacSizerWnd>(grip);
  const Printed g(grip);
  EXPECT_EQ(g.At(19, 19), Grip);
  EXPECT_EQ(SendMessageA(grip, WM_NCHITTEST, 0, MAKELPARAM(305, 205)), LRESULT(HTBOTTOMRIGHT));
}

TEST_F(BarsTest, StatusBarAndToolBar) {
  HWND status = MakeChild(host, STATUSCLASSNAMEA, 0, 0, 0, 0, 0);
  const int parts[2] = {120, -1};
  SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Connected"));
  Adapt<TacStatusBarWnd>(status);
  const Printed s(status);
  EXPECT_GT(s.Count(StatusBg), s.w * s.h / 2);
  EXPECT_LT(s.Count(StatusBg), s.w * s.h) << "the part's text is written";

  HWND tool = MakeChild(host, TOOLBARCLASSNAMEA, CCS_NORESIZE | TBSTYLE_FLAT, 0, 100, 300, 30);
  SendMessageA(tool, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON buttons[2] = {};
  for (int i = 0; i < 2; ++i) {
    buttons[i].iBitmap = I_IMAGENONE;
    buttons[i].idCommand = 100 + i;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON;
  }
  SendMessageA(tool, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
  SendMessageA(tool, TB_SETBUTTONSIZE, 0, MAKELPARAM(40, 24));
  SendMessageA(tool, TB_ENABLEBUTTON, 101, FALSE);
  auto* a = Adapt<TacToolBarWnd>(tool);
  for (int i = 0; i < 2; ++i) {
    RECT r{};
    SendMessageA(tool, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    POINT sc = c;
    ClientToScreen(tool, &sc);
    SetCursorPos(sc.x, sc.y);
    const auto shown = [&] { return Printed(tool).At(r.left + a->Margin + 3, r.top + a->Margin + 3); };
    PumpUntil([&] { return shown() == (i == 0 ? ToolH : ToolN); });
    const uint32_t seen = shown();
    EXPECT_EQ(seen, i == 0 ? ToolH : ToolN) << "button " << i << " " << std::hex << seen;
  }
  SetCursorPos(5, 5);
}

// What the host of an owner-drawn status part is asked: the part's data, and it fills the part in one colour.
constexpr uint32_t OwnerPart = 0x3060C0;
LPARAM g_ownerPartData = 0;
LRESULT CALLBACK OwnerDrawHost(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_DRAWITEM) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
    g_ownerPartData = LPARAM(dis->itemData);
    HBRUSH b = CreateSolidBrush(OwnerPart);
    FillRect(dis->hDC, &dis->rcItem, b);
    DeleteObject(b);
    return TRUE;
  }
  return DefWindowProcA(h, msg, w, l);
}

TEST_F(BarsTest, StatusPartsOwnerDrawnAlignedAndTheBorderSkinned) {
  SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerDrawHost));
  HWND status = MakeChild(host, STATUSCLASSNAMEA, WS_BORDER | CCS_NORESIZE | CCS_NOPARENTALIGN, 10, 200, 400, 26);
  const int parts[3] = {140, 260, -1};
  SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("\t\tRight"));
  SendMessageA(status, SB_SETTEXTA, 1 | SBT_OWNERDRAW, 77);
  SendMessageA(status, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("\tMid"));
  g_ownerPartData = 0;
  Adapt<TacStatusBarWnd>(status);
  RECT w{}, c{};
  GetWindowRect(status, &w);
  GetClientRect(status, &c);
  const int bw = ((w.right - w.left) - c.right) / 2;
  ASSERT_GT(bw, 0);
  const Printed p(status);
  RECT pr[3];
  for (int i = 0; i < 3; ++i) SendMessageA(status, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&pr[i]));
  // The owner-drawn part: its owner was asked, with the part's data, and painted into the skinned bar.
  EXPECT_EQ(g_ownerPartData, 77);
  EXPECT_EQ(p.At(bw + (pr[1].left + pr[1].right) / 2, bw + (pr[1].top + pr[1].bottom) / 2), OwnerPart);
  EXPECT_EQ(p.At(bw + pr[0].left + 4, bw + 3), StatusBg) << "the owner paints its own part only";
  // Text pixels in a third of a part: the alignment the tabs ask for.
  auto inked = [&](const RECT& r, int third) {
    const int x0 = r.left + (r.right - r.left) * third / 3, x1 = r.left + (r.right - r.left) * (third + 1) / 3;
    int n = 0;
    for (int y = r.top + 2; y < r.bottom - 2; ++y)
      for (int x = x0; x < x1; ++x) n += p.At(bw + x, bw + y) != StatusBg;
    return n;
  };
  EXPECT_EQ(inked(pr[0], 0), 0);
  EXPECT_GT(inked(pr[0], 2), 0) << "two tabs: on the right";
  EXPECT_EQ(inked(pr[2], 0), 0);
  EXPECT_GT(inked(pr[2], 1), 0) << "one tab: centred";
  EXPECT_EQ(inked(pr[2], 2), 0);
  // The border is the skin's, on the window's own surface.
  RedrawWindow(status, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(PumpUntil([&] { return SurfacePixel(status, 0, (w.bottom - w.top) / 2) == StatusBg; }))
      << std::hex << SurfacePixel(status, 0, (w.bottom - w.top) / 2);
  SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA));
}

// A raised part (SBT_POPOUT) is written in the section's second state: its text in the hot font colour where the
// skin gives the bar two states; a sunken part keeps the normal one.
TEST_F(BarsTest, ARaisedStatusPartTakesTheSectionsSecondState) {
  constexpr uint32_t kRaisedInk = 0x1830C8;
  std::string options = ControlOptionsText();
  const size_t at = options.find("[STATUSBAR]");
  ASSERT_NE(at, std::string::npos);
  const size_t states = options.find("STATES=1", at), hot = options.find("HOTFONTCOLOR=0x000000", at);
  ASSERT_NE(hot, std::string::npos);
  options.replace(hot, 21, "HOTFONTCOLOR=" + std::to_string(kRaisedInk));
  options.replace(states, 8, "STATES=2");
  StoreControlSkin(*manager, "Raised", options);
  manager->SetSkinName("Raised");
  HWND status = MakeChild(host, STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN, 10, 200, 400, 26);
  const int parts[2] = {200, -1};
  SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Sunken part"));
  SendMessageA(status, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("Raised part"));
  Adapt<TacStatusBarWnd>(status);
  const Printed p(status);
  RECT pr[2];
  for (int i = 0; i < 2; ++i) SendMessageA(status, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&pr[i]));
  auto count = [&](const RECT& r, uint32_t c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += p.At(x, y) == c;
    return n;
  };
  EXPECT_GT(count(pr[1], kRaisedInk), 10);
  EXPECT_EQ(count(pr[0], kRaisedInk), 0);
  EXPECT_GT(count(pr[0], 0), 10) << "the sunken part's text in the normal colour";
}

TEST_F(BarsTest, OwnerDrawnButtonGlyphFollowsTheItemState) {
  HWND b = MakeChild(host, "Button", BS_OWNERDRAW, 10, 10, 100, 40, "");
  gui::TImageList list(nullptr);
  list.SetWidth(16);
  list.SetHeight(16);
  for (uint32_t colour : {0x2040C0u, 0x20C040u, 0xC04020u}) {  // plain, hot, disabled images (as COLORREFs)
    gui::TBitmap img;
    img.SetPixelFormat(gui::TPixelFormat::pf32bit);
    img.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        uint8_t* p = img.ScanLine(y) + x * 4;
        p[0] = uint8_t(colour >> 16), p[1] = uint8_t(colour >> 8), p[2] = uint8_t(colour), p[3] = 255;
      }
    list.AddImage32(img);
  }
  struct Case {
    UINT itemState;
    uint32_t colour;  // as a COLORREF
    int shift;
  } cases[] = {{0, 0x2040C0, 0}, {ODS_HOTLIGHT, 0x20C040, 0}, {ODS_DISABLED, 0, 0}, {ODS_SELECTED, 0x2040C0, 1}};
  for (const Case& c : cases) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 100, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, 100, 40};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT di{};
    di.CtlType = ODT_BUTTON;
    di.hwndItem = b;
    di.hDC = dc;
    di.rcItem = all;
    di.itemState = c.itemState;
    PaintOwnerDrawButtonGlyph(&di, &list, 0, 1, 2);
    // Centred (one pixel right of the middle), moved by one when pressed.
    const int x = (100 - 16) / 2 + 1 + c.shift, y = (40 - 16) / 2 + c.shift;
    const COLORREF seen = GetPixel(dc, x, y);
    if (c.itemState == ODS_DISABLED)  // the disabled image, drawn disabled (grey)
      EXPECT_TRUE(GetRValue(seen) == GetGValue(seen) && GetGValue(seen) == GetBValue(seen) && seen != 0xFFFFFF)
          << std::hex << seen;
    else
      EXPECT_EQ(seen, COLORREF(c.colour)) << std::hex << c.itemState;
    EXPECT_EQ(GetPixel(dc, x - 1, y), COLORREF(0xFFFFFF)) << std::hex << c.itemState;
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  DestroyWindow(b);
}

TEST_F(BarsTest, DefaultButtonLeftTextBoxAndRightToLeftGroupCaption) {
  HWND other = MakeChild(host, "Button", BS_PUSHBUTTON, 300, 10, 60, 24, "Other");
  SetFocus(other);
  HWND def = MakeChild(host, "Button", BS_DEFPUSHBUTTON, 10, 10, 100, 30, "Default");
  Adapt<TacBtnWnd>(def);
  EXPECT_EQ(Printed(def).At(4, 4), ButtonD) << "a default button of a four-state section";
  // A check box with its text on the left has its glyph at the right edge.
  HWND box = MakeChild(host, "Button", BS_AUTOCHECKBOX | BS_LEFTTEXT, 10, 50, 120, 24, "Left");
  Adapt<TacCheckBoxWnd>(box);
  const Printed b(box);
  const int gy = (24 - 8) / 2 + 4;
  EXPECT_EQ(b.At(120 - 4, gy), BoxU[0]);
  EXPECT_EQ(b.At(3, gy), CheckBg);
  // A right-to-left group box puts its caption 14 pixels plus the text's width from the right edge.
  HWND ltr = MakeChild(host, "Button", BS_GROUPBOX, 10, 90, 200, 80, "Caption");
  HWND rtl = MakeChild(host, "Button", BS_GROUPBOX, 220, 90, 200, 80, "Caption", WS_EX_RTLREADING);
  auto* a = Adapt<TacGroupBoxWnd>(ltr);
  auto* c = Adapt<TacGroupBoxWnd>(rtl);
  const TRect l = a->CaptionRect(), r = c->CaptionRect();
  const int textWidth = l.Right - l.Left - 8;
  EXPECT_EQ(l.Left, 6);
  EXPECT_GT(textWidth, 0);
  EXPECT_EQ(r.Left, 200 - textWidth - 14);
  EXPECT_EQ(Printed(ltr).At(100, 60), GroupBg);
  // Pressed by a click on its empty area, the box keeps its caption as the skin paints it on the screen: the
  // system's own caption (its colours, over a face of its own) never shows.
  HDC dc = GetDC(ltr);
  const COLORREF face = GetPixel(dc, l.Left + 1, l.Top + 1);
  for (BOOL pressed : {TRUE, FALSE}) {
    SendMessageA(ltr, BM_SETSTATE, pressed, 0);
    EXPECT_EQ(GetPixel(dc, l.Left + 1, l.Top + 1), face) << pressed;
  }
  ReleaseDC(ltr, dc);
}

TEST_F(BarsTest, BitmapStaticEdgeAndTransparentContainer) {
  // A bitmap static: the bitmap over the section, in the bitmap's size.
  HWND pic = MakeChild(host, "Static", SS_BITMAP, 10, 10, 40, 40);
  HDC screen = GetDC(nullptr);
  HBITMAP image = CreateCompatibleBitmap(screen, 16, 16);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, image);
  HBRUSH brush = CreateSolidBrush(RGB(0x10, 0x80, 0xF0));
  RECT r16{0, 0, 16, 16};
  FillRect(mem, &r16, brush);
  DeleteObject(brush);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  SendMessageA(pic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
  SetWindowPos(pic, nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER);
  Adapt<TacIconWnd>(pic);
  const Printed p(pic);
  EXPECT_EQ(p.At(5, 5), 0xF08010u);
  EXPECT_EQ(p.At(30, 30), CheckBg);
  // An etched frame keeps its own inside; only a two-pixel band comes from the skin.
  HWND edge = MakeChild(host, "Static", SS_ETCHEDFRAME, 60, 10, 60, 40);
  Adapt<TacEdgeWnd>(edge);
  HDC dc = GetWindowDC(edge);
  EXPECT_EQ(GetPixel(dc, 0, 0), COLORREF(CheckBg));
  EXPECT_EQ(GetPixel(dc, 59, 39), COLORREF(CheckBg));
  ReleaseDC(edge, dc);
  // A transparent container shows its section (here the check box's) under its children.
  HWND box = MakeChild(host, "Static", SS_LEFT, 140, 10, 80, 40);
  Adapt<TacTransPanelWnd>(box);
  EXPECT_EQ(Printed(box).At(40, 20), CheckBg);
  for (TacMainWnd*& a : adapters) FreeAdapter(a);
  adapters.clear();
  DestroyWindow(pic);
  DeleteObject(image);
}

// A container window keeps the image of its whole window, border included: what it tells a child about the
// background lies at the child's client position moved by where the client area starts.
TEST_F(BarsTest, ABorderedContainerAnswersItsChildrenInClientCoordinates) {
  struct Case {
    const char* what;
    DWORD style, exStyle;
  };
  const Case cases[] = {{"no border", 0, 0},
                        {"a thin border", WS_BORDER, 0},
                        {"a sunken edge", 0, WS_EX_CLIENTEDGE},
                        {"both", WS_BORDER, WS_EX_CLIENTEDGE}};
  for (const Case& c : cases) {
    for (int kind = 0; kind < 2; ++kind) {
      SCOPED_TRACE(std::string(c.what) + (kind == 0 ? ", transparent panel" : ", container"));
      HWND box = MakeChild(host, "Static", c.style, 10, 10, 120, 80);
      SetWindowLongA(box, GWL_EXSTYLE, LONG(c.exStyle));
      SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
      TacSkinParams p;
      p.SkinSection = "BUTTON";
      TacMainWnd* a = kind == 0 ? static_cast<TacMainWnd*>(NewAdapter<TacTransPanelWnd>(box, nullptr, manager.get(), p, true))
                                : NewAdapter<TacContainerWnd>(box, nullptr, manager.get(), p, true);
      RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
      Pump(10);
      RECT wr{};
      GetWindowRect(box, &wr);
      POINT client{0, 0};
      ClientToScreen(box, &client);
      const TPoint origin{client.x - wr.left, client.y - wr.top};
      EXPECT_EQ(origin.X == 0, c.style == 0 && c.exStyle == 0);
      BackgroundInfo info;
      info.R = TRect{0, 0, 20, 10};
      QueryParentBackground(info, box, false);
      ASSERT_NE(info.Bmp, nullptr);
      EXPECT_EQ(info.Bmp, a->SkinData->CacheBmp.get());
      EXPECT_EQ(info.Bmp->Width(), wr.right - wr.left) << "the image covers the whole window";
      EXPECT_EQ(info.Offset, origin);
      FreeAdapter(a);
      DestroyWindow(box);
      Pump(10);
    }
  }
}

TEST_F(BarsTest, ANewSkinResolvesTheSectionAgain) {
  HWND b = MakeChild(host, "Button", BS_PUSHBUTTON, 10, 10, 100, 30, "OK");
  Adapt<TacBtnWnd>(b);
  ASSERT_EQ(Printed(b).At(4, 4), ButtonN);
  // A skin of a few sections, the button's among them at another index, and back again.
  skin::TsStoredSkin& small = manager->InternalSkins.Add();
  small.Name = "Small";
  std::string text = "[GLOBALINFO]\r\nVERSION=8.50\r\nMASTERBITMAP=master.bmp\r\n";
  text += "[BUTTON]\r\nSTATES=1\r\nCOLOR=" + std::to_string(StatusBg) + "\r\n";
  const std::string bytes =
      skin::PackSkin({{"Options.dat", text}, {"master.bmp", skintest::Bmp24(64, 48, ControlMasterPixel)}});
  small.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  auto loaded = [&] {
    SendMessageA(b, WM_SKINCOMMAND, SkinCommandWParam(AC_SKINLOADED),
                 reinterpret_cast<LPARAM>(static_cast<TsSkinManager*>(manager.get())));
    Pump(10);
  };
  manager->SetSkinName("Small");
  loaded();
  EXPECT_EQ(Printed(b).At(4, 4), StatusBg);
  manager->SetSkinName("Controls");
  loaded();
  EXPECT_EQ(Printed(b).At(4, 4), ButtonN);
}

}  // namespace
