#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Finds which items of two sequences of line numbers (equal numbers stand for equal
// lines) are not part of a longest common subsequence: the deletions and insertions of
// a shortest edit script. Plain C++ with no platform calls.
//
// The common head and tail are taken off first, and numbers that occur on one side only
// are marked and kept out of the search, which is Myers' O(ND) walk split at the middle
// snake, in linear space. Each split may spend at most CostLimit() edit steps per
// direction; past that it splits at the furthest-reaching diagonal instead, so the
// script may be longer than the shortest but no input of T items costs much more than
// T·CostLimit(T) steps, T·sqrt(T) for large ones. Few differences cost near-linear time.
//
// The object owns its work arrays and its results; Run() replaces both.
class SequenceDiff {
 public:
  enum : int { kMinCostLimit = 256 };

  // `a` and `b` hold numbers in [0, kinds). Afterwards ChangedA()[i] is 1 for each
  // item of `a` that is deleted, ChangedB()[j] for each item of `b` that is inserted.
  void Run(const std::vector<int>& a, const std::vector<int>& b, int kinds);

  const std::vector<char>& ChangedA() const { return m_changedA; }
  const std::vector<char>& ChangedB() const { return m_changedB; }
  // Diagonals visited and items compared by the last Run().
  uint64_t Work() const { return m_work; }
  // The steps one split may take in each direction, for sequences of `total` items.
  static int CostLimit(size_t total);

 private:
  struct Range {
    int xlo, xhi, ylo, yhi;
  };
  void Search();
  // A point strictly between the range's corners on a shortest path through it, or,
  // past the cost limit, on the path that got furthest. False if none was found.
  bool Split(const Range& r, int& xmid, int& ymid);
  void MarkA(int x) { m_changedA[static_cast<size_t>(m_mapA[static_cast<size_t>(x)])] = 1; }
  void MarkB(int y) { m_changedB[static_cast<size_t>(m_mapB[static_cast<size_t>(y)])] = 1; }
  int& Fwd(int k) { return m_fwd[static_cast<size_t>(k + m_offset)]; }
  int& Bwd(int k) { return m_bwd[static_cast<size_t>(k + m_offset)]; }

  // The items searched (those with a partner number on the other side) and where each
  // one stands in its whole sequence.
  std::vector<int> m_a, m_b, m_mapA, m_mapB;
  // Furthest x reached on each diagonal k = x - y, forwards and backwards.
  std::vector<int> m_fwd, m_bwd;
  int m_offset = 0;
  int m_limit = kMinCostLimit;
  std::vector<char> m_changedA, m_changedB;
  uint64_t m_work = 0;
};
