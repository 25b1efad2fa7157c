// The edge records of the general distance graph: for every inner node the
// set of its optimal predecessors (the diagonal one, the vertical ones
// (x, k), the horizontal ones (k, y)), kept in a compact form.
//
// Every node has one 32-bit word. The usual node, with at most one optimal
// predecessor per direction, lives in its word alone:
//   bit 31 = 0, bit 30 diagonal, bits 15..29 vertical gap length, bits 0..14
//   horizontal gap length (0: none of that direction).
// A node with more keeps them in the block of its rows (one block for a band
// of a few rows, cut from large chunks), and its word holds
//   bit 31 = 1, bit 30 diagonal, bits 0..29 the record's offset in that block
// in 16-bit units. Such a record is: a header (bit 0: the vertical ones as a
// bit map, bit 1: the horizontal ones as a bit map), the vertical part's
// length, the horizontal part's length, then the vertical part and the
// horizontal part. A part is either the ascending list of the predecessors'
// rows (resp. columns), its length being their number, or, when that is
// smaller, a bit map over the stretch from the longest optimal gap to the
// node, its length being the longest gap's length s: bit t stands for row
// y - s + t (resp. column x - s + t). So a record takes about what a bit
// list of the same stretch would at the most, and usually nothing beyond its
// word.
// Word 0 means "no record" (the border, and nodes an interrupted computation
// did not reach).
//
// Readers go through PredRecord; only the writer below knows the layout.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

// The optimal predecessors of one inner node (x, y), read in place.
class PredRecord {
 public:
  PredRecord() = default;
  bool exists() const { return word_ != 0; }
  bool diagonal() const { return (word_ >> 30) & 1u; }
  // Rows k of the vertical predecessors (x, k), ascending (the longest gap
  // first); -1 when there is none (further).
  int first_vertical() const;
  int next_vertical(int k) const;
  // Columns k of the horizontal predecessors (k, y), ascending (the longest
  // gap first); -1 when there is none (further).
  int first_horizontal() const;
  int next_horizontal(int k) const;
  // The first run of consecutive vertical (horizontal) predecessors whose
  // start lies above `after`: returns its start and sets *last to its end;
  // -1 when there is none. Runs let a reader sum over a stretch at once.
  int next_vertical_run(int after, int* last) const;
  int next_horizontal_run(int after, int* last) const;

 private:
  friend class PredGraph;
  PredRecord(uint32_t w, const uint16_t* ext, int x, int y) : word_(w), ext_(ext), x_(x), y_(y) {}
  uint32_t word_ = 0;
  const uint16_t* ext_ = nullptr;  // the record in its row block (bit 31 set)
  int x_ = 0, y_ = 0;
};

// The records of a (dim_x) x (dim_y) grid of nodes.
class PredGraph {
 public:
  PredGraph() = default;
  ~PredGraph();
  PredGraph(const PredGraph&) = delete;
  PredGraph& operator=(const PredGraph&) = delete;

  // Frees every record and sizes the grid; every node without a record.
  // False when the word table cannot be allocated (the grid is then 0 x 0).
  bool reset(uint32_t dim_x, uint32_t dim_y);
  // Frees everything; the grid becomes 0 x 0.
  void release();

  uint32_t dim_x() const { return dim_x_; }
  uint32_t dim_y() const { return dim_y_; }
  // The record of node (x, y); one without predecessors outside the grid.
  PredRecord record(int x, int y) const {
    if (x < 0 || y < 0 || uint32_t(x) >= dim_x_ || uint32_t(y) >= dim_y_) return PredRecord();
    const uint32_t w = words_[uint64_t(y) * dim_x_ + uint32_t(x)];
    if ((w >> 31) == 0) return PredRecord(w, nullptr, x, y);
    // A row left unfinished by an interrupt has no block: no records there.
    return rows_[y] != nullptr ? PredRecord(w, rows_[y] + (w & 0x3fffffffu), x, y) : PredRecord();
  }
  // Bytes the records really take: the words, the row table and the chunks.
  uint64_t stored_bytes() const;

  // Chunk bytes the records may take at most; a writer that needs more
  // fails (UINT64_MAX at start: no limit but the machine's).
  void set_budget(uint64_t b) { budget_ = b; }
  uint64_t chunk_bytes() const { return chunk_bytes_.load(std::memory_order_relaxed); }

 private:
  friend class RecordWriter;
  struct Chunk {
    Chunk* next;
    size_t bytes;  // of the whole mapping, this header included
  };
  // A new chunk of at least `units` 16-bit units (nullptr: over the budget or
  // no memory). Safe from several threads.
  uint16_t* new_chunk(size_t units, size_t* got_units);

  uint32_t dim_x_ = 0, dim_y_ = 0;
  uint32_t* words_ = nullptr;     // dim_x * dim_y words
  uint16_t** rows_ = nullptr;     // per row: the block of its records (nullptr: none)
  Chunk* chunks_ = nullptr;
  std::mutex chunk_lock_;
  std::atomic<uint64_t> chunk_bytes_{0};
  uint64_t budget_ = UINT64_MAX;
};

// ---- reading (the layout is described at the top) ----

