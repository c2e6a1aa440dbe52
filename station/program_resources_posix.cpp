// The program's resources in the native build: the bytes tools/skingen compiled in.
#include <cstring>

#include "station/program_resources.h"
#include "station/program_resources_data.h"

namespace station {

namespace {

const EmbeddedResource* find(std::string_view name, std::string_view type) {
  for (size_t i = 0; i < EmbeddedResourceCount; ++i)
    if (name == EmbeddedResources[i].name && type == EmbeddedResources[i].type) return &EmbeddedResources[i];
  return nullptr;
}

}  // namespace

std::string_view ProgramResourceData(std::string_view name) {
  const EmbeddedResource* r = find(name, "RCDATA");
  return r ? std::string_view(r->data, r->size) : std::string_view();
}

std::string ProgramBitmapResource(std::string_view name) {
  const EmbeddedResource* r = find(name, "BITMAP");
  return r ? std::string(r->data, r->size) : std::string();
}

}  // namespace station
