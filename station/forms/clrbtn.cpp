#include "station/forms/clrbtn.h"

#include "gui/syscolors.h"

namespace forms {

TClrBtn::TClrBtn(gui::TComponent* AOwner) : gui::TButton(AOwner) {}

void TClrBtn::CreateParams(gui::TCreateParams& p) {
  gui::TButton::CreateParams(p);
  isDefault_ = Default() ? 1 : 0;
  p.Style = (p.Style & ~DWORD(0x000F)) | 0x000B;  // BS_OWNERDRAW in place of the push-button type
}

void TClrBtn::WndProc(gui::TMessage& m) {
  switch (m.Msg) {
    case gui::CN_DRAWITEM:
      DrawItem(reinterpret_cast<void*>(m.LParam));
      m.Result = 1;
      return;
    case WM_LBUTTONDBLCLK:
      // A double click is a second press.
      Perform(WM_LBUTTONDOWN, m.WParam, m.LParam);
      return;
    case 0x00F4: {  // BM_SETSTYLE: record the default state, keep the owner-drawn style
      const bool isDefault = (m.WParam & 0x000F) == 0x0001;
      if (uint8_t(isDefault) != isDefault_) {
        isDefault_ = isDefault ? 1 : 0;
        Invalidate();
      }
      m.WParam = (m.WParam & ~WPARAM(0x000F)) | 0x000B;
      break;
    }
    case gui::CM_COLORCHANGED:
    case gui::CM_ENABLEDCHANGED:
    case gui::CM_TEXTCHANGED:
    case gui::CM_FONTCHANGED:
      Invalidate();
      break;
    default:
      break;
  }
  gui::TButton::WndProc(m);
}

void TClrBtn::DrawItem(void* data) {
#ifdef _WIN32
  auto* di = static_cast<DRAWITEMSTRUCT*>(data);
  if (!di) return;
  // The face is the button's own colour: its frame and caption keep the system's colours, which are made for
  // it, rather than a skin's (a dark skin's light text would vanish on the light faces).
  gui::SystemColoursOnly systemColours;
  HDC dc = di->hDC;
  canvas_.SetHandle(dc);
  RECT r = di->rcItem;
  RECT client{0, 0, width_, height_};
  if (handle_) GetClientRect(handle_, &client);
  const bool pressed = (di->itemState & ODS_SELECTED) != 0;
  const bool focused = (di->itemState & ODS_FOCUS) != 0;
  const bool itemDisabled = (di->itemState & ODS_DISABLED) != 0;
  const bool isDefault = isDefault_ != 0;

  UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
  if (pressed) flags |= DFCS_PUSHED;
  if (itemDisabled) flags |= DFCS_INACTIVE;

  auto frame = [&](gui::TColor c) {
    HBRUSH b = CreateSolidBrush(gui::ColorRef(c));
    FrameRect(dc, &r, b);
    DeleteObject(b);
    InflateRect(&r, -1, -1);
  };
  if (isDefault || focused) frame(gui::clWindowFrame);
  if (pressed)
    frame(gui::clBtnShadow);
  else
    DrawFrameControl(dc, &r, DFC_BUTTON, flags);

  HBRUSH face = CreateSolidBrush(gui::ColorRef(Color()));
  FillRect(dc, &r, face);
  DeleteObject(face);
  InflateRect(&r, 1, 1);
  if (isDefault) {
    r = client;
    InflateRect(&r, -1, -1);
  }
  if (pressed) OffsetRect(&r, 1, 1);

  const std::string text = Caption();
  if (!text.empty()) {
    HGDIOBJ oldFont = SelectObject(dc, font_.Handle());
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (!enabled_) {
      RECT shifted = r;
      OffsetRect(&shifted, 1, 1);
      SetTextColor(dc, gui::ColorRef(gui::clBtnHighlight));
      DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
      SetTextColor(dc, gui::ColorRef(gui::clBtnShadow));
      DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    } else {
      SetTextColor(dc, gui::ColorRef(font_.Color()));
      DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    }
    SelectObject(dc, oldFont);
  }
  if (isDefault && focused) {
    RECT fr = client;
    InflateRect(&fr, -4, -4);
    DrawFocusRect(dc, &fr);
  }
  canvas_.SetHandle(nullptr);
#else
  (void)data;
#endif
}

}  // namespace forms
