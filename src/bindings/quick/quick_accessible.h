// How KeymoraItem feeds its accessible tree: the tree is the widget's (keys, durations, buttons
// and values at the same indices), under a root made for a Qt Quick item.
#pragma once

class KeymoraItem;

namespace keymora {
struct TChange;
}

namespace keymora::quick {

/// Makes sure the interface factory for items is installed.
void AttachAccessibility(KeymoraItem& Item);
/// Announces a change the item's control reported, if the item's tree exists and anyone listens.
void AnnounceChange(KeymoraItem& Item, const TChange& Change);

}  // namespace keymora::quick
