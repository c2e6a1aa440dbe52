#pragma once
// General utilities of the skinning library: the INI-style skin description split into sections and read by
// key, rectangles, points and sizes, choices and clamping, words of a string, locale-independent numbers,
// system settings (behind the SkinSystem seam), published properties by name and file-system helpers.
//
// Strings are single-byte texts; positions are 1-based where a routine returns one (0 = not found).
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "platform/clock.h"
#include "skin/pixels/colors.h"    // TColor, clNone, clSystemColor
#include "skin/pixels/geometry.h"  // TPoint, TSize, TRect

namespace skin {

// ---------------------------------------------------------------------------------------------------------
// Numbers, independent of the process locale.

// The text as a 32-bit integer: leading blanks, an optional sign, then decimal digits or '$' and up to eight
// significant hexadecimal digits (a hexadecimal value above 0x7FFFFFFF wraps to a negative number, so system
// colour constants such as $FF00000F can be written). Anything else, or a decimal value outside the 32-bit
// range, gives Default.
int32_t StrToIntDef(std::string_view text, int32_t Default);
// Same rules; false when the text is not a number.
bool TryStrToInt(std::string_view text, int32_t& value);
// Whether the text is written as a number of those forms whose value does not fit in 32 bits
// ("99999999999", "4294967296", "$1FFFFFFFF"): a number out of every range, not a text that is no number.
bool IsNumberPast32Bits(std::string_view text);
// A text that should have been a number.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// Same rules; raises EConvertError ("'text' is not a valid integer value") when the text is not a number.
int32_t StrToInt(std::string_view text);
// A number as a text with '.' as the decimal separator whatever the locale, in the fewest digits that read
// back to the same value ("7.45", "10").
std::string FloatToStrDot(double value);
// A decimal number with '.' as the decimal separator whatever the locale (leading and trailing blanks
// allowed, optional sign and exponent); Default when the text is not such a number.
double StrToFloatDefDot(std::string_view text, double Default);

// ---------------------------------------------------------------------------------------------------------
// Skin description text.

// Anything from which a value can be read by section and key; the section list below is one, and the
// inherited key readers work on any of them.
// Hashing of texts that lets a table keyed by std::string be searched with a std::string_view (no copy made).
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};
template <class Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

class IniSource {
 public:
  virtual ~IniSource() = default;
  // True and the value when the section exists and holds the key.
  virtual bool FindValue(std::string_view Section, std::string_view Key, std::string& value) const = 0;
};

// A section list: section names in the order of the text, each with its lines ("KEY=value"). Names and keys
// are compared exactly (case-sensitive); a name that occurs twice gives two entries, the first one wins.
class TIniSections final : public IniSource {
 public:
  struct Section {
    std::string Name;
    std::vector<std::string> Lines;
  };

  void Clear() {
    sections_.clear();
    first_.clear();
    Unsectioned.clear();
  }
  int Count() const { return int(sections_.size()); }
  const Section& operator[](int index) const { return sections_[size_t(index)]; }
  // Index of the first section of that exact name; -1 when none.
  int IndexOf(std::string_view Name) const;
  // Appends a section and returns its index.
  int Add(std::string Name);
  void AddLine(int index, std::string line) { sections_[size_t(index)].Lines.push_back(std::move(line)); }
  // The keys of a section in their order (the text before the first '=' of each line that holds one).
  std::vector<std::string> Keys(int index) const;

  bool FindValue(std::string_view Section, std::string_view Key, std::string& value) const override;

  // The lines before the first section, which belong to none and are not read (without their blanks).
  std::vector<std::string> Unsectioned;

 private:
  std::vector<Section> sections_;
  TextMap<int> first_;  // the first section of each name
};

// Index of the first line whose name (the text before its first '=') equals Key exactly; -1 when none.
int IndexOfName(const std::vector<std::string>& Lines, std::string_view Key);

