// Image hover buttons: a child window painted from one of three images by
// its mode, shaped by the normal image, posting a command on a click.
#include <tarvex/hover_button.h>
#include <tarvex/regions.h>
#include <tarvex/window.h>

#include <tvxp/bitmap.h>
#include <tvxp/gdi.h>

namespace Tarvex {

std::string BMPTYPE;

namespace {

// An image surface: a memory surface compatible with the screen holding one
// state's image and that image's palette (selected as a foreground palette and
// realised). When the image could not be loaded the surface is still made,
// with nothing of ours selected, so that the state simply draws nothing useful.
HDC MAKESURFACE(tvxp::HBITMAP BMP, tvxp::HPALETTE PAL) {
  HDC SURFACE = tvxp::create_compatible_dc(0);
  if (!SURFACE) {
    if (BMP) tvxp::delete_object(BMP);
    if (PAL) tvxp::delete_object(PAL);
    return 0;
  }
  if (BMP) tvxp::select_object(SURFACE, BMP);
  if (PAL) {
    tvxp::select_palette(SURFACE, PAL, false);
    tvxp::realize_palette(SURFACE);
  }
  return SURFACE;
}

// Loads BMPTYPE + SUFFIX + ".BMP" into a new surface.
HDC LOADSURFACE(const char* SUFFIX) {
  tvxp::HPALETTE PAL = 0;
  tvxp::HBITMAP BMP = LOADBMPFROMFILE((BMPTYPE + SUFFIX + ".BMP").c_str(), PAL);
  return MAKESURFACE(BMP, PAL);
}

uintptr_t MODE(HWND WND) { return tvxp::get_prop(WND, HOVERMODE); }

void SETMODE(HWND WND, uintptr_t M) { tvxp::set_prop(WND, HOVERMODE, M); }

void REPAINT(HWND WND) { tvxp::invalidate_rect(WND, nullptr, false); }

LRESULT ONCREATE(HWND WND) {
  const std::string NORMALNAME = BMPTYPE + "N" + ".BMP";
  tvxp::HPALETTE PAL = 0;
  tvxp::HBITMAP NORMAL = LOADBMPFROMFILE(NORMALNAME.c_str(), PAL);

  tvxp::RECT OWN = {}, PARENTRECT = {}, FRAME = {};
  tvxp::get_window_rect(WND, &OWN);
  const HWND PARENT = tvxp::get_parent(WND);
  tvxp::get_window_rect(PARENT, &PARENTRECT);
  // The parent's outer rectangle includes its frame; taking the frame's real
  // left and top thickness off keeps the button where it was created in the
  // parent's client area, whatever window manager (or none) draws the frame.
  tvxp::get_frame_extents(PARENT, &FRAME);
  // Without a normal image there is no size to take: the button keeps the
  // size it was created with.
  int32_t W = OWN.right - OWN.left, H = OWN.bottom - OWN.top;
  tvxp::BITMAP INFO = {};
  if (NORMAL && tvxp::get_object(NORMAL, sizeof INFO, &INFO)) {
    W = INFO.bmWidth;
    H = INFO.bmHeight;
  }
  tvxp::move_window(WND, OWN.left - PARENTRECT.left - FRAME.left, OWN.top - PARENTRECT.top - FRAME.top, W, H, false);

  tvxp::set_prop(WND, NORMALBMP, MAKESURFACE(NORMAL, PAL));
  tvxp::set_prop(WND, HOVERBMP, LOADSURFACE("H"));
  tvxp::set_prop(WND, PRESSBMP, LOADSURFACE("P"));
  SETMODE(WND, HOVER_NORMAL);

  // The platform takes the first region as the window's shape, which clips
  // both drawing and input; the button keeps a copy of its own for hit tests.
  tvxp::HRGN SHAPE = BITMAPTOREGION(NORMALNAME.c_str(), HOVER_TRANSCOLOR, HOVER_TOLERANCE);
  if (SHAPE) {
    // A shape the platform refused stays ours to release.
    if (!tvxp::set_window_rgn(WND, SHAPE, false)) tvxp::delete_object(SHAPE);
    tvxp::HRGN HIT = BITMAPTOREGION(NORMALNAME.c_str(), HOVER_TRANSCOLOR, HOVER_TOLERANCE);
    if (HIT) tvxp::set_prop(WND, BUTTONRGN, HIT);
  }
  return 0;
}

LRESULT ONDESTROY(HWND WND) {
  tvxp::remove_prop(WND, HOVERMODE);
  const tvxp::HRGN HIT = static_cast<tvxp::HRGN>(tvxp::get_prop(WND, BUTTONRGN));
  if (HIT) tvxp::delete_object(HIT);
  tvxp::remove_prop(WND, BUTTONRGN);
  for (const char* NAME : {PRESSBMP, HOVERBMP, NORMALBMP}) {
    const HDC SURFACE = static_cast<HDC>(tvxp::get_prop(WND, NAME));
    // The surface goes with the image and palette it holds: the button owns all three.
    if (SURFACE) RELEASEIMAGESURFACE(SURFACE);
    tvxp::remove_prop(WND, NAME);
  }
  return 0;
}

LRESULT ONPAINT(HWND WND) {
  tvxp::RECT OWN = {};
  tvxp::get_window_rect(WND, &OWN);
  HDC SURFACE = 0;
  switch (MODE(WND)) {
    case HOVER_NORMAL:
      SURFACE = static_cast<HDC>(tvxp::get_prop(WND, NORMALBMP));
      break;
    case HOVER_HOVER:
      SURFACE = static_cast<HDC>(tvxp::get_prop(WND, HOVERBMP));
      break;
    case HOVER_PRESSED:
      SURFACE = static_cast<HDC>(tvxp::get_prop(WND, PRESSBMP));
      break;
    default:
      break;
  }
  // The paint request is completed even when there is nothing to draw, or it
  // would come back for ever.
  const HDC DC = tvxp::begin_paint(WND);
  if (SURFACE && DC)
    tvxp::bit_blt(DC, 0, 0, OWN.right - OWN.left, OWN.bottom - OWN.top, SURFACE, 0, 0, tvxp::SRCCOPY);
  tvxp::end_paint(WND);
  return 0;
}

LRESULT ONMOUSEMOVE(HWND WND, WPARAM KEYS, LPARAM POS) {
  const tvxp::HRGN HIT = static_cast<tvxp::HRGN>(tvxp::get_prop(WND, BUTTONRGN));
  const uintptr_t M = MODE(WND);
  if (!HIT || !M) return 0;
  if (tvxp::pt_in_region(HIT, tvxp::lo_word(POS), tvxp::hi_word(POS))) {
    if (M == HOVER_NORMAL) {
      SETMODE(WND, (KEYS & (tvxp::MK_LBUTTON | tvxp::MK_RBUTTON)) ? HOVER_PRESSED : HOVER_HOVER);
      // Holding the pointer lets the button see the move that leaves it.
      tvxp::set_capture(WND);
      REPAINT(WND);
    }
  } else {
    // Also ends a press dragged off the button.
    SETMODE(WND, HOVER_NORMAL);
    tvxp::release_capture();
    REPAINT(WND);
  }
  return 0;
}

LRESULT ONLBUTTONDOWN(HWND WND) {
  tvxp::set_capture(WND);
  SETMODE(WND, HOVER_PRESSED);
  REPAINT(WND);
  return 0;
}

LRESULT ONLBUTTONUP(HWND WND) {
  if (MODE(WND) == HOVER_PRESSED) {
    const WPARAM ID = static_cast<WPARAM>(static_cast<uint16_t>(tvxp::get_dlg_ctrl_id(WND)));
    tvxp::post_message(tvxp::get_parent(WND), tvxp::WM_COMMAND, ID, 0);
  }
  SETMODE(WND, HOVER_NORMAL);
  tvxp::release_capture();
  REPAINT(WND);
  return 0;
}

}  // namespace

LRESULT HOVERBUTTONHANDLER(HWND WND, UINT IMSG, WPARAM WPARAM_, LPARAM LPARAM_) {
  switch (IMSG) {
    case tvxp::WM_CREATE:
      return ONCREATE(WND);
    case tvxp::WM_DESTROY:
      return ONDESTROY(WND);
    case tvxp::WM_PAINT:
      return ONPAINT(WND);
    case tvxp::WM_MOUSEMOVE:
      return ONMOUSEMOVE(WND, WPARAM_, LPARAM_);
    case tvxp::WM_LBUTTONDOWN:
      return ONLBUTTONDOWN(WND);
    case tvxp::WM_LBUTTONUP:
      return ONLBUTTONUP(WND);
    default:
      return tvxp::def_window_proc(WND, IMSG, WPARAM_, LPARAM_);
  }
}

}  // namespace Tarvex
