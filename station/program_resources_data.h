#pragma once
// The program's resources compiled into the native build (written by tools/skingen as
// program_resources_data.cpp): the same bytes that station.exe carries as resources.
#include <cstddef>

namespace station {

struct EmbeddedResource {
  const char* name;  // resource name
  const char* type;  // "RCDATA" or "BITMAP" (a bitmap file)
  const char* data;
  size_t size;
};

extern const EmbeddedResource EmbeddedResources[];
extern const size_t EmbeddedResourceCount;

}  // namespace station
