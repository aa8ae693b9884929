// tarvex-buttons: a starting point for programs built on the toolkit.
//
// It opens the toolkit's window with a three-part status bar, draws a lit
// sphere with orbiting moons every frame, and puts three shaped image buttons
// over the scene. A click on a button gives the sphere that button's colour
// and says so in the status bar; a right click on the scene (the context-menu
// request) pauses or resumes the spin. Left drag turns the view, right drag
// moves it nearer or farther, Escape or the close box ends the program.
//
// The button images are read from buttons/ beside the program (the build
// draws them there).
#include <GL/gl.h>

#include <cstdio>
#include <string>

#include <unistd.h>

#include <tarvex/gl_state.h>
#include <tarvex/hover_button.h>
#include <tarvex/input.h>
#include <tarvex/primitives.h>
#include <tarvex/window.h>
#include <tvxp/gl.h>
#include <tvxp/window.h>

namespace {

const char TITLE[] = "Tarvex buttons";
const int WINDOW_WIDTH = 800;
const int WINDOW_HEIGHT = 600;

// One image button: its images' stem, its place and child id, and the colour
// it gives the sphere.
struct ButtonSpec {
  const char* name;
  int id;
  float colour[4];
};
const ButtonSpec BUTTONS[] = {
    {"circle", 101, {0.25f, 0.50f, 0.95f, 1.0f}},
    {"square", 102, {0.30f, 0.80f, 0.40f, 1.0f}},
    {"star", 103, {0.95f, 0.70f, 0.20f, 1.0f}},
};
const int BUTTON_COUNT = 3;
const int BUTTON_LEFT = 24, BUTTON_TOP = 24, BUTTON_SIZE = 64, BUTTON_GAP = 16;

// Status-bar parts, as SB_SETTEXTA numbers them (the edges are 1-based).
const int PART_BUTTON = 0;
const int PART_COUNT = 1;
const int PART_MENU = 2;

// Scene state, changed by the hooks below.
const ButtonSpec* g_chosen = &BUTTONS[0];
int g_clicks = 0;
bool g_spinning = true;
float g_angle = 0.0f;

void set_status(int part, const std::string& text) {
  // SB_SETTEXTA copies the text, so a temporary will do.
  tvxp::send_message(Tarvex::HSTATUS, tvxp::SB_SETTEXTA, static_cast<tvxp::WPARAM>(part),
                     reinterpret_cast<tvxp::LPARAM>(text.c_str()));
}

// The toolkit calls this with every WM_COMMAND its window receives; an image
// button posts one with its child id in wParam when it is clicked.
int32_t on_command(tvxp::HWND, tvxp::UINT, tvxp::WPARAM wparam, tvxp::LPARAM) {
  const int id = static_cast<int>(wparam & 0xFFFF);
  for (const ButtonSpec& b : BUTTONS)
    if (b.id == id) {
      g_chosen = &b;
      ++g_clicks;
      set_status(PART_BUTTON, std::string("Clicked: ") + b.name);
      set_status(PART_COUNT, "Clicks: " + std::to_string(g_clicks));
    }
  return 0;
}

// The toolkit calls this on a context-menu request (a right click, or the
// Menu key). There is no menu to pop up here: the request toggles the spin.
void on_context_menu() {
  g_spinning = !g_spinning;
  set_status(PART_MENU, g_spinning ? "Menu: spin on" : "Menu: spin paused");
}

// The directory this program was started from, with a trailing slash.
std::string program_dir() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string p(path, static_cast<size_t>(n));
  return p.substr(0, p.rfind('/') + 1);
}

void create_buttons() {
  const std::string dir = program_dir() + "buttons/";
  for (int i = 0; i < BUTTON_COUNT; ++i) {
    // A button reads its three images while it is created: BMPTYPE + "N.BMP",
    // "H.BMP" and "P.BMP". It then takes the normal image's size, so the size
    // given here only matters when that image is missing.
    Tarvex::BMPTYPE = dir + BUTTONS[i].name;
    const int y = BUTTON_TOP + i * (BUTTON_SIZE + BUTTON_GAP);
    tvxp::create_window(Tarvex::SZHOVERCLASS, BUTTONS[i].name, tvxp::WS_CHILD | tvxp::WS_VISIBLE, BUTTON_LEFT, y,
                        BUTTON_SIZE, BUTTON_SIZE, Tarvex::HWINDOW, BUTTONS[i].id);
  }
}

// A lit material of the given colour: a dim ambient part and a diffuse part
// that stays below white under the full light.
void material(const float colour[4]) {
  const float ambient[4] = {colour[0] * 0.35f, colour[1] * 0.35f, colour[2] * 0.35f, 1.0f};
  const float diffuse[4] = {colour[0] * 0.8f, colour[1] * 0.8f, colour[2] * 0.8f, 1.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
}

void draw_scene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // The light sits above and in front of the viewer, fixed to the camera.
  Tarvex::PUTGLPOINTLIGHT(GL_LIGHT0, 0, 4.0f, 6.0f, 8.0f, 1.0f);
  // The mouse camera: distance DEPTH, angles XROT and YROT.
  Tarvex::SETGLMOUSEMOVE(Tarvex::GL_M0, 2);

  glRotatef(g_angle, 0.0f, 1.0f, 0.0f);
  glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);  // SFERA's poles are on Z; stand them up
  material(g_chosen->colour);
  Tarvex::SFERA(0.0f, 0.0f, 0.0f, 1.4f, 32, 16, 1.0f);

  // One small moon per button, in its colour, on a tilted orbit.
  const float grey[4] = {0.75f, 0.75f, 0.78f, 1.0f};
  for (int i = 0; i < BUTTON_COUNT; ++i) {
    glPushMatrix();
    glRotatef(i * 120.0f + g_angle * 2.0f, 0.2f, 0.0f, 1.0f);
    material(&BUTTONS[i] == g_chosen ? grey : BUTTONS[i].colour);
    Tarvex::SFERA(2.3f, 0.0f, 0.0f, 0.25f, 16, 8, 1.0f);
    glPopMatrix();
  }
  if (g_spinning) g_angle += 0.5f;
}

}  // namespace

int main() {
  using namespace Tarvex;

  // Cursor and icon: the system arrow and the generic application icon.
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");

  // A status bar of three parts; the edges are right ends in client pixels,
  // -1 meaning the window's right edge.
  SHOWSTATUSBAR = true;
  MAXSTATUSITEM = 3;
  STATUSITEM[1] = 260;
  STATUSITEM[2] = 520;
  STATUSITEM[3] = -1;

  // The hooks are only called while SHOWMENUBAR is on.
  SHOWMENUBAR = true;
  GETINPUTCOMMAND = on_command;
  CREATEMOUSEMENU = on_context_menu;

  CREATEOGLWINDOW(TITLE, WINDOW_WIDTH, WINDOW_HEIGHT, 32, false);

  // Perspective with a far plane of 100 and a dark blue-grey background
  // (alpha first), back faces culled, one light.
  OPENGL_INIT(100.0, 0.0, 0.10, 0.11, 0.15);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 4.0f, 6.0f, 8.0f, 1.0f);
  DEPTH = 7.0f;

  create_buttons();
  set_status(PART_BUTTON, "Click a button");
  set_status(PART_COUNT, "Clicks: 0");
  set_status(PART_MENU, "Right click: menu");

  // One message, one frame, one present, until Escape or the close box.
  do {
    glClear(GL_COLOR_BUFFER_BIT);
    SETGLMSG();
    draw_scene();
    tvxp::swap_buffers(DCWINDOW);
  } while (ACTIVE);

  DELETEOGLWINDOW();
  return 0;
}
