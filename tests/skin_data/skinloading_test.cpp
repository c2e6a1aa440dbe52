// Loading skins into a manager's tables: the three sources give the same tables; malformed skins are refused
// (the previous skin stays) or their faulty parts left out; colour adjustments; events; removal; stored skins.
#include <gtest/gtest.h>

#include <functional>
#include <locale>
#include <string>
#include <tuple>
#include <vector>

#include "skin/data/packedskin.h"
#include "skin/data/skinloading.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_data/skin_test_env.h"

namespace {

using namespace skin;
using namespace skintest;

int32_t Section(const TsSkinManager& m, const char* name) { return SkinManagerGetSectionIndex(m, name); }
const SkinSectionRecord& Sec(const TsSkinManager& m, const char* name) {
  return m.Skin().Sections.at(size_t(Section(m, name)));
}

TEST(SkinLoading, DirectoryPackedFileAndStoredDataGiveTheSameTables) {
  SkinEnv e;
  const auto members = FixtureMembers();
  e.WriteDirectory("Dir", members);
  e.WritePacked("Packed", Pack(members));
  e.Store("Stored", Pack(members));

  e.m->SetSkinName("Dir");
  ASSERT_EQ(e.m->SkinName(), "Dir");
  const LoadedSkin fromDir = e.m->Skin();
  EXPECT_EQ(e.m->Packed, 0);
  e.m->SetSkinName("Packed.asz");
  EXPECT_EQ(e.m->SkinName(), "Packed");
  EXPECT_EQ(e.m->Packed, 1);
  ExpectSameTables(fromDir, e.m->Skin());
  e.m->SetSkinName("Stored");
  EXPECT_EQ(e.m->SkinData().SkinPath, "");
  ExpectSameTables(fromDir, e.m->Skin());
  // An options text received from a skin editor, with the images of the skin's directory.
  e.m->ReceivedOptions = TextToLines(FixtureOptionsText());
  e.m->SetSkinName("Dir");
  e.m->ReceivedOptions.reset();
  ExpectSameTables(fromDir, e.m->Skin());
  EXPECT_TRUE(e.sys.messageBoxes.empty());

  // What the fixture says reaches the tables.
  const TsSkinManager& m = *e.m;
  EXPECT_EQ(m.SkinData().Active, 1);
  EXPECT_EQ(m.SkinInfo(), "8.5");
  EXPECT_EQ(m.SkinData().Author, "The tests");
  EXPECT_EQ(m.SkinData().TitleHeight, 24);
  EXPECT_EQ(m.SkinData().MaxHeight, 24);
  ASSERT_TRUE(m.Skin().MasterBitmap);
  EXPECT_EQ(m.Skin().MasterBitmap->Width(), 128);
  EXPECT_EQ(GetPixel32(*m.Skin().MasterBitmap, 0, 0), KeyPixel);  // key pixels keep alpha 0
  EXPECT_EQ(GetPixel32(*m.Skin().MasterBitmap, 1, 0), 0xFF3060A0u);

  const SkinSectionRecord& button = Sec(m, "BUTTON");
  ASSERT_GE(button.BorderIndex, 0);
  const SkinImageRecord& mask = m.Skin().Images[size_t(button.BorderIndex)];
  EXPECT_EQ(mask.SourceRect, (TRect{0, 0, 48, 32}));
  EXPECT_EQ(mask.ImageCount, 2);
  EXPECT_EQ(mask.MaskType, 1);
  EXPECT_EQ(mask.BorderLeft, 4);
  EXPECT_EQ(mask.TransparentFlag, 1);
  EXPECT_EQ(button.BorderKind, 0);
  EXPECT_EQ(button.NormalState.ContourLeft, 0x00FF00);
  EXPECT_EQ(button.NormalState.ContourTop, -1);
  EXPECT_EQ(button.NormalState.GradientPercent, 50);
  EXPECT_EQ(button.NormalState.GradientSteps,
            (GradientStepArray{{0xFFFFFF, 0, 60, 0}, {0, 0x808080, 100, 0}}));
  EXPECT_EQ(button.HotState.Color, 0xE0E0E0);
  EXPECT_EQ(Sec(m, "EDIT").BorderKind, -1);
  // Inheritance: COLOR=-1 counts as absent; STATES=1 copies the normal state.
  EXPECT_EQ(Sec(m, "FORM").NormalState.Color, 0xC0C0C0);
  EXPECT_EQ(Sec(m, "FORM").BorderIndex, button.BorderIndex);
  EXPECT_EQ(Sec(m, "SPEEDBUTTON").HotState, Sec(m, "SPEEDBUTTON").NormalState);
  EXPECT_EQ(Sec(m, "SPEEDBUTTON").GlowSize, 4);
  EXPECT_GE(Sec(m, "FORM").TextureIndex, 0);
  const int32_t panelTexture = Sec(m, "PANEL").TextureIndex;
  ASSERT_GE(panelTexture, 0);  // the JPEG texture
  EXPECT_EQ(m.Skin().Images[size_t(panelTexture)].SourceRect, (TRect{0, 0, 16, 16}));
  const int32_t glow = SkinManagerGetImageIndex(m, Section(m, "BUTTON"), "GLOWMASK0");
  ASSERT_GE(glow, 0);
  EXPECT_EQ(m.Skin().Images[size_t(glow)].ImageKind, 2);
  EXPECT_EQ(m.Skin().Images[size_t(glow)].BorderLeft, 40 / 3);  // no widths given: a third of the size
  // GLOBALINFO images, the SH_ mask (source 1) and the cache.
  const SkinCommonIndexes& c = m.Skin().CommonIndexes;
  EXPECT_EQ(c.GlobalInfo, Section(m, "GLOBALINFO"));
  ASSERT_GE(c.BIConClose, 0);
  EXPECT_EQ(ImageStateWidth(m.Skin().Images[size_t(c.BIConClose)]), 16);
  EXPECT_EQ(c.MenuItem.SectionIndex, Section(m, "MENUITEM"));
  EXPECT_GE(c.MenuItem.GlyphIndex, 0);
  EXPECT_EQ(c.UpDownBtn.Name, "BUTTON");
  EXPECT_EQ(c.ScrollSliderH.SectionIndex, -1);
  const int32_t shadow = m.SkinData().ActiveShadow.MaskIndex;
  ASSERT_GE(shadow, 0);
  EXPECT_EQ(m.Skin().Images[size_t(shadow)].ImageKind, 0);
  EXPECT_EQ(m.Skin().Images[size_t(shadow)].BorderTop, 5);  // the common border width
  EXPECT_EQ(m.SkinData().InactiveShadow.MaskIndex, -1);     // LO_: the generated mask is not made here
  // Colours: no SELECTION section, so MENUITEM's hot colours; the added TRANSPARENT section.
  EXPECT_EQ(m.Skin().Colors[scMainColor], 0xE0E0E0);
  EXPECT_EQ(m.Skin().Colors[scEditBackground], 0xFFFFFF);
  EXPECT_EQ(m.Skin().Colors[scEditBgOdd], 0xF8F8F8);
  EXPECT_EQ(m.Skin().Colors[scBorderColor], 0x808080);
  EXPECT_EQ(SkinManagerHighlightColor(m, true), 0x884422);
  EXPECT_EQ(SkinManagerHighlightFontColor(m, false), 0xFFFFFF);
  EXPECT_EQ(Sec(m, "TRANSPARENT").NormalState.Transparency, 100);
  EXPECT_EQ(Sec(m, "TRANSPARENT").NormalState.FontColor, 0x101010);
}

// A manager holding the stored fixture skin "Good", loaded and applied.
struct GoodSkin : SkinEnv {
  GoodSkin() {
    Store("Good", Pack(FixtureMembers()));
    m->SetSkinName("Good");
  }
};

std::vector<PackedSkinMember> WithOptions(std::function<void(std::string&)> edit) {
  auto members = FixtureMembers();
  edit(members[0].Data);
  return members;
}
void Append(std::string& options, const std::string& lines) { options += lines; }
// Edits of the description: a line replaced; a line added to GLOBALINFO.
std::function<void(std::string&)> Replace(const std::string& from, const std::string& to) {
  return [from, to](std::string& o) { o.replace(o.find(from), from.size(), to); };
}
std::function<void(std::string&)> Global(const std::string& line) {
  return [line](std::string& o) { o.insert(o.find("[GLOBALINFO]\r\n") + 14, line + "\r\n"); };
}

TEST(SkinLoading, AFailedLoadKeepsThePreviousSkinAndReportsOnce) {
  struct Case {
    const char* name;
    std::string bytes;  // the packed container
    TSkinMessageKind kind;
    std::string message;  // a part of the one message shown
  };
  std::vector<PackedSkinMember> noOptions = FixtureMembers();
  noOptions.erase(noOptions.begin());
  std::string truncated = Pack(FixtureMembers());
  truncated.resize(truncated.size() / 2);
  // Damaged masters and descriptions: what would be applied could not be drawn as a skin.
  auto editMaster = [](std::function<void(std::string&)> edit) {
    std::vector<PackedSkinMember> m = FixtureMembers();
    edit(m[1].Data);
    return Pack(m);
  };
  std::vector<PackedSkinMember> noMaster = FixtureMembers();
  noMaster.erase(noMaster.begin() + 1);
  std::vector<PackedSkinMember> garbage = FixtureMembers();
  garbage[0].Data = "\x89\x01\xFF binary [not a section\r\n]\x00 KEY=1\r\n";
  const std::string unnamedMaster = Pack(WithOptions([](std::string& o) {
    const size_t at = o.find("MASTERBITMAP=");
    o.erase(at, o.find('\n', at) + 1 - at);
  }));
  const std::vector<Case> cases = {
      {"short @", Pack(WithOptions([](std::string& o) { Append(o, "[X]\r\nGLYPH=@0001@0002@0010\r\n"); })),
       TSkinMessageKind::Error,
       "The \"Bad\" skin cannot be used: its key GLYPH of section [X] has the value \"@0001@0002@0010\", which is "
       "malformed ('' is not a valid integer value)"},
      {"bad digit in ^", Pack(WithOptions([](std::string& o) { std::string m = Mask(0, 0, 8, 8, 1, 1, 1, 1, 1, 0, 0, 0);
        m[3] = 'x';
        Append(o, "[X]\r\nM=" + m + "\r\n"); })),
       TSkinMessageKind::Error,
       "The \"Bad\" skin cannot be used: its key M of section [X] has the value \"^00x0^0000^0008^0008^0001^0001^0001^"
       "0001^1^0^0^0\", which is malformed ('00X0' is not a valid integer value)"},
      {"bad GRADIENTDATA", Pack(WithOptions([](std::string& o) { Append(o, "[X]\r\nGRADIENTDATA=255;0;x9;0;0\r\n"); })),
       TSkinMessageKind::Error,
       "The \"Bad\" skin cannot be used: its key GRADIENTDATA of section [X] has the value \"255;0;x9;0;0\", which is "
       "malformed ('x9' is not a valid integer value)"},
      // Sizes beyond what the frame and the caption can be drawn with, given or inherited, and title buttons that
      // could not be drawn.
      {"caption height", Pack(WithOptions(Replace("TITLEHEIGHT=24", "TITLEHEIGHT=2147483647"))), TSkinMessageKind::Error,
       "The \"Bad\" skin cannot be used: its key TITLEHEIGHT of section [GLOBALINFO] has the value \"2147483647\", "
       "outside the 16 to 200 that can be drawn with its close button of 16 pixels (BICONCLOSE)"},
      {"frame width", Pack(WithOptions(Global("BORDERWIDTH=-2147483648"))), TSkinMessageKind::Error,
       "its key BORDERWIDTH of section [GLOBALINFO] has the value \"-2147483648\", outside the 0 to 23 that can be "
       "drawn with TITLEHEIGHT 24"},
      {"button margin in hexadecimal", Pack(WithOptions(Global("BIRIGHT=0x7FFFFFFF"))), TSkinMessageKind::Error,
       "its key BIRIGHT of section [GLOBALINFO] has the value \"0x7FFFFFFF\", outside the -100 to 100 that"},
      {"outer shadow width", Pack(WithOptions(Global("SH_WIDTHL=5000"))), TSkinMessageKind::Error,
       "its key SH_WIDTHL of section [GLOBALINFO] has the value \"5000\", outside the -1 to 100 that"},
      {"inherited glow margin", Pack(WithOptions([](std::string& o) { Append(o, "[X]\r\nPARENTCLASS=Y\r\n[Y]\r\nGLOWMARGIN=900\r\n"); })),
       TSkinMessageKind::Error, "its key GLOWMARGIN of section [X] has the value \"900\", outside the -100 to 100"},
      {"glow of GLOBALINFO's own record", Pack(WithOptions(Global("GSIZE=5000"))), TSkinMessageKind::Error,
       "its key GSIZE of section [GLOBALINFO] has the value \"5000\", outside the 0 to 100 that"},
      {"tab covering", Pack(WithOptions([](std::string& o) { Append(o, "[TABTOP]\r\nTABSCOVERING=99999\r\n"); })),
       TSkinMessageKind::Error, "its key TABSCOVERING of section [TABTOP] has the value \"99999\", outside"},
      {"close button outside the master image",
       Pack(WithOptions(Replace("BICONCLOSE=" + Glyph(96, 0, 128, 16, 2, 0), "BICONCLOSE=" + Glyph(96, 0, 9999, 16, 2, 0)))),
       TSkinMessageKind::Error,
       "The \"Bad\" skin cannot be used: its key BICONCLOSE of section [GLOBALINFO] has the value "
       "\"@0096@0000@9999@0016@2@0\", a title button outside its master image of 128 x 64 pixels"},
      {"minimize button with no state", Pack(WithOptions(Global("SICONMIN=" + Glyph(96, 0, 128, 16, 0, 0)))),
       TSkinMessageKind::Error, "its key SICONMIN of section [GLOBALINFO] has the value \"@0096@0000@0128@0016@0@0\", "
       "a title button whose states hold no pixel"},
      // Image records of any section: inside their bitmap, with pixels in every state, borders within a state.
      {"a rectangle outside the master bitmap",
       Pack(WithOptions([](std::string& o) { Append(o, "[OUT]\r\nGLYPHMASK=" + Glyph(120, 60, 130, 70, 1, 0) + "\r\n"); })),
       TSkinMessageKind::Error,
       "The \"Bad\" skin cannot be used: its key GLYPHMASK of section [OUT] has the value \"@0120@0060@0130@0070@1@0\", "
       "an image outside its master image of 128 x 64 pixels"},
      {"a rectangle whose right lies left of its left",
       Pack(WithOptions(Replace(Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 1, 0), Mask(48, 0, 0, 32, 4, 4, 4, 4, 2, 1, 1, 0)))),
       TSkinMessageKind::Error, "its key BORDERSMASK of section [BUTTON] has the value \"^0048^0000^0000^0032^0004^0004^"
       "0004^0004^2^1^1^0\", an image outside its master image of 128 x 64 pixels"},
      {"border widths wider than the states",
       Pack(WithOptions(Replace(Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 1, 0), Mask(0, 0, 48, 32, 9999, 4, 4, 4, 2, 1, 1, 0)))),
       TSkinMessageKind::Error, "of section [BUTTON] has the value \"^0000^0000^0048^0032^9999^0004^0004^0004^2^1^1^0\", "
       "border widths (9999, 4, 4, 4, 0) that do not fit in its states of 24 x 16 pixels"},
      {"a negative border width",
       Pack(WithOptions(Replace(Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 1, 0), Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 1, 0).replace(21, 4, "-999")))),
       TSkinMessageKind::Error, "border widths (-999, 4, 4, 4, 0) that do not fit in its states of 24 x 16 pixels"},
      {"a huge common border width",
       Pack(WithOptions(Replace(Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 1, 0), Mask(0, 0, 48, 32, 0, 0, 0, 0, 2, 1, 1, 2147483647)))),
       TSkinMessageKind::Error, "border widths (0, 0, 0, 0, 2147483647) that do not fit in its states of 24 x 16 pixels"},
      {"a glyph of no state", Pack(WithOptions([](std::string& o) { Append(o, "[X]\r\nGLYPHMASK=" + Glyph(0, 0, 8, 8, 0, 0) + "\r\n"); })),
       TSkinMessageKind::Error, "its key GLYPHMASK of section [X] has the value \"@0000@0000@0008@0008@0@0\", an image whose "
       "states hold no pixel"},
      // A negative size is a size, bounded as such, never a system colour.
      {"negative glow margin", Pack(WithOptions([](std::string& o) { Append(o, "[BUTTON_SMALL]\r\nGLOWMARGIN=-101\r\n"); })),
       TSkinMessageKind::Error, "its key GLOWMARGIN of section [BUTTON_SMALL] has the value \"-101\", outside the -100 to 100"},
      {"frame offset as wide as the extended border",
       Pack(WithOptions(Global("FORMOFFSET=4\r\nEXBORDER=" + Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 0, 0)))),
       TSkinMessageKind::Error,
       "its key FORMOFFSET of section [GLOBALINFO] has the value \"4\", outside the 0 to 3 that can be drawn"},
      {"a frame border taller than the caption leaves", Pack(WithOptions(Global("BORDERWIDTH=24"))), TSkinMessageKind::Error,
       "its key BORDERWIDTH of section [GLOBALINFO] has the value \"24\", outside the 0 to 23 that can be drawn"},
      {"lower-case GLOBALINFO", Pack(WithOptions(Replace("[GLOBALINFO]", "[globalinfo]"))), TSkinMessageKind::Error,
       "The \"Bad\" skin cannot be used: its description has no GLOBALINFO section (its section [globalinfo] is written "
       "in other letter case)"},
      {"no Options.dat", Pack(noOptions), TSkinMessageKind::Information,
       "Internal format error in the \"Bad\" skin. Please, update this skin to latest version."},
      {"wrong magic", "ASzg" + Pack(FixtureMembers()).substr(4), TSkinMessageKind::Error,
       "{WHERE} cannot be read: Loaded data is not a packed skin file"},
      {"truncated container", truncated, TSkinMessageKind::Error, "{WHERE} cannot be read: Stream read error"},
      {"missing master image", Pack(noMaster), TSkinMessageKind::Error,
       "The \"Bad\" skin cannot be used: its master image \"master.BMP\" is missing"},
      {"truncated master image", editMaster([](std::string& b) { b.resize(b.size() / 2); }), TSkinMessageKind::Error,
       "its master image \"master.BMP\" cannot be read (Cannot load bitmap: pixel data outside the file)"},
      // Told from its header, before its pixels are read.
      {"impossibly large master image", editMaster([](std::string& b) { b[20] = b[24] = 1; }), TSkinMessageKind::Error,
       "its master image \"master.BMP\" is 65664 x 65600 pixels, past the 16777216 pixels (4096 x 4096) that an "
       "image may have"},
      {"an image file whose header sizes overflow",
       Pack([] {
         auto m = FixtureMembers();
         std::string bmp = Bmp24(4, 4, [](int, int) { return 0x102030u; });
         bmp[18] = bmp[19] = bmp[20] = char(0xFF);  // width 0x00FFFFFF
         bmp[22] = bmp[23] = bmp[24] = char(0xFF);
         m.push_back({"HUGE.BMP", bmp});
         m[0].Data += "[BIG]\r\nPATTERN=huge.bmp\r\n";
         return m;
       }()),
       TSkinMessageKind::Error,
       "its key PATTERN of section [BIG] has the value \"huge.bmp\", an image whose file \"huge.bmp\" is 16777215 x "
       "16777215 pixels, past the 16777216 pixels (4096 x 4096) that an image may have"},
      {"images cut from an unnamed master image", unnamedMaster, TSkinMessageKind::Error,
       "it cuts images from a master image that its description does not name"},
      {"garbage description", Pack(garbage), TSkinMessageKind::Error, "its description has no GLOBALINFO section"},
  };
  for (const Case& k : cases) {
    for (bool asFile : {false, true}) {
      SCOPED_TRACE(std::string(k.name) + (asFile ? " (packed file)" : " (stored data)"));
      GoodSkin g;
      const LoadedSkin* tables = &g.m->Skin();
      const LoadedSkin before = g.m->Skin();
      const uint64_t masterPixels = PixelSum(before.MasterBitmap.get());
      if (asFile) {
        g.WritePacked("Bad", k.bytes);
      } else {
        g.Store("Bad", k.bytes);
      }
      std::vector<std::string> events;
      g.m->OnSkinLoading = [&](TsSkinManager&) { events.push_back("loading"); };
      g.m->OnAfterChange = [&](TsSkinManager&) { events.push_back("after"); };
      g.m->SetSkinName("Bad");
      if (g.sys.messageBoxes.size() != 1u) {  // each case reported, not only the first
        ADD_FAILURE() << g.sys.messageBoxes.size() << " messages";
        continue;
      }
      EXPECT_EQ(g.sys.messageBoxes[0].Kind, k.kind);
      std::string message = k.message;
      if (const size_t at = message.find("{WHERE}"); at != std::string::npos)
        message.replace(at, 7, asFile ? "Bad.asz\"" : "its stored data");
      EXPECT_NE(g.sys.messageBoxes[0].Text.find(message), std::string::npos) << g.sys.messageBoxes[0].Text;
      if (k.kind == TSkinMessageKind::Error) {  // every refusal names the skin
        EXPECT_EQ(g.sys.messageBoxes[0].Text.rfind("The \"Bad\" skin cannot be used: ", 0), 0u) << g.sys.messageBoxes[0].Text;
      }
      EXPECT_EQ(g.m->SkinName(), "Good");
      EXPECT_EQ(&g.m->Skin(), tables);
      ExpectSameTables(before, g.m->Skin());
      EXPECT_EQ(PixelSum(g.m->Skin().MasterBitmap.get()), masterPixels);
      EXPECT_EQ(g.m->SkinData().Active, 1);  // the previous skin is applied again
      EXPECT_EQ(events, (std::vector<std::string>{"after"}));
      if (!asFile) {  // the stored data were only lent to the reader
        EXPECT_EQ(g.m->InternalSkins[1].Data.Bytes(), k.bytes);
      }
    }
  }
}

