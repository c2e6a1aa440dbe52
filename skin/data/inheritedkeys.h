#pragma once
// Reading a key of a skin section with inheritance: a value that a section lacks is taken from the section
// that its PARENTCLASS names, and so on up the chain. The walk stops at a section that names itself, at an
// empty or "?" parent, and at any section already visited, so a cycle of parents ends instead of looping.
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "skin/data/generalutils.h"

namespace skin {

// Walks a chain of parents by name: calls visit(name) for Start, then for the parent that parentOf(name)
// names, and so on, until visit returns true (the result is then true) or the chain ends: at an empty or
// "?" parent, a section that names itself, or a section already visited (false). Any lookup that follows
// parent names (keys of the description, image records of the loaded skin) goes through here.
template <class ParentOf, class Visit>
bool WalkParentChain(std::string_view Start, ParentOf parentOf, Visit visit) {
  std::unordered_set<std::string> visited;
  std::string current(Start);
  while (true) {
    if (visit(std::string_view(current))) return true;
    std::string parent = parentOf(std::string_view(current));
    if (parent.empty() || parent == "?" || parent == current) return false;
    visited.insert(std::move(current));
    if (visited.count(parent)) return false;
    current = std::move(parent);
  }
}

inline constexpr std::string_view ParentClassKey = "PARENTCLASS";

// An integer or colour key: "0x" values are hexadecimal; -1 or a text that is not a number counts as absent.
// An absent value gives Default; a present one goes through ColorToRGB (system colour constants may be
// written) and is limited to Max.
int32_t ReadInheritedInt(const IniSource& Ini, std::string_view Section, std::string_view Key, int32_t Default,
                         int32_t Max = std::numeric_limits<int32_t>::max(), SkinSystem& System = systemSkinSystem());
// A size key (a width, an offset, a count): read as ReadInheritedInt reads it, but a present value is taken as
// it stands, negative ones too, never as a system colour.
int32_t ReadInheritedSize(const IniSource& Ini, std::string_view Section, std::string_view Key, int32_t Default,
                          int32_t Max = std::numeric_limits<int32_t>::max());
// The text of the value an integer key takes (from the section or a parent), where a number past 32 bits counts
// as given: a text that reads as a number other than -1, or that is such a number; empty when none.
std::string ReadInheritedNumberText(const IniSource& Ini, std::string_view Section, std::string_view Key);
// A string key: "?" counts as absent; an absent value gives Default.
std::string ReadInheritedString(const IniSource& Ini, std::string_view Section, std::string_view Key,
                                std::string_view Default);
// A Boolean key: "TRUE" or "1" is true, any other present text false, an absent value Default.
bool ReadInheritedBool(const IniSource& Ini, std::string_view Section, std::string_view Key, bool Default);

// A description's sections indexed for one load: the sections by name (the first of each name), the keys of each
// (the first line of each key), and the PARENTCLASS chains followed from section to section by index. An inherited
// read gives exactly what the readers above give on the same text, but each key of each section is looked for
// once, whatever the length of the chains: a description of thousands of chained sections reads in linear time.
class IndexedSections {
 public:
  // A chain that returns to a section it passed (A to B to A) ends there, as the chain of a section that names
  // itself does.
  explicit IndexedSections(const TIniSections& Ini);
  IndexedSections(const IndexedSections&) = delete;
  IndexedSections& operator=(const IndexedSections&) = delete;

  // The distinct sections, in the order of the text.
  int Count() const { return int(sections_.size()); }
  const std::string& Name(int section) const { return *sections_[size_t(section)].name; }
  // The distinct index of the first section of that name; -1 when none.
  int IndexOf(std::string_view Name) const;
  // The keys of a section in their order, each once.
  const std::vector<std::string_view>& Keys(int section) const { return sections_[size_t(section)].order; }
  // The value of a key of a section (no inheritance), as ReadIniValue gives it.
  std::string Value(std::string_view Section, std::string_view Key, std::string_view Default) const;

  int32_t ReadInt(std::string_view Section, std::string_view Key, int32_t Default,
                  int32_t Max = std::numeric_limits<int32_t>::max(), SkinSystem& System = systemSkinSystem());
  int32_t ReadSize(std::string_view Section, std::string_view Key, int32_t Default,
                   int32_t Max = std::numeric_limits<int32_t>::max());
  // The text of the value that ReadInt takes (from the section or a parent); empty when none.
  std::string IntText(std::string_view Section, std::string_view Key);
  // As ReadInheritedNumberText: the text of the value taken, a number past 32 bits counted as given.
  std::string NumberText(std::string_view Section, std::string_view Key) const;
  std::string ReadString(std::string_view Section, std::string_view Key, std::string_view Default);
  bool ReadBool(std::string_view Section, std::string_view Key, bool Default);

 private:
  struct Section {
    const std::string* name = nullptr;
    std::unordered_map<std::string_view, std::string_view> keys;
    std::vector<std::string_view> order;
    int parent = -1;  // the section its PARENTCLASS names, -1 when the chain ends here
  };
  const std::string_view* Own(int section, std::string_view Key) const;
  // The section whose own value of Key is taken for section (numbers: a value that reads as a number other
  // than -1; texts: any value but "?"), -1 when none along the chain.
  int Inherited(int section, std::string_view Key, bool number);

  std::vector<Section> sections_;
  std::unordered_map<std::string_view, int> byName_;
  // Per key and kind of reader: for each section, the section whose value it takes (-1 none, -2 not yet known,
  // -3 on the walk being made).
  TextMap<std::vector<int32_t>> numbers_, texts_;
};

}  // namespace skin
