#include "platform/foundation/SecureRandom.h"

#include "platform/foundation/Log.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

namespace {

bool fillFromUrandom(std::uint8_t* out, std::size_t size)
{
    int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    while (size > 0) {
        ssize_t got = ::read(fd, out, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ::close(fd);
            return false;
        }
        out += got;
        size -= static_cast<std::size_t>(got);
    }
    ::close(fd);
    return true;
}

}

void SecureRandom::fill(void* buffer, std::size_t size)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        ssize_t got = ::getrandom(out, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (fillFromUrandom(out, size))
                return;
            Log::write("SecureRandom: the kernel gives no random bytes; stopping");
            std::abort();
        }
        out += got;
        size -= static_cast<std::size_t>(got);
    }
}

Data SecureRandom::bytes(std::size_t count)
{
    Data data(count);
    if (count > 0)
        fill(data.data(), count);
    return data;
}

std::uint64_t SecureRandom::uniform(std::uint64_t upperBound)
{
    if (upperBound <= 1)
        return 0;
    // Reject the top partial range so every residue is equally likely.
    const std::uint64_t limit = UINT64_MAX - (UINT64_MAX % upperBound + 1) % upperBound;
    std::uint64_t value = 0;
    do {
        fill(&value, sizeof value);
    } while (value > limit);
    return value % upperBound;
}