// With no skin in force (the manager switched off, or its first skin), a failed load has nothing to keep: the
// manager stays off (nothing applied, Active false) after its one report, and comes on again with a good skin.
TEST(SkinLoading, AFailedLoadWithNoSkinInForceLeavesTheManagerOff) {
  std::vector<PackedSkinMember> noOptions = FixtureMembers();
  noOptions.erase(noOptions.begin());
  for (bool first : {false, true}) {
    SCOPED_TRACE(first ? "its first skin" : "after the manager was switched off");
    SkinEnv g;
    g.Store("Good", Pack(FixtureMembers()));
    g.Store("Bad", Pack(noOptions));
    if (first) {
      g.m->SetSkinName("Bad");
    } else {
      g.m->SetSkinName("Good");
      g.m->SetActive(false);
      g.m->SetSkinName("Bad");
      g.m->SetActive(true);
    }
    EXPECT_EQ(g.sys.messageBoxes.size(), 1u);
    EXPECT_FALSE(g.m->Active());
    EXPECT_EQ(g.m->SkinData().Active, 0);
    EXPECT_TRUE(g.m->Skin().Sections.empty());
    g.m->SetSkinName("Good");
    g.m->SetActive(true);
    EXPECT_TRUE(g.m->Active());
    EXPECT_EQ(g.m->SkinData().Active, 1);
    EXPECT_EQ(g.sys.messageBoxes.size(), 1u);
  }
}

