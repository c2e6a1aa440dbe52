#pragma once
// Skins from outside the program: stored skins edited as an operator's or a skin editor's might be, how each
// reaches the program (its folder or packed file in the skins folder, a skin editor's block) and what the program
// must answer: its refusal, or the skin applied as written. The loader's test (skinlint's answer beside the
// program's) and the station's test under Wine (a live switch to each) run the same table.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/data/generalutils.h"
#include "skin/data/packedskin.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace outsideskins {

enum class Via { Folder, PackedFile, Editor };
// What a live switch shows besides the skin: a dialog's caption, the window's place under a tall caption, the
// images of one state drawn in that state in every state (the close button at rest, hot and pressed), a caption
// whose close button has no image (a blank button, the minimize button beside it with its image), or a button's
// mask drawn in its own states and, past its last, in its last (a button at rest, hot and pressed).
enum class Look { Skin, DialogCaption, WindowPlace, OneState, NoCloseImage, MaskLastState };

// A file left in the skin's folder once it is delivered (an empty name: its packed file): made as large as size
// (sparse: its holes take no room on disk), or made a pipe (natively only).
struct Plant {
  std::string name;
  int64_t size = -1;
  bool pipe = false;
};

struct Row {
  const char* point;
  const char* skin;                              // the stored skin it is made from
  std::function<std::string(std::string)> edit;  // of its description
  Via via = Via::Folder;
  int32_t frame = 0;      // the system's frame width the program runs with (0: the system's own)
  // The program's message ("{SECTION.KEY}": that value of the edited description; "{FILE}": the packed file's path
  // as the program names it); empty: applied.
  std::string refusal{};
  Look look = Look::Skin;
  bool asStored = false;  // applied, it gives the very tables of the stored skin
  const char* blockName = nullptr;  // the name a skin editor's block gives (none: the skin's)
  std::function<void(std::vector<skin::PackedSkinMember>&)> files{};  // of its other files (images)
  std::function<std::string(std::string)> packed{};  // of the bytes of its packed file
  std::vector<Plant> plant{};
  bool nativeOnly = false;  // run by the loader's test only (a pipe cannot be left where the program under Wine looks)
  // The program's message box is of the information kind (the internal-format message), not an error.
  bool information = false;
  // skinlint's advice on the skin (applied as written): a part of one of its lines; none: no advice.
  const char* advice = nullptr;
  // What skinlint finds wrong with the look of the skin applied as written (a part of every line it gives): a
  // fault of the skin's pictures, not of its description.
  const char* lookProblem = nullptr;
};

inline std::string BlockName(const Row& row) { return row.blockName ? row.blockName : row.skin; }

// The text as UTF-16 (little-endian, with its byte-order mark), as an editor saves "Unicode".
inline std::string Utf16(const std::string& text) {
  std::string u = "\xFF\xFE";
  for (const char c : text) u += std::string{c, '\0'};
  return u;
}

// The description with the line of a key of a section set to a value (added when missing), or removed.
inline std::string WithKey(std::string text, const std::string& section, const std::string& key, const char* value) {
  const size_t sec = text.find("[" + section + "]\r\n");
  if (sec == std::string::npos) return text;
  const size_t end = std::min(text.find("\r\n[", sec + 1), text.size());
  const size_t line = text.find("\r\n" + key + "=", sec);
  if (line == std::string::npos || line > end) {
    if (value) text.insert(sec + section.size() + 4, key + "=" + value + "\r\n");
    return text;
  }
  const size_t lineEnd = text.find("\r\n", line + 2);
  text.replace(line, lineEnd - line, value ? "\r\n" + key + "=" + value : "");
  return text;
}

inline std::string EachLine(const std::string& text, const std::function<std::string(std::string)>& change) {
  std::string out;
  for (const std::string& line : skin::TextToLines(text)) out += change(line) + "\r\n";
  return out;
}

inline std::string ValueOf(const std::string& text, const std::string& section, const std::string& key) {
  skin::TIniSections ini;
  skin::IniTextToSections(text, ini);
  return skin::ReadIniValue(ini, section, "", key);
}

// The description with one character of a key's value replaced (an image count, say).
inline std::string WithValueChanged(const std::string& text, const char* section, const char* key, size_t at,
                                    const char* by) {
  const std::string v = ValueOf(text, section, key);
  return WithKey(text, section, key, (v.substr(0, at) + by + v.substr(at + 1)).c_str());
}

