#include "skin/painters/acalphaimagelist.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

#include "skin/data/imagedecoders.h"
#include "skin/pixels/acpng.h"
#include "skin/painters/canvas_bitmap.h"
#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/ico_reader.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

// ---------------------------------------------------------------------------------------------------------
// The binary property of component streams.

void WriteBinaryProperty(std::string& stream, std::string_view bytes) {
  const uint32_t n = uint32_t(bytes.size());
  const char length[4] = {char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char(n >> 24)};
  stream.append(length, 4);
  stream.append(bytes.data(), bytes.size());
}

std::string ReadBinaryProperty(std::string_view stream, size_t& pos) {
  if (pos > stream.size() || stream.size() - pos < 4) throw EReadError();
  const auto* p = reinterpret_cast<const uint8_t*>(stream.data() + pos);
  const uint64_t n = uint64_t(p[0]) | (uint64_t(p[1]) << 8) | (uint64_t(p[2]) << 16) | (uint64_t(p[3]) << 24);
  if (stream.size() - pos - 4 < n) throw EReadError();
  std::string bytes(stream.substr(pos + 4, size_t(n)));
  pos += 4 + size_t(n);
  return bytes;
}

// ---------------------------------------------------------------------------------------------------------
// Items.

void TsImgListItem::ReadData(std::string_view stream, size_t& pos) { ImgData = ReadBinaryProperty(stream, pos); }

void TsImgListItem::WriteData(std::string& stream) const { WriteBinaryProperty(stream, ImgData); }

void TsImgListItem::Assign(const TsImgListItem& Source) {
  if (&Source == this) return;
  ImageFormat = Source.ImageFormat;
  ImageName = Source.ImageName;
  PixelFormat = Source.PixelFormat;
  Text = Source.Text;
  ImgData = Source.ImgData;
  CacheBmp.reset();
}

int TsImgListItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

TsImgListItem& TsImgListItems::Add() {
  FItems.push_back(std::make_unique<TsImgListItem>(this));
  return *FItems.back();
}

void TsImgListItems::Delete(int Index) {
  if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

int TsImgListItems::IndexOf(const TsImgListItem* Item) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == Item) return int(i);
  return -1;
}

// ---------------------------------------------------------------------------------------------------------
// Pixels between the component layer's bitmaps and the painters' bitmaps.

namespace {

// A 32-bit bitmap of the component layer into a 32-bit painters' bitmap of its size.
void FromGuiBitmap32(gui::TBitmap& g, Bitmap& out) {
  out.SetPixelFormat(pf32bit);
  out.SetSize(g.Width(), g.Height());
  for (int32_t y = 0; y < out.Height(); ++y) std::memcpy(out.ScanLine(y), g.ScanLine(y), size_t(out.Width()) * 4);
}

// A decoded picture made 32-bit: a picture without alpha bytes gets them from FixEmptyAlpha.
void Make32WithAlpha(Bitmap& bmp, bool hadAlpha) {
  if (bmp.PixelFormat() != pf32bit) {
    bmp.SetPixelFormat(pf32bit);
    hadAlpha = false;
  }
  if (!hadAlpha) FixEmptyAlpha(bmp);
}

// The system list's copy of a picture: a picture that is not 32-bit is opaque but for the key colour; with a
// background colour the picture is composed over it.
void AppendToSystemList(gui::TCustomImageList& list, const Bitmap* picture, TColor bkColor) {
  gui::TBitmap g;
  if (picture == nullptr || picture->Empty()) {
    // An item that cannot be decoded keeps its place with an empty image.
    g.SetPixelFormat(gui::TPixelFormat::pf32bit);
    g.SetSize(list.Width(), list.Height());
  } else {
    Bitmap work;
    work.Assign(*picture);
    if (work.PixelFormat() != pf32bit) {
      work.SetPixelFormat(pf32bit);
      work.Flush();
      for (int32_t y = 0; y < work.Height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(work.ScanLine(y));
        for (int32_t x = 0; x < work.Width(); ++x) row[x] = row[x] == KeyPixel ? 0u : (row[x] | 0xFF000000u);
      }
    }
    if (bkColor != clNone) {
      Bitmap over(work.Width(), work.Height(), pf32bit);
      FillRectBitmap32(over, TRect{0, 0, work.Width(), work.Height()}, ColorToRGB(bkColor), 255);
      AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, work.Width(), work.Height()}, work, false, 0, clNone, false,
                         EmptyCacheInfo, over);
      work = std::move(over);
    }
    BitmapToGuiBitmap(work, g);
  }
  if (list.AddImage32(g) < 0) throw gui::EInvalidOperation("Cannot add an image to the image list");
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TsAlphaImageList.

