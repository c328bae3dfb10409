// Arbitrary bytes as IdsDB.pending, settled against a result file with a torn last row: the file
// is only cut within that row, nothing else is touched, and only the record's ids are remembered.
#include "fuzz/FuzzTarget.h"
#include "fuzz/RowInFlightHarness.h"

QUILLORN_FUZZ_TARGET(quillorn::fuzz::CheckRowInFlight)
