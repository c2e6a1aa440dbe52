// The skinned buttons and label on a harness form under Wine, skinned with the flat-colour fixture skin: each
// shows its section's colour in the normal, hot, pressed, default and disabled states (read through WM_PRINT and
// from the screen), the focus frame in the section's hot font colour, the label in the skin's font colour; clicks
// on the split and drop-down parts open the menu and clicks elsewhere click; the control adapter leaves them
// alone; without the skin they look plain; nothing leaks over fifty rounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/forms/sbuttons.h"
#include "skin/painters/acanimation.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"
#include "tests/skin_forms/huge_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::ctlcolours;

// A window's client pixels (TColor values) read back through WM_PRINT into a 32-bit DIB.
std::vector<uint32_t> Printed(HWND h, int& w, int& hgt) {
  RECT r;
  GetClientRect(h, &r);
  w = r.right, hgt = r.bottom;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -hgt;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  SendMessageA(h, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  std::vector<uint32_t> out(size_t(w) * size_t(hgt));
  for (size_t i = 0; i < out.size(); ++i) {
    const uint32_t p = static_cast<uint32_t*>(bits)[i];
    out[i] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return out;
}

uint32_t PrintedPixel(HWND h, int x, int y) {
  int w = 0, hgt = 0;
  const std::vector<uint32_t> p = Printed(h, w, hgt);
  return (x < w && y < hgt) ? p[size_t(y) * size_t(w) + size_t(x)] : 0xFFFFFFFFu;
}

uint32_t SurfacePixel(HWND h, int x, int y) {
  HDC dc = GetDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

// How many pixels of a colour lie in a rectangle of a window's surface.
int SurfaceCount(HWND h, const RECT& r, uint32_t colour) {
  HDC dc = GetDC(h);
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += GetPixel(dc, x, y) == colour ? 1 : 0;
  ReleaseDC(h, dc);
  return n;
}

// The disabled look: greyed and blended with what lies under it, so another colour and a less saturated one.
bool DisabledLook(uint32_t got, uint32_t normal) {
  auto spread = [](uint32_t c) {
    const int ch[3] = {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)};
    return std::max({ch[0], ch[1], ch[2]}) - std::min({ch[0], ch[1], ch[2]});
  };
  return got != normal && spread(got) < spread(normal);
}

void MouseTo(int x, int y) {
  SetCursorPos(x, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG(x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = LONG(y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

// A click at a point of a control's parent (client coordinates of the form), its effect waited for until
// `taken` holds (at most 5 s): on a loaded machine the input comes late.
template <class Taken>
void ClickAt(gui::TWinControl* form, int x, int y, Taken taken) {
  POINT p{x, y};
  ClientToScreen(form->Handle(), &p);
  MouseTo(p.x, p.y);
  Pump(30);
  MouseButton(true);
  Pump(30);
  MouseButton(false);
  PumpUntil(taken);
}

// Popup menus are modal: a timer closes the one that is open.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

struct NoAnimations {
  NoAnimations() { AnimationsOff() = 1; }
  ~NoAnimations() { AnimationsOff() = 0; }
};

struct Harness {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = new gui::TForm(nullptr);
  TsButton* button = new TsButton(form);
  TsButton* split = new TsButton(form);
  TsBitBtn* bit = new TsBitBtn(form);
  TsSpeedButton* speed = new TsSpeedButton(form);
  TsSpeedButton* drop = new TsSpeedButton(form);
  TsSpeedButton* menuOnly = new TsSpeedButton(form);
  TsLabel* label = new TsLabel(form);
  gui::TPopupMenu* menu = new gui::TPopupMenu(form);
  int popups = 0, buttonClicks = 0, splitClicks = 0, dropClicks = 0, menuOnlyClicks = 0;
  gui::TComponent* popupComponent = nullptr;
  int stateAtPopup = -1;
  bool hintsAtPopup = true;

  explicit Harness(bool skinned = true, bool huge = false) {
    if (huge)
      ApplyHugeSkin(*manager);
    else if (skinned)
      ApplyControlSkin(*manager);
    form->SetBounds(80, 80, 520, 260);
    form->SetCaption("Skinned buttons");
    auto place = [this](gui::TControl* c, int x, int y, int w, int h, const char* text) {
      c->SetParent(form);
      c->SetBounds(x, y, w, h);
      c->SetText(text);
    };
    place(button, 10, 10, 110, 34, "Push");
    place(split, 130, 10, 130, 34, "Split");
    split->SetStyle(TButtonStyle::bsSplitButton);
    split->SetDropDownMenu(menu);
    place(bit, 270, 10, 120, 34, "Bitmap");
    bit->Glyph().SetPixelFormat(gui::TPixelFormat::pf24bit);
    bit->Glyph().SetSize(32, 16);  // two cells: blue up, red disabled
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 32; ++x) {
        uint8_t* p = bit->Glyph().ScanLine(y) + x * 3;
        const bool corner = (x % 16) == 0 && y == 15;
        p[0] = corner ? 0 : (x < 16 ? 0xE0 : 0x10), p[1] = corner ? 0 : 0x20, p[2] = corner ? 0 : (x < 16 ? 0x10 : 0xE0);
      }
    bit->SetNumGlyphs(2);
    bit->GlyphChanged();
    place(speed, 10, 60, 90, 30, "Speed");
    place(drop, 110, 60, 100, 30, "Drop");
    drop->SetButtonStyle(TToolButtonStyle::tbsDropDown);
    drop->SetDropdownMenu(menu);
    place(menuOnly, 230, 60, 100, 30, "Menu");
    menuOnly->SetButtonStyle(TToolButtonStyle::tbsDropDown);
    menuOnly->SetDropdownMenu(menu);
    place(label, 10, 110, 200, 30, "MMMMMMMM");
    label->Font().SetSize(16);
    label->Font().SetStyle(gui::fsBold);
    auto* item = new gui::TMenuItem(menu);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    menu->OnPopup = [this](gui::TObject*) {
      ++popups;
      popupComponent = menu->PopupComponent;
      if (auto* s = dynamic_cast<TsSpeedButton*>(popupComponent)) stateAtPopup = s->CurrentState();
      if (auto* b = dynamic_cast<TsButton*>(popupComponent)) stateAtPopup = b->CurrentState();
      hintsAtPopup = gui::Application->ShowHint();
      SetTimer(nullptr, 0, 80, CloseMenu);
    };
    button->OnClick = [this](gui::TObject*) { ++buttonClicks; };
    split->OnClick = [this](gui::TObject*) { ++splitClicks; };
    drop->OnClick = [this](gui::TObject*) { ++dropClicks; };
    form->Show();
    Pump(60);
  }
  ~Harness() {
    gui::Free(form);
    Pump(20);
  }
  // Both readings of a windowed button's pixel, which must agree.
  static uint32_t Probe(gui::TWinControl* c, int x, int y) {
    Pump(10);
    const uint32_t printed = PrintedPixel(c->Handle(), x, y);
    EXPECT_EQ(printed, SurfacePixel(c->Handle(), x, y)) << c->ClassName() << " at " << x << "," << y;
    return printed;
  }
  // A graphic control's pixel on the form's surface (after a repaint of the form).
  uint32_t FormPixel(gui::TControl* c, int x, int y) {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(10);
    return SurfacePixel(form->Handle(), c->Left() + x, c->Top() + y);
  }
  // What a form's provider passes to its controls when the skin changes.
  void Tell(uint16_t code) {
    for (int i = 0; i < form->ControlCount(); ++i)
      form->Controls(i)->Perform(WM_SKINCOMMAND, SkinCommandWParam(code), reinterpret_cast<LPARAM>(manager.get()));
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(30);
  }
  uint32_t FormColour() const { return platform::ColorToRGB(form->Color()); }
};

TEST(SkinnedButtons, SectionColoursInEveryState) {
  NoAnimations still;
  { Harness warmUp; }
  Pump(20);
  Harness h;
  // The push button: normal, hot, pressed, back; held down; the default look with the focus off the buttons.
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
  h.button->Perform(gui::CM_MOUSEENTER);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonH);
  h.button->Perform(gui::CM_MOUSELEAVE);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
  SendMessageA(h.button->Handle(), BM_SETSTATE, 1, 0);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonP);
  SendMessageA(h.button->Handle(), BM_SETSTATE, 0, 0);
  h.button->SetDown(true);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonP);
  h.button->SetDown(false);
  h.button->SetDefault(true);
  SetFocus(h.form->Handle());
  Pump(20);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonD);
  EXPECT_EQ(GetWindowLongA(h.button->Handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW) << "stays owner-drawn";
  // Another button focused: the default look goes.
  h.bit->SetFocus();
  Pump(20);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
  h.button->SetDefault(false);
  // Focused: a dotted frame around the caption in the section's hot font colour.
  h.button->SetFocus();
  Pump(20);
  const TRect cr = h.button->CaptionRect(0);
  const int fx = cr.Left - 2 + ((cr.Left - 2 + std::max<int32_t>(cr.Top - 1, 3)) & 1);
  EXPECT_EQ(Harness::Probe(h.button, fx, std::max<int32_t>(cr.Top - 1, 3)), 0x000080u) << "focus frame";
  // Disabled: blended with what lies under it.
  h.button->SetEnabled(false);
  const uint32_t disabled = Harness::Probe(h.button, 3, 3);
  EXPECT_TRUE(DisabledLook(disabled, ButtonN)) << std::hex << disabled;
  h.button->SetEnabled(true);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);

  // The split button: its face, the separator and the arrow in the section's font colour.
  EXPECT_EQ(Harness::Probe(h.split, 3, 3), ButtonN);
  EXPECT_EQ(Harness::Probe(h.split, 130 - 15, 17), 0u) << "separator";

  // The bit button: section colours and its glyph's first cell; disabled, the second cell shows.
  EXPECT_EQ(Harness::Probe(h.bit, 3, 3), ButtonN);
  const TRect g = h.bit->GlyphRect(0);
  EXPECT_EQ(Harness::Probe(h.bit, g.Left + 4, g.Top + 4), 0xE02010u) << "up cell";
  h.bit->Perform(gui::CM_MOUSEENTER);
  EXPECT_EQ(Harness::Probe(h.bit, 3, 3), ButtonH);
  h.bit->Perform(gui::CM_MOUSELEAVE);
  h.bit->SetEnabled(false);
  const uint32_t cell = Harness::Probe(h.bit, g.Left + 4, g.Top + 4);
  EXPECT_NE(cell, 0xE02010u);
  EXPECT_GT(cell & 0xFF, (cell >> 16) & 0xFF) << std::hex << cell << ": the red disabled cell, blended";
  h.bit->SetEnabled(true);

  // The speed button: normal, hot, down, disabled.
  EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonN);
  h.speed->Perform(gui::CM_MOUSEENTER);
  EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonH);
  h.speed->Perform(gui::CM_MOUSELEAVE);
  EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonN);
  h.speed->SetGroupIndex(1);
  h.speed->SetDown(true);
  EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonP);
  h.speed->SetAllowAllUp(true);
  h.speed->SetDown(false);
  h.speed->SetEnabled(false);
  EXPECT_TRUE(DisabledLook(h.FormPixel(h.speed, 3, 3), ButtonN));
  h.speed->SetEnabled(true);
  // The drop-down button's arrow part is a face of its own.
  EXPECT_EQ(h.FormPixel(h.drop, 100 - 3, 3), ButtonN);

  // The label: the skin's font colour; disabled, 40 % its font colour and 60 % the form's.
  const RECT lr{h.label->Left(), h.label->Top(), h.label->Left() + h.label->Width(), h.label->Top() + h.label->Height()};
  RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump(10);
  EXPECT_GT(SurfaceCount(h.form->Handle(), lr, 0x101010), 20);
  h.label->SetEnabled(false);
  RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump(10);
  const uint32_t dim = LabelDisabledColor(platform::ColorToRGB(h.label->Font().Color()), h.FormColour());
  EXPECT_GT(SurfaceCount(h.form->Handle(), lr, dim), 20) << std::hex << dim;
  EXPECT_EQ(SurfaceCount(h.form->Handle(), lr, 0x101010), 0);
  h.label->SetEnabled(true);
  // With a section: its background behind the text; the font takes the section's font colour, the text is
  // still written in the skin's.
  h.label->SetSkinSection("PANEL");
  RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump(10);
  EXPECT_EQ(SurfacePixel(h.form->Handle(), lr.left + 1, lr.top + 1), PanelBg);
  EXPECT_EQ(h.label->Font().Color(), TColor(0));
  EXPECT_GT(SurfaceCount(h.form->Handle(), lr, 0x101010), 20);
  // A change of the bit button's layout shows at the next paint.
  const TRect before = h.bit->GlyphRect(0);
  h.bit->SetLayout(gui::TButtonLayout::blGlyphRight);
  const TRect after = h.bit->GlyphRect(0);
  EXPECT_GT(after.Left, before.Left);
  EXPECT_EQ(Harness::Probe(h.bit, after.Left + 4, after.Top + 4), 0xE02010u);
  EXPECT_EQ(Harness::Probe(h.bit, before.Left + 4, before.Top + 4), ButtonN);
}

