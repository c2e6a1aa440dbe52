#include <windows.h>

#include <vector>

#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/gradients.h"
#include "skin/painters/painting_libraries.h"

namespace skin {

namespace {

// GradientFill of msimg32 on the bitmap's DIB section, through a memory DC freed on every path.
bool SystemTriangles(Bitmap& bmp, const GradientVertex* vertices, uint32_t vertexCount,
                     const GradientTriangle* triangles, uint32_t triangleCount) {
  const MsImgGradientFillFunction fill = MsImgGradientFill();
  if (fill == nullptr || bmp.Handle() == nullptr || vertices == nullptr || triangles == nullptr) return false;
  std::vector<TRIVERTEX> v(vertexCount);
  for (uint32_t i = 0; i < vertexCount; ++i)
    v[i] = TRIVERTEX{LONG(vertices[i].x), LONG(vertices[i].y), vertices[i].red, vertices[i].green, vertices[i].blue,
                     vertices[i].alpha};
  std::vector<GRADIENT_TRIANGLE> t(triangleCount);
  for (uint32_t i = 0; i < triangleCount; ++i) t[i] = GRADIENT_TRIANGLE{triangles[i].v1, triangles[i].v2, triangles[i].v3};
  HDC dc = ledger::CreateCompatibleDC(nullptr);
  if (dc == nullptr) return false;
  bmp.Flush();
  HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(bmp.Handle()));
  const BOOL ok = old != nullptr && fill(dc, v.data(), ULONG(v.size()), t.data(), ULONG(t.size()), GRADIENT_FILL_TRIANGLE);
  GdiFlush();
  if (old != nullptr) SelectObject(dc, old);
  ledger::DeleteDC(dc);
  return ok != FALSE;
}

}  // namespace

GradientFillFunction PaintersSystemGradientFill() { return MsImgGradientFill() ? SystemTriangles : nullptr; }

}  // namespace skin
