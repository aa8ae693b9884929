// The toolkit's top-level window with its GL context.
#pragma once

#include <cstdint>

#include <tvxp/types.h>
#include <tvxp/window.h>

namespace Tarvex {

using tvxp::HDC;
using tvxp::HGLRC;
using tvxp::HWND;
using tvxp::LPARAM;
using tvxp::LRESULT;
using tvxp::UINT;
using tvxp::WPARAM;

using TFILENAME = char[261];

extern HWND HWINDOW;
extern HDC DCWINDOW;
extern HGLRC RCWINDOW;
// Windowed: the size asked for. Full screen: the screen size.
extern int32_t WIDTH;
extern int32_t HEIGHT;
extern int32_t BITS;
extern bool FULLSCREEN;
// True while the window lives; the client's frame loop runs while it is.
extern bool ACTIVE;
extern int32_t SETTYPECURSOR;
extern int32_t SETTYPEICON;
// The caller's pointers are kept, not copies: they must stay valid until
// CREATEOGLWINDOW has run.
extern const char* CURSORFILE;
extern const char* ICONFILE;
extern uint32_t PIXEL_FORMAT_FLAGS;
extern bool SHOWMENUBAR;
extern void (*CREATEMENUBAR)();
extern void (*CREATEMOUSEMENU)();
extern int32_t (*GETINPUTCOMMAND)(HWND WND, UINT MSG, WPARAM WPARAM_, LPARAM LPARAM_);
extern bool SHOWSTATUSBAR;
extern HWND HSTATUS;
extern HWND AWND;
extern TFILENAME FILENAME;
// Right edges of the status-bar parts, indices 1..20.
extern int32_t STATUSITEM[21];
extern int32_t MAXSTATUSITEM;
extern int32_t EDGES[21];
extern tvxp::WNDCLASSEX WINDOWCLASSEX;
extern uint32_t START;
extern bool FOGONOFF;
extern uint32_t OBJNULL;
inline constexpr const char TVXVERSION[] = "1.0";

// Cursor codes.
inline constexpr int32_t ARROW = 1;
inline constexpr int32_t IBEAM = 2;
inline constexpr int32_t WAIT = 3;
inline constexpr int32_t CROSS = 4;
inline constexpr int32_t UPARROW = 5;
inline constexpr int32_t SIZE = 6;
inline constexpr int32_t FILECURSOR = 7;
inline constexpr int32_t SIZENWSE = 8;
inline constexpr int32_t SIZENESW = 9;
inline constexpr int32_t SIZEWE = 10;
inline constexpr int32_t SIZENS = 11;
inline constexpr int32_t SIZEALL = 12;
inline constexpr int32_t NOCURSOR = 13;
inline constexpr int32_t HAND = 14;
inline constexpr int32_t APPSTARTING = 15;
inline constexpr int32_t HELP = 16;
// Icon codes.
inline constexpr int32_t GENERIC = 1;
inline constexpr int32_t FILEICON = 2;

void OGLWINDOWSETTING(int32_t TYPECURSOR, const char* CURFILE, int32_t TYPEICON, const char* ICOFILE);
bool CREATEOGLWINDOW(const char* APPNAME, int32_t APPWIDTH, int32_t APPHEIGHT, int32_t APPBITS, bool APPFULLSCREEN);
void DELETEOGLWINDOW();
[[noreturn]] void THROWERROR(const char* PCERRORMESSAGE);
bool WINDOWREGISTER();
HWND WINDOWCREATE(const char* PCAPPLICATIONNAME);
bool WINDOWINIT(HWND HPARENT);
HWND CREATESTATUSBAR(HWND PARENT);

// The window procedure of image buttons.
LRESULT HOVERBUTTONHANDLER(HWND WND, UINT IMSG, WPARAM WPARAM_, LPARAM LPARAM_);

}  // namespace Tarvex