TEST(SkinnedButtons, SplitAndDropDownPartsReactToClicks) {
  NoAnimations still;
  Harness h;
  // The push button clicks; the split button's left part clicks, its right part opens the menu.
  ClickAt(h.form, 30, 27, [&] { return h.buttonClicks == 1; });
  EXPECT_EQ(h.buttonClicks, 1);
  ClickAt(h.form, 150, 27, [&] { return h.splitClicks == 1; });
  EXPECT_EQ(h.splitClicks, 1);
  EXPECT_EQ(h.popups, 0);
  // The menu opened and closed again (by its timer), the button hot again.
  ClickAt(h.form, 130 + 130 - 6, 27,
          [&] { return h.popups == 1 && !GetCapture() && Harness::Probe(h.split, 3, 3) == ButtonH; });
  EXPECT_EQ(h.popups, 1);
  EXPECT_EQ(h.splitClicks, 1);
  EXPECT_EQ(h.popupComponent, h.split);
  EXPECT_EQ(h.stateAtPopup, bstPressed) << "pressed while the menu is open";
  // A release that follows no press on the button (the menu's, or one begun elsewhere) goes no further.
  int ups = 0;
  h.split->OnMouseUp = [&ups](gui::TObject*, gui::TMouseButton, gui::TShiftState, int, int) { ++ups; };
  SendMessageA(h.split->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  EXPECT_EQ(ups, 0);
  h.split->OnMouseUp = nullptr;
  EXPECT_EQ(Harness::Probe(h.split, 3, 3), ButtonH) << "up again after, the mouse still over it";
  // A drop-down speed button with OnClick: left part clicks, arrow part opens the menu.
  ClickAt(h.form, 120, 75, [&] { return h.dropClicks == 1; });
  EXPECT_EQ(h.dropClicks, 1);
  EXPECT_EQ(h.popups, 1);
  ClickAt(h.form, h.drop->Left() + h.drop->Width() - 5, 75, [&] { return h.popups == 2 && !h.drop->MenuShowing(); });
  EXPECT_EQ(h.popups, 2);
  EXPECT_EQ(h.dropClicks, 1);
  EXPECT_EQ(h.popupComponent, h.drop);
  // Without OnClick anywhere opens it, and the button is down meanwhile.
  ClickAt(h.form, 240, 75, [&] { return h.popups == 3 && !h.menuOnly->MenuShowing(); });
  EXPECT_EQ(h.popups, 3);
  EXPECT_EQ(h.popupComponent, h.menuOnly);
  EXPECT_EQ(h.stateAtPopup, bstPressed);
  EXPECT_FALSE(h.hintsAtPopup) << "no hint over the menu";
  EXPECT_TRUE(gui::Application->ShowHint()) << "hints back once it closed";
  EXPECT_FALSE(h.menuOnly->MenuShowing());
  EXPECT_EQ(DropDownSpeedButton(), nullptr);
  MouseTo(5, 5);
  Pump(30);
}

// Keys that reach the form through the application's message loop: Alt with the caption's marked letter clicks
// the skinned button, and so does the plain letter while the focus is on a control that takes no characters (not
// while an edit has it); the space bar on the focused button repaints its cache at once. Asked for its item's
// size, the button answers its own.
TEST(SkinnedButtons, AcceleratorClicksSpaceRepaintsAndMeasureGivesTheSize) {
  NoAnimations still;
  Harness h;
  auto* edit = new gui::TEdit(h.form);
  edit->SetParent(h.form);
  edit->SetBounds(400, 110, 100, 24);
  h.button->SetCaption("&Push");
  Pump(20);
  struct Case {
    gui::TWinControl* focus;
    UINT msg;
    char key;
    int clicks;
  } cases[] = {{h.bit, WM_SYSCHAR, 'p', 1}, {h.bit, WM_CHAR, 'P', 2},   {edit, WM_CHAR, 'p', 2},
               {edit, WM_SYSCHAR, 'p', 3}, {h.bit, WM_SYSCHAR, 'x', 3}, {h.split, WM_CHAR, 'u', 3}};
  for (const Case& c : cases) {
    c.focus->SetFocus();
    Pump(10);
    PostMessageA(c.focus->Handle(), c.msg, WPARAM(c.key), 0);
    gui::Application->ProcessMessages();
    EXPECT_EQ(h.buttonClicks, c.clicks) << c.key << " on " << c.focus->ClassName();
  }
  EXPECT_EQ(edit->Text(), "p") << "the edit keeps its plain characters";
  // A window of its own that the form merely owns (as a system dialog) does not reach the form's buttons.
  HWND owned = CreateWindowExA(0, "BUTTON", "Owned", WS_POPUP | WS_VISIBLE, 0, 0, 60, 20, h.form->Handle(), nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owned, nullptr);
  PostMessageA(owned, WM_SYSCHAR, 'p', 0);
  PostMessageA(owned, WM_CHAR, 'p', 0);
  gui::Application->ProcessMessages();
  EXPECT_EQ(h.buttonClicks, 3);
  DestroyWindow(owned);

  // The cache blackened behind the button's back: only the focused button repaints it on a space.
  auto blacken = [](TsButton* b) {
    Bitmap& cache = *b->SkinData().CacheBmp;
    FillRectBitmap32(cache, TRect{0, 0, cache.Width(), cache.Height()}, TColor(0), 255);
  };
  h.bit->SetFocus();
  Pump(10);
  blacken(h.button);
  h.button->Perform(gui::CM_DIALOGCHAR, VK_SPACE, 0);
  EXPECT_EQ(PrintedPixel(h.button->Handle(), 3, 3), 0u) << "not focused: left as it is";
  h.button->SetFocus();
  Pump(10);
  blacken(h.button);
  h.button->Perform(gui::CM_DIALOGCHAR, VK_SPACE, 0);
  EXPECT_EQ(PrintedPixel(h.button->Handle(), 3, 3), ButtonN);
  EXPECT_EQ(h.buttonClicks, 3) << "a space is no accelerator";

  MEASUREITEMSTRUCT mi{};
  mi.CtlType = ODT_BUTTON;
  mi.CtlID = UINT(GetDlgCtrlID(h.split->Handle()));
  SendMessageA(h.form->Handle(), WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
  EXPECT_EQ(mi.itemWidth, 130u);
  EXPECT_EQ(mi.itemHeight, 34u);
}

TEST(SkinnedButtons, ControlAdapterLeavesThemAloneAndUnskinnedLooksPlain) {
  NoAnimations still;
  Harness h;
  struct Host : CtrlAdapterHost {
    gui::TWinControl* form = nullptr;
    TsSkinManager* manager = nullptr;
    gui::TWinControl* HostForm() override { return form; }
    TsSkinManager* HostManager() override { return manager; }
    std::vector<gui::TCustomLabel*> labels;
    void SetLabelColor(gui::TCustomLabel* Label) override { labels.push_back(Label); }
  } host;
  host.form = h.form;
  host.manager = h.manager.get();
  h.manager->ThirdPartyLists.assign(23, {});
  // Even listed under the names of their base classes' lists, they are not adapted.
  h.manager->ThirdPartyLists[1] = {"TButton", "TsButton"};
  h.manager->ThirdPartyLists[2] = {"TBitBtn", "TsBitBtn"};
  h.manager->ThirdPartyLists[16] = {"TSpeedButton", "TsSpeedButton"};
  {
    TacCtrlAdapter adapter(&host);
    adapter.AddAllItems();
    EXPECT_TRUE(adapter.Items.empty());
    EXPECT_TRUE(adapter.GraphItems.empty());
    EXPECT_TRUE(host.labels.empty());
    EXPECT_EQ(AdapterOfWindow(h.button->Handle()), nullptr);
    EXPECT_EQ(AdapterOfWindow(h.bit->Handle()), nullptr);
  }
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
  // The skin goes (the form's provider passes the news on to its controls): the plain look.
  h.manager->SetActive(false);
  h.Tell(AC_SKINREMOVED);
  const uint32_t face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(Harness::Probe(h.button, 8, 8), face);
  EXPECT_EQ(Harness::Probe(h.bit, 8, 8), face);
  EXPECT_NE(h.FormPixel(h.speed, 3, 3), ButtonN);
  const RECT lr{h.label->Left(), h.label->Top(), h.label->Left() + h.label->Width(), h.label->Top() + h.label->Height()};
  EXPECT_EQ(SurfaceCount(h.form->Handle(), lr, 0x101010), 0);
  EXPECT_GT(SurfaceCount(h.form->Handle(), lr, platform::ColorToRGB(h.label->Font().Color())), 20);
  // And comes back.
  h.manager->SetActive(true);
  h.Tell(AC_SKINLOADED);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
}

TEST(SkinnedButtons, CrossFadesEndOnTheNewLookAndNothingLeaks) {
  {
    Harness warmUp;  // the application's own windows and objects, and the animation timer's, made once
    warmUp.button->Perform(gui::CM_MOUSEENTER);
    Pump(200);
  }
  Pump(20);
  const ledger::Snapshot before = ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  {
    Harness h;
    ledger::Snapshot shown;
    for (int round = 0; round < 51; ++round) {
      if (round == 1) shown = ledger::Take();  // the animations' pictures are kept from the first round on
      h.button->Perform(gui::CM_MOUSEENTER);
      h.speed->Perform(gui::CM_MOUSEENTER);
      h.bit->Perform(gui::CM_MOUSEENTER);
      for (int i = 0; i < 40 && (CommonDataAnimationRunning(h.button->SkinData()) ||
                                 CommonDataAnimationRunning(h.speed->SkinData()));
           ++i)
        Pump(5);
      if (round == 0) {
        EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonH);
        EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonH);
      }
      h.button->Perform(gui::CM_MOUSELEAVE);
      h.speed->Perform(gui::CM_MOUSELEAVE);
      h.bit->Perform(gui::CM_MOUSELEAVE);
      SendMessageA(h.button->Handle(), BM_SETSTATE, 1, 0);
      SendMessageA(h.button->Handle(), BM_SETSTATE, 0, 0);
      h.label->SetCaption(round % 2 ? "MMMM" : "WWWW");
      for (int i = 0; i < 40 && (CommonDataAnimationRunning(h.button->SkinData()) ||
                                 CommonDataAnimationRunning(h.speed->SkinData()) ||
                                 CommonDataAnimationRunning(h.bit->SkinData()));
           ++i)
        Pump(5);
      RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
    EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonN);
    EXPECT_EQ(ledger::Difference(shown, ledger::Take()), "");
  }
  Pump(20);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

// A button freed by its own click handler: the handler returns into nothing of the button.
TEST(SkinnedButtons, ButtonFreedByItsOwnClickLeavesNoTrace) {
  NoAnimations still;
  Harness h;
  TsButton* victim = new TsButton(h.form);
  victim->SetParent(h.form);
  victim->SetBounds(400, 60, 100, 30);
  victim->SetText("Close");
  victim->OnClick = [victim](gui::TObject*) { gui::Free(victim); };
  h.form->Show();
  Pump(30);
  ClickAt(h.form, 420, 75, [&] { return h.form->ComponentCount() == 8; });
  EXPECT_EQ(h.form->ComponentCount(), 8);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
  MouseTo(5, 5);
  Pump(20);
}

// A border with key-colour corners cuts the window: the region follows the bounds, the parent shows again what a
// larger button covered, regions handed to the window are never freed by the button, and the cache is painted
// again only when it is stale (its own tag byte or its parent's).
TEST(SkinnedButtons, CutCornersRegionFollowsBoundsAndStaleCacheRepaints) {
  NoAnimations still;
  Harness h(true, true);
  TsBitBtn* b = new TsBitBtn(h.form);
  b->SkinData().SkinSection = "BUTTON_HUGE";
  b->SetParent(h.form);
  b->SetBounds(10, 150, 100, 30);
  b->SetText("Huge");
  int paints = 0;
  b->OnPaint = [&paints](gui::TObject*, Bitmap&) { ++paints; };
  auto refresh = [b] {
    const LPARAM manager = reinterpret_cast<LPARAM>(b->SkinData().SkinManager());
    b->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), manager);
  };
  refresh();
  auto inRegion = [b](int x, int y) {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(b->Handle(), r) != ERROR;
    const bool in = has && PtInRegion(r, x, y);
    DeleteObject(r);
    return in;
  };
  const ledger::Snapshot before = ledger::Take();
  for (int round = 0; round < 6; ++round) {
    const int w = round % 2 ? 80 : 100, hgt = round % 2 ? 24 : 30;
    b->SetBounds(10, 150, w, hgt);
    RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(20);
    ASSERT_TRUE(b->HasWindowRegion()) << round;
    struct Probe {
      int x, y;
      bool in;
    } probes[] = {{0, 0, false}, {1, 0, true},          {w - 1, 0, false},        {w - 1, 1, true},
                  {0, hgt - 1, false}, {w - 1, hgt - 1, false}, {w / 2, hgt / 2, true}, {w - 2, hgt - 1, true}};
    for (const Probe& p : probes) EXPECT_EQ(inRegion(p.x, p.y), p.in) << round << ": " << p.x << "," << p.y;
    EXPECT_EQ(Harness::Probe(b, 3, 3), ButtonN) << round;
    // What the 100 x 30 button covered shows the form once it is smaller.
    if (w == 80) {
      EXPECT_EQ(SurfacePixel(h.form->Handle(), 10 + 90, 150 + 27), h.FormColour()) << round;
    }
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  // A skin refresh takes the region away; the next paint makes it again.
  refresh();
  EXPECT_FALSE(inRegion(0, 0) || inRegion(5, 5));
  UpdateWindow(b->Handle());
  Pump(10);
  EXPECT_TRUE(b->HasWindowRegion() && inRegion(5, 5) && !inRegion(0, 0));

  // Staleness: a fresh cache is copied as it is; the button's own tag byte or its parent's repaints it.
  bool parentTag = false;
  const gui::TWndMethod formProc = h.form->WindowProc;
  h.form->WindowProc = [&parentTag, &formProc](gui::TMessage& m) {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_GETTAGBYTE && parentTag) {
      m.Result = 1;
      return;
    }
    formProc(m);
  };
  auto repaintsAfter = [&](auto&& change) {
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    paints = 0;
    change();
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return paints;
  };
  EXPECT_EQ(repaintsAfter([] {}), 0);
  EXPECT_EQ(repaintsAfter([b] { b->SkinData().PaintSkipped = 1; }), 1);
  EXPECT_EQ(repaintsAfter([&parentTag] { parentTag = true; }), 1);
  parentTag = false;
  EXPECT_EQ(repaintsAfter([b] { b->SetMargin(2); }), 1);
  h.form->WindowProc = formProc;
}

