// The file system side of FONCTIONS_FICHIERS on Windows: the multimedia file API for the text routines,
// the directory search and the file attributes for the tests.
#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "autex/fonctions_fichiers.h"

namespace autex::detail {

namespace {
std::vector<char> writableName(const std::string& name) {
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  return buffer;
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
  HANDLE h = CreateFileA(from.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const BOOL flushed = FlushFileBuffers(h);
  CloseHandle(h);
  if (!flushed) return false;
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void os_remove_file(const std::string& name) { DeleteFileA(name.c_str()); }

bool os_file_exists(const std::string& name) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(name.c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    FindClose(find);
    return true;
  }
  if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  std::vector<char> n = writableName(name);
  MMIOINFO info{};
  return mmioOpenA(n.data(), &info, MMIO_EXIST) != nullptr;
}

void os_make_writable(const std::string& name) { SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_ARCHIVE); }

bool os_make_directory(const std::string& name) {
  return CreateDirectoryA(name.c_str(), nullptr) != 0 || os_is_directory(name);
}

bool os_is_directory(const std::string& name) {
  const DWORD a = GetFileAttributesA(name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void os_set_current_directory(const std::string& name) { SetCurrentDirectoryA(name.c_str()); }

}  // namespace autex::detail