namespace pred_detail {
constexpr uint32_t kExt = 1u << 31, kDiag = 1u << 30, kLen = 0x7fffu;

// Part p (0 vertical, 1 horizontal) of an extended record: its data, its
// length, whether it is a bit map.
inline const uint16_t* part(const uint16_t* e, int p, int* len, bool* bitmap) {
  *len = e[1 + p];
  *bitmap = (e[0] >> p) & 1u;
  const uint16_t* d = e + 3;
  if (p == 1) d += e[0] & 1u ? (e[1] + 15) / 16 : e[1];
  return d;
}

// The index of the first entry above `after` in an ascending list of `len`
// coordinates; len when there is none.
inline int first_above(const uint16_t* d, int len, int after) {
  int lo = 0, hi = len;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (int(d[mid]) > after) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

// The smallest coordinate above `after` in part p of an extended record of
// node coordinate `at` (y for vertical, x for horizontal); -1 when none.
inline int next_in(const uint16_t* e, int p, int at, int after) {
  int len;
  bool bitmap;
  const uint16_t* d = part(e, p, &len, &bitmap);
  if (!bitmap) {
    const int i = first_above(d, len, after);
    return i < len ? int(d[i]) : -1;
  }
  const int base = at - len;  // coordinate of bit 0
  int t = after < base ? 0 : after - base + 1;
  while (t < len) {
    const unsigned w = unsigned(d[t >> 4]) >> (t & 15);
    if (w) {
      t += __builtin_ctz(w);
      return t < len ? base + t : -1;
    }
    t = (t | 15) + 1;
  }
  return -1;
}
// The first run of consecutive coordinates whose start lies above `after`
// in part p of an extended record (see next_in); its start, its end in
// *last; -1 when none.
inline int next_run_in(const uint16_t* e, int p, int at, int after, int* last) {
  int len;
  bool bitmap;
  const uint16_t* d = part(e, p, &len, &bitmap);
  if (!bitmap) {
    const int first = first_above(d, len, after);
    if (first >= len) return -1;
    int i = first;
    while (i + 1 < len && int(d[i + 1]) == int(d[i]) + 1) ++i;
    *last = int(d[i]);
    return int(d[first]);
  }
  const int base = at - len;  // coordinate of bit 0
  const int first = next_in(e, p, at, after);
  if (first < 0) return -1;
  // the first clear bit after the run's start ends it
  int t = first - base + 1;
  while (t < len) {
    const unsigned w = (~unsigned(d[t >> 4]) & 0xffffu) >> (t & 15);
    if (w) {
      t += __builtin_ctz(w);
      break;
    }
    t = (t | 15) + 1;
  }
  *last = base + (t < len ? t : len) - 1;
  return first;
}
}  // namespace pred_detail

inline int PredRecord::next_vertical_run(int after, int* last) const {
  if (word_ & pred_detail::kExt) return pred_detail::next_run_in(ext_, 0, y_, after, last);
  const int k = next_vertical(after);
  *last = k;
  return k;
}

inline int PredRecord::next_horizontal_run(int after, int* last) const {
  if (word_ & pred_detail::kExt) return pred_detail::next_run_in(ext_, 1, x_, after, last);
  const int k = next_horizontal(after);
  *last = k;
  return k;
}

inline int PredRecord::first_vertical() const { return next_vertical(-1); }
inline int PredRecord::first_horizontal() const { return next_horizontal(-1); }

inline int PredRecord::next_vertical(int k) const {
  using namespace pred_detail;
  if (word_ & kExt) return next_in(ext_, 0, y_, k);
  const int len = int((word_ >> 15) & kLen);
  return len && y_ - len > k ? y_ - len : -1;
}

inline int PredRecord::next_horizontal(int k) const {
  using namespace pred_detail;
  if (word_ & kExt) return next_in(ext_, 1, x_, k);
  const int len = int(word_ & kLen);
  return len && x_ - len > k ? x_ - len : -1;
}

// Writes the records of bands of rows, one band at a time, for one thread:
// bands written by different writers go to different chunks. The writer
// allocates nothing but chunks. A band's records make one block, so a band
// takes few enough rows that their records stay below 2^30 units (16 rows of
// the longest sequences take at most half of that).
class RecordWriter {
 public:
  explicit RecordWriter(PredGraph& g) : g_(g) {}
  void begin_rows(int y0, int y1);  // rows y0 .. y1 - 1
  // The record of node (x, y) of the band begun: the diagonal flag, the
  // vertical predecessors' rows vbase + voff[0 .. vc) and the horizontal
  // ones' columns hbase + hoff[0 .. hc), each ascending. False when its
  // memory could not be had (the record is then not written).
  bool put(int x, int y, bool diag, int vbase, const int* voff, int vc, int hbase, const int* hoff, int hc);
  void end_rows();
  // Units the writer asked for when a put failed (for the refusal's figure).
  size_t failed_units() const { return failed_units_; }

 private:
  bool room(size_t units);
  PredGraph& g_;
  int y0_ = -1, y1_ = -1;
  uint16_t* chunk_ = nullptr;   // current chunk: [chunk_, chunk_ + cap_)
  size_t cap_ = 0;
  size_t used_ = 0;             // units of the chunk taken by finished bands
  size_t row_ = 0;              // units of the band being written
  size_t failed_units_ = 0;
};