// Linked to an action, the skinned buttons take its image index (unless set already while loading), and show the
// disabled look while the action is disabled, even when the control itself is enabled again.
TEST(SkinnedButtons, ActionsGiveTheirImageIndexAndDisabledLook) {
  NoAnimations still;
  Harness h;
  auto* action = new gui::TAction(h.form);
  action->SetCaption("Act");
  action->SetImageIndex(2);
  h.button->SetAction(action);
  h.bit->SetAction(action);
  h.speed->SetAction(action);
  EXPECT_EQ(h.button->ImageIndex(), 2);
  EXPECT_EQ(h.bit->ImageIndex(), 2);
  EXPECT_EQ(h.speed->ImageIndex(), 2);
  action->SetImageIndex(0);
  EXPECT_EQ(h.button->ImageIndex(), 0);
  EXPECT_EQ(h.bit->ImageIndex(), 0);
  EXPECT_EQ(h.speed->ImageIndex(), 0);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
  action->SetEnabled(false);
  EXPECT_FALSE(h.button->Enabled());
  EXPECT_TRUE(DisabledLook(Harness::Probe(h.button, 3, 3), ButtonN));
  h.button->SetEnabled(true);
  h.speed->SetEnabled(true);
  EXPECT_TRUE(DisabledLook(Harness::Probe(h.button, 3, 3), ButtonN)) << "the action is still disabled";
  EXPECT_TRUE(DisabledLook(h.FormPixel(h.speed, 3, 3), ButtonN));
  action->SetEnabled(true);
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
  EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonN);
  // Linked while loading, an index the button has already is kept.
  auto* loaded = new TsSpeedButton(h.form);
  loaded->SetImageIndex(5);
  loaded->BeginLoading();
  loaded->SetAction(action);
  loaded->EndLoading();
  EXPECT_EQ(loaded->ImageIndex(), 5);
}

