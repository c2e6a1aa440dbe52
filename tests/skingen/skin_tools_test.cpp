// The skin generator and the skin checker: the eight skins are the same on every run, carry every form of value
// the skin format has, load and pass the checker; the checker finds each planted fault.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "skin/data/packedskin.h"
#include "skin/data/programskinmanager.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/state_images.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_data/outside_skins.h"
#include "tests/skin_data/skin_test_env.h"
#include "tools/skingen/contact.h"
#include "tools/skingen/elements.h"
#include "tools/skingen/generate.h"
#include "tools/skinlint/lint.h"
#include "tools/skinlint/look.h"

namespace {

const std::vector<skingen::GeneratedSkin>& skins() {
  static const std::vector<skingen::GeneratedSkin> all = skingen::GenerateAllSkins();
  return all;
}

// A stored skin loaded by the program's loader.
struct Loaded {
  skin::PortableSkinSystem sys;
  skin::TsSkinManager m{sys};
  explicit Loaded(const skingen::GeneratedSkin& g) {
    m.SetSkinDirectory("/nonexistent-skin-directory");
    skin::TsStoredSkin& s = m.InternalSkins.Add();
    s.Name = g.theme->name;
    s.Data.WriteBuffer(g.packed.data(), int64_t(g.packed.size()));
    m.SetSkinName(g.theme->name);
  }
};

TEST(SkinGenerator, TwoRunsGiveTheSameBytes) {
  const std::vector<skingen::GeneratedSkin> again = skingen::GenerateAllSkins();
  ASSERT_EQ(again.size(), skins().size());
  for (size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].packed, skins()[i].packed) << again[i].theme->name;
    EXPECT_EQ(again[i].members.size(), skins()[i].members.size());
  }
  const auto a = skingen::GenerateProgramResources(), b = skingen::GenerateProgramResources();
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].bytes, b[i].bytes) << a[i].name;
  EXPECT_EQ(skingen::ContactSheet(skins()[4]), skingen::ContactSheet(again[4]));
}

TEST(SkinGenerator, EightSkinsInTheStoredOrderEachPackedWithItsDescriptionFirst) {
  ASSERT_EQ(skins().size(), skin::ProgramStoredSkinNames.size());
  for (size_t i = 0; i < skins().size(); ++i) {
    const skingen::GeneratedSkin& g = skins()[i];
    EXPECT_EQ(g.theme->name, skin::ProgramStoredSkinNames[i]);
    // The container's first member, read straight from its bytes: magic, count, then the first name.
    ASSERT_GT(g.packed.size(), 23u);
    EXPECT_EQ(g.packed.substr(0, 4), "ASzf");
    const uint32_t len = uint32_t(uint8_t(g.packed[8])) | uint32_t(uint8_t(g.packed[9])) << 8;
    EXPECT_EQ(g.packed.substr(12, len), "Options.dat") << g.theme->name;
    EXPECT_EQ(g.members[1].Name, "Master.bmp");
  }
}

// What a loaded skin uses of the format's value forms.
std::set<std::string> featuresOf(const skingen::GeneratedSkin& g) {
  std::set<std::string> f;
  for (const skingen::ImageEntry& e : g.builder.Entries()) f.insert(std::string("form ") + e.form);
  Loaded l(g);
  const skin::LoadedSkin& s = l.m.Skin();
  for (const skin::SkinImageRecord& r : s.Images) {
    if (r.ImageKind == 1 && r.DrawMode == 0) f.insert("tiled texture");
    if (r.ImageKind == 1 && r.DrawMode == 1) f.insert("stretched texture");
    if (r.MaskType == 1) f.insert("masked image");
    if (r.Bitmap && r.Bitmap->PixelFormat() == skin::pf32bit && r.KeyName.find("GLOW0") != std::string::npos)
      f.insert("glow");
  }
  for (const skin::SkinImageFile& file : s.ImageFiles)
    if (file.FileName.size() > 4 && file.FileName.substr(file.FileName.size() - 4) == ".JPG") f.insert("jpeg texture");
  for (const skin::SkinSectionRecord& sec : s.Sections) {
    for (const skin::SkinStateBlock* b : {&sec.NormalState, &sec.HotState}) {
      if (!b->GradientSteps.empty() && b->GradientPercent > 0) f.insert("gradient");
      if (b->ImagePercent > 0 && b->ImagePercent < 100) f.insert("image percent");
      f.insert("transparency " + std::to_string(b->Transparency));
    }
    if (sec.ImgTopLeft >= 0 && sec.ImgBottomRight >= 0) f.insert("corners");
    if (sec.OuterMask >= 0) f.insert("outer mask");
    const int parent = skin::SkinManagerGetSectionIndex(s, sec.ParentName);
    if (parent >= 0 && skin::SkinManagerGetSectionIndex(s, s.Sections[size_t(parent)].ParentName) >= 0)
      f.insert("parent chain of depth 2");
  }
  f.insert(s.CommonIndexes.ExBorder >= 0 ? "extended borders" : "no extended borders");
  return f;
}

