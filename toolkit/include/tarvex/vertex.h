// The immediate-mode wrappers through which every vertex is emitted, with
// their optional output suppression and vertex recording.
#pragma once

#include <tarvex/types.h>

namespace Tarvex {

// When true the wrappers send nothing to GL.
extern bool GLVERT3FREMOVE;
// When true GLVERTEX3F records each vertex into its slot and transforms it.
extern bool GLVERT3FENABLEEDIT;

}  // namespace Tarvex
