#include "skin/data/packedskin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace skin {
namespace {

std::string noise(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    s[i] = char(seed >> 24);
  }
  return s;
}

std::vector<PackedSkinMember> sampleMembers() {
  return {
      {"Options.dat", "[GLOBALINFO]\r\nVERSION=8.01\r\nMASTERBITMAP=MASTER.BMP\r\n"},
      {"Master.bmp", std::string("BM") + noise(90000, 1)},  // compresses to more than the 64 KiB input buffer
      {"glyph.png", "\x89PNG\r\n\x1A\n" + std::string(5000, '\0')},
      {"my image.Bmp", "BM tiny"},
      {"empty.jpg", ""},
  };
}

// The outcome of one reading: "ok", "refused" (false), or the message of the exception it raised.
struct Outcome {
  std::string what;
  std::unique_ptr<TacSkinConvertor> convertor;
};

Outcome extract(const std::string& bytes, const PackedSkinLimits& limits = {}) {
  Outcome o;
  TMemoryStream data(bytes);
  o.convertor = std::make_unique<TacSkinConvertor>();
  o.convertor->LendPackedData(data);
  try {
    o.what = ExtractPackedSkin(o.convertor, limits) ? "ok" : "refused";
  } catch (const EPackedSkinError& e) {
    o.what = std::string("format: ") + e.what();
  } catch (const EReadError& e) {
    o.what = std::string("read: ") + e.what();
  } catch (const EZDecompressionError& e) {
    o.what = std::string("zlib: ") + e.what();
  }
  if (o.convertor) o.convertor->ReleasePackedData();  // the data dies here
  return o;
}

// Small members, so that every byte of the container can be cut at or flipped in one test run.
std::vector<PackedSkinMember> smallMembers() {
  return {
      {"Options.dat", "[GLOBALINFO]\r\nVERSION=8.01\r\n"},
      {"a.bmp", "BM" + std::string(300, 'a')},
      {"b.png", noise(200, 9)},
      {"c.BMP", ""},
  };
}

const std::string kReadError = "read: Stream read error";
const std::string kFormatError = std::string("format: ") + SNotPackedSkin;

TEST(SkinPackedContainer, RoundTripOfSeveralMembers) {
  const auto members = sampleMembers();
  const std::string bytes = PackSkin(members);
  ASSERT_EQ(bytes.substr(0, 4), "ASzf");
  Outcome o = extract(bytes);
  ASSERT_EQ(o.what, "ok");
  TacSkinConvertor& c = *o.convertor;
  ASSERT_TRUE(c.Options);
  EXPECT_EQ(c.Options->Bytes(), members[0].Data);
  EXPECT_EQ(c.Options->Position(), 0);
  ASSERT_EQ(c.Files.size(), members.size() - 1);
  EXPECT_EQ(c.FileCount, int32_t(members.size() - 1));
  for (size_t i = 1; i < members.size(); ++i) {
    const TacPackedFile& f = c.Files[i - 1];
    EXPECT_EQ(f.FileName, members[i].Name);
    EXPECT_TRUE(f.Data->Bytes() == members[i].Data) << f.FileName;
    EXPECT_EQ(f.Data->Position(), 0);
  }
  // ".BMP" in any letter case, even in a name with a blank; ".PNG" is not a bitmap.
  EXPECT_TRUE(c.Files[0].IsBitmap);
  EXPECT_FALSE(c.Files[1].IsBitmap);
  EXPECT_TRUE(c.Files[2].IsBitmap);
  EXPECT_FALSE(c.Files[3].IsBitmap);
  EXPECT_EQ(c.IndexOfFile("MASTER.BMP"), 0);
  EXPECT_EQ(c.IndexOfFile("GLYPH.PNG"), 1);
  EXPECT_EQ(c.IndexOfFile("Options.dat"), -1);
  ASSERT_NE(c.FileData("my IMAGE.bmp"), nullptr);
  EXPECT_EQ(c.FileData("my IMAGE.bmp")->Bytes(), "BM tiny");
  EXPECT_EQ(c.FileData("absent.bmp"), nullptr);
}

TEST(SkinPackedContainer, DescriptionMemberAndFileNames) {
  // The description member in other letter case, not first; two of them: the last one counts.
  Outcome o = extract(PackSkin({{"a.BMP", "1"}, {"OPTIONS.DAT", "first"}, {"b.png", "2"}, {"options.Dat", "second"}}));
  ASSERT_EQ(o.what, "ok");
  EXPECT_EQ(o.convertor->Options->Bytes(), "second");
  EXPECT_EQ(o.convertor->FileCount, 2);
  EXPECT_EQ(o.convertor->Files[1].FileName, "b.png");

  // No description: read without complaint, Options stays null.
  o = extract(PackSkin({{"a.bmp", "1"}, {"b.bmp", "2"}}));
  ASSERT_EQ(o.what, "ok");
  EXPECT_FALSE(o.convertor->Options);
  EXPECT_EQ(o.convertor->FileCount, 2);

  // No member at all.
  o = extract(PackSkin({}));
  ASSERT_EQ(o.what, "ok");
  EXPECT_FALSE(o.convertor->Options);
  EXPECT_EQ(o.convertor->FileCount, 0);

  EXPECT_TRUE(PackedFileIsBitmap("x.bMp"));
  EXPECT_FALSE(PackedFileIsBitmap("x.bmp.png"));
  EXPECT_FALSE(PackedFileIsBitmap("BMP"));
  EXPECT_FALSE(PackedFileIsBitmap("dir.bmp\\file"));
}

