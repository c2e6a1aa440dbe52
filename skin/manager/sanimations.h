#pragma once
// Window show and hide animations and the skin-change transition: the window's image is captured into a 32-bit
// bitmap, and a layered window shows it frame by frame with a changing constant alpha and, in the aero mode, a
// changing size, while the real window is shown or hidden around it. Also the capture of a control (with its
// children) into a bitmap and the library's hint window.
//
// Timing: frames = Time div 12, one every 12 ms; 0 frames means no animation. An animation of n frames draws
// n + 1 pictures: a show rises from alpha 0 (aero: 3/4 of the size, centred) to its full alpha and size, a hide
// falls from full alpha and size to alpha 0 (aero: 3/4, centred). Shows and skin changes block the user-interface
// thread for their duration; hides run from one shared timer, each drawing the first picture at once and one per
// tick, ending at the tick after the last.
//
// Every picture goes to its window through LayeredOutput (UpdateLayeredWindow in the Windows build), a seam that
// the tests wrap to count and look at the frames; the schedule itself is portable.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/controls.h"
#include "gui/forms.h"
#include "skin/manager/skinchange.h"
#include "skin/timer/acthdtimer.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

struct TsCommonData;
class TsSkinManager;

// Whether a picture that a layered window shows with a changing alpha reaches the screen as it should: the
// system offers layered windows and the screen shows their alpha. Where it does not (under Wine on a display
// without a compositing manager) a fading picture shows dark, rising from black or sinking into it, over the
// window it stands for: windows then show, hide and change their skin at once.
bool LayeredPicturesShown(TsSkinManager* Manager);

// ---- The frame schedule.

inline constexpr uint32_t AnimFrameInterval = 12;  // ms
inline int32_t AnimFrameCount(uint16_t Time) { return int32_t(Time / AnimFrameInterval); }

// One picture of an animation: its constant alpha and where the image lies in the window's picture (the whole
// picture, or the aero rectangle).
struct TacAnimFrame {
  uint8_t Alpha = 0;
  TRect Rect;
};
// The pictures of a show (alpha from 0 up by MaxAlpha / n, or MaxAlpha / (n + 1) for a dialog, never above
// MaxAlpha; aero from 3/4 of the size to the whole). Without frames one picture at MaxAlpha.
std::vector<TacAnimFrame> ShowAnimFrames(const TSize& Size, uint16_t Time, uint8_t MaxAlpha, bool Aero,
                                         bool Dialog = false);
// The pictures of a hide (alpha from MaxAlpha down by MaxAlpha / n, never below 0; aero from the whole size to
// 3/4, centred). Without frames none.
std::vector<TacAnimFrame> HideAnimFrames(const TSize& Size, uint16_t Time, uint8_t MaxAlpha, bool Aero);
// The frame to show after frame Current of Count when Elapsed ms have passed since the first was shown: the next
// one, or the one that is due by then when the pushes fall behind the interval (a slow screen shows fewer pictures
// rather than a longer animation). The last frame is never skipped.
size_t NextAnimFrame(size_t Current, size_t Count, uint32_t Elapsed);
// A picture of the image for a frame: the image stretched into the frame's rectangle of a cleared picture (aero),
// or the image as it is.
void ComposeAnimFrame(Bitmap& Frame, const Bitmap& Image, const TacAnimFrame& F, bool Aero);

// ---- Layered output.

class TacLayeredOutput {
 public:
  virtual ~TacLayeredOutput() = default;
  // One picture onto a layered window, with per-pixel alpha and the constant alpha, at the window's position.
  virtual void Push(HWND Wnd, const Bitmap& Frame, uint8_t Alpha) = 0;
};
// The output in use (the system's unless one was set); setting returns the previous one (nullptr: the system's).
TacLayeredOutput& LayeredOutput();
TacLayeredOutput* SetLayeredOutput(TacLayeredOutput* Output);

// ---- Helpers.

// Every rectangle of the list made fully transparent (colour 0, alpha 0) in a 32-bit bitmap.
void ClearAlphaRects(const std::vector<TRect>& Rects, Bitmap& Bmp);
// SrcRect of Src (clipped, negative places moving the other side) over Dst at DstPoint, each pixel with alpha
// a > 0 mixed with weight w = (a x Alpha) shr 8: d := ((255 - w) x d + w x s) shr 8 per colour channel.
void BlendBitmapPart(Bitmap& Dst, const TRect& SrcRect, const Bitmap& Src, uint8_t Alpha, const TPoint& DstPoint);
// With Enable and layered windows: WS_EX_LAYERED added when missing (True only then) and the constant alpha set;
// otherwise WS_VISIBLE and WS_EX_LAYERED cleared without redrawing (False).
bool SetWindowAlpha(HWND Wnd, bool Enable, uint8_t Alpha);

// ---- The hide timer.

// The shared stepping object of hide animations (one per process, made on first use, owned by the application):
// an animation timer whose ticks draw the hide's pictures.
class TacHideTimer : public TacThreadedTimer {
 public:
  explicit TacHideTimer(gui::TComponent* AOwner);
  ~TacHideTimer() override;
  GUI_CLASS_NAME("TacHideTimer")

