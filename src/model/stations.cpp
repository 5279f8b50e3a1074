#include "model/stations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <utility>

// How the exchange sort places equal keys, and how that is computed without its n^2 steps.
//
// Pass i of the exchange sort holds a champion at position i; every later element smaller
// than the champion is exchanged with it. The elements exchanged are the strict running
// minima of keys[i..]: each moves to the position of the next one, and the first occurrence
// of the minimum ends at i. Three facts follow:
//  1. The elements of key v are placed, in the passes that place key v, in the order they then
//     stand in: only the first of them is a running minimum, the others do not move.
//  2. Greater keys never change the order of the elements of key v or smaller: running minima
//     of keys at most v come after every greater running minimum, and move among themselves.
//  3. Among the keys smaller than v only the positions they occupy matter, not their values:
//     a pass moves elements of smaller keys from position to position of smaller keys.
// So the order of the elements of key v is that of a two-valued list, elements "E" of key v
// and "L" of smaller keys, in the original order. There the pass at an E (with an L later)
// exchanges it with the first L after it, and the pass at an L changes nothing. The Es before
// the next L therefore behave as a queue: reading the original list from the left, an E joins
// the queue at its back and an L, when the queue is not empty, moves the queue's front to its
// back. The queue at the end is the order of key v in the sorted list.
//
// The queue is kept as a cycle with a front index: an E is inserted just before the front and
// c rotations move the front c places on. The count of smaller keys between two Es comes from
// a Fenwick tree over positions, filled in key order; the insertions, each at a known index,
// are laid out in one backward pass that gives the i-th free slot. Everything is O(n log n).