// Splits a text into lines at CR LF, LF or CR (a last line without a line break counts).
std::vector<std::string> TextToLines(std::string_view text);

// A description as the program reads it: a text that starts with a UTF-16 byte-order mark (FF FE little-endian,
// FE FF big-endian) is read as UTF-16, as the tool chain's string lists read such a file, and made single-byte
// text of code page 1252 (a character that page lacks becomes '?'); any other text is taken as it stands.
std::string DescriptionText(std::string_view raw);

// Clears Sections, then walks the lines as the tool chain's INI files read them, whatever brought the text (a
// file, a container, a skin editor's block): a UTF-8 byte-order mark before the first line is skipped; each
// line loses the blanks (spaces, tabs, control characters) at its ends; empty lines and lines starting with ';'
// are skipped; a line starting with '[' and ending with ']' starts a new section named by the text between the
// brackets, without its blanks at either end; any other line goes to the current section (lines before the
// first section are dropped, and kept apart in Unsectioned), a line "KEY = value" as "KEY=value", key and value
// without the blanks around them. The text form reads the text as DescriptionText gives it.
void IniTextToSections(const std::vector<std::string>& Lines, TIniSections& Sections);
inline void IniTextToSections(std::string_view text, TIniSections& Sections) {
  IniTextToSections(TextToLines(DescriptionText(text)), Sections);
}

// The text after "Key=" in the section's line of that key; Default when the section or the key is missing.
std::string ReadIniValue(const IniSource& Sections, std::string_view Section, std::string_view Default,
                         std::string_view Key);
// The value as an integer: a leading "0x" or "0X" (in a value longer than two characters) means hexadecimal;
// Default when the section or key is missing or the value is not a number.
int32_t ReadIniInt(const IniSource& Sections, std::string_view Section, int32_t Default, std::string_view Key);
// The number of a value text as ReadIniInt reads it (the "0x" rule, then StrToIntDef).
int32_t IniTextToInt(std::string_view value, int32_t Default);

// ---------------------------------------------------------------------------------------------------------
// Rectangles, points and sizes (pure functions; MakeRect and MakePoint are in skin/pixels/geometry.h).

// Note the order: width and height first (L = T = 0 in every call).
constexpr TRect MakeSizeRect(int32_t R, int32_t B, int32_t L = 0, int32_t T = 0) { return TRect{L, T, R, B}; }
constexpr TRect SizeRect(TSize Size) { return TRect{0, 0, Size.cx, Size.cy}; }
constexpr TSize MakeSize(int32_t cx, int32_t cy) { return TSize{cx, cy}; }
constexpr int32_t RectWidth(const TRect& R, bool NoNegative = false) {
  const int32_t w = R.Right - R.Left;
  return NoNegative && w < 0 ? 0 : w;
}
constexpr int32_t RectHeight(const TRect& R, bool NoNegative = false) {
  const int32_t h = R.Bottom - R.Top;
  return NoNegative && h < 0 ? 0 : h;
}
constexpr TSize RectSize(const TRect& R) { return TSize{RectWidth(R, true), RectHeight(R, true)}; }
// (0, 0, Width, Height), (Width, Height) and (Left, Top) of anything with those members (graphics, controls).
template <class Graphic>
TRect BitmapRect(const Graphic& g) { return TRect{0, 0, int32_t(g.Width()), int32_t(g.Height())}; }
template <class Graphic>
TSize GraphicSize(const Graphic& g) { return TSize{int32_t(g.Width()), int32_t(g.Height())}; }
template <class Control>
TRect ControlSizeRect(const Control& c) { return TRect{0, 0, int32_t(c.Width()), int32_t(c.Height())}; }
template <class Control>
TPoint ControlPos(const Control& c) { return TPoint{int32_t(c.Left()), int32_t(c.Top())}; }

