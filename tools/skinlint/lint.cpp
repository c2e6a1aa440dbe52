#include "tools/skinlint/lint.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <unordered_map>

#include "skin/data/generalutils.h"
#include "skin/data/inheritedkeys.h"
#include "skin/data/maskdata.h"
#include "skin/data/packedskin.h"
#include "skin/data/skinloading.h"
#include "skin/data/sskinmanager.h"
#include "tools/skinlint/look.h"

namespace skinlint {

namespace {

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return s;
}

// Whether the loader takes a value for an image.
bool looksLikeImage(const std::string& value) {
  const std::string v = upper(value);
  if (v.empty()) return false;
  if (v[0] == '@' || v[0] == '^' || v[0] == '~' || v[0] == '!') return true;
  return v.find(".JPG") != std::string::npos || v.find(".BMP") != std::string::npos;
}

// The keys whose values the program reads as images.
bool isImageKey(const std::string& section, const std::string& key) {
  static const std::set<std::string> keys = {
      "BORDERSMASK",  "GLYPHMASK",    "PATTERN",      "HOTPATTERN",    "OUTERMASK",   "IMGTOPLEFT",
      "IMGTOPRIGHT",  "IMGBTMLEFT",   "IMGBTMRIGHT",  "TITLEBAR",      "STATUSPANELMASK", "SLIDERMASK",
      "SLIDERVMASK",  "SLIDERCHANNEL", "TICKHORZ",    "TICKVERT",      "CHECK"};
  static const std::set<std::string> global = {
      "BICONCLOSE", "BICLOSEALONE", "BICONMAX",     "BICONNORM",    "BICONMIN",    "BICONHELP",   "SICONCLOSE",
      "SICONMAX",   "SICONNORM",    "SICONMIN",     "SICONHELP",    "TITLEBUTTON", "BOXUNCHECKED", "BOXCHECKED",
      "BOXGRAYED",  "SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED", "RADIOUNCHECKED", "RADIOCHECKED",
      "GRIPIMAGE",  "GRIPHORZ",     "GRIPVERT",     "EXBORDER",     "SH_MASK",     "LO_MASK"};
  if (key.size() >= 5 && key.compare(key.size() - 5, 5, "GLOW0") == 0) return true;
  if (section == "GLOBALINFO") return global.count(key) > 0;
  return keys.count(key) > 0;
}

// Keys whose images are bordered masks (drawn as nine pieces).
bool isBorderedKey(const std::string& key) {
  return key == "BORDERSMASK" || key == "TITLEBAR" || key == "STATUSPANELMASK" || key == "SLIDERCHANNEL" ||
         key == "OUTERMASK" || key == "EXBORDER" || key == "SH_MASK" || key == "LO_MASK";
}

std::string describe(const skin::TRect& r) {
  std::ostringstream s;
  s << r.Left << "," << r.Top << "-" << r.Right << "," << r.Bottom;
  return s.str();
}

class Linter {
 public:
  Linter(LintResult& result, const skin::TIniSections& ini, const skin::TsSkinManager& m,
         const skin::PortableSkinSystem& sys)
      : r_(result), ini_(ini), keys_(ini), s_(m.Skin()), sys_(sys) {
    // The first record of each section and key, as SkinManagerGetImageIndexByName finds it, looked up by hash: a
    // description of hundreds of thousands of keys is checked in linear time.
    for (size_t i = 0; i < s_.Images.size(); ++i)
      imageByName_.emplace(s_.Images[i].SectionName + '\n' + s_.Images[i].KeyName, int(i));
  }