// The refusal a row expects for its edited description, its packed file named as packedFile.
inline std::string Expected(const Row& row, const std::string& edited, const std::string& packedFile = {}) {
  std::string m = row.refusal;
  if (const size_t at = m.find("{FILE}"); at != std::string::npos) m.replace(at, 6, packedFile);
  if (const size_t open = m.find('{'); open != std::string::npos) {
    const size_t dot = m.find('.', open), close = m.find('}', open);
    m.replace(open, close + 1 - open,
              ValueOf(edited, m.substr(open + 1, dot - open - 1), m.substr(dot + 1, close - dot - 1)));
  }
  return m;
}

// The value of a key cut down to the first of its states: an '@' glyph's or a '^' mask's rectangle one state wide,
// its image count 1 (a real image of one state, as a skin whose author drew only one gives it).
inline std::string FirstStateOnly(const std::string& text, const std::string& section, const std::string& key) {
  std::string v = ValueOf(text, section, key);
  if (v.size() < 24 || (v[0] != '@' && v[0] != '^')) return text;
  const size_t count = v[0] == '@' ? 21 : 41;  // 0-based place of the image count
  const int left = std::stoi(v.substr(1, 4)), right = std::stoi(v.substr(11, 4)), states = v[count] - '0';
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04d", left + (right - left) / states);
  v.replace(11, 4, digits);
  v[count] = '1';
  return WithKey(text, section, key, v.c_str());
}

// The images that a painter draws one state at a time (title buttons, check boxes and radio buttons in both sizes,
// scroll and combo glyphs, the caption band, the track bar's slider and channel).
inline const std::vector<std::pair<std::string, std::string>>& StateImageKeys() {
  static const std::vector<std::pair<std::string, std::string>> keys = {
      {"GLOBALINFO", "BICONCLOSE"},     {"GLOBALINFO", "BICONMAX"},      {"GLOBALINFO", "BICONNORM"},
      {"GLOBALINFO", "BICONMIN"},       {"GLOBALINFO", "BICONHELP"},     {"GLOBALINFO", "SICONCLOSE"},
      {"GLOBALINFO", "SICONMAX"},       {"GLOBALINFO", "SICONNORM"},     {"GLOBALINFO", "SICONMIN"},
      {"GLOBALINFO", "SICONHELP"},      {"GLOBALINFO", "TITLEBUTTON"},   {"GLOBALINFO", "BOXUNCHECKED"},
      {"GLOBALINFO", "BOXCHECKED"},     {"GLOBALINFO", "BOXGRAYED"},     {"GLOBALINFO", "SMALLUNCHECKED"},
      {"GLOBALINFO", "SMALLCHECKED"},   {"GLOBALINFO", "SMALLGRAYED"},   {"GLOBALINFO", "RADIOUNCHECKED"},
      {"GLOBALINFO", "RADIOCHECKED"},   {"COMBOBOX", "GLYPHMASK"},       {"COMBOBTN", "GLYPHMASK"},
      {"SCROLLBTNLEFT", "GLYPHMASK"},   {"SCROLLBTNRIGHT", "GLYPHMASK"}, {"SCROLLBTNTOP", "GLYPHMASK"},
      {"SCROLLBTNBOTTOM", "GLYPHMASK"}, {"SCROLLSLIDERH", "GLYPHMASK"},  {"SCROLLSLIDERV", "GLYPHMASK"},
      {"FORM", "TITLEBAR"},             {"TRACKBAR", "SLIDERMASK"},      {"TRACKBAR", "SLIDERVMASK"},
      {"TRACKBAR", "SLIDERCHANNEL"}};
  return keys;
}

// A Windows bitmap file of a header only, whose header says width x height pixels of 24 bits.
inline std::string BitmapHeaderOnly(int32_t width, int32_t height) {
  std::string b(54, '\0');
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = char(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, 54);
  put(10, 54);
  put(14, 40);
  put(18, uint32_t(width));
  put(22, uint32_t(height));
  b[26] = 1;
  b[28] = 24;
  return b;
}

// A packed skin's bytes with the stated (unpacked) size of one member changed, its data left as they are.
inline std::string WithStatedSize(const std::string& packed, const std::string& member, uint32_t size) {
  std::string b = packed;
  const size_t name = b.find(member);
  if (name == std::string::npos) return b;
  for (int i = 0; i < 4; ++i) b[name + member.size() + size_t(i)] = char(size >> (8 * i));
  return b;
}

