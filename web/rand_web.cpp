// The C library's random numbers as the game's Windows runtime makes them,
// so the same seed deals the same tiles in the browser as on Windows: the
// runtime's linear congruential generator, 15 bits a draw (RAND_MAX 32767).
// Linked before the C library, these take the place of its rand and srand.
#include <cstdint>

namespace {

uint32_t nRandState = 1;

} // namespace

extern "C" {

void srand(unsigned nSeed) {
    nRandState = nSeed;
}

int rand() {
    nRandState = nRandState * 214013u + 2531011u;
    return (int)(nRandState >> 16 & 0x7FFF);
}

} // extern "C"