  void Run() {
    for (const auto& box : sys_.messageBoxes) Problem("loading showed a message: " + box.Text);
    const double v = skin::SkinManagerReadSkinVersion(ini_);  // the description's, whether or not it loaded
    r_.version = v;
    r_.sections = int(s_.Sections.size());
    r_.images = int(s_.Images.size());
    if (!(v >= skin::OldestFullSkinVersion && v <= skin::NewestKnownSkinVersion)) {
      std::ostringstream t;
      t << "[GLOBALINFO] VERSION " << v << " lies outside " << skin::OldestFullSkinVersion << " .. "
        << skin::NewestKnownSkinVersion;
      Problem(t.str());
    }
    if (!s_.MasterBitmap || s_.MasterBitmap->Empty()) Problem("[GLOBALINFO] MASTERBITMAP: no master bitmap was loaded");
    Values();
    Required();
    PaintedStates();
    Records();
    Sections();
  }

 private:
  void Problem(const std::string& text) { r_.problems.push_back(text); }
  void Advice(const std::string& text) {
    if (std::find(r_.advice.begin(), r_.advice.end(), text) == r_.advice.end()) r_.advice.push_back(text);
  }
  int ImageByName(const std::string& section, const std::string& key) const {
    const auto it = imageByName_.find(section + '\n' + key);
    return it == imageByName_.end() ? -1 : it->second;
  }
  std::string At(const std::string& section, const std::string& key) { return "[" + section + "] " + key + ": "; }

  const skin::Bitmap* FileBitmap(const std::string& name) const {
    for (const skin::SkinImageFile& f : s_.ImageFiles)
      if (f.FileName == upper(name)) return f.Bitmap.get();
    return nullptr;
  }

  // Every value of the description: images only where the program reads images, each image loaded, each
  // rectangle inside its bitmap.
  void Values() {
    for (int i = 0; i < ini_.Count(); ++i) {
      const std::string& sec = ini_[i].Name;
      if (ini_.IndexOf(sec) != i) {
        Problem("[" + sec + "] the section is given twice; the second is never read");
        continue;
      }
      for (const std::string_view k : keys_.Keys(keys_.IndexOf(sec))) {
        const std::string key(k);
        const std::string value = keys_.Value(sec, key, "");
        if (sec == "GLOBALINFO" && key == "MASTERBITMAP") continue;
        const bool image = looksLikeImage(value);
        const bool imageKey = isImageKey(sec, key);
        if (image && !imageKey) {
          Problem(At(sec, key) + "the value \"" + value + "\" would be read as an image");
          continue;
        }
        if (!image && imageKey) {
          Problem(At(sec, key) + "the value \"" + value + "\" is not an image");
          continue;
        }
        if (!image) continue;
        if (ImageByName(sec, key) < 0) {
          Problem(At(sec, key) + "the image \"" + value + "\" was not loaded" + Why(value));
          continue;
        }
      }
    }
  }

  // Why an image value gave no record: its rectangle or its file.
  std::string Why(const std::string& value) {
    const std::string v = upper(value);
    try {
      if (v[0] == '@' || v[0] == '^' || v[0] == '~') {
        const skin::TRect rect = skin::RectFromString(v, 2);
        const skin::Bitmap* bmp = s_.MasterBitmap.get();
        std::string where = "the master bitmap";
        if (v[0] == '~' && v.size() > 26) {
          const std::string file = skin::ExtractWord(7, v, skin::MakeCharSet("~"));
          bmp = FileBitmap(file);
          where = file;
          if (!bmp) return " (its file " + file + " is missing or unreadable)";
        }
        if (!bmp) return " (there is no master bitmap)";
        std::ostringstream s;
        s << " (its rectangle " << describe(rect) << " lies outside " << where << " of " << bmp->Width() << " x "
          << bmp->Height() << ")";
        return s.str();
      }
    } catch (const std::exception& e) {
      return std::string(" (") + e.what() + ")";
    }
    return " (its file is missing or unreadable)";
  }

