#include "tools/skingen/skinbuilder.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace skingen {

namespace {

constexpr uint32_t KeyColor = 0xFF00FF;

std::string digits(int v, int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%0*d", n, v);
  return b;
}

// Whether pixel (x, y) of a state of size w x h lies in one of its four corner pieces.
bool inCorner(int x, int y, int w, int h, const Borders& c) {
  const bool left = x < c.l, right = x >= w - c.r, top = y < c.t, bottom = y >= h - c.b;
  return (left || right) && (top || bottom);
}

}  // namespace

Pixels8 StateBlock(const States& states, bool masked, const Borders* corners) {
  if (states.empty()) throw std::logic_error("an image without states");
  const int w = states[0].W(), h = states[0].H();
  const int n = int(states.size());
  Pixels8 out(w * n, masked ? h * 2 : h, KeyColor);
  for (int s = 0; s < n; ++s) {
    const Pixels8 p = ToPixels8(states[size_t(s)]);
    if (p.w != w || p.h != h) throw std::logic_error("states of different sizes");
    // Colours of the invisible pixels that are not key pixels: the nearest visible colour, found by growing
    // the visible area a pixel at a time.
    std::vector<uint32_t> colour(size_t(w) * size_t(h), 0);
    std::vector<uint8_t> known(size_t(w) * size_t(h), 0);
    uint64_t sum[3] = {0, 0, 0};
    uint64_t count = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t c = p.At(x, y);
        if ((c >> 24) != 0) {
          colour[size_t(y * w + x)] = c & 0xFFFFFF;
          known[size_t(y * w + x)] = 1;
          sum[0] += (c >> 16) & 0xFF, sum[1] += (c >> 8) & 0xFF, sum[2] += c & 0xFF;
          ++count;
        }
      }
    const uint32_t average = count ? uint32_t(((sum[0] / count) << 16) | ((sum[1] / count) << 8) | (sum[2] / count))
                                   : 0x808080u;
    for (int pass = 0; pass < 4; ++pass) {
      std::vector<uint8_t> next = known;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          if (known[size_t(y * w + x)]) continue;
          static const int dx[4] = {-1, 1, 0, 0}, dy[4] = {0, 0, -1, 1};
          for (int k = 0; k < 4; ++k) {
            const int nx = x + dx[k], ny = y + dy[k];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || !known[size_t(ny * w + nx)]) continue;
            colour[size_t(y * w + x)] = colour[size_t(ny * w + nx)];
            next[size_t(y * w + x)] = 1;
            break;
          }
        }
      known.swap(next);
    }
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t c = p.At(x, y);
        const uint32_t a = c >> 24;
        uint32_t image, mask;
        const bool keyAllowed = !corners || inCorner(x, y, w, h, *corners);
        if (!masked) {
          // An unmasked image: transparent below half coverage.
          image = a < 128 ? (keyAllowed ? KeyColor : colour[size_t(y * w + x)]) : (c & 0xFFFFFF);
          mask = 0;
        } else if (a == 0) {
          image = keyAllowed ? KeyColor : (known[size_t(y * w + x)] ? colour[size_t(y * w + x)] : average);
          mask = 255;
        } else {
          image = c & 0xFFFFFF;
          if (image == KeyColor) image = 0xFE00FE;  // a visible pixel never reads as the key colour
          mask = 255 - a;
        }
        out.At(s * w + x, y) = image;
        if (masked) out.At(s * w + x, h + y) = (mask << 16) | (mask << 8) | mask;
      }
  }
  return out;
}

SkinBuilder::Key& SkinBuilder::keyOf(const std::string& section, const std::string& key) {
  auto sec = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) { return s.name == section; });
  if (sec == sections_.end()) {
    sections_.push_back(Section{section, {}});
    sec = sections_.end() - 1;
  }
  auto k = std::find_if(sec->keys.begin(), sec->keys.end(), [&](const Key& x) { return x.name == key; });
  if (k == sec->keys.end()) {
    sec->keys.push_back(Key{key, "", -1});
    return sec->keys.back();
  }
  return *k;
}

void SkinBuilder::Set(const std::string& section, const std::string& key, const std::string& value) {
  Key& k = keyOf(section, key);
  k.value = value;
  k.entry = -1;
}

