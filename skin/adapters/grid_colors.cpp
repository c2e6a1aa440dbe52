#include "skin/adapters/grid_colors.h"

#include <algorithm>

#include "gui/typinfo.h"
#include "skin/pixels/graph_utils.h"

namespace skin {

namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;

TColor Mix(TColor a, TColor b, double ratio) { return MixColorsRatio(a, b, ratio); }

}  // namespace

std::vector<PropertyValue> GridColorTable(const GridSkinColors& c, gui::TObject* Control) {
  std::vector<PropertyValue> t = {
      {"FixedColor", c.Global},
      {"TitleFont.Color", c.GlobalFont},
  };
  if (Control != nullptr && gui::IsPublishedProp(Control, "ControlLook")) t.push_back({"FixedFont.Color", c.GlobalFont});
  const std::vector<PropertyValue> rest = {
      {"GridFixedLineColor", c.Border},
      {"GridLineColor", Mix(c.Edit, c.EditFont, 0.7)},
      {"ControlLook.FixedGradientFrom", Mix(c.Global, c.Edit, 0.5)},
      {"ControlLook.FixedGradientTo", c.Global},
      {"ControlLook.FixedGradientMirrorFrom", Mix(c.Global, kBlack, 0.95)},
      {"ControlLook.FixedGradientMirrorTo", Mix(c.Global, kWhite, 0.9)},
      {"SelectionColor", c.Selection},
      {"SelectionTextColor", c.SelectionFont},
      {"GridStyle.Title.StartColor", Mix(c.Global, c.Edit, 0.5)},
      {"GridStyle.Title.EndColor", c.Global},
      {"LineColors.FixedColor", c.Border},
      {"LineColors.DataColor", Mix(c.Edit, c.EditFont, 0.8)},
      {"LineColors.ShadowColor", Mix(c.Edit, c.EditFont, 0.8)},
      {"FooterColor", c.GlobalInfo},
      {"FooterCellColor", c.GlobalInfo},
      {"TitleColor", c.GlobalInfo},
      {"IndicatorIconColor", c.SectionFont},
  };
  t.insert(t.end(), rest.begin(), rest.end());
  return t;
}

std::vector<PropertyValue> GridEhColorTable(const GridSkinColors& c) {
  return {
      {"EvenRowColor", c.EditEven},
      {"OddRowColor", c.EditOdd},
      {"GridLineParams.BrightColor", Mix(kWhite, c.Edit, 0.2)},
      {"GridLineParams.DataHorzColor", Mix(c.EditFont, c.Edit, 0.2)},
      {"GridLineParams.DataVertColor", Mix(c.EditFont, c.Edit, 0.2)},
      {"GridLineParams.DarkColor", Mix(kBlack, c.Global, 0.3)},
      {"IndicatorParams.Color", c.GlobalInfo},
      {"IndicatorParams.HorzLines", 0},
      {"IndicatorParams.VertLines", 0},
      {"IndicatorParams.FillStyle", 2},
      {"TitleParams.Color", c.GlobalInfo},
      {"TitleParams.SecondColor", Mix(kWhite, c.GlobalInfo, 0.1)},
      {"TitleParams.HorzLines", 0},
      {"TitleParams.FillStyle", 3},
      {"TitleParams.VertLineColor", c.Border},
      {"RowDetailPanel.Color", c.Global},
  };
}

std::vector<SetElementChange> GridEhSetChanges() { return {{"OptionsEh", "dghFixed3D", false}}; }

std::vector<PropertyValue> VirtualTreeColorTable(const GridSkinColors& c) {
  return {
      {"VETColors.CompressedTextColor", c.SectionFont},
      {"VETColors.FileTextColor", c.SectionFont},
      {"VETColors.FolderTextColor", c.SectionFont},
      {"Colors.FocusedSelectionBorderColor", c.Selection},
      {"Colors.FocusedSelectionColor", c.Selection},
      {"Colors.HotColor", c.EditFont},
      {"Colors.UnfocusedSelectionBorderColor", Mix(c.Selection, c.Edit, 0.5)},
      {"Colors.UnfocusedSelectionColor", Mix(c.Selection, c.Edit, 0.5)},
      {"Colors.SelectionTextColor", c.SelectionFont},
      {"PaintInfoColumn.Color", c.Global},
      {"PaintInfoColumn.Style", 1},
      {"Header.Color", c.Edit},
      {"Header.Font.Color", c.GlobalFont},
  };
}

