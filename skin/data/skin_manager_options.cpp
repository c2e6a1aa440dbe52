#include "skin/data/skin_manager_options.h"

#include "skin/data/sskinmanager.h"

namespace skin {

void SetSkinOptionFlag(TacOptions& options, int index, bool value) {
  switch (index) {
    case ofCheckEmptyAlpha: options.CheckEmptyAlpha = value; break;
    case ofNoMouseHover: options.NoMouseHover = value; break;
    case ofNativeBordersMaximized: options.NativeBordersMaximized = value; break;
    case ofStdGlyphsOrder: options.StdGlyphsOrder = value; break;
    case ofChangeSysColors: options.ChangeSysColors = value; break;
    default: break;
  }
}

TsStoredSkin::TsStoredSkin() = default;

void TsStoredSkin::Assign(const TsStoredSkin& source) {
  if (&source == this) return;
  Data.Clear();
  Data.WriteBuffer(source.Data.Memory(), int64_t(source.Data.View().size()));
  Data.SetPosition(0);
  MasterBitmap.Assign(source.MasterBitmap);
  Name = source.Name;
  Shadow1Color = source.Shadow1Color;
  Shadow1Offset = source.Shadow1Offset;
  Shadow1Blur = source.Shadow1Blur;
  Shadow1Transparency = source.Shadow1Transparency;
  BorderColor = source.BorderColor;
  Version = source.Version;
  Author = source.Author;
  Description = source.Description;
}

TsStoredSkin& TsStoredSkins::Add() {
  items_.push_back(std::make_unique<TsStoredSkin>());
  Update();
  return *items_.back();
}

void TsStoredSkins::Delete(int index) {
  if (index < 0 || size_t(index) >= items_.size()) return;
  items_.erase(items_.begin() + index);
  Update();
}

void TsStoredSkins::Clear() {
  items_.clear();
  Update();
}

int TsStoredSkins::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->Name == name) return int(i);
  return -1;
}

void TsStoredSkins::Update() {
  if (owner_ && owner_->OnSkinListChanged) owner_->OnSkinListChanged(*owner_);
}

}  // namespace skin
