// The file system side of FONCTIONS_FICHIERS for the native build (stdio and POSIX calls).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "autex/fonctions_fichiers.h"

namespace autex::detail {

TextWriteResult os_write_text(const std::string& name, std::string_view text) {
  TextWriteResult r;
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return r;
  r.opened = true;
  r.written = int64_t(std::fwrite(text.data(), 1, text.size(), f));
  if (std::fflush(f) != 0 || ::fsync(fileno(f)) != 0) r.close_code = errno ? errno : 1;
  if (std::fclose(f) != 0 && r.close_code == 0) r.close_code = errno ? errno : 1;
  return r;
}

bool os_replace_file(const std::string& from, const std::string& to) {
  int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  if (!synced || ::rename(from.c_str(), to.c_str()) != 0) return false;
  // The new name survives a power cut too.
  const size_t sep = to.find_last_of('/');
  const std::string directory = sep == std::string::npos ? "." : (sep == 0 ? "/" : to.substr(0, sep));
  fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}

void os_remove_file(const std::string& name) { ::unlink(name.c_str()); }

TextReadResult os_read_text(const std::string& name, int32_t capacity) {
  TextReadResult r;
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return r;
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return r;
  r.opened = true;
  std::vector<char> buffer(size_t(capacity > 0 ? capacity : 0) + 1);
  const size_t n = std::fread(buffer.data(), 1, size_t(capacity > 0 ? capacity : 0), f);
  if (std::ferror(f)) {
    r.count = -1;
  } else {
    r.count = int64_t(n);
    r.bytes.assign(buffer.data(), n);
  }
  if (std::fclose(f) != 0) r.close_code = errno ? errno : 1;
  return r;
}

bool os_file_exists(const std::string& name) {
  struct stat st {};
  return ::lstat(name.c_str(), &st) == 0;
}

void os_make_writable(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0) ::chmod(name.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

bool os_make_directory(const std::string& name) { return ::mkdir(name.c_str(), 0777) == 0 || os_is_directory(name); }

bool os_is_directory(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::FILE* os_open_file(const std::string& name, const char* mode) { return std::fopen(name.c_str(), mode); }

void os_set_current_directory(const std::string& name) {
  if (::chdir(name.c_str()) != 0) {
    // The working directory has gone: nothing sensible to fall back to; the next file call reports it.
  }
}

}  // namespace autex::detail
