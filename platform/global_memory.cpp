// Movable memory blocks: a handle over plain malloc'd memory, so that a block
// can be grown in place of its handle while nobody holds its address.
#include <tvxp/gdi.h>

#include <cstdlib>
#include <cstring>
#include <deque>

#include "gdi_internal.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

struct BlockRecord {
  bool alive = false;
  void* memory = nullptr;
  size_t size = 0;
  unsigned locks = 0;
};

std::deque<BlockRecord> g_blocks;
size_t g_live_blocks = 0;

BlockRecord* record(HGLOBAL h) {
  if (kind_of(h) != ObjectKind::global) return nullptr;
  const uint32_t i = index_of(h);
  if (i >= g_blocks.size() || !g_blocks[i].alive) return nullptr;
  return &g_blocks[i];
}

}  // namespace

size_t live_global_blocks() { return g_live_blocks; }

}  // namespace internal

using namespace internal;

HGLOBAL global_alloc(UINT flags, size_t bytes) {
  if (g_blocks.size() >= 0xFFFFFEu) return 0;
  // A block of 0 bytes still has an address, so that lock works on it.
  void* p = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  if (!p) return 0;
  g_blocks.push_back({true, p, bytes, 0});
  ++g_live_blocks;
  return make_handle(ObjectKind::global, static_cast<uint32_t>(g_blocks.size() - 1));
}

HGLOBAL global_realloc(HGLOBAL block, size_t bytes, UINT flags) {
  BlockRecord* rec = record(block);
  if (!rec) return 0;
  // Whoever holds the address of a locked block must be allowed to lose it.
  if (rec->locks && !(flags & GMEM_MOVEABLE)) return 0;
  void* p = std::realloc(rec->memory, bytes ? bytes : 1);
  if (!p) return 0;
  if ((flags & GMEM_ZEROINIT) && bytes > rec->size) std::memset(static_cast<char*>(p) + rec->size, 0, bytes - rec->size);
  rec->memory = p;
  rec->size = bytes;
  return block;
}

void* global_lock(HGLOBAL block) {
  BlockRecord* rec = record(block);
  if (!rec) return nullptr;
  ++rec->locks;
  return rec->memory;
}

bool global_unlock(HGLOBAL block) {
  BlockRecord* rec = record(block);
  if (!rec || rec->locks == 0) return false;
  --rec->locks;
  return rec->locks > 0;
}

HGLOBAL global_free(HGLOBAL block) {
  BlockRecord* rec = record(block);
  if (!rec) return block;
  std::free(rec->memory);
  *rec = BlockRecord{};
  --g_live_blocks;
  return 0;
}

}  // namespace tvxp