  void Required() {
    for (const std::string& name : RequiredSections())
      if (skin::SkinManagerGetSectionIndex(s_, name) < 0) Problem("[" + name + "] the section is missing");
    for (const RequiredImage& req : RequiredImages()) {
      const int sec = skin::SkinManagerGetSectionIndex(s_, req.section);
      if (sec < 0) continue;  // reported above
      const bool global = std::string(req.section) == "GLOBALINFO";
      const int img = global ? ImageByName(req.section, req.key) : skin::SkinManagerGetImageIndex(s_, sec, req.key);
      if (img < 0) {
        // A title button without an image is drawn as a blank button of 21 pixels: the program's answer, not a fault.
        if (global && skin::IsTitleButtonKey(req.section, req.key))
          Advice(At(req.section, req.key) + "no image: the button is drawn 21 pixels wide and blank");
        else
          Problem(At(req.section, req.key) + "the image is missing");
        continue;
      }
      const int count = s_.Images[size_t(img)].ImageCount;
      if (count < req.states)
        Advice(At(req.section, req.key) + "the image has " + std::to_string(count) + " state(s) where " +
               std::to_string(req.states) + " are painted: the states past its last show its last");
    }
  }

  // A section that says it paints more states (STATES, its own or a parent's) than its BORDERSMASK image (its own
  // or a parent's) holds shows the image's last state in the states past it: the skin as written.
  void PaintedStates() {
    for (const skin::SkinSectionRecord& sec : s_.Sections) {
      if (sec.SectionName == "GLOBALINFO" || !skin::SkinManagerIsValidImageIndex(s_, sec.BorderIndex)) continue;
      const int count = s_.Images[size_t(sec.BorderIndex)].ImageCount, painted = skin::SectionStateCount(sec);
      const std::string given = keys_.NumberText(sec.SectionName, "STATES");
      if (given.empty() || count >= painted) continue;
      const std::string most = skin::IsNumberPast32Bits(given) || skin::IniTextToInt(given, 0) > 255
                                   ? " (STATES=" + given + ": a section paints 255 at most)"
                                   : "";
      Advice(At(sec.SectionName, "BORDERSMASK") + "the image has " + std::to_string(count) + " state(s) where " +
             std::to_string(painted) + " are painted" + most + ": the states past its last show its last");
    }
  }

  // The geometry of every image record.
  void Records() {
    for (const skin::SkinImageRecord& rec : s_.Images) {
      const std::string at = At(rec.SectionName, rec.KeyName);
      const skin::TRect& r = rec.SourceRect;
      const skin::Bitmap* bmp = skin::SkinImageBitmap(s_, rec);
      if (!bmp || r.Left < 0 || r.Top < 0 || r.Right > bmp->Width() || r.Bottom > bmp->Height() || r.Left >= r.Right ||
          r.Top >= r.Bottom) {
        Problem(at + "the rectangle " + describe(r) + " does not lie inside its bitmap");
        continue;
      }
      if (rec.ImageCount < 1 || skin::RectWidth(r) % rec.ImageCount != 0) {
        Problem(at + "the width " + std::to_string(skin::RectWidth(r)) + " is not a whole number of " +
                std::to_string(rec.ImageCount) + " states");
        continue;
      }
      if (rec.MaskType >= 1 && skin::RectHeight(r) % (rec.MaskType + 1) != 0)
        Problem(at + "the height " + std::to_string(skin::RectHeight(r)) + " does not split into " +
                std::to_string(rec.MaskType + 1) + " frames");
      if (isBorderedKey(rec.KeyName)) {
        const int w = skin::ImageStateWidth(rec), h = skin::ImageFrameHeight(rec);
        if (rec.BorderLeft + rec.BorderRight > w || rec.BorderTop + rec.BorderBottom > h)
          Problem(at + "its borders (" + std::to_string(rec.BorderLeft) + ", " + std::to_string(rec.BorderTop) + ", " +
                  std::to_string(rec.BorderRight) + ", " + std::to_string(rec.BorderBottom) +
                  ") do not fit in a state of " + std::to_string(w) + " x " + std::to_string(h));
      }
    }
    // (The loader itself keeps FORMOFFSET inside the EXBORDER image's borders.)
    const int ex = s_.CommonIndexes.ExBorder;
    if (ex >= 0 && s_.Images[size_t(ex)].ImageCount > 2)
      Problem(At("GLOBALINFO", "EXBORDER") + "it holds more than the active and inactive state");
  }