  // Takes the window and the image and starts (see AnimHideWindow).
  void Start(TacAnimWindow Window, std::unique_ptr<Bitmap> Image, uint16_t Time, HWND OwnerWnd, bool Aero,
             uint8_t MaxAlpha);
  // One tick: the next picture, or the end after the last one.
  void Step();
  // Ends the running animation now: its provider told (once), its window and pictures freed. Nothing when none
  // runs.
  void Finish();
  // A hide is running (its window is held).
  bool HoldsWindow() const { return window_.Wnd != nullptr || window_.Free != nullptr; }
  int32_t Counter() const { return counter_; }

 private:
  TacAnimWindow window_;
  HWND ownerWnd_ = nullptr;
  uint8_t told_ = 0;
  std::unique_ptr<Bitmap> image_;
  std::vector<TacAnimFrame> frames_;
  int32_t counter_ = 0;
  bool aero_ = false;
};
// The shared timer (nullptr before the first hide).
TacHideTimer* HideAnimTimer();

// ---- Animations.

// The hide of a window showing Image: a second hide finishes the first; without frames the window and image are
// freed at once; the owner window's provider is told the end (its OnAfterAnimation with 1) on every path.
void AnimHideWindow(TacAnimWindow Wnd, std::unique_ptr<Bitmap> Image, uint16_t Time, HWND OwnerWnd, bool Aero,
                    uint8_t MaxAlpha);
// The hide of a skinned form (its provider's frame image fading on a helper window while the form itself is made
// transparent).
void AnimHideForm(TacFormProvider& Provider);
// The show of a skinned form (blocks for its duration); the form, transparent meanwhile, is left for its caller
// to make opaque and repaint. The picture is made of the form as it is: the caller gives the child windows the
// skin first.
void AnimShowForm(TacFormProvider& Provider, uint16_t Time, uint8_t MaxAlpha, TacAnimType Mode);
// The skin-change transition of a form: the new look fades in over the old one, then the form gets the new
// skin's region and is repainted under the last picture (its border window too).
void AnimSkinChange(TacFormProvider& Provider, uint16_t Time, uint8_t MaxAlpha, bool Aero);
// The same for a control (or without layered windows): the old and the new picture mixed on an output window.
void AnimSkinChangeControl(gui::TWinControl* Target, uint16_t Time, uint8_t MaxAlpha);

// What the show and hide of a skinned dialog need of its adapter.
class TacAnimatedDialog {
 public:
  virtual ~TacAnimatedDialog() = default;
  virtual HWND Window() const = 0;
  // The adapter's skin data (its CacheBmp holds the dialog's frame picture).
  virtual TsCommonData& SkinData() = 0;
  // The window the animation runs on: the adapter's border window, its kept cover window, or none (a new helper
  // is made). The animation owns it from then on.
  virtual TacAnimWindow TakeAnimationWindow() { return {}; }
  // The border form is freed (after a hide).
  virtual void FreeBorderForm() {}
  // Where the client area lies in the frame picture (the cache), and the child windows painted into a device
  // context whose client area begins at ClientAt.
  virtual TPoint ClientOffset() const { return {}; }
  virtual void PrintChildWindows(HWND Wnd, void* DC, const TPoint& ClientAt) {}
};
void AnimShowDialog(TacAnimatedDialog& Adapter);
// The picture a dialog fades out with: its frame picture with its child windows over it (or, without a frame
// picture, a copy of its window).
std::unique_ptr<Bitmap> DialogHidePicture(TacAnimatedDialog& Adapter);
void AnimHideDialog(TacAnimatedDialog& Adapter);

// ---- Pictures of windows.

// A control and its windowed children drawn into Bmp at (X, Y) (a hidden control with a parent: its parent's
// background there). With a provider the form's frame is the provider's.
void PaintControlToBitmap(Bitmap& Bmp, gui::TControl* Control, int32_t X, int32_t Y, TacFormProvider* Provider);
// Every visible windowed child with its window drawn at its place.
void PaintChildWindowsToBitmap(gui::TWinControl* Parent, Bitmap& Bmp);
// A dialog's picture: its whole window (WholeWindow) or its client area painted by the adapter; alpha 255.
void SnapshotWndToBitmap(TacAnimatedDialog& Adapter, Bitmap& Bmp, bool WholeWindow);

// ---- Hint window and work areas.

// The library's hint window for a text at a point (nullptr for an empty text); the caller frees it.
class TacHintWindow {
 public:
  ~TacHintWindow();
  HWND Handle() const { return wnd_; }
  const std::string& Text() const { return text_; }
  // Whether it was shown with the system's fade (AnimateWindow).
  bool Faded() const { return faded_; }

 private:
  friend std::unique_ptr<TacHintWindow> ShowHintWindow(const std::string& Text, const TPoint& Point);
  HWND wnd_ = nullptr;
  std::string text_;
  bool faded_ = false;
};
std::unique_ptr<TacHintWindow> ShowHintWindow(const std::string& Text, const TPoint& Point);
// The work area of the monitor that holds the form; of the first monitor whose work area holds the point
// ((0, 0, 0, 0) when none does).
TRect FormMonitorWorkArea(gui::TCustomForm* Form);
TRect WorkAreaAtPoint(const TPoint& Point);
// Whether a hint text uses the system's fade: shorter than 100 characters, with the system's tooltip animation and
// fade on.
bool HintUsesAnimateWindow(const std::string& Text, bool TooltipAnimation, bool TooltipFade);

}  // namespace skin