TEST(SkinLoading, FaultyPartsAreLeftOutAndTheSkinStillLoads) {
  struct Case {
    const char* name;
    std::function<void(std::vector<PackedSkinMember>&)> edit;
    std::function<void(const TsSkinManager&)> check;
  };
  auto options = [](const std::string& lines) {
    return [lines](std::vector<PackedSkinMember>& m) { m[0].Data += lines; };
  };
  const std::vector<Case> cases = {
      {"a section naming itself as parent, two naming each other",
       options("[SELF]\r\nPARENTCLASS=SELF\r\nFONTCOLOR=0x123456\r\n[A]\r\nPARENTCLASS=B\r\nFONTCOLOR=0x0000AA\r\n"
               "[B]\r\nPARENTCLASS=A\r\nCOLOR=0x0000BB\r\nBORDERSMASK=" + Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 1, 0) + "\r\n"),
       [](const TsSkinManager& m) {
         EXPECT_EQ(Sec(m, "SELF").ParentName, "SELF");
         EXPECT_EQ(Sec(m, "SELF").NormalState.Color, 0xFFFFFF);
         EXPECT_EQ(Sec(m, "SELF").NormalState.FontColor, 0x123456);
         EXPECT_EQ(SkinManagerGetImageIndex(m, Section(m, "SELF"), "NONE"), -1);
         // Each chain ends where it comes back: each of the two takes what the other has and it lacks.
         EXPECT_EQ(Sec(m, "A").NormalState.Color, 0x0000BB);
         EXPECT_EQ(Sec(m, "B").NormalState.FontColor, 0x0000AA);
         EXPECT_EQ(Sec(m, "A").BorderIndex, Sec(m, "B").BorderIndex);
         EXPECT_EQ(SkinManagerGetImageIndex(m, Section(m, "A"), "NONE"), -1);
       }},
      {"image count 0", options("[ZERO]\r\nBORDERSMASK=" + Mask(0, 0, 48, 32, 0, 0, 0, 0, 0, 1, 0, 0) +
                                "\r\nGLYPH=!glow0.png!0!0!2\r\n"),
       [](const TsSkinManager& m) {
         const SkinImageRecord& r = m.Skin().Images.at(size_t(Sec(m, "ZERO").BorderIndex));
         EXPECT_EQ(r.ImageCount, 1);
         EXPECT_EQ(r.BorderLeft, 48 / 3);
         EXPECT_EQ(r.BorderTop, 32 / 6);
         const int32_t glyph = SkinManagerGetImageIndex(m, Section(m, "ZERO"), "GLYPH");
         ASSERT_GE(glyph, 0);
         EXPECT_EQ(m.Skin().Images[size_t(glyph)].ImageCount, 1);
         EXPECT_EQ(m.Skin().Images[size_t(glyph)].BorderRight, 40 / 3);
       }},
      {"a byte-order mark before the first section, negative sizes",
       [](std::vector<PackedSkinMember>& m) {
         m[0].Data = "\xEF\xBB\xBF" + m[0].Data + "[NEG]\r\nGLOWMARGIN=-50\r\nOUTOFFSL=-2\r\nTABSCOVERING=-3\r\n";
       },
       [](const TsSkinManager& m) {
         EXPECT_GE(Section(m, "GLOBALINFO"), 0);
         EXPECT_EQ(Sec(m, "NEG").GlowMargin, -50);
         EXPECT_EQ(Sec(m, "NEG").OuterOffsets.Left, -2);
       }},
      // More states than the mask holds, or than a section paints, show the mask's last; numbers past 32 bits
      // are read whole wherever along the chain they are given; fewer than one paint one state.
      {"states past the mask's, past 255, past 32 bits and below one",
       options("[MORE]\r\nPARENTCLASS=BUTTON\r\nSTATES=2147483647\r\n[MANY]\r\nSTATES=99999999999\r\n"
               "BORDERSMASK=" + Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 1, 0) + "\r\n[MANYCHILD]\r\nPARENTCLASS=MANY\r\n"
               "[FEW]\r\nSTATES=-99999999999\r\nHOTCOLOR=0x0000AA\r\n[FEWCHILD]\r\nPARENTCLASS=FEW\r\n"
               "[NONE]\r\nSTATES=-5\r\n"),
       [](const TsSkinManager& m) {
         EXPECT_EQ(Sec(m, "MORE").States, 255);
         EXPECT_EQ(Sec(m, "MORE").BorderIndex, Sec(m, "BUTTON").BorderIndex);
         EXPECT_EQ(Sec(m, "MANY").States, 255);
         EXPECT_EQ(Sec(m, "MANYCHILD").States, 255);
         EXPECT_EQ(Sec(m, "FEW").States, INT32_MIN);
         EXPECT_EQ(Sec(m, "FEWCHILD").States, INT32_MIN);
         EXPECT_EQ(Sec(m, "FEW").HotState, Sec(m, "FEW").NormalState);
         EXPECT_EQ(Sec(m, "NONE").States, -5);
         EXPECT_EQ(SectionStateCount(Sec(m, "NONE")), 1);
       }},
      {"a bitmap whose pixels lie outside the file",
       [](std::vector<PackedSkinMember>& m) {
         std::string bmp = Bmp24(4, 4, [](int, int) { return 0x102030u; });
         bmp[18] = char(0x40);  // width 64: its rows go past the file's end
         m.push_back({"CUT.BMP", bmp});
         m[0].Data += "[BIG]\r\nPATTERN=cut.bmp\r\nGLYPH=!CUT.BMP!1!0!2\r\n";
       },
       [](const TsSkinManager& m) {
         EXPECT_EQ(Sec(m, "BIG").TextureIndex, -1);
         EXPECT_EQ(SkinManagerGetImageIndex(m, Section(m, "BIG"), "GLYPH"), -1);
       }},
      {"a damaged JPEG",
       [](std::vector<PackedSkinMember>& m) {
         for (auto& f : m)
           if (f.Name == "PANEL.JPG") f.Data = "\xFF\xD8\xFF\xE0 not really a JPEG";
       },
       [](const TsSkinManager& m) {
         EXPECT_EQ(Sec(m, "PANEL").TextureIndex, -1);
         EXPECT_GE(Sec(m, "BUTTON").BorderIndex, 0);
       }},
      {"a missing image file", [](std::vector<PackedSkinMember>& m) { m.pop_back(); },
       [](const TsSkinManager& m) { EXPECT_GE(Sec(m, "BUTTON").BorderIndex, 0); }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SkinEnv e;
    auto members = FixtureMembers();
    k.edit(members);
    e.Store("Skin", Pack(members));
    e.m->SetSkinName("Skin");
    EXPECT_TRUE(e.sys.messageBoxes.empty());
    EXPECT_EQ(e.m->SkinData().Active, 1);
    k.check(*e.m);
  }
}