  void Sections() {
    for (const skin::SkinSectionRecord& sec : s_.Sections) {
      const std::string& name = sec.SectionName;
      if (name == "GLOBALINFO") continue;
      if (!sec.ParentName.empty() && sec.ParentName != "?" && skin::SkinManagerGetSectionIndex(s_, sec.ParentName) < 0)
        Problem(At(name, "PARENTCLASS") + "names no section (\"" + sec.ParentName + "\")");
      if (ini_.IndexOf(name) >= 0 && keys_.Value(name, "GLOW", "") != "" && sec.GlowSize > 0 &&
          ImageByName(name, "GLOW0") < 0)
        Problem(At(name, "GLOW") + "a glow size without a GLOW0 image");
    }
  }

  LintResult& r_;
  const skin::TIniSections& ini_;
  skin::IndexedSections keys_;
  const skin::LoadedSkin& s_;
  std::unordered_map<std::string, int> imageByName_;
  const skin::PortableSkinSystem& sys_;
};

LintResult lint(const std::string& name, const std::string& optionsText,
                const std::function<void(skin::TsSkinManager&)>& load, skin::PortableSkinSystem& sys) {
  LintResult r;
  r.name = name;
  skin::TIniSections ini;
  skin::IniTextToSections(optionsText, ini);
  skin::TsSkinManager m(sys);
  load(m);
  if (m.SkinName() != name) {
    // Refused: the program's own messages are the answer, word for word; there is no skin to check further.
    r.version = skin::SkinManagerReadSkinVersion(ini);
    for (const auto& box : sys.messageBoxes) r.problems.push_back(box.Text);
    if (r.problems.empty()) r.problems.push_back("the skin was not loaded (\"" + m.SkinName() + "\" was loaded instead)");
    return r;
  }
  Linter(r, ini, m, sys).Run();
  CheckLook(m, ini, [&](const std::string& p) { r.problems.push_back(p); });
  return r;
}

// A file's bytes within a bound; empty when it cannot be read (the loader then says why, as the program would).
std::string readFile(const std::filesystem::path& p, int64_t most) {
  skin::TMemoryStream s;
  try {
    s.LoadFromFile(p.string(), most);
  } catch (const skin::EStreamError&) {
    return {};
  }
  return std::string(s.View());
}

}  // namespace

LintResult LintSkinDirectory(const std::string& directory) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::absolute(fs::path(directory)).lexically_normal();
  const fs::path clean = dir.filename().empty() ? dir.parent_path() : dir;
  const std::string name = clean.filename().string();
  skin::PortableSkinSystem sys;
  const std::string options = skin::FindFileNoCase((clean / "Options.dat").string());
  if (options.empty()) {
    LintResult r;
    r.name = name;
    r.problems.push_back("no Options.dat in " + clean.string());
    return r;
  }
  return lint(name, readFile(options, skin::MaxSkinDescriptionBytes), [&](skin::TsSkinManager& m) {
    m.SetSkinDirectory(clean.parent_path().string());
    m.SetSkinName(name);
  }, sys);
}

namespace {

// The description a packed skin holds; empty when the container cannot be read (the load then says why).
std::string packedOptions(const std::string& bytes) {
  auto conv = std::make_unique<skin::TacSkinConvertor>();
  skin::TMemoryStream data;
  data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  conv->LendPackedData(data);
  std::string options;
  try {
    if (skin::ExtractPackedSkin(conv) && conv->Options) options = std::string(conv->Options->View());
  } catch (const std::exception&) {
  }
  if (conv) conv->ReleasePackedData();
  return options;
}

}  // namespace

