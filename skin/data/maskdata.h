#pragma once
// Frame geometry of a skin image: an image holds ImageCount states side by side and, by its MaskType, one or
// more frames one above the other (-1 no frame, 0 one frame of the whole height, 1 image and mask of half
// the height each, n: n + 1 frames). Nothing here divides by zero.
//
// The record forms take any image record with a rectangle (`R` or `SourceRect`), `ImageCount` and `MaskType`.
#include <cstdint>

#include "skin/data/generalutils.h"

namespace skin {

// Width of one state: 0 for ImageCount 0, the whole width for 1, else width div ImageCount.
constexpr int32_t ImageStateWidth(const TRect& R, uint16_t ImageCount) {
  if (ImageCount == 0) return 0;
  if (ImageCount == 1) return RectWidth(R);
  return RectWidth(R) / int32_t(ImageCount);
}

// Height of one frame: MaskType -1 (or any negative value) gives 0, 0 the whole height, 1 half of it
// (rounded toward zero), n > 1 height div (n + 1).
constexpr int32_t ImageFrameHeight(const TRect& R, int16_t MaskType) {
  if (MaskType < 0) return 0;
  if (MaskType == 0) return RectHeight(R);
  if (MaskType == 1) return RectHeight(R) / 2;
  return RectHeight(R) / (int32_t(MaskType) + 1);
}

constexpr TSize ImageStateSize(const TRect& R, uint16_t ImageCount, int16_t MaskType) {
  return TSize{ImageStateWidth(R, ImageCount), ImageFrameHeight(R, MaskType)};
}

namespace detail {
template <class Image>
constexpr const TRect& imageRect(const Image& image) {
  if constexpr (requires { image.SourceRect; })
    return image.SourceRect;
  else
    return image.R;
}
}  // namespace detail

template <class Image>
constexpr int32_t ImageStateWidth(const Image& image) {
  return ImageStateWidth(detail::imageRect(image), uint16_t(image.ImageCount));
}
template <class Image>
constexpr int32_t ImageFrameHeight(const Image& image) {
  return ImageFrameHeight(detail::imageRect(image), int16_t(image.MaskType));
}
template <class Image>
constexpr TSize ImageStateSize(const Image& image) {
  return TSize{ImageStateWidth(image), ImageFrameHeight(image)};
}

}  // namespace skin
