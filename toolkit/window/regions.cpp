// BMP files with their palettes, and regions built from the opaque pixels of
// an image, one row at a time, as one-pixel-high rectangles collected in a
// growable block and handed over in batches.
#include <tarvex/regions.h>

#include <tvxp/bitmap.h>
#include <tvxp/gdi.h>
#include <tvxp/gl.h>
#include <tvxp/window.h>

#include <cstddef>
#include <cstring>

namespace Tarvex {

namespace {

// The rectangle buffer grows by this many rectangles at a time.
constexpr uint32_t ALLOC_UNIT = 100;
// Rectangles handed to the platform in one region-creation call.
constexpr uint32_t BATCH_RECTS = 2000;

constexpr int32_t EMPTY_BOUND_LT = 2147483647;

uint32_t BLOCKBYTES(uint32_t ROOM) { return sizeof(tvxp::RGNDATAHEADER) + sizeof(tvxp::RECT) * ROOM; }

void EMPTYHEADER(tvxp::RGNDATAHEADER* HDR) {
  HDR->nCount = 0;
  HDR->rcBound = {EMPTY_BOUND_LT, EMPTY_BOUND_LT, 0, 0};
}

// Turns the buffer's rectangles into a region and adds it to the result. The
// whole block is handed over, not only its used part: the header says how
// many rectangles count.
void FLUSH(tvxp::RGNDATA* PDATA, uint32_t MAXRECTS, HRGN& HRGNRESULT) {
  const HRGN H = tvxp::ext_create_region(nullptr, BLOCKBYTES(MAXRECTS), PDATA);
  if (!H) return;  // this batch is missing from the result
  if (HRGNRESULT) {
    tvxp::combine_rgn(HRGNRESULT, HRGNRESULT, H, tvxp::RGN_OR);
    tvxp::delete_object(H);
  } else {
    HRGNRESULT = H;
  }
}

}  // namespace

HBITMAP LOADBMPFROMFILE(const char* FILENAME, HPALETTE& PAL) {
  const HBITMAP HBMP =
      tvxp::load_image(FILENAME, tvxp::IMAGE_BITMAP, 0, 0, tvxp::LR_LOADFROMFILE | tvxp::LR_CREATEDIBSECTION);
  if (!HBMP) return 0;
  tvxp::BITMAP BM = {};
  tvxp::get_object(HBMP, sizeof BM, &BM);
  const int NCOLORS = BM.bmBitsPixel * BM.bmPlanes;
  if (NCOLORS > 8) {
    const tvxp::HDC HDCSCREEN = tvxp::get_dc(0);
    PAL = tvxp::create_halftone_palette(HDCSCREEN);
    tvxp::release_dc(0, HDCSCREEN);
  } else {
    tvxp::RGBQUAD RGB[256] = {};
    const tvxp::HDC HMEMDC = tvxp::create_compatible_dc(0);
    const tvxp::HGDIOBJ HOLDBMP = tvxp::select_object(HMEMDC, HBMP);
    const tvxp::UINT NENTRIES = tvxp::get_dib_color_table(HMEMDC, 0, 256, RGB);
    // A logical palette of exactly 256 entries, on the stack: the record
    // cannot fail to be made.
    alignas(tvxp::LOGPALETTE) uint8_t BUFFER[sizeof(tvxp::LOGPALETTE) + 255 * sizeof(tvxp::PALETTEENTRY)] = {};
    tvxp::LOGPALETTE* PLOGPAL = reinterpret_cast<tvxp::LOGPALETTE*>(BUFFER);
    PLOGPAL->palVersion = 0x300;
    PLOGPAL->palNumEntries = 256;
    for (tvxp::UINT I = 0; I < 256; ++I) {
      tvxp::PALETTEENTRY E = {0, 0, 0, 0};
      if (I < NENTRIES) E = {RGB[I].rgbRed, RGB[I].rgbGreen, RGB[I].rgbBlue, 0};
      std::memcpy(BUFFER + offsetof(tvxp::LOGPALETTE, palPalEntry) + I * sizeof E, &E, sizeof E);
    }
    PAL = tvxp::create_palette(PLOGPAL);
    if (HMEMDC) {
      tvxp::select_object(HMEMDC, HOLDBMP);
      tvxp::delete_dc(HMEMDC);
    }
  }
  return HBMP;
}

HRGN BITMAPTOREGION(const char* BMPNAME, uint32_t TRANSCOLOR, uint8_t TOLERANCE) {
  HRGN HRGNRESULT = 0;
  HPALETTE HPAL = 0;
  const HBITMAP HBMP = LOADBMPFROMFILE(BMPNAME, HPAL);
  if (!HBMP) return 0;
  auto RELEASEIMAGE = [&] {
    if (HPAL) tvxp::delete_object(HPAL);
    tvxp::delete_object(HBMP);
  };

  const tvxp::HDC HMEMDC = tvxp::create_compatible_dc(0);
  if (!HMEMDC) {
    RELEASEIMAGE();
    return 0;
  }
  tvxp::BITMAP BM = {};
  tvxp::get_object(HBMP, sizeof BM, &BM);

  // The working copy: 32 bits a pixel, rows bottom-up.
  tvxp::BITMAPINFO BMI = {};
  BMI.bmiHeader.biSize = sizeof(tvxp::BITMAPINFOHEADER);
  BMI.bmiHeader.biWidth = BM.bmWidth;
  BMI.bmiHeader.biHeight = BM.bmHeight;
  BMI.bmiHeader.biPlanes = 1;
  BMI.bmiHeader.biBitCount = 32;
  BMI.bmiHeader.biCompression = tvxp::BI_RGB;
  void* PBITS32 = nullptr;
  const HBITMAP HBM32 = tvxp::create_dib_section(HMEMDC, &BMI, tvxp::DIB_RGB_COLORS, &PBITS32, nullptr, 0);
  if (!HBM32) {
    tvxp::delete_dc(HMEMDC);
    RELEASEIMAGE();
    return 0;
  }
  const tvxp::HGDIOBJ HOLDOBJ = tvxp::select_object(HMEMDC, HBM32);
  auto RELEASEWORK = [&] {
    tvxp::select_object(HMEMDC, HOLDOBJ);
    tvxp::delete_object(HBM32);
    tvxp::delete_dc(HMEMDC);
  };

  // Copy the image in through a second surface holding it and its palette. A
  // working image left uncopied would give the shape of a black picture, so
  // a failure here is a failure of the whole call.
  const tvxp::HDC HDC2 = tvxp::create_compatible_dc(HMEMDC);
  if (!HDC2) {
    RELEASEWORK();
    RELEASEIMAGE();
    return 0;
  }
  const tvxp::HGDIOBJ HOLDBMP2 = tvxp::select_object(HDC2, HBMP);
  const HPALETTE HOLDPAL = HPAL ? tvxp::select_palette(HDC2, HPAL, true) : 0;
  if (HPAL) tvxp::realize_palette(HDC2);
  const bool COPIED = tvxp::bit_blt(HMEMDC, 0, 0, BM.bmWidth, BM.bmHeight, HDC2, 0, 0, tvxp::SRCCOPY);
  if (HOLDPAL) tvxp::select_palette(HDC2, HOLDPAL, false);
  tvxp::select_object(HDC2, HOLDBMP2);
  tvxp::delete_dc(HDC2);
  if (!COPIED) {
    RELEASEWORK();
    RELEASEIMAGE();
    return 0;
  }

  tvxp::BITMAP BM32 = {};
  tvxp::get_object(HBM32, sizeof BM32, &BM32);
  BM32.bmWidthBytes = (BM32.bmWidthBytes + 3) / 4 * 4;

  uint32_t MAXRECTS = ALLOC_UNIT;
  tvxp::HGLOBAL HDATA = tvxp::global_alloc(tvxp::GMEM_MOVEABLE, BLOCKBYTES(MAXRECTS));
  tvxp::RGNDATA* PDATA = HDATA ? static_cast<tvxp::RGNDATA*>(tvxp::global_lock(HDATA)) : nullptr;
  if (!PDATA) {
    if (HDATA) tvxp::global_free(HDATA);
    RELEASEWORK();
    RELEASEIMAGE();
    return 0;
  }
  PDATA->rdh.dwSize = sizeof(tvxp::RGNDATAHEADER);
  PDATA->rdh.iType = tvxp::RDH_RECTANGLES;
  PDATA->rdh.nRgnSize = 0;
  EMPTYHEADER(&PDATA->rdh);

  const uint8_t LR = TRANSCOLOR & 0xFF;
  const uint8_t LG = (TRANSCOLOR >> 8) & 0xFF;
  const uint8_t LB = (TRANSCOLOR >> 16) & 0xFF;
  const uint8_t HR = static_cast<uint8_t>(LR + TOLERANCE > 255 ? 255 : LR + TOLERANCE);
  const uint8_t HG = static_cast<uint8_t>(LG + TOLERANCE > 255 ? 255 : LG + TOLERANCE);
  const uint8_t HB = static_cast<uint8_t>(LB + TOLERANCE > 255 ? 255 : LB + TOLERANCE);

  // The top row of the picture is the last one in memory.
  const uint8_t* P32 = static_cast<const uint8_t*>(BM32.bmBits) + size_t(BM32.bmHeight - 1) * BM32.bmWidthBytes;
  for (int32_t Y = 0; Y < BM.bmHeight; ++Y) {
    int32_t X = 0;
    while (X < BM.bmWidth) {
      const int32_t X0 = X;
      while (X < BM.bmWidth) {
        uint32_t P;
        std::memcpy(&P, P32 + size_t(X) * 4, 4);
        const uint8_t R = (P >> 16) & 0xFF, G = (P >> 8) & 0xFF, B = P & 0xFF;
        if (R >= LR && R <= HR && G >= LG && G <= HG && B >= LB && B <= HB) break;
        ++X;
      }
      if (X > X0) {
        if (PDATA->rdh.nCount >= MAXRECTS) {
          tvxp::global_unlock(HDATA);
          const tvxp::HGLOBAL HNEW =
              tvxp::global_realloc(HDATA, BLOCKBYTES(MAXRECTS + ALLOC_UNIT), tvxp::GMEM_MOVEABLE);
          if (HNEW) {
            HDATA = HNEW;
            MAXRECTS += ALLOC_UNIT;
          }
          PDATA = static_cast<tvxp::RGNDATA*>(tvxp::global_lock(HDATA));
          if (!HNEW) {
            // No room to grow: hand over what the buffer holds and go on in
            // the room there is, so that no run is lost.
            FLUSH(PDATA, MAXRECTS, HRGNRESULT);
            EMPTYHEADER(&PDATA->rdh);
          }
        }
        tvxp::RECT* PR = reinterpret_cast<tvxp::RECT*>(PDATA->Buffer);
        const tvxp::RECT RUN = {X0, Y, X, Y + 1};
        std::memcpy(&PR[PDATA->rdh.nCount], &RUN, sizeof RUN);
        tvxp::RECT& BOUND = PDATA->rdh.rcBound;
        if (X0 < BOUND.left) BOUND.left = X0;
        if (Y < BOUND.top) BOUND.top = Y;
        if (X > BOUND.right) BOUND.right = X;
        if (Y + 1 > BOUND.bottom) BOUND.bottom = Y + 1;
        ++PDATA->rdh.nCount;
        if (PDATA->rdh.nCount == BATCH_RECTS) {
          FLUSH(PDATA, MAXRECTS, HRGNRESULT);
          EMPTYHEADER(&PDATA->rdh);
        }
      }
      ++X;  // steps over the transparent pixel that ended the run
    }
    P32 -= BM32.bmWidthBytes;
  }
  // The last flush happens even with no rectangle, so that an image with no
  // opaque pixel gives an empty region rather than none.
  FLUSH(PDATA, MAXRECTS, HRGNRESULT);

  tvxp::global_unlock(HDATA);
  tvxp::global_free(HDATA);
  RELEASEWORK();
  RELEASEIMAGE();
  return HRGNRESULT;
}

void RELEASEIMAGESURFACE(tvxp::HDC SURFACE) {
  const tvxp::HGDIOBJ HBMP = tvxp::get_current_object(SURFACE, tvxp::OBJ_BITMAP);
  const tvxp::HGDIOBJ HPAL = tvxp::get_current_object(SURFACE, tvxp::OBJ_PAL);
  if (!tvxp::delete_dc(SURFACE)) return;
  // Stock objects refuse to be deleted, so a surface that never received an
  // image releases nothing more.
  if (HBMP) tvxp::delete_object(HBMP);
  if (HPAL) tvxp::delete_object(HPAL);
}

}  // namespace Tarvex
