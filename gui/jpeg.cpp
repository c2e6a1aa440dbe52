#include "gui/jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

namespace gui {
namespace {

// libjpeg's error manager, leaving by longjmp instead of exit. Between setjmp and the end of each libjpeg
// block below only plain data lives, so no destructor is skipped.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OutputMessage(j_common_ptr) {}

void InitErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = OutputMessage;
  err.message[0] = '\0';
}

// Compresses width x height rows in the given colour space, `components` bytes a pixel, row y at row(y); 0 on
// success (out and size from jpeg_mem_dest, freed by the caller), else the message is in err.
template <class Row>
int Compress(ErrorManager& err, Row row, int width, int height, int components, J_COLOR_SPACE space,
             unsigned char** out, unsigned long* size) {
  jpeg_compress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = &err.pub;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return 1;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, out, size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  JSAMPROW rows[16];
  while (cinfo.next_scanline < cinfo.image_height) {
    const JDIMENSION n = std::min<JDIMENSION>(16, cinfo.image_height - cinfo.next_scanline);
    for (JDIMENSION i = 0; i < n; ++i) rows[i] = row(static_cast<int>(cinfo.next_scanline + i));
    jpeg_write_scanlines(&cinfo, rows, n);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return 0;
}

// The JPEG data of libjpeg's output, which is freed; EJPEG when the compression failed.
std::string TakeOutput(int failed, const ErrorManager& err, unsigned char* out, unsigned long size) {
  std::string result;
  if (!failed && out) result.assign(reinterpret_cast<const char*>(out), size);
  std::free(out);
  if (failed) throw EJPEG(std::string("JPEG error: ") + err.message);
  return result;
}

// Reads the header; 0 with the size, or 1 (message in err).
struct Decoder {
  jpeg_decompress_struct cinfo;
};

int ReadHeader(ErrorManager& err, Decoder& d, const std::string& bytes, int& width, int& height) {
  std::memset(&d.cinfo, 0, sizeof d.cinfo);
  d.cinfo.err = &err.pub;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&d.cinfo);
    return 1;
  }
  jpeg_create_decompress(&d.cinfo);
  jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  width = static_cast<int>(d.cinfo.image_width);
  height = static_cast<int>(d.cinfo.image_height);
  return 0;
}

// Decodes into rgb (sized width x height x 3 by the caller); always destroys the decoder.
int Decompress(ErrorManager& err, Decoder& d, uint8_t* rgb, int width, int height) {
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&d.cinfo);
    return 1;
  }
  d.cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.cinfo);
  if (static_cast<int>(d.cinfo.output_width) != width || static_cast<int>(d.cinfo.output_height) != height ||
      d.cinfo.output_components != 3) {
    std::strcpy(err.message, "Unexpected JPEG output layout");
    jpeg_destroy_decompress(&d.cinfo);
    return 1;
  }
  const size_t stride = static_cast<size_t>(width) * 3;
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    JSAMPROW row = rgb + d.cinfo.output_scanline * stride;
    jpeg_read_scanlines(&d.cinfo, &row, 1);
  }
  jpeg_finish_decompress(&d.cinfo);
  jpeg_destroy_decompress(&d.cinfo);
  return 0;
}

}  // namespace

void TJPEGImage::Assign(const TBitmap& bitmap) {
  std::string jpeg;
  if (!bitmap.Empty()) {
    ErrorManager err;
    InitErrors(err);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int w = bitmap.Width(), h = bitmap.Height(), bpp = bitmap.BytesPerPixel();
#if defined(JCS_EXTENSIONS)
    const int failed = Compress(
        err, [&](int y) { return const_cast<JSAMPROW>(bitmap.ScanLine(y)); }, w, h, bpp,
        bpp == 3 ? JCS_EXT_BGR : JCS_EXT_BGRX, &out, &size);
#else
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * 3);
    const int failed = Compress(
        err,
        [&](int y) {  // one row at a time (the rows given to libjpeg are consumed before the next call)
          const uint8_t* s = bitmap.ScanLine(y);
          for (int x = 0; x < w; ++x, s += bpp) {
            rgb[3 * static_cast<size_t>(x)] = s[2];
            rgb[3 * static_cast<size_t>(x) + 1] = s[1];
            rgb[3 * static_cast<size_t>(x) + 2] = s[0];
          }
          return rgb.data();
        },
        w, h, 3, JCS_RGB, &out, &size);
#endif
    jpeg = TakeOutput(failed, err, out, size);
  }
  width_ = bitmap.Empty() ? 0 : bitmap.Width();
  height_ = bitmap.Empty() ? 0 : bitmap.Height();
  jpeg_ = std::move(jpeg);
  rgb_.clear();
}

