#include "skin/data/zstreams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace skin {
namespace {

// Bytes that compress poorly (a simple generator), so that the compressed stream is larger than the
// wrapper's input buffer.
std::string noise(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    s[i] = char(seed >> 24);
  }
  return s;
}

std::string deflateText(const std::string& data, int level = Z_DEFAULT_COMPRESSION) {
  uLongf size = compressBound(uLong(data.size()));
  std::string out(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                      uLong(data.size()), level),
            Z_OK);
  out.resize(size);
  return out;
}

std::string readAll(TStream& s, int32_t piece) {
  std::string out;
  std::string buffer(size_t(piece), '\0');
  while (true) {
    const int32_t n = s.Read(buffer.data(), piece);
    if (n <= 0) break;
    out.append(buffer.data(), size_t(n));
  }
  return out;
}

TEST(SkinZStream, InflatesAndLeavesTheSourceOnTheNextByte) {
  for (size_t size : {size_t(0), size_t(1), size_t(5000), size_t(300000)}) {
    const std::string data = noise(size / 2, 7) + std::string(size - size / 2, 'x');
    const std::string packed = deflateText(data);
    TMemoryStream source("HEAD" + packed + "TAIL");
    source.SetPosition(4);
    TZDecompressionStream z(source);
    const std::string out = readAll(z, 777);
    EXPECT_TRUE(out == data) << size;
    EXPECT_TRUE(z.StreamEnded());
    EXPECT_EQ(z.TotalOut(), data.size());
    EXPECT_EQ(source.Position(), int64_t(4 + packed.size())) << size;
    char tail[4];
    source.ReadBuffer(tail, 4);
    EXPECT_EQ(std::string(tail, 4), "TAIL");
  }
}

TEST(SkinZStream, SourceMovedBetweenReadsIsPutBack) {
  const std::string data = noise(200000, 3);
  TMemoryStream source(deflateText(data));
  TZDecompressionStream z(source);
  std::string first(1000, '\0');
  z.ReadBuffer(first.data(), 1000);
  source.SetPosition(0);  // someone else used the source meanwhile
  const std::string rest = readAll(z, 4096);
  EXPECT_TRUE(first + rest == data);
}

TEST(SkinZStream, Seeking) {
  const std::string data = noise(50000, 11);
  const std::string packed = deflateText(data);
  TMemoryStream source("0123456789" + packed);
  source.SetPosition(10);
  TZDecompressionStream z(source);
  int progress = 0;
  z.OnProgress = [&](TCustomZStream&) { ++progress; };

  EXPECT_EQ(z.Seek(100, soCurrent), 100);  // skip ahead
  char c;
  z.ReadBuffer(&c, 1);
  EXPECT_EQ(c, data[100]);
  EXPECT_EQ(z.Seek(0, soCurrent), 101);
  EXPECT_EQ(z.Seek(101, soBeginning), 101);  // where it already is
  EXPECT_EQ(z.Seek(30000, soBeginning), 30000);
  z.ReadBuffer(&c, 1);
  EXPECT_EQ(c, data[30000]);
  EXPECT_GE(progress, 1);

  // Back to the start: inflation restarts at the beginning of the zlib data.
  EXPECT_EQ(z.Seek(0, soBeginning), 0);
  std::string again(20, '\0');
  z.ReadBuffer(again.data(), 20);
  EXPECT_EQ(again, data.substr(0, 20));

  EXPECT_EQ(z.Seek(0, soEnd), int64_t(data.size()));
  EXPECT_THROW(z.Seek(5, soBeginning), EZDecompressionError);
  EXPECT_THROW(z.Seek(-1, soCurrent), EZDecompressionError);
  EXPECT_THROW(z.Seek(-1, soEnd), EZDecompressionError);
  try {
    z.Write("x", 1);
    FAIL() << "a decompression stream was written";
  } catch (const EZDecompressionError& e) {
    EXPECT_STREQ(e.what(), "Invalid ZStream operation!");
  }
  // Skipping beyond the end is a read error.
  EXPECT_EQ(z.Seek(0, soBeginning), 0);
  EXPECT_THROW(z.Seek(int64_t(data.size()) + 1, soCurrent), EReadError);
}

TEST(SkinZStream, StartOfTheSourceWhenCreatedThere) {
  const std::string data = "hello hello hello";
  TMemoryStream source(deflateText(data));
  TZDecompressionStream z(source);
  readAll(z, 5);
  EXPECT_EQ(z.Seek(0, soBeginning), 0);
  EXPECT_EQ(source.Position(), 0);
  EXPECT_EQ(readAll(z, 64), data);
}

TEST(SkinZStream, CorruptStreamsRaiseZlibErrors) {
  std::string packed = deflateText(std::string(1000, 'a'));
  packed[0] = 0x79;  // bad header check
  TMemoryStream bad(packed);
  TZDecompressionStream z(bad);
  char buffer[64];
  try {
    z.Read(buffer, sizeof buffer);
    FAIL() << "a corrupt header was accepted";
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.ErrorCode, Z_DATA_ERROR);
    EXPECT_STREQ(e.what(), zError(Z_DATA_ERROR));
  }

  // A stream that needs a preset dictionary cannot be read: an error, not an endless loop.
  z_stream d{};
  ASSERT_EQ(deflateInit(&d, 6), Z_OK);
  const char dict[] = "dictionary words";
  deflateSetDictionary(&d, reinterpret_cast<const Bytef*>(dict), sizeof dict);
  std::string in(200, 'w'), out(400, '\0');
  d.next_in = reinterpret_cast<Bytef*>(in.data());
  d.avail_in = uInt(in.size());
  d.next_out = reinterpret_cast<Bytef*>(out.data());
  d.avail_out = uInt(out.size());
  ASSERT_EQ(deflate(&d, Z_FINISH), Z_STREAM_END);
  out.resize(d.total_out);
  deflateEnd(&d);
  TMemoryStream needsDict(out);
  TZDecompressionStream zd(needsDict);
  try {
    zd.Read(buffer, sizeof buffer);
    FAIL() << "a stream with a preset dictionary was read";
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.ErrorCode, Z_NEED_DICT);
  }
}

TEST(SkinZStream, InflateInitForOtherReaders) {
  const std::string data = noise(3000, 5);
  std::string packed = deflateText(data);
  z_stream s{};
  InflateInit(s);
  std::string out(data.size(), '\0');
  s.next_in = reinterpret_cast<Bytef*>(packed.data());
  s.avail_in = uInt(packed.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = uInt(out.size());
  EXPECT_EQ(inflate(&s, Z_FINISH), Z_STREAM_END);
  inflateEnd(&s);
  EXPECT_TRUE(out == data);
  EXPECT_THROW(ZDecompressCheck(Z_MEM_ERROR), EZDecompressionError);
  EXPECT_EQ(ZDecompressCheck(Z_STREAM_END), Z_STREAM_END);
}

}  // namespace
}  // namespace skin
