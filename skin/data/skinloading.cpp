#include "skin/data/skinloading.h"

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "skin/data/gradientdata.h"
#include "skin/data/imagedecoders.h"
#include "skin/data/inheritedkeys.h"
#include "skin/data/packedskin.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/acpng.h"
#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

// ---------------------------------------------------------------------------------------------------------
// Small readers.

double SkinManagerReadSkinVersion(const IniSource& Ini) {
  return StrToFloatDefDot(ReadIniValue(Ini, "GLOBALINFO", "", "VERSION"), 0.0);
}

int32_t SubstringToInt(std::string_view Text, int Position, int Length) {
  std::string_view part;
  if (Position >= 1 && size_t(Position) <= Text.size() && Length > 0)
    part = Text.substr(size_t(Position) - 1, size_t(Length));
  return StrToInt(part);
}

TRect RectFromString(std::string_view Text, int Position) {
  return TRect{SubstringToInt(Text, Position, 4), SubstringToInt(Text, Position + 5, 4),
               SubstringToInt(Text, Position + 10, 4), SubstringToInt(Text, Position + 15, 4)};
}

int32_t ExtractWordInt(int N, std::string_view Text, const TCharSet& Separators) {
  return StrToIntDef(ExtractWord(N, Text, Separators), 0);
}

std::string SkinRefusedText(std::string_view SkinName, std::string_view Reason) {
  return "The \"" + std::string(SkinName) + "\" skin cannot be used: " + std::string(Reason);
}

std::string SkinValueRefusedText(std::string_view SkinName, std::string_view Section, std::string_view Key,
                                 std::string_view Value, std::string_view What) {
  return SkinRefusedText(SkinName, "its key " + std::string(Key) + " of section [" + std::string(Section) +
                                       "] has the value \"" + std::string(Value) + "\", " + std::string(What));
}

namespace {

// Captions: a caption of 200 pixels already fills a small dialog; frames, glows and shadows: 100 pixels is
// several times the widest real one, and offsets and margins move a part of the frame by at most as much either
// way. -1 stands for "not given" where the loader reads it so (text shadow blur, outer-shadow widths).
constexpr int32_t kCaption = 200, kFrame = 100, kOffset = 100;
constexpr SkinSizeKey kSizeKeys[] = {
    {"GLOBALINFO", "TITLEHEIGHT", 0, kCaption},  // 0: the default of 30
    {"GLOBALINFO", "MAXHEIGHT", 0, kCaption},    // 0: the title height
    {"GLOBALINFO", "BORDERWIDTH", 0, kCaption - 1},  // below the title height
    {"GLOBALINFO", "FORMOFFSET", 0, kFrame},
    {"GLOBALINFO", "CENTEROFFSET", -kOffset, kOffset},
    {"GLOBALINFO", "ALIGNOFFSET", -kOffset, kOffset},
    {"GLOBALINFO", "ALIGNOFFSETR", -kOffset, kOffset},
    {"GLOBALINFO", "ALIGNOFFSETT", -kOffset, kOffset},
    {"GLOBALINFO", "ALIGNOFFSETB", -kOffset, kOffset},
    {"GLOBALINFO", "BISPACE", -kOffset, kOffset},
    {"GLOBALINFO", "BIRIGHT", -kOffset, kOffset},
    {"GLOBALINFO", "BILEFT", -kOffset, kOffset},
    {"GLOBALINFO", "BITOP", -kOffset, kOffset},
    {"GLOBALINFO", "BICONCLOSEGLOW", 0, kFrame},
    {"GLOBALINFO", "BICONCLOSEGLOWMARGIN", -kOffset, kOffset},
    {"GLOBALINFO", "BICONMAXGLOW", 0, kFrame},
    {"GLOBALINFO", "BICONMAXGLOWMARGIN", -kOffset, kOffset},
    {"GLOBALINFO", "BICONMINGLOW", 0, kFrame},
    {"GLOBALINFO", "BICONMINGLOWMARGIN", -kOffset, kOffset},
    {"GLOBALINFO", "COMBOMARGIN", -kOffset, kOffset},
    {"GLOBALINFO", "SHADOW1OFFSET", -kOffset, kOffset},
    {"GLOBALINFO", "SHADOW1BLUR", -1, kFrame},
    {"GLOBALINFO", "SH_OFFSETL", -kOffset, kOffset},
    {"GLOBALINFO", "SH_OFFSETT", -kOffset, kOffset},
    {"GLOBALINFO", "SH_OFFSETR", -kOffset, kOffset},
    {"GLOBALINFO", "SH_OFFSETB", -kOffset, kOffset},
    {"GLOBALINFO", "SH_WIDTHL", -1, kFrame},
    {"GLOBALINFO", "SH_WIDTHT", -1, kFrame},
    {"GLOBALINFO", "SH_WIDTHR", -1, kFrame},
    {"GLOBALINFO", "SH_WIDTHB", -1, kFrame},
    {"GLOBALINFO", "LO_OFFSETL", -kOffset, kOffset},
    {"GLOBALINFO", "LO_OFFSETT", -kOffset, kOffset},
    {"GLOBALINFO", "LO_OFFSETR", -kOffset, kOffset},
    {"GLOBALINFO", "LO_OFFSETB", -kOffset, kOffset},
    {"GLOBALINFO", "LO_WIDTHL", -1, kFrame},
    {"GLOBALINFO", "LO_WIDTHT", -1, kFrame},
    {"GLOBALINFO", "LO_WIDTHR", -1, kFrame},
    {"GLOBALINFO", "LO_WIDTHB", -1, kFrame},
    {"", "GLOW", 0, kFrame},
    {"", "GLOWMARGIN", -kOffset, kOffset},
    {"", "OUTOFFSL", -kOffset, kOffset},
    {"", "OUTOFFST", -kOffset, kOffset},
    {"", "OUTOFFSR", -kOffset, kOffset},
    {"", "OUTOFFSB", -kOffset, kOffset},
    {"", "GSIZE", 0, kFrame},   // the glow of a caption's text
    {"", "HGSIZE", 0, kFrame},
    {"", "TABSCOVERING", -kOffset, kOffset},
};

// The close buttons' images, whose frame is the height of every button of a caption.
constexpr std::string_view kCloseButtonKeys[] = {"BICONCLOSE", "BICLOSEALONE", "SICONCLOSE"};

// The fixed places of the '@' and '^' forms: the separator before each field (1-based) and the digits it holds.
struct FixedField {
  int Separator, Digits;
  std::string_view Name;
};
constexpr FixedField kMaskFields[] = {
    {1, 4, "rectangle's left"},    {6, 4, "rectangle's top"},     {11, 4, "rectangle's right"},
    {16, 4, "rectangle's bottom"}, {21, 4, "left border width"},  {26, 4, "top border width"},
    {31, 4, "right border width"}, {36, 4, "bottom border width"}, {41, 1, "image count"},
    {43, 1, "mask type"},          {45, 1, "draw mode"},
};
constexpr FixedField kGlyphFields[] = {
    {1, 4, "rectangle's left"},   {6, 4, "rectangle's top"}, {11, 4, "rectangle's right"},
    {16, 4, "rectangle's bottom"}, {21, 1, "image count"},   {23, 1, "mask type"},
};

constexpr std::string_view kTitleButtonKeys[] = {"BICONCLOSE", "BICLOSEALONE", "BICONMAX",  "BICONNORM",
                                                 "BICONMIN",   "BICONHELP",    "SICONCLOSE", "SICONMAX",
                                                 "SICONNORM",  "SICONMIN",     "SICONHELP",  "TITLEBUTTON"};

}  // namespace

std::span<const SkinSizeKey> SkinSizeKeys() { return kSizeKeys; }

const SkinSizeKey* FindSkinSizeKey(std::string_view Section, std::string_view Key) {
  const bool global = Section == "GLOBALINFO";
  for (const SkinSizeKey& k : kSizeKeys)
    if (k.Key == Key && (k.Section == "GLOBALINFO") == global) return &k;
  return nullptr;
}

bool IsTitleButtonKey(std::string_view Section, std::string_view Key) {
  return Section == "GLOBALINFO" &&
         std::find(std::begin(kTitleButtonKeys), std::end(kTitleButtonKeys), Key) != std::end(kTitleButtonKeys);
}

std::string InternalFormatErrorText(std::string_view SkinName) {
  return "Internal format error in the \"" + std::string(SkinName) +
         "\" skin. Please, update this skin to latest version.";
}

namespace {

char upperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string upperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = upperChar(c);
  return r;
}

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upperChar(a[i]) != upperChar(b[i])) return false;
  return true;
}

// The upper-cased extension of a file name, from its last '.' (empty when none).
std::string extensionOf(std::string_view name) {
  const size_t dot = name.find_last_of(".\\/:");
  if (dot == std::string_view::npos || name[dot] != '.') return std::string();
  return upperCase(name.substr(dot));
}

int16_t toInt16(int32_t v) { return int16_t(LimitValue(v, -32768, 32767)); }

// The keys of a section in their order, each once.
std::vector<std::string> distinctKeys(const TIniSections& ini, int index) {
  std::vector<std::string> keys = ini.Keys(index);
  std::vector<std::string> r;
  std::unordered_set<std::string> seen;
  for (std::string& k : keys)
    if (seen.insert(k).second) r.push_back(std::move(k));
  return r;
}

// A size in whole mebibytes, as the bounds are set.
std::string MiBText(int64_t bytes) { return std::to_string(bytes / MiB) + " MiB"; }

// An image past the bounds of one load: what is past which bound ("is 100000 x 100000 pixels, past the ...").
struct ImagePastBounds : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The image file that a value names, as written: a '!' value's first field, a '~' value's seventh, any other
// value whole.
std::string FileNamedBy(std::string_view value) {
  if (value.empty()) return {};
  if (value[0] == '!') return ExtractWord(1, value, MakeCharSet("!"));
  if (value[0] == '~') return ExtractWord(7, value, MakeCharSet("~"));
  return std::string(value);
}