const std::vector<uint8_t>& TJPEGImage::Pixels() const {
  if (rgb_.empty() && !jpeg_.empty()) {
    TJPEGImage decoded;
    decoded.LoadFromBytes(jpeg_);
    rgb_ = std::move(decoded.rgb_);
  }
  return rgb_;
}

void TJPEGImage::AssignTo(TBitmap& bitmap) const {
  const std::vector<uint8_t>& rgb = Pixels();
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(width_, height_);
  for (int y = 0; y < height_; ++y) {
    const uint8_t* s = rgb.data() + static_cast<size_t>(y) * width_ * 3;
    uint8_t* d = bitmap.ScanLine(y);
    for (int x = 0; x < width_; ++x, s += 3, d += 3) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
    }
  }
}

std::string TJPEGImage::SaveToBytes() const {
  if (Empty()) throw EJPEG("Cannot save an empty JPEG image");
  if (!jpeg_.empty()) return jpeg_;
  ErrorManager err;
  InitErrors(err);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const size_t stride = static_cast<size_t>(width_) * 3;
  const int failed = Compress(
      err, [&](int y) { return const_cast<JSAMPROW>(rgb_.data() + static_cast<size_t>(y) * stride); }, width_,
      height_, 3, JCS_RGB, &out, &size);
  return TakeOutput(failed, err, out, size);
}

void TJPEGImage::SaveToFile(const std::string& path) const {
  const std::string bytes = SaveToBytes();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw EJPEG("Cannot create " + path);
  const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
  const int closed = std::fclose(f);
  if (written != bytes.size() || closed != 0) throw EJPEG("Cannot write " + path);
}

void TJPEGImage::LoadFromBytes(const std::string& bytes) {
  ErrorManager err;
  InitErrors(err);
  Decoder d;
  int w = 0, h = 0;
  if (ReadHeader(err, d, bytes, w, h)) throw EJPEG(std::string("JPEG error: ") + err.message);
  if (w <= 0 || h <= 0 || int64_t(w) * h > kMaxPixels) {
    jpeg_destroy_decompress(&d.cinfo);
    throw EJPEG("JPEG image too large");
  }
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  if (Decompress(err, d, rgb.data(), w, h)) throw EJPEG(std::string("JPEG error: ") + err.message);
  width_ = w;
  height_ = h;
  rgb_ = std::move(rgb);
  jpeg_.clear();
}

void TJPEGImage::LoadFromFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw EJPEG("Cannot open " + path);
  std::string bytes;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  const bool error = std::ferror(f) != 0;
  std::fclose(f);
  if (error) throw EJPEG("Cannot read " + path);
  LoadFromBytes(bytes);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const {
  if (Empty()) return;
  TBitmap bitmap;
  AssignTo(bitmap);
  canvas.StretchDraw(rect, bitmap);
}

void RegisterJpegFileFormats() {
  auto make = [] { return std::unique_ptr<TGraphic>(std::make_unique<TJPEGImage>()); };
  TPicture::RegisterFileFormat("jpeg", "JPEG Image File", "TJPEGImage", make);
  TPicture::RegisterFileFormat("jpg", "JPEG Image File", "TJPEGImage", make);
}

void UnregisterJpegFileFormats() { TPicture::UnregisterGraphicClass("TJPEGImage"); }

}  // namespace gui
