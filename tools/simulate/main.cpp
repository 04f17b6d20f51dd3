// simulate: plays N headless games with a scripted player and prints, per
// level, how often it was completed, the mean score and the mean ticks.
//
//   simulate [--games N] [--speed 0..3] [--seed N] [--max-ticks N]
//            [--level L] [--react TICKS] [--noise PERCENT] [--trace] [--fixed-clock]
//
// Exits with 1 when an invariant of the game state failed (the first failure
// is printed), 2 on a bad argument.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/simulate/sim.h"

namespace {

const char* const kSpeedNames[4] = {"Slow", "Normal", "Fast", "Insane"};

int Usage() {
    fprintf(stderr, "usage: simulate [--games N] [--speed 0..3] [--seed N] [--max-ticks N]\n"
                    "                [--level 1..50] [--react TICKS] [--noise PERCENT] [--trace]\n"
                    "                [--fixed-clock]\n");
    return 2;
}

int ParseInt(const char* sz, long nMin, long nMax, int* pn) {
    char* pEnd = nullptr;
    long n = strtol(sz, &pEnd, 10);
    if (!*sz || *pEnd || n < nMin || n > nMax) return 0;
    *pn = (int)n;
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions opt;
    for (int i = 1; i < argc; i++) {
        const char* szArg = argv[i];
        if (!strcmp(szArg, "--help") || !strcmp(szArg, "-h")) return Usage(), 0;
        if (!strcmp(szArg, "--trace")) {
            opt.bTrace = 1;
            continue;
        }
        if (!strcmp(szArg, "--fixed-clock")) {
            opt.bFixedClock = 1;
            continue;
        }
        if (i + 1 >= argc) return Usage();
        const char* szValue = argv[++i];
        int n = 0;
        if (!strcmp(szArg, "--games") && ParseInt(szValue, 1, 10000000, &n))
            opt.nGames = n;
        else if (!strcmp(szArg, "--speed") && ParseInt(szValue, 0, 3, &n))
            opt.nSpeed = n;
        else if (!strcmp(szArg, "--seed") && ParseInt(szValue, 0, 2147483647, &n))
            opt.nSeed = (unsigned)n;
        else if (!strcmp(szArg, "--max-ticks") && ParseInt(szValue, 1, 2147483647, &n))
            opt.nMaxTicks = n;
        else if (!strcmp(szArg, "--level") && ParseInt(szValue, 1, 50, &n))
            opt.nStartLevel = n;
        else if (!strcmp(szArg, "--react") && ParseInt(szValue, 1, 1000, &n))
            opt.nReactTicks = n;
        else if (!strcmp(szArg, "--noise") && ParseInt(szValue, 0, 100, &n))
            opt.nNoisePercent = n;
        else
            return Usage();
    }

    static SimResult r;
    int bOk = SimRun(opt, &r);

    printf("%d games at %s, seed %u, react %d ticks, noise %d%%, from level %d\n", r.nGames,
           kSpeedNames[opt.nSpeed], opt.nSeed, opt.nReactTicks, opt.nNoisePercent, opt.nStartLevel);
    printf("level  reached  completed  rate    mean score  mean ticks\n");
    for (int nLevel = 1; nLevel <= 50; nLevel++) {
        const SimLevelStats& s = r.aLevel[nLevel];
        if (!s.nReached) continue;
        double dRate = 100.0 * s.nCompleted / s.nReached;
        if (s.nCompleted)
            printf("%5d  %7d  %9d  %5.1f%%  %10.0f  %10.0f\n", nLevel, s.nReached, s.nCompleted,
                   dRate, (double)s.lScoreSum / s.nCompleted, (double)s.nTickSum / s.nCompleted);
        else
            printf("%5d  %7d  %9d  %5.1f%%  %10s  %10s\n", nLevel, s.nReached, 0, 0.0, "-", "-");
    }
    double dGames = r.nGames ? r.nGames : 1;
    printf("games won %d, lost by lives %d, lost by full bins %d, cut off %d\n", r.nWon,
           r.nLostLives, r.nLostFull, r.nCutOff);
    printf("mean final score %.0f, mean ticks per game %.0f (%.1f minutes of play)\n",
           (double)r.lFinalScoreSum / dGames, (double)r.nTicks / dGames,
           (double)r.nTicks / dGames * 0.032 / 60.0);
    printf("per game: %.1f catches, %.1f misses, %.1f scoring resolutions, %.2f extra lives, "
           "%.0f keys\n",
           (double)r.nCatches / dGames, (double)r.nMisses / dGames,
           (double)r.nLinesResolved / dGames, (double)r.nExtraLives / dGames,
           (double)r.nKeys / dGames);
    if (!bOk) {
        printf("INVARIANT FAILED %d times; first: %s\n", r.nFaults, r.szFirstFault);
        return 1;
    }
    printf("all invariants held after every tick and key\n");
    return 0;
}
