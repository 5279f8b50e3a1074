#pragma once
// Ordering of the station list and of each station's rows.

#include <cstddef>

#include "model/sdata.h"

// Orders the stations by X with the exchange sort the saved files depend on:
// for i < j, stations i and j are exchanged when X[i] > X[j]. Stations of equal X are never
// exchanged with each other directly, so X 5 (P), 5 (Q), 3 (R) comes out as R, Q, P.
// A list already in order is left as it is after one linear pass.
void SortStationsByX(StationList& stations);

// Orders every station's rows by Columns[1] with the same exchange sort, moving
// Columns[1] and Columns[3] to Columns[8] together. Columns[0] and Columns[2] never move.
// Precondition: Columns[3..8] hold at least as many elements as Columns[1].
void SortRowsBySpacing(StationList& stations);
void SortRowsBySpacing(sdata& station);

// Puts the list in X order, then inserts the station at its X position: after every
// station with a smaller or equal X and before the first with a greater X.
// Returns the index where the station went.
std::size_t InsertStationByX(StationList& stations, sdata station);
