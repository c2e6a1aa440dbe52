// JPEG pictures through libjpeg and the screen capture written with them: round trips, libjpeg's errors as
// exceptions, and the capture's file name and directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

extern "C" {
#include <jpeglib.h>
}

#include "gui/jpeg.h"
#include "station/capture_ecran.h"
#include "station/documents.h"
#include "tests/support/temp_dir.h"

namespace {

// A screen of a known picture: four coloured quarters.
class PictureScreen final : public platform::Screen {
 public:
  PictureScreen(int w, int h) : w_(w), h_(h) {}
  bool fails = false;
  bool Capture(platform::ScreenImage& image) override {
    if (fails) return false;
    image.width = w_;
    image.height = h_;
    image.bgra.assign(size_t(w_) * h_ * 4, 0);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        uint8_t* p = &image.bgra[(size_t(y) * w_ + x) * 4];
        const bool right = x >= w_ / 2, bottom = y >= h_ / 2;
        p[2] = right ? 230 : 20;   // red
        p[1] = bottom ? 200 : 40;  // green
        p[0] = 90;                 // blue
      }
    return true;
  }

 private:
  int w_, h_;
};

gui::TBitmap& Gradient(gui::TBitmap& b, int w, int h) {
  b.SetPixelFormat(gui::TPixelFormat::pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < w; ++x, p += 3) {
      p[0] = uint8_t(255 * x / (w - 1));
      p[1] = uint8_t(255 * y / (h - 1));
      p[2] = 128;
    }
  }
  return b;
}

TEST(JpegImage, SavesWithTheDefaultParametersAndReadsBack) {
  gui::TBitmap source;
  Gradient(source, 97, 61);
  gui::TJPEGImage jpeg;
  jpeg.Assign(source);
  const std::string bytes = jpeg.SaveToBytes();
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xD8);
  EXPECT_EQ(bytes.substr(6, 4), "JFIF");

  gui::TJPEGImage back;
  back.LoadFromBytes(bytes);
  EXPECT_EQ(back.Width(), 97);
  EXPECT_EQ(back.Height(), 61);
  gui::TBitmap decoded;
  back.AssignTo(decoded);
  ASSERT_EQ(decoded.Width(), 97);
  int worst = 0;
  for (int y = 0; y < 61; ++y)
    for (int x = 0; x < 97 * 3; ++x)
      worst = std::max(worst, std::abs(int(decoded.ScanLine(y)[x]) - int(source.ScanLine(y)[x])));
  EXPECT_LT(worst, 24);  // quality 75 on a smooth gradient
}

// libjpeg compressing R, G, B rows itself, with its default parameters.
std::string LibjpegFromRgb(const std::vector<uint8_t>& rgb, int w, int h) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(w);
  c.image_height = JDIMENSION(h);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + size_t(c.next_scanline) * size_t(w) * 3);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string bytes(reinterpret_cast<const char*>(out), size);
  std::free(out);
  return bytes;
}

TEST(JpegImage, BitmapRowsOfEitherDepthGiveTheBytesOfRgbRows) {
  // The same picture as 24-bit and as 32-bit rows (with alpha that must not matter), and as R, G, B rows given
  // to libjpeg directly: one JPEG.
  gui::TBitmap b24, b32;
  Gradient(b24, 97, 61);
  b32.SetPixelFormat(gui::TPixelFormat::pf32bit);
  b32.SetSize(97, 61);
  std::vector<uint8_t> rgb;
  for (int y = 0; y < 61; ++y)
    for (int x = 0; x < 97; ++x) {
      const uint8_t* p = b24.ScanLine(y) + x * 3;
      uint8_t* q = b32.ScanLine(y) + x * 4;
      q[0] = p[0], q[1] = p[1], q[2] = p[2], q[3] = uint8_t(x * 7 + y);
      rgb.insert(rgb.end(), {p[2], p[1], p[0]});
    }
  gui::TJPEGImage j24, j32;
  j24.Assign(b24);
  j32.Assign(b32);
  const std::string bytes = j24.SaveToBytes();
  EXPECT_EQ(j32.SaveToBytes(), bytes);
  EXPECT_EQ(LibjpegFromRgb(rgb, 97, 61), bytes);
  // An assigned image shows its decompressed pixels, as the saved file does.
  gui::TJPEGImage loaded;
  loaded.LoadFromBytes(bytes);
  EXPECT_EQ(j32.Pixels(), loaded.Pixels());
  gui::TBitmap shown;
  j32.AssignTo(shown);
  EXPECT_EQ(shown.Width(), 97);
  EXPECT_EQ(shown.ScanLine(60)[96 * 3], loaded.Pixels()[(60 * 97 + 96) * 3 + 2]);
  // Assigning an empty bitmap empties the image.
  j32.Assign(gui::TBitmap());
  EXPECT_TRUE(j32.Empty());
  EXPECT_THROW(j32.SaveToBytes(), gui::EJPEG);
}

