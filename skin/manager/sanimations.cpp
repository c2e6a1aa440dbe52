#include "skin/manager/sanimations.h"

#include <algorithm>
#include <cmath>

#include "gui/extctrls.h"
#include "skin/manager/commondata.h"
#include "skin/manager/sanimations_window.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/layered_alpha.h"
#include "skin/painters/parent_background.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

namespace {

constexpr uint32_t kRedrawNowWithErase = 0x785;  // RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                                                 // RDW_ERASENOW | RDW_FRAME

TRect AeroRect(const TSize& size, double insetX, double insetY) {
  const int32_t l = int32_t(std::lround(insetX)), t = int32_t(std::lround(insetY));
  const int32_t w = int32_t(std::lround(size.cx - 2 * insetX)), h = int32_t(std::lround(size.cy - 2 * insetY));
  return TRect{l, t, l + w, t + h};
}

uint8_t ClampAlpha(double a, uint8_t maxAlpha) {
  return uint8_t(std::clamp(std::lround(a), 0L, long(maxAlpha)));
}

TsSkinManager* ManagerOf(TacFormProvider& p) {
  TsSkinManager* m = p.SkinManager();
  return m ? m : DefaultManager();
}

// The flag of a show or hide animation, set for a scope.
struct AnimationFlag {
  AnimationFlag() { AnimationInProgress() = 1; }
  ~AnimationFlag() { AnimationInProgress() = 0; }
  AnimationFlag(const AnimationFlag&) = delete;
  AnimationFlag& operator=(const AnimationFlag&) = delete;
};

// The pictures of a blocking animation pushed one per 12 ms, those that fell due meanwhile skipped. Without aero
// every picture is the image itself under its constant alpha: it is pushed as it is. With finalPicture, the last
// picture is not pushed: at its time the window is given the picture it keeps after the animation instead (the
// same look, fully opaque), which it would get right after it.
void RunFrames(HWND wnd, const Bitmap& image, const std::vector<TacAnimFrame>& frames, bool aero, bool showAfterFirst,
               const std::function<void()>& finalPicture = nullptr) {
  Bitmap frame = aero ? Bitmap(image.Width(), image.Height(), pf32bit) : Bitmap();
  const uint32_t first = detail::TickCount();
  for (size_t i = 0; i < frames.size(); i = NextAnimFrame(i, frames.size(), detail::TickCount() - first)) {
    if (finalPicture && i + 1 == frames.size()) {
      finalPicture();
      break;
    }
    if (aero) ComposeAnimFrame(frame, image, frames[i], aero);
    LayeredOutput().Push(wnd, aero ? frame : image, frames[i].Alpha);
    if (i == 0 && showAfterFirst) detail::ShowNoActivate(wnd);
    if (i + 1 < frames.size()) detail::WaitUntil(first + uint32_t(i + 1) * AnimFrameInterval);
  }
}

TacHideTimer*& HideTimerRef() {
  static TacHideTimer* timer = nullptr;
  return timer;
}

// The owner window's provider told that a hide is over.
void TellProvider(HWND ownerWnd) {
  if (ownerWnd == nullptr) return;
  if (auto* p = reinterpret_cast<TacFormProvider*>(SendLibraryCommand(ownerWnd, AC_GETPROVIDER, 0))) p->AfterAnimation(1);
}

std::unique_ptr<Bitmap> CopyOf(const Bitmap& src) {
  auto copy = std::make_unique<Bitmap>();
  src.Flush();
  copy->Assign(src);
  copy->SetPixelFormat(pf32bit);
  return copy;
}

}  // namespace

// ---- The schedule.

std::vector<TacAnimFrame> ShowAnimFrames(const TSize& Size, uint16_t Time, uint8_t MaxAlpha, bool Aero, bool Dialog) {
  const int32_t n = AnimFrameCount(Time);
  const TRect whole{0, 0, Size.cx, Size.cy};
  if (n <= 0) return {TacAnimFrame{MaxAlpha, whole}};
  std::vector<TacAnimFrame> frames;
  const double step = double(MaxAlpha) / (Dialog ? n + 1 : n);
  const double insetX = Size.cx / 8.0, insetY = Size.cy / 8.0;
  for (int32_t k = 0; k <= n; ++k) {
    TacAnimFrame f;
    f.Alpha = ClampAlpha(step * k, MaxAlpha);
    f.Rect = Aero ? AeroRect(Size, insetX - insetX * k / n, insetY - insetY * k / n) : whole;
    frames.push_back(f);
  }
  return frames;
}