// While the region lock is held the window is not cut at the border's corners; the first paint after it is
// released cuts it.
TEST(SkinnedButtons, RegionLockPutsTheCutOffUntilItIsReleased) {
  NoAnimations still;
  Harness h(true, true);
  TsBitBtn* b = new TsBitBtn(h.form);
  b->SkinData().SkinSection = "BUTTON_HUGE";
  b->SetParent(h.form);
  b->SetBounds(10, 150, 100, 30);
  b->SetText("Huge");
  const LPARAM manager = reinterpret_cast<LPARAM>(b->SkinData().SkinManager());
  {
    ButtonRegionLockScope lock;
    b->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), manager);  // the region taken away
    Pump(20);
    EXPECT_FALSE(b->HasWindowRegion());
    EXPECT_EQ(Harness::Probe(b, 30, 15), ButtonN);  // painted and printed, the corners drawn over the form
    EXPECT_FALSE(b->HasWindowRegion());
  }
  EXPECT_EQ(ButtonRegionLock(), 0);
  InvalidateRect(b->Handle(), nullptr, FALSE);
  UpdateWindow(b->Handle());
  EXPECT_TRUE(b->HasWindowRegion());
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(b->Handle(), r), ERROR);
  EXPECT_FALSE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, 30, 15));
  DeleteObject(r);
}