// The members of a packed skin.
inline std::vector<skin::PackedSkinMember> Members(const std::string& packed) {
  auto conv = std::make_unique<skin::TacSkinConvertor>();
  skin::TMemoryStream data;
  data.WriteBuffer(packed.data(), int64_t(packed.size()));
  conv->LendPackedData(data);
  skin::ExtractPackedSkin(conv);
  conv->ReleasePackedData();
  std::vector<skin::PackedSkinMember> m{{"Options.dat", std::string(conv->Options->View())}};
  for (const skin::TacPackedFile& f : conv->Files) m.push_back({f.FileName, std::string(f.Data->View())});
  return m;
}

// The skin left in a skins folder as the row brings it: its packed file, or its folder (for a skin editor, its
// images only).
inline void Deliver(const std::filesystem::path& folder, const Row& row, const std::vector<skin::PackedSkinMember>& m) {
  std::filesystem::create_directories(row.via == Via::PackedFile ? folder : folder / row.skin);
  const std::filesystem::path packedFile = folder / (std::string(row.skin) + ".asz");
  if (row.via == Via::PackedFile) {
    const std::string bytes = skin::PackSkin(m);
    std::ofstream(packedFile, std::ios::binary) << (row.packed ? row.packed(bytes) : bytes);
  } else {
    for (size_t i = row.via == Via::Editor ? 1 : 0; i < m.size(); ++i)
      std::ofstream(folder / row.skin / m[i].Name, std::ios::binary) << m[i].Data;
  }
  for (const Plant& p : row.plant) {
    const std::filesystem::path at = p.name.empty() ? packedFile : folder / row.skin / p.name;
    if (p.pipe) {
#ifndef _WIN32
      std::filesystem::remove(at);
      ::mkfifo(at.c_str(), 0600);
#endif
      continue;
    }
    if (!std::filesystem::exists(at)) std::ofstream(at, std::ios::binary).flush();
    std::filesystem::resize_file(at, uintmax_t(p.size));
  }
}

// A skin editor's block (the data of its WM_COPYDATA): the skin's name, the directory of its folder, its description.
inline std::vector<uint8_t> EditorBlock(const std::string& name, const std::string& directory, const std::string& options) {
  if (name.size() >= skin::SkinPreviewNameSize || directory.size() >= skin::SkinPreviewDirectorySize ||
      options.size() + 1 >= skin::SkinPreviewOptionsSize)
    throw std::length_error("more than a skin editor's block holds");
  std::vector<uint8_t> b(skin::SkinPreviewDataSize, 0);
  b[1] = 0xA4;
  std::memcpy(b.data() + skin::SkinPreviewNameOffset, name.data(), name.size());
  std::memcpy(b.data() + skin::SkinPreviewDirectoryOffset, directory.data(), directory.size());
  std::memcpy(b.data() + skin::SkinPreviewOptionsOffset, options.data(), options.size());
  return b;
}

inline const std::string kLucky = "The \"Lucky (internal)\" skin cannot be used: ";
inline std::string kLuckyCaption(const char* value) {
  return kLucky + "its key TITLEHEIGHT of section [GLOBALINFO] has the value \"" + value +
         "\", outside the 18 to 200 that can be drawn with its close button of 18 pixels (BICONCLOSE)";
}