TEST(SkinGenerator, TheEightSkinsTogetherUseEveryValueFormOfTheFormat) {
  std::map<std::string, int> count;
  for (const skingen::GeneratedSkin& g : skins())
    for (const std::string& f : featuresOf(g)) ++count[f];
  for (const char* f : {"form @", "form ^", "form ~", "form !", "form F", "tiled texture", "stretched texture",
                        "masked image", "glow", "jpeg texture", "gradient", "image percent", "transparency 0",
                        "transparency 50", "transparency 100", "corners", "outer mask", "parent chain of depth 2",
                        "extended borders", "no extended borders"})
    EXPECT_GT(count[f], 0) << "no skin uses: " << f;
}

TEST(SkinLint, EveryGeneratedSkinPasses) {
  for (const skingen::GeneratedSkin& g : skins()) {
    const skinlint::LintResult r = skinlint::LintPackedSkin(g.packed, g.theme->name);
    for (const std::string& p : r.problems) ADD_FAILURE() << g.theme->name << ": " << p;
    EXPECT_EQ(r.name, g.theme->name);
  }
}

// Every image of one state where the stored skin has several is drawn in that one state in every state: as the
// stored skin's image is drawn at rest.
void ExpectOneStateInEveryState(const skingen::GeneratedSkin& g, const skin::LoadedSkin& s) {
  const Loaded stored(g);
  int seen = 0;
  for (const auto& [section, key] : outsideskins::StateImageKeys()) {
    const int i = skin::SkinManagerGetImageIndexByName(s, section, key);
    const int j = skin::SkinManagerGetImageIndexByName(stored.m.Skin(), section, key);
    if (i < 0 || j < 0) continue;
    SCOPED_TRACE(section + " " + key);
    const skin::SkinImageRecord& one = s.Images[size_t(i)];
    const skin::SkinImageRecord& many = stored.m.Skin().Images[size_t(j)];
    ASSERT_EQ(one.ImageCount, 1);
    ASSERT_GT(many.ImageCount, 1);
    ++seen;
    const bool bordered = section == "FORM" || key == "SLIDERCHANNEL";  // drawn as nine pieces
    const int w = bordered ? 61 : skin::ImageStateWidth(one), h = skin::ImageFrameHeight(one);
    auto draw = [&](const skin::SkinImageRecord& r, int state) {
      skin::Bitmap b(w, h, skin::pf32bit);
      skin::FillRectBitmap32(b, skin::TRect{0, 0, w, h}, 0x336699, 255);
      const skin::CacheInfo ci = skin::CacheInfoFromBitmap(&b, 0, 0);
      if (bordered)
        skin::DrawSkinMask(b, skin::TRect{0, 0, w, h}, ci, r, state, true);
      else
        skin::DrawImageState(b, skin::TPoint{0, 0}, state, ci, r, 1);
      return b;
    };
    const skin::Bitmap atRest = draw(many, 0);
    for (int state = 0; state < 4; ++state) {
      const skin::Bitmap b = draw(one, state);
      int differ = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) differ += skin::GetPixel32(b, x, y) != skin::GetPixel32(atRest, x, y);
      EXPECT_EQ(differ, 0) << "state " << state;
    }
  }
  EXPECT_EQ(seen, int(outsideskins::StateImageKeys().size()));  // the skins made from have each
}

