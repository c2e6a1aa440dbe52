#pragma once
// Small services of the form provider around the window system: the desktop composition functions bound at
// run time (the program starts and runs where they are missing: every call then does nothing, or answers
// false or E_NOTIMPL), the taskbar's window, the window region that cuts the skin's transparent corners out of
// a form, snapshots of a skinned form for thumbnails and animations, and the size grip.
#include <cstdint>
#include <memory>
#include <vector>

#include "skin/forms/sskinprovider.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace skin {

// ---- Desktop composition (DWMAPI.DLL, Windows 6 and later).
// Loads DWMAPI.DLL when not loaded yet; true when it is loaded.
bool LoadDwmLibrary();
// True on Windows 6+ when DwmIsCompositionEnabled exists, succeeds and reports composition on (asked each time).
bool DwmCompositionEnabled();
// Whether the thumbnail entry points are bound (DwmSetIconicThumbnail and DwmSetIconicLivePreviewBitmap).
bool DwmThumbnailsAvailable();
// DwmSetWindowAttribute, or E_NOTIMPL (0x80004001) when the entry point is missing.
int32_t DwmSetWindowAttributeFor(void* window, uint32_t attribute, const void* data, uint32_t size);
// DWMWA_TRANSITIONS_FORCEDISABLED: value when composition is on, else fallback.
void DwmSetTransitionsDisabled(void* window, bool value, bool fallback);
void DwmInvalidateIconicBitmapsFor(void* window);
#ifdef _WIN32
// DwmEnableBlurBehindWindow with a region (deleted afterwards) or none.
void DwmEnableBlurFor(HWND window, bool enable, HRGN region);
#endif
// The answers to the composition manager's thumbnail requests.
bool ProviderSendIconicThumbnail(void* window, TsSkinProvider& p, int32_t maxWidth, int32_t maxHeight);
bool ProviderSendIconicLivePreview(void* window, TsSkinProvider& p);
// The size of a picture scaled to fit maxWidth x maxHeight keeping its aspect ratio.
TSize ThumbnailSize(int32_t width, int32_t height, int32_t maxWidth, int32_t maxHeight);
// Drops a form's record from the thumbnail table.
void DropThumbnailRecord(const gui::TCustomForm* form);

// ---- Windows.
void* TaskbarWindow();
void* TopmostHandle();

// ---- Regions.
// The transparent rectangles of the frame: the key-colour runs of the corners of the FORM section's border
// image, and of the title section's border image over the caption.
void ProviderCollectRegionRects(TsSkinProvider& p);
#ifdef _WIN32
// A region of the frame's size at (dx, dy) less every collected rectangle (owned by the caller).
HRGN ProviderBuildRegion(TsSkinProvider& p, int32_t dx, int32_t dy);
#endif
// Sets the form window's region (Windows; natively nothing).
void ProviderUpdateRegion(TsSkinProvider& p, bool redraw);

// ---- Snapshots.
// A 32-bit copy of the frame cache with the form's child controls painted in; without a border window every
// pixel opaque. freeCache frees the cache afterwards. nullptr without a cache.
std::unique_ptr<Bitmap> ProviderFormSnapshot(TsSkinProvider& p, bool freeCache);

// What the form shows over its frame cache, painted into a copy of it: its graphic controls, its scroll bars and its
// visible child windows at their places, as the form's show picture prints them (nothing natively).
void PaintFormChildren(TsSkinProvider& p, Bitmap& bmp);
#ifdef _WIN32
// A hidden, topmost, non-activating layered window over a window's rectangle showing a copy of the window (owned by
// the caller, who destroys it with ledger::DestroyWindow).
HWND CreateSnapshotCoverForm(HWND window);
#endif

// ---- Grip.
#ifdef _WIN32
void ProviderPaintGrip(HDC dc, TsSkinProvider& p);
#endif

}  // namespace skin
