// The program's resources in the Windows program: resources of the running module (station.exe).
#include <windows.h>

#include <string>

#include "station/program_resources.h"

namespace station {

namespace {

std::string_view resource(std::string_view name, LPCSTR type) {
  const std::string n(name);
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, n.c_str(), type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const DWORD size = SizeofResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data || size == 0) return {};
  return std::string_view(static_cast<const char*>(data), size);
}

void put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string_view ProgramResourceData(std::string_view name) { return resource(name, MAKEINTRESOURCEA(10)); }

std::string ProgramBitmapResource(std::string_view name) {
  // A bitmap resource is a bitmap file without its file header: the header is put back in front.
  const std::string_view dib = resource(name, MAKEINTRESOURCEA(2));
  if (dib.size() < 40) return {};
  auto le32 = [&](size_t at) {
    return uint32_t(uint8_t(dib[at])) | (uint32_t(uint8_t(dib[at + 1])) << 8) | (uint32_t(uint8_t(dib[at + 2])) << 16) |
           (uint32_t(uint8_t(dib[at + 3])) << 24);
  };
  const uint32_t header = le32(0);
  const uint32_t bits = uint32_t(uint8_t(dib[14])) | (uint32_t(uint8_t(dib[15])) << 8);
  uint32_t colours = header >= 40 ? le32(32) : 0;
  if (colours == 0 && bits <= 8) colours = 1u << bits;
  const uint32_t compression = header >= 40 ? le32(16) : 0;
  const uint32_t masks = (header == 40 && compression == 3) ? 12 : 0;
  std::string file = "BM";
  put32(file, uint32_t(14 + dib.size()));
  put32(file, 0);
  put32(file, 14 + header + masks + colours * 4);
  file.append(dib.data(), dib.size());
  return file;
}

}  // namespace station
