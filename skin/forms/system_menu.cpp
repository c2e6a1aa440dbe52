#include "skin/forms/system_menu.h"

#include <string>
#include <vector>

#include "gui/forms.h"
#include "skin/data/libstrings.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/form_window.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/sskinprovider.h"
#include "skin/manager/win_values.h"

namespace skin {

namespace {

using gui::TFormBorderStyle;
using namespace wv;


bool IsToolOrDialog(TFormBorderStyle s) {
  return s == TFormBorderStyle::bsNone || s == TFormBorderStyle::bsDialog || s == TFormBorderStyle::bsToolWindow ||
         s == TFormBorderStyle::bsSizeToolWin;
}

std::string NumberedName(const char* prefix, uint32_t n) {
  std::string name(prefix);
  name.append(std::to_string(n));
  return name;
}

// An MDI child takes the rules of a child window inside its parent's client area: it can always be sized,
// restored and maximized there, whatever its border style.
bool MdiChild(const gui::TCustomForm* form) { return form != nullptr && form->FormStyle() == gui::TFormStyle::fsMDIChild; }

gui::TMenuItem* NewItem(TsSystemMenu& menu, const std::string& name, const std::string& caption) {
  auto* item = new gui::TMenuItem(&menu);
  if (!name.empty()) item->SetName(name);
  item->SetCaption(caption);
  return item;
}

void AddSeparator(TsSystemMenu& menu, const std::string& name) {
  menu.Items()->Add(NewItem(menu, name, "-"));
}

// A copy of a popup menu's item, with its sub-items.
gui::TMenuItem* CopyItem(TsSystemMenu& menu, const gui::TMenuItem& source) {
  std::string name = source.Name().empty() ? std::string() : source.Name() + "Copy";
  if (!name.empty() && menu.FindComponent(name) != nullptr) name.clear();  // a copy made earlier keeps its name
  gui::TMenuItem* copy = NewItem(menu, name, source.Caption());
  copy->SetShortCut(source.ShortCut());
  copy->SetChecked(source.Checked());
  copy->SetEnabled(source.Enabled());
  copy->OnClick = source.OnClick;
  copy->SetImageIndex(source.ImageIndex());
  for (int i = 0; i < source.Count(); ++i) copy->Add(CopyItem(menu, *source.Items(i)));
  return copy;
}

void AddExtraSubMenu(TsSystemMenu& menu, TacMenuItemPos position) {
  TacSysSubMenu& sub = menu.Provider->SysSubMenu();
  if (sub.Position != position || sub.Caption.empty() || sub.PopupMenu == nullptr) return;
  if (position == ipBottom) AddSeparator(menu, "ac_BtmDiv");
  gui::TMenuItem* extra = NewItem(menu, "ac_SubMenu", sub.Caption);
  const gui::TMenuItem* items = sub.PopupMenu->Items();
  for (int i = 0; i < items->Count(); ++i) extra->Add(CopyItem(menu, *items->Items(i)));
  menu.Items()->Add(extra);
  menu.ExtraItem = extra;
  if (position == ipTop || position == ipBeforeClose) AddSeparator(menu, "ac_TopDiv");
}

void SendCommand(TsSystemMenu& menu, uint32_t command) {
  if (menu.Form) SendFormMessage(*menu.Form, kWmSysCommand, command, 0);
}

}  // namespace

TsSystemMenu::TsSystemMenu(TsSkinProvider& provider)
    : TsCustomSysMenu(&provider), Provider(&provider), Form(provider.Form()) {
  SetName(NumberedName("acSysMenu", TickCount()));
  SysMenuBuildItems(*this);
}

bool TsSystemMenu::CloseEnabled() const {
  const int32_t state = Form ? FormSystemMenuState(*Form, kScClose) : -1;
  return (state & int32_t(kMfDisabled)) == 0;
}

bool TsSystemMenu::CloseVisible() const {
  return ProviderHasSystemMenu(*Provider) && Form && FormHasSystemMenu(*Form) &&
         FormSystemMenuState(*Form, kScClose) != -1;
}

namespace {
bool CaptionButtonVisible(const TsSystemMenu& m, gui::TBorderIcons icon) {
  if (!ProviderHasSystemMenu(*m.Provider) || !m.Form) return false;
  if (FormWindowIconic(*m.Form) || MdiChild(m.Form)) return true;
  const TFormBorderStyle s = m.Form->BorderStyle();
  const gui::TBorderIcons icons = m.Form->BorderIcons();
  if (s == TFormBorderStyle::bsSingle && !(icons & icon)) return false;
  if (s != TFormBorderStyle::bsSingle && IsToolOrDialog(s)) return false;
  return (icons & gui::biSystemMenu) && (icons & icon);
}
}  // namespace

bool TsSystemMenu::MaximizeVisible() const { return CaptionButtonVisible(*this, gui::biMaximize); }
bool TsSystemMenu::MinimizeVisible() const { return CaptionButtonVisible(*this, gui::biMinimize); }

bool TsSystemMenu::MaximizeEnabled() const {
  if (!Form) return false;
  const TFormBorderStyle s = Form->BorderStyle();
  return (MdiChild(Form) || s == TFormBorderStyle::bsSingle || s == TFormBorderStyle::bsSizeable) &&
         (Form->BorderIcons() & gui::biMaximize);
}

bool TsSystemMenu::MinimizeEnabled() const {
  if (!Form) return false;
  return (Form->BorderIcons() & gui::biMinimize) &&
         (!FormWindowIconic(*Form) || gui::Application->MainForm() == Form);
}

bool TsSystemMenu::RestoreEnabled() const {
  if (!Form) return false;
  const gui::TWindowState w = Form->WindowState();
  return ((Form->BorderIcons() & gui::biMaximize) && w != gui::TWindowState::wsNormal) ||
         w == gui::TWindowState::wsMinimized;
}

bool TsSystemMenu::RestoreVisible() const {
  return ProviderHasSystemMenu(*Provider) && Form && (MdiChild(Form) || !IsToolOrDialog(Form->BorderStyle()));
}

bool TsSystemMenu::MoveEnabled() const { return Form && Form->WindowState() != gui::TWindowState::wsMaximized; }

bool TsSystemMenu::SizeVisible() const {
  if (!Form) return false;
  if (MdiChild(Form)) return true;
  const TFormBorderStyle s = Form->BorderStyle();
  return !(s == TFormBorderStyle::bsNone || s == TFormBorderStyle::bsDialog || s == TFormBorderStyle::bsToolWindow);
}

bool TsSystemMenu::SizeEnabled() const {
  return Form && Form->BorderStyle() != TFormBorderStyle::bsSingle && !FormWindowIconic(*Form);
}

bool SysMenuItemCaption(const TsSystemMenu& menu, uint32_t command, bool byPosition, const std::string& defaultCaption,
                        gui::TMenuItem& item) {
  std::string text;
  if (menu.Form) {
    const std::vector<SystemMenuEntry> entries = FormSystemMenuEntries(*menu.Form);
    if (byPosition) {
      if (command < entries.size()) text = entries[command].Text;
    } else {
      for (const SystemMenuEntry& e : entries)
        if (e.Id == command) {
          text = e.Text;
          break;
        }
    }
  }
  if (text.size() > 255) text.resize(255);
  if (text.empty()) {
    item.SetCaption(defaultCaption);
    return false;
  }
  const size_t tab = text.find('\t');
  if (tab == std::string::npos) {
    item.SetCaption(text);
  } else {
    item.SetCaption(text.substr(0, tab));
    item.SetShortCut(gui::TextToShortCut(text.substr(tab + 1)));
  }
  return true;
}

void SysMenuBuildItems(TsSystemMenu& menu) {
  menu.Items()->Clear();
  menu.ExtraItem = menu.ItemRestore = menu.ItemMove = menu.ItemSize = nullptr;
  menu.ItemMinimize = menu.ItemMaximize = menu.ItemClose = nullptr;
  menu.CopiedCount = 0;
  if (!menu.Form || !FormHasSystemMenu(*menu.Form)) return;

  AddExtraSubMenu(menu, ipTop);

  struct Standard {
    const char* name;
    uint32_t command;
    uint16_t text;
    gui::TMenuItem* TsCustomSysMenu::*field;
  };
  const Standard standard[] = {{"acIR", kScRestore, sidRestore, &TsCustomSysMenu::ItemRestore},
                               {"acIM", kScMove, sidMove, &TsCustomSysMenu::ItemMove},
                               {"acIS", kScSize, sidSize, &TsCustomSysMenu::ItemSize},
                               {"acIN", kScMinimize, sidMinimize, &TsCustomSysMenu::ItemMinimize},
                               {"acIX", kScMaximize, sidMaximize, &TsCustomSysMenu::ItemMaximize}};
  for (const Standard& s : standard) {
    gui::TMenuItem* item = NewItem(menu, s.name, std::string());
    SysMenuItemCaption(menu, s.command, false, std::string(BuiltInLibraryText(s.text)), *item);
    item->SetTag(intptr_t(s.command));
    TsSystemMenu* m = &menu;
    const uint32_t command = s.command;
    if (command == kScMinimize) {
      item->OnClick = [m](gui::TObject*) {
        m->Provider->MinimizingByButton = true;
        SendCommand(*m, kScMinimize);
        m->Provider->MinimizingByButton = false;
        if (m->Provider->SystemMenu) SysMenuUpdateItems(*m->Provider->SystemMenu);
      };
    } else if (command == kScRestore || command == kScMaximize) {
      item->OnClick = [m, command](gui::TObject*) {
        SendCommand(*m, command);
        SysMenuUpdateItems(*m);
      };
    } else {
      item->OnClick = [m, command](gui::TObject*) { SendCommand(*m, command); };
    }
    menu.Items()->Add(item);
    menu.*(s.field) = item;
  }
  AddSeparator(menu, std::string());

  const std::vector<SystemMenuEntry> entries = FormSystemMenuEntries(*menu.Form);
  for (size_t i = 0; i < entries.size(); ++i) {
    const uint32_t id = entries[i].Id;
    if (id >= 0xF000 && id <= 0xF1FF) continue;
    gui::TMenuItem* item = NewItem(menu, std::string(), std::string());
    if (!SysMenuItemCaption(menu, uint32_t(i), true, std::string(), *item)) {
      delete item;
      continue;
    }
    item->SetTag(intptr_t(id));
    gui::TCustomForm* form = menu.Form;
    item->OnClick = [form, id](gui::TObject*) { PostFormMessage(*form, kWmSysCommand, id, 0); };
    menu.Items()->Add(item);
    ++menu.CopiedCount;
  }
  if (menu.CopiedCount > 0) AddSeparator(menu, std::string());

  AddExtraSubMenu(menu, ipBeforeClose);

  gui::TMenuItem* close = NewItem(menu, "acIC", std::string());
  SysMenuItemCaption(menu, kScClose, false, std::string(BuiltInLibraryText(sidClose)), *close);
  close->SetTag(intptr_t(kScClose));
  TsSystemMenu* m = &menu;
  close->OnClick = [m](gui::TObject*) { SendCommand(*m, kScClose); };
  close->SetEnabled(menu.CloseEnabled());
  menu.Items()->Add(close);
  menu.ItemClose = close;

  AddExtraSubMenu(menu, ipBottom);
}

void SysMenuUpdateItems(TsSystemMenu& menu, bool rebuild) {
  if (rebuild || menu.ItemClose == nullptr) SysMenuBuildItems(menu);
  if (!menu.Form) return;
  auto set = [](gui::TMenuItem* item, bool visible, bool enabled) {
    if (!item) return;
    item->SetVisible(visible);
    item->SetEnabled(enabled);
  };
  set(menu.ItemRestore, menu.RestoreVisible(), menu.RestoreEnabled());
  set(menu.ItemMove, true, menu.MoveEnabled());
  set(menu.ItemSize, menu.SizeVisible(), menu.SizeEnabled());
  set(menu.ItemMinimize, menu.MinimizeVisible(), menu.MinimizeEnabled());
  set(menu.ItemMaximize, menu.MaximizeVisible(), menu.MaximizeEnabled());
  set(menu.ItemClose, menu.CloseVisible(), menu.CloseEnabled());
}

void SysMenuAddMainMenuItems(TsSystemMenu& menu, const gui::TMainMenu* mainMenu) {
  gui::TMenuItem* items = menu.Items();
  for (int i = items->Count() - 1; i >= 0; --i)
    if (items->Items(i)->Name().rfind("acMainMenu", 0) == 0) delete items->Items(i);
  if (mainMenu == nullptr || mainMenu->Items()->Count() == 0) return;
  int at = 0;
  for (int i = 0; i < mainMenu->Items()->Count(); ++i) {
    const gui::TMenuItem* source = mainMenu->Items()->Items(i);
    if (source->IsLine()) continue;
    gui::TMenuItem* copy = CopyItem(menu, *source);
    copy->SetName(NumberedName("acMainMenu", uint32_t(i)));
    items->Insert(at++, copy);
  }
  items->Insert(at, NewItem(menu, "acMainMenuDiv", "-"));
}

std::string SkinNameOfMenuCaption(const std::string& caption) {
  std::string name;
  for (char c : caption)
    if (c != '&') name += c;
  static const std::string internal = "(internal)";
  const size_t at = name.find(internal);
  if (at != std::string::npos) name.resize(at + internal.size());
  return name;
}

void SysMenuAddSkinItems(TsSystemMenu& menu) {
  gui::TMenuItem* items = menu.Items();
  if (gui::TMenuItem* previous = dynamic_cast<gui::TMenuItem*>(menu.FindComponent("SkinSelectItem"))) {
    const int at = items->IndexOf(previous);
    if (at >= 0 && at + 1 < items->Count() && items->Items(at + 1)->IsLine()) delete items->Items(at + 1);
    delete previous;  // with its sub-items
  }
  TsSkinManager* manager = menu.Provider ? ProviderManager(*menu.Provider) : nullptr;
  if (manager == nullptr) return;
  const std::vector<std::string> skinNames = SkinManagerGetSkinNames(*manager);
  if (skinNames.empty()) return;
  gui::TMenuItem* root = NewItem(menu, "SkinSelectItem", std::string(BuiltInLibraryText(sidAvailSkins)));
  items->Insert(0, root);
  items->Insert(1, NewItem(menu, std::string(), "-"));
  bool checked = false;
  TsSystemMenu* m = &menu;
  for (size_t i = 0; i < skinNames.size(); ++i) {
    gui::TMenuItem* item = NewItem(menu, NumberedName("SkinSelectItem", uint32_t(i)), skinNames[i]);
    item->SetRadioItem(true);
    if (!checked && skinNames[i] == manager->SkinName()) {
      item->SetChecked(true);
      checked = true;
    }
    if (i > 0 && i % 20 == 0) item->SetBreak(gui::TMenuBreak::mbBreak);
    item->OnClick = [m, item](gui::TObject*) {
      // The manager of the moment: the provider may have been given another since the list was made.
      if (TsSkinManager* chosen = m->Provider ? ProviderManager(*m->Provider) : nullptr)
        chosen->SetSkinName(SkinNameOfMenuCaption(item->Caption()));
    };
    root->Add(item);
  }
}

}  // namespace skin