TsAlphaImageList::TsAlphaImageList(gui::TComponent* AOwner) : gui::TCustomImageList(AOwner) {}

TsAlphaImageList::~TsAlphaImageList() { Items.Clear(); }

void TsAlphaImageList::AfterConstruction() {
  if (IsLoading()) return;
  HandleNeeded();
  if (!FLoaded) RebuildSystemImageList();
}

void TsAlphaImageList::Loaded() {
  gui::TCustomImageList::Loaded();
  HandleNeeded();
  if (!FLoaded) RebuildSystemImageList();
}

void TsAlphaImageList::SetSize(int w, int h) {
  const bool changed = std::max(w, 1) != Width() || std::max(h, 1) != Height();
  gui::TCustomImageList::SetSize(w, h);
  if (changed && !IsLoading()) {
    HandleNeeded();
    RebuildSystemImageList();
  }
}

void TsAlphaImageList::SetUseCache(bool Value) {
  if (uint8_t(Value) == FUseCache) return;
  FUseCache = Value;
  for (int i = 0; i < Items.Count(); ++i) Items[i].CacheBmp.reset();
}

bool TsAlphaImageList::DecodeItem(const TsImgListItem& Item, Bitmap& Out) const {
  if (Item.ImgData.empty()) return false;
  try {
    switch (Item.ImageFormat) {
      case ifPNG:
        LoadPngMemory(Out, Item.ImgData.data(), Item.ImgData.size());
        Make32WithAlpha(Out, true);
        return !Out.Empty();
      case ifBMP32:
        // A 32-bit file without any alpha shows its bottom-left colour as transparent, like every other picture
        // without alpha.
        DecodeBmp(Item.ImgData.data(), Item.ImgData.size(), Out);
        Make32WithAlpha(Out, false);
        return !Out.Empty();
      case ifICO:
        DecodeIcoFile(Item.ImgData.data(), Item.ImgData.size(), Width(), Height(), Out);
        return !Out.Empty();
    }
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    // A damaged image file: the item draws nothing.
  }
  Out.Clear();
  return false;
}

void TsAlphaImageList::RebuildSystemImageList() {
  if (!HandleAllocated()) return;
  Changing = 1;
  try {
    Clear();
    for (int i = 0; i < Items.Count(); ++i) {
      TsImgListItem& item = Items[i];
      Bitmap picture;
      if (DecodeItem(item, picture)) {
        item.OrigWidth = picture.Width();
        item.OrigHeight = picture.Height();
        AppendToSystemList(*this, &picture, BkColor());
      } else {
        item.OrigWidth = 0;
        item.OrigHeight = 0;
        AppendToSystemList(*this, nullptr, clNone);
      }
    }
    if (Items.Count() > 0) {
      FLoaded = 1;
      if (!KeepItems && !(ComponentState() & gui::csDesigning)) Items.Clear();
    }
  } catch (...) {
    Changing = 0;
    throw;
  }
  Changing = 0;
  Change();
}

