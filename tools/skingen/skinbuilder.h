#pragma once
// Assembles one skin: its "Options.dat" description (sections and keys in the order given) and its images,
// packed into the master bitmap or kept as files of their own. The image values of the description (the '@',
// '^', '~' and '!' forms read by the skin loader) are written once the master bitmap is laid out.
//
// Images are given as states of equal size side by side, each state a premultiplied image. A masked record
// (mask type 1) stores below the states their masks: grey, 0 = the image shows, 255 = what lies under it shows.
// Fully transparent pixels become the key colour 0xFF00FF where the painters look for it (anywhere in a glyph,
// only in the four corner pieces of a bordered mask, whose edges and centre may be stretched); elsewhere they
// take the colour of the nearest visible pixel, so that no key colour bleeds into a resampled piece.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "skin/data/packedskin.h"
#include "tools/skingen/canvas.h"
#include "tools/skingen/encode.h"

namespace skingen {

using States = std::vector<Image>;

struct Borders {
  int l = 0, t = 0, r = 0, b = 0;
};

// What the generator knows of an image record it wrote (for the contact sheet and the tests).
struct ImageEntry {
  std::string section, key;
  char form = '@';           // '@', '^', '~', '!' or 'F' (a file name value)
  std::string file;          // the file of a '!', '~' with a file, or 'F' record; empty: the master bitmap
  int x = 0, y = 0, w = 0, h = 0;  // rectangle in its bitmap (w, h: whole record)
  int count = 1, maskType = 0, drawMode = 0;
  Borders borders;
};

class SkinBuilder {
 public:
  explicit SkinBuilder(std::string masterName = "Master.bmp") : masterName_(std::move(masterName)) {}

  // A key of the description (sections are created in the order of their first key; a key set again keeps its
  // place and takes the new value).
  void Set(const std::string& section, const std::string& key, const std::string& value);
  void Set(const std::string& section, const std::string& key, int value) { Set(section, key, std::to_string(value)); }
  // A colour key (written 0x00BBGGRR in hexadecimal).
  void SetColor(const std::string& section, const std::string& key, Color c);
  // Whether a section has been started.
  bool Has(const std::string& section) const;

  // Images cut from the master bitmap.
  void AddGlyph(const std::string& section, const std::string& key, const States& states, int maskType = 1);
  void AddBordered(const std::string& section, const std::string& key, const States& states, Borders borders,
                   int drawMode, int maskType = 1);
  // An opaque texture ("~" form); with `file`, the rectangle lies in that image file (already added).
  void AddTexture(const std::string& section, const std::string& key, const Image& texture, int drawMode);
  void AddTextureInFile(const std::string& section, const std::string& key, const std::string& file, int x, int y,
                        int w, int h, int drawMode);
  // An image file member and a "!" value naming it: states side by side (with their masks below for mask
  // type 1), image kind, and border widths with a draw mode when given.
  void AddFileImage(const std::string& section, const std::string& key, const std::string& file,
                    const std::string& bytes, int w, int h, int count, int maskType, int kind,
                    const Borders* borders = nullptr, int drawMode = 0);
  // A plain file-name value (a texture file of its own).
  void AddFileTexture(const std::string& section, const std::string& key, const std::string& file, int w, int h);
  // A key that takes the same image value as another key (the same record's place, written once).
  void Alias(const std::string& section, const std::string& key, const std::string& fromSection,
             const std::string& fromKey);
  // A member file (an image that values name).
  void AddFile(const std::string& name, std::string bytes);
  // The masked bitmap file of states (image above, masks below), as a 24-bit bitmap.
  static std::string MaskedBmp(const States& states, const Borders* corners);

  // Lays out the master bitmap, writes the values, and gives the members ("Options.dat" first, then the master
  // bitmap, then the other files in the order they were added).
  std::vector<skin::PackedSkinMember> Build();

  const std::vector<ImageEntry>& Entries() const { return entries_; }
  const Pixels8& Master() const { return master_; }
  const std::map<std::string, std::string>& Files() const { return files_; }
  // Section names in order and their keys.
  struct Key {
    std::string name, value;
    int entry = -1;  // image entry whose value this key takes
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
  };
  const std::vector<Section>& Sections() const { return sections_; }
  // The value of a key ("" when absent).
  std::string Get(const std::string& section, const std::string& key) const;
  std::string OptionsText() const;

 private:
  struct Pending {
    int entry;
    Pixels8 block;  // the pixels to place in the master
  };
  Key& keyOf(const std::string& section, const std::string& key);
  int addEntry(const std::string& section, const std::string& key, ImageEntry e);
  std::string valueOf(const ImageEntry& e) const;

  std::string masterName_;
  std::vector<Section> sections_;
  std::vector<ImageEntry> entries_;
  std::vector<Pending> pending_;
  std::vector<std::pair<std::string, std::string>> fileOrder_;
  std::map<std::string, std::string> files_;
  Pixels8 master_;
};

// The pixels of states laid side by side: the images, and with `masked` their masks below. `corners` limits the
// key colour to the corner pieces of each state (nullptr: anywhere).
Pixels8 StateBlock(const States& states, bool masked, const Borders* corners);

}  // namespace skingen
