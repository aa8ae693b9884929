// Texture slots and BMP textures.
#include <tarvex/texture.h>

#include <sys/stat.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <type_traits>

#include <tarvex/tga.h>
#include <tvxp/bitmap.h>
#include <tvxp/gdi.h>

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace Tarvex {

static_assert(std::is_same_v<GLuint, uint32_t>, "slots hand their names straight to glGenTextures");

uint32_t TEXTUREID2[501];
TGATEXTURE TEXTURETGA2[201];
int32_t GL_MIN_FILTER = GL_LINEAR;
int32_t GL_MAG_FILTER = GL_LINEAR;

namespace {

constexpr int32_t BMP_SLOTS = 501;
constexpr int32_t TGA_SLOTS = 201;

#pragma pack(push, 1)
struct TBITMAPFILEHEADER {
  uint16_t bfType;
  uint32_t bfSize;
  uint16_t bfReserved1;
  uint16_t bfReserved2;
  uint32_t bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(TBITMAPFILEHEADER) == 14);
// The info header is the platform's record of the same 40 bytes.
using TBITMAPINFOHEADER = tvxp::BITMAPINFOHEADER;

bool mipmap_filter(int32_t filter) {
  return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_NEAREST ||
         filter == GL_NEAREST_MIPMAP_LINEAR || filter == GL_LINEAR_MIPMAP_LINEAR;
}

bool file_exists(const char* name) {
  struct stat st;
  return name && stat(name, &st) == 0;
}

uint16_t le16(const void* p) {
  const uint8_t* b = static_cast<const uint8_t*>(p);
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}

uint32_t le32(const void* p) {
  const uint8_t* b = static_cast<const uint8_t*>(p);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

}  // namespace

int32_t GETBMPDEPTH(const char* BMPFILE) {
  if (!file_exists(BMPFILE)) return 0;
  FILE* F = std::fopen(BMPFILE, "rb");
  if (!F) return 0;
  TBITMAPFILEHEADER FHEADER;
  TBITMAPINFOHEADER IHEADER;
  // A file too short for both headers (or one that cannot be read at all) is
  // taken as one of unknown depth: its slot gets a name without an image, as
  // any other file the loader cannot use, and nothing is reported.
  if (std::fread(&FHEADER, sizeof FHEADER, 1, F) != 1 || le16(&FHEADER.bfType) != 0x4D42 ||
      std::fread(&IHEADER, sizeof IHEADER, 1, F) != 1 || le32(&IHEADER.biSize) == 12) {
    std::fclose(F);
    return 0;
  }
  std::fclose(F);
  return le16(&IHEADER.biBitCount);
}

void SWAPRGB(uint8_t* DATA, int32_t SIZE) {
  for (int32_t I = 0; I < SIZE; ++I) {
    uint8_t* P = DATA + 3 * static_cast<size_t>(I);
    const uint8_t T = P[0];
    P[0] = P[2];
    P[2] = T;
  }
}

void ADDMIPMAPSTEXTURE(int32_t FORMAT, int32_t WIDTH, int32_t HEIGHT, const void* BITS) {
  if (FORMAT == 24)
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, BITS);
  else if (FORMAT == 32)
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, WIDTH, HEIGHT, GL_BGRA_EXT, GL_UNSIGNED_BYTE, BITS);
}

