#pragma once
// Image lists whose images keep a full 8-bit alpha channel. Each image is stored as the bytes of its image file
// (PNG, ICO or 32-bit BMP) in an item of the list, decoded on demand into a 32-bit bitmap and optionally cached per
// item; the system image list of the component layer is built from the same images, so that plain image-list
// consumers still work. TsVirtualImageList shows the images of a TsAlphaImageList at another size, and
// DrawAlphaImage draws one state of any image list's image into a 32-bit bitmap.
//
// An item whose file cannot be decoded draws nothing; it keeps its place in the system list (an empty image), so
// the items after it keep their indexes.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "gui/imglist.h"
#include "skin/data/streams.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

enum TsImageFormat : uint8_t { ifPNG = 0, ifICO = 1, ifBMP32 = 2 };

// The generic binary property encoding of component streams: a 32-bit little-endian length, then the bytes.
void WriteBinaryProperty(std::string& stream, std::string_view bytes);
// Reads one such value at pos (advanced past it); EReadError ("Stream read error") when the stream is shorter.
std::string ReadBinaryProperty(std::string_view stream, size_t& pos);

class TsImgListItems;

class TsImgListItem {
 public:
  explicit TsImgListItem(TsImgListItems* Collection) : FCollection(Collection) {}
  TsImgListItem(const TsImgListItem&) = delete;
  TsImgListItem& operator=(const TsImgListItem&) = delete;

  TsImageFormat ImageFormat = ifPNG;
  TPixelFormat PixelFormat = pf32bit;
  std::string Text;
  std::string ImageName;
  int32_t OrigWidth = 0;   // the decoded image's size, set when the system list is built (0 x 0: not decodable)
  int32_t OrigHeight = 0;
  std::string ImgData;     // the image file's bytes
  std::unique_ptr<Bitmap> CacheBmp;  // the image at the list's size, or none

  // The binary property "ImgData": ReadData loads the value at pos of a component stream into ImgData, WriteData
  // appends ImgData to a stream.
  void ReadData(std::string_view stream, size_t& pos);
  void WriteData(std::string& stream) const;

  // Format, name, pixel format, text and the image bytes of another item.
  void Assign(const TsImgListItem& Source);
  int Index() const;
  TsImgListItems* Collection() const { return FCollection; }

 private:
  TsImgListItems* FCollection;
};

class TsAlphaImageList;

class TsImgListItems {
 public:
  explicit TsImgListItems(TsAlphaImageList* Owner) : FOwner(Owner) {}
  TsImgListItems(const TsImgListItems&) = delete;
  TsImgListItems& operator=(const TsImgListItems&) = delete;

  int Count() const { return int(FItems.size()); }
  TsImgListItem& operator[](int Index) const { return *FItems.at(size_t(Index)); }
  TsImgListItem& Add();
  void Delete(int Index);
  void Clear() { FItems.clear(); }
  int IndexOf(const TsImgListItem* Item) const;
  TsAlphaImageList* Owner() const { return FOwner; }

 private:
  TsAlphaImageList* FOwner;
  std::vector<std::unique_ptr<TsImgListItem>> FItems;
};

class TsAlphaImageList : public gui::TCustomImageList {
 public:
  explicit TsAlphaImageList(gui::TComponent* AOwner);
  ~TsAlphaImageList() override;
  const char* ClassName() const override { return "TsAlphaImageList"; }

  // Outside loading: the system list is made when missing and built from the items when that was not done yet.
  void AfterConstruction();
  // A new size rebuilds the system list (not while loading).
  void SetSize(int w, int h) override;

  bool UseCache() const { return FUseCache != 0; }
  // Changing it drops every item's cached bitmap.
  void SetUseCache(bool Value);
  uint8_t Changing = 0;       // set while the system list is rebuilt
  bool SystemListLoaded() const { return FLoaded != 0; }  // the system list was built from the items
  TsImgListItems Items{this};
  uint8_t KeepItems = 1;      // 0: the items are dropped once the system list is built