// A speed button repainted on its own keeps the graphic controls that lie over it on top, and shows a new glyph at
// once.
TEST(SkinnedButtons, SpeedButtonRepaintKeepsControlsAboveAndShowsANewGlyph) {
  NoAnimations still;
  Harness h;
  // Plain speed buttons (opaque graphic controls): one under the skinned button's left end, one over its right end.
  auto plain = [&h](int x) {
    auto* c = new gui::TSpeedButton(h.form);
    c->SetParent(h.form);
    c->SetBounds(x, 185, 40, 20);
    return c;
  };
  plain(280);
  auto* s = new TsSpeedButton(h.form);
  s->SetParent(h.form);
  s->SetBounds(300, 180, 90, 30);
  plain(370);
  RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(20);
  const HWND f = h.form->Handle();
  const uint32_t over = SurfacePixel(f, 380, 195);
  ASSERT_NE(over, ButtonN);
  s->SkinData().BGChanged = true;
  s->RepaintRequest();
  EXPECT_EQ(SurfacePixel(f, 380, 195), over);
  EXPECT_EQ(SurfacePixel(f, 310, 195), ButtonN);
  EXPECT_EQ(SurfacePixel(f, 340, 182), ButtonN);

  gui::TBitmap glyph;
  glyph.SetPixelFormat(gui::TPixelFormat::pf24bit);
  glyph.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = glyph.ScanLine(y) + x * 3;
      const bool corner = x == 0 && y == 15;
      p[0] = corner ? 0 : 0xE0, p[1] = corner ? 0 : 0x20, p[2] = corner ? 0 : 0x10;
    }
  s->Glyph().Assign(glyph);  // no repaint asked for: the glyph's change handler repaints
  const TRect r = s->GlyphRect(false);
  ASSERT_GT(r.Width(), 0);
  EXPECT_EQ(SurfacePixel(f, 300 + (r.Left + r.Right) / 2, 180 + (r.Top + r.Bottom) / 2), 0xE02010u);
  EXPECT_EQ(SurfacePixel(f, 380, 195), over);
}

