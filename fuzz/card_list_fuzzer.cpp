// Arbitrary bytes as urls.txt, or as the card list the user typed: whatever is saved reads back as
// the same list on the next start, in the encoding it was read in unless that would damage it.
#include "fuzz/CardListHarness.h"
#include "fuzz/FuzzTarget.h"

QUILLORN_FUZZ_TARGET(quillorn::fuzz::CheckCardList)