// The bytes of an image file: a view of a container member, or a file read from disk.
struct FileBytes {
  const char* data = nullptr;
  size_t size = 0;
  std::string owned;
};

// Pixels of a rectangle of a bitmap, kept across a colour adjustment.
struct KeptPixels {
  Bitmap* bitmap;
  TRect rect;
  std::vector<uint32_t> pixels;
};

void keepPixels(std::vector<KeptPixels>& kept, Bitmap* bmp, const TRect& r) {
  if (!bmp || bmp->PixelFormat() != pf32bit) return;
  const TRect c = ClipRectToSize(r, bmp->Width(), bmp->Height());
  if (RectIsEmpty(c)) return;
  KeptPixels k{bmp, c, {}};
  k.pixels.reserve(size_t(RectWidth(c)) * size_t(RectHeight(c)));
  for (int32_t y = c.Top; y < c.Bottom; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(bmp->ScanLine(y));
    k.pixels.insert(k.pixels.end(), row + c.Left, row + c.Right);
  }
  kept.push_back(std::move(k));
}

void restorePixels(const std::vector<KeptPixels>& kept) {
  for (const KeptPixels& k : kept) {
    size_t i = 0;
    for (int32_t y = k.rect.Top; y < k.rect.Bottom; ++y) {
      uint32_t* row = reinterpret_cast<uint32_t*>(k.bitmap->ScanLine(y));
      for (int32_t x = k.rect.Left; x < k.rect.Right; ++x) row[x] = k.pixels[i++];
    }
  }
}

// A colour function on every pixel of a 32-bit bitmap whose colour is not the key colour, whatever its alpha.
template <class Func>
void adjustPixels(Bitmap& bmp, Func func, int32_t amount) {
  if (bmp.PixelFormat() != pf32bit || bmp.Empty()) return;
  bmp.Flush();
  for (int32_t y = 0; y < bmp.Height(); ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(bmp.ScanLine(y));
    for (int32_t x = 0; x < bmp.Width(); ++x)
      if ((row[x] & 0xFFFFFFu) != KeyPixel) func(row[x], amount);
  }
}

// A character at `at` that reads as a blank or as nothing but is neither: its name and its length in bytes
// (0: none there).
std::string_view unseenCharacter(std::string_view s, size_t at, size_t& length) {
  const auto starts = [&](std::string_view p) { return s.substr(at, p.size()) == p; };
  length = 0;
  if (starts("\xEF\xBB\xBF")) length = 3;
  else if (starts("\xC2\xA0")) length = 2;
  else if (starts("\xA0") || starts(std::string_view("\0", 1))) length = 1;
  if (length == 0) return {};
  return length == 3 ? "a byte-order mark" : s[at] == '\0' ? "a zero byte" : "a non-breaking space";
}

// The first character of a text that reads as a blank or as nothing but is neither: its name (empty: none),
// where it starts and its length.
std::string_view firstUnseenCharacter(std::string_view text, size_t& at, size_t& length) {
  for (at = 0; at < text.size(); ++at)
    if (const std::string_view what = unseenCharacter(text, at, length); length > 0) return what;
  return {};
}

// For a refusal: " (its name ends in a non-breaking space)" when a text holds such a character; else nothing.
std::string unseenCharactersNote(std::string_view text, std::string_view whose) {
  size_t at = 0, n = 0;
  const std::string_view what = firstUnseenCharacter(text, at, n);
  if (what.empty()) return {};
  const char* where = at == 0 ? " starts with " : at + n == text.size() ? " ends in " : " holds ";
  return " (" + std::string(whose) + where + std::string(what) + ")";
}

// The ten title-button icons that keep their hue when BIKEEPHUE is set.
constexpr std::string_view TitleIconKeys[10] = {"BICONCLOSE", "BICLOSEALONE", "SICONCLOSE", "BICONMAX", "BICONMIN",
                                                "BICONNORM",  "BICONHELP",    "SICONMAX",   "SICONMIN", "SICONNORM"};

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// One load: builds a complete skin from a description and its images, apart from the manager's current skin.

class SkinLoader {
 public:
  // described: the skin has a description (a stored skin without data has none and loads empty).
  SkinLoader(TsSkinManager& manager, const TIniSections& ini, std::string skinPath,
             const TacSkinConvertor* convertor, bool described = true)
      : m_(manager), sys_(manager.System()), ini_(ini), keys_(ini), path_(std::move(skinPath)), conv_(convertor),
        described_(described) {}

  std::unique_ptr<LoadedSkin> Build() {
    // A text without GLOBALINFO is no skin description (random bytes, another file named Options.dat): applied,
    // it would leave every window without its frames.
    if (described_ && keys_.IndexOf("GLOBALINFO") < 0) {
      std::string why = "its description has no GLOBALINFO section";
      throw std::runtime_error(SkinRefusedText(m_.SkinName(), why + MissingGlobalInfoCause()));
    }
    next_ = std::make_unique<LoadedSkin>();
    LoadedSkin& s = *next_;
    s.Colors = DefaultSkinColors(sys_);
    s.SkinData.SkinPath = path_;
    s.SkinData.Version = SkinManagerReadSkinVersion(ini_);
    CheckSkinVersion(s.SkinData.Version);
    LoadImages();
    ReadSections();
    SkinManagerIndexSkin(s);
    SkinManagerCacheCommonIndexes(s);
    CheckTitleHeight();
    CheckFormOffset();
    CheckBorderWidth();
    return std::move(next_);
  }

 private:
  // Why a description has no GLOBALINFO section, when it can be told: a section of that name in other letter
  // case, a line "[GLOBALINFO]" beside a character that reads as a blank or as nothing but is neither (so that the
  // line starts no section), or a name read from UTF-16 text without its byte-order mark.
  std::string MissingGlobalInfoCause() const {
    if (keys_.Count() == 0 && ini_.Unsectioned.empty()) return " (it is empty)";
    for (int i = 0; i < keys_.Count(); ++i) {
      const std::string& name = keys_.Name(i);
      if (equalNoCase(name, "GLOBALINFO")) return " (its section [" + name + "] is written in other letter case)";
      std::string narrow = name;
      narrow.erase(std::remove(narrow.begin(), narrow.end(), '\0'), narrow.end());
      if (narrow != name && equalNoCase(narrow, "GLOBALINFO"))
        return " (its text has a zero byte beside every letter: UTF-16 without its byte-order mark)";
    }
    std::vector<const std::string*> lines;
    for (const std::string& l : ini_.Unsectioned) lines.push_back(&l);
    for (int i = 0; i < ini_.Count(); ++i)
      for (const std::string& l : ini_[i].Lines)
        if (l.find('=') == std::string::npos) lines.push_back(&l);
    for (const std::string* l : lines) {
      const size_t at = l->find("[GLOBALINFO]");
      if (at == std::string::npos) continue;
      size_t where = 0, n = 0;
      std::string_view what = firstUnseenCharacter(std::string_view(*l).substr(0, at), where, n);
      const char* side = " before";
      if (what.empty()) {
        what = firstUnseenCharacter(std::string_view(*l).substr(at + 12), where, n);
        side = " after";
      }
      if (!what.empty())
        return " (its line [GLOBALINFO] starts no section: " + std::string(what) + " stands" + side + " it)";
      return " (its line \"" + *l + "\" starts no section)";
    }
    return {};
  }

  // The number a GLOBALINFO value gives, when it gives one (absent or not a number: the default is taken).
  bool GlobalNumber(std::string_view key, std::string& text) const {
    text = keys_.Value("GLOBALINFO", key, "");
    return IniTextToInt(text, 0) == IniTextToInt(text, 1);
  }

  // A caption holds its buttons, each as high as the close button's image: a lower one would leave them hanging
  // above the window, over the caption's edge. TITLEHEIGHT (and MAXHEIGHT, a maximized window's caption) given
  // non-zero lie between that height and the tallest caption that can be drawn.
  void CheckTitleHeight() {
    const LoadedSkin& s = *next_;
    int32_t lowest = 1;
    std::string tallest;
    for (std::string_view key : kCloseButtonKeys) {
      const int32_t i = SkinManagerGetImageIndexByName(s, "GLOBALINFO", std::string(key));
      if (!SkinManagerIsValidImageIndex(s, i) || ImageFrameHeight(s.Images[size_t(i)]) <= lowest) continue;
      lowest = ImageFrameHeight(s.Images[size_t(i)]);
      tallest = std::string(key);
    }
    const std::string with =
        tallest.empty() ? "" : " with its close button of " + std::to_string(lowest) + " pixels (" + tallest + ")";
    for (std::string_view key : {"TITLEHEIGHT", "MAXHEIGHT"}) {
      std::string text;
      const bool number = GlobalNumber(key, text);
      if (!number && !IsNumberPast32Bits(text)) continue;
      const int32_t value = IniTextToInt(text, 0);
      if (number && value == 0) continue;  // the default
      const SkinSizeKey bound{"GLOBALINFO", key, lowest, kCaption};
      CheckSize(&bound, "GLOBALINFO", key, value, text, with, !number);
    }
    CheckTitleButtonHeights();
  }

  // Every title button stands in the caption, the others placed as high as the close button: one whose image is
  // taller than the caption (a window's, or a maximized window's) hangs below it, over the client area, which
  // paints over it, and the button is gone. Refused like a caption lower than the close button, the button's key
  // and height named.
  void CheckTitleButtonHeights() {
    const LoadedSkin& s = *next_;
    const TsSkinData& d = s.SkinData;
    for (std::string_view key : kTitleButtonKeys) {
      const int32_t i = SkinManagerGetImageIndexByName(s, "GLOBALINFO", std::string(key));
      if (!SkinManagerIsValidImageIndex(s, i)) continue;
      const int32_t high = ImageFrameHeight(s.Images[size_t(i)]);
      std::string text, caption;
      if (high > d.TitleHeight) {
        caption = "the caption of " + std::to_string(d.TitleHeight) + " pixels (" +
                  (GlobalNumber("TITLEHEIGHT", text) && IniTextToInt(text, 0) != 0 ? "TITLEHEIGHT " + text
                                                                                     : "the default TITLEHEIGHT") +
                  ")";
      } else if (high > d.MaxHeight) {
        GlobalNumber("MAXHEIGHT", text);
        caption = "a maximized window's caption of " + std::to_string(d.MaxHeight) + " pixels (MAXHEIGHT " + text + ")";
      } else {
        continue;
      }
      throw std::runtime_error(SkinValueRefusedText(m_.SkinName(), "GLOBALINFO", key, keys_.Value("GLOBALINFO", key, ""),
                                                    "a title button " + std::to_string(high) +
                                                        " pixels high, taller than " + caption));
    }
  }