constexpr bool IsRectEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }
// Left <= X < Right and Top <= Y < Bottom.
constexpr bool PtInRect(const TRect& R, TPoint P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
// R2 is not empty and overlaps R1.
constexpr bool RectsIntersect(const TRect& R1, const TRect& R2) {
  return !IsRectEmpty(R2) && R2.Bottom > R1.Top && R2.Right > R1.Left && R2.Left < R1.Right && R2.Top < R1.Bottom;
}
// Both corners of Inner lie in Outer, right and bottom edges included.
constexpr bool RectInRect(const TRect& Outer, const TRect& Inner) {
  const TRect wide{Outer.Left, Outer.Top, Outer.Right + 1, Outer.Bottom + 1};
  return PtInRect(wide, TPoint{Inner.Left, Inner.Top}) && PtInRect(wide, TPoint{Inner.Right, Inner.Bottom});
}
// The overlap, not checked for emptiness.
constexpr TRect RectIntersection(const TRect& R1, const TRect& R2) {
  return TRect{R1.Left > R2.Left ? R1.Left : R2.Left, R1.Top > R2.Top ? R1.Top : R2.Top,
               R1.Right < R2.Right ? R1.Right : R2.Right, R1.Bottom < R2.Bottom ? R1.Bottom : R2.Bottom};
}

// ---------------------------------------------------------------------------------------------------------
// Numbers, choices and sets.

inline std::string ChooseStr(bool Cond, std::string_view A, std::string_view B) { return std::string(Cond ? A : B); }
constexpr int32_t ChooseInt(bool Cond, int32_t A, int32_t B) { return Cond ? A : B; }
// Min <= Value <= Max; with Unordered and Max <= Min, Max <= Value <= Min.
constexpr bool ValueInRange(int32_t Value, int32_t Min, int32_t Max, bool Unordered = false) {
  if (Unordered && Max <= Min) return Max <= Value && Value <= Min;
  return Min <= Value && Value <= Max;
}
constexpr int32_t MaxInt2(int32_t A, int32_t B) { return A > B ? A : B; }
// The minimum is tested first: LimitValue(5, 10, 0) is 10.
constexpr int32_t LimitValue(int32_t Value, int32_t Min, int32_t Max) {
  return Value < Min ? Min : (Value > Max ? Max : Value);
}
inline void SwapInt(int32_t& A, int32_t& B) {
  const int32_t t = A;
  A = B;
  B = t;
}
// Whether one of Arr[Low..High] equals Value; False when High < Low. Indexes outside the array are not read.
bool ValueInIntArray(std::span<const int32_t> Arr, int32_t Value, int Low, int High);

using TCharSet = std::bitset<256>;
TCharSet MakeCharSet(std::string_view chars);
inline bool CharInSet(char Ch, const TCharSet& Set) { return Set.test(uint8_t(Ch)); }

// ---------------------------------------------------------------------------------------------------------
// Words of a string: maximal runs of characters that are not separators.

int WordPosition(int N, std::string_view S, const TCharSet& Separators);  // 1-based; 0 = fewer words
std::string ExtractWord(int N, std::string_view S, const TCharSet& Separators);
int WordCount(std::string_view S, const TCharSet& Separators);
int WordCountB(std::string_view S, const TCharSet& Separators);
std::string RemoveCharFromString(std::string_view S, char Ch);
// Every occurrence of Old replaced by New, the search going on after each inserted text; an empty Old
// changes nothing.
std::string ReplaceAllStr(std::string_view S, std::string_view Old, std::string_view New);

// ---------------------------------------------------------------------------------------------------------
// System and environment: the seam over the operating system.

struct WindowsVersion {
  uint32_t Major = 0;
  uint32_t Minor = 0;
  uint32_t PlatformId = 0;  // 2 = NT family
};

// Windows major version above 5, or 5 with minor version at least 1.
constexpr bool IsWindowsXPOrLater(WindowsVersion v) { return v.Major > 5 || (v.Major == 5 && v.Minor >= 1); }

// Kinds of the library's message boxes (all with an OK button only).
enum class TSkinMessageKind : uint8_t {
  Information,  // a plain message (ShowMessage)
  Warning,      // a message dialog with the warning icon
  Error,        // a message dialog with the error icon
};

// GetSystemMetrics indexes that the skin engine asks for.
inline constexpr int smCXVSCROLL = 2;
inline constexpr int smCXHSCROLL = 21;
inline constexpr int smCXFRAME = 32;
inline constexpr int smCYFRAME = 33;

// The system colours come through the program's colour seam (platform/colors.h): SysColor(index) is
// GetSysColor(index), the RGB value (0x00BBGGRR) of a system colour.
class SkinSystem : public platform::SystemColors {
 public:
  // The caption font's height from the non-client metrics; 0 when the query fails.
  virtual int32_t CaptionFontHeight() = 0;
  // A new font handle (HFONT) made from the caption font; 0 when that fails. The caller owns it.
  virtual uintptr_t CreateCaptionFont() = 0;
  // The minimize animation setting; False when the query fails.
  virtual bool GetMinAnimation() = 0;
  // Switches the minimize animation on or off for the session (not written to the user profile).
  virtual void SetMinAnimation(bool On) = 0;
  virtual WindowsVersion Version() = 0;
  // The answer of IsWow64Process for this process; False when the entry point is missing or the call fails.
  virtual bool IsWow64() = 0;
  // The answer of IsDebuggerPresent; True when the entry point is missing.
  virtual bool DebuggerPresent() = 0;
  // Whether desktop composition is on (False when the system cannot tell).
  virtual bool CompositionEnabled() = 0;
  // GetSystemMetrics(SM_CXHSCROLL).
  virtual int32_t HScrollArrowWidth() = 0;
  // Handles the messages waiting for this thread (the application's message processing).
  virtual void ProcessMessages() = 0;
  // A modal message box with the error icon and an OK button. Its owner is the active window of this thread or,
  // when none is active (another program in front), the window `Owner` (a HWND; 0: none), so that the box shows
  // over the program's window and never behind the other program's.
  virtual void ShowErrorBox(const std::string& Text, uintptr_t Owner = 0) = 0;
  // A modal message box of that kind with an OK button, owned as ShowErrorBox's.
  virtual void ShowMessageBox(TSkinMessageKind Kind, const std::string& Text, uintptr_t Owner = 0) = 0;
  // GetSystemMetrics(index).
  virtual int32_t SystemMetric(int index) = 0;
  // The program's command-line parameters, the program's own name excluded.
  virtual std::vector<std::string> CommandLineParameters() = 0;
  // The directory of the program file, with a trailing separator.
  virtual std::string ProgramDirectory() = 0;
  // Whether the system offers layered windows (UpdateLayeredWindow of user32).
  virtual bool LayeredWindowsAvailable() = 0;
};

// The operating system's implementation (Win32 on Windows; a headless one elsewhere).
SkinSystem& systemSkinSystem();

// A SkinSystem whose answers are plain fields: the headless implementation, and a fake for tests.
class PortableSkinSystem : public SkinSystem {
 public:
  int32_t captionFontHeight = -18;
  bool minAnimation = false;
  WindowsVersion version{10, 0, 2};
  bool wow64 = false;
  bool debugger = false;
  bool composition = true;
  int32_t hScrollArrowWidth = 17;
  int32_t frameWidth = 4;  // SM_CXFRAME and SM_CYFRAME
  std::function<void()> onProcessMessages;
  std::vector<std::string> errorBoxes;  // texts shown, in order
  struct MessageBox {
    TSkinMessageKind Kind;
    std::string Text;
    uintptr_t Owner = 0;  // the owner asked for when no window is active
  };
  std::vector<MessageBox> messageBoxes;  // message boxes shown, in order
  std::vector<std::string> commandLine;   // parameters
  std::string programDirectory;           // empty: the directory of the running program
  bool layeredWindows = false;

  int32_t CaptionFontHeight() override { return captionFontHeight; }
  uintptr_t CreateCaptionFont() override { return 0; }
  bool GetMinAnimation() override { return minAnimation; }
  void SetMinAnimation(bool On) override { minAnimation = On; }
  WindowsVersion Version() override { return version; }
  bool IsWow64() override { return wow64; }
  bool DebuggerPresent() override { return debugger; }
  bool CompositionEnabled() override { return composition; }
  int32_t HScrollArrowWidth() override { return hScrollArrowWidth; }
  uint32_t SysColor(int index) override { return platform::DefaultSystemColor(index); }
  void ProcessMessages() override {
    if (onProcessMessages) onProcessMessages();
  }
  void ShowErrorBox(const std::string& Text, uintptr_t Owner = 0) override;  // recorded, and written to stderr
  void ShowMessageBox(TSkinMessageKind Kind, const std::string& Text, uintptr_t Owner = 0) override;  // recorded
  int32_t SystemMetric(int index) override;  // the Windows defaults of 96 dpi (0 for an index not known here)
  std::vector<std::string> CommandLineParameters() override { return commandLine; }
  std::string ProgramDirectory() override;
  bool LayeredWindowsAvailable() override { return layeredWindows; }
};

inline int32_t GetCaptionFontHeight(SkinSystem& s = systemSkinSystem()) { return s.CaptionFontHeight(); }
inline uintptr_t CreateCaptionFont(SkinSystem& s = systemSkinSystem()) { return s.CreateCaptionFont(); }
inline bool GetMinAnimation(SkinSystem& s = systemSkinSystem()) { return s.GetMinAnimation(); }
inline void SetMinAnimation(bool On, SkinSystem& s = systemSkinSystem()) { s.SetMinAnimation(On); }
inline bool IsWindowsXPOrLater(SkinSystem& s = systemSkinSystem()) { return IsWindowsXPOrLater(s.Version()); }
inline bool IsWow64(SkinSystem& s = systemSkinSystem()) { return s.IsWow64(); }
inline bool DebuggerPresent(SkinSystem& s = systemSkinSystem()) { return s.DebuggerPresent(); }
inline void ShowErrorBox(const std::string& Text, SkinSystem& s = systemSkinSystem()) { s.ShowErrorBox(Text); }
// 1 when the process runs under WOW64 and desktop composition is off.
uint8_t Wow64NoComposition(SkinSystem& s = systemSkinSystem());

// Keeps handling the application's messages until the clock has advanced by Ms (correct across the wrap
// of the 32-bit tick counter).
void WaitWithMessages(uint32_t Ms, platform::Clock& clock = platform::systemClock(),
                      SkinSystem& s = systemSkinSystem());

// Colours (skin/pixels/colors.h): a negative value is a system colour (its low byte is the system colour
// index); ColorToRGB(Color, s) resolves it through the given system seam.
constexpr int32_t SystemColor(int index) { return clSystemColor | index; }

// ---------------------------------------------------------------------------------------------------------
// Published properties by name.

enum class TPropertyKind { Ordinal, Set, Object, Other };

// How an object shows its published properties. Property names are compared without regard to case.
class PublishedProperties {
 public:
  struct Property {
    std::string Name;
    TPropertyKind Kind = TPropertyKind::Ordinal;
    std::vector<std::string> ElementNames;  // set properties: the enumeration names of bits 0, 1, ...
    std::function<int64_t()> GetOrd;         // ordinal and set properties (a set as its bit mask)
    std::function<void(int64_t)> SetOrd;     // empty for a read-only property
    std::function<void*()> GetObject;        // object properties
    const std::type_info* ObjectType = nullptr;
  };

  virtual ~PublishedProperties() = default;
  virtual const Property* FindProperty(std::string_view Name) const = 0;
};

// A table of published properties that an object fills in its constructor.
class PublishedPropertyTable final : public PublishedProperties {
 public:
  void AddOrdinal(std::string Name, std::function<int64_t()> get, std::function<void(int64_t)> set = {});
  void AddSet(std::string Name, std::vector<std::string> elementNames, std::function<int64_t()> get,
              std::function<void(int64_t)> set = {});
  template <class T>
  void AddObject(std::string Name, std::function<T*()> get) {
    Property p;
    p.Name = std::move(Name);
    p.Kind = TPropertyKind::Object;
    p.GetObject = [get = std::move(get)]() -> void* { return get(); };
    p.ObjectType = &typeid(T);
    props_.push_back(std::move(p));
  }
  const Property* FindProperty(std::string_view Name) const override;

 private:
  std::vector<Property> props_;
};

bool HasPublishedProperty(const PublishedProperties* Obj, std::string_view Name);
// The property's object when it exists and holds an object; nullptr otherwise.
void* GetPublishedObjectProperty(const PublishedProperties* Obj, std::string_view Name);
// The same, only when the property's declared type is T.
template <class T>
T* GetPublishedObjectPropertyAs(const PublishedProperties* Obj, std::string_view Name) {
  if (!Obj) return nullptr;
  const auto* p = Obj->FindProperty(Name);
  if (!p || p->Kind != TPropertyKind::Object || !p->GetObject || !p->ObjectType || *p->ObjectType != typeid(T))
    return nullptr;
  return static_cast<T*>(p->GetObject());
}
// The ordinal value; -1 when the object has no such property.
int64_t GetPublishedOrdProperty(const PublishedProperties* Obj, std::string_view Name);
// Sets the ordinal value when the property exists and can be written.
void SetPublishedProperty(const PublishedProperties* Obj, std::string_view Name, int64_t Value);
// For a set property: whether the element of that name (bits 0 to 31) is in the set.
bool SetPropertyHasElement(const PublishedProperties* Obj, std::string_view Name, std::string_view Element);
// Adds or removes a named element of a set property through its comma-separated text form. Elements are
// matched as whole names. The result is always False.
bool ChangeSetPropertyElement(const PublishedProperties* Obj, std::string_view Name, std::string_view Element,
                              bool Add);
// The comma-separated text form of a set ("a,b") and back (unknown names are ignored).
std::string SetToString(const PublishedProperties::Property& P, int64_t Value);
int64_t StringToSet(const PublishedProperties::Property& P, std::string_view Text);

// ---------------------------------------------------------------------------------------------------------
// Files. Paths use '\' as the separator; the portable side also accepts them.

// An empty path stays empty; a trailing '/' becomes '\'; a one-letter path (a drive) gets ":\"; any other
// path not ending with '\' gets '\'.
std::string IncludeTrailingBackslash(std::string_view Path);
bool DirectoryExists(const std::string& Path);
bool FileExists(const std::string& Path);

constexpr int32_t faReadOnly = 0x01;
constexpr int32_t faHidden = 0x02;
constexpr int32_t faSysFile = 0x04;
constexpr int32_t faDirectory = 0x10;
constexpr int32_t faArchive = 0x20;
constexpr int32_t faAnyFile = 0x3F;

struct TSearchRec {
  std::string Name;
  int32_t Attr = 0;
  int64_t Size = 0;
  std::shared_ptr<void> Handle;  // the open search
};
// The run-time library's file search: entries matching the pattern ("dir\*.asz"); hidden, system and
// directory entries only when Attr asks for them. 0 = found, else an error code.
int FindFirstEntry(const std::string& Pattern, int32_t Attr, TSearchRec& F);
int FindNextEntry(TSearchRec& F);
void FindCloseEntry(TSearchRec& F);
// The directory of the program file, with a trailing separator.
std::string AppPath();
// The path of an existing file whose name equals Path without regard to letter case (each directory of the
// path too, where file names are case-sensitive); empty when there is none. Skins are written on Windows, so
// the names a skin gives for its files may differ in case from the files themselves.
std::string FindFileNoCase(const std::string& Path);

}  // namespace skin