// A graphic control that notes, at each paint, whether it paints a copy of itself into another's picture.
class PaintNoter : public gui::TSpeedButton {
 public:
  using gui::TSpeedButton::TSpeedButton;
  std::vector<bool> copies;

 protected:
  void Paint() override {
    copies.push_back((ControlState() & gui::csPaintCopy) != 0);
    gui::TSpeedButton::Paint();
  }
};

// A speed button's own repaint paints the controls over it as copies (flagged only meanwhile); the manager follows
// the speed button under the mouse, and the one it followed before leaves its hover look.
TEST(SkinnedButtons, SpeedButtonPaintsCopiesAboveAndManagerTracksTheHoveredOne) {
  NoAnimations still;
  Harness h;
  auto* s = new TsSpeedButton(h.form);
  s->SetParent(h.form);
  s->SetBounds(300, 180, 90, 30);
  auto* over = new PaintNoter(h.form);
  over->SetParent(h.form);
  over->SetBounds(370, 185, 40, 20);
  RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(20);
  over->copies.clear();
  s->SkinData().BGChanged = true;
  s->RepaintRequest();
  EXPECT_EQ(over->copies, std::vector<bool>{true});
  EXPECT_EQ(over->ControlState() & gui::csPaintCopy, 0u);
  RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(10);
  ASSERT_FALSE(over->copies.empty());
  EXPECT_FALSE(over->copies.back()) << "its own paint is no copy";

  h.speed->Perform(gui::CM_MOUSEENTER);
  EXPECT_EQ(h.manager->TrackedControl(), h.speed);
  EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonH);
  // The mouse reaches the next button before the first heard it leave.
  s->Perform(gui::CM_MOUSEENTER);
  EXPECT_EQ(h.manager->TrackedControl(), s);
  EXPECT_EQ(h.FormPixel(h.speed, 3, 3), ButtonN) << "the one followed before is left";
  EXPECT_EQ(h.FormPixel(s, 3, 3), ButtonH);
  h.speed->Perform(gui::CM_MOUSELEAVE);  // late: nothing of the followed one changes
  EXPECT_EQ(h.manager->TrackedControl(), s);
  s->Perform(gui::CM_MOUSELEAVE);
  EXPECT_EQ(h.manager->TrackedControl(), nullptr);
  EXPECT_EQ(h.FormPixel(s, 3, 3), ButtonN);
}