  // With extended borders the border window draws the EXBORDER image around the form, the form set FORMOFFSET
  // into its borders: an offset as wide as a border leaves no margin, and the window's caption and frame are lost.
  // A skin that gives no FORMOFFSET takes the system's frame width, as far as its borders leave a margin: it is
  // never refused for a value it does not hold.
  void CheckFormOffset() {
    LoadedSkin& s = *next_;
    const int32_t ex = s.CommonIndexes.ExBorder;
    if (s.SkinData.BorderMode != 0 || !SkinManagerIsValidImageIndex(s, ex)) return;
    const int32_t narrowest = std::min({SkinMaskBorderLeft(s, ex), SkinMaskBorderTop(s, ex), SkinMaskBorderRight(s, ex),
                                        SkinMaskBorderBottom(s, ex)});
    const int32_t widest = std::max(narrowest - 1, 0);
    std::string text;
    if (!GlobalNumber("FORMOFFSET", text)) {
      s.SkinData.FormOffset = LimitValue(s.SkinData.FormOffset, 0, widest);
      return;
    }
    const SkinSizeKey bound{"GLOBALINFO", "FORMOFFSET", 0, widest};
    CheckSize(&bound, "GLOBALINFO", "FORMOFFSET", s.SkinData.FormOffset, text,
              " with the EXBORDER image, whose narrowest border is " + std::to_string(narrowest) + " pixels");
  }

  // A dialog's caption is what the title height leaves below the frame's border (its close button, icon and
  // text reach up into the border where the caption is lower than they are): a border as tall as the title
  // height leaves message boxes without a caption. A skin that gives no BORDERWIDTH takes the default as far as
  // its title height leaves a caption.
  void CheckBorderWidth() {
    LoadedSkin& s = *next_;
    const int32_t widest = std::max(s.SkinData.TitleHeight - 1, 0);
    std::string text, title;
    const bool number = GlobalNumber("BORDERWIDTH", text);
    if (!number && !IsNumberPast32Bits(text)) {
      s.SkinData.BorderWidth = LimitValue(s.SkinData.BorderWidth, 0, widest);
      return;
    }
    const std::string with = GlobalNumber("TITLEHEIGHT", title) && IniTextToInt(title, 0) != 0
                                 ? " with TITLEHEIGHT " + title
                                 : " with the default TITLEHEIGHT of " + std::to_string(s.SkinData.TitleHeight);
    const SkinSizeKey bound{"GLOBALINFO", "BORDERWIDTH", 0, widest};
    CheckSize(&bound, "GLOBALINFO", "BORDERWIDTH", s.SkinData.BorderWidth, text,
              with + " (a dialog's caption lies below the border)", !number);
  }

  // ---- Version notices.
  void CheckSkinVersion(double version) {
    if (version < OldestFullSkinVersion) {
      bool test = (m_.State() & csDesigning) != 0;
      for (const std::string& p : sys_.CommandLineParameters())
        if (equalNoCase(p, "/actest")) test = true;
      if (test)
        sys_.ShowMessageBox(TSkinMessageKind::Information,
                            std::string(SOldSkinVersionStart) + "\"" + m_.SkinName() + "\" skin. " +
                                std::string(SOldSkinVersionAdvice) + "\r\n\r\n" +
                                std::string(SOldSkinVersionDesignTime),
                            m_.MessageBoxOwner());
    } else if (version > NewestKnownSkinVersion) {
      const bool hadDialogs = (m_.SkinningRules & srStdDialogs) != 0;
      m_.SkinningRules &= TacSkinningRules(~srStdDialogs);
      sys_.ShowMessageBox(TSkinMessageKind::Warning,
                          std::string(SNewSkinVersion1) + "\r\n" + std::string(SNewSkinVersion2), m_.MessageBoxOwner());
      if (hadDialogs) m_.SkinningRules |= srStdDialogs;
    }
  }

  // ---- Image files.

  // The bytes of an image file: a member of the skin's container, or a file of its folder read within the bounds
  // of one load (skin_bounds.h): the file's size, then its header's width and height, are looked at before the
  // rest is read, and an image past them refuses the skin (ImagePastBounds). false when the file is missing (why
  // empty) or cannot be read (why says why): a pipe or a device named as an image is never opened for a read.
  bool ReadFile(std::string_view name, FileBytes& out, std::string& why) {
    why.clear();
    if (conv_) {
      if (members_.empty())
        for (size_t i = 0; i < conv_->Files.size(); ++i) members_.emplace(upperCase(conv_->Files[i].FileName), int(i));
      const auto found = members_.find(upperCase(name));
      if (found == members_.end()) return false;
      const TacPackedFile& file = conv_->Files[size_t(found->second)];
      if (!file.Data) return false;
      out.data = file.Data->Memory();
      out.size = file.Data->View().size();
      CheckPixels(out.data, out.size);  // the container's reader kept its size within the bound
      return true;
    }
    const std::string path = std::string(name).find(':') == std::string::npos ? path_ + std::string(name)
                                                                             : std::string(name);
    const std::string found = FindFileNoCase(path);
    if (found.empty()) return false;
    try {
      TFileReader file(found);
      if (file.Size() > MaxSkinImageFileBytes)
        throw ImagePastBounds("is " + std::to_string(file.Size()) + " bytes, past the " +
                              std::to_string(MaxSkinImageFileBytes) + " bytes (" + MiBText(MaxSkinImageFileBytes) +
                              ") that an image file may have");
      out.owned = file.Read(std::min<int64_t>(file.Size(), 65536));
      const bool told = CheckPixels(out.owned.data(), out.owned.size());
      out.owned += file.Read(file.Size() - int64_t(out.owned.size()));
      if (!told) CheckPixels(out.owned.data(), out.owned.size());
    } catch (const EFOpenError& e) {
      why = e.Why.empty() ? e.what() : e.Why;  // the file is named already
      return false;
    } catch (const EStreamError& e) {
      why = e.what();
      return false;
    }
    out.data = out.owned.data();
    out.size = out.owned.size();
    return true;
  }

  // An image whose header gives more pixels than one image may have, or than the skin's images may still take, is
  // past the bounds: refused before its pixels are decoded. false when the bytes give no width and height.
  bool CheckPixels(const char* data, size_t size) const {
    int64_t w = 0, h = 0;
    if (!ImageFileDimensions(data, size, w, h)) return false;
    if (w <= 0 || h <= 0) return true;  // no pixel: the decoder refuses it as damaged
    const std::string is = "is " + std::to_string(w) + " x " + std::to_string(h) + " pixels, past the ";
    static_assert(MaxSkinImagePixels == 4096 * 4096);
    if (w * h > MaxSkinImagePixels)
      throw ImagePastBounds(is + std::to_string(MaxSkinImagePixels) + " pixels (4096 x 4096) that an image may have");
    if (w * h > pixelsLeft_)
      throw ImagePastBounds(is + std::to_string(std::max<int64_t>(pixelsLeft_, 0)) +
                                      " pixels that the skin's images may still take (" + std::to_string(MaxSkinPixels) +
                                      " together)");
    return true;
  }

  // Gives a bitmap without alpha of its own alpha 255 on every pixel but the key colour.
  static void makeOpaque(Bitmap& bmp) {
    SetBitmap32(bmp);
    SetAlphaRect(bmp, TRect{0, 0, bmp.Width(), bmp.Height()}, 255, KeyColor);
  }

  // Decodes an image file by its extension into a 32-bit bitmap; nullptr when it cannot be read (a damaged
  // image ends that image only), why saying why.
  std::shared_ptr<Bitmap> Decode(const std::string& upperName, const FileBytes& bytes, std::string& why) {
    const std::string ext = extensionOf(upperName);
    auto bmp = std::make_shared<Bitmap>();
    bool hasAlpha = false;
    const int64_t most = std::min(pixelsLeft_, MaxSkinImagePixels);
    why = "no pixels are left for it";
    if (most < 1) return nullptr;
    try {
      if (ext == ".BMP") {
        hasAlpha = DecodeBmp(bytes.data, bytes.size, *bmp, most);
      } else if (ext == ".JPG" || ext == ".JPEG") {
        DecodeJpeg(bytes.data, bytes.size, *bmp, most);
      } else if (ext == ".PNG") {
        TPNGGraphic png;
        png.MaxPixels = most;
        png.LoadFromMemory(bytes.data, bytes.size);
        *bmp = std::move(static_cast<Bitmap&>(png));
        if (m_.Brightness() <= 0 && next_->SkinData.Version > OldestFullSkinVersion)
          PremultiplyAlpha(*bmp, TRect{0, 0, bmp->Width(), bmp->Height()});
        hasAlpha = bmp->PixelFormat() == pf32bit;
      } else {
        why = "it is no bitmap, JPEG or PNG file by its name";
        return nullptr;
      }
      why = "it holds no pixel";
      if (bmp->Empty()) return nullptr;
      if (!hasAlpha) makeOpaque(*bmp);
    } catch (const std::exception& e) {
      why = e.what();
      return nullptr;
    }
    pixelsLeft_ -= int64_t(bmp->Width()) * bmp->Height();
    return bmp;
  }

