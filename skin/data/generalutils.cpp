// The portable part of the general utilities: skin description text, numbers, words, published properties
// and path helpers. The operating-system side is in generalutils_win32.cpp / generalutils_posix.cpp.
#include "skin/data/generalutils.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace skin {

// ---------------------------------------------------------------------------------------------------------
// Numbers.

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
  return true;
}

}  // namespace

bool TryStrToInt(std::string_view text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size()) return false;
  bool hex = false;
  if (text[i] == '$') {
    hex = true;
    ++i;
  } else if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return false;
  if (hex) {
    uint64_t v = 0;
    for (; i < text.size(); ++i) {
      const int d = hexDigit(text[i]);
      if (d < 0) return false;
      v = v * 16 + uint64_t(d);
      if (v > 0xFFFFFFFFull) return false;
    }
    uint32_t u = uint32_t(v);
    if (negative) u = 0u - u;
    value = int32_t(u);
    return true;
  }
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + uint64_t(c - '0');
    if (v > 2147483648ull) return false;
  }
  if (!negative && v > 2147483647ull) return false;
  value = negative ? int32_t(-int64_t(v)) : int32_t(v);
  return true;
}

bool IsNumberPast32Bits(std::string_view text) {
  int32_t fits = 0;
  if (TryStrToInt(text, fits)) return false;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return false;
  for (; i < text.size(); ++i)
    if (hex ? hexDigit(text[i]) < 0 : (text[i] < '0' || text[i] > '9')) return false;
  return true;
}

int32_t StrToIntDef(std::string_view text, int32_t Default) {
  int32_t v = 0;
  return TryStrToInt(text, v) ? v : Default;
}

int32_t StrToInt(std::string_view text) {
  int32_t v = 0;
  if (!TryStrToInt(text, v)) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return v;
}

std::string FloatToStrDot(double value) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string("0");
}

double StrToFloatDefDot(std::string_view text, double Default) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  std::string_view t = text.substr(b, e - b);
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  // Only digits, one '.', and an exponent: no "inf", "nan" or hexadecimal floats.
  if (t.empty() || !(t[0] == '.' || (t[0] >= '0' && t[0] <= '9'))) return Default;
  for (char c : t)
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-')) return Default;
  double v = 0.0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return Default;
  return negative ? -v : v;
}

// ---------------------------------------------------------------------------------------------------------
// Skin description text.

int TIniSections::IndexOf(std::string_view Name) const {
  const auto it = first_.find(Name);
  return it == first_.end() ? -1 : it->second;
}

int TIniSections::Add(std::string Name) {
  const int index = int(sections_.size());
  first_.emplace(Name, index);
  sections_.push_back(Section{std::move(Name), {}});
  return index;
}

std::vector<std::string> TIniSections::Keys(int index) const {
  std::vector<std::string> keys;
  for (const std::string& line : sections_[size_t(index)].Lines) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) keys.push_back(line.substr(0, eq));
  }
  return keys;
}

bool TIniSections::FindValue(std::string_view Section, std::string_view Key, std::string& value) const {
  const int s = IndexOf(Section);
  if (s < 0) return false;
  const auto& lines = sections_[size_t(s)].Lines;
  const int k = IndexOfName(lines, Key);
  if (k < 0) return false;
  value = lines[size_t(k)].substr(Key.size() + 1);
  return true;
}

int IndexOfName(const std::vector<std::string>& Lines, std::string_view Key) {
  for (size_t i = 0; i < Lines.size(); ++i) {
    const std::string& line = Lines[i];
    const size_t eq = line.find('=');
    if (eq != std::string::npos && std::string_view(line).substr(0, eq) == Key) return int(i);
  }
  return -1;
}

std::vector<std::string> TextToLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

namespace {

// The characters of code page 1252 from 0x80 to 0x9F (0: none).
constexpr uint16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char cp1252Of(uint32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
  for (size_t i = 0; i < 32; ++i)
    if (kCp1252High[i] == c) return char(0x80 + i);
  return '?';
}

}  // namespace

