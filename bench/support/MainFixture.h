#pragma once

// What a benchmark program holds for its rounds that draws or plays (a window, a device shell, a
// player): made on first use and ended by the program's main before it returns, the newest first.
// Ended by the exit instead, as a function-local static is, its ending would run after the statics
// it reaches (the main thread's font maps, the record tables) are gone.

#include <memory>
#include <utility>

namespace zvbench {

// Ends every fixture made so far, the newest first. BenchMain calls it before main returns; a
// fixture asked for afterwards is made anew.
void endMainFixtures();

namespace detail {
// Keeps the fixture until endMainFixtures().
void keepUntilMainEnds(std::shared_ptr<void> fixture);
}

// The program's one T, made from the arguments of the first call:
//     static ScrollingWindow& shared()
//     {
//         static zvbench::MainFixture<ScrollingWindow> window;
//         return window.get();
//     }
// The holder only looks at the fixture; endMainFixtures() owns it.
template<typename T> class MainFixture {
public:
    template<typename... Args> T& get(Args&&... args)
    {
        if (auto kept = m_fixture.lock())
            return *kept;
        auto made = std::make_shared<T>(std::forward<Args>(args)...);
        m_fixture = made;
        T& fixture = *made;
        detail::keepUntilMainEnds(std::move(made));
        return fixture;
    }

private:
    std::weak_ptr<T> m_fixture;
};

}
