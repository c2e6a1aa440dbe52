#pragma once
// Whether the screen really shows the per-pixel alpha of layered windows. Windows composes layered windows
// itself, with or without the desktop window manager. Under Wine the X server shows them: with a compositing
// manager the alpha blends as on Windows; without one (a bare Xvfb, or a window manager that does not
// composite) a half-transparent pixel shows its colour over black, and only fully transparent pixels are cut
// out. The composition state that the system reports cannot tell these apart (Wine reports composition on under
// its default Windows version), so the screen is asked once: a small layered probe is shown over a window of
// a known colour and what the screen shows there is read back.
//
// What draws soft edges with per-pixel alpha (the extended border window's shadow, the glows) is left out where
// the alpha is not shown.
namespace skin {

// The answer, asked once per process (the natively built library has no screen: true).
bool LayeredAlphaShown();

// Starts the question on a thread of its own, where it is still to be asked: the probe waits some 60 ms on the
// screen before it may answer "not shown", and started as a skin is applied it runs while the first skinned
// window is made. LayeredAlphaShown then waits for its answer where it is not in yet. Asked on the windows'
// thread, as LayeredAlphaShown.
void AskLayeredAlphaEarly();

// How the answer is reached: "system" (Windows composes layered windows), "probe: shown", "probe: not shown", or
// "probe: unreadable" (the screen could not be read: the composition state decides). For logs and tests.
const char* LayeredAlphaSource();

}  // namespace skin