std::unique_ptr<Bitmap> TsAlphaImageList::ItemBitmap(int Index, int32_t W, int32_t H, bool WriteCache) {
  if (!HandleAllocated() || Index < 0 || Index >= gui::TCustomImageList::Count() || W <= 0 || H <= 0) return nullptr;
  const bool kept = KeepItems != 0 || (ComponentState() & gui::csDesigning) != 0;
  if (kept && Index < Items.Count() && !Items[Index].ImgData.empty() && Items[Index].ImageFormat != ifICO) {
    TsImgListItem& item = Items[Index];
    if (item.CacheBmp) {
      if (FUseCache && item.CacheBmp->Width() == W && item.CacheBmp->Height() == H) {
        auto copy = std::make_unique<Bitmap>();
        copy->Assign(*item.CacheBmp);
        return copy;
      }
      item.CacheBmp.reset();
    }
    Bitmap decoded;
    if (!DecodeItem(item, decoded)) return nullptr;
    auto result = std::make_unique<Bitmap>();
    if (decoded.Width() == W && decoded.Height() == H)
      *result = std::move(decoded);
    else
      StretchBitmapFiltered(decoded, *result, W, H, rfMitchell);
    if (FUseCache && WriteCache) {
      item.CacheBmp = std::make_unique<Bitmap>();
      item.CacheBmp->Assign(*result);
    }
    return result;
  }
  // Icons, and images whose items were dropped: from the system list.
  gui::TBitmap image;
  if (!GetImage32(Index, image)) return nullptr;
  Bitmap fromList;
  FromGuiBitmap32(image, fromList);
  auto result = NewBitmap32(W, H);
  StretchCopy(*result, TRect{0, 0, W, H}, fromList, TRect{0, 0, fromList.Width(), fromList.Height()});
  return result;
}

std::unique_ptr<Bitmap> TsAlphaImageList::GetItemBitmap32(int Index, int32_t W, int32_t H) {
  return ItemBitmap(Index, W, H, true);
}

bool TsAlphaImageList::GetItemBitmapInto(int Index, Bitmap& Bmp) {
  auto image = ItemBitmap(Index, Bmp.Width(), Bmp.Height(), Bmp.Width() == Width() && Bmp.Height() == Height());
  if (!image) return false;
  Bmp = std::move(*image);
  return true;
}

void TsAlphaImageList::Assign(const TsAlphaImageList& Source) {
  if (&Source == this) return;
  AssignProperties(Source);
  Clear();
  Items.Clear();
  if (Source.KeepItems) {
    for (int i = 0; i < Source.Items.Count(); ++i) Items.Add().Assign(Source.Items[i]);
    HandleNeeded();
    RebuildSystemImageList();
  } else {
    auto& source = const_cast<TsAlphaImageList&>(Source);
    HandleNeeded();
    for (int i = 0; i < source.gui::TCustomImageList::Count(); ++i) {
      gui::TBitmap image;
      if (source.GetImage32(i, image)) AddImage32(image);
    }
  }
}

void TsAlphaImageList::DoDraw(int Index, gui::TCanvas& Canvas, int X, int Y, bool Enabled) {
  if (Index >= Items.Count() || Items[Index].ImageFormat == ifICO) {
    gui::TCustomImageList::DoDraw(Index, Canvas, X, Y, Enabled);
    return;
  }
  auto image = GetItemBitmap32(Index, Width(), Height());
  if (!image) return;
  Bitmap work(Width(), Height(), pf32bit);
  CanvasToBitmap(Canvas, X, Y, work);
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, Width(), Height()}, *image, false, 0, clNone, false, EmptyCacheInfo,
                     work);
  BitmapToCanvas(work, Canvas, X, Y);
}

// ---------------------------------------------------------------------------------------------------------
// TsVirtualImageList.

TsVirtualImageList::TsVirtualImageList(gui::TComponent* AOwner) : gui::TCustomImageList(AOwner) {
  DrawingStyle = gui::TDrawingStyle::dsTransparent;
  FChangeLink.OnChange = [this](gui::TObject*) { Rebuild(true); };
}

