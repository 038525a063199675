#pragma once
// Draws from the C library generator. The generator's range is RAND_MAX + 1 values
// (2147483648 here); draws are made uniform over the asked range whatever that size is.

// A value uniform over [0, n); 0 when n <= 0 (an empty range has only its start).
int RandomBelow(int n);
// Reseeds the C library generator with the millisecond tick count of the program's clock.
void ReseedFromTicks();