  // An image file of the skin, loaded once however many keys name it; nullptr when it is missing or cannot be
  // read (why: empty when missing, else why it cannot be read). ImagePastBounds for an image past the bounds.
  std::shared_ptr<Bitmap> LoadSkinImageFile(std::string_view name, std::string& why) {
    const std::string upper = upperCase(name);
    if (const auto loaded = files_.find(upper); loaded != files_.end()) return loaded->second;
    if (const auto failed = unreadable_.find(upper); failed != unreadable_.end()) {
      why = failed->second;
      return nullptr;
    }
    FileBytes bytes;
    std::shared_ptr<Bitmap> bmp;
    if (ReadFile(upper, bytes, why)) bmp = Decode(upper, bytes, why);
    if (!bmp) {
      unreadable_.emplace(upper, why);
      return nullptr;
    }
    next_->ImageFiles.push_back(SkinImageFile{bmp, upper, false});
    files_.emplace(upper, bmp);
    return bmp;
  }

  // A title button's image named by its file must be there: a caption without its close, maximize or minimize
  // button still answers clicks where the buttons would be, but shows nothing. Refused, the key, its value and the
  // file named (a skin that names no image for a button draws the button without one).
  void CheckTitleButtonFile(const std::string& section, const std::string& key, const std::string& file,
                            const std::string& why) {
    if (!IsTitleButtonKey(section, key)) return;
    throw std::runtime_error(SkinValueRefusedText(
        m_.SkinName(), section, key, keys_.Value(section, key, ""),
        "a title button whose file \"" + file + "\" " + (why.empty() ? "is missing" : "cannot be read (" + why + ")") +
            unseenCharactersNote(file, "its name")));
  }

  // ---- Image records.

  // Whether a record's rectangle lies inside the bitmap it is cut from.
  static bool insideBitmap(const TRect& r, const Bitmap* bmp) {
    if (!bmp || bmp->Empty()) return false;
    return r.Left >= 0 && r.Top >= 0 && r.Left <= r.Right && r.Top <= r.Bottom && r.Right <= bmp->Width() &&
           r.Bottom <= bmp->Height();
  }

  // Appends a record cut from bitmap (the master image when null) unless its rectangle lies outside that bitmap;
  // its index, or -1.
  int32_t AddRecord(int32_t section, const std::string& sectionName, const std::string& key, int16_t maskType,
                    uint16_t drawMode, int16_t imageCount, const TRect& rect, uint8_t kind,
                    std::shared_ptr<Bitmap> bitmap) {
    const Bitmap* source = bitmap ? bitmap.get() : next_->MasterBitmap.get();
    if (!bitmap && !next_->MasterBitmap) {
      cutWithoutMaster_ = true;
      return -1;
    }
    CheckImage(sectionName, key, rect, imageCount, maskType, *source, bitmap != nullptr);
    const int32_t i = SkinManagerAddImage(*next_, section, key, maskType, drawMode, imageCount, rect, kind,
                                          sectionName, &m_);
    next_->Images[size_t(i)].Bitmap = std::move(bitmap);
    return i;
  }

  // What an image is called in a refusal: a title button is drawn from its image alone, and a missing one would
  // leave the caption without that button.
  static std::string imageWord(const std::string& section, const std::string& key) {
    return IsTitleButtonKey(section, key) ? "a title button" : "an image";
  }

  // An image outside its bitmap, or whose states hold no pixel, would leave its control faceless: the skin is
  // refused, the key and its value named.
  void CheckImage(const std::string& section, const std::string& key, const TRect& rect, int16_t imageCount,
                  int16_t maskType, const Bitmap& source, bool ownFile) {
    std::string what;
    if (!insideBitmap(rect, &source)) {
      what = imageWord(section, key) + " outside its " + std::string(ownFile ? "image file" : "master image") +
             " of " + std::to_string(source.Width()) + " x " + std::to_string(source.Height()) + " pixels";
    } else if (imageCount < 1 || ImageStateWidth(rect, uint16_t(imageCount)) < 1 ||
               ((maskType >= 0 || IsTitleButtonKey(section, key)) && ImageFrameHeight(rect, maskType) < 1)) {
      what = imageWord(section, key) + " whose states hold no pixel";
    } else {
      return;
    }
    throw std::runtime_error(SkinValueRefusedText(m_.SkinName(), section, key, keys_.Value(section, key, ""), what));
  }

  // The border widths a value gives (four sides, then the common width) must lie within one state of its image:
  // a negative width, or borders wider than the state, would draw the control as a heavy frame or no face at all.
  void CheckBorders(const SkinImageRecord& r, const std::array<int32_t, 5>& widths) {
    const int32_t w = ImageStateWidth(r), h = ImageFrameHeight(r);
    const int32_t common = widths[4];
    auto side = [common](int32_t v) { return v > 0 ? int64_t(v) : common > 0 ? int64_t(common) : 0; };
    const bool negative = std::any_of(widths.begin(), widths.end(), [](int32_t v) { return v < 0; });
    const bool across = side(widths[0]) + side(widths[2]) > w;
    const bool down = h > 0 && side(widths[1]) + side(widths[3]) > h;
    if (!negative && !across && !down) return;
    std::string given = std::to_string(widths[0]);
    for (size_t i = 1; i < 5; ++i) given += ", " + std::to_string(widths[i]);
    throw std::runtime_error(SkinValueRefusedText(
        m_.SkinName(), r.SectionName, r.KeyName, keys_.Value(r.SectionName, r.KeyName, ""),
        "border widths (" + given + ") that do not fit in its states of " + std::to_string(w) + " x " +
            std::to_string(h) + " pixels"));
  }

  // The border widths of a bordered image that gives none: a third of one state's width and of one frame's
  // height.
  static void defaultBorders(SkinImageRecord& r, int32_t width, int32_t height) {
    const int32_t across = int32_t(r.ImageCount) * 3;
    const int32_t down = (int32_t(r.MaskType) + 1) * 3;
    r.BorderLeft = r.BorderRight = toInt16(across > 0 ? width / across : 0);
    r.BorderTop = r.BorderBottom = toInt16(down > 0 ? height / down : 0);
  }

  // A '^' value: a bordered mask of the master image.
  int32_t AddBorderedMask(int32_t section, const std::string& sectionName, const std::string& key,
                          const std::string& v, uint8_t kind) {
    CheckFixedFields(sectionName, key, v, kMaskFields);
    const TRect rect = RectFromString(v, 2);
    const int32_t widths[4] = {SubstringToInt(v, 22, 4), SubstringToInt(v, 27, 4), SubstringToInt(v, 32, 4),
                               SubstringToInt(v, 37, 4)};
    int32_t count = SubstringToInt(v, 42, 1);
    const int32_t maskType = SubstringToInt(v, 44, 1);
    const int32_t drawMode = SubstringToInt(v, 46, 1);
    // The common border width runs from position 48 to the next '^' or the end.
    const size_t commonEnd = v.size() >= 48 ? std::min(v.find('^', 47), v.size()) : 0;
    const int32_t common = SubstringToInt(v, 48, commonEnd >= 48 ? int(commonEnd - 47) : 0);
    if (count < 1) count = 1;  // an image count of 0 counts as one image
    const int32_t i = AddRecord(section, sectionName, key, toInt16(maskType), uint16_t(drawMode), toInt16(count),
                                rect, kind, nullptr);
    if (i < 0) return -1;
    SkinImageRecord& r = next_->Images[size_t(i)];
    CheckBorders(r, {widths[0], widths[1], widths[2], widths[3], common});
    r.CommonBorderWidth = toInt16(common);
    if (widths[0] == 0 && widths[1] == 0 && widths[2] == 0 && widths[3] == 0) {
      if (common > 0) {
        r.BorderLeft = r.BorderTop = r.BorderRight = r.BorderBottom = toInt16(common);
      } else {
        defaultBorders(r, RectWidth(rect), RectHeight(rect));
      }
    } else {
      r.BorderLeft = toInt16(widths[0]);
      r.BorderTop = toInt16(widths[1]);
      r.BorderRight = toInt16(widths[2]);
      r.BorderBottom = toInt16(widths[3]);
    }
    r.TransparentFlag = SkinImageTransparentFlag(*next_, r, &scanLeft_);
    return i;
  }

  // The '@' and '^' forms are read by place: a field of more or fewer digits than its place holds would shift
  // every field after it (an image count of 255 read as 2, its "55" as the mask type and the draw mode). The
  // places that the value reaches are checked.
  void CheckFixedFields(const std::string& section, const std::string& key, const std::string& v,
                        std::span<const FixedField> fields) {
    for (const FixedField& field : fields) {
      if (size_t(field.Separator) > v.size()) break;  // the value ends before (read as it always was)
      const size_t start = size_t(field.Separator);  // the field's first digit (0-based), after its separator
      const size_t end = std::min(v.find(v[0], start), v.size());
      if (end - start == size_t(field.Digits)) continue;
      throw std::runtime_error(SkinValueRefusedText(
          m_.SkinName(), section, key, keys_.Value(section, key, ""),
          "which is malformed (its " + std::string(field.Name) + " is \"" + v.substr(start, end - start) +
              "\" where its place holds " + std::to_string(field.Digits) + " digit" +
              (field.Digits > 1 ? "s" : "") + ")"));
    }
  }

