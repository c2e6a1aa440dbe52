// The native build shows no windows: a form leaves without a cover over it.
#include "skin/forms/provider_hide.h"

namespace skin {

bool ProviderShowSnapshotCover(TsSkinProvider&) { return false; }
bool ProviderShowSnapshotCoverAt(TsSkinProvider&, const Bitmap&, const TRect&) { return false; }
bool ProviderHasSnapshotCover(const TsSkinProvider&) { return false; }
void* ProviderSnapshotCoverWindow(const TsSkinProvider&) { return nullptr; }
TacAnimWindow ProviderTakeSnapshotCover(TsSkinProvider&, std::unique_ptr<Bitmap>*) { return {}; }
void ProviderFreeSnapshotCover(TsSkinProvider&) {}
bool ProviderShowCaptionCover(TsSkinProvider&) { return false; }
void ProviderHideCaptionCover(TsSkinProvider&) {}
void ProviderFreeCaptionCover(TsSkinProvider&) {}
void* ProviderCaptionCoverWindow(const TsSkinProvider&) { return nullptr; }

}  // namespace skin