std::vector<TacAnimFrame> HideAnimFrames(const TSize& Size, uint16_t Time, uint8_t MaxAlpha, bool Aero) {
  const int32_t n = AnimFrameCount(Time);
  if (n <= 0) return {};
  std::vector<TacAnimFrame> frames;
  const double step = double(MaxAlpha) / n;
  const double insetX = Size.cx / 8.0, insetY = Size.cy / 8.0;
  const TRect whole{0, 0, Size.cx, Size.cy};
  for (int32_t k = 0; k <= n; ++k) {
    TacAnimFrame f;
    f.Alpha = ClampAlpha(double(MaxAlpha) - step * k, MaxAlpha);
    f.Rect = Aero ? AeroRect(Size, insetX * k / n, insetY * k / n) : whole;
    frames.push_back(f);
  }
  return frames;
}

size_t NextAnimFrame(size_t Current, size_t Count, uint32_t Elapsed) {
  if (Current + 1 >= Count) return Count;
  const size_t due = size_t(Elapsed / AnimFrameInterval);
  return std::max(Current + 1, std::min(due, Count - 1));
}

void ComposeAnimFrame(Bitmap& Frame, const Bitmap& Image, const TacAnimFrame& F, bool Aero) {
  if (Frame.Width() != Image.Width() || Frame.Height() != Image.Height()) Frame.SetSize(Image.Width(), Image.Height());
  const TRect whole{0, 0, Image.Width(), Image.Height()};
  if (!Aero) {
    CopyBitmap32(Frame, Image);
    return;
  }
  FillRectBitmap32(Frame, whole, 0, 0);
  if (F.Rect.Width() > 0 && F.Rect.Height() > 0) StretchCopy(Frame, F.Rect, Image, whole);
}

// ---- Layered output.

namespace detail {
TacLayeredOutput& SystemLayeredOutput();
}

namespace {
TacLayeredOutput*& CurrentOutput() {
  static TacLayeredOutput* output = nullptr;
  return output;
}
}  // namespace

TacLayeredOutput& LayeredOutput() {
  TacLayeredOutput* o = CurrentOutput();
  return o ? *o : detail::SystemLayeredOutput();
}

TacLayeredOutput* SetLayeredOutput(TacLayeredOutput* Output) {
  TacLayeredOutput* previous = CurrentOutput();
  CurrentOutput() = Output;
  return previous;
}

// ---- Helpers.

void ClearAlphaRects(const std::vector<TRect>& Rects, Bitmap& Bmp) {
  for (const TRect& r : Rects) FillRectBitmap32(Bmp, r, 0, 0);
}

void BlendBitmapPart(Bitmap& Dst, const TRect& SrcRect, const Bitmap& Src, uint8_t Alpha, const TPoint& DstPoint) {
  if (Dst.PixelFormat() != pf32bit || Src.PixelFormat() != pf32bit || Dst.Empty() || Src.Empty()) return;
  int32_t sl = SrcRect.Left, st = SrcRect.Top, sr = SrcRect.Right, sb = SrcRect.Bottom;
  int32_t dx = DstPoint.X, dy = DstPoint.Y;
  // Negative places move the other side.
  if (sl < 0) { dx -= sl; sl = 0; }
  if (st < 0) { dy -= st; st = 0; }
  if (dx < 0) { sl -= dx; dx = 0; }
  if (dy < 0) { st -= dy; dy = 0; }
  sr = std::min({sr, Src.Width(), sl + (Dst.Width() - dx)});
  sb = std::min({sb, Src.Height(), st + (Dst.Height() - dy)});
  Src.Flush();
  Dst.Flush();
  for (int32_t y = st; y < sb; ++y) {
    const auto* s = reinterpret_cast<const uint32_t*>(Src.ScanLine(y));
    auto* d = reinterpret_cast<uint32_t*>(Dst.ScanLine(dy + y - st));
    for (int32_t x = sl; x < sr; ++x) {
      const uint32_t sp = s[x];
      const uint32_t a = PixelA(sp);
      if (a == 0) continue;
      const uint32_t w = (a * Alpha) >> 8;
      uint32_t& dp = d[dx + x - sl];
      auto mix = [w](uint32_t dc, uint32_t sc) { return ((255 - w) * dc + w * sc) >> 8; };
      dp = MakePixel(mix(PixelB(dp), PixelB(sp)), mix(PixelG(dp), PixelG(sp)), mix(PixelR(dp), PixelR(sp)), PixelA(dp));
    }
  }
}

