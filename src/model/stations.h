#pragma once
// Ordering of the station list and of each station's rows.

#include <cstddef>
#include <span>
#include <vector>

#include "model/sdata.h"

// The order in which the exchange sort the saved files depend on leaves keys:
//   for i < j: exchange elements i and j when keys[i] > keys[j].
// order[k] is the index in keys of the element that ends at position k. Elements of equal key
// are never exchanged with each other directly, yet move past each other when a smaller
// element is exchanged with them, so 5 (P), 5 (Q), 3 (R) comes out as R, Q, P. A NaN compares
// false with everything, so the exchange sort never moves it: it keeps its position, and the
// other keys are ordered around it.
// Computed in O(n log n): see stations.cpp for how equal keys are placed.
std::vector<std::size_t> ExchangeSortOrder(std::span<const float> keys);

// Orders the stations by X in the exchange sort's order (ExchangeSortOrder).
// A list already in order is left as it is after one linear pass.
void SortStationsByX(StationList& stations);

// Orders every station's rows by Columns[1] in the exchange sort's order, moving
// Columns[1] and Columns[3] to Columns[8] together. Columns[0] and Columns[2] never move.
// Precondition: Columns[3..8] hold at least as many elements as Columns[1]; a column that holds
// fewer is left as it is (its values cannot be matched to rows) and is never read past its end.
void SortRowsBySpacing(StationList& stations);
void SortRowsBySpacing(sdata& station);

// Puts the list in X order, then inserts the station at its X position: after every
// station with a smaller or equal X and before the first with a greater X.
// Returns the index where the station went.
std::size_t InsertStationByX(StationList& stations, sdata station);
