// How KeymoraWidget feeds its accessible tree: the factory is made sure of when a widget is
// built, and every change the control reports is handed on as it happens.
#pragma once

class KeymoraWidget;

namespace keymora {
struct TChange;
}

namespace keymora::qt {

/// Makes sure the interface factory is installed (it is, once the library is loaded).
void AttachAccessibility(KeymoraWidget& Widget);

/// Announces a change the widget's control reported, if the widget's accessible tree exists and
/// anyone listens (an assistive technology, or a handler set with SetAnnouncementHandler).
void AnnounceChange(KeymoraWidget& Widget, const TChange& Change);

}  // namespace keymora::qt