TEST(SkinLoading, AChainOfThousandsOfSectionsInheritsFromItsFarEnd) {
  FixtureOptions o;
  o.extraSections = 3000;
  o.chain = 3000;  // EXTRA0 the child of BUTTON, each EXTRAn the child of EXTRAn-1
  SkinEnv e;
  e.Store("Chain", Pack(FixtureMembers(o)));
  e.m->SetSkinName("Chain");
  ASSERT_TRUE(e.sys.messageBoxes.empty());
  const TsSkinManager& m = *e.m;
  const SkinSectionRecord& last = Sec(m, "EXTRA2999");
  EXPECT_EQ(last.ParentName, "EXTRA2998");
  EXPECT_EQ(last.NormalState.Color, Sec(m, "EXTRA0").NormalState.Color);
  EXPECT_EQ(last.HotState.Color, 0x102999);  // its own: HOTCOLOR=0x102999, read as hexadecimal
  EXPECT_EQ(last.BorderIndex, Sec(m, "EXTRA0").BorderIndex);
  EXPECT_GE(last.BorderIndex, 0);
  const int32_t glyph = SkinManagerGetImageIndex(m, Section(m, "EXTRA2999"), "GLYPHMASK");
  EXPECT_EQ(glyph, SkinManagerGetImageIndexByName(m, "EXTRA2990", "GLYPHMASK"));
  EXPECT_GE(glyph, 0);
}