// A button's mask drawn in every state its section paints and past them: in a state s, the mask's own state
// min(s, its last) (the section's last where it paints fewer), as the one state cut from its strip is drawn alone;
// nothing squeezed.
void ExpectMaskInItsLastState(skin::TsSkinManager& m) {
  const skin::LoadedSkin& s = m.Skin();
  const int sec = skin::SkinManagerGetSectionIndex(s, "BUTTON");
  ASSERT_GE(sec, 0);
  const skin::SkinSectionRecord& button = s.Sections[size_t(sec)];
  ASSERT_TRUE(skin::SkinManagerIsValidImageIndex(s, button.BorderIndex));
  ASSERT_LT(std::max({button.ImgTopLeft, button.ImgTopRight, button.ImgBottomLeft, button.ImgBottomRight}), 0);
  const skin::SkinImageRecord& mask = s.Images[size_t(button.BorderIndex)];
  const int w = 90, h = 30, fw = skin::ImageStateWidth(mask);
  const skin::TRect R{0, 0, w, h};
  skin::Bitmap parent(w, h, skin::pf32bit);
  skin::FillRectBitmap32(parent, R, 0x336699, 255);
  const skin::CacheInfo ci = skin::CacheInfoFromBitmap(&parent, 0, 0);
  for (int state = 0; state < 8; ++state) {
    skin::Bitmap item(w, h, skin::pf32bit), alone(w, h, skin::pf32bit);
    skin::PaintSkinItem(sec, ci, state, R, skin::TPoint{}, item, &m);
    const int shown = std::min({state, skin::SectionStateCount(button) - 1, int(mask.ImageCount) - 1});
    skin::SkinImageRecord one = mask;
    one.SourceRect.Left += shown * fw;
    one.SourceRect.Right = one.SourceRect.Left + fw;
    one.ImageCount = 1;
    skin::PaintSectionCore(sec, ci, state, R, skin::TPoint{}, alone, &m, -1, -1, skin::KeyColor);
    skin::DrawSkinMask(alone, R, ci, one, 0, true);
    int differ = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) differ += skin::GetPixel32(item, x, y) != skin::GetPixel32(alone, x, y);
    EXPECT_EQ(differ, 0) << "state " << state << ", the mask's " << shown;
  }
}