TEST(JpegImage, LibjpegErrorsBecomeExceptions) {
  gui::TJPEGImage jpeg;
  EXPECT_THROW(jpeg.LoadFromBytes(""), gui::EJPEG);
  EXPECT_THROW(jpeg.LoadFromBytes("not a picture at all"), gui::EJPEG);
  gui::TBitmap source;
  jpeg.Assign(Gradient(source, 40, 30));
  const std::string good = jpeg.SaveToBytes();
  // Cut inside the header: an error. Cut inside the data: libjpeg fills in what is missing.
  EXPECT_THROW(jpeg.LoadFromBytes(good.substr(0, 120)), gui::EJPEG);
  gui::TJPEGImage partial;
  partial.LoadFromBytes(good.substr(0, good.size() - 40));
  EXPECT_EQ(partial.Width(), 40);
  // A frame header that claims 65000 x 65000 pixels is refused before anything is allocated.
  std::string huge = good;
  const size_t sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = char(0xFD);
  huge[sof + 6] = char(0xE8);
  huge[sof + 7] = char(0xFD);
  huge[sof + 8] = char(0xE8);
  EXPECT_THROW(jpeg.LoadFromBytes(huge), gui::EJPEG);
  // The object still holds its last good picture.
  EXPECT_EQ(jpeg.Width(), 40);
  gui::TJPEGImage empty;
  EXPECT_THROW(empty.SaveToBytes(), gui::EJPEG);
  EXPECT_THROW(jpeg.SaveToFile(testsupport::TempDir().file("missing-dir/x.jpg")), gui::EJPEG);
  EXPECT_THROW(jpeg.LoadFromFile(testsupport::TempDir().file("absent.jpg")), gui::EJPEG);
}

TEST(ScreenCapture, WritesAJpegOfTheScreenInScreen) {
  testsupport::TempDir dir;
  platform::SimulatedClock clock(1000, 1798761600000LL + ((13 * 60 + 4) * 60 + 5) * 1000LL);
  autex::Horodatage horodatage(clock);
  autex::Langues langues;
  PictureScreen screen(160, 120);
  std::string file, error;
  ASSERT_TRUE(station::Capture_ecran(dir.path().string(), horodatage, screen, langues, file, error)) << error;
  EXPECT_EQ(error, "");
  const std::filesystem::path expected = dir.path() / "SCREEN" / "Screen 2027-01-01 13h04m05s.JPG";
  EXPECT_EQ(std::filesystem::path(file), expected);
  ASSERT_TRUE(std::filesystem::exists(expected));

  gui::TJPEGImage jpeg;
  jpeg.LoadFromFile(file);
  ASSERT_EQ(jpeg.Width(), 160);
  ASSERT_EQ(jpeg.Height(), 120);
  auto pixel = [&](int x, int y) { return &jpeg.Pixels()[(size_t(y) * 160 + x) * 3]; };
  EXPECT_NEAR(pixel(20, 20)[0], 20, 8);
  EXPECT_NEAR(pixel(140, 20)[0], 230, 8);
  EXPECT_NEAR(pixel(140, 100)[1], 200, 8);
  EXPECT_NEAR(pixel(20, 100)[2], 90, 8);

  // A second capture in the same second replaces the first; the directory exists already.
  ASSERT_TRUE(station::Capture_ecran(dir.path().string(), horodatage, screen, langues, file, error));
  EXPECT_EQ(std::filesystem::path(file), expected);
}

TEST(ScreenCapture, AFailedWriteLeavesNoPartOfAJpeg) {
  testsupport::TempDir dir;
  platform::SimulatedClock clock(1000, 1798761600000LL);
  autex::Horodatage horodatage(clock);
  autex::Langues langues;
  PictureScreen screen(160, 120);
  // The capture's name is taken by a directory: the file cannot be put there.
  const std::filesystem::path nom = dir.path() / "SCREEN" / station::Nom_capture_ecran(horodatage);
  std::filesystem::create_directories(nom);
  std::string file, error;
  EXPECT_FALSE(station::Capture_ecran(dir.path().string(), horodatage, screen, langues, file, error));
  EXPECT_EQ(file, "");
  EXPECT_EQ(error, "Impossible to save the screen in the file " + nom.string());
  std::vector<std::string> entries;
  for (const auto& e : std::filesystem::directory_iterator(dir.path() / "SCREEN"))
    entries.push_back(e.path().filename().string());
  EXPECT_EQ(entries, std::vector<std::string>{nom.filename().string()});
  EXPECT_TRUE(std::filesystem::is_empty(nom));
}

TEST(ScreenCapture, NoScreenGivesAMessageAndNoFile) {
  testsupport::TempDir dir;
  platform::SimulatedClock clock;
  autex::Horodatage horodatage(clock);
  autex::Langues langues;
  langues.Langue = autex::LANGUE_FRANCAIS;
  PictureScreen screen(10, 10);
  screen.fails = true;
  std::string file, error;
  EXPECT_FALSE(station::Capture_ecran(dir.path().string(), horodatage, screen, langues, file, error));
  EXPECT_EQ(file, "");
  EXPECT_EQ(error, "L'\xE9" "cran n'a pas pu \xEAtre copi\xE9");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "SCREEN"));
}

}  // namespace

namespace {

TEST(HelpPage, ChosenByLanguageAndHandedToTheShell) {
  autex::Langues langues;
  platform::RecordingShell shell;
  EXPECT_EQ(station::Page_aide(langues), "HELP_VORNATEL.HTM");
  langues.Langue = autex::LANGUE_FRANCAIS;
  EXPECT_EQ(station::Page_aide(langues), "AIDE_VORNATEL.HTM");
  void* owner = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(station::Ouvre_document(shell, owner, station::Page_aide(langues), "", "", platform::kShowNormal), 42);
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].owner, owner);
  EXPECT_EQ(shell.requests[0].document, "AIDE_VORNATEL.HTM");
  EXPECT_EQ(shell.requests[0].parameters, "");
  EXPECT_EQ(shell.requests[0].showMode, 1);
  // Texts longer than 255 characters reach the shell whole.
  station::Ouvre_document(shell, nullptr, std::string(300, 'a'), std::string(256, 'p'), "dir", 1);
  EXPECT_EQ(shell.requests[1].document, std::string(300, 'a'));
  EXPECT_EQ(shell.requests[1].parameters, std::string(256, 'p'));
  EXPECT_EQ(shell.requests[1].directory, "dir");
}

}  // namespace