// A parent whose own picture is not painted yet cannot give what lies under its buttons: they leave their caches
// stale (the paint noted as incomplete) until it can. A parent that holds its repaints holds a pushed button's
// repaint of code 6 too; once it lets go, code 6 repaints.
TEST(SkinnedButtons, ButtonsWaitForTheirParentsPictureAndRepaintLock) {
  NoAnimations still;
  Harness h;
  bool notReady = false, locked = false;
  const gui::TWndMethod formProc = h.form->WindowProc;
  h.form->WindowProc = [&](gui::TMessage& m) {
    const uint16_t code = m.Msg == WM_SKINCOMMAND ? SkinCommandCode(m.WParam) : 0;
    if (code == AC_GETBACKGROUND && notReady) {
      reinterpret_cast<BackgroundInfo*>(m.LParam)->BgType = btNotReady;
      return;
    }
    if (code == AC_ISUPDATELOCKED && locked) {
      m.Result = 1;
      return;
    }
    formProc(m);
  };
  int paints = 0;
  h.bit->OnPaint = [&paints](gui::TObject*, Bitmap&) { ++paints; };
  Pump(20);
  notReady = true;
  h.button->SkinData().PaintSkipped = 0;
  EXPECT_FALSE(h.button->PaintCache());
  EXPECT_TRUE(h.button->SkinData().BGChanged);
  EXPECT_EQ(h.button->SkinData().PaintSkipped, 1);
  EXPECT_FALSE(h.speed->PrepareCache());
  EXPECT_TRUE(h.speed->SkinData().BGChanged);
  notReady = false;
  EXPECT_TRUE(h.button->PaintCache());
  EXPECT_TRUE(h.speed->PrepareCache());
  EXPECT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);

  const WPARAM flush = SkinCommandWParam(AC_FLUSHREPAINT);
  int speedPaints = 0;
  h.speed->OnPaint = [&speedPaints](gui::TObject*, Bitmap&) { ++speedPaints; };
  locked = true;
  paints = 0;
  SendMessageA(h.bit->Handle(), WM_SKINCOMMAND, flush, 0);
  h.speed->SkinData().BGChanged = true;
  h.speed->RepaintRequest();
  EXPECT_EQ(paints, 0);
  EXPECT_EQ(speedPaints, 0);
  locked = false;
  AnimationInProgress() = 1;  // a skin change holds every repaint back
  h.speed->RepaintRequest();
  AnimationInProgress() = 0;
  EXPECT_EQ(speedPaints, 0);
  SendMessageA(h.bit->Handle(), WM_SKINCOMMAND, flush, 0);
  h.speed->Perform(WM_SKINCOMMAND, flush, 0);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(speedPaints, 1);
  h.form->WindowProc = formProc;
}

