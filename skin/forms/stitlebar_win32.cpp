// The title bar's window halves: the menu glyph from the program's resources, the hover window of an item's fade
// and the cursor poll that ends a fade-in when the mouse has left the item.
#include <windows.h>

#include <cstring>
#include <string>

#include "gui/forms.h"
#include "skin/data/imagedecoders.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/stitlebar.h"
#include "skin/painters/text_engine.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

namespace {

constexpr char kHoverClass[] = "TacItemHoverWindow";

void EnsureClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kHoverClass;
  wc.style = 0;  // no CS_DROPSHADOW
  if (RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) registered = true;
}

}  // namespace

void LoadMenuGlyph(Bitmap& glyph) {
  HRSRC r = FindResourceA(nullptr, "MENUBTN", reinterpret_cast<LPCSTR>(RT_BITMAP));
  if (!r) return;
  HGLOBAL g = LoadResource(nullptr, r);
  const void* data = g ? LockResource(g) : nullptr;
  const DWORD size = SizeofResource(nullptr, r);
  if (!data || size < sizeof(BITMAPINFOHEADER)) return;
  // A bitmap resource is a bitmap file without its file header: the header is put back in front.
  const auto* info = static_cast<const BITMAPINFOHEADER*>(data);
  DWORD colours = info->biClrUsed;
  if (colours == 0 && info->biBitCount <= 8) colours = 1u << info->biBitCount;
  DWORD masks = (info->biCompression == BI_BITFIELDS && info->biSize == sizeof(BITMAPINFOHEADER)) ? 12 : 0;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfSize = DWORD(sizeof(file) + size);
  file.bfOffBits = DWORD(sizeof(file) + info->biSize + masks + colours * 4);
  std::string bytes(sizeof(file) + size, '\0');
  std::memcpy(bytes.data(), &file, sizeof(file));
  std::memcpy(bytes.data() + sizeof(file), data, size);
  Bitmap decoded;
  if (!DecodeBmp(bytes.data(), bytes.size(), decoded) || decoded.Empty()) return;
  decoded.SetPixelFormat(pf32bit);
  glyph.Assign(decoded);
}

void ItemHoverShow(TacItemAnimation& anim, const TRect& r, uint8_t alpha) {
  if (!anim.Picture) return;
  HWND h = static_cast<HWND>(anim.HoverWnd);
  HWND owner = static_cast<HWND>(anim.Wnd);
  if (!h) {
    EnsureClass();
    DWORD ex = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    if (anim.Item && anim.Item->Bar().Form() &&
        anim.Item->Bar().Form()->FormStyle() == gui::TFormStyle::fsStayOnTop)
      ex |= WS_EX_TOPMOST;
    h = ledger::CreateWindowEx(ex, kHoverClass, "", WS_POPUP, r.Left, r.Top, r.Width(), r.Height(), owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!h) return;
    anim.HoverWnd = h;
  }
  SetWindowPos(h, HWND_TOP, r.Left, r.Top, r.Width(), r.Height(), SWP_NOACTIVATE);
  const TPoint dst{r.Left, r.Top};
  UpdateLayeredFromBitmap(h, anim.Picture.get(), alpha, &dst);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  anim.ShownAlpha = alpha;
}

void ItemHoverFree(TacItemAnimation& anim) {
  if (HWND h = static_cast<HWND>(anim.HoverWnd)) ledger::DestroyWindow(h);
  anim.HoverWnd = nullptr;
  anim.ShownAlpha = -1;
}

bool ItemAnimCursorLeft(TacItemAnimation& anim) {
  if (anim.Item == nullptr) return false;
  POINT c{};
  GetCursorPos(&c);
  const TPoint tl = anim.Item->Bar().FrameToScreen(TPoint{anim.Item->Rect.Left, anim.Item->Rect.Top});
  const TRect screen{tl.X, tl.Y, tl.X + anim.Item->Rect.Width(), tl.Y + anim.Item->Rect.Height()};
  if (screen.Contains(TPoint{c.x, c.y})) return false;
  anim.SetEnabled(false);
  if (anim.Wnd) SendMessageA(static_cast<HWND>(anim.Wnd), WM_MOUSELEAVE, 0, 0);
  return true;
}

bool MarlettAvailable() {
  static const bool available = FontFamilyInstalled("Marlett");
  return available;
}

}  // namespace skin