TEST(SkinLoading, HueSaturationAndBrightnessLeaveKeyColourPixelsAlone) {
  struct Case {
    const char* name;
    std::function<void(TsSkinManager&)> adjust;
    bool iconKept;  // the title icons keep their pixels (BIKEEPHUE: only under a hue change)
    bool maskKept;  // the mask frames of master images (only under a brightness change)
  };
  for (const Case& k : std::vector<Case>{{"hue", [](TsSkinManager& m) { m.SetHueOffset(120); }, true, false},
                                         {"saturation", [](TsSkinManager& m) { m.SetSaturation(-60); }, false, false},
                                         {"brightness", [](TsSkinManager& m) { m.SetBrightness(40); }, false, true}}) {
    SCOPED_TRACE(k.name);
    GoodSkin g;
    auto copy = [](const Bitmap& b) {
      auto c = std::make_unique<Bitmap>();
      c->Assign(b);
      return c;
    };
    const auto master = copy(*g.m->Skin().MasterBitmap);
    auto smallBitmap = [&g]() -> Bitmap* {
      const int32_t i = SkinManagerGetImageIndex(*g.m, Section(*g.m, "CHECK"), "GLYPHMASK");
      return g.m->Skin().Images.at(size_t(i)).Bitmap.get();
    };
    EXPECT_EQ(g.m->Skin().Images.at(size_t(SkinManagerGetImageIndex(*g.m, Section(*g.m, "CHECK"), "GLYPHMASK"))).TransparentFlag, 1);
    const auto file = copy(*smallBitmap());  // an image file of its own
    const TColor contour = Sec(*g.m, "BUTTON").NormalState.ContourLeft;
    k.adjust(*g.m);
    ASSERT_TRUE(g.sys.messageBoxes.empty());
    for (auto [before, after] : {std::pair{master.get(), g.m->Skin().MasterBitmap.get()},
                                 std::pair{file.get(), smallBitmap()}}) {
      int changed = 0, keys = 0;
      for (int y = 0; y < after->Height(); ++y)
        for (int x = 0; x < after->Width(); ++x) {
          const uint32_t b = GetPixel32(*before, x, y), a = GetPixel32(*after, x, y);
          if ((b & 0xFFFFFF) == KeyPixel) {
            ++keys;
            ASSERT_EQ(a, b) << x << "," << y;
          } else if (a != b) {
            ++changed;
          }
        }
      EXPECT_GT(keys, 0);
      EXPECT_GT(changed, 0);
    }
    EXPECT_NE(GetPixel32(*g.m->Skin().MasterBitmap, 1, 0), GetPixel32(*master, 1, 0));
    const Bitmap& now = *g.m->Skin().MasterBitmap;
    EXPECT_EQ(GetPixel32(now, 100, 5) == GetPixel32(*master, 100, 5), k.iconKept);
    EXPECT_EQ(GetPixel32(now, 10, 20) == GetPixel32(*master, 10, 20), k.maskKept);
    EXPECT_NE(Sec(*g.m, "BUTTON").NormalState.ContourLeft, contour);
    EXPECT_EQ(Sec(*g.m, "BUTTON").NormalState.ContourTop, -1);
  }
}