TEST(SkinPackedContainer, NotAPackedSkin) {
  for (const std::string& bytes : {std::string(), std::string("ASz"), std::string("ASzg\0\0\0\0", 8),
                                  std::string("PK\3\4 something else")}) {
    Outcome o = extract(bytes);
    EXPECT_EQ(o.what, "refused");
    EXPECT_EQ(o.convertor, nullptr);  // the convertor is gone
  }
  // No convertor, or a convertor without data: the same refusal, nothing read through a null pointer.
  std::unique_ptr<TacSkinConvertor> none;
  EXPECT_FALSE(ExtractPackedSkin(none));
  auto empty = std::make_unique<TacSkinConvertor>();
  EXPECT_FALSE(ExtractPackedSkin(empty));
  EXPECT_EQ(empty, nullptr);
}

TEST(SkinPackedContainer, EveryTruncationIsRefused) {
  std::vector<size_t> cuts;
  const std::string bytes = PackSkin(smallMembers());
  for (size_t cut = 0; cut < bytes.size(); ++cut) cuts.push_back(cut);
  // And cuts through a member larger than the reader's input buffer.
  const std::string large = PackSkin(sampleMembers());
  for (size_t cut = 4; cut < large.size(); cut += 997) cuts.push_back(bytes.size() + cut);
  for (size_t c : cuts) {
    const size_t cut = c < bytes.size() ? c : c - bytes.size();
    const std::string& whole = c < bytes.size() ? bytes : large;
    const Outcome o = extract(whole.substr(0, cut));
    if (cut < 4) {
      ASSERT_EQ(o.what, "refused") << cut;
    } else {
      ASSERT_EQ(o.what, kReadError) << cut;
      // Nothing half-read is left behind.
      ASSERT_TRUE(o.convertor && !o.convertor->Options && o.convertor->Files.empty()) << cut;
    }
  }
}

TEST(SkinPackedContainer, EveryFlippedByteIsRefusedOrHarmless) {
  const auto members = smallMembers();
  const std::string bytes = PackSkin(members);
  std::string allData;
  for (const auto& m : members) allData += m.Data;
  const std::set<std::string> refusals = {"refused", kReadError, kFormatError, "zlib: data error"};
  for (size_t i = 0; i < bytes.size(); ++i) {
    for (uint8_t mask : {uint8_t(0xFF), uint8_t(0x01), uint8_t(0x80)}) {
      std::string flipped = bytes;
      flipped[i] = char(uint8_t(flipped[i]) ^ mask);
      const Outcome o = extract(flipped);
      if (o.what == "ok") {
        // Only a name byte can change unnoticed: every member's data is intact.
        std::string got = o.convertor->Options ? o.convertor->Options->Bytes() : std::string();
        for (const auto& f : o.convertor->Files) got += f.Data->Bytes();
        ASSERT_EQ(got.size(), allData.size()) << i;
        ASSERT_TRUE(got == allData) << i;
      } else {
        // A flipped size byte may also state a member past its limit, named with it.
        ASSERT_TRUE(refusals.count(o.what) || o.what.rfind("format: its member", 0) == 0) << i << ": " << o.what;
      }
      if (i < 4) {
        ASSERT_EQ(o.what, "refused") << i;
      }
    }
  }
}

TEST(SkinPackedContainer, StatedSizesMustMatchExactly) {
  // One member "a" holding 100 bytes: magic, count, name length, name, size at offset 13.
  const std::string good = PackSkin({{"a", std::string(100, 'q')}, {"b", "next"}});
  auto withSize = [&](uint32_t size) {
    std::string b = good;
    for (int k = 0; k < 4; ++k) b[13 + k] = char(size >> (8 * k));
    return b;
  };
  EXPECT_EQ(extract(withSize(100)).what, "ok");
  EXPECT_EQ(extract(withSize(99)).what, kFormatError);   // the stream goes on past the stated size
  EXPECT_EQ(extract(withSize(0)).what, kFormatError);
  EXPECT_EQ(extract(withSize(101)).what, kReadError);    // the stream ends before it
  // Beyond the limits: the member and its size named, before anything is inflated.
  EXPECT_EQ(extract(withSize(0xFFFFFFFFu)).what,
            "format: its member \"a\" unpacks to 4294967295 bytes, past the 68157440 bytes that an image file may have");

  // A zero-size member is an empty zlib stream.
  const Outcome o = extract(PackSkin({{"zero.bmp", ""}, {"after.png", "x"}}));
  ASSERT_EQ(o.what, "ok");
  EXPECT_EQ(o.convertor->Files[0].Data->Size(), 0);
  EXPECT_EQ(o.convertor->Files[1].Data->Bytes(), "x");
}

