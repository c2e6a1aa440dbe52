// The headless side of the general utilities: system settings answered by a PortableSkinSystem, and the file
// helpers on POSIX (paths written with '\' are taken with '/').
#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "skin/data/generalutils.h"

namespace skin {

SkinSystem& systemSkinSystem() {
  static PortableSkinSystem system;
  return system;
}

namespace {

std::string nativePath(const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

struct DirSearch {
  DIR* dir = nullptr;
  std::string directory;  // with a trailing '/'
  std::string mask;
  int32_t excluded = 0;
  ~DirSearch() {
    if (dir) closedir(dir);
  }
};

// Fills F from the next entry of the search that matches; 0 when one was found.
int nextMatch(DirSearch& s, TSearchRec& F) {
  while (dirent* e = readdir(s.dir)) {
    if (fnmatch(s.mask.c_str(), e->d_name, FNM_CASEFOLD) != 0) continue;
    struct stat st;
    const std::string full = s.directory + e->d_name;
    if (stat(full.c_str(), &st) != 0) continue;
    int32_t attr = 0;
    if (S_ISDIR(st.st_mode)) attr |= faDirectory;
    else attr |= faArchive;
    if (e->d_name[0] == '.' && std::string(e->d_name) != "." && std::string(e->d_name) != "..") attr |= faHidden;
    if (access(full.c_str(), W_OK) != 0) attr |= faReadOnly;
    if (attr & s.excluded) continue;
    F.Name = e->d_name;
    F.Attr = attr;
    F.Size = S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
    return 0;
  }
  return 18;  // no more files
}

}  // namespace

bool DirectoryExists(const std::string& Path) {
  struct stat st;
  return !Path.empty() && stat(nativePath(Path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& Path) {
  struct stat st;
  return !Path.empty() && stat(nativePath(Path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int FindFirstEntry(const std::string& Pattern, int32_t Attr, TSearchRec& F) {
  FindCloseEntry(F);
  const std::string p = nativePath(Pattern);
  auto s = std::make_shared<DirSearch>();
  const size_t slash = p.rfind('/');
  s->directory = slash == std::string::npos ? std::string("./") : p.substr(0, slash + 1);
  s->mask = slash == std::string::npos ? p : p.substr(slash + 1);
  s->excluded = ~Attr & (faHidden | faSysFile | faDirectory);
  s->dir = opendir(s->directory.c_str());
  if (!s->dir) return 3;  // path not found
  const int r = nextMatch(*s, F);
  if (r == 0) F.Handle = s;
  return r;
}

int FindNextEntry(TSearchRec& F) {
  if (!F.Handle) return 18;
  return nextMatch(*static_cast<DirSearch*>(F.Handle.get()), F);
}

void FindCloseEntry(TSearchRec& F) { F.Handle.reset(); }

std::string FindFileNoCase(const std::string& Path) {
  const std::string p = nativePath(Path);
  if (p.empty()) return std::string();
  if (FileExists(p)) return p;
  // Walk the components, each matched without regard to case in the directory reached so far.
  std::string current = p[0] == '/' ? "/" : "";
  size_t from = p[0] == '/' ? 1 : 0;
  while (from <= p.size()) {
    size_t slash = p.find('/', from);
    if (slash == std::string::npos) slash = p.size();
    const std::string part = p.substr(from, slash - from);
    const bool last = slash == p.size();
    from = slash + 1;
    if (part.empty() || part == ".") {
      if (last) return std::string();
      continue;
    }
    const std::string dirName = current.empty() ? std::string(".") : current;
    std::string found;
    if (part == "..") {
      found = part;
    } else if (DIR* dir = opendir(dirName.c_str())) {
      while (dirent* e = readdir(dir)) {
        if (strcasecmp(e->d_name, part.c_str()) == 0) {
          found = e->d_name;
          if (found == part) break;  // an exact match wins over others
        }
      }
      closedir(dir);
    }
    if (found.empty()) return std::string();
    current += found;
    if (last) return FileExists(current) ? current : std::string();
    current += '/';
  }
  return std::string();
}

std::string AppPath() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  std::string path(buffer, size_t(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace skin
