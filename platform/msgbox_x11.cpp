// The modal message box drawn with Xlib: its own top-level window, the text
// in lines, an icon made of simple shapes and one or two push buttons.
#include "msgbox_x11.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <string>
#include <vector>

#include "x11_common.h"

namespace tvxp::x11 {
namespace {

// Layout, in pixels.
const int PAD = 14;             // around the content and the buttons
const int ICON = 32;            // icon square
const int ICON_GAP = 12;        // icon to text
const int LINE_GAP = 2;         // between text lines
const int BUTTON_MIN_W = 80;
const int BUTTON_PAD_X = 14;    // label to button edge
const int BUTTON_PAD_Y = 7;
const int BUTTON_GAP = 10;
const int MIN_WIDTH = 220;

// Colours, 0xRRGGBB.
const unsigned long C_CONTENT = 0xFFFFFF;
const unsigned long C_STRIP = 0xF0F0F0;
const unsigned long C_STRIP_LINE = 0xDFDFDF;
const unsigned long C_TEXT = 0x000000;
const unsigned long C_FACE = 0xE1E1E1;
const unsigned long C_FACE_DOWN = 0xCCE4F7;
const unsigned long C_EDGE = 0xADADAD;
const unsigned long C_DEFAULT_EDGE = 0x0078D7;
const unsigned long C_QUESTION = 0x1F5FBF;
const unsigned long C_ERROR = 0xD32F2F;
const unsigned long C_WARNING = 0xF2C12E;
const unsigned long C_WARNING_EDGE = 0x8A6D00;
const unsigned long C_INFO = 0x1F5FBF;
const unsigned long C_WHITE = 0xFFFFFF;

struct Button {
  const char* label;
  int answer;
  int x, y, w, h;
};

struct Box {
  Display* dpy = nullptr;
  Window win = 0;
  GC gc = nullptr;
  XFontSet fontset = nullptr;
  XFontStruct* font = nullptr;
  int ascent = 0, descent = 0;
  Colormap cmap = 0;
  std::vector<unsigned long> allocated;

  std::vector<std::string> lines;  // as drawn: UTF-8 for the font set, Latin-1 for the core font
  std::vector<Button> buttons;
  unsigned icon = 0;
  int width = 0, height = 0;
  int text_x = 0, text_y = 0, line_h = 0;
  int icon_x = 0, icon_y = 0;
  int strip_y = 0;

  int focus = 0;         // the button that Enter and space press
  int pressed = -1;      // the button under a held mouse button
  bool yes_no = false;

