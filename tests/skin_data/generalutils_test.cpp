#include "skin/data/generalutils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <set>
#include <string>

#include "skin/data/maskdata.h"
#include "skin/pixels/background_info.h"
#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace skin {
namespace {

TEST(SkinNumbers, IntegersDecimalAndHexadecimal) {
  EXPECT_EQ(StrToIntDef("12", -7), 12);
  EXPECT_EQ(StrToIntDef("  12", -7), 12);
  EXPECT_EQ(StrToIntDef("-5", -7), -5);
  EXPECT_EQ(StrToIntDef("+5", -7), 5);
  EXPECT_EQ(StrToIntDef("$1F", -7), 31);
  EXPECT_EQ(StrToIntDef("0x1f", -7), 31);
  EXPECT_EQ(StrToIntDef("-$10", -7), -16);
  EXPECT_EQ(StrToIntDef("2147483647", -7), 2147483647);
  EXPECT_EQ(StrToIntDef("-2147483648", -7), std::numeric_limits<int32_t>::min());
  // System colour constants are written in hexadecimal above 0x7FFFFFFF.
  EXPECT_EQ(StrToIntDef("$FF00000F", -7), int32_t(0xFF00000Fu));
  EXPECT_EQ(StrToIntDef("$00000000FF", -7), 255);
  for (const char* bad : {"", " ", "-", "$", "abc", "12 ", "1 2", "2147483648", "-2147483649", "$100000000",
                          "1.5", "0x", "$G"})
    EXPECT_EQ(StrToIntDef(bad, -7), -7) << bad;
}

TEST(SkinNumbers, FloatsUseTheDotWhateverTheLocale) {
  // A locale whose decimal separator is the comma, when the machine has one.
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR", "German", "French"})
    if (std::setlocale(LC_ALL, name)) break;
  EXPECT_DOUBLE_EQ(StrToFloatDefDot("7.45", 0), 7.45);
  EXPECT_DOUBLE_EQ(StrToFloatDefDot(" 10.99 ", 0), 10.99);
  EXPECT_DOUBLE_EQ(StrToFloatDefDot("-1.5e2", 0), -150.0);
  EXPECT_DOUBLE_EQ(StrToFloatDefDot("8", 0), 8.0);
  EXPECT_DOUBLE_EQ(StrToFloatDefDot(".5", 0), 0.5);
  for (const char* bad : {"7,45", "", "abc", "inf", "nan", "0x10", "7.4.5", "1e", "--1"})
    EXPECT_DOUBLE_EQ(StrToFloatDefDot(bad, -3.0), -3.0) << bad;
  std::setlocale(LC_ALL, saved.c_str());
}

const char* kSkinText =
    "; a comment line\r\n"
    "ORPHAN=1\r\n"
    "[GLOBALINFO]\r\n"
    "VERSION=8.01\r\n"
    "\r\n"
    "MASTERBITMAP=master.bmp\r\n"
    "[BUTTON]\r\n"
    "COLOR=0x1F\n"
    "FONTCOLOR=12\n"
    "GRADIENTDATA=a=b=c\n"
    "BAD=abc\n"
    "SHORTHEX=0x\n"
    "UPPERHEX=0X1f\n"
    ";COLOR=99\n"
    "[not a section\r"
    "[BUTTON]\r"
    "COLOR=77\r"
    "[]\n"
    "EMPTYNAME=5";

TEST(SkinIniText, SplitsIntoSectionsExactly) {
  TIniSections s;
  IniTextToSections(std::string_view(kSkinText), s);
  ASSERT_EQ(s.Count(), 4);
  EXPECT_EQ(s[0].Name, "GLOBALINFO");
  EXPECT_EQ(s[1].Name, "BUTTON");
  EXPECT_EQ(s[2].Name, "BUTTON");
  EXPECT_EQ(s[3].Name, "");
  // Lines before the first section are dropped; comments and empty lines skipped; a line that only opens
  // a bracket is an ordinary line.
  EXPECT_EQ(s[0].Lines, (std::vector<std::string>{"VERSION=8.01", "MASTERBITMAP=master.bmp"}));
  EXPECT_EQ(s[1].Lines.size(), 7u);
  EXPECT_EQ(s[1].Lines.back(), "[not a section");
  EXPECT_EQ(s.Keys(1), (std::vector<std::string>{"COLOR", "FONTCOLOR", "GRADIENTDATA", "BAD", "SHORTHEX",
                                                 "UPPERHEX"}));
  // A second parse starts from an empty list.
  IniTextToSections(std::string_view("[ONE]\nK=V"), s);
  EXPECT_EQ(s.Count(), 1);
}

TEST(SkinIniText, ReadsValuesByExactNames) {
  TIniSections s;
  IniTextToSections(std::string_view(kSkinText), s);
  EXPECT_EQ(ReadIniValue(s, "GLOBALINFO", "-", "VERSION"), "8.01");
  EXPECT_EQ(ReadIniValue(s, "BUTTON", "-", "GRADIENTDATA"), "a=b=c");
  // Sections and keys are compared exactly; the first of two sections of one name wins.
  EXPECT_EQ(ReadIniValue(s, "button", "-", "COLOR"), "-");
  EXPECT_EQ(ReadIniValue(s, "BUTTON", "-", "color"), "-");
  EXPECT_EQ(ReadIniValue(s, "BUTTON", "-", "COLOR"), "0x1F");
  EXPECT_EQ(ReadIniValue(s, "BUTTON", "-", "MISSING"), "-");
  EXPECT_EQ(ReadIniValue(s, "NOSECTION", "dflt", "COLOR"), "dflt");
  EXPECT_EQ(ReadIniValue(s, "", "-", "EMPTYNAME"), "5");
  // Orphan lines belong to no section.
  EXPECT_EQ(ReadIniValue(s, "", "-", "ORPHAN"), "-");

  EXPECT_EQ(ReadIniInt(s, "BUTTON", -1, "COLOR"), 31);
  EXPECT_EQ(ReadIniInt(s, "BUTTON", -1, "FONTCOLOR"), 12);
  EXPECT_EQ(ReadIniInt(s, "BUTTON", -1, "BAD"), -1);
  EXPECT_EQ(ReadIniInt(s, "BUTTON", -1, "SHORTHEX"), -1);
  EXPECT_EQ(ReadIniInt(s, "BUTTON", -1, "UPPERHEX"), 31);
  EXPECT_EQ(ReadIniInt(s, "BUTTON", 42, "MISSING"), 42);
  EXPECT_EQ(ReadIniInt(s, "NOSECTION", 42, "COLOR"), 42);
}

TEST(SkinIniText, LineBreaks) {
  EXPECT_EQ(TextToLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(TextToLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(TextToLines("").empty());
}

TEST(SkinGeometry, RectanglesPointsAndSizes) {
  EXPECT_EQ(MakeSizeRect(30, 20), MakeRect(0, 0, 30, 20));
  EXPECT_EQ(MakeSizeRect(30, 20, 5, 6), MakeRect(5, 6, 30, 20));
  EXPECT_EQ(SizeRect(MakeSize(4, 5)), MakeRect(0, 0, 4, 5));
  const TRect inverted = MakeRect(10, 10, 4, 7);
  EXPECT_EQ(RectWidth(inverted), -6);
  EXPECT_EQ(RectWidth(inverted, true), 0);
  EXPECT_EQ(RectHeight(inverted), -3);
  EXPECT_EQ(RectHeight(inverted, true), 0);
  EXPECT_EQ(RectSize(inverted), MakeSize(0, 0));
  EXPECT_EQ(RectSize(MakeRect(1, 2, 11, 22)), MakeSize(10, 20));

  const TRect r = MakeRect(0, 0, 10, 10);
  EXPECT_TRUE(RectsIntersect(r, MakeRect(9, 9, 12, 12)));
  EXPECT_FALSE(RectsIntersect(r, MakeRect(10, 0, 12, 5)));  // touching edges only
  EXPECT_FALSE(RectsIntersect(r, MakeRect(5, 5, 5, 8)));    // an empty second rectangle
  EXPECT_TRUE(RectsIntersect(MakeRect(5, 5, 5, 8), r));     // only the second one is tested for emptiness

  EXPECT_TRUE(RectInRect(r, MakeRect(0, 0, 10, 10)));  // right and bottom edges included
  EXPECT_TRUE(RectInRect(r, MakeRect(2, 3, 4, 5)));
  EXPECT_FALSE(RectInRect(r, MakeRect(2, 3, 11, 5)));
  EXPECT_FALSE(RectInRect(r, MakeRect(-1, 3, 4, 5)));

  EXPECT_EQ(RectIntersection(r, MakeRect(5, -5, 20, 7)), MakeRect(5, 0, 10, 7));
  EXPECT_EQ(RectIntersection(r, MakeRect(20, 20, 30, 30)), MakeRect(20, 20, 10, 10));  // no emptiness check

  struct Graphic {
    int Width() const { return 7; }
    int Height() const { return 9; }
    int Left() const { return 3; }
    int Top() const { return 4; }
  } g;
  EXPECT_EQ(BitmapRect(g), MakeRect(0, 0, 7, 9));
  EXPECT_EQ(GraphicSize(g), MakeSize(7, 9));
  EXPECT_EQ(ControlSizeRect(g), MakeRect(0, 0, 7, 9));
  EXPECT_EQ(ControlPos(g), MakePoint(3, 4));
}

TEST(SkinChoices, RangesLimitsAndArrays) {
  EXPECT_TRUE(ValueInRange(5, 10, 0, true));
  EXPECT_FALSE(ValueInRange(5, 10, 0, false));
  EXPECT_TRUE(ValueInRange(0, 0, 0));
  EXPECT_FALSE(ValueInRange(11, 0, 10, true));
  EXPECT_EQ(LimitValue(5, 10, 0), 10);  // the minimum is tested first
  EXPECT_EQ(LimitValue(-1, 0, 10), 0);
  EXPECT_EQ(LimitValue(11, 0, 10), 10);
  EXPECT_EQ(LimitValue(5, 0, 10), 5);
  EXPECT_EQ(MaxInt2(-3, -4), -3);
  int32_t a = 1, b = 2;
  SwapInt(a, b);
  EXPECT_EQ(a * 10 + b, 21);
  EXPECT_EQ(ChooseStr(true, "x", "y"), "x");
  EXPECT_EQ(ChooseInt(false, 1, 2), 2);

  const int32_t arr[] = {4, 8, 15, 16};
  EXPECT_TRUE(ValueInIntArray(arr, 15, 0, 3));
  EXPECT_FALSE(ValueInIntArray(arr, 4, 1, 3));
  EXPECT_FALSE(ValueInIntArray(arr, 8, 3, 1));
  EXPECT_TRUE(ValueInIntArray(arr, 16, -5, 99));  // indexes outside the array are not read
  EXPECT_FALSE(ValueInIntArray({}, 0, 0, 0));

  const TCharSet set = MakeCharSet(",;\xE9");
  EXPECT_TRUE(CharInSet(',', set));
  EXPECT_TRUE(CharInSet('\xE9', set));
  EXPECT_FALSE(CharInSet('a', set));
}

TEST(SkinWords, WordsBetweenRunsOfSeparators) {
  const TCharSet comma = MakeCharSet(",");
  const std::string text = ",,ab,,cd,,";
  EXPECT_EQ(WordCount(text, comma), 2);
  EXPECT_EQ(WordCountB(text, comma), 2);
  EXPECT_EQ(WordPosition(1, text, comma), 3);
  EXPECT_EQ(WordPosition(2, text, comma), 7);
  EXPECT_EQ(WordPosition(3, text, comma), 0);
  EXPECT_EQ(WordPosition(0, text, comma), 0);
  EXPECT_EQ(ExtractWord(1, text, comma), "ab");
  EXPECT_EQ(ExtractWord(2, text, comma), "cd");
  EXPECT_EQ(ExtractWord(3, text, comma), "");
  EXPECT_EQ(ExtractWord(-1, text, comma), "");

  const TCharSet seps = MakeCharSet(" ;");
  const std::string t2 = "alpha beta;;gamma";
  EXPECT_EQ(WordCount(t2, seps), 3);
  EXPECT_EQ(WordCountB(t2, seps), 3);
  EXPECT_EQ(ExtractWord(3, t2, seps), "gamma");
  EXPECT_EQ(WordCount("", seps), 0);
  EXPECT_EQ(WordCount(";; ;", seps), 0);

  EXPECT_EQ(RemoveCharFromString("a-b--c-", '-'), "abc");
  EXPECT_EQ(ReplaceAllStr("abcabc", "bc", "X"), "aXaX");
  // The search goes on after the inserted text, so a replacement that contains the old text ends.
  EXPECT_EQ(ReplaceAllStr("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAllStr("abc", "", "X"), "abc");
}

TEST(SkinMaskGeometry, StatesAndFrames) {
  const TRect r = MakeRect(10, 20, 110, 81);  // 100 x 61
  EXPECT_EQ(ImageStateWidth(r, 0), 0);
  EXPECT_EQ(ImageStateWidth(r, 1), 100);
  EXPECT_EQ(ImageStateWidth(r, 3), 33);
  EXPECT_EQ(ImageFrameHeight(r, -1), 0);
  EXPECT_EQ(ImageFrameHeight(r, 0), 61);
  EXPECT_EQ(ImageFrameHeight(r, 1), 30);
  EXPECT_EQ(ImageFrameHeight(r, 2), 20);
  EXPECT_EQ(ImageFrameHeight(r, -5), 0);  // never a negative height, never a division by zero
  EXPECT_EQ(ImageStateSize(r, 4, 1), MakeSize(25, 30));

  struct RecordR {
    TRect R;
    uint16_t ImageCount;
    int16_t MaskType;
  } a{r, 2, 2};
  struct RecordSource {
    TRect SourceRect;
    uint16_t ImageCount;
    int16_t MaskType;
  } b{MakeRect(0, 0, 9, 9), 3, 0};
  EXPECT_EQ(ImageStateSize(a), MakeSize(50, 20));
  EXPECT_EQ(ImageStateSize(b), MakeSize(3, 9));

  // The cache record of a background taken from a bitmap: key colour fill, empty fill rectangle, ready.
  Bitmap bmp;
  CacheInfo info;
  info.FillColor = 0;
  info.FillRect = MakeRect(1, 2, 3, 4);
  CacheInfoFromBitmap(&bmp, 5, -6, info);
  EXPECT_EQ(info.Bmp, &bmp);
  EXPECT_EQ(info.X, 5);
  EXPECT_EQ(info.Y, -6);
  EXPECT_EQ(info.FillColor, 0xFF00FFu);
  EXPECT_EQ(info.FillRect, MakeRect(0, 0, 0, 0));
  EXPECT_TRUE(info.Ready);
}

TEST(SkinSystemSeam, VersionsAnimationAndWow64) {
  EXPECT_TRUE(IsWindowsXPOrLater(WindowsVersion{5, 1, 2}));
  EXPECT_FALSE(IsWindowsXPOrLater(WindowsVersion{5, 0, 2}));
  EXPECT_TRUE(IsWindowsXPOrLater(WindowsVersion{6, 0, 2}));
  EXPECT_FALSE(IsWindowsXPOrLater(WindowsVersion{4, 90, 1}));

  PortableSkinSystem fake;
  SetMinAnimation(true, fake);
  EXPECT_TRUE(GetMinAnimation(fake));
  SetMinAnimation(false, fake);
  EXPECT_FALSE(GetMinAnimation(fake));

  fake.wow64 = true;
  fake.composition = false;
  EXPECT_EQ(Wow64NoComposition(fake), 1);
  fake.composition = true;
  EXPECT_EQ(Wow64NoComposition(fake), 0);
  fake.wow64 = false;
  fake.composition = false;
  EXPECT_EQ(Wow64NoComposition(fake), 0);

  EXPECT_EQ(ColorToRGB(SystemColor(15), fake), int32_t(0xF0F0F0));  // button face
  EXPECT_EQ(ColorToRGB(0x123456, fake), 0x123456);

  ShowErrorBox("broken skin", fake);
  ASSERT_EQ(fake.errorBoxes.size(), 1u);
  EXPECT_EQ(fake.errorBoxes[0], "broken skin");
}

TEST(SkinSystemSeam, WaitWithMessagesAcrossTheTickWrap) {
  platform::SimulatedClock clock(0xFFFFFF00u);
  PortableSkinSystem fake;
  int calls = 0;
  fake.onProcessMessages = [&] {
    ++calls;
    clock.advance(10);
  };
  WaitWithMessages(1000, clock, fake);
  EXPECT_EQ(calls, 100);
  calls = 0;
  WaitWithMessages(0, clock, fake);
  EXPECT_EQ(calls, 0);
}

#ifdef _WIN32
TEST(SkinSystemSeam, Win32Answers) {
  SkinSystem& sys = systemSkinSystem();
  EXPECT_TRUE(IsWindowsXPOrLater());
  EXPECT_EQ(sys.Version().PlatformId, 2u);
  EXPECT_NE(GetCaptionFontHeight(), 0);
  const uintptr_t font = CreateCaptionFont();
  EXPECT_NE(font, 0u);
  if (font) DeleteObject(reinterpret_cast<HFONT>(font));
  // Wine keeps the minimize animation setting read-only; Windows switches it.
  const bool underWine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  const bool saved = GetMinAnimation();
  SetMinAnimation(!saved);
  if (!underWine) {
    EXPECT_EQ(GetMinAnimation(), !saved);
  }
  SetMinAnimation(saved);
  EXPECT_EQ(GetMinAnimation(), saved);
  EXPECT_FALSE(IsWow64());  // a 64-bit process
  EXPECT_EQ(Wow64NoComposition(), 0);
  EXPECT_GT(sys.HScrollArrowWidth(), 0);
  EXPECT_EQ(uint32_t(ColorToRGB(SystemColor(COLOR_WINDOW))), uint32_t(GetSysColor(COLOR_WINDOW)));
}
#endif

// An object with published properties, as a control of the component layer shows them.
struct Widget {
  int64_t width = 10;
  int64_t anchors = 0;
  int64_t sides = 0;
  int64_t tag = 7;
  struct Font {
    int size = 9;
  } font;
  PublishedPropertyTable props;
  Widget() {
    props.AddOrdinal("Width", [this] { return width; }, [this](int64_t v) { width = v; });
    props.AddOrdinal("Tag", [this] { return tag; });  // read-only
    props.AddSet("Anchors", {"akLeft", "akTop", "akRight", "akBottom"}, [this] { return anchors; },
                 [this](int64_t v) { anchors = v; });
    props.AddSet("Sides", {"TopLeft", "Top"}, [this] { return sides; }, [this](int64_t v) { sides = v; });
    props.AddObject<Font>("Font", [this] { return &font; });
  }
};

TEST(SkinPublishedProperties, ReadAndWriteByName) {
  Widget w;
  EXPECT_TRUE(HasPublishedProperty(&w.props, "width"));
  EXPECT_FALSE(HasPublishedProperty(&w.props, "Height"));
  EXPECT_FALSE(HasPublishedProperty(nullptr, "Width"));
  EXPECT_EQ(GetPublishedOrdProperty(&w.props, "Width"), 10);
  EXPECT_EQ(GetPublishedOrdProperty(&w.props, "Height"), -1);
  EXPECT_EQ(GetPublishedOrdProperty(&w.props, "Font"), -1);
  SetPublishedProperty(&w.props, "WIDTH", 25);
  EXPECT_EQ(w.width, 25);
  SetPublishedProperty(&w.props, "Height", 99);  // absent: nothing happens
  SetPublishedProperty(&w.props, "Tag", 99);     // read-only: nothing happens
  EXPECT_EQ(w.tag, 7);
  EXPECT_EQ(GetPublishedObjectProperty(&w.props, "Font"), &w.font);
  EXPECT_EQ(GetPublishedObjectProperty(&w.props, "Width"), nullptr);
  EXPECT_EQ(GetPublishedObjectPropertyAs<Widget::Font>(&w.props, "font"), &w.font);
  EXPECT_EQ(GetPublishedObjectPropertyAs<Widget>(&w.props, "font"), nullptr);
}

TEST(SkinPublishedProperties, SetElementsByName) {
  Widget w;
  EXPECT_FALSE(ChangeSetPropertyElement(&w.props, "Anchors", "akTop", true));  // the result is always False
  EXPECT_EQ(w.anchors, 2);
  ChangeSetPropertyElement(&w.props, "Anchors", "akBottom", true);
  ChangeSetPropertyElement(&w.props, "Anchors", "akLeft", true);
  ChangeSetPropertyElement(&w.props, "Anchors", "akLeft", true);  // already there
  EXPECT_EQ(w.anchors, 1 | 2 | 8);
  EXPECT_TRUE(SetPropertyHasElement(&w.props, "Anchors", "akBottom"));
  EXPECT_FALSE(SetPropertyHasElement(&w.props, "Anchors", "akRight"));
  EXPECT_FALSE(SetPropertyHasElement(&w.props, "Anchors", "akbottom"));  // enumeration names are exact
  EXPECT_EQ(SetToString(*w.props.FindProperty("Anchors"), w.anchors), "akLeft,akTop,akBottom");
  // Removing the middle, the first and the last element.
  ChangeSetPropertyElement(&w.props, "Anchors", "akTop", false);
  EXPECT_EQ(w.anchors, 1 | 8);
  ChangeSetPropertyElement(&w.props, "Anchors", "akLeft", false);
  EXPECT_EQ(w.anchors, 8);
  ChangeSetPropertyElement(&w.props, "Anchors", "akBottom", false);
  EXPECT_EQ(w.anchors, 0);
  ChangeSetPropertyElement(&w.props, "Anchors", "akBottom", false);
  EXPECT_EQ(w.anchors, 0);

  // An element whose name is the start of another one is still an element of its own.
  ChangeSetPropertyElement(&w.props, "Sides", "TopLeft", true);
  EXPECT_FALSE(SetPropertyHasElement(&w.props, "Sides", "Top"));
  ChangeSetPropertyElement(&w.props, "Sides", "Top", true);
  EXPECT_EQ(w.sides, 3);
  ChangeSetPropertyElement(&w.props, "Sides", "Top", false);
  EXPECT_EQ(w.sides, 1);
  // Not a set property, or no object: nothing happens.
  ChangeSetPropertyElement(&w.props, "Width", "akTop", true);
  EXPECT_EQ(w.width, 10);
  EXPECT_FALSE(ChangeSetPropertyElement(nullptr, "Anchors", "akTop", true));
}

TEST(SkinFiles, TrailingBackslash) {
  EXPECT_EQ(IncludeTrailingBackslash("C"), "C:\\");
  EXPECT_EQ(IncludeTrailingBackslash("c:\\Skins/"), "c:\\Skins\\");
  EXPECT_EQ(IncludeTrailingBackslash(""), "");
  EXPECT_EQ(IncludeTrailingBackslash("c:\\Skins\\"), "c:\\Skins\\");
  EXPECT_EQ(IncludeTrailingBackslash("Skins"), "Skins\\");
}

TEST(SkinFiles, DirectoriesAndSearch) {
  testsupport::TempDir dir;
  dir.write("a.asz", "x");
  dir.write("b.ASZ", "yy");
  dir.write("c.txt", "z");
  std::filesystem::create_directories(dir.path() / "skin1.asz");
  std::filesystem::create_directories(dir.path() / "Topaz");
  const std::string root = dir.path().string();

  EXPECT_TRUE(DirectoryExists(root));
  EXPECT_TRUE(DirectoryExists(IncludeTrailingBackslash(root) + "Topaz"));
  EXPECT_FALSE(DirectoryExists(dir.file("a.asz")));
  EXPECT_FALSE(DirectoryExists(IncludeTrailingBackslash(root) + "missing"));
  EXPECT_TRUE(FileExists(IncludeTrailingBackslash(root) + "a.asz"));
  EXPECT_FALSE(FileExists(IncludeTrailingBackslash(root) + "Topaz"));

  auto search = [&](const std::string& mask, int32_t attr) {
    std::set<std::string> names;
    TSearchRec f;
    int r = FindFirstEntry(IncludeTrailingBackslash(root) + mask, attr, f);
    while (r == 0) {
      names.insert(f.Name);
      if (f.Name == "b.ASZ") {
        EXPECT_EQ(f.Size, 2);
      }
      r = FindNextEntry(f);
    }
    FindCloseEntry(f);
    return names;
  };
  EXPECT_EQ(search("*.asz", faAnyFile & ~faDirectory), (std::set<std::string>{"a.asz", "b.ASZ"}));
  EXPECT_EQ(search("*.asz", faAnyFile), (std::set<std::string>{"a.asz", "b.ASZ", "skin1.asz"}));
  const auto all = search("*", faDirectory);
  EXPECT_TRUE(all.count("Topaz") && all.count("c.txt"));
  EXPECT_TRUE(search("*.none", faAnyFile).empty());
  TSearchRec f;
  EXPECT_NE(FindFirstEntry(IncludeTrailingBackslash(root) + "missing\\*", faAnyFile, f), 0);

  const std::string app = AppPath();
  ASSERT_FALSE(app.empty());
  EXPECT_TRUE(app.back() == '\\' || app.back() == '/');
  EXPECT_TRUE(DirectoryExists(app));
}

}  // namespace
}  // namespace skin