namespace {

// Sums of counts over positions 0..n-1: prefix sums and the k-th position holding a count.
class Fenwick {
 public:
  // n positions, each holding one (all = true) or zero.
  void reset(std::size_t n, bool all) {
    tree_.assign(n + 1, 0);
    if (!all) return;
    for (std::size_t i = 1; i <= n; ++i) tree_[i] = i & (~i + 1);  // each node covers its lowest bit's span
  }
  void add(std::size_t pos) {
    for (std::size_t i = pos + 1; i < tree_.size(); i += i & (~i + 1)) ++tree_[i];
  }
  void remove(std::size_t pos) {
    for (std::size_t i = pos + 1; i < tree_.size(); i += i & (~i + 1)) --tree_[i];
  }
  // The sum over positions [0, end).
  std::size_t prefix(std::size_t end) const {
    std::size_t sum = 0;
    for (std::size_t i = end; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  // The position holding the k-th one (k from 0), with every count 0 or 1 and k below the total.
  std::size_t findKth(std::size_t k) const {
    std::size_t pos = 0;
    std::size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    std::size_t left = k;
    for (; step > 0; step /= 2) {
      if (pos + step < tree_.size() && tree_[pos + step] <= left) {
        pos += step;
        left -= tree_[pos];
      }
    }
    // Node pos (1-based) ends the longest prefix holding at most k ones: position pos (0-based)
    // holds the k-th.
    return pos;
  }

 private:
  std::vector<std::size_t> tree_;
};

// ExchangeSortOrder for keys without NaN.
// A float as an unsigned number of the same order: equal floats (0 and -0 too) give equal
// numbers, a smaller float a smaller number. Not for NaN.
std::uint32_t OrderedBits(float f) {
  if (f == 0.0f) f = 0.0f;  // -0 is equal to 0
  std::uint32_t bits = 0;
  std::memcpy(&bits, &f, sizeof bits);
  return (bits & 0x80000000u) != 0 ? ~bits : (bits | 0x80000000u);
}

// The positions of keys in key order, equal keys in position order, and whether any two keys
// are equal. Sorting numbers that hold both the key and the position keeps it fast on a
// million rows.
std::vector<std::size_t> PositionsByKey(std::span<const float> keys, std::vector<std::uint32_t>& rank, bool& ties) {
  const std::size_t n = keys.size();
  std::vector<std::size_t> byKey(n);
  rank.assign(n, 0);
  ties = false;
  if (n <= std::numeric_limits<std::uint32_t>::max()) {
    std::vector<std::uint64_t> packed(n);
    for (std::size_t i = 0; i < n; ++i) packed[i] = (std::uint64_t{OrderedBits(keys[i])} << 32) | i;
    std::sort(packed.begin(), packed.end());
    for (std::size_t k = 0; k < n; ++k) {
      byKey[k] = static_cast<std::size_t>(packed[k] & 0xFFFFFFFFu);
      rank[k] = static_cast<std::uint32_t>(packed[k] >> 32);
      if (k > 0 && rank[k] == rank[k - 1]) ties = true;
    }
    return byKey;
  }
  std::iota(byKey.begin(), byKey.end(), std::size_t{0});
  std::sort(byKey.begin(), byKey.end(), [&](std::size_t a, std::size_t b) {
    return keys[a] < keys[b] || (!(keys[b] < keys[a]) && a < b);
  });
  for (std::size_t k = 0; k < n; ++k) {
    rank[k] = OrderedBits(keys[byKey[k]]);
    if (k > 0 && rank[k] == rank[k - 1]) ties = true;
  }
  return byKey;
}

std::vector<std::size_t> OrderOfComparableKeys(std::span<const float> keys) {
  const std::size_t n = keys.size();
  std::vector<std::uint32_t> rank;  // rank[k]: the key of byKey[k] as OrderedBits
  bool ties = false;
  const std::vector<std::size_t> byKey = PositionsByKey(keys, rank, ties);
  if (!ties) return byKey;  // distinct keys: every sort gives the same order

  std::vector<std::size_t> order;
  order.reserve(n);
  Fenwick smaller;  // positions of the keys placed so far, all smaller than the current key
  smaller.reset(n, false);
  Fenwick slots;
  std::vector<std::size_t> insertAt;
  std::vector<std::size_t> cycle;
  for (std::size_t start = 0; start < n;) {
    std::size_t end = start + 1;
    while (end < n && rank[end] == rank[start]) ++end;
    const std::size_t* e = byKey.data() + start;  // positions of this key, ascending
    const std::size_t count = end - start;
    if (count == 1) {
      order.push_back(e[0]);
    } else {
      // Build the queue: e[j] is inserted at cycle index insertAt[j]; front is the front index.
      insertAt.assign(count, 0);
      std::size_t front = 0;
      std::size_t smallerBefore = smaller.prefix(e[0]);
      for (std::size_t j = 0; j < count; ++j) {
        if (j > 0) insertAt[j] = front++;
        const std::size_t size = j + 1;
        const std::size_t smallerUpToNext = j + 1 < count ? smaller.prefix(e[j + 1]) : start;
        const std::size_t rotations = smallerUpToNext - smallerBefore;
        smallerBefore = smallerUpToNext;
        front = (front + rotations % size) % size;
      }
      // Lay the insertions out: the last one inserted takes the insertAt-th free slot, and so on.
      slots.reset(count, true);
      cycle.assign(count, 0);
      for (std::size_t j = count; j-- > 0;) {
        const std::size_t slot = slots.findKth(insertAt[j]);
        cycle[slot] = e[j];
        slots.remove(slot);
      }
      for (std::size_t r = 0; r < count; ++r) order.push_back(cycle[(front + r) % count]);
    }
    for (std::size_t j = 0; j < count; ++j) smaller.add(e[j]);
    start = end;
  }
  return order;
}

// Whether the exchange sort leaves keys as they are: no NaN and never a greater key first.
bool InExchangeOrder(std::span<const float> keys) {
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (std::isnan(keys[k])) return false;
    if (k > 0 && keys[k - 1] > keys[k]) return false;
  }
  return true;
}

}  // namespace

std::vector<std::size_t> ExchangeSortOrder(std::span<const float> keys) {
  std::vector<std::size_t> comparable;
  comparable.reserve(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (!std::isnan(keys[i])) comparable.push_back(i);
  if (comparable.size() == keys.size()) return OrderOfComparableKeys(keys);

  // NaNs stay where they are; the other keys are sorted in the positions between them.
  std::vector<float> sub(comparable.size());
  for (std::size_t k = 0; k < comparable.size(); ++k) sub[k] = keys[comparable[k]];
  const std::vector<std::size_t> subOrder = OrderOfComparableKeys(sub);
  std::vector<std::size_t> order(keys.size());
  std::size_t next = 0;
  for (std::size_t i = 0; i < keys.size(); ++i)
    order[i] = std::isnan(keys[i]) ? i : comparable[subOrder[next++]];
  return order;
}

void SortStationsByX(StationList& stations) {
  const std::size_t n = stations.size();
  std::vector<float> keys(n);
  for (std::size_t i = 0; i < n; ++i) keys[i] = stations[i].X;
  // On a list in order the exchange sort exchanges nothing.
  if (InExchangeOrder(keys)) return;
  StationList sorted;
  sorted.reserve(n);
  for (std::size_t from : ExchangeSortOrder(keys)) sorted.push_back(std::move(stations[from]));
  stations = std::move(sorted);
}

void SortRowsBySpacing(sdata& station) {
  auto& ab2 = station.Columns[colAB2];
  const std::size_t m = ab2.size();
  // Rows already in order (the usual case) are left as they are after one linear pass.
  if (m < 2 || InExchangeOrder(ab2)) return;
  const std::vector<std::size_t> order = ExchangeSortOrder(ab2);
  std::vector<float> moved(m);
  for (int c : {colAB2, colRho, colZP, colIP, colTD, colTH, colR}) {
    auto& col = station.Columns[c];
    if (col.size() < m) continue;  // a short column is a broken precondition; never read past it
    for (std::size_t k = 0; k < m; ++k) moved[k] = col[order[k]];
    std::copy(moved.begin(), moved.end(), col.begin());
  }
}

void SortRowsBySpacing(StationList& stations) {
  for (sdata& s : stations) SortRowsBySpacing(s);
}

std::size_t InsertStationByX(StationList& stations, sdata station) {
  SortStationsByX(stations);
  const float x = station.X;
  auto pos = std::upper_bound(stations.begin(), stations.end(), x,
                              [](float v, const sdata& s) { return v < s.X; });
  const auto index = static_cast<std::size_t>(pos - stations.begin());
  stations.insert(pos, std::move(station));
  return index;
}