bool HintUsesAnimateWindow(const std::string& Text, bool TooltipAnimation, bool TooltipFade) {
  return Text.size() < 100 && TooltipAnimation && TooltipFade;
}

// ---- The hide timer.

TacHideTimer::TacHideTimer(gui::TComponent* AOwner) : TacThreadedTimer(AOwner) {
  SetEnabled(false);
  SetInterval(AnimFrameInterval);
  SetOnTimer([this](gui::TObject*) {
    try {
      Step();
    } catch (...) {
      // A failed step ends the animation: nothing is left for the timer to call.
      try {
        Finish();
      } catch (...) {
      }
    }
  });
}

TacHideTimer::~TacHideTimer() {
  try {
    Finish();
  } catch (...) {
  }
  if (HideTimerRef() == this) HideTimerRef() = nullptr;
}

TacHideTimer* HideAnimTimer() { return HideTimerRef(); }

void TacHideTimer::Start(TacAnimWindow Window, std::unique_ptr<Bitmap> Image, uint16_t Time, HWND OwnerWnd, bool Aero,
                         uint8_t MaxAlpha) {
  window_ = std::move(Window);
  image_ = std::move(Image);
  ownerWnd_ = OwnerWnd;
  told_ = 0;
  counter_ = 0;
  aero_ = Aero;
  frames_ = HideAnimFrames(TSize{image_->Width(), image_->Height()}, Time, MaxAlpha, Aero);
  Frame = std::make_unique<Bitmap>(image_->Width(), image_->Height(), pf32bit);
  detail::PrepareHideWindow(window_.Wnd);
  // The first picture at once: the window shows it before it appears.
  ComposeAnimFrame(*Frame, *image_, frames_[0], aero_);
  LayeredOutput().Push(window_.Wnd, *Frame, frames_[0].Alpha);
  detail::ShowHideWindow(window_.Wnd, TSize{image_->Width(), image_->Height()});
  if (gui::Application->Terminated() || !HasInnerTimer()) {
    // No timer runs while the application ends: the pictures are drawn now.
    while (HoldsWindow()) {
      const uint32_t start = detail::TickCount();
      Step();
      if (HoldsWindow()) detail::WaitUntil(start + AnimFrameInterval);
    }
    return;
  }
  SetInterval(AnimFrameInterval);
  SetEnabled(true);
}

void TacHideTimer::Step() {
  if (!HoldsWindow()) {
    SetEnabled(false);
    return;
  }
  ++counter_;
  if (counter_ >= int32_t(frames_.size())) {
    Finish();
    return;
  }
  ComposeAnimFrame(*Frame, *image_, frames_[size_t(counter_)], aero_);
  LayeredOutput().Push(window_.Wnd, *Frame, frames_[size_t(counter_)].Alpha);
}

void TacHideTimer::Finish() {
  SetEnabled(false);
  if (!HoldsWindow() && told_) return;
  TacAnimWindow window = std::move(window_);
  window_ = TacAnimWindow{};
  frames_.clear();
  image_.reset();
  Frame.reset();
  const HWND owner = ownerWnd_;
  ownerWnd_ = nullptr;
  const bool tell = told_ == 0;
  told_ = 1;
  if (window.Free) window.Free();
  if (tell) TellProvider(owner);
}

// ---- Animations.