std::string DescriptionText(std::string_view raw) {
  if (raw.size() < 2) return std::string(raw);
  const bool little = uint8_t(raw[0]) == 0xFF && uint8_t(raw[1]) == 0xFE;
  const bool big = uint8_t(raw[0]) == 0xFE && uint8_t(raw[1]) == 0xFF;
  if (!little && !big) return std::string(raw);
  std::string text;
  text.reserve(raw.size() / 2);
  for (size_t i = 2; i + 1 < raw.size(); i += 2) {
    const uint32_t lo = uint8_t(raw[i + (big ? 1 : 0)]), hi = uint8_t(raw[i + (big ? 0 : 1)]);
    const uint32_t unit = hi << 8 | lo;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < raw.size()) i += 2;  // a pair: one character beyond the page
    text += cp1252Of(unit);
  }
  return text;
}

namespace {

// The text without the blanks (spaces, tabs and other control characters) at either end.
std::string_view trimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && uint8_t(s[b]) <= ' ') ++b;
  while (e > b && uint8_t(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

void IniTextToSections(const std::vector<std::string>& Lines, TIniSections& Sections) {
  Sections.Clear();
  int current = -1;
  for (size_t i = 0; i < Lines.size(); ++i) {
    std::string_view line = Lines[i];
    if (i == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    line = trimBlanks(line);
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = Sections.Add(std::string(trimBlanks(line.substr(1, line.size() - 2))));
    } else if (current < 0) {
      Sections.Unsectioned.emplace_back(line);
    } else {
      const size_t eq = line.find('=');
      const std::string_view key = trimBlanks(line.substr(0, eq)), value = trimBlanks(line.substr(eq + 1));
      if (eq == std::string_view::npos || key.size() + 1 + value.size() == line.size()) {
        Sections.AddLine(current, std::string(line));
      } else {
        std::string kv(key);
        kv += '=';
        kv += value;
        Sections.AddLine(current, std::move(kv));
      }
    }
  }
}

std::string ReadIniValue(const IniSource& Sections, std::string_view Section, std::string_view Default,
                         std::string_view Key) {
  std::string value;
  if (Sections.FindValue(Section, Key, value)) return value;
  return std::string(Default);
}

int32_t IniTextToInt(std::string_view value, int32_t Default) {
  if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
    std::string hex = "$";
    hex.append(value.substr(2));
    return StrToIntDef(hex, Default);
  }
  return StrToIntDef(value, Default);
}

int32_t ReadIniInt(const IniSource& Sections, std::string_view Section, int32_t Default, std::string_view Key) {
  std::string value;
  if (!Sections.FindValue(Section, Key, value)) return Default;
  return IniTextToInt(value, Default);
}

// ---------------------------------------------------------------------------------------------------------
// Numbers, choices and sets.

bool ValueInIntArray(std::span<const int32_t> Arr, int32_t Value, int Low, int High) {
  if (High < Low || Arr.empty()) return false;
  if (Low < 0) Low = 0;
  if (High >= int(Arr.size())) High = int(Arr.size()) - 1;
  for (int i = Low; i <= High; ++i)
    if (Arr[size_t(i)] == Value) return true;
  return false;
}

TCharSet MakeCharSet(std::string_view chars) {
  TCharSet set;
  for (char c : chars) set.set(uint8_t(c));
  return set;
}

// ---------------------------------------------------------------------------------------------------------
// Words.

int WordPosition(int N, std::string_view S, const TCharSet& Separators) {
  int count = 0;
  size_t i = 0;  // 0-based here, 1-based in the result
  while (i < S.size() && count != N) {
    while (i < S.size() && CharInSet(S[i], Separators)) ++i;
    if (i < S.size()) ++count;
    if (count != N) {
      while (i < S.size() && !CharInSet(S[i], Separators)) ++i;
    } else {
      return int(i) + 1;
    }
  }
  return 0;
}

std::string ExtractWord(int N, std::string_view S, const TCharSet& Separators) {
  const int pos = WordPosition(N, S, Separators);
  if (pos == 0) return std::string();
  size_t end = size_t(pos - 1);
  while (end < S.size() && !CharInSet(S[end], Separators)) ++end;
  return std::string(S.substr(size_t(pos - 1), end - size_t(pos - 1)));
}

int WordCount(std::string_view S, const TCharSet& Separators) {
  int count = 0;
  size_t i = 0;
  while (i < S.size()) {
    while (i < S.size() && CharInSet(S[i], Separators)) ++i;
    if (i < S.size()) ++count;
    while (i < S.size() && !CharInSet(S[i], Separators)) ++i;
  }
  return count;
}

int WordCountB(std::string_view S, const TCharSet& Separators) {
  // Counts the starts of words: a non-separator at the beginning or after a separator.
  int count = 0;
  bool inWord = false;
  for (char c : S) {
    const bool sep = CharInSet(c, Separators);
    if (!sep && !inWord) ++count;
    inWord = !sep;
  }
  return count;
}

std::string RemoveCharFromString(std::string_view S, char Ch) {
  std::string r;
  r.reserve(S.size());
  for (char c : S)
    if (c != Ch) r.push_back(c);
  return r;
}

std::string ReplaceAllStr(std::string_view S, std::string_view Old, std::string_view New) {
  if (Old.empty()) return std::string(S);
  std::string r;
  size_t from = 0;
  while (true) {
    const size_t p = S.find(Old, from);
    if (p == std::string_view::npos) break;
    r.append(S.substr(from, p - from));
    r.append(New);
    from = p + Old.size();
  }
  r.append(S.substr(from));
  return r;
}

// ---------------------------------------------------------------------------------------------------------
// System.

void PortableSkinSystem::ShowErrorBox(const std::string& Text, uintptr_t) {
  errorBoxes.push_back(Text);
  std::fprintf(stderr, "Error: %s\n", Text.c_str());
}

void PortableSkinSystem::ShowMessageBox(TSkinMessageKind Kind, const std::string& Text, uintptr_t Owner) {
  messageBoxes.push_back(MessageBox{Kind, Text, Owner});
}

int32_t PortableSkinSystem::SystemMetric(int index) {
  switch (index) {
    case smCXVSCROLL:
    case smCXHSCROLL: return hScrollArrowWidth;
    case smCXFRAME:
    case smCYFRAME: return frameWidth;
    default: return 0;
  }
}

std::string PortableSkinSystem::ProgramDirectory() {
  return programDirectory.empty() ? AppPath() : programDirectory;
}

uint8_t Wow64NoComposition(SkinSystem& s) { return (s.IsWow64() && !s.CompositionEnabled()) ? 1 : 0; }

void WaitWithMessages(uint32_t Ms, platform::Clock& clock, SkinSystem& s) {
  const uint32_t start = clock.timeGetTime();
  while (platform::elapsedMs(clock.timeGetTime(), start) < Ms) s.ProcessMessages();
}

// ---------------------------------------------------------------------------------------------------------
// Published properties.

void PublishedPropertyTable::AddOrdinal(std::string Name, std::function<int64_t()> get,
                                        std::function<void(int64_t)> set) {
  Property p;
  p.Name = std::move(Name);
  p.Kind = TPropertyKind::Ordinal;
  p.GetOrd = std::move(get);
  p.SetOrd = std::move(set);
  props_.push_back(std::move(p));
}

void PublishedPropertyTable::AddSet(std::string Name, std::vector<std::string> elementNames,
                                    std::function<int64_t()> get, std::function<void(int64_t)> set) {
  Property p;
  p.Name = std::move(Name);
  p.Kind = TPropertyKind::Set;
  p.ElementNames = std::move(elementNames);
  p.GetOrd = std::move(get);
  p.SetOrd = std::move(set);
  props_.push_back(std::move(p));
}

const PublishedProperties::Property* PublishedPropertyTable::FindProperty(std::string_view Name) const {
  for (const Property& p : props_)
    if (equalNoCase(p.Name, Name)) return &p;
  return nullptr;
}

bool HasPublishedProperty(const PublishedProperties* Obj, std::string_view Name) {
  return Obj && Obj->FindProperty(Name) != nullptr;
}

void* GetPublishedObjectProperty(const PublishedProperties* Obj, std::string_view Name) {
  if (!Obj) return nullptr;
  const auto* p = Obj->FindProperty(Name);
  if (!p || p->Kind != TPropertyKind::Object || !p->GetObject) return nullptr;
  return p->GetObject();
}

int64_t GetPublishedOrdProperty(const PublishedProperties* Obj, std::string_view Name) {
  if (!Obj) return -1;
  const auto* p = Obj->FindProperty(Name);
  if (!p || (p->Kind != TPropertyKind::Ordinal && p->Kind != TPropertyKind::Set) || !p->GetOrd) return -1;
  return p->GetOrd();
}

void SetPublishedProperty(const PublishedProperties* Obj, std::string_view Name, int64_t Value) {
  if (!Obj) return;
  const auto* p = Obj->FindProperty(Name);
  if (!p || (p->Kind != TPropertyKind::Ordinal && p->Kind != TPropertyKind::Set) || !p->SetOrd) return;
  p->SetOrd(Value);
}

std::string SetToString(const PublishedProperties::Property& P, int64_t Value) {
  std::string text;
  for (size_t bit = 0; bit < P.ElementNames.size() && bit < 32; ++bit) {
    if ((uint64_t(Value) >> bit) & 1u) {
      if (!text.empty()) text.push_back(',');
      text += P.ElementNames[bit];
    }
  }
  return text;
}

int64_t StringToSet(const PublishedProperties::Property& P, std::string_view Text) {
  int64_t value = 0;
  size_t start = 0;
  while (start <= Text.size()) {
    size_t comma = Text.find(',', start);
    if (comma == std::string_view::npos) comma = Text.size();
    std::string_view name = Text.substr(start, comma - start);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    for (size_t bit = 0; bit < P.ElementNames.size() && bit < 32; ++bit)
      if (!name.empty() && P.ElementNames[bit] == name) value |= int64_t(1) << bit;
    start = comma + 1;
  }
  return value;
}

bool SetPropertyHasElement(const PublishedProperties* Obj, std::string_view Name, std::string_view Element) {
  if (!Obj) return false;
  const auto* p = Obj->FindProperty(Name);
  if (!p || p->Kind != TPropertyKind::Set || !p->GetOrd) return false;
  const int64_t value = p->GetOrd();
  for (size_t bit = 0; bit < p->ElementNames.size() && bit < 32; ++bit)
    if (p->ElementNames[bit] == Element) return ((uint64_t(value) >> bit) & 1u) != 0;
  return false;
}

bool ChangeSetPropertyElement(const PublishedProperties* Obj, std::string_view Name, std::string_view Element,
                              bool Add) {
  if (!Obj) return false;
  const auto* p = Obj->FindProperty(Name);
  if (!p || p->Kind != TPropertyKind::Set || !p->GetOrd || !p->SetOrd) return false;
  // The text form, split into its element names (an element is matched as a whole name, never as a part
  // of a longer one).
  std::string text = SetToString(*p, p->GetOrd());
  std::vector<std::string> names;
  size_t start = 0;
  while (start < text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    names.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  size_t found = names.size();
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == Element) found = i;
  if (Add) {
    if (found == names.size()) {
      if (!text.empty()) text.push_back(',');
      text += Element;
    }
  } else if (found != names.size()) {
    // Removing the name with the comma before it, the comma after it, or alone gives the same list.
    names.erase(names.begin() + std::ptrdiff_t(found));
    text.clear();
    for (const std::string& n : names) {
      if (!text.empty()) text.push_back(',');
      text += n;
    }
  }
  p->SetOrd(StringToSet(*p, text));
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// Files.

std::string IncludeTrailingBackslash(std::string_view Path) {
  std::string r(Path);
  if (r.empty()) return r;
  if (r.back() == '/') {
    r.back() = '\\';
  } else if (r.back() != '\\') {
    r += (r.size() == 1) ? ":\\" : "\\";
  }
  return r;
}

}  // namespace skin
