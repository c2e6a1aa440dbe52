// A skinned list view and a skinned popup menu with an open submenu, to look at under Wine (not a test):
//   menus_lists_demo.exe [seconds] [packed skin]
// The tests' flat skin is used unless a packed skin file is given (the program's generated skins:
// build/<preset>/generated/skins/packed/*.asz). A window-creation hook of the demo's own gives each popup-menu
// window its adapter, as the skin manager's hook does. The program ends after the number of seconds (default 8).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "gui/gui.h"
#include "skin/adapters/aclistview.h"
#include "skin/adapters/acmnuwnd.h"
#include "skin/manager/sskinmanager_component.h"
#include "tests/skin_adapters/menu_list_skin.h"

namespace {

gui::TPopupMenu* g_popup = nullptr;
UINT g_closeAfter = 7000;

gui::TMenuItem* Add(gui::TComponent* owner, gui::TMenuItem* parent, const char* caption) {
  auto* item = new gui::TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

LRESULT CALLBACK Cbt(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(l)->lpcs;
    if (IS_INTRESOURCE(cs->lpszClass) && LOWORD(reinterpret_cast<ULONG_PTR>(cs->lpszClass)) == 0x8000)
      skin::CreateMenuAdapter(reinterpret_cast<HWND>(w), nullptr);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

// Up to the last item (a submenu) and into it, as the keyboard would.
void CALLBACK OpenSubmenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND menu = FindWindowA("#32768", nullptr)) {
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
  }
}

void CALLBACK OpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  SetTimer(nullptr, 0, 300, OpenSubmenu);
  SetTimer(nullptr, 0, g_closeAfter, CloseMenu);
  g_popup->Popup(470, 120);
  gui::Application->Terminate();
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 8;
  g_closeAfter = UINT(seconds - 2) * 1000;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  skin::PortableSkinSystem system;
  system.layeredWindows = true;
  auto manager = std::make_unique<skin::TsSkinManagerComponent>(nullptr, system);
  manager->MenuSupport.AlphaBlend = 230;
  skin::TsStoredSkin& stored = manager->InternalSkins.Add();
  stored.Name = "Demo";
  std::string packed = skin::PackSkin({{"Options.dat", adaptertest::MenuListOptionsText()},
                                       {"master.bmp", skintest::Bmp24(64, 48, adaptertest::MenuListMasterPixel)}});
  if (argc > 2) {
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in && !bytes.str().empty()) packed = bytes.str();
  }
  stored.Data.WriteBuffer(packed.data(), int64_t(packed.size()));

  auto* form = new gui::TForm(gui::Application);
  form->SetCaption("List view and menus");
  form->SetBounds(20, 20, 440, 320);
  g_popup = new gui::TPopupMenu(form);
  Add(form, g_popup->Items(), "&Open report");
  Add(form, g_popup->Items(), "&Save");
  Add(form, g_popup->Items(), "-");
  Add(form, g_popup->Items(), "&Beacon");
  gui::TMenuItem* more = Add(form, g_popup->Items(), "More");
  Add(form, more, "First");
  Add(form, more, "Second");
  manager->SetSkinName("Demo");
  form->Show();

  HWND lv = CreateWindowExA(0, "SysListView32", "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 10, 10, 400,
                            250, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  const char* titles[3] = {"Call", "Frequency", "Notes"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = i == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    c.cx = 110;
    c.pszText = const_cast<char*>(titles[i]);
    SendMessageA(lv, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&c));
  }
  for (int i = 0; i < 60; ++i) {
    char call[32], freq[32];
    std::snprintf(call, sizeof call, "F%dABC", i);
    std::snprintf(freq, sizeof freq, "%d.%03d", 433 + i % 3, (i * 37) % 1000);
    LVITEMA it{};
    it.mask = LVIF_TEXT;
    it.iItem = i;
    it.pszText = call;
    SendMessageA(lv, LVM_INSERTITEMA, 0, LPARAM(&it));
    it.iSubItem = 1;
    it.pszText = freq;
    SendMessageA(lv, LVM_SETITEMTEXTA, WPARAM(i), LPARAM(&it));
  }
  // A sort arrow on the first column.
  HWND header = FindWindowExA(lv, nullptr, "SysHeader32", nullptr);
  HDITEMA hd{};
  hd.mask = HDI_FORMAT;
  SendMessageA(header, HDM_GETITEMA, 0, LPARAM(&hd));
  hd.fmt |= HDF_SORTUP;
  SendMessageA(header, HDM_SETITEMA, 0, LPARAM(&hd));
  skin::TacSkinParams params;
  skin::TacListViewWnd* adapter = skin::NewAdapter<skin::TacListViewWnd>(lv, nullptr, manager.get(), params, true);
  SendMessageA(lv, WM_VSCROLL, SB_PAGEDOWN, 0);

  HHOOK hook = SetWindowsHookExA(WH_CBT, Cbt, nullptr, GetCurrentThreadId());
  SetTimer(nullptr, 0, 1000, OpenMenu);
  gui::Application->Run();
  UnhookWindowsHookEx(hook);
  skin::FreeAdapter(adapter);
  skin::FreeMenuWindowAdapters();
  gui::Free(form);
  return 0;
}
