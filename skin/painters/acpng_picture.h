#pragma once
// The PNG reader as a picture format of the component layer: a graphic that holds a TPNGGraphic, registered for
// the extension "png", so that a picture loaded from a ".png" file is read by the PNG reader and drawn with its
// alpha channel.
#include <string>

#include "gui/graphics.h"
#include "skin/pixels/acpng.h"

namespace skin {

inline constexpr const char* PngFileExtension = "png";
inline constexpr const char* PngFileDescription = "Portable network graphics (Station skins)";

class TPNGPicture : public gui::TGraphic {
 public:
  const char* ClassName() const override { return "TPNGGraphic"; }

  int Width() const override { return Image.Width(); }
  int Height() const override { return Image.Height(); }
  bool Empty() const override { return Image.Empty(); }
  // Raises the PNG reader's errors as the component layer's EInvalidGraphic (with the reader's message).
  void LoadFromBytes(const std::string& bytes) override;
  // A 32-bit image: the canvas area under rect (with, for a Reflected image, h div 2 rows more) is copied into a
  // work bitmap, the image blended into it (DrawInto) and the work bitmap copied back at rect's top-left. Any
  // other image is drawn as a plain bitmap (stretched, and through its transparent colour when it has one).
  void Draw(gui::TCanvas& canvas, const gui::TRect& rect) const override;

  TPNGGraphic Image;
};

// The unit's start and end: the registration of TPNGPicture for "png", and its removal.
void RegisterPngFileFormat();
void UnregisterPngFileFormat();

}  // namespace skin
