// Vector arithmetic and the segment/triangle and segment/quad tests.
#pragma once

#include <tarvex/types.h>

namespace TVX_Collision {

using Tarvex::TGLVECTOR;
using Tarvex::TGLVERTEX;

}  // namespace TVX_Collision