// Skins from outside through the program's loader as they reach it (the skins folder, a skin editor's block) and
// through skinlint: refused with the program's one message, or applied (blanks and a byte-order mark change nothing
// of the stored skin's tables); skinlint's answer is the program's, word for word.
TEST(SkinsFromOutside, AreReadAsWrittenAndSkinlintGivesTheProgramsAnswer) {
  using outsideskins::Via;
  for (const outsideskins::Row& row : outsideskins::Rows()) {
    SCOPED_TRACE(row.point);
    const skingen::GeneratedSkin* g = nullptr;
    for (const skingen::GeneratedSkin& s : skins()) g = s.theme->name == row.skin ? &s : g;
    std::vector<skin::PackedSkinMember> members = g->members;
    members[0].Data = row.edit(members[0].Data);
    if (row.files) row.files(members);
    testsupport::TempDir dir;
    skin::PortableSkinSystem sys;
    sys.frameWidth = row.frame ? row.frame : sys.frameWidth;
    skin::TsSkinManagerComponent m(nullptr, sys);
    m.SetSkinDirectory(dir.path().string());
    outsideskins::Deliver(dir.path(), row, members);
    const std::string refusal =
        outsideskins::Expected(row, members[0].Data, (dir.path() / (std::string(row.skin) + ".asz")).string());
    if (row.via == Via::Editor) {
      std::vector<uint8_t> block =
          outsideskins::EditorBlock(outsideskins::BlockName(row), dir.path().string(), members[0].Data);
      m.TakeSkinPreview(skin::SkinPreviewCopyDataWParam, block.data(), block.size());
      gui::TMessage apply{skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_APPLYRECEIVEDSKIN), 0, 0};
      m.AppHook(apply);
    } else {
      m.SetSkinName(row.skin);
    }
    std::vector<std::string> shown;
    for (const auto& box : sys.messageBoxes) shown.push_back(box.Text);
    EXPECT_EQ(shown, refusal.empty() ? std::vector<std::string>{} : std::vector<std::string>{refusal});
    for (const auto& box : sys.messageBoxes)
      EXPECT_EQ(box.Kind, row.information ? skin::TSkinMessageKind::Information : skin::TSkinMessageKind::Error);
    EXPECT_EQ(m.SkinName() == row.skin && m.SkinData().Active == 1, refusal.empty());
    if (row.asStored && m.SkinName() == row.skin) skintest::ExpectSameTables(Loaded(*g).m.Skin(), m.Skin());
    if (row.look == outsideskins::Look::OneState && m.SkinName() == row.skin) ExpectOneStateInEveryState(*g, m.Skin());
    if (row.look == outsideskins::Look::MaskLastState && m.SkinName() == row.skin) ExpectMaskInItsLastState(m);
    // skinlint on the same skin in a folder of its own (a skin editor's as a skin folder; a block's own fault
    // is none of the skin's).
    if (row.blockName) continue;
    outsideskins::Row asFiles = row;
    asFiles.via = row.via == Via::PackedFile ? Via::PackedFile : Via::Folder;
    outsideskins::Deliver(dir.path() / "lint", asFiles, members);
    const std::filesystem::path lint = dir.path() / "lint" / row.skin;
    const std::string lintRefusal = outsideskins::Expected(row, members[0].Data, lint.string() + ".asz");
    const skinlint::LintResult lr = row.via == Via::PackedFile ? skinlint::LintPackedSkinFile(lint.string() + ".asz")
                                                               : skinlint::LintSkinDirectory(lint.string());
    if (row.lookProblem) {
      EXPECT_FALSE(lr.problems.empty());
      for (const std::string& p : lr.problems) EXPECT_NE(p.find(row.lookProblem), std::string::npos) << p;
    } else {
      EXPECT_EQ(lr.problems, lintRefusal.empty() ? std::vector<std::string>{} : std::vector<std::string>{lintRefusal});
    }
    // What skinlint advises of a skin the program applies as written.
    bool advised = false;
    for (const std::string& a : lr.advice) advised = advised || (row.advice && a.find(row.advice) != std::string::npos);
    EXPECT_EQ(advised, row.advice != nullptr) << (lr.advice.empty() ? "no advice" : lr.advice[0]);
    if (!row.advice) {
      EXPECT_EQ(lr.advice, std::vector<std::string>{});
    }
  }
}

using outsideskins::WithKey;