TsVirtualImageList::~TsVirtualImageList() {
  if (FAlphaImageList != nullptr) {
    FAlphaImageList->UnRegisterChanges(&FChangeLink);
    FAlphaImageList->RemoveFreeNotification(this);
  }
}

void TsVirtualImageList::Loaded() {
  gui::TCustomImageList::Loaded();
  HandleNeeded();
  Rebuild(true);
}

void TsVirtualImageList::Notification(gui::TComponent* AComponent, gui::TOperation Operation) {
  gui::TCustomImageList::Notification(AComponent, Operation);
  if (Operation == gui::TOperation::opRemove && AComponent != nullptr && AComponent == FAlphaImageList) {
    FAlphaImageList = nullptr;
    Rebuild(true);
  }
}

void TsVirtualImageList::SetSize(int w, int h) {
  const bool changed = std::max(w, 1) != Width() || std::max(h, 1) != Height();
  gui::TCustomImageList::SetSize(w, h);
  if (changed) Rebuild(false);
}

void TsVirtualImageList::SetUseCache(bool Value) {
  if (uint8_t(Value) == FUseCache) return;
  FUseCache = Value;
  Rebuild(false);
}

void TsVirtualImageList::SetAlphaImageList(TsAlphaImageList* Value) {
  if (Value == FAlphaImageList) return;
  if (FAlphaImageList != nullptr) {
    FAlphaImageList->UnRegisterChanges(&FChangeLink);
    FAlphaImageList->RemoveFreeNotification(this);
  }
  FAlphaImageList = Value;
  if (Value != nullptr) {
    Value->RegisterChanges(&FChangeLink);
    Value->FreeNotification(this);
  }
  Rebuild(false);
}

int TsVirtualImageList::Count() const { return VirtualListImageCount(*this); }

int VirtualListImageCount(const TsVirtualImageList& List) {
  return List.AlphaImageList() ? List.AlphaImageList()->Count() : 0;
}

void TsVirtualImageList::Rebuild(bool Force) {
  if (!Force && (!HandleAllocated() || Rebuilding)) return;
  if (Rebuilding) return;
  Rebuilding = 1;
  try {
    Cache.clear();
    HandleNeeded();
    gui::TCustomImageList::Clear();
    if (FAlphaImageList != nullptr) {
      const int count = FAlphaImageList->Count();
      if (FUseCache) {
        Cache.resize(size_t(count));
      } else {
        for (int i = 0; i < count; ++i) {
          auto image = FAlphaImageList->GetItemBitmap32(i, Width(), Height());
          gui::TBitmap g;
          if (image) {
            // As an icon of the system list: the top-left pixel's colour is transparent.
            image->Flush();
            const uint32_t corner = GetPixel32(*image, 0, 0);
            for (int32_t y = 0; y < image->Height(); ++y) {
              auto* row = reinterpret_cast<uint32_t*>(image->ScanLine(y));
              for (int32_t x = 0; x < image->Width(); ++x)
                if (row[x] == corner) row[x] = 0;
            }
            BitmapToGuiBitmap(*image, g);
          } else {
            g.SetPixelFormat(gui::TPixelFormat::pf32bit);
            g.SetSize(Width(), Height());
          }
          AddImage32(g);
        }
      }
    }
    Built = FAlphaImageList != nullptr && FAlphaImageList->Count() > 0;
  } catch (...) {
    Rebuilding = 0;
    throw;
  }
  Rebuilding = 0;
  Change();
}

const Bitmap* TsVirtualImageList::ImageBitmap(int Index, std::unique_ptr<Bitmap>& Temporary) {
  if (FAlphaImageList == nullptr || Index < 0 || Index >= FAlphaImageList->Count()) return nullptr;
  if (FUseCache) {
    if (Cache.size() != size_t(FAlphaImageList->Count())) Cache.resize(size_t(FAlphaImageList->Count()));
    if (!Cache[size_t(Index)]) Cache[size_t(Index)] = FAlphaImageList->GetItemBitmap32(Index, Width(), Height());
    return Cache[size_t(Index)].get();
  }
  Temporary = FAlphaImageList->GetItemBitmap32(Index, Width(), Height());
  return Temporary.get();
}