namespace {

// The form's look for a show or a skin change: with a border window, which carries the whole frame, the frame cache
// with the form's window printed at its place in it; otherwise the form's window alone.
void CaptureFormPicture(Bitmap& image, gui::TCustomForm* form, TacFormProvider& provider, HWND formWnd,
                        HWND frameWnd) {
  TPoint at{0, 0};
  const Bitmap* cache = provider.FrameCacheBitmap();
  if (provider.HasBorderForm() && frameWnd != nullptr && cache != nullptr && cache->Width() == image.Width() &&
      cache->Height() == image.Height()) {
    cache->Flush();
    image.Assign(*cache);
    const TRect fr = detail::WindowScreenRect(formWnd), hr = detail::WindowScreenRect(frameWnd);
    at = TPoint{fr.Left - hr.Left, fr.Top - hr.Top};
  }
  PaintControlToBitmap(image, form, at.X, at.Y, &provider);
}

// A picture on the form's border window is fully transparent in the hole its region leaves to the form's client. A
// display that takes a layered window's shape from its alpha (Wine's under X, where a window manager may stack the
// border window above the form) would otherwise give the border window the clicks meant for the form's controls.
void LeaveClientToForm(Bitmap& image, const TRect& hole) { FillRectBitmap32(image, hole, 0, 0); }

// A live skin change of a form with a border window (the sweeps flagged its snapshot), once the form has been
// repainted in the new skin and the border window has taken the new frame's size and place: the transition's picture
// is the new frame alone, which saves printing every control for the picture and repainting the form after the
// transition. The border window's region leaves the client area to the form during the change, so the client shows
// its new look as the frame fades in rather than once it has.
void ChangeRepaintedFirst(TacFormProvider& Provider, HWND formWnd, HWND borderWnd, uint16_t Time, uint8_t MaxAlpha) {
  // The hole where the new skin puts the client, in the region (at once: the window has its new size and place)
  // and in the picture.
  TRect hole;
  const bool holed = Provider.BorderClientHole(hole);
  if (holed) Provider.SetBorderFormRegion();
  // The form has its new look already: the new skin's region, and the border window shows the live frame (the one
  // composed for the transition, unless something changed it meanwhile), at the time of the transition's last
  // picture, which showed the same frame.
  bool ended = false;
  auto end = [&] {
    ended = true;
    Provider.UpdateRegion(false);
    Provider.StateFlags &= ~pfBorderSnapshot;
    Provider.ShowBorderFrame(255);
  };
  Bitmap image;
  if (const Bitmap* cache = Provider.FrameCacheBitmap()) {
    cache->Flush();
    image.Assign(*cache);
    image.SetPixelFormat(pf32bit);
    if (holed) {
      LeaveClientToForm(image, hole);
    } else {
      const TRect fr = detail::WindowScreenRect(formWnd), hr = detail::WindowScreenRect(borderWnd);
      const TRect inWindow = detail::ClientRectInWindow(formWnd);
      const TPoint at{fr.Left - hr.Left + inWindow.Left, fr.Top - hr.Top + inWindow.Top};
      detail::CopyWindowPart(formWnd, inWindow, image, at);
      SetAlphaRect(image, TRect{at.X, at.Y, at.X + inWindow.Width(), at.Y + inWindow.Height()}, 255, clNone);
    }
    const std::vector<TacAnimFrame> frames =
        ShowAnimFrames(TSize{image.Width(), image.Height()}, Time, MaxAlpha, false);
    RunFrames(borderWnd, image, frames, false, true, MaxAlpha == 255 ? std::function<void()>(end) : nullptr);
  }
  if (!ended) end();
}

}  // namespace

void AnimHideWindow(TacAnimWindow Wnd, std::unique_ptr<Bitmap> Image, uint16_t Time, HWND OwnerWnd, bool Aero,
                    uint8_t MaxAlpha) {
  // A hide still running is finished first: its provider told, its window and pictures freed.
  if (TacHideTimer* running = HideTimerRef()) running->Finish();
  if (AnimFrameCount(Time) <= 0 || !Image || Image->Empty()) {
    if (Wnd.Free) Wnd.Free();
    Image.reset();
    TellProvider(OwnerWnd);
    return;
  }
  if (HideTimerRef() == nullptr) HideTimerRef() = new TacHideTimer(gui::Application);
  HideTimerRef()->Start(std::move(Wnd), std::move(Image), Time, OwnerWnd, Aero, MaxAlpha);
}

