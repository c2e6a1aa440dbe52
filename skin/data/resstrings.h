#pragma once
// The library's resource strings of the skin selection dialog and the skin preview.
#include <cstdint>
#include <string_view>

namespace skin {

struct ResourceString {
  uint16_t Id;
  std::string_view Text;
};

inline constexpr ResourceString SRootCaption{65293, "Root:"};
inline constexpr ResourceString SDirWithSkins{65294, "Directory with skins:"};
inline constexpr ResourceString SSelectSkin{65295, "Select skin"};
inline constexpr ResourceString SSkinPreview{65264, "Skin preview"};

}  // namespace skin
