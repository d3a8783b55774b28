// The entry of every benchmark program: Google Benchmark's own options, or with --goals [filter]
// the goal lines of the program (see BenchGoals.h). The fixtures that draw or play end before main
// returns (MainFixture.h).

#include "bench/support/BenchGoals.h"
#include "bench/support/MainFixture.h"

#include <benchmark/benchmark.h>
#include <string>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--goals") {
        int missed = zvbench::runGoals(argc >= 3 ? argv[2] : "");
        zvbench::endMainFixtures();
        return missed == 0 ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zvbench::endMainFixtures();
    return 0;
}