  // One value of a section: an image record when the value names an image.
  void AddImageValue(int32_t section, const std::string& sectionName, const std::string& key, const std::string& v) {
    static const TCharSet bang = MakeCharSet("!"), tilde = MakeCharSet("~");
    switch (v[0]) {
      case '@': {
        CheckFixedFields(sectionName, key, v, kGlyphFields);
        const TRect rect = RectFromString(v, 2);
        const int32_t count = SubstringToInt(v, 22, 1);
        const int32_t maskType = SubstringToInt(v, 24, 1);
        AddRecord(section, sectionName, key, toInt16(maskType), 0, toInt16(count), rect, 2, nullptr);
        break;
      }
      case '^':
        AddBorderedMask(section, sectionName, key, v, 2);
        break;
      case '~': {
        const TRect rect = RectFromString(v, 2);
        const int32_t drawMode = SubstringToInt(v, 22, 2);
        const int32_t maskType = v.size() < 25 ? 0 : SubstringToInt(v, 25, 1);
        std::shared_ptr<Bitmap> own;
        std::string why;
        if (v.size() > 26) own = LoadSkinImageFile(ExtractWord(7, v, tilde), why);
        AddRecord(section, sectionName, key, toInt16(maskType), uint16_t(drawMode), 1, rect, 1, std::move(own));
        break;
      }
      case '!': {
        std::string why;
        std::shared_ptr<Bitmap> bmp = LoadSkinImageFile(ExtractWord(1, v, bang), why);
        if (!bmp) {
          CheckTitleButtonFile(sectionName, key, FileNamedBy(keys_.Value(sectionName, key, "")), why);
          break;
        }
        int32_t count = ExtractWordInt(2, v, bang);
        const int32_t maskType = ExtractWordInt(3, v, bang);
        const int32_t kind = LimitValue(ExtractWordInt(4, v, bang), 0, 4);
        if (count < 1) count = 1;  // an image count of 0 counts as one image
        const int32_t w = bmp->Width(), h = bmp->Height();
        const int32_t i = AddRecord(section, sectionName, key, toInt16(maskType),
                                    uint16_t(ExtractWordInt(9, v, bang)), toInt16(count), TRect{0, 0, w, h},
                                    uint8_t(kind), bmp);
        if (i < 0) break;
        SkinImageRecord& r = next_->Images[size_t(i)];
        if (WordCount(v, bang) > 4) {
          const std::array<int32_t, 5> widths = {ExtractWordInt(5, v, bang), ExtractWordInt(6, v, bang),
                                                 ExtractWordInt(7, v, bang), ExtractWordInt(8, v, bang), 0};
          CheckBorders(r, widths);
          r.BorderLeft = toInt16(widths[0]);
          r.BorderTop = toInt16(widths[1]);
          r.BorderRight = toInt16(widths[2]);
          r.BorderBottom = toInt16(widths[3]);
        } else {
          defaultBorders(r, w, h);
        }
        if (r.ImageKind == 0) r.TransparentFlag = SkinImageTransparentFlag(*next_, r, &scanLeft_);
        break;
      }
      default:
        if (v.find(".JPG") != std::string::npos || v.find(".BMP") != std::string::npos) {
          std::string why;
          std::shared_ptr<Bitmap> bmp = LoadSkinImageFile(v, why);
          if (!bmp) CheckTitleButtonFile(sectionName, key, FileNamedBy(keys_.Value(sectionName, key, "")), why);
          if (bmp) AddRecord(section, sectionName, key, 0, 0, 1, TRect{0, 0, bmp->Width(), bmp->Height()}, 1, bmp);
        }
    }
  }

  // The master image, from which most images are cut. A skin whose master image is missing, damaged or too large
  // has none of those images: its windows would lose their frames, title buttons and backgrounds, so it is
  // refused (a missing image file of its own leaves out that image only).
  void LoadMasterBitmap() {
    const std::string name = keys_.Value("GLOBALINFO", "MASTERBITMAP", "");
    if (name.empty()) return;
    FileBytes bytes;
    std::string why;
    try {
      if (!ReadFile(name, bytes, why))
        throw std::runtime_error(SkinRefusedText(m_.SkinName(), "its master image \"" + name + "\" " +
                                                                     (why.empty() ? "is missing"
                                                                                  : "cannot be read (" + why + ")") +
                                                                     unseenCharactersNote(name, "its name")));
    } catch (const ImagePastBounds& e) {
      throw std::runtime_error(SkinRefusedText(m_.SkinName(), "its master image \"" + name + "\" " + e.what()));
    }
    auto master = std::make_shared<Bitmap>();
    try {
      const bool hasAlpha = DecodeBmp(bytes.data, bytes.size, *master, std::min(pixelsLeft_, MaxSkinImagePixels));
      if (!hasAlpha) makeOpaque(*master);
    } catch (const std::exception& e) {
      throw std::runtime_error(
          SkinRefusedText(m_.SkinName(), "its master image \"" + name + "\" cannot be read (" + e.what() + ")"));
    }
    pixelsLeft_ -= int64_t(master->Width()) * master->Height();
    master->SetTransparent(true);
    master->SetTransparentColor(KeyColor);
    next_->MasterBitmap = std::move(master);
  }

  // The refusal of a value that cannot be read: the skin, the key and the value named with the reason.
  std::runtime_error Malformed(std::string_view section, std::string_view key, std::string_view value,
                               const EConvertError& e) const {
    return std::runtime_error(
        SkinValueRefusedText(m_.SkinName(), section, key, value, "which is malformed (" + std::string(e.what()) + ")"));
  }

  // A size key as read (given or inherited): refused outside what can be drawn. dependsOn: what the bound
  // depends on when it depends on another key; pastBits: the text is a number past 32 bits, outside every bound.
  void CheckSize(const SkinSizeKey* bound, std::string_view section, std::string_view key, int32_t value,
                 std::string_view text, std::string_view dependsOn = {}, bool pastBits = false) const {
    if (!bound || (!pastBits && value >= bound->Min && value <= bound->Max)) return;
    const std::string shown = text.empty() ? std::to_string(value) : std::string(text);
    throw std::runtime_error(SkinValueRefusedText(m_.SkinName(), section, key, shown,
                                                  "outside the " + std::to_string(bound->Min) + " to " +
                                                      std::to_string(bound->Max) + " that can be drawn" +
                                                      std::string(dependsOn)));
  }
  // A size key of a section's record. GLOBALINFO is read as a section too, and its record is bounded like every
  // other section's, not by the table of its global keys.
  void CheckSectionSize(const std::string& section, std::string_view key, int32_t value) {
    const SkinSizeKey* bound = FindSkinSizeKey("", key);
    if (const std::string own = keys_.Value(section, key, ""); bound && IsNumberPast32Bits(own))
      CheckSize(bound, section, key, value, own, {}, true);
    if (bound && (value < bound->Min || value > bound->Max))
      CheckSize(bound, section, key, value, keys_.IntText(section, key));
  }

  void LoadImages() {
    LoadMasterBitmap();
    cutWithoutMaster_ = false;
    for (int si = 0; si < keys_.Count(); ++si) {
      const std::string& name = keys_.Name(si);
      const bool global = name == "GLOBALINFO";
      for (std::string_view key : keys_.Keys(si)) {
        if (global && key == "MASTERBITMAP") continue;
        const std::string v = upperCase(keys_.Value(name, key, ""));
        if (v.empty()) continue;
        try {
          AddImageValue(int32_t(si), name, std::string(key), v);
        } catch (const EConvertError& e) {
          throw Malformed(name, key, keys_.Value(name, key, ""), e);
        } catch (const ImagePastBounds& e) {
          const std::string k(key);
          throw std::runtime_error(SkinValueRefusedText(m_.SkinName(), name, key, keys_.Value(name, key, ""),
                                                        imageWord(name, k) + " whose file \"" +
                                                            FileNamedBy(keys_.Value(name, key, "")) + "\" " + e.what()));
        }
      }
    }
    if (cutWithoutMaster_)
      throw std::runtime_error(
          SkinRefusedText(m_.SkinName(), "it cuts images from a master image that its description does not name"));
    if (!m_.CommonSections().empty()) LoadCommonSectionImages();
  }

  // Bitmap files named by the manager's common sections: records that hold only their bitmap, found by name.
  void LoadCommonSectionImages() {
    TIniSections common;
    IniTextToSections(m_.CommonSections(), common);
    for (int i = 0; i < common.Count(); ++i) {
      const std::string& section = common[i].Name;
      if (section == "GLOBALINFO" || common.IndexOf(section) != i) continue;
      for (const std::string& key : distinctKeys(common, i)) {
        const std::string value = ReadIniValue(common, section, "-", key);
        if (upperCase(value).find(".BMP") == std::string::npos) continue;
        const std::string path = value.find(':') == std::string::npos ? path_ + value : value;
        const std::string found = FindFileNoCase(path);
        if (found.empty()) continue;
        auto bmp = std::make_shared<Bitmap>();
        try {
          TMemoryStream file;
          file.LoadFromFile(found, MaxSkinImageFileBytes);  // past the bound, or no file: left out like a damaged one
          DecodeBmp(file.Memory(), size_t(file.Size()), *bmp);
          makeOpaque(*bmp);
        } catch (const std::exception&) {
          continue;
        }
        if (bmp->Width() == 0) continue;
        SkinImageRecord r;
        r.Bitmap = std::move(bmp);
        r.Manager = &m_;
        r.SectionName = upperCase(section);
        r.KeyName = upperCase(key);
        r.ImageCount = 0;
        r.MaskType = 0;
        r.ImageKind = 0;
        r.SectionIndex = 0;
        next_->Images.push_back(std::move(r));
      }
    }
  }

  // ---- Sections.

