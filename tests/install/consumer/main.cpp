// The smallest program on the installed toolkit: a window, a lit sphere, Escape ends it.
#include <GL/gl.h>

#include <tarvex/gl_state.h>
#include <tarvex/input.h>
#include <tarvex/primitives.h>
#include <tarvex/window.h>
#include <tvx_collision/collision.h>
#include <tvxp/gl.h>

int main() {
  Tarvex::OGLWINDOWSETTING(Tarvex::ARROW, "", Tarvex::GENERIC, "");
  Tarvex::CREATEOGLWINDOW("consumer", 320, 240, 32, false);
  Tarvex::OPENGL_INIT(100, 0, 0, 0, 0);
  Tarvex::SETGLLIGHT(GL_LIGHT0, 0, 0, 1, 0);
  Tarvex::TGLVECTOR hit{0, 0, 0};
  TVX_Collision::LINEINQUAD({0, 1, 0}, {0, -1, 0}, {-1, 0, -1}, {1, 0, -1}, {-1, 0, 1}, {1, 0, 1}, hit);
  do {
    Tarvex::SETGLMSG();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -5);
    Tarvex::SFERA(0, 0, 0, 1, 16, 16, 1);
    tvxp::swap_buffers(Tarvex::DCWINDOW);
  } while (Tarvex::ACTIVE);
  Tarvex::DELETEOGLWINDOW();
  return 0;
}