void SkinBuilder::SetColor(const std::string& section, const std::string& key, Color c) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%06X", unsigned(ToTColor(c)));
  Set(section, key, b);
}

bool SkinBuilder::Has(const std::string& section) const {
  return std::any_of(sections_.begin(), sections_.end(), [&](const Section& s) { return s.name == section; });
}

std::string SkinBuilder::Get(const std::string& section, const std::string& key) const {
  for (const Section& s : sections_)
    if (s.name == section)
      for (const Key& k : s.keys)
        if (k.name == key) return k.entry >= 0 ? valueOf(entries_[size_t(k.entry)]) : k.value;
  return "";
}

int SkinBuilder::addEntry(const std::string& section, const std::string& key, ImageEntry e) {
  e.section = section;
  e.key = key;
  entries_.push_back(std::move(e));
  Key& k = keyOf(section, key);
  k.entry = int(entries_.size()) - 1;
  k.value.clear();
  return k.entry;
}

void SkinBuilder::AddGlyph(const std::string& section, const std::string& key, const States& states, int maskType) {
  ImageEntry e;
  e.form = '@';
  e.count = int(states.size());
  e.maskType = maskType;
  const int entry = addEntry(section, key, e);
  Pending p{entry, StateBlock(states, maskType == 1, nullptr)};
  entries_[size_t(entry)].w = p.block.w;
  entries_[size_t(entry)].h = p.block.h;
  pending_.push_back(std::move(p));
}

void SkinBuilder::AddBordered(const std::string& section, const std::string& key, const States& states,
                              Borders borders, int drawMode, int maskType) {
  ImageEntry e;
  e.form = '^';
  e.count = int(states.size());
  e.maskType = maskType;
  e.drawMode = drawMode;
  e.borders = borders;
  const int entry = addEntry(section, key, e);
  Pending p{entry, StateBlock(states, maskType == 1, &borders)};
  entries_[size_t(entry)].w = p.block.w;
  entries_[size_t(entry)].h = p.block.h;
  pending_.push_back(std::move(p));
}

void SkinBuilder::AddTexture(const std::string& section, const std::string& key, const Image& texture, int drawMode) {
  ImageEntry e;
  e.form = '~';
  e.drawMode = drawMode;
  const int entry = addEntry(section, key, e);
  Pending p{entry, StateBlock(States{texture}, false, nullptr)};
  // A texture is opaque: no key colour in it.
  const Pixels8 opaque = ToPixels8(texture);
  for (int y = 0; y < opaque.h; ++y)
    for (int x = 0; x < opaque.w; ++x) p.block.At(x, y) = opaque.At(x, y) & 0xFFFFFF;
  entries_[size_t(entry)].w = p.block.w;
  entries_[size_t(entry)].h = p.block.h;
  pending_.push_back(std::move(p));
}

void SkinBuilder::AddTextureInFile(const std::string& section, const std::string& key, const std::string& file,
                                   int x, int y, int w, int h, int drawMode) {
  ImageEntry e;
  e.form = '~';
  e.file = file;
  e.x = x, e.y = y, e.w = w, e.h = h;
  e.drawMode = drawMode;
  addEntry(section, key, e);
}

void SkinBuilder::AddFileImage(const std::string& section, const std::string& key, const std::string& file,
                               const std::string& bytes, int w, int h, int count, int maskType, int kind,
                               const Borders* borders, int drawMode) {
  ImageEntry e;
  e.form = '!';
  e.file = file;
  e.w = w, e.h = h;
  e.count = count;
  e.maskType = maskType;
  e.drawMode = drawMode;
  if (borders) e.borders = *borders;
  e.x = kind;  // the image kind travels in x for a '!' record
  e.y = borders ? 1 : 0;
  addEntry(section, key, e);
  if (!bytes.empty()) AddFile(file, bytes);
}

void SkinBuilder::AddFileTexture(const std::string& section, const std::string& key, const std::string& file, int w,
                                 int h) {
  ImageEntry e;
  e.form = 'F';
  e.file = file;
  e.w = w, e.h = h;
  addEntry(section, key, e);
}