void AnimHideForm(TacFormProvider& Provider) {
  ClearGlows(true);
  gui::TCustomForm* form = Provider.Form();
  TsSkinManager* m = ManagerOf(Provider);
  if (form == nullptr || m == nullptr) return;
  HWND formWnd = form->WindowHandle();
  if (!(Provider.StateFlags & pfFramePainted)) Provider.PaintFrame();
  const Bitmap* cache = Provider.FrameCacheBitmap();
  if (cache == nullptr || cache->Empty()) {
    TellProvider(formWnd);
    return;
  }
  AnimationFlag flag;
  const bool borders = Provider.HasBorderForm();
  TacAnimWindow window = Provider.AnimationWindow(true);
  if (window.Wnd == nullptr) window = detail::MakeHelperWindow(detail::WindowScreenRect(formWnd), true, nullptr);
  std::unique_ptr<Bitmap> image = CopyOf(*cache);
  SetWindowAlpha(formWnd, true, 1);
  if (!borders) ClearAlphaRects(Provider.RegionCutOuts(), *image);
  const TacFormAnimation& hide = m->AnimEffects.FormHide;
  AnimHideWindow(std::move(window), std::move(image), hide.Time, formWnd, hide.Mode == atAero, 255);
  SetWindowAlpha(formWnd, false, 255);
  if (borders) Provider.FreeBorderForm(!gui::Application->Terminated());
}

void AnimShowForm(TacFormProvider& Provider, uint16_t Time, uint8_t MaxAlpha, TacAnimType Mode) {
  gui::TCustomForm* form = Provider.Form();
  if (form == nullptr || FormMinimized(form)) return;
  HWND formWnd = form->WindowHandle();
  TacAnimWindow window;
  std::unique_ptr<Bitmap> image;
  TPoint at{0, 0};  // where the form's window lies in the picture
  {
    AnimationFlag flag;
    const bool borders = Provider.HasBorderForm();
    if (!borders) Provider.PaintFrame();
    window = Provider.AnimationWindow(false);
    if (window.Wnd == nullptr)
      window = detail::MakeHelperWindow(detail::WindowScreenRect(formWnd), detail::WindowTopmost(formWnd), formWnd);
    const Bitmap* cache = Provider.FrameCacheBitmap();
    const TRect r = detail::WindowScreenRect(formWnd);
    const TSize size = cache && !cache->Empty() ? TSize{cache->Width(), cache->Height()} : TSize{r.Width(), r.Height()};
    image = std::make_unique<Bitmap>(std::max(size.cx, 0), std::max(size.cy, 0), pf32bit);
    CaptureFormPicture(*image, form, Provider, formWnd, window.Wnd);
    if (borders && window.Wnd != nullptr && cache != nullptr && cache->Width() == size.cx &&
        cache->Height() == size.cy) {
      const TRect hr = detail::WindowScreenRect(window.Wnd);
      at = TPoint{r.Left - hr.Left, r.Top - hr.Top};
    }
    if (!borders) {
      SetAlphaRect(*image, TRect{0, 0, image->Width(), image->Height()}, 255, clNone);
      ClearAlphaRects(Provider.RegionCutOuts(), *image);
    }
    if (!image->Empty())
      RunFrames(window.Wnd, *image, ShowAnimFrames(size, Time, MaxAlpha, Mode == atAero), Mode == atAero, true);
  }
  // The form is not painted here: it is still transparent. The picture goes to the caller, which shows it on the
  // form once it has made it opaque, rather than painting every control again.
  if (image && !image->Empty()) Provider.KeepShowPicture(std::move(image), at);
  image.reset();
  if (TsSkinManager* m = ManagerOf(Provider); m && m->System().CompositionEnabled()) detail::SleepFor(48);
  Provider.UpdateRegion(false);
  // The border window shows the frame the picture was made of, composed again only if something changed it since.
  if (Provider.HasBorderForm()) Provider.ShowBorderFrame(255);
  if (window.Free) window.Free();
}

bool LayeredPicturesShown(TsSkinManager* Manager) {
  return Manager != nullptr && Manager->System().LayeredWindowsAvailable() && LayeredAlphaShown();
}