TEST(SkinLoading, EventsOfASkinChangeComeInOrder) {
  SkinEnv e;
  e.Store("One", Pack(FixtureMembers()));
  std::vector<std::string> events;
  auto record = [&events](const char* name) { return [&events, name](TsSkinManager&) { events.push_back(name); }; };
  e.m->OnBeforeChange = record("before");
  e.m->OnSkinLoading = record("loading");
  e.m->OnActivate = record("activate");
  e.m->OnAfterChange = record("after");
  e.m->OnDeactivate = record("deactivate");
  e.m->SetSkinName("One");
  EXPECT_EQ(events, (std::vector<std::string>{"before", "loading", "activate", "after"}));

  events.clear();
  e.m->SetActive(false);
  e.m->SetActive(false);
  EXPECT_EQ(events, (std::vector<std::string>{"deactivate"}));
  EXPECT_TRUE(e.m->Skin().Sections.empty());
  EXPECT_TRUE(e.m->Skin().Images.empty());
  EXPECT_FALSE(e.m->Skin().MasterBitmap);
  EXPECT_EQ(e.m->Skin().CommonIndexes.GlobalInfo, -1);
  EXPECT_EQ(e.m->SkinInfo(), "N/A");

  events.clear();
  e.m->SetActive(true);
  EXPECT_EQ(events, (std::vector<std::string>{"before", "loading", "activate", "after"}));
  EXPECT_GE(e.m->Skin().CommonIndexes.GlobalInfo, 0);
}

