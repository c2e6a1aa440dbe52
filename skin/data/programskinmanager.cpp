#include "skin/data/programskinmanager.h"

namespace skin {

void ReadProgramSkinManager(TsSkinManager& m, const StoredSkinDataSource& Data) {
  m.BeginLoading();
  m.Effects.AllowOuterEffects = true;
  m.SetExtendedBorders(true);
  TacAnimEffects& a = m.AnimEffects;
  a.BlendOnMoving.Active = true;
  a.BlendOnMoving.Time = 500;
  a.DialogShow.Time = 100;
  a.FormShow.Time = 100;
  a.FormHide.Time = 100;
  a.DialogHide.Time = 100;
  a.Minimizing.Time = 150;
  a.PageChange.Time = 100;
  a.SkinChanging.Time = 150;
  m.ButtonsOptions.ShowFocusRect = false;
  for (std::string_view name : ProgramStoredSkinNames) {
    TsStoredSkin& s = m.InternalSkins.Add();
    s.Name = std::string(name);
    s.Shadow1Color = clBlack;
    s.Shadow1Offset = 0;
    s.Shadow1Transparency = 0;
    if (Data) {
      const std::string_view bytes = Data(name);
      if (!bytes.empty()) s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    }
  }
  m.MenuSupport.IcoLineSkin = "ICOLINE";
  m.MenuSupport.ExtraLineFont = TacFontSpec{"Comic Sans MS", -17, true, 204 /* RUSSIAN_CHARSET */, clSystemColor | 8};
  m.Options.ChangeSysColors = true;
  m.Options.NativeBordersMaximized = true;
  m.Options.OptimizingPriority = opMemory;
  m.SetSkinDirectory(std::string(DefaultSkinDirectory));
  m.SetSkinName(std::string(ProgramSkinName));
  for (size_t i = 0; i < ProgramThirdParty.size(); ++i) m.ThirdParty[int(i)] = std::string(ProgramThirdParty[i]);
  m.InitThirdPartyLists(false);
  m.Loaded();
}

}  // namespace skin