void AnimSkinChange(TacFormProvider& Provider, uint16_t Time, uint8_t MaxAlpha, bool Aero) {
  gui::TCustomForm* form = Provider.Form();
  TsSkinManager* m = ManagerOf(Provider);
  if (form == nullptr || m == nullptr) return;
  HWND formWnd = form->WindowHandle();
  const bool borders = Provider.HasBorderForm();
  if (!LayeredPicturesShown(m)) {
    // No picture where the screen would show it dark: the form repaints in the new skin at once.
    if (!m->System().LayeredWindowsAvailable()) AnimSkinChangeControl(form, Time, MaxAlpha);
    // The frame's region follows the new skin once the form shows it.
    Provider.UpdateRegion(false);
    detail::RedrawOn(formWnd, kRedrawNowWithErase);
    if (borders) {
      Provider.StateFlags &= ~pfBorderSnapshot;
      Provider.UpdateBorderForm(255);
    }
    return;
  }
  if (borders && !(Provider.StateFlags & pfBorderSnapshot)) Provider.TakeBorderSnapshot();
  Provider.PaintFrame();
  const TRect r = detail::WindowScreenRect(formWnd);
  const Bitmap* cache = Provider.FrameCacheBitmap();
  const TSize size = cache && !cache->Empty() ? TSize{cache->Width(), cache->Height()} : TSize{r.Width(), r.Height()};
  if (size.cx <= 0 || size.cy <= 0) {
    Provider.UpdateRegion(false);
    detail::RedrawOn(formWnd, kRedrawNowWithErase);
    return;
  }
  const bool repaintFirst = borders && !Aero && (Provider.StateFlags & pfBorderSnapshot) && cache != nullptr &&
                            cache->Width() == size.cx && cache->Height() == size.cy;
  // The form is repainted before the border window takes the new frame's size and place: meanwhile the border
  // window keeps the snapshot with the region that goes with it (moved or sized under its old region, it took the
  // clicks on the form's controls for as long as the form took to repaint).
  if (repaintFirst) detail::RedrawOn(formWnd, kRedrawNowWithErase);
  TacAnimWindow helper = borders ? Provider.AnimationWindow(false) : TacAnimWindow{};
  if (repaintFirst && helper.Wnd != nullptr) {
    ChangeRepaintedFirst(Provider, formWnd, helper.Wnd, Time, MaxAlpha);
    if (helper.Free) helper.Free();
    return;
  }
  Bitmap image(size.cx, size.cy, pf32bit);
  CaptureFormPicture(image, form, Provider, formWnd, helper.Wnd);
  if (!borders) {
    SetAlphaRect(image, TRect{0, 0, size.cx, size.cy}, 255, clNone);
    ClearAlphaRects(Provider.RegionCutOuts(), image);
  } else if (TRect hole; helper.Wnd != nullptr && Provider.BorderClientHole(hole)) {
    // The border window (perhaps just made) has its region before it shows.
    Provider.SetBorderFormRegion();
    LeaveClientToForm(image, hole);
  }
  const bool borderWindow = borders && helper.Wnd != nullptr;
  if (helper.Wnd == nullptr) {
    helper = detail::MakeHelperWindow(r, detail::WindowTopmost(formWnd), formWnd);
    detail::CopyWindowRegion(formWnd, helper.Wnd);
  }
  RunFrames(helper.Wnd, image, ShowAnimFrames(size, Time, MaxAlpha, Aero), Aero, true);
  // Under the last picture: the new skin's region, then the one repaint of the form in it.
  Provider.UpdateRegion(false);
  detail::RedrawOn(formWnd, kRedrawNowWithErase);
  // The border window stays: shown again at once, it came on the screen whole for a moment, over the form.
  if (!borderWindow) detail::HideWindow(helper.Wnd);
  if (borders) {
    // The transition is over: the border window shows the live frame again.
    Provider.StateFlags &= ~pfBorderSnapshot;
    Provider.UpdateBorderForm(255);
  }
  if (helper.Free) helper.Free();
}

