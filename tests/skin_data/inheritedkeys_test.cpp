#include "skin/data/inheritedkeys.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <vector>
#include <string>

#include "skin/data/libstrings.h"
#include "skin/data/thirdpartyconsts.h"

namespace skin {
namespace {

TIniSections parse(std::string_view text) {
  TIniSections s;
  IniTextToSections(text, s);
  return s;
}

TEST(SkinInheritedKeys, ClimbsTheParentChain) {
  // A child may name a parent that comes later in the text.
  const TIniSections s = parse(
      "[CHILD]\nPARENTCLASS=MIDDLE\nCOLOR=-1\nGIVEOWNFONT=?\n"
      "[MIDDLE]\nPARENTCLASS=BASE\nFONTCOLOR=0x00FF00\nGIVEOWNFONT=TRUE\n"
      "[BASE]\nCOLOR=0x123456\nSTATES=300\nAUTHOR=me\nRESERVEDBOOLEAN=1\nSYS=$FF00000F\nBIG=99999999999\n"
      "[ALONE]\nPARENTCLASS=?\n"
      "[SELF]\nPARENTCLASS=SELF\n");
  PortableSkinSystem sys;
  EXPECT_EQ(ReadInheritedInt(s, "CHILD", "COLOR", 0xFFFFFF, INT32_MAX, sys), 0x123456);  // -1 counts as absent
  EXPECT_EQ(ReadInheritedInt(s, "CHILD", "FONTCOLOR", 0, INT32_MAX, sys), 0x00FF00);
  EXPECT_EQ(ReadInheritedInt(s, "CHILD", "STATES", 3, 255, sys), 255);
  // A number past 32 bits is no value to ReadInheritedInt, but its text is found as given.
  EXPECT_EQ(ReadInheritedInt(s, "CHILD", "BIG", 3, 255, sys), 3);
  EXPECT_EQ(ReadInheritedNumberText(s, "CHILD", "BIG"), "99999999999");
  EXPECT_EQ(ReadInheritedNumberText(s, "CHILD", "COLOR"), "0x123456");  // -1 counts as absent
  EXPECT_EQ(ReadInheritedNumberText(s, "CHILD", "AUTHOR"), "");
  EXPECT_EQ(ReadInheritedInt(s, "CHILD", "MISSING", 3, 255, sys), 3);
  EXPECT_EQ(ReadInheritedInt(s, "CHILD", "SYS", 0, INT32_MAX, sys), int32_t(0xF0F0F0));  // system colour
  EXPECT_EQ(ReadInheritedString(s, "CHILD", "AUTHOR", "nobody"), "me");
  EXPECT_EQ(ReadInheritedString(s, "CHILD", "NOTHING", "nobody"), "nobody");
  EXPECT_TRUE(ReadInheritedBool(s, "CHILD", "GIVEOWNFONT", false));  // "?" is inherited
  EXPECT_TRUE(ReadInheritedBool(s, "CHILD", "RESERVEDBOOLEAN", false));
  EXPECT_FALSE(ReadInheritedBool(s, "BASE", "AUTHOR", true));
  EXPECT_TRUE(ReadInheritedBool(s, "BASE", "ABSENT", true));
  EXPECT_EQ(ReadInheritedInt(s, "ALONE", "COLOR", 7, INT32_MAX, sys), 7);
  EXPECT_EQ(ReadInheritedInt(s, "SELF", "COLOR", 7, INT32_MAX, sys), 7);
  EXPECT_EQ(ReadInheritedInt(s, "NOSUCH", "COLOR", 7, INT32_MAX, sys), 7);
}

TEST(SkinInheritedKeys, CyclesAndLongChainsEnd) {
  PortableSkinSystem sys;
  const TIniSections loop = parse("[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=C\n[C]\nPARENTCLASS=A\n");
  EXPECT_EQ(ReadInheritedInt(loop, "A", "COLOR", 5, INT32_MAX, sys), 5);
  EXPECT_EQ(ReadInheritedString(loop, "B", "X", "d"), "d");
  EXPECT_FALSE(ReadInheritedBool(loop, "C", "X", false));

  // A chain of 2,000 sections: the value at its far end is found without deep recursion.
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "[S" + std::to_string(i) + "]\nPARENTCLASS=S" + std::to_string(i + 1) + "\n";
  text += "[S2000]\nCOLOR=42\n";
  const TIniSections chain = parse(text);
  EXPECT_EQ(ReadInheritedInt(chain, "S0", "COLOR", 0, INT32_MAX, sys), 42);
}

TEST(SkinInheritedKeys, ParentWalkOverAnyRecords) {
  // Records of a loaded skin: name -> parent name. The walk visits each once, in chain order.
  const std::map<std::string, std::string, std::less<>> parents = {
      {"EDIT", "PANEL"}, {"PANEL", "FORM"}, {"FORM", "EDIT"}, {"LONE", ""}, {"ME", "ME"}};
  auto parentOf = [&](std::string_view n) {
    const auto it = parents.find(n);
    return it == parents.end() ? std::string() : it->second;
  };
  std::vector<std::string> seen;
  EXPECT_FALSE(WalkParentChain("EDIT", parentOf, [&](std::string_view n) {
    seen.emplace_back(n);
    return false;
  }));
  EXPECT_EQ(seen, (std::vector<std::string>{"EDIT", "PANEL", "FORM"}));
  seen.clear();
  EXPECT_TRUE(WalkParentChain("PANEL", parentOf, [&](std::string_view n) {
    seen.emplace_back(n);
    return n == "EDIT";
  }));
  EXPECT_EQ(seen, (std::vector<std::string>{"PANEL", "FORM", "EDIT"}));
  int visits = 0;
  WalkParentChain("ME", parentOf, [&](std::string_view) { return ++visits > 5; });
  WalkParentChain("LONE", parentOf, [&](std::string_view) { return ++visits > 5; });
  EXPECT_EQ(visits, 2);
}

TEST(SkinInheritedKeys, IndexedReadsAgreeWithTheChainWalk) {
  // Descriptions of random shape: repeated names, parents later in the text, missing, "?", empty and self
  // parents, absent and "not a number" values. Every read of the indexed sections gives what the walk gives.
  PortableSkinSystem sys;
  uint32_t seed = 99;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  const std::vector<std::string> values = {"1", "-1", "0x10", "x", "?", "", "TRUE", "300", "-99999999999"};
  int checked = 0;
  for (int round = 0; round < 60; ++round) {
    const int count = 1 + int(next(40));
    std::string text;
    for (int i = 0; i < count; ++i) {
      text += "[S" + std::to_string(next(uint32_t(count))) + "]\n";
      const uint32_t parent = next(10);
      if (parent < 6) text += "PARENTCLASS=S" + std::to_string(i + 1 + int(next(5))) + "\n";
      if (parent == 6) text += "PARENTCLASS=?\n";
      if (parent == 7) text += "PARENTCLASS=\n";
      for (const char* key : {"COLOR", "NAME", "FLAG"})
        if (next(3) == 0) text += std::string(key) + "=" + values[next(uint32_t(values.size()))] + "\n";
    }
    const TIniSections ini = parse(text);
    std::unique_ptr<IndexedSections> indexed;
    try {
      indexed = std::make_unique<IndexedSections>(ini);
    } catch (const EConvertError&) {
      continue;  // a chain that returns on itself: refused, as the loader refuses it
    }
    ++checked;
    for (int i = 0; i <= count; ++i) {
      const std::string name = "S" + std::to_string(i);
      for (const char* key : {"COLOR", "NAME", "FLAG", "PARENTCLASS", "NONE"}) {
        ASSERT_EQ(indexed->ReadInt(name, key, 7, 255, sys), ReadInheritedInt(ini, name, key, 7, 255, sys)) << text;
        ASSERT_EQ(indexed->ReadString(name, key, "d"), ReadInheritedString(ini, name, key, "d")) << text;
        ASSERT_EQ(indexed->ReadBool(name, key, true), ReadInheritedBool(ini, name, key, true)) << text;
        ASSERT_EQ(indexed->Value(name, key, "d"), ReadIniValue(ini, name, "d", key)) << text;
        ASSERT_EQ(indexed->NumberText(name, key), ReadInheritedNumberText(ini, name, key)) << text;
      }
    }
  }
  EXPECT_GT(checked, 20);
}

TEST(SkinLibraryStrings, LoadingAndStartUpValues) {
  EXPECT_EQ(AcWinVersionOf(WindowsVersion{6, 2, 2}), 8);
  EXPECT_EQ(AcWinVersionOf(WindowsVersion{6, 1, 2}), 6);
  EXPECT_EQ(AcWinVersionOf(WindowsVersion{10, 0, 2}), 10);

  PortableSkinSystem sys;
  sys.version = WindowsVersion{6, 2, 2};
  sys.hScrollArrowWidth = 21;
  LibraryStrings texts;
  texts.Load(sys);
  EXPECT_EQ(texts.AcWinVersion, 8);
  EXPECT_EQ(texts.AcHScrollArrowWidth, 21);
  EXPECT_EQ(texts.Text(sidInternal), "(internal)");
  EXPECT_EQ(texts.Text(sidHelp), "&Help");
  EXPECT_EQ(texts.Text(1234), "");

  // Every id is loaded once, in the table's order, from the source given; an empty "Invalid date" text is
  // replaced.
  std::vector<uint16_t> asked;
  texts.Load(sys, [&](uint16_t id) {
    asked.push_back(id);
    std::string text;
    if (id != sidInvalidDate) {
      text = "T";
      text += std::to_string(id);
    }
    return text;
  });
  ASSERT_EQ(asked.size(), size_t(LibraryTextCount));
  EXPECT_EQ(asked.front(), sidOK);
  EXPECT_EQ(asked.back(), sidInvalidDate);
  EXPECT_EQ(std::set<uint16_t>(asked.begin(), asked.end()).size(), asked.size());
  EXPECT_EQ(texts.Text(sidClose), "T58976");
  EXPECT_EQ(texts.Text(sidInvalidDate), "Invalid date");
}

TEST(SkinLibraryStrings, ThirdPartyDefaultsForEmptyCategories) {
  int blanks = 0;
  for (int i = 0; i < ThirdPartyCategoryCount; ++i) {
    const std::string_view t = ThirdPartyTextOrDefault(i, "");
    if (i == 1) {
      EXPECT_EQ(t, "TButton");
    } else {
      blanks += t == " ";
    }
  }
  EXPECT_EQ(blanks, ThirdPartyCategoryCount - 1);
  EXPECT_EQ(ThirdPartyTextOrDefault(1, "TMyButton"), "TMyButton");
  EXPECT_EQ(ThirdPartyCategoryNames[1], "Button");
  EXPECT_EQ(ThirdPartyCategoryNames[22], "NativePaint");
}

}  // namespace
}  // namespace skin
