#pragma once
// Small value types of the component layer: colours and geometry (the program's own, from platform/) and the
// enumerations of control properties.
#include <cstdint>

#include "platform/colors.h"
#include "platform/geometry.h"

namespace gui {

// Colours and geometry: the program's one vocabulary (platform/colors.h, platform/geometry.h).
using platform::TColor;
using platform::clNone, platform::clDefault, platform::clSystemColor;
using platform::clScrollBar, platform::clBackground, platform::clActiveCaption, platform::clInactiveCaption,
    platform::clMenu, platform::clWindow, platform::clWindowFrame, platform::clMenuText, platform::clWindowText,
    platform::clCaptionText, platform::clActiveBorder, platform::clInactiveBorder, platform::clAppWorkSpace,
    platform::clHighlight, platform::clHighlightText, platform::clBtnFace, platform::clBtnShadow,
    platform::clGrayText, platform::clBtnText, platform::clInactiveCaptionText, platform::clBtnHighlight,
    platform::cl3DDkShadow, platform::cl3DLight, platform::clInfoText, platform::clInfoBk;
using platform::clBlack, platform::clMaroon, platform::clGreen, platform::clOlive, platform::clNavy,
    platform::clPurple, platform::clTeal, platform::clGray, platform::clSilver, platform::clRed, platform::clLime,
    platform::clYellow, platform::clBlue, platform::clFuchsia, platform::clAqua, platform::clWhite,
    platform::clMoneyGreen, platform::clSkyBlue, platform::clCream, platform::clMedGray;
using platform::ColorToRGB;
using platform::TPoint, platform::TSize, platform::TRect, platform::Rect, platform::Bounds;

// A colour as the layer hands it to GDI and writes it into pixels (a COLORREF): its RGB value (ColorToRGB),
// the three colour bytes only, and black for clNone and clDefault, which name no colour.
inline uint32_t ColorRef(TColor color) {
  if (color == clNone || color == clDefault) return 0;
  return static_cast<uint32_t>(ColorToRGB(color)) & 0x00FFFFFFu;
}

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBorderStyle { bsNone, bsSingle };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// An MDI form (fsMDIForm) holds its MDI children (fsMDIChild) in its client window.
enum class TFormStyle { fsNormal, fsStayOnTop, fsMDIChild, fsMDIForm };
enum class TTileMode { tbHorizontal, tbVertical };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poMainFormCenter };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
enum class TUDBtnType { btNext, btPrev };
enum class TUDOrientation { udHorizontal, udVertical };
enum class TTrackBarOrientation { trHorizontal, trVertical };
enum class TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum class TTickStyle { tsNone, tsAuto, tsManual };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// Border icons of a form (a set).
using TBorderIcons = uint8_t;
inline constexpr TBorderIcons biSystemMenu = 1;
inline constexpr TBorderIcons biMinimize = 2;
inline constexpr TBorderIcons biMaximize = 4;
inline constexpr TBorderIcons biHelp = 8;

// Shift state of a mouse or key event (a set).
using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;

// Modal results.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

}  // namespace gui
