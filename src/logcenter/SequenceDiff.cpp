#include "logcenter/SequenceDiff.h"

#include <algorithm>
#include <climits>
#include <cmath>

int SequenceDiff::CostLimit(size_t total) {
  return std::max<int>(kMinCostLimit, static_cast<int>(std::sqrt(static_cast<double>(total))));
}

void SequenceDiff::Run(const std::vector<int>& a, const std::vector<int>& b, int kinds) {
  m_changedA.assign(a.size(), 0);
  m_changedB.assign(b.size(), 0);
  m_work = 0;
  size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  size_t endA = a.size(), endB = b.size();
  while (endA > head && endB > head && a[endA - 1] == b[endB - 1]) --endA, --endB;

  // A line whose number the other side lacks can never be kept: mark it now and leave
  // it out of the search, which then only sees lines that may pair.
  auto known = [kinds](int v) { return v >= 0 && v < kinds; };
  auto seen = [&](const std::vector<int>& seq, size_t end) {
    std::vector<char> in(static_cast<size_t>(std::max(kinds, 0)), 0);
    for (size_t i = head; i < end; ++i)
      if (known(seq[i])) in[static_cast<size_t>(seq[i])] = 1;
    return in;
  };
  auto keep = [&](const std::vector<int>& seq, size_t end, const std::vector<char>& other,
                  std::vector<int>& kept, std::vector<int>& map, std::vector<char>& changed) {
    kept.clear();
    map.clear();
    for (size_t i = head; i < end; ++i) {
      if (known(seq[i]) && other[static_cast<size_t>(seq[i])]) {
        kept.push_back(seq[i]);
        map.push_back(static_cast<int>(i));
      } else {
        changed[i] = 1;
      }
    }
  };
  keep(a, endA, seen(b, endB), m_a, m_mapA, m_changedA);
  keep(b, endB, seen(a, endA), m_b, m_mapB, m_changedB);
  m_limit = CostLimit(m_a.size() + m_b.size());
  m_offset = static_cast<int>(m_b.size()) + 1;
  m_fwd.assign(m_a.size() + m_b.size() + 3, 0);
  m_bwd.assign(m_fwd.size(), 0);
  Search();
}

void SequenceDiff::Search() {
  // Ranges still to split, worked from a stack: a run of heuristic splits can be long.
  std::vector<Range> todo{{0, static_cast<int>(m_a.size()), 0, static_cast<int>(m_b.size())}};
  while (!todo.empty()) {
    Range r = todo.back();
    todo.pop_back();
    while (r.xlo < r.xhi && r.ylo < r.yhi && m_a[r.xlo] == m_b[r.ylo]) ++r.xlo, ++r.ylo;
    while (r.xlo < r.xhi && r.ylo < r.yhi && m_a[r.xhi - 1] == m_b[r.yhi - 1]) --r.xhi, --r.yhi;
    int xmid = 0, ymid = 0;
    if (r.xlo == r.xhi || r.ylo == r.yhi || !Split(r, xmid, ymid)) {
      for (int x = r.xlo; x < r.xhi; ++x) MarkA(x);
      for (int y = r.ylo; y < r.yhi; ++y) MarkB(y);
      continue;
    }
    todo.push_back(Range{xmid, r.xhi, ymid, r.yhi});
    todo.push_back(Range{r.xlo, xmid, r.ylo, ymid});
  }
}

// Both ends of the range differ and neither side is empty, so every diagonal band
// below holds at least one diagonal and a shortest path costs at least 2.
bool SequenceDiff::Split(const Range& r, int& xmid, int& ymid) {
  const int kmin = r.xlo - r.yhi, kmax = r.xhi - r.ylo;
  const int fmid = r.xlo - r.ylo, bmid = r.xhi - r.yhi;
  const bool odd = ((fmid - bmid) & 1) != 0;
  // The diagonals reached by the last step in each direction.
  int flo = fmid, fhi = fmid, blo = bmid, bhi = bmid;
  Fwd(fmid) = r.xlo;
  Bwd(bmid) = r.xhi;
  // The band of diagonals one step reaches from `mid`, on the step's parity.
  auto band = [kmin, kmax](int mid, int c, int& lo, int& hi) {
    lo = std::max(kmin, mid - c);
    hi = std::min(kmax, mid + c);
    if ((lo - mid + c) & 1) ++lo;
    if ((hi - mid + c) & 1) --hi;
  };
  bool found = false;
  for (int c = 1; !found; ++c) {
    int lo, hi;
    band(fmid, c, lo, hi);
    for (int k = lo; k <= hi && !found; k += 2) {
      // One more deletion (from k-1) or insertion (from k+1); a move that would leave
      // the range stops at its edge, which the same cost also reaches.
      int x = INT_MIN;
      if (k - 1 >= flo) x = std::min(Fwd(k - 1) + 1, r.xhi);
      if (k + 1 <= fhi) x = std::max(x, std::min(Fwd(k + 1), r.yhi + k));
      int y = x - k;
      ++m_work;
      while (x < r.xhi && y < r.yhi && m_a[x] == m_b[y]) ++x, ++y, ++m_work;
      Fwd(k) = x;
      if (odd && k >= blo && k <= bhi && x >= Bwd(k)) xmid = x, ymid = y, found = true;
    }
    flo = lo, fhi = hi;
    if (found) break;
    band(bmid, c, lo, hi);
    for (int k = lo; k <= hi && !found; k += 2) {
      int x = INT_MAX;
      if (k + 1 <= bhi) x = std::max(Bwd(k + 1) - 1, r.xlo);
      if (k - 1 >= blo) x = std::min(x, std::max(Bwd(k - 1), r.ylo + k));
      int y = x - k;
      ++m_work;
      while (x > r.xlo && y > r.ylo && m_a[x - 1] == m_b[y - 1]) --x, --y, ++m_work;
      Bwd(k) = x;
      if (!odd && k >= flo && k <= fhi && x <= Fwd(k)) xmid = x, ymid = y, found = true;
    }
    blo = lo, bhi = hi;
    if (found || c < m_limit) continue;
    // Too costly: split where one direction got furthest along the diagonals.
    int bestF = INT_MIN, bestB = INT_MAX, kf = fmid, kb = bmid;
    for (int k = flo; k <= fhi; k += 2)
      if (2 * Fwd(k) - k > bestF) bestF = 2 * Fwd(k) - k, kf = k;
    for (int k = blo; k <= bhi; k += 2)
      if (2 * Bwd(k) - k < bestB) bestB = 2 * Bwd(k) - k, kb = k;
    const bool forward = bestF - (r.xlo + r.ylo) >= (r.xhi + r.yhi) - bestB;
    xmid = forward ? Fwd(kf) : Bwd(kb);
    ymid = xmid - (forward ? kf : kb);
    found = true;
  }
  const bool atStart = xmid == r.xlo && ymid == r.ylo, atEnd = xmid == r.xhi && ymid == r.yhi;
  return !atStart && !atEnd;
}
