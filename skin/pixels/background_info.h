#pragma once
// What lies under a skinned control: the record a control fills when it asks its parent for its background,
// and the cache record that every painter takes as the parent background.
#include <cstdint>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

// BgType values of BackgroundInfo.
inline constexpr uint8_t btUnknown = 0;  // no answer yet
inline constexpr uint8_t btFill = 1;     // Color holds the background
inline constexpr uint8_t btCache = 2;    // Bmp holds the background at Offset
inline constexpr uint8_t btNotReady = 3; // the parent's image is not painted yet: ask again later

// The question and the answer of a background request. The asker fills R (and DC when it sets PleaseDraw);
// the answering parent fills Bmp, Color, Offset, FillR and BgType. The field order is that of the message record.
struct BackgroundInfo {
  Bitmap* Bmp = nullptr;     // the parent's cached image (may stay empty for a colour answer)
  TColor Color = 0;          // the background colour when BgType is btFill
  TPoint Offset;             // where the asker's area begins inside Bmp
  TRect R;                   // the asker's area, in the asker's coordinates
  TRect FillR;               // margins of Bmp that hold valid pixels when the answer is a colour
  uint8_t BgType = btUnknown;
  uint8_t PleaseDraw = 0;    // when nobody answers, let the parent paint itself into DC
  void* DC = nullptr;        // device context for PleaseDraw
};

// The parent background as the painters take it.
struct CacheInfo {
  Bitmap* Bmp = nullptr;     // parent image, or none
  int32_t X = 0;             // position of the painted area's origin inside Bmp
  int32_t Y = 0;
  TColor FillColor = KeyColor;  // colour where Bmp has no valid pixels; 0xFF00FF = no colour
  TRect FillRect;            // valid margins of Bmp (Left, Top, Right, Bottom widths) when Ready is false
  bool Ready = false;        // Bmp holds the whole background at (X, Y)
};

// No parent background. Never written.
inline constexpr CacheInfo EmptyCacheInfo{nullptr, -99, -99, KeyColor, TRect{}, false};

// The ready form: the background is Bmp at (X, Y).
inline void CacheInfoFromBitmap(Bitmap* bmp, int32_t x, int32_t y, CacheInfo& info) {
  info = CacheInfo{bmp, x, y, KeyColor, TRect{}, true};
}
inline CacheInfo CacheInfoFromBitmap(Bitmap* bmp, int32_t x, int32_t y) {
  CacheInfo info;
  CacheInfoFromBitmap(bmp, x, y, info);
  return info;
}

// A parent's answer turned into the painters' record: a bitmap answer gives the ready form; any other keeps the
// bitmap and its valid margins with the colour resolved to RGB, not ready.
void BackgroundToCacheInfo(const BackgroundInfo& info, CacheInfo& ci);

}  // namespace skin
