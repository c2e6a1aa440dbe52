#include "skin/data/inheritedkeys.h"

namespace skin {

namespace {

// The value of Key in Section or the nearest parent that has one that `present` accepts.
template <class Present>
bool findInherited(const IniSource& Ini, std::string_view Section, std::string_view Key, Present present,
                   std::string& value) {
  return WalkParentChain(
      Section, [&](std::string_view name) { return ReadIniValue(Ini, name, "?", ParentClassKey); },
      [&](std::string_view name) { return Ini.FindValue(name, Key, value) && present(value); });
}

}  // namespace

int32_t ReadInheritedInt(const IniSource& Ini, std::string_view Section, std::string_view Key, int32_t Default,
                         int32_t Max, SkinSystem& System) {
  std::string text;
  const bool found =
      findInherited(Ini, Section, Key, [](const std::string& v) { return IniTextToInt(v, -1) != -1; }, text);
  if (!found) return Default;
  const int32_t value = ColorToRGB(IniTextToInt(text, -1), System);
  return value > Max ? Max : value;
}

int32_t ReadInheritedSize(const IniSource& Ini, std::string_view Section, std::string_view Key, int32_t Default,
                          int32_t Max) {
  std::string text;
  const bool found =
      findInherited(Ini, Section, Key, [](const std::string& v) { return IniTextToInt(v, -1) != -1; }, text);
  const int32_t value = found ? IniTextToInt(text, -1) : Default;
  return value > Max ? Max : value;
}

std::string ReadInheritedNumberText(const IniSource& Ini, std::string_view Section, std::string_view Key) {
  std::string text;
  if (findInherited(Ini, Section, Key,
                    [](const std::string& v) { return IniTextToInt(v, -1) != -1 || IsNumberPast32Bits(v); }, text))
    return text;
  return {};
}

std::string ReadInheritedString(const IniSource& Ini, std::string_view Section, std::string_view Key,
                                std::string_view Default) {
  std::string text;
  if (findInherited(Ini, Section, Key, [](const std::string& v) { return v != "?"; }, text)) return text;
  return std::string(Default);
}

bool ReadInheritedBool(const IniSource& Ini, std::string_view Section, std::string_view Key, bool Default) {
  std::string text;
  if (!findInherited(Ini, Section, Key, [](const std::string& v) { return v != "?"; }, text)) return Default;
  return text == "TRUE" || text == "1";
}

IndexedSections::IndexedSections(const TIniSections& Ini) {
  for (int i = 0; i < Ini.Count(); ++i) {
    const TIniSections::Section& from = Ini[i];
    if (!byName_.emplace(std::string_view(from.Name), int(sections_.size())).second) continue;  // a repeated name
    Section s;
    s.name = &from.Name;
    for (const std::string& line : from.Lines) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::string_view key = std::string_view(line).substr(0, eq);
      if (s.keys.emplace(key, std::string_view(line).substr(eq + 1)).second) s.order.push_back(key);
    }
    sections_.push_back(std::move(s));
  }
  // A parent that is empty, "?", the section itself or no section of the text ends the chain.
  for (Section& s : sections_) {
    const auto parent = s.keys.find(ParentClassKey);
    if (parent == s.keys.end() || parent->second.empty() || parent->second == "?" || parent->second == *s.name)
      continue;
    s.parent = IndexOf(parent->second);
  }
}

int IndexedSections::IndexOf(std::string_view Name) const {
  const auto it = byName_.find(Name);
  return it == byName_.end() ? -1 : it->second;
}

const std::string_view* IndexedSections::Own(int section, std::string_view Key) const {
  const auto& keys = sections_[size_t(section)].keys;
  const auto it = keys.find(Key);
  return it == keys.end() ? nullptr : &it->second;
}

std::string IndexedSections::Value(std::string_view Section, std::string_view Key, std::string_view Default) const {
  const int s = IndexOf(Section);
  const std::string_view* v = s < 0 ? nullptr : Own(s, Key);
  return std::string(v ? *v : Default);
}

int IndexedSections::Inherited(int section, std::string_view Key, bool number) {
  auto& table = number ? numbers_ : texts_;
  auto it = table.find(Key);
  if (it == table.end()) it = table.emplace(std::string(Key), std::vector<int32_t>(sections_.size(), -2)).first;
  std::vector<int32_t>& found = it->second;
  // Up the chain to a section whose answer is known or that has a value; every section passed takes that answer.
  // A chain that returns to a section it passed (-3 marks them) ends there, as one that names itself does: no
  // section along it has a value.
  std::vector<int> passed;
  int at = section, answer = -1;
  while (at >= 0) {
    if (found[size_t(at)] == -3) break;
    if (found[size_t(at)] != -2) {
      answer = found[size_t(at)];
      break;
    }
    const std::string_view* v = Own(at, Key);
    if (v != nullptr && (number ? IniTextToInt(*v, -1) != -1 : *v != "?")) {
      answer = at;
      found[size_t(at)] = at;
      break;
    }
    found[size_t(at)] = -3;
    passed.push_back(at);
    at = sections_[size_t(at)].parent;
  }
  for (int p : passed) found[size_t(p)] = answer;
  return answer;
}

int32_t IndexedSections::ReadInt(std::string_view Section, std::string_view Key, int32_t Default, int32_t Max,
                                 SkinSystem& System) {
  const int s = IndexOf(Section);
  const int from = s < 0 ? -1 : Inherited(s, Key, true);
  if (from < 0) return Default;
  const int32_t value = ColorToRGB(IniTextToInt(*Own(from, Key), -1), System);
  return value > Max ? Max : value;
}

int32_t IndexedSections::ReadSize(std::string_view Section, std::string_view Key, int32_t Default, int32_t Max) {
  const int s = IndexOf(Section);
  const int from = s < 0 ? -1 : Inherited(s, Key, true);
  const int32_t value = from < 0 ? Default : IniTextToInt(*Own(from, Key), -1);
  return value > Max ? Max : value;
}

std::string IndexedSections::IntText(std::string_view Section, std::string_view Key) {
  const int s = IndexOf(Section);
  const int from = s < 0 ? -1 : Inherited(s, Key, true);
  return from < 0 ? std::string() : std::string(*Own(from, Key));
}

std::string IndexedSections::NumberText(std::string_view Section, std::string_view Key) const {
  std::vector<bool> passed(sections_.size(), false);
  for (int at = IndexOf(Section); at >= 0 && !passed[size_t(at)]; at = sections_[size_t(at)].parent) {
    passed[size_t(at)] = true;
    const std::string_view* v = Own(at, Key);
    if (v != nullptr && (IniTextToInt(*v, -1) != -1 || IsNumberPast32Bits(*v))) return std::string(*v);
  }
  return {};
}

std::string IndexedSections::ReadString(std::string_view Section, std::string_view Key, std::string_view Default) {
  const int s = IndexOf(Section);
  const int from = s < 0 ? -1 : Inherited(s, Key, false);
  return std::string(from < 0 ? Default : *Own(from, Key));
}

bool IndexedSections::ReadBool(std::string_view Section, std::string_view Key, bool Default) {
  const int s = IndexOf(Section);
  const int from = s < 0 ? -1 : Inherited(s, Key, false);
  if (from < 0) return Default;
  const std::string_view v = *Own(from, Key);
  return v == "TRUE" || v == "1";
}

}  // namespace skin
