// Recorded vertices.
#include <tarvex/vertex.h>

namespace Tarvex {

bool GLVERT3FREMOVE = false;
bool GLVERT3FENABLEEDIT = false;

}  // namespace Tarvex