TEST(SkinLoading, StoredSkinsAreFoundByTheirExactName) {
  SkinEnv e;
  e.Store("First (internal)", Pack(WithOptions([](std::string& o) { o += "[FIRST]\r\n"; })));
  e.Store("Second (internal)", Pack(WithOptions([](std::string& o) { o += "[SECOND]\r\n"; })));
  e.Store("Empty", "");
  struct Case {
    const char* set;
    const char* name;    // SkinName afterwards
    const char* marker;  // a section only that skin has
  };
  for (const Case& k : std::vector<Case>{{"Second (internal).asz", "Second (internal)", "SECOND"},
                                         {"second (internal)", "First (internal)", "FIRST"},
                                         {"Second (internal)", "Second (internal)", "SECOND"},
                                         {".asz", "First (internal)", "FIRST"}}) {
    SCOPED_TRACE(k.set);
    e.m->SetSkinName(k.set);
    EXPECT_EQ(e.m->SkinName(), k.name);
    EXPECT_GE(Section(*e.m, k.marker), 0);
  }
  // A stored skin without data loads as an empty skin.
  e.m->SetSkinName("Empty");
  EXPECT_EQ(e.m->Skin().Sections.size(), 1u);
  EXPECT_EQ(e.m->Skin().Sections[0].SectionName, "TRANSPARENT");
  EXPECT_TRUE(e.sys.messageBoxes.empty());

  // With no stored skin and no such directory the manager switches itself off.
  SkinEnv none;
  int activations = 0;
  none.m->OnActivate = [&activations](TsSkinManager&) { ++activations; };
  none.m->SetSkinName("Nothing");
  EXPECT_FALSE(none.m->Active());
  EXPECT_EQ(activations, 1);
  EXPECT_TRUE(none.m->Skin().Sections.empty());
}

TEST(SkinLoading, VersionNotices) {
  struct Case {
    const char* version;
    bool testSwitch;
    std::vector<TSkinMessageKind> shown;
  };
  for (const Case& k : std::vector<Case>{{"7.45", true, {}},
                                         {"10.99", true, {}},
                                         {"7.44", false, {}},
                                         {"7.44", true, {TSkinMessageKind::Information}},
                                         {"11", false, {TSkinMessageKind::Warning}}}) {
    SCOPED_TRACE(k.version);
    SkinEnv e;
    if (k.testSwitch) e.sys.commandLine = {"/ACTEST"};
    FixtureOptions o;
    o.version = k.version;
    e.Store("V", Pack(FixtureMembers(o)));
    e.m->SetSkinName("V");
    std::vector<TSkinMessageKind> shown;
    for (const auto& b : e.sys.messageBoxes) shown.push_back(b.Kind);
    EXPECT_EQ(shown, k.shown);
    if (!shown.empty() && shown[0] == TSkinMessageKind::Information) {
      EXPECT_EQ(e.sys.messageBoxes[0].Text.find("You are using an old version of the \"V\" skin."), 0u);
    }
    EXPECT_EQ(e.m->SkinningRules, srStdForms | srStdDialogs | srThirdParty);
    EXPECT_EQ(e.m->SkinInfo(), k.version);
  }
}

TEST(SkinLoading, VersionTextsIgnoreTheDecimalSeparatorOfTheLocale) {
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new Comma));
  EXPECT_EQ(SkinVersionText(7.45), "7.45");
  EXPECT_EQ(SkinVersionText(10), "10");
  TIniSections ini;
  IniTextToSections("[GLOBALINFO]\nVERSION=10.99\n", ini);
  EXPECT_EQ(SkinManagerReadSkinVersion(ini), 10.99);
  std::locale::global(saved);
}

TEST(SkinLoading, ShadowsOfSourceTwoAreMadeFromTheProgramsBlurImage) {
  // The fixture's SH_ shadow has a mask of its own (source 1); its LO_ shadow asks for the generated one
  // (source 2, the default), in its colours (LO_COLORT 0, the other sides white) with widths W div 2.
  auto blur = std::make_shared<Bitmap>(7, 7, pf32bit);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 7; ++x) {
      const uint32_t v = uint32_t(30 * std::min({x, y, 6 - x, 6 - y}));  // 0 at the edges, 90 in the middle
      SetPixel32(*blur, x, y, MakePixel(v, v, v, 0));
    }
  for (bool withBlur : {false, true}) {
    SCOPED_TRACE(withBlur ? "with the blur image" : "without");
    SetShadowBlurImage(withBlur ? blur : nullptr);
    SkinEnv e;
    e.Store("Skin", Pack(FixtureMembers()));
    e.m->SetSkinName("Skin");
    ASSERT_TRUE(e.sys.messageBoxes.empty());
    const SkinShadowRecord& lo = e.m->SkinData().InactiveShadow;
    EXPECT_GE(e.m->SkinData().ActiveShadow.MaskIndex, 0);
    if (!withBlur) {
      EXPECT_EQ(lo.MaskIndex, -1);
      EXPECT_EQ(lo.Widths, (std::array<int32_t, 4>{-1, -1, -1, -1}));
      continue;
    }
    ASSERT_TRUE(SkinManagerIsValidImageIndex(*e.m, lo.MaskIndex));
    const SkinImageRecord& r = e.m->Skin().Images[size_t(lo.MaskIndex)];
    EXPECT_EQ(r.SectionName, "GLOBALINFO");
    EXPECT_EQ(r.KeyName, "LO_MASK");
    EXPECT_EQ(r.SectionIndex, Section(*e.m, "GLOBALINFO"));
    EXPECT_EQ(r.SourceRect, (TRect{0, 0, 7, 14}));
    EXPECT_EQ(std::make_tuple(r.MaskType, r.ImageCount, r.DrawMode, r.ImageKind), std::make_tuple(1, 1, 1, 0));
    EXPECT_EQ(std::make_tuple(r.CommonBorderWidth, r.BorderLeft, r.BorderTop, r.BorderRight, r.BorderBottom),
              std::make_tuple(3, 3, 3, 3, 3));
    EXPECT_EQ(lo.Widths, (std::array<int32_t, 4>{3, 3, 3, 3}));
    ASSERT_TRUE(r.Bitmap);
    // The image half in the side colours (the top black, the left white), the mask half the blur inverted.
    EXPECT_EQ(GetPixel32(*r.Bitmap, 3, 0), 0xFF000000u);
    EXPECT_EQ(GetPixel32(*r.Bitmap, 0, 3), 0xFFFFFFFFu);
    EXPECT_EQ(GetPixel32(*r.Bitmap, 3, 7 + 3), MakePixel(255 - 90, 255 - 90, 255 - 90, 0));
    EXPECT_EQ(GetPixel32(*r.Bitmap, 0, 7 + 3), MakePixel(255, 255, 255, 0));
  }
  SetShadowBlurImage(nullptr);
}

