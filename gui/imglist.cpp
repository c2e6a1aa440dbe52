#include "gui/imglist.h"

#include <algorithm>

namespace gui {

TChangeLink::~TChangeLink() {
  if (sender_ != nullptr) sender_->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->sender_ = nullptr;
  links_.clear();
  DestroySystemList();
}

void TCustomImageList::SetSize(int w, int h) {
  w = std::max(w, 1);
  h = std::max(h, 1);
  if (w == width_ && h == height_) return;
  width_ = w;
  height_ = h;
  if (HandleAllocated()) {
    DestroySystemList();
    CreateSystemList();
  }
  Change();
}

void TCustomImageList::SetBkColor(TColor c) {
  if (c == bkColor_) return;
  bkColor_ = c;
  SystemBkColor();
  Change();
}

void TCustomImageList::HandleNeeded() {
  if (!HandleAllocated()) CreateSystemList();
}

int TCustomImageList::Count() const { return HandleAllocated() ? SystemCount() : 0; }

void TCustomImageList::Clear() {
  if (!HandleAllocated() || SystemCount() == 0) return;
  SystemClear();
  Change();
}

int TCustomImageList::AddImage32(const TBitmap& image) {
  if (image.Empty()) return -1;
  HandleNeeded();
  const int index = SystemAdd(image);
  if (index >= 0) Change();
  return index;
}

bool TCustomImageList::GetImage32(int index, TBitmap& out) {
  if (index < 0 || !HandleAllocated() || index >= SystemCount()) return false;
  return SystemGet(index, out);
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
  if (index < 0 || index >= Count()) return;
  DoDraw(index, canvas, x, y, enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas& canvas, int x, int y, bool enabled) {
  if (index < 0 || !HandleAllocated() || index >= SystemCount()) return;
  SystemDraw(index, canvas, x, y, enabled);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (link == nullptr || link->sender_ == this) return;
  if (link->sender_ != nullptr) link->sender_->UnRegisterChanges(link);
  link->sender_ = this;
  links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  if (link == nullptr) return;
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
  if (link->sender_ == this) link->sender_ = nullptr;
}

void TCustomImageList::Change() {
  if (OnChange) OnChange(this);
  const std::vector<TChangeLink*> links = links_;  // a handler may unregister its link
  for (TChangeLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->OnChange) link->OnChange(this);
}

void TCustomImageList::AssignProperties(const TCustomImageList& source) {
  Masked = source.Masked;
  ImageType = source.ImageType;
  DrawingStyle = source.DrawingStyle;
  ShareImages = source.ShareImages;
  BlendColor = source.BlendColor;
  bkColor_ = source.bkColor_;
  SystemBkColor();
  SetSize(source.width_, source.height_);
}

}  // namespace gui
