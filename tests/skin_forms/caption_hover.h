#pragma once
// The pointer brought onto a caption button with the X server's mouse straight from a control in the form's body,
// and from it through the outside: the button shows its hover look and keeps it once the control knows the pointer
// left it (a notice that comes late). Run where the screen shows layered alpha and where it does not.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "gui/gui.h"
#include "gui/stdctrls.h"
#include "skin/forms/sskinprovider.h"
#include "tests/skin_forms/forms_fixture.h"
#include "tests/support/win_screen.h"

namespace formstest {

inline void ExpectCaptionButtonLightsUpFromTheBodyAndFromOutside() {
  using testsupport::PumpUntil;
  FormsSkin skin;
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(200, 150, 360, 260);
  form->SetCaption("Skinned station");
  auto* memo = new gui::TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(20, 20, 300, 150);
  auto* p = new skin::TsSkinProvider(form);
  form->Show();
  HWND h = form->WindowHandle();
  SetForegroundWindow(h);
  ASSERT_TRUE(testsupport::StandsOnScreenAt(h, 200, 150));
  RECT fr{}, mr{};
  GetWindowRect(h, &fr);
  const skin::TRect b = p->ButtonMin.Rect;
  const POINT button{fr.left + (b.Left + b.Right) / 2, fr.top + (b.Top + b.Bottom) / 2};
  auto shows = [&](TColor colour) {
    return PumpUntil([&] { return (testsupport::ScreenPixel(button.x, button.y) & 0xFFFFFF) == uint32_t(colour); },
                     3000);
  };
  ASSERT_TRUE(shows(ButtonColor(bMin, 0)));
  GetWindowRect(memo->WindowHandle(), &mr);
  auto at = [](int x, int y) { return " mousemove " + std::to_string(x) + " " + std::to_string(y); };
  const std::string body = at((mr.left + mr.right) / 2, (mr.top + mr.bottom) / 2);
  const std::string outside = at(900, 700);
  const struct {
    const char* way;
    std::string moves;
  } ways[] = {{"straight from the body", body + " sleep 0.3" + at(button.x, button.y)},
              {"from the body through the outside",
               body + " sleep 0.3" + outside + " sleep 0.05" + at(button.x, button.y)}};
  for (const auto& w : ways) {
    SCOPED_TRACE(w.way);
    ASSERT_TRUE(testsupport::Xdotool(outside));
    ASSERT_TRUE(shows(ButtonColor(bMin, 0)));
    ASSERT_TRUE(testsupport::Xdotool(w.moves));
    // Hot once the memo knows that the pointer left it, and on the screen.
    EXPECT_TRUE(PumpUntil([&] { return gui::Application->MouseControl() == nullptr && p->ButtonMin.State == 1; }, 3000))
        << "state " << p->ButtonMin.State;
    EXPECT_TRUE(shows(ButtonColor(bMin, 1)));
  }
  testsupport::Xdotool(outside);
  EXPECT_TRUE(shows(ButtonColor(bMin, 0)));
  gui::Free(form);
  testsupport::PumpFor(50);
}

}  // namespace formstest
