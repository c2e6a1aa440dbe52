#pragma once
// Image lists: a row of images of one size, kept by the system (a comctl32 image list with 32-bit colour and
// alpha in the Windows build; the images' pixels natively) and drawn by index. Consumers that want to know when
// the images change register a change link.
#include <cstdint>
#include <vector>

#include "gui/classes.h"
#include "gui/graphics.h"
#include "gui/types.h"
#include "gui/win32_types.h"

namespace gui {

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum class TImageType { itImage, itMask };

class TCustomImageList;

// Tells a consumer that the images of a list changed. A link unregisters itself when it goes.
class TChangeLink {
 public:
  TChangeLink() = default;
  ~TChangeLink();
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;
  TCustomImageList* Sender() const { return sender_; }
  TNotifyEvent OnChange;

 private:
  friend class TCustomImageList;
  TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;
  GUI_CLASS_NAME("TImageList")

  // The size of every image (default 16 x 16). A change empties the list.
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  virtual void SetSize(int w, int h);

  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor c);  // clNone: the images are drawn over what lies under them
  TColor BlendColor = clNone;
  TDrawingStyle DrawingStyle = TDrawingStyle::dsNormal;
  TImageType ImageType = TImageType::itImage;
  bool Masked = true;
  bool ShareImages = false;

  // The system's list exists (Windows: made on demand; natively once HandleNeeded was called).
  bool HandleAllocated() const;
  void HandleNeeded();
#ifdef _WIN32
  // The comctl32 image list (32-bit colour with alpha, and a mask), made on demand.
  HIMAGELIST Handle();
#endif

  // The number of images (descendants that show another list's images answer theirs).
  virtual int Count() const;
  // Removes every image.
  void Clear();
  // Appends an image with its alpha: the 32-bit pixels of image (B, G, R, A), scaled to the list's size by
  // nearest pixel when its size differs. Returns its index, or -1 when the system refuses it.
  int AddImage32(const TBitmap& image);
  // The image at index at the list's size as a 32-bit bitmap (B, G, R, A); false for an index outside the list.
  bool GetImage32(int index, TBitmap& out);

  // Draws the image at index with its top-left corner at (x, y), through DoDraw; nothing for an index outside
  // the list.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  // Tells OnChange and every registered link that the images changed.
  virtual void Change();
  TNotifyEvent OnChange;

 protected:
  // Draws one image (the system list's drawing, composed over the canvas by the image's alpha).
  virtual void DoDraw(int index, TCanvas& canvas, int x, int y, bool enabled);
  // Masked, ImageType, DrawingStyle, ShareImages, BlendColor, BkColor and the size of another list.
  void AssignProperties(const TCustomImageList& source);

 private:
  // ---- System side (imglist_win32.cpp: the comctl32 list; imglist_posix.cpp: the pixels of each image) ----
  void CreateSystemList();
  void DestroySystemList();
  int SystemCount() const;
  void SystemClear();
  int SystemAdd(const TBitmap& image32);
  bool SystemGet(int index, TBitmap& out);
  void SystemBkColor();
  void SystemDraw(int index, TCanvas& canvas, int x, int y, bool enabled);

  int width_ = 16;
  int height_ = 16;
  TColor bkColor_ = clNone;
  std::vector<TChangeLink*> links_;
#ifdef _WIN32
  HIMAGELIST handle_ = nullptr;
#else
  bool allocated_ = false;
  std::vector<std::vector<uint32_t>> images_;  // width_ x height_ pixels each, rows top-down
#endif
};

class TImageList : public TCustomImageList {
 public:
  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
  GUI_CLASS_NAME("TImageList")
};

}  // namespace gui
