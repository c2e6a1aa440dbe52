// Arbitrary bytes as a packed skin, read with the program's own limits (a member of up to 256 MB, 1 GB in all):
// the reader must refuse them cleanly or give members that pack and read back to themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "skin/data/packedskin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skin;
  const PackedSkinLimits limits;
  TMemoryStream container(std::string(reinterpret_cast<const char*>(data), size));
  auto convertor = std::make_unique<TacSkinConvertor>();
  convertor->LendPackedData(container);
  bool read = false;
  try {
    read = ExtractPackedSkin(convertor, limits);
  } catch (const EPackedSkinError&) {
  } catch (const EReadError&) {
  } catch (const EZDecompressionError&) {
  }
  if (!read) {
    if (convertor && (convertor->Options || !convertor->Files.empty())) std::abort();  // half-read members
    return 0;
  }
  if (convertor->FileCount != int32_t(convertor->Files.size())) std::abort();
  std::vector<PackedSkinMember> members;
  if (convertor->Options) members.push_back({"Options.dat", convertor->Options->Bytes()});
  for (const TacPackedFile& f : convertor->Files) {
    if (f.IsBitmap != PackedFileIsBitmap(f.FileName)) std::abort();
    members.push_back({f.FileName, f.Data->Bytes()});
  }
  convertor->ReleasePackedData();
  size_t total = 0;
  for (const PackedSkinMember& m : members) total += m.Data.size();
  if (total > (16u << 20)) return 0;  // what the reader took whole; packing it again is the harness's cost alone
  // Pack what was read and read it again: the same members come back.
  auto again = std::make_unique<TacSkinConvertor>();
  again->SetPackedData(std::make_unique<TMemoryStream>(PackSkin(members, 1)));
  if (!ExtractPackedSkin(again, limits)) std::abort();
  size_t i = 0;
  if (convertor->Options) {
    if (!again->Options || again->Options->Bytes() != members[0].Data) std::abort();
    i = 1;
  }
  if (again->Files.size() != members.size() - i) std::abort();
  for (const TacPackedFile& f : again->Files) {
    if (f.FileName != members[i].Name || f.Data->Bytes() != members[i].Data) std::abort();
    ++i;
  }
  return 0;
}
