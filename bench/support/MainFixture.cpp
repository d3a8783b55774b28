#include "bench/support/MainFixture.h"

#include "platform/foundation/NoDestructor.h"

#include <vector>

namespace zvbench {

namespace {

// Never destroyed: a program that ends early (std::exit on a failed set-up) leaves its fixtures
// as they are rather than ending them among the statics.
std::vector<std::shared_ptr<void>>& keptFixtures()
{
    static NoDestructor<std::vector<std::shared_ptr<void>>> fixtures;
    return *fixtures;
}

}

void detail::keepUntilMainEnds(std::shared_ptr<void> fixture)
{
    keptFixtures().push_back(std::move(fixture));
}

void endMainFixtures()
{
    // One at a time, so that a fixture ending may still reach those made before it.
    auto& fixtures = keptFixtures();
    while (!fixtures.empty()) {
        std::shared_ptr<void> newest = std::move(fixtures.back());
        fixtures.pop_back();
        newest.reset();
    }
}

}
