// A form with a skinned menu line and a skinned popup menu (for looking at them under Wine): the tests' flat skin
// is applied, the form's menu bar is drawn by the skinned menus, and after a second a popup menu with a caption
// item, a divider, a checked item, a disabled item and a shortcut opens and stays open until the program ends.
// It closes itself after the number of seconds given (default 6); a packed skin file given after the seconds is used
// instead of the tests' skin (the program's generated skins: build/<preset>/generated/skins/packed/*.asz).
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "gui/gui.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/sskinmenus.h"
#include "tests/skin_manager/win_skin.h"

namespace {

gui::TMenuItem* Add(gui::TComponent* owner, gui::TMenuItem* parent, const char* caption) {
  auto* item = new gui::TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

gui::TPopupMenu* g_popup = nullptr;
UINT g_closeAfter = 5000;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

// The second item of the open popup selected, as the keyboard would.
void CALLBACK SelectItem(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND menu = FindWindowA("#32768", nullptr))
    for (int i = 0; i < 2; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
}

void CALLBACK OpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  SetTimer(nullptr, 0, 300, SelectItem);
  SetTimer(nullptr, 0, g_closeAfter, CloseMenu);
  g_popup->Popup(120, 150);
  gui::Application->Terminate();
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 6;
  g_closeAfter = UINT(seconds - 1) * 1000;
  skin::PortableSkinSystem system;
  system.layeredWindows = true;
  auto manager = std::make_unique<skin::TsSkinManagerComponent>(nullptr, system);
  manager->MenuSupport.IcoLineSkin = "ICOLINE";  // what the manager's Loaded sets when it is empty
  skin::TsStoredSkin& stored = manager->InternalSkins.Add();
  stored.Name = "Flat";
  std::string packed = skindatatest::WinSkinPacked();
  if (argc > 2) {
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in && !bytes.str().empty()) packed = bytes.str();
  }
  stored.Data.WriteBuffer(packed.data(), int64_t(packed.size()));

  auto* form = new gui::TForm(gui::Application);
  form->SetCaption("Skinned menus");
  form->SetBounds(40, 40, 420, 300);
  auto* main = new gui::TMainMenu(form);
  gui::TMenuItem* file = Add(form, main->Items(), "&File");
  Add(form, file, "&Open");
  Add(form, main->Items(), "&Edit");
  Add(form, main->Items(), "&View");
  Add(form, main->Items(), "&Help");
  form->SetMenu(main);

  g_popup = new gui::TPopupMenu(form);
  Add(form, g_popup->Items(), "-Station-");
  Add(form, g_popup->Items(), "&Open report");
  gui::TMenuItem* save = Add(form, g_popup->Items(), "&Save");
  save->SetShortCut(gui::TextToShortCut("Ctrl+S"));
  Add(form, g_popup->Items(), "-");
  gui::TMenuItem* beacon = Add(form, g_popup->Items(), "&Beacon");
  beacon->SetChecked(true);
  gui::TMenuItem* grey = Add(form, g_popup->Items(), "Disabled item");
  grey->SetEnabled(false);
  Add(form, g_popup->Items(), "E&xit");

  manager->SetSkinName("Flat");
  form->Show();
  SetTimer(nullptr, 0, 1000, OpenMenu);
  gui::Application->Run();
  gui::Free(form);
  return 0;
}