  bool key_armed[256] = {};  // press seen by the box
  bool key_stale[256] = {};  // already down when the box appeared
};

// Latin-1 for the core font: the characters it has, '?' for the rest.
std::string utf8_to_latin1(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned cp;
    size_t n;
    if (c < 0x80) {
      cp = c;
      n = 1;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      n = 2;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      n = 3;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      n = 4;
    } else {
      out += '?';
      ++i;
      continue;
    }
    bool ok = i + n <= s.size();
    for (size_t k = 1; ok && k < n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    i += n;
    if (cp <= 0xFF) {
      out += static_cast<char>(cp);
      continue;
    }
    // The code page's typographic marks have plain equivalents.
    switch (cp) {
      case 0x2018: case 0x2019: case 0x201A: case 0x2039: case 0x203A: out += '\''; break;
      case 0x201C: case 0x201D: case 0x201E: out += '"'; break;
      case 0x2013: case 0x2014: out += '-'; break;
      case 0x2026: out += "..."; break;
      case 0x2022: out += '\xB7'; break;
      case 0x20AC: out += "EUR"; break;
      case 0x2122: out += "TM"; break;
      default: out += '?'; break;
    }
  }
  return out;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  lines.push_back(line);
  return lines;
}

int text_width(const Box& b, const std::string& s) {
  if (s.empty()) return 0;
  if (b.fontset) {
    XRectangle ink, logical;
    Xutf8TextExtents(b.fontset, s.data(), static_cast<int>(s.size()), &ink, &logical);
    return logical.width;
  }
  return XTextWidth(b.font, s.data(), static_cast<int>(s.size()));
}

void draw_text(const Box& b, int x, int baseline, const std::string& s) {
  if (s.empty()) return;
  if (b.fontset)
    Xutf8DrawString(b.dpy, b.win, b.fontset, b.gc, x, baseline, s.data(), static_cast<int>(s.size()));
  else
    XDrawString(b.dpy, b.win, b.gc, x, baseline, s.data(), static_cast<int>(s.size()));
}

unsigned long colour(Box& b, unsigned long rgb) {
  XColor c;
  c.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 0x101);
  c.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 0x101);
  c.blue = static_cast<unsigned short>((rgb & 0xFF) * 0x101);
  c.flags = DoRed | DoGreen | DoBlue;
  if (XAllocColor(b.dpy, b.cmap, &c)) {
    b.allocated.push_back(c.pixel);
    return c.pixel;
  }
  // A full colour map: black or white, whichever is nearer.
  int grey = static_cast<int>(((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF));
  return grey > 3 * 128 ? WhitePixel(b.dpy, screen()) : BlackPixel(b.dpy, screen());
}

struct Palette {
  unsigned long content, strip, strip_line, text, face, face_down, edge, default_edge;
  unsigned long question, error, warning, warning_edge, info, white;
};

void fill_circle(Box& b, int x, int y, int d) { XFillArc(b.dpy, b.win, b.gc, x, y, d, d, 0, 360 * 64); }

// The icon, in a 32-pixel square at (x, y).
void draw_icon(Box& b, const Palette& p) {
  const int x = b.icon_x, y = b.icon_y;
  switch (b.icon) {
    case MB_ICONQUESTION: {
      XSetForeground(b.dpy, b.gc, p.question);
      fill_circle(b, x, y, ICON);
      XSetForeground(b.dpy, b.gc, p.white);
      XSetLineAttributes(b.dpy, b.gc, 4, LineSolid, CapRound, JoinRound);
      // The hook of the question mark, then its stem and dot.
      XDrawArc(b.dpy, b.win, b.gc, x + 10, y + 6, 12, 11, 170 * 64, -250 * 64);
      XDrawLine(b.dpy, b.win, b.gc, x + 16, y + 17, x + 16, y + 19);
      fill_circle(b, x + 13, y + 22, 6);
      break;
    }
    case MB_ICONERROR: {
      XSetForeground(b.dpy, b.gc, p.error);
      fill_circle(b, x, y, ICON);
      XSetForeground(b.dpy, b.gc, p.white);
      XSetLineAttributes(b.dpy, b.gc, 4, LineSolid, CapRound, JoinRound);
      XDrawLine(b.dpy, b.win, b.gc, x + 10, y + 10, x + 22, y + 22);
      XDrawLine(b.dpy, b.win, b.gc, x + 22, y + 10, x + 10, y + 22);
      break;
    }
    case MB_ICONWARNING: {
      XPoint tri[3] = {{static_cast<short>(x + 16), static_cast<short>(y + 1)},
                       {static_cast<short>(x + 31), static_cast<short>(y + 29)},
                       {static_cast<short>(x + 1), static_cast<short>(y + 29)}};
      XSetForeground(b.dpy, b.gc, p.warning);
      XFillPolygon(b.dpy, b.win, b.gc, tri, 3, Convex, CoordModeOrigin);
      XSetForeground(b.dpy, b.gc, p.warning_edge);
      XSetLineAttributes(b.dpy, b.gc, 1, LineSolid, CapButt, JoinMiter);
      XPoint outline[4] = {tri[0], tri[1], tri[2], tri[0]};
      XDrawLines(b.dpy, b.win, b.gc, outline, 4, CoordModeOrigin);
      XSetForeground(b.dpy, b.gc, p.text);
      XSetLineAttributes(b.dpy, b.gc, 4, LineSolid, CapRound, JoinRound);
      XDrawLine(b.dpy, b.win, b.gc, x + 16, y + 11, x + 16, y + 19);
      fill_circle(b, x + 13, y + 22, 5);
      break;
    }
    case MB_ICONINFORMATION: {
      XSetForeground(b.dpy, b.gc, p.info);
      fill_circle(b, x, y, ICON);
      XSetForeground(b.dpy, b.gc, p.white);
      fill_circle(b, x + 13, y + 6, 6);
      XFillRectangle(b.dpy, b.win, b.gc, x + 14, y + 14, 5, 12);
      XFillRectangle(b.dpy, b.win, b.gc, x + 11, y + 14, 4, 2);
      XFillRectangle(b.dpy, b.win, b.gc, x + 11, y + 24, 11, 2);
      break;
    }
    default:
      break;
  }
  XSetLineAttributes(b.dpy, b.gc, 1, LineSolid, CapButt, JoinMiter);
}

void draw(Box& b, const Palette& p) {
  XSetForeground(b.dpy, b.gc, p.content);
  XFillRectangle(b.dpy, b.win, b.gc, 0, 0, static_cast<unsigned>(b.width), static_cast<unsigned>(b.strip_y));
  XSetForeground(b.dpy, b.gc, p.strip);
  XFillRectangle(b.dpy, b.win, b.gc, 0, b.strip_y, static_cast<unsigned>(b.width),
                 static_cast<unsigned>(b.height - b.strip_y));
  XSetForeground(b.dpy, b.gc, p.strip_line);
  XDrawLine(b.dpy, b.win, b.gc, 0, b.strip_y, b.width, b.strip_y);

  if (b.icon) draw_icon(b, p);

  XSetForeground(b.dpy, b.gc, p.text);
  for (size_t i = 0; i < b.lines.size(); ++i)
    draw_text(b, b.text_x, b.text_y + static_cast<int>(i) * b.line_h + b.ascent, b.lines[i]);

  for (size_t i = 0; i < b.buttons.size(); ++i) {
    const Button& k = b.buttons[i];
    bool focused = static_cast<int>(i) == b.focus;
    XSetForeground(b.dpy, b.gc, static_cast<int>(i) == b.pressed ? p.face_down : p.face);
    XFillRectangle(b.dpy, b.win, b.gc, k.x, k.y, static_cast<unsigned>(k.w), static_cast<unsigned>(k.h));
    XSetForeground(b.dpy, b.gc, focused ? p.default_edge : p.edge);
    XDrawRectangle(b.dpy, b.win, b.gc, k.x, k.y, static_cast<unsigned>(k.w - 1), static_cast<unsigned>(k.h - 1));
    if (focused) {
      // The default button wears a double outline and the focus dots.
      XDrawRectangle(b.dpy, b.win, b.gc, k.x + 1, k.y + 1, static_cast<unsigned>(k.w - 3),
                     static_cast<unsigned>(k.h - 3));
      XSetForeground(b.dpy, b.gc, p.text);
      XSetLineAttributes(b.dpy, b.gc, 1, LineOnOffDash, CapButt, JoinMiter);
      static const char dots[] = {1, 1};
      XSetDashes(b.dpy, b.gc, 0, dots, 2);
      XDrawRectangle(b.dpy, b.win, b.gc, k.x + 4, k.y + 4, static_cast<unsigned>(k.w - 9),
                     static_cast<unsigned>(k.h - 9));
      XSetLineAttributes(b.dpy, b.gc, 1, LineSolid, CapButt, JoinMiter);
    }
    XSetForeground(b.dpy, b.gc, p.text);
    std::string label = k.label;
    int tw = text_width(b, label);
    draw_text(b, k.x + (k.w - tw) / 2, k.y + (k.h - (b.ascent + b.descent)) / 2 + b.ascent, label);
  }
  XFlush(b.dpy);
}

void layout(Box& b) {
  b.line_h = b.ascent + b.descent + LINE_GAP;
  int text_w = 0;
  for (const std::string& l : b.lines) text_w = std::max(text_w, text_width(b, l));
  int text_h = static_cast<int>(b.lines.size()) * b.line_h - LINE_GAP;

  int label_w = 0;
  for (const Button& k : b.buttons) label_w = std::max(label_w, text_width(b, k.label));
  int button_w = std::max(BUTTON_MIN_W, label_w + 2 * BUTTON_PAD_X);
  int button_h = b.ascent + b.descent + 2 * BUTTON_PAD_Y;
  int n = static_cast<int>(b.buttons.size());
  int buttons_w = n * button_w + (n - 1) * BUTTON_GAP;

  int icon_w = b.icon ? ICON + ICON_GAP : 0;
  int content_w = icon_w + text_w;
  int content_h = std::max(text_h, b.icon ? ICON : 0);

  b.width = std::max({content_w + 2 * PAD, buttons_w + 2 * PAD, MIN_WIDTH});
  b.strip_y = PAD + content_h + PAD;
  b.height = b.strip_y + PAD + button_h + PAD;

  // The icon and the text sit side by side, each centred on the other.
  int left = (b.width - content_w) / 2;
  if (content_w + 2 * PAD < b.width && b.icon) left = PAD;
  b.icon_x = left;
  b.icon_y = PAD + (content_h - ICON) / 2;
  b.text_x = left + icon_w;
  b.text_y = PAD + (content_h - text_h) / 2;

  int x = (b.width - buttons_w) / 2;
  for (Button& k : b.buttons) {
    k.x = x;
    k.y = b.strip_y + PAD;
    k.w = button_w;
    k.h = button_h;
    x += button_w + BUTTON_GAP;
  }
}

bool load_fonts(Box& b) {
  char** missing = nullptr;
  int missing_count = 0;
  char* def = nullptr;
  b.fontset = XCreateFontSet(b.dpy, "-*-*-medium-r-normal--*-120-*-*-*-*-*-*", &missing, &missing_count, &def);
  if (missing) XFreeStringList(missing);
  if (b.fontset) {
    XFontSetExtents* e = XExtentsOfFontSet(b.fontset);
    b.ascent = -e->max_logical_extent.y;
    b.descent = e->max_logical_extent.height - b.ascent;
    if (b.ascent > 0) return true;
    XFreeFontSet(b.dpy, b.fontset);
    b.fontset = nullptr;
  }
  b.font = XLoadQueryFont(b.dpy, "fixed");
  if (!b.font) return false;
  b.ascent = b.font->ascent;
  b.descent = b.font->descent;
  return true;
}

void set_title(Box& b, const std::string& caption) {
  Display* dpy = b.dpy;
  XChangeProperty(dpy, b.win, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(caption.data()), static_cast<int>(caption.size()));
  XChangeProperty(dpy, b.win, atom("_NET_WM_ICON_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(caption.data()), static_cast<int>(caption.size()));
  // The older property for window managers that read only it: Latin-1 where
  // that can hold the text, compound text otherwise.
  XTextProperty prop;
  char* list[1] = {const_cast<char*>(caption.c_str())};
  if (Xutf8TextListToTextProperty(dpy, list, 1, XStdICCTextStyle, &prop) >= Success) {
    XSetWMName(dpy, b.win, &prop);
    XSetWMIconName(dpy, b.win, &prop);
    XFree(prop.value);
  } else {
    std::string latin1 = utf8_to_latin1(caption);
    XStoreName(dpy, b.win, latin1.c_str());
  }
}

bool create_window(Box& b, const std::string& caption, const Palette& p) {
  Display* dpy = b.dpy;
  int scr = screen();
  int x = (DisplayWidth(dpy, scr) - b.width) / 2;
  int y = (DisplayHeight(dpy, scr) - b.height) / 2;
  XSetWindowAttributes attr;
  attr.background_pixel = p.strip;
  attr.border_pixel = p.edge;
  attr.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                    StructureNotifyMask | FocusChangeMask;
  b.win = XCreateWindow(dpy, root(), std::max(x, 0), std::max(y, 0), static_cast<unsigned>(b.width),
                        static_cast<unsigned>(b.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                        CWBackPixel | CWBorderPixel | CWEventMask, &attr);
  if (!b.win) return false;

  set_title(b, caption);

  XClassHint cls;
  cls.res_name = const_cast<char*>("message_box");
  cls.res_class = const_cast<char*>("MessageBox");
  XSetClassHint(dpy, b.win, &cls);

  Atom dialog = atom("_NET_WM_WINDOW_TYPE_DIALOG");
  XChangeProperty(dpy, b.win, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&dialog), 1);

  XSizeHints* size = XAllocSizeHints();
  if (size) {
    size->flags = PPosition | PMinSize | PMaxSize;
    size->x = std::max(x, 0);
    size->y = std::max(y, 0);
    size->min_width = size->max_width = b.width;
    size->min_height = size->max_height = b.height;
    XSetWMNormalHints(dpy, b.win, size);
    XFree(size);
  }
  XWMHints* wm = XAllocWMHints();
  if (wm) {
    wm->flags = InputHint | StateHint;
    wm->input = True;
    wm->initial_state = NormalState;
    XSetWMHints(dpy, b.win, wm);
    XFree(wm);
  }
  Atom del = atom("WM_DELETE_WINDOW");
  XSetWMProtocols(dpy, b.win, &del, 1);

  b.gc = XCreateGC(dpy, b.win, 0, nullptr);
  if (!b.gc) return false;
  if (b.font) XSetFont(dpy, b.gc, b.font->fid);
  return true;
}

Bool for_box(Display*, XEvent* ev, XPointer arg) {
  return ev->xany.window == *reinterpret_cast<Window*>(arg) ? True : False;
}

// Without detectable auto-repeat a held key sends release/press pairs with one
// time stamp; the predicate only looks (it never takes the event).
struct RepeatProbe {
  Window win;
  unsigned keycode;
  Time time;
  bool found;
};

Bool probe_repeat(Display*, XEvent* ev, XPointer arg) {
  RepeatProbe* r = reinterpret_cast<RepeatProbe*>(arg);
  if (ev->type == KeyPress && ev->xkey.window == r->win && ev->xkey.keycode == r->keycode && ev->xkey.time == r->time)
    r->found = true;
  return False;
}

bool is_auto_repeat(Box& b, const XKeyEvent& ev) {
  RepeatProbe r{b.win, ev.keycode, ev.time, false};
  XEvent unused;
  XEventsQueued(b.dpy, QueuedAfterReading);
  XCheckIfEvent(b.dpy, &unused, probe_repeat, reinterpret_cast<XPointer>(&r));
  return r.found;
}

int button_at(const Box& b, int x, int y) {
  for (size_t i = 0; i < b.buttons.size(); ++i) {
    const Button& k = b.buttons[i];
    if (x >= k.x && x < k.x + k.w && y >= k.y && y < k.y + k.h) return static_cast<int>(i);
  }
  return -1;
}

int answer_for(const Box& b, const char* label) {
  for (const Button& k : b.buttons)
    if (std::strcmp(k.label, label) == 0) return k.answer;
  return 0;
}

// The answer a released key gives, 0 for none (a focus move redraws).
int key_released(Box& b, const Palette& p, KeySym sym) {
  int n = static_cast<int>(b.buttons.size());
  switch (sym) {
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
      return b.buttons[static_cast<size_t>(b.focus)].answer;
    case XK_y:
    case XK_Y:
      return b.yes_no ? IDYES : 0;
    case XK_n:
    case XK_N:
      return b.yes_no ? IDNO : 0;
    case XK_Escape:
      // A Yes/No box has no Cancel: Escape cannot answer it.
      return b.yes_no ? 0 : answer_for(b, "OK");
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_Right:
    case XK_Left:
      if (n > 1) {
        b.focus = (sym == XK_Left || sym == XK_ISO_Left_Tab) ? (b.focus + n - 1) % n : (b.focus + 1) % n;
        draw(b, p);
      }
      return 0;
    default:
      return 0;
  }
}

// Keys held when the box appears cannot answer it: they wait for their release.
void mark_held_keys(Box& b) {
  char keys[32];
  XQueryKeymap(b.dpy, keys);
  for (int k = 0; k < 256; ++k)
    if ((keys[k / 8] >> (k % 8)) & 1) b.key_stale[k] = !b.key_armed[k];
}

int run(Box& b, const Palette& p) {
  Display* dpy = b.dpy;
  Atom protocols = atom("WM_PROTOCOLS");
  Atom del = atom("WM_DELETE_WINDOW");
  for (;;) {
    XEvent ev;
    XIfEvent(dpy, &ev, for_box, reinterpret_cast<XPointer>(&b.win));
    switch (ev.type) {
      case Expose:
        if (ev.xexpose.count == 0) draw(b, p);
        break;
      case MapNotify:
        mark_held_keys(b);
        // Without a window manager the focus would follow the pointer.
        trap_begin();
        XSetInputFocus(dpy, b.win, RevertToPointerRoot, CurrentTime);
        trap_end();
        break;
      case KeyPress: {
        unsigned k = ev.xkey.keycode & 0xFF;
        if (!b.key_stale[k]) b.key_armed[k] = true;
        break;
      }
      case KeyRelease: {
        unsigned k = ev.xkey.keycode & 0xFF;
        if (is_auto_repeat(b, ev.xkey)) break;
        if (b.key_stale[k]) {
          b.key_stale[k] = false;
          break;
        }
        if (!b.key_armed[k]) break;
        b.key_armed[k] = false;
        int answer = key_released(b, p, XLookupKeysym(&ev.xkey, 0));
        if (answer) return answer;
        break;
      }
      case ButtonPress:
        if (ev.xbutton.button == Button1) {
          b.pressed = button_at(b, ev.xbutton.x, ev.xbutton.y);
          if (b.pressed >= 0) {
            b.focus = b.pressed;
            draw(b, p);
          }
        }
        break;
      case ButtonRelease:
        if (ev.xbutton.button == Button1 && b.pressed >= 0) {
          int over = button_at(b, ev.xbutton.x, ev.xbutton.y);
          int was = b.pressed;
          b.pressed = -1;
          if (over == was) return b.buttons[static_cast<size_t>(was)].answer;
          draw(b, p);
        }
        break;
      case ClientMessage:
        if (ev.xclient.message_type == protocols && ev.xclient.format == 32 &&
            static_cast<Atom>(ev.xclient.data.l[0]) == del) {
          if (!b.yes_no) return answer_for(b, "OK");
        }
        break;
      default:
        break;
    }
  }
}

void destroy(Box& b) {
  Display* dpy = b.dpy;
  trap_begin();
  if (b.win) XDestroyWindow(dpy, b.win);
  if (b.gc) XFreeGC(dpy, b.gc);
  if (b.fontset) XFreeFontSet(dpy, b.fontset);
  if (b.font) XFreeFont(dpy, b.font);
  if (!b.allocated.empty())
    XFreeColors(dpy, b.cmap, b.allocated.data(), static_cast<int>(b.allocated.size()), 0);
  XSync(dpy, False);
  trap_end();
  // Events still queued for the destroyed window would only confuse the rest
  // of the layer.
  XEvent ev;
  while (XCheckIfEvent(dpy, &ev, for_box, reinterpret_cast<XPointer>(&b.win))) {
  }
}

// The UTF-8 font set needs a UTF-8 character type while it is made and used;
// the program's own setting comes back afterwards.
struct Utf8Locale {
  std::string saved;
  bool changed = false;

  static bool is_utf8() {
    const char* cs = nl_langinfo(CODESET);
    return cs && (std::strcmp(cs, "UTF-8") == 0 || std::strcmp(cs, "utf8") == 0);
  }

  Utf8Locale() {
    const char* now = std::setlocale(LC_CTYPE, nullptr);
    if (now) saved = now;
    if (is_utf8() && XSupportsLocale()) return;
    changed = true;
    for (const char* name : {"", "C.UTF-8", "C.utf8", "en_US.UTF-8"})
      if (std::setlocale(LC_CTYPE, name) && is_utf8() && XSupportsLocale()) return;
    std::setlocale(LC_CTYPE, saved.c_str());
    changed = false;
  }
  ~Utf8Locale() {
    if (changed) std::setlocale(LC_CTYPE, saved.c_str());
  }
};

}  // namespace

int show_message_box(const std::string& text, const std::string& caption, UINT style) {
  Display* dpy = display();
  if (!dpy) return 0;
  Utf8Locale locale;

  Box b;
  b.dpy = dpy;
  b.cmap = DefaultColormap(dpy, screen());
  b.yes_no = (style & 0x0F) == MB_YESNO;
  if (b.yes_no)
    b.buttons = {{"Yes", IDYES, 0, 0, 0, 0}, {"No", IDNO, 0, 0, 0, 0}};
  else
    b.buttons = {{"OK", IDOK, 0, 0, 0, 0}};
  b.icon = style & 0xF0;
  if (b.icon != MB_ICONQUESTION && b.icon != MB_ICONERROR && b.icon != MB_ICONWARNING &&
      b.icon != MB_ICONINFORMATION)
    b.icon = 0;

  trap_begin();
  bool fonts = load_fonts(b);
  trap_end();
  if (!fonts) {
    destroy(b);
    return 0;
  }
  b.lines = split_lines(b.fontset ? text : utf8_to_latin1(text));
  layout(b);

  trap_begin();
  Palette p{colour(b, C_CONTENT),  colour(b, C_STRIP), colour(b, C_STRIP_LINE),   colour(b, C_TEXT),
            colour(b, C_FACE),     colour(b, C_FACE_DOWN), colour(b, C_EDGE),     colour(b, C_DEFAULT_EDGE),
            colour(b, C_QUESTION), colour(b, C_ERROR), colour(b, C_WARNING),      colour(b, C_WARNING_EDGE),
            colour(b, C_INFO),     colour(b, C_WHITE)};
  bool made = create_window(b, caption, p);
  int err = trap_end();
  if (!made || err != 0) {
    destroy(b);
    return 0;
  }

  // Held keys must not repeat into the box as fresh presses.
  Bool supported = False;
  Bool detectable_before = XkbGetDetectableAutoRepeat(dpy, &supported);
  XkbSetDetectableAutoRepeat(dpy, True, &supported);

  trap_begin();
  XMapRaised(dpy, b.win);
  err = trap_end();
  int answer = err == 0 ? run(b, p) : 0;

  if (!detectable_before) XkbSetDetectableAutoRepeat(dpy, False, &supported);
  destroy(b);
  return answer;
}

}  // namespace tvxp::x11