LintResult LintPackedSkin(const std::string& bytes, const std::string& name) {
  skin::PortableSkinSystem sys;
  // A container the program cannot read is refused as the program refuses it.
  return lint(name, packedOptions(bytes), [&](skin::TsSkinManager& m) {
    m.SetSkinDirectory("/nonexistent-skin-directory");
    skin::TsStoredSkin& s = m.InternalSkins.Add();
    s.Name = name;
    s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    m.SetSkinName(name);
  }, sys);
}

LintResult LintPackedSkinFile(const std::string& file) {
  namespace fs = std::filesystem;
  const fs::path path = fs::absolute(fs::path(file)).lexically_normal();
  const std::string name = path.stem().string();
  skin::PortableSkinSystem sys;
  // Loaded from its folder, as the program loads a packed skin from its skins folder.
  return lint(name, packedOptions(readFile(path, skin::MaxPackedSkinFileBytes)), [&](skin::TsSkinManager& m) {
    m.SetSkinDirectory(path.parent_path().string());
    m.SetSkinName(name);
  }, sys);
}

const std::vector<std::string>& RequiredSections() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v = {
        "GLOBALINFO", "FORM", "FORMTITLE", "DIALOG", "DIALOGTITLE", "CAPTION", "MDIAREA",
        "MENULINE", "MAINMENU", "MENUITEM", "ICOLINE", "DIVIDERV", "MENUCAPTION", "EXTRALINE", "SELECTION",
        "BUTTON", "BUTTON_SMALL", "BUTTON_BIG", "BUTTON_HUGE", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON",
        "TB_BTN", "TB_MENUBTN", "TB_TAB", "WEBBUTTON", "COLHEADER",
        "EDIT", "ALPHAEDIT", "COMBOBOX", "COMBOBTN", "UPDOWNBTN", "CHECKBOX", "RADIOBUTTON", "TRANSPARENT",
        "GROUPBOX", "PANEL", "PANEL_LOW", "TOOLBAR", "STATUSBAR", "DIVIDER", "BAR", "BARTITLE", "DRAGBAR",
        "SPLITTER", "GAUGE", "SLIDER_OFF", "TABSHEET",
        "PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT",
        "SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V", "SCROLLBTNLEFT", "SCROLLBTNRIGHT",
        "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERH", "SCROLLSLIDERV", "TRACKBAR"};
    for (const char* side : {"TOP", "BOTTOM", "LEFT", "RIGHT"}) {
      v.push_back(std::string("TAB") + side);
      for (const char* place : {"FIRST", "LAST", "MIDDLE"}) v.push_back(std::string("TAB") + side + place);
    }
    return v;
  }();
  return names;
}