  // The inherited reads of a description: the skin's own (indexed) or the manager's common sections.
  struct Reader {
    IndexedSections* indexed;
    const IniSource* plain;
    SkinSystem& sys;
    int32_t Int(const std::string& section, std::string_view key, int32_t def,
                int32_t max = std::numeric_limits<int32_t>::max()) const {
      return indexed ? indexed->ReadInt(section, key, def, max, sys) : ReadInheritedInt(*plain, section, key, def, max, sys);
    }
    std::string String(const std::string& section, std::string_view key, std::string_view def) const {
      return indexed ? indexed->ReadString(section, key, def) : ReadInheritedString(*plain, section, key, def);
    }
    // Widths, offsets, percents and counts: never system colours, a negative value stays negative.
    int32_t Size(const std::string& section, std::string_view key, int32_t def,
                 int32_t max = std::numeric_limits<int32_t>::max()) const {
      return indexed ? indexed->ReadSize(section, key, def, max) : ReadInheritedSize(*plain, section, key, def, max);
    }
    bool Bool(const std::string& section, std::string_view key, bool def) const {
      return indexed ? indexed->ReadBool(section, key, def) : ReadInheritedBool(*plain, section, key, def);
    }
    // STATES, at most 255 (the most a section paints). A count past 32 bits is read whole, wherever along the
    // chain it is given: as far past that most as 2147483647, or as far below the least as -2147483648 (a count
    // below one paints one state).
    int32_t States(const std::string& section, int32_t def) const {
      const std::string text =
          indexed ? indexed->NumberText(section, "STATES") : ReadInheritedNumberText(*plain, section, "STATES");
      if (IsNumberPast32Bits(text))
        return text.find('-') == std::string::npos ? 255 : std::numeric_limits<int32_t>::min();
      return Size(section, "STATES", def, 255);
    }
  };
  Reader Own() { return Reader{&keys_, nullptr, sys_}; }
  int32_t ReadInt(const std::string& section, std::string_view key, int32_t def,
                  int32_t max = std::numeric_limits<int32_t>::max()) {
    return Own().Int(section, key, def, max);
  }
  int32_t ReadSize(const std::string& section, std::string_view key, int32_t def,
                   int32_t max = std::numeric_limits<int32_t>::max()) {
    return Own().Size(section, key, def, max);
  }

  // A state block from the keys of row `row`, over the values of `base`.
  SkinStateBlock ReadState(const Reader& ini, const std::string& section, int row, const SkinStateBlock& base) {
    const auto& k = StateKeyNames[size_t(row)];
    SkinStateBlock b = base;
    b.Color = ini.Int(section, k[0], base.Color);
    b.FontColor = ini.Int(section, k[1], base.FontColor);
    b.ContourLeft = ini.Int(section, k[2], base.ContourLeft);
    b.ContourTop = ini.Int(section, k[3], base.ContourTop);
    b.ContourRight = ini.Int(section, k[4], base.ContourRight);
    b.ContourBottom = ini.Int(section, k[5], base.ContourBottom);
    b.GradientColor = ini.Int(section, k[6], base.GradientColor);
    b.GradientSize = ini.Size(section, k[7], base.GradientSize);
    b.GradientPercent = ini.Size(section, k[8], base.GradientPercent);
    b.GradientData = ini.String(section, k[9], base.GradientData);
    b.ImagePercent = ini.Size(section, k[10], base.ImagePercent);
    b.Transparency = ini.Size(section, k[11], base.Transparency);
    if (b.GradientData.size() <= 2) {
      b.GradientPercent = 0;
      b.GradientSteps.clear();
    } else {
      try {
        ParseGradientSteps(b.GradientData, b.GradientSteps, sys_);
      } catch (const EConvertError& e) {
        throw Malformed(section, k[9], b.GradientData, e);
      }
    }
    return b;
  }

  // The states and the few values that a section of the common sections sets over its copied record.
  void ReadStatesAndFlags(const Reader& ini, SkinSectionRecord& r) {
    const std::string& n = r.SectionName;
    r.States = ini.States(n, r.States);
    r.NormalState = ReadState(ini, n, 0, r.NormalState);
    r.HotState = r.States > 1 ? ReadState(ini, n, 1, r.HotState) : r.NormalState;
    r.ReservedBoolean = ini.Bool(n, "RESERVEDBOOLEAN", r.ReservedBoolean);
    r.GiveOwnFont = ini.Bool(n, "GIVEOWNFONT", r.GiveOwnFont);
    r.GlowSize = ini.Size(n, "GLOW", r.GlowSize);
    r.GlowMargin = ini.Size(n, "GLOWMARGIN", r.GlowMargin);
  }

  SkinSectionRecord ReadSection(const std::string& name) {
    SkinSectionRecord r;
    r.SectionName = name;
    r.ParentName = keys_.ReadString(name, ParentClassKey, "");
    r.ReservedBoolean = keys_.ReadBool(name, "RESERVEDBOOLEAN", false);
    r.GiveOwnFont = keys_.ReadBool(name, "GIVEOWNFONT", false);
    r.GlowSize = ReadSize(name, "GLOW", 0);
    r.GlowMargin = ReadSize(name, "GLOWMARGIN", 0);
    r.States = Own().States(name, 3);
    r.OuterOffsets = TRect{ReadSize(name, "OUTOFFSL", 0), ReadSize(name, "OUTOFFST", 0),
                           ReadSize(name, "OUTOFFSR", 0), ReadSize(name, "OUTOFFSB", 0)};
    r.OuterOpacity = ReadSize(name, "OUTOPACITY", 200, 255);
    r.OuterMode = ReadSize(name, "OUTERMODE", 2);
    r.ImgTopLeft = r.ImgTopRight = r.ImgBottomLeft = r.ImgBottomRight = -1;
    const SkinStateBlock defaults;
    r.NormalState = ReadState(Own(), name, 0, defaults);
    r.HotState = r.States > 1 ? ReadState(Own(), name, 1, defaults) : r.NormalState;
    CheckSectionSize(name, "GLOW", r.GlowSize);
    CheckSectionSize(name, "GLOWMARGIN", r.GlowMargin);
    CheckSectionSize(name, "OUTOFFSL", r.OuterOffsets.Left);
    CheckSectionSize(name, "OUTOFFST", r.OuterOffsets.Top);
    CheckSectionSize(name, "OUTOFFSR", r.OuterOffsets.Right);
    CheckSectionSize(name, "OUTOFFSB", r.OuterOffsets.Bottom);
    CheckSectionSize(name, "GSIZE", r.NormalState.GradientSize);
    if (r.States > 1) CheckSectionSize(name, "HGSIZE", r.HotState.GradientSize);
    return r;
  }

  void ReadShadow(SkinShadowRecord& sh, std::string_view prefix, bool active, int32_t global) {
    const std::string p(prefix);
    auto get = [&](const char* key, int32_t def) { return GlobalInt(p + key, def); };
    const TColor light = active ? 0 : 0xFFFFFF;
    sh.Colors = {get("COLORL", light), get("COLORT", 0), get("COLORR", light), get("COLORB", light)};
    sh.Widths = {get("WIDTHL", -1), get("WIDTHT", -1), get("WIDTHR", -1), get("WIDTHB", -1)};
    sh.Offsets = active ? std::array<int32_t, 4>{get("OFFSETL", 3), get("OFFSETT", 2), get("OFFSETR", 3),
                                                 get("OFFSETB", 5)}
                        : std::array<int32_t, 4>{get("OFFSETL", 2), get("OFFSETT", 2), get("OFFSETR", 2),
                                                 get("OFFSETB", 4)};
    sh.Source = get("SOURCE", 2);
    sh.Opacity = get("OPACITY", active ? 60 : 200);
    sh.MaskIndex = -1;
    if (sh.Source == 0) return;
    if (sh.Source == 1) {
      const std::string v = upperCase(keys_.Value("GLOBALINFO", p + "MASK", ""));
      if (!v.empty() && v[0] == '^') sh.MaskIndex = AddBorderedMask(global, "GLOBALINFO", p + "MASK", v, 0);
      return;
    }
    sh.MaskIndex = m_.GenerateShadowMask(*next_, sh, global, p + "MASK");
  }

  void ReadGlobalInfo() {
    TsSkinData& d = next_->SkinData;
    auto get = [&](std::string_view key, int32_t def) { return GlobalInt(key, def); };
    d.Author = keys_.Value("GLOBALINFO", "AUTHOR", "");
    d.Description = keys_.Value("GLOBALINFO", "DESCRIPTION", "");
    d.BorderWidth = get("BORDERWIDTH", 4);
    d.TitleHeight = get("TITLEHEIGHT", 30);
    if (d.TitleHeight == 0) d.TitleHeight = 30;
    d.MaxHeight = get("MAXHEIGHT", 0);
    if (d.MaxHeight == 0) d.MaxHeight = d.TitleHeight;
    d.FormOffset = get("FORMOFFSET", sys_.SystemMetric(smCXFRAME));
    d.CenterOffset = get("CENTEROFFSET", 0);
    d.BorderMode = get("BORDERMODE", 0);
    d.BrightMin = get("BRIGHTMIN", -50);
    d.BrightMax = get("BRIGHTMAX", 50);
    d.AlignOffset = get("ALIGNOFFSET", 0);
    d.AlignOffsetR = get("ALIGNOFFSETR", d.AlignOffset);
    d.AlignOffsetT = get("ALIGNOFFSETT", d.AlignOffset);
    d.AlignOffsetB = get("ALIGNOFFSETB", d.AlignOffset);
    d.BISpace = get("BISPACE", 0);
    d.BIVAlign = get("BIVALIGN", 0);
    d.BIRight = get("BIRIGHT", 0);
    d.BILeft = get("BILEFT", 0);
    d.BITop = get("BITOP", 0);
    d.BIKeepHue = get("BIKEEPHUE", 0);
    d.AeroBlur = get("AEROBLUR", 0) != 0 ? 1 : 0;
    d.BICloseGlow = get("BICONCLOSEGLOW", 0);
    d.BICloseGlowMargin = get("BICONCLOSEGLOWMARGIN", 0);
    d.BIMaxGlow = get("BICONMAXGLOW", 0);
    d.BIMaxGlowMargin = get("BICONMAXGLOWMARGIN", 0);
    d.BIMinGlow = get("BICONMINGLOW", 0);
    d.BIMinGlowMargin = get("BICONMINGLOWMARGIN", 0);
    d.Shadow1Color = get("SHADOW1COLOR", 0);
    d.Shadow1Offset = get("SHADOW1OFFSET", 0);
    d.Shadow1Blur = get("SHADOW1BLUR", -1);
    d.Shadow1Transparency = get("SHADOW1TRANSPARENCY", 0);
    d.ComboMargin = get("COMBOMARGIN", 2);
    const int32_t global = GlobalSectionIndex();
    ReadShadow(d.ActiveShadow, "SH_", true, global);
    ReadShadow(d.InactiveShadow, "LO_", false, global);
  }