void AnimSkinChangeControl(gui::TWinControl* Target, uint16_t Time, uint8_t MaxAlpha) {
  (void)MaxAlpha;
  if (Target == nullptr || !Target->HandleAllocated()) return;
  HWND wnd = Target->WindowHandle();
  const TRect r = detail::WindowScreenRect(wnd);
  const int32_t n = AnimFrameCount(Time);
  const LPARAM manager = reinterpret_cast<LPARAM>(DefaultManager());
  if (n <= 0 || r.Width() <= 0 || r.Height() <= 0) {
    SendLibraryCommand(wnd, AC_SKINREFRESH, manager);
    detail::RedrawOn(wnd, kRedrawNowWithErase);
    return;
  }
  Bitmap before(r.Width(), r.Height(), pf32bit);
  detail::CaptureScreen(wnd, before);
  SetAlphaRect(before, TRect{0, 0, r.Width(), r.Height()}, 255, clNone);
  TacAnimWindow output = detail::MakeHelperWindow(r, true, nullptr);
  LayeredOutput().Push(output.Wnd, before, 255);
  detail::ShowNoActivate(output.Wnd);
  // The control repaints with the new skin underneath.
  SendLibraryCommand(wnd, AC_SKINREFRESH, manager);
  detail::RedrawOn(wnd, kRedrawNowWithErase);
  Bitmap after(r.Width(), r.Height(), pf32bit);
  detail::PrintWindowInto(wnd, after, 0, 0, r.Width(), r.Height(), false);
  PaintChildWindowsToBitmap(Target, after);
  SetAlphaRect(after, TRect{0, 0, r.Width(), r.Height()}, 255, clNone);
  Bitmap mixed(r.Width(), r.Height(), pf32bit);
  for (int32_t k = 0; k <= n; ++k) {
    const uint32_t start = detail::TickCount();
    MixBitmapsByMask(mixed, after, before, int(255 * k / n), nullptr);
    SetAlphaRect(mixed, TRect{0, 0, r.Width(), r.Height()}, 255, clNone);
    LayeredOutput().Push(output.Wnd, mixed, 255);
    detail::WaitUntil(start + AnimFrameInterval);
  }
  SendLibraryCommand(wnd, AC_SKINREFRESH, manager);
  detail::HideWindow(output.Wnd);
  if (output.Free) output.Free();
  detail::RedrawOn(wnd, kRedrawNowWithErase);
}

void AnimShowDialog(TacAnimatedDialog& Adapter) {
  HWND wnd = Adapter.Window();
  TsSkinManager* m = DefaultManager();
  if (wnd == nullptr || m == nullptr) return;
  TacAnimWindow window;
  {
    AnimationFlag flag;
    const TRect r = detail::WindowScreenRect(wnd);
    if (r.Width() <= 0 || r.Height() <= 0) return;
    window = Adapter.TakeAnimationWindow();
    if (window.Wnd == nullptr) window = detail::MakeHelperWindow(r, detail::WindowTopmost(wnd), wnd);
    Bitmap image(r.Width(), r.Height(), pf32bit);
    SnapshotWndToBitmap(Adapter, image, false);
    const TacFormAnimation& show = m->AnimEffects.DialogShow;
    RunFrames(window.Wnd, image, ShowAnimFrames(TSize{r.Width(), r.Height()}, show.Time, 255, show.Mode == atAero, true),
              show.Mode == atAero, true);
  }
  detail::RedrawOn(wnd, kRedrawNowWithErase);
  if (window.Free) window.Free();
}

std::unique_ptr<Bitmap> DialogHidePicture(TacAnimatedDialog& Adapter) {
  HWND wnd = Adapter.Window();
  TsCommonData& data = Adapter.SkinData();
  std::unique_ptr<Bitmap> image;
  if (data.CacheBmp && !data.CacheBmp->Empty()) {
    // The cache holds the frame and the background: the children go over it, as the dialog showed them.
    image = CopyOf(*data.CacheBmp);
    const TRect client = detail::ClientRectInWindow(wnd);
    const TPoint at = Adapter.ClientOffset();
    if (void* dc = detail::BitmapDeviceContext(*image)) {
      Adapter.PrintChildWindows(wnd, dc, at);
      detail::ReleaseBitmapDeviceContext(*image, dc);
      SetAlphaRect(*image, TRect{at.X, at.Y, at.X + client.Width(), at.Y + client.Height()}, 255, clNone);
    }
  } else {
    const TRect r = detail::WindowScreenRect(wnd);
    image = std::make_unique<Bitmap>(std::max(r.Width(), 0), std::max(r.Height(), 0), pf32bit);
    SnapshotWndToBitmap(Adapter, *image, true);
  }
  return image;
}

