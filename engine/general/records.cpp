// Storage of the general distance graph's edge records (layout in records.h).
#include "engine/general/records.h"

#include <sys/mman.h>

#include <cstring>

namespace {

using namespace pred_detail;

// Chunks are mapped directly: no thread of the computation goes through the
// allocator (which would give each thread an arena of its own), and pages
// are cleared by the kernel on first touch, by the thread that writes them.
constexpr size_t kChunkUnits = (size_t(1) << 20) - 64;  // about 2 MB
constexpr size_t kPage = 4096;

void* map_bytes(size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

size_t word_bytes(uint32_t x, uint32_t y) { return size_t(x) * y * sizeof(uint32_t); }

}  // namespace

PredGraph::~PredGraph() { release(); }

bool PredGraph::reset(uint32_t dim_x, uint32_t dim_y) {
  release();
  if (dim_x == 0 || dim_y == 0) return true;
  void* w = map_bytes(word_bytes(dim_x, dim_y));
  uint16_t** r = new (std::nothrow) uint16_t*[dim_y]();
  if (w == nullptr || r == nullptr) {
    if (w != nullptr) munmap(w, word_bytes(dim_x, dim_y));
    delete[] r;
    return false;
  }
  words_ = static_cast<uint32_t*>(w);
  rows_ = r;
  dim_x_ = dim_x;
  dim_y_ = dim_y;
  return true;
}

void PredGraph::release() {
  if (words_ != nullptr) munmap(words_, word_bytes(dim_x_, dim_y_));
  delete[] rows_;
  words_ = nullptr;
  rows_ = nullptr;
  dim_x_ = dim_y_ = 0;
  while (chunks_ != nullptr) {
    Chunk* c = chunks_;
    chunks_ = c->next;
    munmap(c, c->bytes);
  }
  chunk_bytes_.store(0, std::memory_order_relaxed);
}

uint64_t PredGraph::stored_bytes() const {
  return uint64_t(word_bytes(dim_x_, dim_y_)) + uint64_t(dim_y_) * sizeof(uint16_t*) + chunk_bytes();
}

uint16_t* PredGraph::new_chunk(size_t units, size_t* got_units) {
  const size_t bytes = (sizeof(Chunk) + units * sizeof(uint16_t) + kPage - 1) / kPage * kPage;
  const uint64_t before = chunk_bytes_.fetch_add(bytes, std::memory_order_relaxed);
  if (before + bytes > budget_ || before + bytes < before) {
    chunk_bytes_.fetch_sub(bytes, std::memory_order_relaxed);
    return nullptr;
  }
  void* p = map_bytes(bytes);
  if (p == nullptr) {
    chunk_bytes_.fetch_sub(bytes, std::memory_order_relaxed);
    return nullptr;
  }
  Chunk* c = static_cast<Chunk*>(p);
  c->bytes = bytes;
  {
    std::lock_guard<std::mutex> lock(chunk_lock_);
    c->next = chunks_;
    chunks_ = c;
  }
  *got_units = (bytes - sizeof(Chunk)) / sizeof(uint16_t);
  return reinterpret_cast<uint16_t*>(c + 1);
}

void RecordWriter::begin_rows(int y0, int y1) {
  y0_ = y0;
  y1_ = y1;
  row_ = 0;
}

// Room for `units` more units of the band in the current chunk; otherwise
// the band so far moves to a new chunk (its words hold offsets within the
// band's block, which stay valid).
bool RecordWriter::room(size_t units) {
  if (chunk_ != nullptr && used_ + row_ + units <= cap_) return true;
  size_t want = 2 * (row_ + units);
  if (want < kChunkUnits) want = kChunkUnits;
  size_t got = 0;
  uint16_t* c = g_.new_chunk(want, &got);
  if (c == nullptr) {
    failed_units_ = want;
    return false;
  }
  if (row_ > 0) std::memcpy(c, chunk_ + used_, row_ * sizeof(uint16_t));
  chunk_ = c;
  cap_ = got;
  used_ = 0;
  return true;
}

bool RecordWriter::put(int x, int y, bool diag, int vbase, const int* voff, int vc, int hbase, const int* hoff,
                       int hc) {
  uint32_t& word = g_.words_[uint64_t(y) * g_.dim_x_ + uint32_t(x)];
  const uint32_t d = diag ? kDiag : 0u;
  if (vc <= 1 && hc <= 1) {
    const uint32_t vl = vc ? uint32_t(y - vbase - voff[0]) : 0u;
    const uint32_t hl = hc ? uint32_t(x - hbase - hoff[0]) : 0u;
    word = d | (vl << 15) | hl;
    return true;
  }
  // Each part as a list or, when smaller, as a bit map from its longest gap.
  const int vs = vc ? y - vbase - voff[0] : 0, hs = hc ? x - hbase - hoff[0] : 0;
  const bool vbits = (vs + 15) / 16 < vc, hbits = (hs + 15) / 16 < hc;
  const size_t vunits = vbits ? size_t(vs + 15) / 16 : size_t(vc);
  const size_t hunits = hbits ? size_t(hs + 15) / 16 : size_t(hc);
  const size_t units = 3 + vunits + hunits;
  if (!room(units)) return false;
  uint16_t* r = chunk_ + used_ + row_;
  r[0] = uint16_t((vbits ? 1u : 0u) | (hbits ? 2u : 0u));
  r[1] = uint16_t(vbits ? vs : vc);
  r[2] = uint16_t(hbits ? hs : hc);
  uint16_t* p = r + 3;
  auto write_part = [&p](bool bits, int len, int base, const int* off, int cnt, int at) {
    if (!bits) {
      for (int e = 0; e < cnt; ++e) *p++ = uint16_t(base + off[e]);
      return;
    }
    const int units = (len + 15) / 16;
    std::memset(p, 0, size_t(units) * sizeof(uint16_t));
    const int first = at - len;  // coordinate of bit 0
    for (int e = 0; e < cnt; ++e) {
      const int t = base + off[e] - first;
      p[t >> 4] = uint16_t(p[t >> 4] | (1u << (t & 15)));
    }
    p += units;
  };
  write_part(vbits, vs, vbase, voff, vc, y);
  write_part(hbits, hs, hbase, hoff, hc, x);
  word = kExt | d | uint32_t(row_);
  row_ += units;
  return true;
}

void RecordWriter::end_rows() {
  if (y0_ >= 0 && row_ > 0) {
    for (int y = y0_; y < y1_; ++y) g_.rows_[y] = chunk_ + used_;
    used_ += row_;
  }
  row_ = 0;
  y0_ = y1_ = -1;
}