  // An integer of GLOBALINFO (no inheritance): Default when absent or not a number; a size key outside what can
  // be drawn (or past 32 bits) refuses the skin. The caption's heights and the frame's border are checked once
  // the images are read, against what they depend on (the close button, the title height).
  int32_t GlobalInt(std::string_view key, int32_t Default) const {
    const std::string text = keys_.Value("GLOBALINFO", key, "\x01");
    const int32_t value = IniTextToInt(text, Default);
    if (text != "\x01" && key != "TITLEHEIGHT" && key != "MAXHEIGHT" && key != "BORDERWIDTH")
      CheckSize(FindSkinSizeKey("GLOBALINFO", key), "GLOBALINFO", key, value, text, {}, IsNumberPast32Bits(text));
    return value;
  }

  int32_t GlobalSectionIndex() const {
    return keys_.IndexOf("GLOBALINFO");
  }

  // The sections of the manager's common sections that the skin lacks, each a copy of its parent section (or
  // of the defaults) with its own states and flags.
  void ReadCommonSections() {
    TIniSections common;
    IniTextToSections(m_.CommonSections(), common);
    std::vector<SkinSectionRecord>& sections = next_->Sections;
    for (int i = 0; i < common.Count(); ++i) {
      const std::string& name = common[i].Name;
      if (common.IndexOf(name) != i || SkinManagerGetSectionIndex(*next_, name) >= 0) continue;
      const std::string parent = ReadIniValue(common, name, "-1", ParentClassKey);
      SkinSectionRecord r;
      if (parent != "-1") {
        const std::string upperParent = upperCase(parent);
        for (const SkinSectionRecord& s : sections)
          if (upperCase(s.SectionName) == upperParent) {
            r = s;
            r.ParentName = s.SectionName;
            break;
          }
      }
      r.SectionName = name;
      ReadStatesAndFlags(Reader{nullptr, &common, sys_}, r);
      sections.push_back(std::move(r));
    }
  }

  void ReadColorTable() {
    LoadedSkin& s = *next_;
    SkinColorTable& t = s.Colors;
    auto rgb = [this](TColor c) { return ColorToRGB(c, sys_); };
    auto global = [this](std::string_view key, int32_t def) { return ReadInt("GLOBALINFO", key, def); };
    t[scMainColor] = global("COLOR", rgb(clBtnFace));
    t[scMainFontColor] = global("FONTCOLOR", 0);
    t[scBottomContour] = global("TCBOTTOM", 0xFF0000);
    t[scTopContour] = global("TCTOP", 0x0000FF);
    const int32_t edit = SkinManagerGetSectionIndex(s, "EDIT");
    t[scEditText] = edit >= 0 ? s.Sections[size_t(edit)].NormalState.FontColor : rgb(clWindowText);
    t[scEditBackground] = edit >= 0 ? s.Sections[size_t(edit)].NormalState.Color : rgb(clWindow);
    const int32_t selection = SkinManagerGetSectionIndex(s, "SELECTION");
    if (selection >= 0) {
      const SkinSectionRecord& sel = s.Sections[size_t(selection)];
      const SkinStateBlock& focused = sel.States > 1 ? sel.HotState : sel.NormalState;
      t[scSelection] = sel.NormalState.Color;
      t[scSelectionText] = sel.NormalState.FontColor;
      t[scSelectionFocused] = focused.Color;
      t[scSelectionTextFocused] = focused.FontColor;
    } else {
      t[scSelection] = t[scSelectionText] = t[scSelectionFocused] = t[scSelectionTextFocused] = -1;
    }
    if (t[scSelectionText] == -1 || t[scSelectionText] == KeyColor) {
      const int32_t menu = SkinManagerGetSectionIndex(s, "MENUITEM");
      if (menu >= 0) {
        const SkinStateBlock& hot = s.Sections[size_t(menu)].HotState;
        t[scSelection] = t[scSelectionFocused] = hot.Color;
        t[scSelectionText] =
            (hot.FontColor == -1 || hot.FontColor == KeyColor) ? rgb(clHighlightText) : hot.FontColor;
        t[scSelectionTextFocused] = t[scSelectionText];
      } else {
        t[scSelection] = t[scSelectionFocused] = rgb(clHighlight);
        t[scSelectionText] = t[scSelectionTextFocused] = rgb(clHighlightText);
      }
    }
    t[scEditBgInv] = global("EDITBG_INV", t[scEditText]);
    t[scEditTextInv] = global("EDITTEXT_INV", t[scEditBackground]);
    t[scEditBgOdd] = global("EDITBG_ODD", t[scEditBackground]);
    t[scEditBgEven] = global("EDITBG_EVEN", MixColorsRatio(t[scEditText], t[scEditBackground], 0.05));
    static constexpr std::string_view textKeys[5] = {"EDITTEXT_OK", "EDITTEXT_WARN", "EDITTEXT_ALERT",
                                                     "EDITTEXT_ALERT", "EDITTEXT_ALERT"};
    static constexpr std::string_view bgKeys[5] = {"EDITBG_OK", "EDITBG_WARN", "EDITBG_ALERT", "EDITBG_ALERT",
                                                   "EDITBG_ALERT"};
    static constexpr TColor textDefaults[5] = {0x008000, 0x008484, 0x0000FF, 0x8597D9, 0x4AB28F};
    static constexpr TColor bgDefaults[5] = {0x6CC2A5, 0x40FFFF, 0x95A7E9, 0x8597D9, 0x4AB28F};
    for (size_t i = 0; i < 5; ++i) {
      t[scEditTextOk + i] = global(textKeys[i], textDefaults[i]);
      t[scEditBgOk + i] = global(bgKeys[i], bgDefaults[i]);
    }
    t[scEditTextH1] = global("EDITTEXT_H1", 0);
    t[scEditTextH2] = global("EDITTEXT_H2", 0);
    t[scEditTextH3] = global("EDITTEXT_H3", 0);
    t[scBorderColor] = global("BORDERCOLOR", 0);
  }

  void AddTransparentSection() {
    if (SkinManagerGetSectionIndex(*next_, "TRANSPARENT") >= 0) return;
    SkinSectionRecord r;
    r.SectionName = "TRANSPARENT";
    r.States = 1;
    r.NormalState.Transparency = 100;
    r.NormalState.Color = 0xFFFFFF;
    r.NormalState.FontColor = next_->Colors[scMainFontColor];
    r.HotState = r.NormalState;
    next_->Sections.push_back(std::move(r));
  }

  void ReadSections() {
    ReadGlobalInfo();
    next_->SkinData.TabTopCovering = ReadSize("TABTOP", "TABSCOVERING", 0);
    next_->SkinData.RibbonTabCovering = ReadSize("RIBBONTAB", "TABSCOVERING", 0);
    CheckSectionSize("TABTOP", "TABSCOVERING", next_->SkinData.TabTopCovering);
    CheckSectionSize("RIBBONTAB", "TABSCOVERING", next_->SkinData.RibbonTabCovering);
    next_->Sections.reserve(size_t(keys_.Count()) + 1);
    for (int i = 0; i < keys_.Count(); ++i) next_->Sections.push_back(ReadSection(keys_.Name(i)));
    if (!m_.CommonSections().empty()) ReadCommonSections();
    SkinManagerIndexSkin(*next_);
    SkinManagerReadSectionImages(*next_);
    ReadColorTable();
    AddTransparentSection();
    AdjustColors();
  }

  // ---- Colour adjustment (hue, then saturation, then brightness), key colours left alone.

  template <class Func>
  void AdjustEverything(Func pixelFunc, TColor (*colorFunc)(TColor, int), int32_t amount,
                        const std::vector<KeptPixels>& kept) {
    LoadedSkin& s = *next_;
    if (s.MasterBitmap) adjustPixels(*s.MasterBitmap, pixelFunc, amount);
    for (SkinImageFile& f : s.ImageFiles)
      if (f.Bitmap) adjustPixels(*f.Bitmap, pixelFunc, amount);
    restorePixels(kept);
    auto color = [&](TColor& c) {
      if (c != -1 && c != clNone && c != KeyColor && c >= 0) c = colorFunc(c, amount);
    };
    for (SkinSectionRecord& section : s.Sections)
      for (SkinStateBlock* b : {&section.NormalState, &section.HotState}) {
        color(b->Color);
        color(b->GradientColor);
        color(b->FontColor);
        color(b->ContourLeft);
        color(b->ContourTop);
        color(b->ContourRight);
        color(b->ContourBottom);
        for (GradientStep& step : b->GradientSteps) {
          color(step.Color1);
          color(step.Color2);
        }
      }
    color(s.SkinData.Shadow1Color);
    for (int i : {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 27}) color(s.Colors[size_t(i)]);
  }

  void AdjustColors() {
    LoadedSkin& s = *next_;
    if (m_.HueOffset() != 0) {
      std::vector<KeptPixels> kept;
      if (s.SkinData.BIKeepHue > 0)
        for (SkinImageRecord& r : s.Images)
          if (std::find(std::begin(TitleIconKeys), std::end(TitleIconKeys), r.KeyName) != std::end(TitleIconKeys))
            keepPixels(kept, r.Bitmap ? r.Bitmap.get() : s.MasterBitmap.get(), r.SourceRect);
      AdjustEverything(PixelHue, [](TColor c, int a) { return ChangeColorHue(c, a); }, m_.HueOffset(), kept);
    }
    if (m_.Saturation() != 0) {
      const int32_t amount = LimitValue(int32_t(std::nearbyint(m_.Saturation() * 2.55)), -255, 255);
      AdjustEverything(PixelSaturation, [](TColor c, int a) { return ChangeColorSaturation(c, a); }, amount, {});
    }
    if (m_.Brightness() != 0) {
      std::vector<KeptPixels> kept;
      for (SkinImageRecord& r : s.Images)
        if (!r.Bitmap && r.MaskType == 1)
          keepPixels(kept, s.MasterBitmap.get(),
                     TRect{r.SourceRect.Left, r.SourceRect.Top + RectHeight(r.SourceRect) / 2, r.SourceRect.Right,
                           r.SourceRect.Bottom});
      AdjustEverything(PixelBrightness, [](TColor c, int a) { return ChangeColorBrightness(c, a); },
                       m_.Brightness(), kept);
    }
  }

