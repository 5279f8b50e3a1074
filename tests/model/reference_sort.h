#pragma once
// The plain exchange sort that defines the order of stations and rows in the files, kept as
// it reads so that the fast sort is checked against it (tests, fuzz targets, benchmarks).

#include <cstddef>
#include <numeric>
#include <utility>
#include <vector>

namespace reference {

// order[k] is the index in keys of the element the exchange sort puts at position k:
// for i < j, exchange elements i and j when keys[i] > keys[j].
inline std::vector<std::size_t> ExchangeSortOrder(const std::vector<float>& keys) {
  std::vector<std::size_t> order(keys.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  for (std::size_t i = 0; i + 1 < order.size(); ++i)
    for (std::size_t j = i + 1; j < order.size(); ++j)
      if (keys[order[i]] > keys[order[j]]) std::swap(order[i], order[j]);
  return order;
}

}  // namespace reference
