#include "bindings/quick/quick_accessible.h"

namespace keymora::quick {
void AttachAccessibility(KeymoraItem&) {}
void DetachAccessibility(KeymoraItem&) {}
void AnnounceChange(KeymoraItem&, const TChange&) {}
}  // namespace keymora::quick
