// The file system side of FONCTIONS_FICHIERS on Windows: the multimedia file API for the text routines,
// the directory search and the file attributes for the tests. Everything but the multimedia calls reaches
// paths of any length: a received file may lie deeper than MAX_PATH allows, and is then written, moved into
// place and cleaned up all the same.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <string>
#include <vector>

#include "autex/fonctions_fichiers.h"

namespace autex::detail {

namespace {
std::vector<char> writableName(const std::string& name) {
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  return buffer;
}
// The wide form of a path, in its long form ("\\?\" and the full path) when it is too long for the ordinary
// one: a directory's path may have at most MAX_PATH less 12 characters, a file's MAX_PATH less 1.
std::wstring chemin_large(const std::string& name) {
  std::wstring w;
  if (name.empty()) return w;
  const int n = MultiByteToWideChar(CP_ACP, 0, name.data(), int(name.size()), nullptr, 0);
  if (n <= 0) return w;
  w.resize(size_t(n));
  MultiByteToWideChar(CP_ACP, 0, name.data(), int(name.size()), w.data(), n);
  if (w.size() < MAX_PATH - 12 || w.rfind(L"\\\\?\\", 0) == 0) return w;
  const DWORD m = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (m == 0) return w;
  std::wstring full(m, L'\0');
  const DWORD k = GetFullPathNameW(w.c_str(), m, full.data(), nullptr);
  if (k == 0 || k >= m) return w;
  full.resize(k);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}
}  // namespace

TextWriteResult os_write_text(const std::string& name, std::string_view text) {
  TextWriteResult r;
  std::vector<char> n = writableName(name);
  HMMIO h = mmioOpenA(n.data(), nullptr, MMIO_CREATE | MMIO_WRITE);
  if (!h) return r;
  r.opened = true;
  if (text.empty()) {
    r.written = 0;
  } else {
    const LONG w = mmioWrite(h, text.data(), LONG(text.size()));
    r.written = w;
  }
  r.close_code = int(mmioClose(h, 0));
  return r;
}

TextReadResult os_read_text(const std::string& name, int32_t capacity) {
  TextReadResult r;
  std::vector<char> n = writableName(name);
  HMMIO h = mmioOpenA(n.data(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
  if (!h) return r;
  r.opened = true;
  std::vector<char> buffer(size_t(capacity > 0 ? capacity : 0) + 1);
  const LONG count = mmioRead(h, buffer.data(), LONG(capacity > 0 ? capacity : 0));
  r.count = count;
  if (count > 0) r.bytes.assign(buffer.data(), size_t(count));
  r.close_code = int(mmioClose(h, 0));
  return r;
}

bool os_replace_file(const std::string& from, const std::string& to) {
  // The data reaches the disk before the name changes.
  const std::wstring source = chemin_large(from);
  HANDLE h = CreateFileW(source.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const BOOL flushed = FlushFileBuffers(h);
  CloseHandle(h);
  if (!flushed) return false;
  return MoveFileExW(source.c_str(), chemin_large(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void os_remove_file(const std::string& name) { DeleteFileW(chemin_large(name).c_str()); }

bool os_file_exists(const std::string& name) {
  const std::wstring w = chemin_large(name);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(w.c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    FindClose(find);
    return true;
  }
  if (GetFileAttributesW(w.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  if (name.size() >= MAX_PATH) return false;
  std::vector<char> n = writableName(name);
  MMIOINFO info{};
  return mmioOpenA(n.data(), &info, MMIO_EXIST) != nullptr;
}

void os_make_writable(const std::string& name) { SetFileAttributesW(chemin_large(name).c_str(), FILE_ATTRIBUTE_ARCHIVE); }

bool os_make_directory(const std::string& name) {
  return CreateDirectoryW(chemin_large(name).c_str(), nullptr) != 0 || os_is_directory(name);
}

bool os_is_directory(const std::string& name) {
  const DWORD a = GetFileAttributesW(chemin_large(name).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void os_set_current_directory(const std::string& name) { SetCurrentDirectoryA(name.c_str()); }

std::FILE* os_open_file(const std::string& name, const char* mode) {
  const std::wstring w = chemin_large(name);
  std::wstring m;
  for (const char* c = mode; *c; ++c) m.push_back(wchar_t(*c));
  return _wfopen(w.c_str(), m.c_str());
}

}  // namespace autex::detail