  // A new w x h 32-bit bitmap with the image at Index (the caller owns it), or none: for an index outside the
  // system list, and for an item whose file cannot be decoded.
  std::unique_ptr<Bitmap> GetItemBitmap32(int Index, int32_t W, int32_t H);
  // The same into bmp, at bmp's size (the cache is written only when that is the list's size).
  bool GetItemBitmapInto(int Index, Bitmap& Bmp);
  // The system list made again from the items, in order.
  void RebuildSystemImageList();

  // The properties and the images of another list (the items when they are kept, else its system list's images).
  void Assign(const TsAlphaImageList& Source);
  void AssignTo(TsAlphaImageList& Dest) const { Dest.Assign(*this); }

 protected:
  void Loaded() override;
  // PNG and BMP items: composed by their alpha over the canvas; ICO items and indexes beyond the items: the
  // system list's drawing.
  void DoDraw(int Index, gui::TCanvas& Canvas, int X, int Y, bool Enabled) override;

 private:
  friend class TsImgListItems;
  // The image of an item decoded at its own size as a 32-bit bitmap; false when the file cannot be decoded.
  bool DecodeItem(const TsImgListItem& Item, Bitmap& Out) const;
  std::unique_ptr<Bitmap> ItemBitmap(int Index, int32_t W, int32_t H, bool WriteCache);
  uint8_t FUseCache = 1;
  uint8_t FLoaded = 0;
};

// Images of another list shown at this list's size.
class TsVirtualImageList : public gui::TCustomImageList {
 public:
  explicit TsVirtualImageList(gui::TComponent* AOwner);
  ~TsVirtualImageList() override;
  const char* ClassName() const override { return "TsVirtualImageList"; }

  void SetSize(int w, int h) override;
  bool UseCache() const { return FUseCache != 0; }
  void SetUseCache(bool Value);
  TsAlphaImageList* AlphaImageList() const { return FAlphaImageList; }
  void SetAlphaImageList(TsAlphaImageList* Value);
  // The source's image count (0 without source).
  int Count() const override;

  uint8_t Rebuilding = 0;
  uint8_t Built = 0;
  std::vector<std::unique_ptr<Bitmap>> Cache;  // one per source image, made on first draw

  // The cache and the own system list made again (only when the system list exists, unless forced).
  void Rebuild(bool Force = false);
  // The image at Index at this list's size: the cached one (made on first use) under UseCache, else a new one
  // (then owned by the caller's Temporary).
  const Bitmap* ImageBitmap(int Index, std::unique_ptr<Bitmap>& Temporary);

 protected:
  void Loaded() override;
  void Notification(gui::TComponent* AComponent, gui::TOperation Operation) override;
  void DoDraw(int Index, gui::TCanvas& Canvas, int X, int Y, bool Enabled) override;

 private:
  uint8_t FUseCache = 1;
  TsAlphaImageList* FAlphaImageList = nullptr;
  gui::TChangeLink FChangeLink;
};

// The source's count, 0 without source.
int VirtualListImageCount(const TsVirtualImageList& List);

// Bmp (32-bit) without any alpha: the bottom-left pixel's colour becomes transparent and every other pixel
// opaque. Nothing when some pixel has alpha.
void FixEmptyAlpha(Bitmap& Bmp);

// The image at Index of any image list, holding StateCount frames side by side, frame State (StateCount or more
// counts as the last), composed into Dest at (X, Y) with its alpha. Blend is a transparency (0..100), Grey draws
// it grey, Tint (not clNone) recolours it; Reflected mirrors it below itself. FrameSize := the frame's size.
// Nothing for a Dest narrower than 1 pixel, a list without system list, or a negative Index.
void DrawAlphaImage(gui::TCustomImageList& List, Bitmap& Dest, int32_t X, int32_t Y, int Index, int StateCount,
                    int State, int Blend, bool Grey, TColor Tint, TSize& FrameSize, bool Reflected = false);

#ifdef _WIN32
// The same onto a device context: the area (the list's size, with Reflected half its height more below) is
// copied into a work bitmap, drawn into at (0, 0), and copied back.
void DrawAlphaImageDC(gui::TCustomImageList& List, void* DC, int32_t X, int32_t Y, int Index, int StateCount,
                      int State, int Blend, bool Grey, TColor Tint, TSize& FrameSize, bool Reflected = false);
#endif

// Bits per pixel of the screen (32 natively).
int ScreenBitsPerPixel();

}  // namespace skin
