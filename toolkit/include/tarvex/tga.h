// The toolkit's own reader of true-colour TGA files, plain (type 2) and
// run-length encoded (type 10), 24 or 32 bits per pixel.
#pragma once

#include <cstdint>
#include <cstdio>

#include <tarvex/types.h>

namespace Tarvex {

struct TTGAHEADER {
  uint8_t HEADER[12];
};

struct TTGA {
  uint8_t HEADER[6];
  uint32_t BYTESPERPIXEL;
  uint32_t IMAGESIZE;
  uint32_t TYP;  // never set by the reader
  uint32_t HEIGH;
  uint32_t WIDTH;
  uint32_t BPP;
};

// Working state of the last read; meaningful only during one.
extern TTGAHEADER TGAHEADER;
extern TTGA TGA;
extern FILE* FTGA;  // open only while a read runs
extern const uint8_t UTGACOMPARE[12];
extern const uint8_t CTGACOMPARE[12];

// Reads FILENAME into TEXTURE. On success IMAGEDATA holds WIDTH x HEIGHT
// pixels of BPP / 8 bytes (R, G, B or R, G, B, A, rows in file order, no
// padding) in a block from malloc/calloc that the holder releases with free().
// On failure exactly one message box has been shown, the file is closed,
// nothing of the read stays allocated and IMAGEDATA is null. TEXID is never
// touched.
bool LOADTGA(TGATEXTURE& TEXTURE, const char* FILENAME);
// Continue the read LOADTGA opened, from byte 12; close the file on success
// and leave closing to LOADTGA on failure.
bool LOADUNCOMPRESSEDTGA(TGATEXTURE& TEXTURE);
bool LOADCOMPRESSEDTGA(TGATEXTURE& TEXTURE);

}  // namespace Tarvex
