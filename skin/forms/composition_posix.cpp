// The native build has no desktop composition, no taskbar and no window regions.
#include "skin/forms/composition.h"

namespace skin {

bool LoadDwmLibrary() { return false; }
bool DwmCompositionEnabled() { return false; }
bool DwmThumbnailsAvailable() { return false; }
int32_t DwmSetWindowAttributeFor(void*, uint32_t, const void*, uint32_t) { return int32_t(0x80004001); }
void DwmSetTransitionsDisabled(void*, bool, bool) {}
void DwmInvalidateIconicBitmapsFor(void*) {}
bool ProviderSendIconicThumbnail(void*, TsSkinProvider&, int32_t, int32_t) { return false; }
bool ProviderSendIconicLivePreview(void*, TsSkinProvider&) { return false; }
void DropThumbnailRecord(const gui::TCustomForm*) {}
void* TaskbarWindow() { return nullptr; }
void* TopmostHandle() { return reinterpret_cast<void*>(intptr_t(-1)); }
void ProviderUpdateRegion(TsSkinProvider&, bool) {}
void PaintFormChildren(TsSkinProvider&, Bitmap&) {}

}  // namespace skin