const std::vector<RequiredImage>& RequiredImages() {
  static const std::vector<RequiredImage> images = {
      {"GLOBALINFO", "BICONCLOSE", 3},     {"GLOBALINFO", "BICLOSEALONE", 3},   {"GLOBALINFO", "BICONMAX", 3},
      {"GLOBALINFO", "BICONNORM", 3},      {"GLOBALINFO", "BICONMIN", 3},       {"GLOBALINFO", "BICONHELP", 3},
      {"GLOBALINFO", "SICONCLOSE", 3},     {"GLOBALINFO", "SICONMAX", 3},       {"GLOBALINFO", "SICONNORM", 3},
      {"GLOBALINFO", "SICONMIN", 3},       {"GLOBALINFO", "SICONHELP", 3},      {"GLOBALINFO", "TITLEBUTTON", 3},
      {"GLOBALINFO", "BOXUNCHECKED", 3},   {"GLOBALINFO", "BOXCHECKED", 3},     {"GLOBALINFO", "BOXGRAYED", 3},
      {"GLOBALINFO", "SMALLUNCHECKED", 3}, {"GLOBALINFO", "SMALLCHECKED", 3},   {"GLOBALINFO", "SMALLGRAYED", 3},
      {"GLOBALINFO", "RADIOUNCHECKED", 3}, {"GLOBALINFO", "RADIOCHECKED", 3},   {"GLOBALINFO", "GRIPIMAGE", 1},
      {"GLOBALINFO", "GRIPHORZ", 1},       {"GLOBALINFO", "GRIPVERT", 1},
      {"FORM", "BORDERSMASK", 2},          {"FORM", "TITLEBAR", 2},             {"FORMTITLE", "BORDERSMASK", 2},
      {"DIALOG", "BORDERSMASK", 2},        {"DIALOGTITLE", "BORDERSMASK", 2},
      {"MAINMENU", "BORDERSMASK", 1},      {"MENUITEM", "BORDERSMASK", 2},      {"MENULINE", "BORDERSMASK", 2},
      {"DIVIDERV", "BORDERSMASK", 1},      {"SELECTION", "BORDERSMASK", 2},
      {"BUTTON", "BORDERSMASK", 4},        {"BUTTON_SMALL", "BORDERSMASK", 4},  {"BUTTON_BIG", "BORDERSMASK", 4},
      {"BUTTON_HUGE", "BORDERSMASK", 4},   {"SPEEDBUTTON", "BORDERSMASK", 3},   {"SPEEDBUTTON_SMALL", "BORDERSMASK", 3},
      {"TOOLBUTTON", "BORDERSMASK", 3},    {"COLHEADER", "BORDERSMASK", 3},
      {"EDIT", "BORDERSMASK", 2},          {"COMBOBOX", "BORDERSMASK", 2},      {"COMBOBOX", "GLYPHMASK", 3},
      {"COMBOBTN", "BORDERSMASK", 3},      {"UPDOWNBTN", "BORDERSMASK", 3},     {"CHECKBOX", "CHECK", 1},
      {"GROUPBOX", "BORDERSMASK", 1},      {"PANEL", "BORDERSMASK", 1},         {"PANEL_LOW", "BORDERSMASK", 1},
      {"TOOLBAR", "BORDERSMASK", 1},       {"STATUSBAR", "BORDERSMASK", 1},     {"STATUSBAR", "STATUSPANELMASK", 1},
      {"DIVIDER", "BORDERSMASK", 1},       {"PAGECONTROL", "BORDERSMASK", 1},
      {"TABTOP", "BORDERSMASK", 3},        {"TABBOTTOM", "BORDERSMASK", 3},     {"TABLEFT", "BORDERSMASK", 3},
      {"TABRIGHT", "BORDERSMASK", 3},
      {"SCROLLBAR1H", "BORDERSMASK", 3},   {"SCROLLBAR2H", "BORDERSMASK", 3},   {"SCROLLBAR1V", "BORDERSMASK", 3},
      {"SCROLLBAR2V", "BORDERSMASK", 3},
      {"SCROLLBTNLEFT", "BORDERSMASK", 3}, {"SCROLLBTNLEFT", "GLYPHMASK", 3},   {"SCROLLBTNRIGHT", "BORDERSMASK", 3},
      {"SCROLLBTNRIGHT", "GLYPHMASK", 3},  {"SCROLLBTNTOP", "BORDERSMASK", 3},  {"SCROLLBTNTOP", "GLYPHMASK", 3},
      {"SCROLLBTNBOTTOM", "BORDERSMASK", 3}, {"SCROLLBTNBOTTOM", "GLYPHMASK", 3},
      {"SCROLLSLIDERH", "BORDERSMASK", 3}, {"SCROLLSLIDERH", "GLYPHMASK", 3},   {"SCROLLSLIDERV", "BORDERSMASK", 3},
      {"SCROLLSLIDERV", "GLYPHMASK", 3},
      {"TRACKBAR", "SLIDERMASK", 3},       {"TRACKBAR", "SLIDERVMASK", 3},      {"TRACKBAR", "SLIDERCHANNEL", 2},
      {"TRACKBAR", "TICKHORZ", 1},         {"TRACKBAR", "TICKVERT", 1},
  };
  return images;
}

}  // namespace skinlint
