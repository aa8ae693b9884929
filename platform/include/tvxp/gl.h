// Device contexts of windows, GL pixel formats and contexts, presenting.
#pragma once

#include <cstddef>
#include <tvxp/types.h>

namespace tvxp {

#pragma pack(push, 1)
// The 40-byte pixel-format descriptor, field by field as the toolkit fills it.
struct PIXELFORMATDESCRIPTOR {
  uint16_t nSize;
  uint16_t nVersion;
  uint32_t dwFlags;
  uint8_t iPixelType;
  uint8_t cColorBits;
  uint8_t cRedBits;
  uint8_t cRedShift;
  uint8_t cGreenBits;
  uint8_t cGreenShift;
  uint8_t cBlueBits;
  uint8_t cBlueShift;
  uint8_t cAlphaBits;
  uint8_t cAlphaShift;
  uint8_t cAccumBits;
  uint8_t cAccumRedBits;
  uint8_t cAccumGreenBits;
  uint8_t cAccumBlueBits;
  uint8_t cAccumAlphaBits;
  uint8_t cDepthBits;
  uint8_t cStencilBits;
  uint8_t cAuxBuffers;
  uint8_t iLayerType;
  uint8_t bReserved;
  uint32_t dwLayerMask;
  uint32_t dwVisibleMask;
  uint32_t dwDamageMask;
};
#pragma pack(pop)
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);

inline constexpr uint32_t PFD_DOUBLEBUFFER = 0x00000001;
inline constexpr uint32_t PFD_STEREO = 0x00000002;
inline constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x00000004;
inline constexpr uint32_t PFD_DRAW_TO_BITMAP = 0x00000008;
inline constexpr uint32_t PFD_SUPPORT_OPENGL = 0x00000020;
inline constexpr uint32_t PFD_GENERIC_FORMAT = 0x00000040;
inline constexpr uint32_t PFD_GENERIC_ACCELERATED = 0x00001000;
inline constexpr uint8_t PFD_TYPE_RGBA = 0;

// What the layer knows of one available framebuffer configuration.
struct PixelFormatInfo {
  bool rgba;
  bool window;
  bool double_buffer;
  bool stereo;
  int red, green, blue, alpha;
  int depth, stencil;
  int accum_red, accum_green, accum_blue, accum_alpha;
  int aux_buffers;
  int samples;
  int visual_depth;  // depth of the X visual behind it (0 for none)
};

// Index (0-based) of the format closest to the request among `count`
// candidates, or -1 when none can serve: only RGBA, window drawing and (when
// asked for) double buffering are hard requirements, and no visual deeper than
// `screen_depth` is taken. A colour depth of 32 asks for 8 bits each of red,
// green and blue.
int rank_pixel_formats(const PIXELFORMATDESCRIPTOR& want, const PixelFormatInfo* formats, size_t count,
                       int screen_depth);

HDC get_dc(HWND wnd);
int release_dc(HWND wnd, HDC dc);
HWND window_from_dc(HDC dc);

// 1-based format number, 0 when nothing fits.
int choose_pixel_format(HDC dc, const PIXELFORMATDESCRIPTOR* want);
bool set_pixel_format(HDC dc, int format, const PIXELFORMATDESCRIPTOR* want);
bool describe_pixel_format(HDC dc, int format, PixelFormatInfo* out);
int get_pixel_format(HDC dc);

HGLRC gl_create_context(HDC dc);
bool gl_make_current(HDC dc, HGLRC rc);
bool gl_delete_context(HGLRC rc);
HGLRC gl_get_current_context();

// Presents the back buffer. Paced to the display's refresh: through the GLX
// swap-control extension where it is advertised, otherwise by the layer
// (60 Hz when the rate is unknown). vblank_mode=0 turns pacing off.
bool swap_buffers(HDC dc);

}  // namespace tvxp