void SkinBuilder::Alias(const std::string& section, const std::string& key, const std::string& fromSection,
                        const std::string& fromKey) {
  for (const Section& s : sections_)
    if (s.name == fromSection)
      for (const Key& k : s.keys)
        if (k.name == fromKey) {
          const Key copy = k;
          Key& to = keyOf(section, key);
          to.value = copy.value;
          to.entry = copy.entry;
          return;
        }
  throw std::logic_error("no key " + fromSection + "." + fromKey + " to take the value of");
}

void SkinBuilder::AddFile(const std::string& name, std::string bytes) {
  if (files_.count(name)) return;
  files_[name] = bytes;
  fileOrder_.push_back({name, std::move(bytes)});
}

std::string SkinBuilder::MaskedBmp(const States& states, const Borders* corners) {
  return EncodeBmp24(StateBlock(states, true, corners));
}

std::string SkinBuilder::valueOf(const ImageEntry& e) const {
  std::string v;
  // Fields joined by the form's separator, each appended (no temporaries of the form "x" + string).
  auto field = [&v](char sep, const std::string& text) {
    v += sep;
    v += text;
  };
  switch (e.form) {
    case '@':
      for (int n : {e.x, e.y, e.x + e.w, e.y + e.h}) field('@', digits(n, 4));
      field('@', std::to_string(e.count));
      field('@', std::to_string(e.maskType));
      return v;
    case '^':
      for (int n : {e.x, e.y, e.x + e.w, e.y + e.h, e.borders.l, e.borders.t, e.borders.r, e.borders.b})
        field('^', digits(n, 4));
      for (int n : {e.count, e.maskType, e.drawMode, 0}) field('^', std::to_string(n));
      return v;
    case '~':
      for (int n : {e.x, e.y, e.x + e.w, e.y + e.h}) field('~', digits(n, 4));
      field('~', digits(e.drawMode, 2));
      field('~', std::to_string(e.maskType));
      if (!e.file.empty()) field('~', e.file);
      return v;
    case '!':
      field('!', e.file);
      for (int n : {e.count, e.maskType, e.x}) field('!', std::to_string(n));
      if (e.y)
        for (int n : {e.borders.l, e.borders.t, e.borders.r, e.borders.b, e.drawMode}) field('!', std::to_string(n));
      return v;
    default:
      return e.file;
  }
}

std::vector<skin::PackedSkinMember> SkinBuilder::Build() {
  // Shelf packing, tallest first (the order of equal heights kept), one free pixel between neighbours.
  std::vector<size_t> order(pending_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return pending_[a].block.h > pending_[b].block.h;
  });
  int width = 512;
  for (const Pending& p : pending_) width = std::max(width, p.block.w + 1);
  int x = 0, y = 0, shelf = 0;
  for (size_t i : order) {
    Pending& p = pending_[i];
    if (x + p.block.w > width) {
      x = 0;
      y += shelf + 1;
      shelf = 0;
    }
    ImageEntry& e = entries_[size_t(p.entry)];
    e.x = x;
    e.y = y;
    x += p.block.w + 1;
    shelf = std::max(shelf, p.block.h);
  }
  const int height = y + shelf;
  master_ = Pixels8(width, std::max(height, 1), KeyColor);
  for (const Pending& p : pending_) {
    const ImageEntry& e = entries_[size_t(p.entry)];
    for (int yy = 0; yy < p.block.h; ++yy)
      for (int xx = 0; xx < p.block.w; ++xx) master_.At(e.x + xx, e.y + yy) = p.block.At(xx, yy);
  }
  std::vector<skin::PackedSkinMember> members;
  members.push_back({"Options.dat", OptionsText()});
  members.push_back({masterName_, EncodeBmp24(master_)});
  for (const auto& f : fileOrder_) members.push_back({f.first, f.second});
  return members;
}

std::string SkinBuilder::OptionsText() const {
  std::string t;
  for (const Section& s : sections_) {
    if (!t.empty()) t += "\r\n";
    t += "[" + s.name + "]\r\n";
    for (const Key& k : s.keys) t += k.name + "=" + (k.entry >= 0 ? valueOf(entries_[size_t(k.entry)]) : k.value) + "\r\n";
  }
  return t;
}

}  // namespace skingen