TEST(SkinLoading, CommonSectionsAddSectionsAndBitmapsToEverySkin) {
  SkinEnv e;
  auto members = FixtureMembers();
  members.push_back({"Extra.bmp", Bmp24(6, 3, [](int, int) { return 0x00FF00u; })});
  e.WriteDirectory("Dir", members);
  e.m->SetSkinName("Dir");
  e.m->SetCommonSections({"[ MY BTN ]", "PARENTCLASS = BUTTON", "COLOR=0x123456", "PICTURE=EXTRA.BMP",
                          "; a comment keeps its blanks", "STATES=99999999999", "[EDIT]", "COLOR=0x000001"});
  EXPECT_EQ(e.m->CommonSections()[4], "; a comment keeps its blanks");
  const SkinSectionRecord& mine = Sec(*e.m, "MYBTN");
  EXPECT_EQ(mine.NormalState.Color, 0x123456);
  EXPECT_EQ(mine.HotState.Color, 0xE0E0E0);  // copied from BUTTON
  EXPECT_EQ(mine.GlowSize, 4);
  EXPECT_EQ(mine.States, 255);  // read whole, as the skin's own sections read it
  EXPECT_EQ(Sec(*e.m, "EDIT").NormalState.Color, 0xFFFFFF);  // the skin's own section wins
  const int32_t picture = SkinManagerGetImageIndexByName(*e.m, "MYBTN", "PICTURE");
  ASSERT_GE(picture, 0);
  ASSERT_TRUE(e.m->Skin().Images[size_t(picture)].Bitmap);
  EXPECT_EQ(e.m->Skin().Images[size_t(picture)].Bitmap->Width(), 6);
}

TEST(SkinLoading, ExtendedBorderShadowsComeFromTheExBorderImage) {
  SkinEnv e;
  e.sys.layeredWindows = true;
  e.Store("Ex", Pack(WithOptions([](std::string& o) {
    o.insert(o.find("[BUTTON]"), "FORMOFFSET=1\r\nEXBORDER=" + Mask(0, 0, 48, 32, 4, 4, 4, 4, 2, 1, 0, 0) + "\r\n");
  })));
  e.Store("Plain", Pack(FixtureMembers()));
  e.m->SetExtendedBorders(true);
  e.m->SetSkinName("Ex");
  const LoadedSkin& s = e.m->Skin();
  EXPECT_EQ(s.ShadowMargins, (TRect{3, 3, 3, 3}));  // border widths minus FORMOFFSET
  ASSERT_TRUE(s.ActiveShadow && s.InactiveShadow);
  EXPECT_EQ(s.ActiveShadow->Width(), 24);
  EXPECT_EQ(s.ActiveShadow->Height(), 16);
  EXPECT_EQ(GetPixel32(*s.ActiveShadow, 0, 0), KeyPixel);
  EXPECT_EQ(GetPixel32(*s.InactiveShadow, 1, 1), 0xFF4070B0u);  // the second state
  // Without an EXBORDER image: the program's standard shadows, when it has set them.
  e.m->SetSkinName("Plain");
  EXPECT_FALSE(e.m->Skin().ActiveShadow);
  SetStandardBorderShadows(std::make_shared<Bitmap>(5, 5), std::make_shared<Bitmap>(6, 6));
  e.m->SetSkinName("Plain");
  ASSERT_TRUE(e.m->Skin().InactiveShadow);
  EXPECT_EQ(e.m->Skin().InactiveShadow->Width(), 6);
  EXPECT_EQ(e.m->Skin().ShadowMargins, (TRect{9, 9, 9, 9}));
  SetStandardBorderShadows(nullptr, nullptr);
  e.m->SetExtendedBorders(false);  // a skin is applied: loaded again without shadows
  EXPECT_FALSE(e.m->Skin().ActiveShadow);
  EXPECT_EQ(e.m->Skin().ShadowMargins, TRect{});
}

TEST(SkinLoading, TheProgramsDirectoryRulesForTheSkinDirectory) {
  PortableSkinSystem sys;
  sys.programDirectory = "C:\\Prog\\Bin\\";
  TsSkinManager m(sys);
  EXPECT_EQ(m.SkinDirectory(), "c:\\Skins");
  for (const auto& [dir, normal] : std::vector<std::pair<std::string, std::string>>{
           {"..\\Skins", "C:\\Prog\\Skins"},
           {".\\Skins", "C:\\Prog\\Bin\\Skins"},
           {"Skins", "C:\\Prog\\Bin\\Skins"},
           {".", "C:\\Prog\\Bin\\"},
           {"D:\\Skins", "D:\\Skins"},
           {"\\\\server\\skins", "\\\\server\\skins"}}) {
    m.SetSkinDirectory(dir);
    EXPECT_EQ(m.NormalizeSkinDirectory(), normal) << dir;
  }
}

}  // namespace
