// TGA reader. Sizes are worked out in 64 bits and checked against the image
// limit and against what the file still holds before anything is allocated,
// and every stored pixel is bounded by the pixels left in the image, so a
// lying header can neither wrap the arithmetic nor write past the block.
#include <tarvex/tga.h>

#include <cstdlib>
#include <cstring>

#include <tvxp/bmp.h>
#include <tvxp/msgbox.h>

namespace Tarvex {

TTGAHEADER TGAHEADER;
TTGA TGA;
FILE* FTGA = nullptr;
const uint8_t UTGACOMPARE[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const uint8_t CTGACOMPARE[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

namespace {

constexpr uint32_t TGA_GL_RGB = 0x1907;
constexpr uint32_t TGA_GL_RGBA = 0x1908;

void TGAMESSAGE(const char* TEXT, const char* CAPTION) { tvxp::message_box(0, TEXT, CAPTION, tvxp::MB_OK); }

// Shows the message, releases the image block and reports failure.
bool TGAFAIL(TGATEXTURE& TEXTURE, const char* TEXT) {
  TGAMESSAGE(TEXT, "ERROR");
  std::free(TEXTURE.IMAGEDATA);
  TEXTURE.IMAGEDATA = nullptr;
  return false;
}

// Bytes from the current position to the end of the file, or -1 when the
// file cannot be measured (a pipe, say); then only short reads tell.
long long TGAREMAINING() {
  long HERE = std::ftell(FTGA);
  if (HERE < 0 || std::fseek(FTGA, 0, SEEK_END) != 0) return -1;
  long END = std::ftell(FTGA);
  if (std::fseek(FTGA, HERE, SEEK_SET) != 0) return -1;
  return END < HERE ? -1 : static_cast<long long>(END - HERE);
}

// The steps both readers share, up to (not including) the allocation of the
// image block. The block is not allocated here so that the plain reader can
// first check that the file holds all the pixels it promises.
bool TGACOMMON(TGATEXTURE& TEXTURE, bool PLAIN) {
  TEXTURE.IMAGEDATA = nullptr;
  if (std::fread(TGA.HEADER, 1, 6, FTGA) != 6) return TGAFAIL(TEXTURE, "Could not read info header");
  TEXTURE.WIDTH = TGA.HEADER[0] + 256u * TGA.HEADER[1];
  TEXTURE.HEIGHT = TGA.HEADER[2] + 256u * TGA.HEADER[3];
  TEXTURE.BPP = TGA.HEADER[4];
  TGA.WIDTH = TEXTURE.WIDTH;
  TGA.HEIGH = TEXTURE.HEIGHT;
  TGA.BPP = TEXTURE.BPP;
  if (TEXTURE.WIDTH == 0 || TEXTURE.HEIGHT == 0 || (TEXTURE.BPP != 24 && TEXTURE.BPP != 32))
    return TGAFAIL(TEXTURE, "Invalid texture information");
  TEXTURE.TYP = TEXTURE.BPP == 24 ? TGA_GL_RGB : TGA_GL_RGBA;
  TGA.BYTESPERPIXEL = TGA.BPP / 8;
  const uint64_t PIXELS = uint64_t{TGA.WIDTH} * TGA.HEIGH;
  if (PIXELS > tvxp::MAX_IMAGE_PIXELS) return TGAFAIL(TEXTURE, "Could not allocate memory for image");
  // At most 16384 * 16384 * 4 bytes: fits the record's 32-bit field.
  const uint64_t SIZE = PIXELS * TGA.BYTESPERPIXEL;
  TGA.IMAGESIZE = static_cast<uint32_t>(SIZE);
  if (PLAIN) {
    const long long LEFT = TGAREMAINING();
    if (LEFT >= 0 && static_cast<uint64_t>(LEFT) < SIZE) return TGAFAIL(TEXTURE, "Could not read image data");
  }
  TEXTURE.IMAGEDATA = static_cast<uint8_t*>(std::calloc(SIZE, 1));
  if (!TEXTURE.IMAGEDATA) return TGAFAIL(TEXTURE, "Could not allocate memory for image");
  return true;
}

void TGACLOSE() {
  if (FTGA) std::fclose(FTGA);
  FTGA = nullptr;
}

}  // namespace

bool LOADUNCOMPRESSEDTGA(TGATEXTURE& TEXTURE) {
  if (!TGACOMMON(TEXTURE, true)) return false;
  if (std::fread(TEXTURE.IMAGEDATA, 1, TGA.IMAGESIZE, FTGA) != TGA.IMAGESIZE)
    return TGAFAIL(TEXTURE, "Could not read image data");
  const uint32_t BPPBYTES = TGA.BYTESPERPIXEL;
  for (uint32_t I = 0; I < TGA.IMAGESIZE; I += BPPBYTES) {
    const uint8_t BLUE = TEXTURE.IMAGEDATA[I];
    TEXTURE.IMAGEDATA[I] = TEXTURE.IMAGEDATA[I + 2];
    TEXTURE.IMAGEDATA[I + 2] = BLUE;
  }
  TGACLOSE();
  return true;
}

bool LOADCOMPRESSEDTGA(TGATEXTURE& TEXTURE) {
  if (!TGACOMMON(TEXTURE, false)) return false;
  const uint32_t PIXELCOUNT = TGA.WIDTH * TGA.HEIGH;  // bounded by the image limit
  const uint32_t BPPBYTES = TGA.BYTESPERPIXEL;
  uint32_t CURRENTPIXEL = 0;
  uint32_t CURRENTBYTE = 0;
  uint8_t* COLORBUFFER = static_cast<uint8_t*>(std::malloc(BPPBYTES));
  if (!COLORBUFFER) return TGAFAIL(TEXTURE, "Could not allocate memory for color buffer");
  auto STORE = [&]() {
    TEXTURE.IMAGEDATA[CURRENTBYTE] = COLORBUFFER[2];
    TEXTURE.IMAGEDATA[CURRENTBYTE + 1] = COLORBUFFER[1];
    TEXTURE.IMAGEDATA[CURRENTBYTE + 2] = COLORBUFFER[0];
    if (BPPBYTES == 4) TEXTURE.IMAGEDATA[CURRENTBYTE + 3] = COLORBUFFER[3];
    CURRENTBYTE += BPPBYTES;
    ++CURRENTPIXEL;
  };
  auto FAIL = [&](const char* TEXT) {
    std::free(COLORBUFFER);
    return TGAFAIL(TEXTURE, TEXT);
  };
  while (CURRENTPIXEL < PIXELCOUNT) {
    uint8_t CHUNKHEADER = 0;
    if (std::fread(&CHUNKHEADER, 1, 1, FTGA) != 1) return FAIL("Could not read RLE header");
    if (CHUNKHEADER < 128) {
      for (unsigned COUNTER = 0; COUNTER <= CHUNKHEADER; ++COUNTER) {
        if (std::fread(COLORBUFFER, 1, BPPBYTES, FTGA) != BPPBYTES) return FAIL("Could not read image data");
        if (CURRENTPIXEL == PIXELCOUNT) return FAIL("Too many pixels read");
        STORE();
      }
    } else {
      if (std::fread(COLORBUFFER, 1, BPPBYTES, FTGA) != BPPBYTES) return FAIL("Could not read from file");
      for (unsigned COUNTER = 0; COUNTER < CHUNKHEADER - 127u; ++COUNTER) {
        if (CURRENTPIXEL == PIXELCOUNT) return FAIL("Too many pixels read");
        STORE();
      }
    }
  }
  std::free(COLORBUFFER);
  TGACLOSE();
  return true;
}

bool LOADTGA(TGATEXTURE& TEXTURE, const char* FILENAME) {
  FTGA = FILENAME ? std::fopen(FILENAME, "rb") : nullptr;
  if (!FTGA) {
    TEXTURE.IMAGEDATA = nullptr;
    TGAMESSAGE("Could not open texture file", "ERROR");
    return false;
  }
  if (std::fread(TGAHEADER.HEADER, 1, 12, FTGA) != 12) {
    TEXTURE.IMAGEDATA = nullptr;
    TGAMESSAGE("Could not read file header", "ERROR");
    TGACLOSE();
    return false;
  }
  bool OK;
  if (std::memcmp(UTGACOMPARE, TGAHEADER.HEADER, 12) == 0) {
    OK = LOADUNCOMPRESSEDTGA(TEXTURE);
  } else if (std::memcmp(CTGACOMPARE, TGAHEADER.HEADER, 12) == 0) {
    OK = LOADCOMPRESSEDTGA(TEXTURE);
  } else {
    TEXTURE.IMAGEDATA = nullptr;
    TGAMESSAGE("TGA file be type 2 or type 10", "Invalid Image");
    OK = false;
  }
  if (!OK) TGACLOSE();
  return OK;
}

}  // namespace Tarvex