void TsVirtualImageList::DoDraw(int Index, gui::TCanvas& Canvas, int X, int Y, bool Enabled) {
  std::unique_ptr<Bitmap> temporary;
  const Bitmap* image = ImageBitmap(Index, temporary);
  if (image == nullptr) return;
  Bitmap work(Width(), Height(), pf32bit);
  CanvasToBitmap(Canvas, X, Y, work);
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, Width(), Height()}, *image, false, 0, clNone, false, EmptyCacheInfo,
                     work);
  BitmapToCanvas(work, Canvas, X, Y);
}

// ---------------------------------------------------------------------------------------------------------
// Shared routines.

void FixEmptyAlpha(Bitmap& Bmp) {
  if (Bmp.PixelFormat() != pf32bit || Bmp.Empty()) return;
  Bmp.Flush();
  for (int32_t y = 0; y < Bmp.Height(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(Bmp.ScanLine(y));
    for (int32_t x = 0; x < Bmp.Width(); ++x)
      if (PixelA(row[x]) != 0) return;
  }
  const uint32_t transparent = GetPixel32(Bmp, 0, Bmp.Height() - 1);
  for (int32_t y = 0; y < Bmp.Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(Bmp.ScanLine(y));
    for (int32_t x = 0; x < Bmp.Width(); ++x)
      if (row[x] != transparent) row[x] |= 0xFF000000u;
  }
}

void DrawAlphaImage(gui::TCustomImageList& List, Bitmap& Dest, int32_t X, int32_t Y, int Index, int StateCount,
                    int State, int Blend, bool Grey, TColor Tint, TSize& FrameSize, bool Reflected) {
  if (Dest.Width() < 1 || !List.HandleAllocated() || Index < 0) return;
  if (StateCount < 1) StateCount = 1;
  if (State >= StateCount) State = StateCount - 1;
  if (State < 0) State = 0;
  const int32_t fw = List.Width() / StateCount;
  const int32_t h = List.Height();
  FrameSize = TSize{fw, h};
  const TRect src{fw * State, 0, fw * (State + 1), h};

  std::unique_ptr<Bitmap> owned;
  const Bitmap* image = nullptr;
  if (auto* alpha = dynamic_cast<TsAlphaImageList*>(&List)) {
    owned = alpha->GetItemBitmap32(Index, List.Width(), h);
    image = owned.get();
  } else if (auto* virt = dynamic_cast<TsVirtualImageList*>(&List)) {
    image = virt->ImageBitmap(Index, owned);
  } else {
    // Any other image list draws itself over what Dest holds there.
    if (Index >= List.Count()) return;
    gui::TBitmap g;
    g.SetPixelFormat(gui::TPixelFormat::pf32bit);
    g.SetSize(List.Width(), h);
    Bitmap under(List.Width(), h, pf32bit);
    StretchCopy(under, TRect{0, 0, List.Width(), h}, Dest, TRect{X - src.Left, Y, X - src.Left + List.Width(), Y + h});
    for (int32_t y = 0; y < h; ++y) std::memcpy(g.ScanLine(y), under.ScanLine(y), size_t(List.Width()) * 4);
    List.Draw(g.Canvas(), 0, 0, Index, true);
    FromGuiBitmap32(g, under);
    const TRect dst{X, Y, X + fw, Y + h};
    StretchCopy(Dest, dst, under, src);
    return;
  }
  if (image == nullptr) return;
  if (Grey) {
    auto grey = std::make_unique<Bitmap>();
    grey->Assign(*image);
    GrayScaleBitmap(*grey);
    owned = std::move(grey);
    image = owned.get();
  }
  AlphaBlendBitmap32(TPoint{X, Y}, src, *image, Reflected, Blend, Tint, false, EmptyCacheInfo, Dest);
}

}  // namespace skin
