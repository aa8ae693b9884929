// The toolkit's window: settings, classes, creation, GL context, teardown.
#include <tarvex/hover_button.h>
#include <tarvex/input.h>
#include <tarvex/vertex.h>
#include <tarvex/window.h>

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include <tvxp/gl.h>
#include <tvxp/msgbox.h>

namespace Tarvex {

HWND HWINDOW = 0;
HDC DCWINDOW = 0;
HGLRC RCWINDOW = 0;
int32_t WIDTH = 0;
int32_t HEIGHT = 0;
int32_t BITS = 0;
bool FULLSCREEN = false;
bool ACTIVE = false;
int32_t SETTYPECURSOR = 0;
int32_t SETTYPEICON = 0;
const char* CURSORFILE = nullptr;
const char* ICONFILE = nullptr;
uint32_t PIXEL_FORMAT_FLAGS = 0;
bool SHOWMENUBAR = false;
void (*CREATEMENUBAR)() = nullptr;
void (*CREATEMOUSEMENU)() = nullptr;
int32_t (*GETINPUTCOMMAND)(HWND, UINT, WPARAM, LPARAM) = nullptr;
bool SHOWSTATUSBAR = false;
HWND HSTATUS = 0;
HWND AWND = 0;
TFILENAME FILENAME = {};
int32_t STATUSITEM[21] = {};
int32_t MAXSTATUSITEM = 0;
int32_t EDGES[21] = {};
tvxp::WNDCLASSEX WINDOWCLASSEX = {};
uint32_t START = 0;
bool FOGONOFF = false;
uint32_t OBJNULL = 0;

namespace {

const char GL_WINDOW_CLASS[] = "GLWindow";
const int IDI_APPLICATION = 32512;
const int IDC_ARROW = 32512;
const int COLOR_BTNFACE = 15;
const int NULL_BRUSH = 5;
const uint32_t STYLE_WINDOWED = 0x96CA0000u;
const uint32_t STYLE_FULLSCREEN = 0x96880000u;
const uint32_t STATUS_STYLE = 0x50000000u;
const int STATUS_ID = 30482;

// The system cursor of each cursor code; 0 where the code names none.
const int SYSTEM_CURSOR[17] = {0,     32512, 32513, 32514, 32515, 32516, 32640, 0,    32642,
                               32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};

tvxp::HCURSOR class_cursor() {
  if (SETTYPECURSOR == FILECURSOR) return tvxp::load_cursor_from_file(CURSORFILE ? CURSORFILE : "");
  if (SETTYPECURSOR >= 1 && SETTYPECURSOR <= 16) return tvxp::load_system_cursor(SYSTEM_CURSOR[SETTYPECURSOR]);
  return 0;
}

tvxp::HICON class_icon() {
  if (SETTYPEICON == GENERIC) return tvxp::load_system_icon(IDI_APPLICATION);
  // Icon files go through the cursor-file loader.
  if (SETTYPEICON == FILEICON) return tvxp::load_cursor_from_file(ICONFILE ? ICONFILE : "");
  return 0;
}

}  // namespace

void OGLWINDOWSETTING(int32_t TYPECURSOR, const char* CURFILE, int32_t TYPEICON, const char* ICOFILE) {
  if (MOUSEFREE) {
    START = tvxp::get_tick_count();
    tvxp::set_cursor_pos(WIDTH / 2, HEIGHT / 2);
  }
  FOGONOFF = true;
  SETTYPECURSOR = TYPECURSOR;
  CURSORFILE = CURFILE;
  SETTYPEICON = TYPEICON;
  ICONFILE = ICOFILE;
  // A display list needs a current context; before the window exists there
  // is none, and OBJNULL stays 0.
  if (tvxp::gl_get_current_context()) {
    OBJNULL = glGenLists(1);
    glNewList(OBJNULL, GL_COMPILE);
    glEndList();
  }
  GLVERT3FREMOVE = false;
  GLVERT3FENABLEEDIT = false;
}

bool WINDOWREGISTER() {
  tvxp::WNDCLASS cls;
  cls.style = 3;  // redraw on horizontal and vertical size changes
  cls.proc = GLWNDPROC;
  cls.icon = class_icon();
  cls.cursor = class_cursor();
  cls.background = tvxp::get_sys_color_brush(COLOR_BTNFACE);
  cls.name = GL_WINDOW_CLASS;
  bool result = (tvxp::register_class(cls) & 0xFFFF) != 0;

  if (!tvxp::get_class_info_ex(SZHOVERCLASS, &WINDOWCLASSEX)) {
    WINDOWCLASSEX.cbSize = 48;
    WINDOWCLASSEX.style = 0;
    WINDOWCLASSEX.lpfnWndProc = HOVERBUTTONHANDLER;
    WINDOWCLASSEX.cbClsExtra = 0;
    WINDOWCLASSEX.cbWndExtra = 0;
    WINDOWCLASSEX.hInstance = 0;
    WINDOWCLASSEX.hIcon = tvxp::load_system_icon(IDI_APPLICATION);
    WINDOWCLASSEX.hCursor = tvxp::load_system_cursor(IDC_ARROW);
    // The button paints everything itself.
    WINDOWCLASSEX.hbrBackground = tvxp::get_stock_object(NULL_BRUSH);
    WINDOWCLASSEX.lpszMenuName = nullptr;
    WINDOWCLASSEX.lpszClassName = SZHOVERCLASS;
    WINDOWCLASSEX.hIconSm = tvxp::load_system_icon(IDI_APPLICATION);
    tvxp::register_class_ex(WINDOWCLASSEX);
  }
  return result;
}

HWND WINDOWCREATE(const char* PCAPPLICATIONNAME) {
  uint32_t style = STYLE_WINDOWED;
  if (FULLSCREEN) {
    WIDTH = tvxp::get_system_metrics(tvxp::SM_CXSCREEN);
    HEIGHT = tvxp::get_system_metrics(tvxp::SM_CYSCREEN);
    style = STYLE_FULLSCREEN;
  }
  HWND wnd = tvxp::create_window(GL_WINDOW_CLASS, PCAPPLICATIONNAME, style, tvxp::CW_USEDEFAULT, tvxp::CW_USEDEFAULT,
                                 WIDTH, HEIGHT, 0, 0);
  if (wnd) {
    tvxp::show_window(wnd, tvxp::startup_show_command());
    tvxp::update_window(wnd);
  }
  return wnd;
}

bool WINDOWINIT(HWND HPARENT) {
  tvxp::PIXELFORMATDESCRIPTOR pfd;
  std::memset(&pfd, 0, sizeof pfd);
  const uint8_t bits = static_cast<uint8_t>(BITS);
  pfd.nSize = 40;
  pfd.nVersion = 1;
  pfd.dwFlags = PIXEL_FORMAT_FLAGS | 0x1067u;
  pfd.iPixelType = tvxp::PFD_TYPE_RGBA;
  pfd.cColorBits = bits;
  pfd.cAlphaBits = bits;
  pfd.cAccumBits = bits;
  pfd.cDepthBits = bits;
  pfd.cStencilBits = bits;
  pfd.cAuxBuffers = bits;
  pfd.iLayerType = 1;

  bool failed = false;
  DCWINDOW = tvxp::get_dc(HPARENT);
  int format = tvxp::choose_pixel_format(DCWINDOW, &pfd);
  if (format == 0) failed = true;
  tvxp::set_pixel_format(DCWINDOW, format, &pfd);
  RCWINDOW = tvxp::gl_create_context(DCWINDOW);
  if (RCWINDOW == 0) failed = true;
  tvxp::gl_make_current(DCWINDOW, RCWINDOW);
  return !failed;
}

HWND CREATESTATUSBAR(HWND PARENT) {
  std::strcpy(FILENAME, "Percorso file");
  AWND = tvxp::create_status_window(STATUS_STYLE, FILENAME, PARENT, STATUS_ID);
  if (AWND != 0) {
    for (int32_t i = 1; i <= MAXSTATUSITEM; ++i) EDGES[i] = STATUSITEM[i];
    tvxp::send_message(AWND, tvxp::SB_SETPARTS, static_cast<WPARAM>(MAXSTATUSITEM),
                       reinterpret_cast<LPARAM>(&EDGES[1]));
  }
  return AWND;
}

bool CREATEOGLWINDOW(const char* APPNAME, int32_t APPWIDTH, int32_t APPHEIGHT, int32_t APPBITS, bool APPFULLSCREEN) {
  WIDTH = APPWIDTH;
  HEIGHT = APPHEIGHT;
  BITS = APPBITS;
  FULLSCREEN = APPFULLSCREEN;
  if (!WINDOWREGISTER()) THROWERROR("Errore di registro per la rispettiva applicazione!");
  HWINDOW = WINDOWCREATE(APPNAME);
  if (SHOWMENUBAR && CREATEMENUBAR) CREATEMENUBAR();
  if (SHOWSTATUSBAR) HSTATUS = CREATESTATUSBAR(HWINDOW);
  if (HWINDOW == 0) THROWERROR("Impossibile creare la finestra per la rispettiva applicazione!");
  // The message is kept in Windows-1252: "\xE8" is the single byte of its accented e.
  if (!WINDOWINIT(HWINDOW)) THROWERROR("la rispettiva applicazione non \xE8 stata inizilizata!");
  return true;
}

void DELETEOGLWINDOW() {
  tvxp::gl_make_current(DCWINDOW, 0);
  tvxp::gl_delete_context(RCWINDOW);
  tvxp::release_dc(HWINDOW, DCWINDOW);
  tvxp::destroy_window(HWINDOW);
}

void THROWERROR(const char* PCERRORMESSAGE) {
  tvxp::message_box(0, PCERRORMESSAGE, "Error", tvxp::MB_OK);
  // The normal exit path, so that static destructors still run.
  std::exit(0);
}

}  // namespace Tarvex