  TsSkinManager& m_;
  SkinSystem& sys_;
  const TIniSections& ini_;
  IndexedSections keys_;
  std::string path_;
  const TacSkinConvertor* conv_;
  bool described_;
  std::unique_ptr<LoadedSkin> next_;
  TextMap<int> members_;                         // the convertor's members by upper-case name
  TextMap<std::shared_ptr<Bitmap>> files_;       // the image files loaded, by upper-case name
  int64_t pixelsLeft_ = MaxSkinPixels;           // of the images this load may still decode
  int64_t scanLeft_ = MaxCornerScanPixels;       // of the corner pixels it may still look at
  bool cutWithoutMaster_ = false;
  std::unordered_map<std::string, std::string> unreadable_;  // the image files that gave none, and why
};

// ---------------------------------------------------------------------------------------------------------
// The manager's loads.

// Where the manager's skins are: its skin directory made absolute, and its packed skin's file in it.
std::string TsSkinManager::NormalizeSkinDirectory() const {
  const std::string& d = skinDirectory_;
  const std::string app = IncludeTrailingBackslash(system_->ProgramDirectory());
  if (d.rfind("..", 0) == 0) {
    // The program's directory without its last directory (the separator before it stays).
    std::string parent = app;
    if (!parent.empty()) parent.pop_back();
    const size_t sep = parent.find_last_of("\\/");
    parent = sep == std::string::npos ? std::string() : parent.substr(0, sep + 1);
    return parent + (d.size() > 3 ? d.substr(3) : std::string());
  }
  if (d.rfind(".\\", 0) == 0 || d.rfind("./", 0) == 0) return app + d.substr(2);
  if (d == ".") return app;
#if !defined(_WIN32)
  if (!d.empty() && d[0] == '/') return d;  // a path from the root of this system's single tree
#endif
  if (d.find(':') == std::string::npos && d.find("\\\\") == std::string::npos) return app + d;
  return d;
}

std::string TsSkinManager::PackedSkinFileName() const {
  return IncludeTrailingBackslash(NormalizeSkinDirectory()) + skinName_ + "." + std::string(PackedSkinExtension);
}


namespace {

std::unique_ptr<TIniSections> iniFromText(std::string_view text) {
  auto ini = std::make_unique<TIniSections>();
  IniTextToSections(text, *ini);
  return ini;
}

// Unpacks a skin's container; where names it in the refusal ("its packed file ..." or "its stored data"), with
// the reader's own message, when the data are no packed skin or end early.
void UnpackSkin(std::unique_ptr<TacSkinConvertor>& convertor, const std::string& skinName, const std::string& where) {
  std::string why;
  try {
    if (!ExtractPackedSkin(convertor)) why = SNotPackedSkin;
  } catch (const std::exception& e) {
    why = e.what();
  }
  if (convertor) convertor->ReleasePackedData();
  if (!why.empty()) throw std::runtime_error(SkinRefusedText(skinName, where + " cannot be read: " + why));
}

// Why a container that was read gave no description, after the internal-format message: it holds no member at
// all, or none named Options.dat (its members named). whose: "Its packed file "..." holds", "Its stored data hold".
std::string NoDescriptionCause(const TacSkinConvertor& c, const std::string& whose) {
  if (c.Files.empty()) return "\r\n\r\n" + whose + " no member at all: no description (Options.dat) and no image.";
  std::string names;
  for (size_t i = 0; i < c.Files.size() && i < 5; ++i) names += (i ? ", \"" : "\"") + c.Files[i].FileName + "\"";
  if (c.Files.size() > 5) names += ", ...";
  return "\r\n\r\n" + whose + " no description (Options.dat) among its " + std::to_string(c.Files.size()) +
         " member(s): " + names + ".";
}

}  // namespace

TSkinLoadResult TsSkinManager::LoadSkin() {
  if (!active_) return TSkinLoadResult::Skipped;
  SkinLoading = 1;
  const std::string skinPath = NormalizeSkinDirectory() + "\\" + skinName_ + "\\";
  std::unique_ptr<TIniSections> ini;
  std::unique_ptr<TacSkinConvertor> convertor;
  std::string path = skinPath;
  uint8_t packed = 0;
  std::unique_ptr<LoadedSkin> next;
  try {
    if (ReceivedOptions) {
      ini = std::make_unique<TIniSections>();
      IniTextToSections(*ReceivedOptions, *ini);
    } else if (const std::string options = FindFileNoCase(skinPath + std::string(SkinOptionsFileName));
               !options.empty()) {
      TMemoryStream file;
      try {
        file.LoadFromFile(options, MaxSkinDescriptionBytes);
      } catch (const EFileTooLarge& e) {
        throw std::runtime_error(SkinRefusedText(
            skinName_, "its description \"" + options + "\" is " + std::to_string(e.Size) + " bytes, past the " +
                           std::to_string(e.Max) + " bytes (" + MiBText(e.Max) + ") that a description may have"));
      } catch (const std::exception& e) {
        throw std::runtime_error(
            SkinRefusedText(skinName_, "its description \"" + options + "\" cannot be read: " + e.what()));
      }
      ini = iniFromText(file.View());
    } else {
      path.clear();
      int i = InternalSkins.IndexOf(skinName_);
      if (InternalSkins.Count() == 0) {
        active_ = false;
        SkinLoading = 0;
        return TSkinLoadResult::Deactivated;
      }
      if (i < 0) {
        skinName_ = InternalSkins[0].Name;
        i = 0;
      }
      TsStoredSkin& stored = InternalSkins[i];
      if (stored.Data.Size() > 0) {
        packed = 1;
        convertor = std::make_unique<TacSkinConvertor>();
        // The stored data are lent to the reader: it reads them in place and never frees them.
        convertor->LendPackedData(stored.Data);
        UnpackSkin(convertor, skinName_, "its stored data");
        if (!convertor->Options) {
          ReportLoadFailure(TSkinMessageKind::Information,
                            InternalFormatErrorText(skinName_) + NoDescriptionCause(*convertor, "Its stored data hold"));
          return TSkinLoadResult::Failed;
        }
        ini = iniFromText(convertor->Options->View());
      }
    }
    const bool described = ini != nullptr;
    if (!ini) ini = std::make_unique<TIniSections>();  // a stored skin without data: an empty skin
    SkinLoader loader(*this, *ini, path, convertor.get(), described);
    next = loader.Build();
  } catch (const std::exception& e) {
    ReportLoadFailure(TSkinMessageKind::Error, e.what());
    return TSkinLoadResult::Failed;
  }
  InstallSkin(std::move(next), packed);
  return TSkinLoadResult::Loaded;
}

TSkinLoadResult TsSkinManager::LoadPackedSkin() {
  if (!active_) return TSkinLoadResult::Skipped;
  SkinLoading = 1;
  std::unique_ptr<LoadedSkin> next;
  try {
    const std::string file = PackedSkinFileName();
    std::unique_ptr<TacSkinConvertor> convertor;
    if (FileExists(file)) {
      // Named as the system writes its paths (the file found, not the name put together for it).
      const std::string found = FindFileNoCase(file);
      const std::string where = "its packed file \"" + (found.empty() ? file : found) + "\"";
      auto data = std::make_unique<TMemoryStream>();
      try {
        data->LoadFromFile(file, MaxPackedSkinFileBytes);
      } catch (const EFileTooLarge& e) {
        throw std::runtime_error(SkinRefusedText(skinName_, where + " is " + std::to_string(e.Size) + " bytes, past the " +
                                                                std::to_string(e.Max) + " bytes (" + MiBText(e.Max) +
                                                                ") that a packed skin may have"));
      } catch (const std::exception& e) {
        throw std::runtime_error(SkinRefusedText(skinName_, where + " cannot be read: " + e.what()));
      }
      convertor = std::make_unique<TacSkinConvertor>();
      convertor->SetPackedData(std::move(data));
      UnpackSkin(convertor, skinName_, where);
      if (convertor && !convertor->Options) {
        const std::string whose = "I" + where.substr(1) + " holds";  // "Its packed file "..." holds"
        ReportLoadFailure(TSkinMessageKind::Information,
                          InternalFormatErrorText(skinName_) + NoDescriptionCause(*convertor, whose));
        return TSkinLoadResult::Failed;
      }
    }
    if (!convertor || !convertor->Options) {
      ReportLoadFailure(TSkinMessageKind::Information, InternalFormatErrorText(skinName_));
      return TSkinLoadResult::Failed;
    }
    const std::unique_ptr<TIniSections> ini = iniFromText(convertor->Options->View());
    SkinLoader loader(*this, *ini, NormalizeSkinDirectory() + "\\", convertor.get());
    next = loader.Build();
  } catch (const std::exception& e) {
    ReportLoadFailure(TSkinMessageKind::Error, e.what());
    return TSkinLoadResult::Failed;
  }
  InstallSkin(std::move(next), 1);
  return TSkinLoadResult::Loaded;
}

void TsSkinManager::InstallSkin(std::unique_ptr<LoadedSkin> Next, uint8_t NextPacked) {
  Next->SkinData.Active = 0;
  skin_ = std::move(Next);
  Packed = NextPacked;
  Fire(OnSkinLoading);
  SkinLoading = 0;
}

void TsSkinManager::ReportLoadFailure(TSkinMessageKind Kind, const std::string& Text) {
  SkinLoading = 1;  // painters keep still while the message shows
  system_->ShowMessageBox(Kind, Text, MessageBoxOwner());
  SkinLoading = 0;
}

}  // namespace skin