// Asked to erase its background, a push button shows its cache there when it is up to date, and leaves nothing to
// the default erase.
TEST(SkinnedButtons, EraseShowsTheCache) {
  NoAnimations still;
  Harness h;
  const HWND b = h.button->Handle();
  ASSERT_EQ(Harness::Probe(h.button, 3, 3), ButtonN);
  HDC dc = GetDC(b);
  for (const bool stale : {false, true}) {
    h.button->SkinData().BGChanged = stale;
    PatBlt(dc, 0, 0, h.button->Width(), h.button->Height(), BLACKNESS);
    EXPECT_EQ(SendMessageA(b, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0) << stale;
    // A stale cache is left to the paint that follows.
    EXPECT_EQ(GetPixel(dc, 3, 3), stale ? COLORREF(0) : COLORREF(ButtonN)) << stale;
    EXPECT_EQ(h.button->SkinData().BGChanged, stale);
  }
  ReleaseDC(b, dc);
}

// A bit button's colour tone takes its face, not the glyph over it; OnPaint sees the finished picture (disabled look
// included); with an image list the glyph is one of NumGlyphs cells of the list's image.
TEST(SkinnedButtons, BitButtonToneUnderItsGlyphAndOnPaintLast) {
  NoAnimations still;
  Harness h;
  TsBitBtn* b = h.bit;
  b->SkinData().ColorTone = 0x0000FF;
  b->RepaintNow();
  const TRect g = b->GlyphRect(0);
  ASSERT_GT(g.Width(), 0);
  EXPECT_EQ(Harness::Probe(b, (g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2), 0xE02010u);
  EXPECT_NE(Harness::Probe(b, 3, 3), ButtonN) << "the face is toned";
  b->SkinData().ColorTone = clNone;
  uint32_t seen = 0;
  b->OnPaint = [&seen](gui::TObject*, Bitmap& cache) { seen = GetPixel32(cache, 3, 3) & 0xFFFFFF; };
  b->SetEnabled(false);
  const uint32_t shown = Harness::Probe(b, 3, 3);
  EXPECT_TRUE(DisabledLook(shown, ButtonN));
  EXPECT_EQ(((seen & 0xFF) << 16) | (seen & 0xFF00) | ((seen >> 16) & 0xFF), shown);

  auto* images = new gui::TImageList(h.form);
  images->SetSize(32, 16);
  gui::TBitmap strip;
  strip.SetPixelFormat(gui::TPixelFormat::pf32bit);
  strip.SetSize(32, 16);
  images->AddImage32(strip);
  b->SetImages(images);
  b->SetImageIndex(0);
  b->SetNumGlyphs(2);
  EXPECT_EQ(b->GlyphSize().cx, 16);
  EXPECT_EQ(b->GlyphSize().cy, 16);
}

// A property of the look repaints the button when it changes: the push and bit buttons flag their caches stale
// (word wrap not while loading, image properties only with an image list); the speed button paints at once.
TEST(SkinnedButtons, PropertySettersRepaint) {
  NoAnimations still;
  Harness h;
  TsCommonData& push = h.button->SkinData();
  TsCommonData& bit = h.bit->SkinData();
  auto painted = [&h] {
    RedrawWindow(h.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(10);
  };
  painted();
  h.button->SetHotImageIndex(3);
  h.button->SetImageAlignment(TImageAlignment::iaTop);
  EXPECT_FALSE(push.BGChanged) << "no image list";
  h.button->BeginLoading();
  h.button->SetWordWrap(false);
  EXPECT_FALSE(push.BGChanged) << "loading";
  h.button->EndLoading();
  painted();
  h.button->SetContentMargin(3);
  h.bit->SetTextOffset(2);
  EXPECT_TRUE(push.BGChanged && bit.BGChanged);
  int paints = 0;
  h.speed->OnPaint = [&paints](gui::TObject*, Bitmap&) { ++paints; };
  h.speed->SetTextAlignment(gui::TAlignment::taRightJustify);
  EXPECT_EQ(paints, 1);
}

}  // namespace