void AnimHideDialog(TacAnimatedDialog& Adapter) {
  HWND wnd = Adapter.Window();
  TsSkinManager* m = DefaultManager();
  if (wnd == nullptr || m == nullptr) return;
  AnimationFlag flag;
  ClearGlows(true);
  std::unique_ptr<Bitmap> image = DialogHidePicture(Adapter);
  // The animation owns the window it runs on: the adapter hands it over before its border form goes.
  TacAnimWindow window = Adapter.TakeAnimationWindow();
  if (window.Wnd == nullptr) window = detail::MakeHelperWindow(detail::WindowScreenRect(wnd), true, nullptr);
  const TacFormAnimation& hide = m->AnimEffects.DialogHide;
  AnimHideWindow(std::move(window), std::move(image), hide.Time, nullptr, hide.Mode == atAero, 255);
  Adapter.FreeBorderForm();
}

// ---- Pictures of windows.

void PaintChildWindowsToBitmap(gui::TWinControl* Parent, Bitmap& Bmp) {
  if (Parent == nullptr) return;
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    auto* child = dynamic_cast<gui::TWinControl*>(Parent->Controls(i));
    if (child == nullptr || !child->Visible() || !child->HandleAllocated()) continue;
    if (auto* f = dynamic_cast<gui::TCustomForm*>(child); f && f->Parent() == nullptr) continue;
    PaintControlToBitmap(Bmp, child, child->Left(), child->Top(), nullptr);
  }
}

void PaintControlToBitmap(Bitmap& Bmp, gui::TControl* Control, int32_t X, int32_t Y, TacFormProvider* Provider) {
  if (Control == nullptr) return;
  if (!Control->Visible() && Control->Parent() != nullptr && Provider == nullptr) {
    BackgroundInfo bi;
    bi.R = TRect{0, 0, Control->Width(), Control->Height()};
    QueryControlBackground(bi, Control->Parent(), false);
    if (bi.BgType == btCache && bi.Bmp != nullptr) {
      const TPoint from{bi.Offset.X + Control->Left(), bi.Offset.Y + Control->Top()};
      BlendBitmapsConst(Bmp, *bi.Bmp, 0, TRect{from.X, from.Y, from.X + Control->Width(), from.Y + Control->Height()},
                        TPoint{X, Y});
    } else {
      FillRectBitmap32(Bmp, TRect{X, Y, X + Control->Width(), Y + Control->Height()}, ColorToRGB(bi.Color), 255);
    }
    return;
  }
  if (auto* w = dynamic_cast<gui::TWinControl*>(Control)) {
    if (!w->HandleAllocated()) return;
    const bool noClip = Provider != nullptr && Provider->HasBorderForm();
    const TRect wr = detail::WindowScreenRect(w->WindowHandle());
    detail::PrintWindowInto(w->WindowHandle(), Bmp, X, Y, wr.Width(), wr.Height(), noClip);
    // The children at their places in the window (a form's client area lies inside its frame).
    for (int i = 0; i < w->ControlCount(); ++i) {
      auto* child = dynamic_cast<gui::TWinControl*>(w->Controls(i));
      if (child == nullptr || !child->Visible() || !child->HandleAllocated()) continue;
      const TRect cr = detail::WindowScreenRect(child->WindowHandle());
      PaintControlToBitmap(Bmp, child, X + cr.Left - wr.Left, Y + cr.Top - wr.Top, nullptr);
    }
    return;
  }
  detail::PrintControlInto(Control, Bmp, X, Y);
}

void SnapshotWndToBitmap(TacAnimatedDialog& Adapter, Bitmap& Bmp, bool WholeWindow) {
  HWND wnd = Adapter.Window();
  if (wnd == nullptr || Bmp.Empty()) return;
  if (WholeWindow) {
    detail::CopyWindowDC(wnd, Bmp, TPoint{0, 0});
  } else {
    detail::PrintWindowInto(wnd, Bmp, 0, 0, Bmp.Width(), Bmp.Height(), false);
    void* dc = detail::BitmapDeviceContext(Bmp);
    if (dc != nullptr) {
      const TRect client = detail::ClientRectInWindow(wnd);
      Adapter.PrintChildWindows(wnd, dc, TPoint{client.Left, client.Top});
      detail::ReleaseBitmapDeviceContext(Bmp, dc);
    }
  }
  SetAlphaRect(Bmp, TRect{0, 0, Bmp.Width(), Bmp.Height()}, 255, clNone);
}

}  // namespace skin
