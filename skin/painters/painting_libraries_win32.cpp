#include <windows.h>


#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/painting_libraries.h"

namespace skin {

namespace {

struct Libraries {
  int starts = 0;
  bool bound = false;
  HMODULE user32 = nullptr;
  HMODULE msimg32 = nullptr;
  UpdateLayeredWindowFunction updateLayered = nullptr;
  SetLayeredWindowAttributesFunction setLayered = nullptr;
  MsImgGradientFillFunction gradientFill = nullptr;
  TSize checkBox{13, 13};
};

Libraries& State() {
  static Libraries state;
  return state;
}

template <class F>
F Entry(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

void Bind() {
  Libraries& s = State();
  if (s.bound) return;
  s.bound = true;
  s.user32 = LoadLibraryA("user32.dll");
  s.updateLayered = Entry<UpdateLayeredWindowFunction>(s.user32, "UpdateLayeredWindow");
  s.setLayered = Entry<SetLayeredWindowAttributesFunction>(s.user32, "SetLayeredWindowAttributes");
  s.msimg32 = LoadLibraryA("msimg32.dll");
  s.gradientFill = Entry<MsImgGradientFillFunction>(s.msimg32, "GradientFill");
  // The system's check boxes: 4 x 3 images in one bitmap.
  HBITMAP boxes = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32759));
  if (boxes != nullptr) {
    ledger::Made(ledger::kBitmap);
    BITMAP info{};
    if (GetObjectA(boxes, sizeof(info), &info) == int(sizeof(info)) && info.bmWidth >= 4 && info.bmHeight >= 3)
      s.checkBox = TSize{int32_t(info.bmWidth / 4), int32_t(info.bmHeight / 3)};
    ledger::DeleteObject(boxes);
  }
}

void Unbind() {
  Libraries& s = State();
  if (!s.bound) return;
  if (s.user32) FreeLibrary(s.user32);
  if (s.msimg32) FreeLibrary(s.msimg32);
  s = Libraries{};
}

}  // namespace

void StartPaintingLibraries() {
  if (State().starts++ == 0) Bind();
}

void StopPaintingLibraries() {
  Libraries& s = State();
  if (s.starts == 0) return;
  if (--s.starts == 0) Unbind();
}

bool LayeredApiPresent() { return UpdateLayeredWindowProc() != nullptr; }

UpdateLayeredWindowFunction UpdateLayeredWindowProc() {
  Bind();
  return State().updateLayered;
}

SetLayeredWindowAttributesFunction SetLayeredWindowAttributesProc() {
  Bind();
  return State().setLayered;
}

MsImgGradientFillFunction MsImgGradientFill() {
  Bind();
  return State().gradientFill;
}

TSize CheckBoxGlyphSize() {
  Bind();
  return State().checkBox;
}

}  // namespace skin
