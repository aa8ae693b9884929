// The demo's entry: the full-screen question, the window, the frame loop.
#include <GL/gl.h>

#include <tarvex/gl_state.h>
#include <tarvex/input.h>
#include <tarvex/window.h>
#include <tvxp/gl.h>
#include <tvxp/msgbox.h>

#include "demo.h"

namespace {

const char QUESTION[] = "Settare lo schermo intero?  ";
const char QUESTION_CAPTION[] = "Video!";
const char TITLE[] = "Rilevamento dell altezza tramite intersezioni con i raggi - W\\S\\A\\D movimento  Z on/off debug";

}  // namespace

int main() {
  // Only No gives a window; Yes, or a box that could not be shown, asks for full screen.
  int answer = tvxp::message_box(0, QUESTION, QUESTION_CAPTION, tvxp::MB_YESNO | tvxp::MB_ICONQUESTION);
  Tarvex::FULLSCREEN = answer != tvxp::IDNO;

  Tarvex::OGLWINDOWSETTING(Tarvex::ARROW, "", Tarvex::GENERIC, "");
  Tarvex::CREATEOGLWINDOW(TITLE, 800, 600, 32, Tarvex::FULLSCREEN);
  Tarvex::OPENGL_INIT(100.0, 0, 0, 0, 0);
  Tarvex::SETGLREFRACTIVE();
  Tarvex::SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
  rayheight::OPENGL_CREATELIST();

  // The test comes after the body: at least one frame is drawn.
  do {
    glClear(GL_COLOR_BUFFER_BIT);
    Tarvex::SETGLMSG();
    rayheight::OPENGL_DRAW();
    tvxp::swap_buffers(Tarvex::DCWINDOW);
  } while (Tarvex::ACTIVE);

  Tarvex::DELETEOGLWINDOW();
  return 0;
}
