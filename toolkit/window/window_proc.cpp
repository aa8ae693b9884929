// The window procedure of the toolkit's window, the one-message pump, the key
// table and the mouse camera.
#include <tarvex/input.h>

#include <GL/gl.h>

namespace Tarvex {

int32_t SETKEY[501] = {};
bool LEFTMOUSEDOWN = false;
bool RIGHTMOUSEDOWN = false;
bool LEFTMOUSEDOWN2 = false;
bool RIGHTMOUSEDOWN2 = false;
bool MOUSEFREE = false;
int32_t SETMX = 0;
int32_t SETMY = 0;
int32_t SETOMX = 0;
int32_t SETOMY = 0;
int32_t XCOORD = 0;
int32_t YCOORD = 0;
int32_t ZCOORD = 0;
float XROT = 0;
float YROT = 0;
float XROT2 = 0;
float YROT2 = 0;
float DEPTH = 0;
float DEPTH2 = 0;
tvxp::POINT MPOS = {0, 0};
int32_t MSPEED = 0;
TGLVERTEX MY = {0, 0, 0};
tvxp::MSG MSG_ = {};

namespace {

const int32_t HELD = -1;  // a held key is stored with all bits set
const UINT MAX_KEY = 500;

LRESULT default_processing(HWND WINDOW, UINT AMESSAGE, WPARAM WPARAM_, LPARAM LPARAM_) {
  // The status bar is asked to repaint at once; with no status bar this does nothing.
  if (WPARAM_ == 0) tvxp::update_window(HSTATUS);
  return tvxp::def_window_proc(WINDOW, AMESSAGE, WPARAM_, LPARAM_);
}

float clamp60(float v) {
  if (v > 60) return 60;
  if (v < -60) return -60;
  return v;
}

void mouse_move(uint32_t lo, uint32_t hi) {
  SETOMX = static_cast<int32_t>(lo);
  SETOMY = static_cast<int32_t>(hi);
  const int32_t x = static_cast<int32_t>(lo), y = static_cast<int32_t>(hi);
  if (LEFTMOUSEDOWN) {
    const long double dx = static_cast<long double>(y - YCOORD) / 2 * MSPEED;
    const long double dy = static_cast<long double>(x - XCOORD) / 2 * MSPEED;
    XROT = static_cast<float>(XROT + dx);
    YROT = static_cast<float>(YROT + dy);
    XROT2 = static_cast<float>(XROT2 + dx);
    YROT2 = static_cast<float>(YROT2 + dy);
    XCOORD = x;
    YCOORD = y;
  }
  if (RIGHTMOUSEDOWN && !MOUSEFREE) {
    const long double dz = static_cast<long double>(y - ZCOORD) / 10 * MSPEED;
    DEPTH = static_cast<float>(DEPTH - dz);
    DEPTH2 = static_cast<float>(DEPTH2 - dz);
    ZCOORD = y;
  }
  if (MOUSEFREE && tvxp::get_foreground_window() == HWINDOW) {
    tvxp::get_cursor_pos(&MPOS);
    const int32_t cx = WIDTH / 2, cy = HEIGHT / 2;
    tvxp::set_cursor_pos(cx, cy);
    const long double dx = static_cast<long double>(MPOS.X - cx) / 100 * MSPEED;
    const long double dy = static_cast<long double>(cy - MPOS.Y) / 100 * MSPEED;
    XROT = static_cast<float>(XROT + dx);
    YROT = clamp60(static_cast<float>(YROT - dy));
    XROT2 = static_cast<float>(XROT2 + dx);
    YROT2 = clamp60(static_cast<float>(YROT2 - dy));
  }
}

}  // namespace

LRESULT GLWNDPROC(HWND WINDOW, UINT AMESSAGE, WPARAM WPARAM_, LPARAM LPARAM_) {
  const uint32_t lo = tvxp::lo_word(LPARAM_), hi = tvxp::hi_word(LPARAM_);
  switch (AMESSAGE) {
    case tvxp::WM_CREATE:
      ACTIVE = true;
      return 0;
    case tvxp::WM_DESTROY:
      ACTIVE = false;
      tvxp::post_quit_message(0);
      return 0;
    case tvxp::WM_PAINT:
      // The frame loop redraws continuously; only the status bar is painted here.
      tvxp::begin_paint(WINDOW);
      tvxp::update_window(HSTATUS);
      tvxp::end_paint(WINDOW);
      return 0;
    case tvxp::WM_CONTEXTMENU:
      if (SHOWMENUBAR && CREATEMOUSEMENU) CREATEMOUSEMENU();
      break;
    case tvxp::WM_KEYDOWN:
      if (WPARAM_ == tvxp::VK_ESCAPE) {
        // The destroy handling runs while the window itself still exists.
        tvxp::send_message(HWINDOW, tvxp::WM_DESTROY, 0, 0);
        return 0;
      }
      if (WPARAM_ <= MAX_KEY) SETKEY[WPARAM_] = HELD;
      break;
    case tvxp::WM_KEYUP:
      if (WPARAM_ <= MAX_KEY) SETKEY[WPARAM_] = 0;
      MOUSEFREE = false;
      break;
    case tvxp::WM_COMMAND:
      if (SHOWMENUBAR && GETINPUTCOMMAND) GETINPUTCOMMAND(WINDOW, AMESSAGE, WPARAM_, LPARAM_);
      return 0;
    case tvxp::WM_SYSCOMMAND:
      // The screen saver and monitor power-down are refused while the window is active.
      if (WPARAM_ == tvxp::SC_SCREENSAVE || WPARAM_ == tvxp::SC_MONITORPOWER) return 0;
      break;
    case tvxp::WM_MOUSEMOVE:
      mouse_move(lo, hi);
      break;
    case tvxp::WM_LBUTTONDOWN:
      tvxp::release_capture();
      tvxp::set_capture(HWINDOW);
      LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = true;
      XCOORD = SETMX = static_cast<int32_t>(lo);
      YCOORD = SETMY = static_cast<int32_t>(hi);
      break;
    case tvxp::WM_LBUTTONUP:
      tvxp::release_capture();
      LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = false;
      XCOORD = YCOORD = SETMX = SETMY = 0;
      break;
    case tvxp::WM_RBUTTONDOWN:
      tvxp::release_capture();
      tvxp::set_capture(HWINDOW);
      RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = true;
      ZCOORD = static_cast<int32_t>(hi);
      break;
    case tvxp::WM_RBUTTONUP:
      tvxp::release_capture();
      RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = false;
      break;
    default:
      break;
  }
  return default_processing(WINDOW, AMESSAGE, WPARAM_, LPARAM_);
}

void SETGLMSG() {
  if (tvxp::peek_message(&MSG_, 0, 0, 0, tvxp::PM_NOREMOVE)) {
    // The result (false for the quit message) is not needed: the destroy
    // handling that posted the quit message also cleared ACTIVE.
    tvxp::get_message(&MSG_, 0, 0, 0);
    tvxp::translate_message(&MSG_);
    tvxp::dispatch_message(&MSG_);
  }
}

bool SETGLKEY(char KEY) { return SETKEY[static_cast<unsigned char>(KEY)] != 0; }

void SETGLMOUSEMOVE(int32_t XYZ, int32_t SPEED) {
  MSPEED = SPEED;
  switch (XYZ) {
    case GL_M0:
      MY = TGLVERTEX{0, 0, -DEPTH};
      glTranslatef(MY.X, MY.Y, MY.Z);
      glRotatef(XROT, 1, 0, 0);
      glRotatef(YROT, 0, 1, 0);
      break;
    case GL_MX:
      MY = TGLVERTEX{0, -DEPTH, 0};
      glTranslatef(MY.X, MY.Y, MY.Z);
      glRotatef(XROT, 1, 0, 0);
      glRotatef(YROT, 0, 0, 1);
      break;
    case GL_MY:
      MY = TGLVERTEX{-DEPTH, 0, 0};
      glTranslatef(MY.X, MY.Y, MY.Z);
      glRotatef(XROT, 0, 0, -1);
      glRotatef(YROT, 0, 1, 0);
      break;
    case GL_MZ:
      MY = TGLVERTEX{0, 0, -DEPTH};
      glTranslatef(MY.X, MY.Y, MY.Z);
      glRotatef(XROT, 0, 1, 0);
      glRotatef(YROT, 1, 0, 0);
      break;
    default:
      break;
  }
}

}  // namespace Tarvex
