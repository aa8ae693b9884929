// Texture slots: BMP files (through the platform's bitmap loader) and TGA
// files (through the toolkit's reader) turned into GL textures, kept in two
// numbered tables and selected by number.
#pragma once

#include <cstdint>

#include <tarvex/types.h>

// The filter settings below are plain variables; a GL header that ever made
// macros of these names would turn them into numbers.
#if defined(GL_MIN_FILTER) || defined(GL_MAG_FILTER)
#error "GL_MIN_FILTER / GL_MAG_FILTER must not be macros"
#endif

namespace Tarvex {

// BMP slots 0..500 and TGA slots 0..200, independent of each other. A slot
// holds 0 until it is loaded; binding 0 binds GL's default texture. Loads and
// selections of a number outside a table do nothing.
extern uint32_t TEXTUREID2[501];
extern TGATEXTURE TEXTURETGA2[201];

// Filters set on every texture at load; either of the four mipmap filters in
// GL_MIN_FILTER also builds the mipmap chain. Both start as GL_LINEAR (9729).
extern int32_t GL_MIN_FILTER;
extern int32_t GL_MAG_FILTER;

// Loads a 24- or 32-bit BMP file into BMP slot NUM. Whatever the file, the
// slot then holds a fresh texture name, bound, with 2D texturing enabled and
// the unpack state at alignment 4 and everything else 0; only a readable 24-
// or 32-bit file gives it an image. Nothing is reported. Needs a current GL
// context.
void TEXTURELOADID(const char* BMPFILE, int32_t NUM);
// Loads a TGA file into TGA slot NUM. A missing file changes nothing and shows
// nothing; a file the reader refuses shows the reader's message and makes no
// GL call. On success the slot holds a fresh, bound texture name, the image's
// size, depth and format, and IMAGEDATA is null (the pixels live only in the
// texture). The unpack state is as it was before.
void TEXTURELOADTGAID(const char* TGAFILE, int32_t NUM);
void TEXTURESELECTID(int32_t NUM);
void TEXTURETGASELECTID(int32_t NUM);
void TEXTUREON();
void TEXTUREOFF();
// Bits per pixel of a BMP file with an info header of 40 bytes or more; 0 for
// a file that is missing, unreadable, too short, not a BMP, or has the old
// 12-byte core header.
int32_t GETBMPDEPTH(const char* BMPFILE);
// Exchanges bytes 0 and 2 of SIZE consecutive 3-byte pixels, in place.
void SWAPRGB(uint8_t* DATA, int32_t SIZE);
// Rebuilds every level of the bound texture, the base included, from BMP
// pixels of FORMAT 24 (R, G, B after the swap) or 32 (B, G, R, A) bits.
void ADDMIPMAPSTEXTURE(int32_t FORMAT, int32_t WIDTH, int32_t HEIGHT, const void* BITS);

}  // namespace Tarvex
