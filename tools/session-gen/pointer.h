// Pointer positions for generated mouse lines: on the targets of a TAimMap, on their edges and
// on key boundaries, anywhere around the client, and far away within the tool's limits.
#pragma once

#include "aim.h"
#include "random.h"

namespace keymora::sessiongen {

/// The tool's limit on pointer coordinates, either way.
constexpr int MaxCoordinate = 1000000;

/// A point inside Rect (its top left corner when Rect is empty), now and then its centre.
TPoint PointIn(TRandom& R, const TRect& Rect);

/// A point for a press or a free move over Layout.
TPoint PickPoint(TRandom& R, const TAimMap& Layout);

/// The next point of a drag from From: a short step as often as a jump to a new target.
TPoint DragPoint(TRandom& R, const TAimMap& Layout, TPoint From);

}  // namespace keymora::sessiongen