bool ResolvePropertyPath(gui::TObject* Root, std::string_view Path, gui::TObject*& Holder, std::string& Name) {
  gui::TObject* obj = Root;
  std::string_view rest = Path;
  while (obj != nullptr) {
    const size_t dot = rest.find('.');
    if (dot == std::string_view::npos) {
      if (rest.empty() || !gui::IsPublishedProp(obj, rest)) return false;
      Holder = obj;
      Name = std::string(rest);
      return true;
    }
    const std::string_view step = rest.substr(0, dot);
    const gui::TPropInfo* info = gui::GetPropInfo(obj, step);
    if (info == nullptr || info->Kind != gui::TTypeKind::tkClass) return false;
    obj = gui::GetObjectProp(obj, step);
    rest = rest.substr(dot + 1);
  }
  return false;
}

bool PropertyPathExists(gui::TObject* Root, std::string_view Path) {
  gui::TObject* holder = nullptr;
  std::string name;
  return ResolvePropertyPath(Root, Path, holder, name);
}

int64_t GetPropertyPath(gui::TObject* Root, std::string_view Path) {
  gui::TObject* holder = nullptr;
  std::string name;
  if (!ResolvePropertyPath(Root, Path, holder, name)) return -1;
  return gui::GetOrdProp(holder, name);
}

void ApplyPropertyValues(gui::TObject* Root, const std::vector<PropertyValue>& Values, SavedProperties& Saved) {
  for (const PropertyValue& v : Values) {
    gui::TObject* holder = nullptr;
    std::string name;
    if (!ResolvePropertyPath(Root, v.Path, holder, name)) continue;
    const gui::TPropInfo* info = gui::GetPropInfo(holder, name);
    if (info == nullptr || !info->GetOrd || !info->SetOrd) continue;
    const bool saved = std::any_of(Saved.Values.begin(), Saved.Values.end(),
                                   [&](const PropertyValue& s) { return s.Path == v.Path; });
    if (!saved) Saved.Values.push_back({v.Path, info->GetOrd(*holder)});
    if (info->GetOrd(*holder) != v.Value) info->SetOrd(*holder, v.Value);
  }
}

void ApplySetChanges(gui::TObject* Root, const std::vector<SetElementChange>& Changes, SavedProperties& Saved) {
  for (const SetElementChange& c : Changes) {
    gui::TObject* holder = nullptr;
    std::string name;
    if (!ResolvePropertyPath(Root, c.Path, holder, name)) continue;
    const gui::TPropInfo* info = gui::GetPropInfo(holder, name);
    if (info == nullptr || info->Kind != gui::TTypeKind::tkSet || !info->GetOrd || !info->SetOrd) continue;
    const auto at = std::find(info->Names.begin(), info->Names.end(), c.Element);
    if (at == info->Names.end()) continue;
    const int64_t bit = int64_t{1} << (at - info->Names.begin());
    const int64_t value = info->GetOrd(*holder);
    if (((value & bit) != 0) == c.Add) continue;  // already as wanted: nothing to undo later
    info->SetOrd(*holder, c.Add ? (value | bit) : (value & ~bit));
    Saved.Elements.push_back(c);
  }
}

void RestoreProperties(gui::TObject* Root, SavedProperties& Saved) {
  for (auto it = Saved.Elements.rbegin(); it != Saved.Elements.rend(); ++it) {
    SetElementChange undo = *it;
    undo.Add = !undo.Add;
    SavedProperties ignored;
    ApplySetChanges(Root, {undo}, ignored);
  }
  for (auto it = Saved.Values.rbegin(); it != Saved.Values.rend(); ++it) {
    gui::TObject* holder = nullptr;
    std::string name;
    if (!ResolvePropertyPath(Root, it->Path, holder, name)) continue;
    gui::SetOrdProp(holder, name, it->Value);
  }
  Saved = SavedProperties{};
}

}  // namespace skin
