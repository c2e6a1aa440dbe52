// skingen: draws the program's eight stored skins and writes them, with the program's other skin resources.
//
//   skingen OUTPUT_DIRECTORY [--no-contact-sheets]
//
// writes under OUTPUT_DIRECTORY:
//   skins/NAME/...              each skin as a skin directory ("Options.dat", the master bitmap, its other files)
//   packed/SLUG.asz             each skin as a packed container ("Options.dat" first)
//   resources/...               acSHDA.png, acSHDI.png, BLUR5.bmp, MENUBTN.bmp, station.ico
//   station_resources.rc        the resource script of station.exe (stored skins, shadows, bitmaps, icon)
//   program_resources_data.cpp  the same resources compiled in, for the native build
//   contact/SLUG.png            a contact sheet of each skin, for review
// Files whose contents did not change are left untouched. Two runs give the same bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include <zlib.h>

#include "station/program_resources.h"
#include "tools/skingen/contact.h"
#include "tools/skingen/generate.h"

namespace fs = std::filesystem;

namespace {

// Writes a file unless it already holds these bytes.
void writeFile(const fs::path& path, const std::string& bytes) {
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::ostringstream old;
      old << in.rdbuf();
      if (old.str() == bytes) return;
    }
  }
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A C++ string literal of any bytes (octal escapes, so that no following character extends one).
std::string literal(const std::string& bytes) {
  std::string s;
  s.reserve(bytes.size() * 4 + bytes.size() / 16);
  s += "\"";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && i % 48 == 0) s += "\"\n    \"";
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    s += '\\';
    s += char('0' + (c >> 6));
    s += char('0' + ((c >> 3) & 7));
    s += char('0' + (c & 7));
  }
  s += "\"";
  return s;
}

std::string rcPath(const fs::path& p) {
  std::string s = fs::absolute(p).generic_string();
  std::string r;
  for (char c : s) {
    if (c == '\\' || c == '"') r += '\\';
    r += c;
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: skingen OUTPUT_DIRECTORY [--no-contact-sheets]\n";
    return 2;
  }
  const fs::path out = argv[1];
  bool sheets = true;
  for (int i = 2; i < argc; ++i)
    if (std::string(argv[i]) == "--no-contact-sheets") sheets = false;
  try {
    const std::vector<skingen::GeneratedSkin> skins = skingen::GenerateAllSkins();
    const std::vector<skingen::ProgramResource> resources = skingen::GenerateProgramResources();

    std::string rc = "// The resources of station.exe, written by tools/skingen.\n";
    std::string data =
        "// The program's resources compiled in for the native build, written by tools/skingen.\n"
        "#include \"station/program_resources_data.h\"\n\nnamespace station {\n\nnamespace {\n\n";
    std::string table;
    int index = 0;
    // A checksum of every resource goes into the script, so that it changes (and is compiled again) whenever
    // a file it names does.
    uLong crc = crc32(0, nullptr, 0);
    auto embed = [&](const std::string& name, const std::string& type, const std::string& bytes) {
      crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size()));
      data += "const char r" + std::to_string(index) + "[] =\n    " + literal(bytes) + ";\n\n";
      table += "    {\"" + name + "\", \"" + type + "\", r" + std::to_string(index) + ", " +
               std::to_string(bytes.size()) + "},\n";
      ++index;
    };
    for (const skingen::GeneratedSkin& s : skins) {
      for (const skin::PackedSkinMember& m : s.members) writeFile(out / "skins" / s.theme->name / m.Name, m.Data);
      const fs::path packed = out / "packed" / (s.theme->slug + ".asz");
      writeFile(packed, s.packed);
      const std::string res = station::StoredSkinResourceName(s.theme->name);
      rc += res + " RCDATA \"" + rcPath(packed) + "\"\n";
      embed(res, "RCDATA", s.packed);
      if (sheets) writeFile(out / "contact" / (s.theme->slug + ".png"), skingen::ContactSheet(s));
    }
    for (const skingen::ProgramResource& r : resources) {
      const fs::path file = out / "resources" / r.file;
      writeFile(file, r.bytes);
      rc += r.name + " " + r.type + " \"" + rcPath(file) + "\"\n";
      if (r.type != "ICON") embed(r.name, r.type, r.bytes);
      else crc = crc32(crc, reinterpret_cast<const Bytef*>(r.bytes.data()), uInt(r.bytes.size()));
    }
    data += "}  // namespace\n\nconst EmbeddedResource EmbeddedResources[] = {\n" + table +
            "};\nconst size_t EmbeddedResourceCount = " + std::to_string(index) + ";\n\n}  // namespace station\n";
    char sum[64];
    std::snprintf(sum, sizeof sum, "// contents %08lX\n", static_cast<unsigned long>(crc));
    writeFile(out / "station_resources.rc", rc + sum);
    writeFile(out / "program_resources_data.cpp", data);
  } catch (const std::exception& e) {
    std::cerr << "skingen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
