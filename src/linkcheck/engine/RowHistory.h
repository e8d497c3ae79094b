#pragma once

#include "history/HistoryRecorder.h"
#include "linkcheck/engine/CheckRow.h"

namespace vorlan {

// Records a committed row in the check history and fills in what the history tells of its
// address: the previous status, since when it fails, when it was last GOOD.
void recordRow(HistoryRecorder& recorder, CheckRow& row);

} // namespace vorlan