void TEXTURELOADID(const char* BMPFILE, int32_t NUM) {
  // A slot outside the table would be written past its end.
  if (NUM < 0 || NUM >= BMP_SLOTS) return;
  const int32_t FORMAT = GETBMPDEPTH(BMPFILE);

  // The pixels are swapped and uploaded in the bitmap's own memory. The
  // bitmap must have the depth the header promised: otherwise (the loader
  // failed, or the file changed between the two reads) no pixel is touched.
  tvxp::HBITMAP BMP = tvxp::load_image(BMPFILE, tvxp::IMAGE_BITMAP, 0, 0,
                                       tvxp::LR_LOADFROMFILE | tvxp::LR_LOADTRANSPARENT | tvxp::LR_CREATEDIBSECTION);
  tvxp::BITMAP SBITMAP{};
  const bool HAVEBITS = BMP && tvxp::get_object(BMP, sizeof SBITMAP, &SBITMAP) != 0 && SBITMAP.bmBits &&
                        (FORMAT == 24 || FORMAT == 32) && SBITMAP.bmBitsPixel == FORMAT;

  if (HAVEBITS && FORMAT == 24) {
    // Row by row, so that the padding at the end of each row stays as it is.
    uint8_t* ROW = static_cast<uint8_t*>(SBITMAP.bmBits);
    for (int32_t Y = 0; Y < SBITMAP.bmHeight; ++Y, ROW += SBITMAP.bmWidthBytes) SWAPRGB(ROW, SBITMAP.bmWidth);
  }

  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &TEXTUREID2[NUM]);
  glBindTexture(GL_TEXTURE_2D, TEXTUREID2[NUM]);
  // Bitmap rows are padded to 4 bytes.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_MIN_FILTER);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_MAG_FILTER);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

  if (HAVEBITS) {
    if (FORMAT == 24)
      glTexImage2D(GL_TEXTURE_2D, 0, 3, SBITMAP.bmWidth, SBITMAP.bmHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
                   SBITMAP.bmBits);
    else
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, SBITMAP.bmWidth, SBITMAP.bmHeight, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                   SBITMAP.bmBits);
    if (mipmap_filter(GL_MIN_FILTER)) ADDMIPMAPSTEXTURE(FORMAT, SBITMAP.bmWidth, SBITMAP.bmHeight, SBITMAP.bmBits);
  }

  // The texture holds its own copy now and the bitmap is never read again.
  if (BMP) tvxp::delete_object(BMP);
}

void TEXTURELOADTGAID(const char* TGAFILE, int32_t NUM) {
  if (NUM < 0 || NUM >= TGA_SLOTS) return;
  if (!file_exists(TGAFILE)) return;
  TGATEXTURE& SLOT = TEXTURETGA2[NUM];
  if (!LOADTGA(SLOT, TGAFILE)) return;

  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &SLOT.TEXID);
  glBindTexture(GL_TEXTURE_2D, SLOT.TEXID);

  // TGA rows carry no padding. Rows that the alignment in force does not
  // divide (24-bit images of most widths under the usual 4) would be read
  // skewed, so for those alone the alignment drops to 1 for the upload and
  // the mipmap build and is put back afterwards.
  GLint ALIGNMENT = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &ALIGNMENT);
  const uint64_t ROWBYTES = uint64_t{SLOT.WIDTH} * (SLOT.BPP / 8);
  const bool REALIGN = ALIGNMENT > 1 && ROWBYTES % static_cast<uint64_t>(ALIGNMENT) != 0;
  if (REALIGN) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

  const GLint COMPONENTS = static_cast<GLint>(SLOT.BPP / 8);
  const GLsizei W = static_cast<GLsizei>(SLOT.WIDTH), H = static_cast<GLsizei>(SLOT.HEIGHT);
  const GLenum TYP = static_cast<GLenum>(SLOT.TYP);
  glTexImage2D(GL_TEXTURE_2D, 0, COMPONENTS, W, H, 0, TYP, GL_UNSIGNED_BYTE, SLOT.IMAGEDATA);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_MIN_FILTER);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_MAG_FILTER);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  if (mipmap_filter(GL_MIN_FILTER))
    gluBuild2DMipmaps(GL_TEXTURE_2D, COMPONENTS, W, H, TYP, GL_UNSIGNED_BYTE, SLOT.IMAGEDATA);

  if (REALIGN) glPixelStorei(GL_UNPACK_ALIGNMENT, ALIGNMENT);

  // The reader's block comes from malloc; the texture now holds the only copy.
  std::free(SLOT.IMAGEDATA);
  SLOT.IMAGEDATA = nullptr;
}

void TEXTURESELECTID(int32_t NUM) {
  if (NUM < 0 || NUM >= BMP_SLOTS) return;
  glBindTexture(GL_TEXTURE_2D, TEXTUREID2[NUM]);
}

void TEXTURETGASELECTID(int32_t NUM) {
  if (NUM < 0 || NUM >= TGA_SLOTS) return;
  glBindTexture(GL_TEXTURE_2D, TEXTURETGA2[NUM].TEXID);
}

void TEXTUREON() { glEnable(GL_TEXTURE_2D); }

void TEXTUREOFF() { glDisable(GL_TEXTURE_2D); }

}  // namespace Tarvex