TEST(SkinLint, FindsEveryPlantedFault) {
  const skingen::GeneratedSkin& base = skins()[4];  // Spring Willow
  const std::string options = base.members[0].Data;
  const std::string edit = base.builder.Get("EDIT", "BORDERSMASK");
  const struct {
    const char* what;
    std::string options;
    bool dropMaster;
    const char* expected;
    bool advice = false;  // a piece of advice, the skin passing
  } cases[] = {
      {"a missing section", WithKey(options, "TABTOP", "STATES", "3").replace(options.find("[TABTOP]"), 8, "[TABTOQ]"),
       false, "[TABTOP] the section is missing"},
      {"a version out of range", WithKey(options, "GLOBALINFO", "VERSION", "11.20"), false, "lies outside 7.45"},
      {"a text taken for an image", WithKey(options, "GLOBALINFO", "DESCRIPTION", "Green like Leaves.bmp"), false,
       "would be read as an image"},
      {"a rectangle outside the master",
       WithKey(options, "BUTTON", "BORDERSMASK", "^0000^0000^9000^0040^0005^0005^0005^0005^4^1^5^0"), false,
       "skin cannot be used: its key BORDERSMASK of section [BUTTON] has the value "
       "\"^0000^0000^9000^0040^0005^0005^0005^0005^4^1^5^0\", an image outside its master image of"},
      {"an image key without an image", WithKey(options, "CHECKBOX", "CHECK", "none"), false, "is not an image"},
      {"a parent that does not exist", WithKey(options, "SPEEDBUTTON", "PARENTCLASS", "NOSUCH"), false,
       "names no section"},
      // Advice only: the states past the mask's last show its last.
      {"more states than the mask holds", WithKey(options, "BUTTON", "STATES", "6"), false,
       "[BUTTON] BORDERSMASK: the image has 4 state(s) where 6 are painted: the states past its last show its last",
       true},
      {"a glow without its image", WithKey(options, "BUTTON", "GLOW0", nullptr), false, "a glow size without a GLOW0"},
      {"borders wider than the state", WithKey(options, "EDIT", "BORDERSMASK", (edit.substr(0, 20) + "^0009^0009^0009^0009" + edit.substr(40)).c_str()),
       false, "skin cannot be used: its key BORDERSMASK of section [EDIT]"},
      {"no master bitmap", options, true, "cannot be used: its master image \"Master.bmp\" is missing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<skin::PackedSkinMember> members = base.members;
    members[0].Data = c.options;
    if (c.dropMaster) members.erase(members.begin() + 1);
    const skinlint::LintResult r = skinlint::LintPackedSkin(skin::PackSkin(members), base.theme->name);
    bool found = false;
    for (const std::string& p : c.advice ? r.advice : r.problems)
      found = found || p.find(c.expected) != std::string::npos;
    if (c.advice) {
      EXPECT_EQ(r.problems, std::vector<std::string>{});
    }
    EXPECT_TRUE(found) << "expected \"" << c.expected << "\" among " << r.problems.size() << " problem(s)"
                       << (r.problems.empty() ? "" : ", the first: " + r.problems[0]);
  }
}

// A cut container is refused with the program's own message, stored or as a packed file in the skins folder.
TEST(SkinLint, ACutContainerIsRefusedAsTheProgramRefusesIt) {
  const skingen::GeneratedSkin& base = skins()[4];
  const std::string cut = skin::PackSkin(base.members).substr(0, 4000);
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("skinlint-cut-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "Cut.asz", std::ios::binary) << cut;
  const struct {
    skinlint::LintResult r;
    std::string expected;
  } cases[] = {
      {skinlint::LintPackedSkin(cut, "Cut"), "its stored data"},
      // The file named as the system writes its paths, one separator throughout.
      {skinlint::LintPackedSkinFile((folder / "Cut.asz").string()), "its packed file \"" + (folder / "Cut.asz").string() + "\""},
  };
  std::filesystem::remove_all(folder);
  for (const auto& c : cases) {
    bool found = false;
    for (const std::string& p : c.r.problems)
      found = found || (p.find("The \"Cut\" skin cannot be used: ") != std::string::npos &&
                        p.find(c.expected) != std::string::npos &&
                        p.find("cannot be read: Stream read error") != std::string::npos);
    EXPECT_TRUE(found) << c.expected << " / " << (c.r.problems.empty() ? "" : c.r.problems[0]);
  }
}

// What an operator would see wrong, planted into Spring Willow by drawing parts anew: unreadable text, a down
// state like the normal one, title buttons without their marks at rest, an ornament over a panel's caption.
TEST(SkinLint, FindsEveryPlantedFaultOfTheLook) {
  const skingen::GeneratedSkin& base = skins()[4];
  const skingen::Theme& t = *base.theme;
  const skingen::States button = skingen::ButtonStates(t, 26, 26, float(t.buttonRadius), 4, t.seed);
  const skingen::States blank = skingen::CaptionButton(t, skingen::Caption::User, false, t.seed);
  const struct {
    const char* what;
    std::function<void(skingen::SkinBuilder&)> plant;
    std::vector<const char*> expected;
  } cases[] = {
      {"menu text in the colour of its highlight",
       [&](skingen::SkinBuilder& b) { b.Set("MENUITEM", "HOTFONTCOLOR", b.Get("MENUITEM", "HOTCOLOR")); },
       {"[MENUITEM] text of state 1"}},
      {"a speed button held down as it rests",
       [&](skingen::SkinBuilder& b) {
         b.AddBordered("SPEEDBUTTON", "BORDERSMASK", skingen::States{button[0], button[1], button[0]},
                       skingen::Borders{8, 8, 8, 8}, 5, 1);
       },
       {"[SPEEDBUTTON] the pressed state differs"}},
      {"close, maximize and minimize blank at rest",
       [&](skingen::SkinBuilder& b) {
         for (const char* key : {"BICONCLOSE", "BICONMAX", "BICONMIN"}) b.AddGlyph("GLOBALINFO", key, blank);
       },
       {"BICONCLOSE: at rest the button shows no mark", "BICONMIN: at rest the button shows no mark",
        "BICONCLOSE and BICONMAX look alike at rest"}},
      {"a close button that stays as it rests under the pointer",
       [&](skingen::SkinBuilder& b) {
         const skingen::States close = skingen::CaptionButton(t, skingen::Caption::Close, false, t.seed);
         b.AddGlyph("GLOBALINFO", "BICONCLOSE", skingen::States{close[0], close[0], close[2]});
       },
       {"BICONCLOSE: hot, the button looks as at rest"}},
      {"a rivet over a panel's corner",
       [&](skingen::SkinBuilder& b) { b.AddGlyph("PANEL", "IMGTOPLEFT", skingen::Stud(t, 9)); },
       {"[PANEL] IMGTOPLEFT: the ornament of 9 x 9 reaches past the frame"}},
      {"edits written in blue on white, where the station's own short messages are blue",
       [&](skingen::SkinBuilder& b) {
         b.SetColor("EDIT", "COLOR", skingen::Rgb(0xFFFFFF));
         b.SetColor("EDIT", "FONTCOLOR", skingen::Rgb(0x0000FF));
       },
       {"[EDIT] short messages of state 0 on #FFFFFF: the own text #0000FF and the received text #0000FF differ"}},
      {"a speed button striped dark and light on a grey window: no disabled caption reads on it",
       [&](skingen::SkinBuilder& b) {
         skingen::Image striped(26, 26);
         for (int i = 0; i < 26 * 26; ++i) striped.Blend(i % 26, i / 26, skingen::Rgb(i % 2 ? 0 : 0xFFFFFF), 1);
         b.AddBordered("SPEEDBUTTON", "BORDERSMASK", {striped, striped, striped}, skingen::Borders{8, 8, 8, 8}, 5, 1);
         b.SetColor("FORM", "COLOR", skingen::Rgb(0x777777));
         b.Set("FORM", "GRADIENTPERCENT", 0);
       },
       {"[SPEEDBUTTON] disabled text of state 0 #000000 on #474747"}},
      {"a see-through track bar casting the skin's shadow frame",
       [&](skingen::SkinBuilder& b) { b.Set("TRACKBAR", "OUTERMODE", 2); },
       {"[TRACKBAR] shows its parent through itself and casts an outer effect (OUTERMODE 2)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    skingen::SkinBuilder b = base.builder;
    c.plant(b);
    const skinlint::LintResult r = skinlint::LintPackedSkin(skin::PackSkin(b.Build()), t.name);
    for (const char* expected : c.expected) {
      bool found = false;
      for (const std::string& p : r.problems) found = found || p.find(expected) != std::string::npos;
      EXPECT_TRUE(found) << "expected \"" << expected << "\" among " << r.problems.size() << " problem(s)"
                         << (r.problems.empty() ? "" : ", the first: " + r.problems[0]);
    }
  }
}

TEST(SkinLint, ContrastRatiosOfKnownPairs) {
  EXPECT_NEAR(skinlint::ContrastRatio(0x000000, 0xFFFFFF), 21.0, 0.01);
  EXPECT_NEAR(skinlint::ContrastRatio(0x777777, 0xFFFFFF), 4.48, 0.01);  // the grey that just misses 4.5:1
  EXPECT_NEAR(skinlint::ContrastRatio(0x123456, 0x123456), 1.0, 1e-9);
}

}  // namespace
