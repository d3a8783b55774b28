// The entry points of zentavo-fuzz: it runs the target named by the file it was started as
// (fuzz/<name>_fuzz, a link to this program), so that every target's options, corpus folders and
// crash files work as with a program of its own.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using RunTarget = int (*)(const std::uint8_t*, std::size_t);
using InitTarget = int (*)(int*, char***);

struct FuzzTarget {
    std::string_view name;
    RunTarget run;
    InitTarget init;
};

}

#define ZV_FUZZ_TARGET(name) extern "C" int zvfuzz_run_##name(const std::uint8_t*, std::size_t);
#define ZV_FUZZ_TARGET_WITH_INIT(name)                                                                       \
    extern "C" int zvfuzz_run_##name(const std::uint8_t*, std::size_t);                                      \
    extern "C" int zvfuzz_init_##name(int*, char***);
#include "FuzzTargetList.inc"
#undef ZV_FUZZ_TARGET
#undef ZV_FUZZ_TARGET_WITH_INIT

namespace {

#define ZV_FUZZ_TARGET(name) { #name, zvfuzz_run_##name, nullptr },
#define ZV_FUZZ_TARGET_WITH_INIT(name) { #name, zvfuzz_run_##name, zvfuzz_init_##name },
constexpr FuzzTarget targets[] = {
#include "FuzzTargetList.inc"
};
#undef ZV_FUZZ_TARGET
#undef ZV_FUZZ_TARGET_WITH_INIT

const FuzzTarget* chosen = nullptr;

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    std::string_view self = (*argv)[0];
    if (auto slash = self.rfind('/'); slash != std::string_view::npos)
        self.remove_prefix(slash + 1);
    for (const FuzzTarget& target : targets) {
        if (target.name == self)
            chosen = &target;
    }
    if (!chosen) {
        std::fprintf(stderr, "zentavo-fuzz: start it as one of its targets (fuzz/<name>_fuzz):\n");
        for (const FuzzTarget& target : targets)
            std::fprintf(stderr, "  %.*s\n", static_cast<int>(target.name.size()), target.name.data());
        std::exit(2);
    }
    return chosen->init ? chosen->init(argc, argv) : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return chosen->run(data, size);
}