inline const std::vector<Row>& Rows() {
  auto set = [](const char* section, const char* key, const char* value) {
    return [=](std::string t) { return WithKey(t, section, key, value); };
  };
  static const std::vector<Row> rows = {
      // The image count read as 1: one state as wide as the four, drawn whole in every state. Its face is the four
      // faces side by side, under which a disabled caption takes a colour too near the enabled one's.
      {.point = "a mask of fewer states than its section paints (an image count of 0, read as 1)",
       .skin = "Lucky (internal)",
       .edit = [](std::string t) { return WithValueChanged(t, "BUTTON", "BORDERSMASK", 41, "0"); },
       .look = Look::MaskLastState, .advice = "[BUTTON] BORDERSMASK: the image has 1 state(s) where 4 are painted",
       .lookProblem = "BUTTON] disabled text of state "},
      {.point = "blanks after the section names and at the end of every line", .skin = "Lucky (internal)",
       .edit = [](std::string t) { return EachLine(t, [](std::string l) { return l + "  \t "; }); }, .asStored = true},
      {.point = "blanks around keys and values", .skin = "Lucky (internal)",
       .edit = [](std::string t) {
         return EachLine(t, [](std::string l) {
           const size_t eq = l.find('=');
           return eq == std::string::npos || l[0] == ';' ? l : l.substr(0, eq) + " = " + l.substr(eq + 1) + "   ";
         });
       },
       .via = Via::PackedFile, .asStored = true},
      {.point = "a byte-order mark before a skin editor's description", .skin = "Lucky (internal)",
       .edit = [](std::string t) { return "\xEF\xBB\xBF" + t; }, .via = Via::Editor, .asStored = true},
      {.point = "a frame border that the dialog's close button reaches into by a pixel", .skin = "MacMetal (internal)",
       .edit = set("GLOBALINFO", "BORDERWIDTH", "8"), .look = Look::DialogCaption},
      {.point = "a title height that leaves the dialog's close button two pixels short", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "TITLEHEIGHT", "18"), .look = Look::DialogCaption},
      {.point = "a frame border as tall as the title height", .skin = "MacMetal (internal)",
       .edit = set("GLOBALINFO", "BORDERWIDTH", "22"),
       .refusal = "The \"MacMetal (internal)\" skin cannot be used: its key BORDERWIDTH of section [GLOBALINFO] has the "
                  "value \"22\", outside the 0 to 21 that can be drawn with TITLEHEIGHT 22 (a dialog's caption lies "
                  "below the border)"},
      {.point = "no FORMOFFSET, and a system frame wider than the extended border leaves", .skin = "Lucky (internal)",
       .edit = [](std::string t) {
         return WithKey(WithKey(t, "GLOBALINFO", "FORMOFFSET", nullptr), "GLOBALINFO", "EXBORDER",
                        "!ExBorder.png!2!0!0!5!5!5!5!0");
       },
       .frame = 8},
      {.point = "a section that is its own parent, and two that are each other's", .skin = "Lucky (internal)",
       .edit = [](std::string t) {
         return t + "[OWN]\r\nPARENTCLASS=OWN\r\nCOLOR=0xF0F0F0\r\n[PAIRA]\r\nPARENTCLASS=PAIRB\r\nCOLOR=0xF0F8F0\r\n"
                    "[PAIRB]\r\nPARENTCLASS=PAIRA\r\nFONTCOLOR=0x102010\r\n";
       }},
      {.point = "a caption taller than the room above the window, from a skin editor", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "TITLEHEIGHT", "200"), .via = Via::Editor, .look = Look::WindowPlace},
      {.point = "a caption taller than the room above the window", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "TITLEHEIGHT", "200"), .look = Look::WindowPlace},
      // A strip of three states declared as one is the skin as written: one state three buttons wide.
      {.point = "a title button's strip of three states declared as one", .skin = "Lucky (internal)",
       .edit = [](std::string t) { return WithValueChanged(t, "GLOBALINFO", "BICONCLOSE", 21, "1"); },
       .advice = "[GLOBALINFO] BICONCLOSE: the image has 1 state(s) where 3 are painted"},
      {.point = "a check box's strip of three states declared as one", .skin = "Lucky (internal)",
       .edit = [](std::string t) { return WithValueChanged(t, "GLOBALINFO", "BOXCHECKED", 21, "1"); },
       .via = Via::PackedFile, .advice = "[GLOBALINFO] BOXCHECKED: the image has 1 state(s) where 3 are painted"},
      // Without the glows around the caption's buttons, so that a hot button shows its own image alone.
      {.point = "images of one state of every kind that is drawn state by state", .skin = "Lucky (internal)",
       .edit = [](std::string t) {
         for (const auto& [section, key] : StateImageKeys()) t = FirstStateOnly(t, section, key);
         for (const char* glow : {"BICONCLOSEGLOW0", "BICONMAXGLOW0", "BICONMINGLOW0"})
           t = WithKey(t, "GLOBALINFO", glow, nullptr);
         return t;
       },
       .look = Look::OneState, .advice = "[TRACKBAR] SLIDERCHANNEL: the image has 1 state(s) where 2 are painted"},
      {.point = "no image for the close button", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "BICONCLOSE", nullptr), .via = Via::PackedFile, .look = Look::NoCloseImage,
       .advice = "[GLOBALINFO] BICONCLOSE: no image: the button is drawn 21 pixels wide and blank"},
      {.point = "a close button whose file is missing", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "BICONCLOSE", "!Close.png!3!1"),
       .refusal = kLucky + "its key BICONCLOSE of section [GLOBALINFO] has the value \"!Close.png!3!1\", a title "
                           "button whose file \"Close.png\" is missing"},
      {.point = "a minimize button whose file is missing", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "BICONMIN", "!Min.png!3!1"), .via = Via::PackedFile,
       .refusal = kLucky + "its key BICONMIN of section [GLOBALINFO] has the value \"!Min.png!3!1\", a title "
                           "button whose file \"Min.png\" is missing"},
      {.point = "a close button whose file is a pipe", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "BICONCLOSE", "!Close.png!3!1"),
       .refusal = kLucky + "its key BICONCLOSE of section [GLOBALINFO] has the value \"!Close.png!3!1\", a title "
                           "button whose file \"Close.png\" cannot be read (it is not a regular file)",
       .plant = {{.name = "Close.png", .pipe = true}}, .nativeOnly = true},
      {.point = "a minimize button taller than the caption", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "BICONMIN", "@0158@0146@0236@0206@3@0"),
       .refusal = kLucky + "its key BICONMIN of section [GLOBALINFO] has the value \"@0158@0146@0236@0206@3@0\", a "
                           "title button 60 pixels high, taller than the caption of 26 pixels (TITLEHEIGHT 26)"},
      {.point = "an image file of a gibibyte", .skin = "Lucky (internal)", .edit = [](std::string t) { return t; },
       .refusal = kLucky + "its key BORDERSMASK of section [BUTTON_HUGE] has the value "
                           "\"{BUTTON_HUGE.BORDERSMASK}\", an image whose file \"Buttons.bmp\" is 1073741824 bytes, "
                           "past the 68157440 bytes (65 MiB) that an image file may have",
       .plant = {{.name = "Buttons.bmp", .size = int64_t{1} << 30}}},
      {.point = "a packed image file of a gibibyte", .skin = "Lucky (internal)", .edit = [](std::string t) { return t; },
       .via = Via::PackedFile,
       .refusal = kLucky + "its packed file \"{FILE}\" cannot be read: its member \"Buttons.bmp\" unpacks to "
                           "1073741824 bytes, past the 68157440 bytes that an image file may have",
       .packed = [](std::string b) { return WithStatedSize(b, "Buttons.bmp", 1u << 30); }},
      {.point = "a bitmap whose header says 100,000 x 100,000 pixels", .skin = "Lucky (internal)",
       .edit = [](std::string t) { return t; }, .via = Via::Editor,
       .refusal = kLucky + "its key BORDERSMASK of section [BUTTON_HUGE] has the value "
                           "\"{BUTTON_HUGE.BORDERSMASK}\", an image whose file \"Buttons.bmp\" is 100000 x 100000 "
                           "pixels, past the 16777216 pixels (4096 x 4096) that an image may have",
       .files = [](std::vector<skin::PackedSkinMember>& m) {
         for (auto& f : m)
           if (f.Name == "Buttons.bmp") f.Data = BitmapHeaderOnly(100000, 100000);
       }},
      {.point = "a packed file of a gibibyte", .skin = "Lucky (internal)", .edit = [](std::string t) { return t; },
       .via = Via::PackedFile,
       .refusal = kLucky + "its packed file \"{FILE}\" is 1073741824 bytes, past the 290455552 bytes (277 MiB) that "
                           "a packed skin may have",
       .plant = {{.name = "", .size = int64_t{1} << 30}}},
      {.point = "a packed file without a member", .skin = "Lucky (internal)", .edit = [](std::string t) { return t; },
       .via = Via::PackedFile,
       .refusal = "Internal format error in the \"Lucky (internal)\" skin. Please, update this skin to latest "
                  "version.\r\n\r\nIts packed file \"{FILE}\" holds no member at all: no description (Options.dat) "
                  "and no image.",
       .packed = [](std::string) { return std::string("ASzf\0\0\0\0", 8); }, .information = true},
      {.point = "an empty description", .skin = "Lucky (internal)", .edit = [](std::string) { return std::string(); },
       .refusal = kLucky + "its description has no GLOBALINFO section (it is empty)"},
      {.point = "a skin editor's description in UTF-16", .skin = "Lucky (internal)", .edit = Utf16, .via = Via::Editor,
       .asStored = true},
      {.point = "a section's states past 32 bits", .skin = "Lucky (internal)",
       .edit = set("BUTTON", "STATES", "99999999999"), .look = Look::MaskLastState,
       .advice = "[BUTTON] BORDERSMASK: the image has 4 state(s) where 255 are painted (STATES=99999999999: a section "
                 "paints 255 at most)"},
      {.point = "a section's states below one, past 32 bits", .skin = "Lucky (internal)",
       .edit = set("BUTTON", "STATES", "-99999999999"), .look = Look::MaskLastState},
      {.point = "a frame border past 32 bits", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "BORDERWIDTH", "99999999999"),
       .refusal = kLucky + "its key BORDERWIDTH of section [GLOBALINFO] has the value \"99999999999\", outside the 0 "
                           "to 25 that can be drawn with TITLEHEIGHT 26 (a dialog's caption lies below the border)"},
      {.point = "a title height past 32 bits", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "TITLEHEIGHT", "4294967296"), .via = Via::Editor, .refusal = kLuckyCaption("4294967296")},
      {.point = "a caption lower than its buttons", .skin = "Lucky (internal)",
       .edit = [](std::string t) {
         return WithKey(WithKey(t, "GLOBALINFO", "TITLEHEIGHT", "2"), "GLOBALINFO", "BORDERWIDTH", "1");
       },
       .refusal = kLuckyCaption("2")},
      {.point = "a non-breaking space after [GLOBALINFO]", .skin = "Lucky (internal)",
       .edit = [](std::string t) {
         const size_t at = t.find("[GLOBALINFO]") + 12;
         return t.substr(0, at) + "\xA0" + t.substr(at);
       },
       .refusal = kLucky + "its description has no GLOBALINFO section (its line [GLOBALINFO] starts no section: a "
                           "non-breaking space stands after it)"},
      {.point = "a description in UTF-16", .skin = "Lucky (internal)", .edit = Utf16, .asStored = true},
      {.point = "two byte-order marks", .skin = "Lucky (internal)",
       .edit = [](std::string t) { return "\xEF\xBB\xBF\xEF\xBB\xBF" + t; }, .via = Via::PackedFile,
       .refusal = kLucky + "its description has no GLOBALINFO section (its line [GLOBALINFO] starts no section: a "
                           "byte-order mark stands before it)"},
      {.point = "a non-breaking space after the master image's name", .skin = "Lucky (internal)",
       .edit = set("GLOBALINFO", "MASTERBITMAP", "Master.bmp\xA0"),
       .refusal = kLucky + "its master image \"{GLOBALINFO.MASTERBITMAP}\" is missing (its name ends in a "
                           "non-breaking space)"},
      {.point = "a negative frame border under a caption of 200", .skin = "Lucky (internal)",
       .edit = [](std::string t) {
         return WithKey(WithKey(t, "GLOBALINFO", "TITLEHEIGHT", "200"), "GLOBALINFO", "BORDERWIDTH", "-1");
       },
       .refusal = kLucky + "its key BORDERWIDTH of section [GLOBALINFO] has the value \"-1\", outside the 0 to 199 "
                           "that can be drawn with TITLEHEIGHT 200 (a dialog's caption lies below the border)"},
      {.point = "a mask's image count of 255", .skin = "Lucky (internal)",
       .edit = [](std::string t) { return WithValueChanged(t, "BUTTON", "BORDERSMASK", 41, "255"); },
       .refusal = kLucky + "its key BORDERSMASK of section [BUTTON] has the value \"{BUTTON.BORDERSMASK}\", which is "
                           "malformed (its image count is \"255\" where its place holds 1 digit)"},
      {.point = "more states than a section paints", .skin = "Lucky (internal)",
       .edit = set("BUTTON", "STATES", "2147483647"), .look = Look::MaskLastState,
       .advice = "[BUTTON] BORDERSMASK: the image has 4 state(s) where 255 are painted (STATES=2147483647: a section "
                 "paints 255 at most)"},
      {.point = "a skin editor's block without a name", .skin = "Lucky (internal)", .edit = [](std::string t) { return t; },
       .via = Via::Editor, .refusal = std::string(skin::SkinEditorBlockWithoutName), .blockName = ""},
  };
  return rows;
}

}  // namespace outsideskins
