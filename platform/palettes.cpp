// Logical palettes and their selection into surfaces. The display is true
// colour, so a palette never changes how a pixel is shown: colour-table images
// are converted through their own table, and realising a palette only keeps
// it selected.
#include <tvxp/gdi.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <unordered_map>
#include <vector>

#include "gdi_internal.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

struct PaletteRecord {
  bool alive = false;
  std::vector<PALETTEENTRY> entries;
};

std::deque<PaletteRecord> g_palettes;
size_t g_live_palettes = 0;
// The palette each surface holds; absent means the stock palette.
std::unordered_map<HDC, HPALETTE> g_selected;

constexpr uint32_t STOCK_PALETTE_INDEX = 0xFFFFFEu;

// The stock palette: the sixteen colours every display can show.
const PALETTEENTRY STOCK_ENTRIES[16] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0}, {0, 0, 128, 0},     {128, 0, 128, 0},
    {0, 128, 128, 0},   {192, 192, 192, 0}, {128, 128, 128, 0}, {255, 0, 0, 0}, {0, 255, 0, 0},   {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};

const PALETTEENTRY* entries_of(HPALETTE h, size_t* n) {
  if (h == stock_palette()) {
    *n = 16;
    return STOCK_ENTRIES;
  }
  if (kind_of(h) != ObjectKind::palette) return nullptr;
  const uint32_t i = index_of(h);
  if (i >= g_palettes.size() || !g_palettes[i].alive) return nullptr;
  *n = g_palettes[i].entries.size();
  return g_palettes[i].entries.data();
}

HPALETTE add_palette(std::vector<PALETTEENTRY> entries) {
  if (g_palettes.size() >= STOCK_PALETTE_INDEX) return 0;
  g_palettes.push_back({true, std::move(entries)});
  ++g_live_palettes;
  return make_handle(ObjectKind::palette, static_cast<uint32_t>(g_palettes.size() - 1));
}

bool is_surface(HDC h) { return is_memory_dc(h) || dc(h) != nullptr; }

}  // namespace

HPALETTE stock_palette() { return make_handle(ObjectKind::palette, STOCK_PALETTE_INDEX); }

HPALETTE selected_palette(HDC h) {
  auto it = g_selected.find(h);
  return it == g_selected.end() ? stock_palette() : it->second;
}

void forget_dc_palette(HDC h) { g_selected.erase(h); }

size_t live_palettes() { return g_live_palettes; }

int palette_get_object(HPALETTE h, int size, void* out) {
  size_t n = 0;
  if (!entries_of(h, &n)) return 0;
  // What a palette tells is its entry count, as a 16-bit value.
  if (!out) return 2;
  if (size < 2) return 0;
  const uint16_t count = static_cast<uint16_t>(n);
  std::memcpy(out, &count, 2);
  return 2;
}

bool palette_delete(HPALETTE h) {
  if (h == stock_palette() || kind_of(h) != ObjectKind::palette) return false;
  const uint32_t i = index_of(h);
  if (i >= g_palettes.size() || !g_palettes[i].alive) return false;
  g_palettes[i].alive = false;
  g_palettes[i].entries = {};
  --g_live_palettes;
  // Surfaces that still hold it fall back to the stock palette.
  for (auto it = g_selected.begin(); it != g_selected.end();)
    it = it->second == h ? g_selected.erase(it) : std::next(it);
  return true;
}

}  // namespace internal

using namespace internal;

HPALETTE create_halftone_palette(HDC) {
  // A 6 x 6 x 6 colour cube (red slowest) and a 40-step grey ramp between
  // its greys, so that any true-colour picture has a near entry.
  std::vector<PALETTEENTRY> e;
  e.reserve(256);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        e.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51), 0});
  for (int i = 1; e.size() < 256; ++i) {
    const uint8_t v = static_cast<uint8_t>((i * 255 + 20) / 41);
    e.push_back({v, v, v, 0});
  }
  return add_palette(std::move(e));
}

HPALETTE create_palette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300 || palette->palNumEntries == 0) return 0;
  std::vector<PALETTEENTRY> e(palette->palNumEntries);
  std::memcpy(e.data(), palette->palPalEntry, e.size() * sizeof(PALETTEENTRY));
  return add_palette(std::move(e));
}

UINT get_palette_entries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out) {
  size_t n = 0;
  const PALETTEENTRY* e = entries_of(palette, &n);
  if (!e) return 0;
  if (!out) return static_cast<UINT>(n);
  if (start >= n) return 0;
  const UINT k = static_cast<UINT>(std::min<size_t>(count, n - start));
  std::memcpy(out, e + start, k * sizeof(PALETTEENTRY));
  return k;
}

HPALETTE select_palette(HDC h, HPALETTE palette, bool force_background) {
  // Foreground and background differ only on a colormapped display.
  (void)force_background;
  size_t n = 0;
  if (!is_surface(h) || !entries_of(palette, &n)) return 0;
  const HPALETTE previous = selected_palette(h);
  if (palette == stock_palette())
    g_selected.erase(h);
  else
    g_selected[h] = palette;
  return previous;
}

UINT realize_palette(HDC h) {
  if (!is_surface(h)) return 0;
  size_t n = 0;
  entries_of(selected_palette(h), &n);
  return static_cast<UINT>(n);
}

}  // namespace tvxp
