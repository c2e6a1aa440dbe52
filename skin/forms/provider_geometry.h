#pragma once
// The measures of a skinned form's window (caption height, frame widths, menu line, client offsets, the width
// the caption buttons take, the size of each button image) and the title bar's layout: where the title icon,
// the system buttons (close, maximize or restore, minimize, help) and the user title buttons stand. All take
// the provider and read its form, its skin data, the skin's image records and the window (form_window.h); none
// paints. Coordinates are those of the form's window, or of the extended-border window when the provider has
// one (the frame cache's coordinates in both cases).
#include <cstdint>

#include "skin/forms/sskinprovider.h"
#include "skin/pixels/geometry.h"

namespace skin {

// ---- Frame widths and heights of the form's window (the skin's values only with a border window).
// The skin's BORDERWIDTH when skinned and the provider has a border window; else the system frame of a
// sizeable window (SM_CXFRAME), of a bordered one (SM_CXFIXEDFRAME), or 0.
int32_t FormBorderWidth(const TsSkinProvider& p, bool skinned);
// 0 with a border window, else FormBorderWidth.
int32_t FormBorderWidthIfNoSkin(const TsSkinProvider& p, bool skinned);
// SM_CYSMCAPTION for the tool-window border styles unless iconic, else SM_CYCAPTION (both read once).
int32_t FormCaptionHeight(const TsSkinProvider& p);
// The skin's title height with a border window, else the system caption height.
int32_t SkinTitleHeight(const TsSkinProvider& p);
// The skin's border width with a border window, else the system frame width.
int32_t SkinBorderWidth(const TsSkinProvider& p);
// Skinned caption height - system caption height - system frame width.
int32_t FormTitleHeightDelta(const TsSkinProvider& p);
// Skin border width - system frame width (0 without a border window).
int32_t FormBorderExtraWidth(const TsSkinProvider& p);
// The form's own inner border inside its frame (the component layer's forms have none: 0).
int32_t FormInnerBorderWidth(const TsSkinProvider& p);
// The form's BorderStyle is not bsNone, or its window is a child window.
bool ProviderFormHasBorder(const TsSkinProvider& p);
bool HasThickFrame(const TsSkinProvider& p);
// GripMode gmRightBottom, the form not zoomed, its window sizeable.
bool ProviderGripVisible(const TsSkinProvider& p);
bool SkinImageIsSingleState(const TsSkinProvider& p, int32_t imageIndex);

// ---- Measures.
int32_t ProviderSystemCaptionHeight(const TsSkinProvider& p);
int32_t ProviderCaptionHeight(const TsSkinProvider& p, bool askSkin);
int32_t ProviderExtraTitleHeight(const TsSkinProvider& p, bool maximized);
// The skin's extended-border margins with a border window, else (0, 0, 0, 0).
TRect ProviderExtBorderMargins(const TsSkinProvider& p);
bool ProviderUseExtBorders(const TsSkinProvider& p);
int32_t ProviderBottomFrame(const TsSkinProvider& p, bool skinned);
int32_t ProviderSideFrame(const TsSkinProvider& p, bool skinned);
bool ProviderHasMenuLine(const TsSkinProvider& p);
bool ProviderMenuHasVisibleItems(const TsSkinProvider& p);
int32_t ProviderMenuLineHeight(const TsSkinProvider& p);
// The number of menu-bar rows (cached until MenuLineCountCache is reset to -1).
int32_t ProviderMenuLineCount(TsSkinProvider& p);
int32_t ProviderTopNonClient(TsSkinProvider& p);
int32_t ProviderClientLeft(const TsSkinProvider& p);
int32_t ProviderClientTop(TsSkinProvider& p);
int32_t ProviderCacheWidth(const TsSkinProvider& p);
// The frame cache's height (see frame_paint.h).
int32_t ProviderCacheHeight(TsSkinProvider& p);
TPoint ProviderFormOrigin(const TsSkinProvider& p);
TPoint ProviderScreenToWindow(const TsSkinProvider& p, int32_t x, int32_t y);
bool ProviderHasSystemMenu(const TsSkinProvider& p);
int32_t ProviderSystemButtonCount(const TsSkinProvider& p);
// The width of a system button: 21 when its image is invalid; with an image of its own bitmap, that width per
// state; else the image's state width. An image without states counts as the default width.
int32_t ProviderTitleButtonWidth(const TsSkinProvider& p, const TitleButtonRecord& button);
int32_t ProviderCloseButtonHeight(const TsSkinProvider& p);
int32_t ProviderMDIButtonWidth(const TsSkinProvider& p);
int32_t ProviderMDIButtonHeight(const TsSkinProvider& p);
int32_t ProviderUserButtonWidth(const TsSkinProvider& p, const TsTitleButton& button);
int32_t ProviderButtonsWidth(const TsSkinProvider& p);
int32_t ProviderCaptionReserve(const TsSkinProvider& p, int32_t imageIndex);
bool ProviderShowMDIChildButtons(const TsSkinProvider& p);
TPoint ProviderGripOrigin(const TsSkinProvider& p);
// The same corner in the form window's coordinates: with a border window the frame cache begins at the border
// window's top-left, so the corner moves by the border window's frame and margins.
TPoint ProviderGripWindowOrigin(const TsSkinProvider& p);
// The sizing grip answers for a point of the form's window (window coordinates): the skin has a grip image, and
// either the form shows its grip (GripMode) or its scroll adapter shows both bars and the point lies in the box
// between them; the point lies right of and below the grip's corner.
bool ProviderGripAt(const TsSkinProvider& p, const TPoint& windowPoint);
int32_t SnapOffset(int32_t x, int32_t a, int32_t tolerance);
gui::TWinControl* FindControlByDlgID(int32_t id, gui::TWinControl* parent);

// ---- The title bar.
int32_t ProviderCaptionTopOffset(const TsSkinProvider& p);
int32_t ProviderSkinTitleHeight(const TsSkinProvider& p, bool maximizedHeight);
bool TitleIconShown(const TsSkinProvider& p);
int32_t TitleIconWidth(const TsSkinProvider& p);
int32_t TitleIconHeight(const TsSkinProvider& p);
int32_t DefaultIconSize(int32_t captionHeight);
// Places every caption element (the rectangles of the button records, the icon rectangle, the centre line).
void ProviderLayoutTitle(TsSkinProvider& p);
// One button left of the running right edge x (user button: button is not nil).
void PlaceTitleButton(TsSkinProvider& p, TitleButtonRecord& record, int32_t& counter, const TsTitleButton* button,
                      int32_t& x);

// The provider's button record with that hit code (8, 9, 20, 21, 101, 102, 103; 1000 + n for the n-th user
// button when n is below the count), or nullptr.
TitleButtonRecord* ProviderButtonRecord(TsSkinProvider& p, int32_t code);

}  // namespace skin
