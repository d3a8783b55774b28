#pragma once

#include "platform/foundation/Data.h"

#include <cstddef>
#include <cstdint>

// The operating system's cryptographic random generator. Like the platform's, it does not fail:
// when the kernel gives no random bytes at all the process stops rather than use weak ones.
class SecureRandom {
public:
    static void fill(void* buffer, std::size_t size);
    static Data bytes(std::size_t count);
    // Uniform in [0, upperBound), without modulo bias; 0 when upperBound is 0.
    static std::uint64_t uniform(std::uint64_t upperBound);
};
