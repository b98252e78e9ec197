// Forms saved by the 1.0 Designer plugin name this header; the widget lives in keymora/qt/ now.
#pragma once

#include "keymora/qt/keymora_widget.h"
