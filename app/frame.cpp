// The frame procedure: a fixed sequence of steps, once per loop pass.
#include "demo.h"

#include <GL/gl.h>

namespace rayheight {

void OPENGL_DRAW() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
}

}  // namespace rayheight
