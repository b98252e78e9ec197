// The paint pass entry point.
#include "keymora/model/keymora.h"

namespace keymora {

void TKeymora::Paint() { TCustomControl::Paint(); }

}  // namespace keymora