TEST(SkinPackedContainer, LimitsAreEnforcedBeforeReading) {
  const std::string bytes = PackSkin({{"one.bmp", std::string(1000, 'a')}, {"two.bmp", std::string(1000, 'b')}});
  PackedSkinLimits l;
  l.MaxMembers = 1;
  EXPECT_EQ(extract(bytes, l).what, kFormatError);
  l = {};
  l.MaxNameLength = 6;
  EXPECT_EQ(extract(bytes, l).what, kFormatError);
  l = {};
  l.MaxMemberSize = 999;
  EXPECT_EQ(extract(bytes, l).what, "format: its member \"one.bmp\" unpacks to 1000 bytes, past the 999 bytes that an "
                                    "image file may have");
  l = {};
  l.MaxTotalSize = 1999;
  EXPECT_EQ(extract(bytes, l).what, "format: its members unpack to more than the 1999 bytes that a packed skin may hold "
                                    "(2000 bytes by member \"two.bmp\")");
  l.MaxTotalSize = 2000;
  EXPECT_EQ(extract(bytes, l).what, "ok");
  // The description has a limit of its own.
  const std::string described = PackSkin({{"options.DAT", std::string(20, 'o')}, {"a.bmp", "12345"}});
  l = {};
  l.MaxOptionsSize = 19;
  EXPECT_EQ(extract(described, l).what, "format: its member \"options.DAT\" unpacks to 20 bytes, past the 19 bytes "
                                        "that a description may have");
  l.MaxOptionsSize = 20;
  l.MaxMemberSize = 5;
  EXPECT_EQ(extract(described, l).what, "ok");

  // A member count far beyond what the data holds ends at the data's end.
  std::string huge = bytes;
  huge[4] = '\x10';
  huge[5] = '\x27';  // 10,000 members
  EXPECT_EQ(extract(huge).what, kReadError);

  EXPECT_THROW(PackSkin({{std::string(2000, 'n'), "x"}}), std::invalid_argument);
}

TEST(SkinPackedContainer, CorruptMemberDataIsAZlibError) {
  std::string bytes = PackSkin({{"a.bmp", std::string(3000, 'z')}});
  // The member's zlib stream starts at 4 + 4 + 4 + 5 + 4 = 21; damage its deflate data.
  bytes[23] = char(uint8_t(bytes[23]) ^ 0x55);
  bytes[24] = char(uint8_t(bytes[24]) ^ 0x55);
  const std::string what = extract(bytes).what;
  EXPECT_TRUE(what.rfind("zlib: ", 0) == 0 || what == kReadError || what == kFormatError) << what;
  EXPECT_NE(what, "ok");
}

TEST(SkinPackedContainer, OwnershipOfTheContainer) {
  const std::string bytes = PackSkin(sampleMembers());
  // A lent container stays the caller's and stays usable.
  TMemoryStream lent(bytes);
  {
    auto c = std::make_unique<TacSkinConvertor>();
    c->LendPackedData(lent);
    ASSERT_TRUE(ExtractPackedSkin(c));
    ClearSkinConvertor(*c);
    EXPECT_EQ(c->PackedData, nullptr);
  }
  EXPECT_EQ(lent.Size(), int64_t(bytes.size()));
  EXPECT_EQ(lent.Bytes().substr(0, 4), "ASzf");

  // A given container is the convertor's; a refused one goes with the convertor.
  auto c = std::make_unique<TacSkinConvertor>();
  c->SetPackedData(std::make_unique<TMemoryStream>(bytes));
  ASSERT_TRUE(ExtractPackedSkin(c));
  EXPECT_EQ(c->Files.size(), 4u);
  // Reading again replaces the members instead of adding to them.
  ASSERT_TRUE(ExtractPackedSkin(c));
  EXPECT_EQ(c->Files.size(), 4u);
  c->SetPackedData(std::make_unique<TMemoryStream>("nope"));
  EXPECT_FALSE(ExtractPackedSkin(c));
  EXPECT_EQ(c, nullptr);
}

TEST(SkinPackedContainer, FromAFile) {
  testsupport::TempDir dir;
  TMemoryStream out;
  WritePackedSkin(out, sampleMembers(), Z_DEFAULT_COMPRESSION);
  out.SaveToFile(dir.file("Test.asz"));
  auto c = std::make_unique<TacSkinConvertor>();
  auto in = std::make_unique<TMemoryStream>();
  in->LoadFromFile(dir.file("Test.asz"));
  c->SetPackedData(std::move(in));
  ASSERT_TRUE(ExtractPackedSkin(c));
  EXPECT_EQ(c->Options->Bytes(), sampleMembers()[0].Data);
  TMemoryStream missing;
  EXPECT_THROW(missing.LoadFromFile(dir.file("absent.asz")), EFOpenError);
}

}  // namespace
}  // namespace skin
