#include "platform/media/cache/MCSTempFile.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/SecureRandom.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string randomSuffix()
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string suffix;
    for (std::uint8_t byte : SecureRandom::bytes(6)) {
        suffix += digits[byte >> 4];
        suffix += digits[byte & 0x0F];
    }
    return suffix;
}

}

MCSTempFile::MCSTempFile(std::filesystem::path target)
    : m_target(std::move(target))
{
    m_temporary = m_target;
    m_temporary += ".part-" + randomSuffix();
    m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_fd < 0)
        m_error = errno;
}

MCSTempFile::~MCSTempFile()
{
    discard();
}

void MCSTempFile::discard()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    ::unlink(m_temporary.c_str());
}

bool MCSTempFile::write(const std::uint8_t* bytes, std::size_t size)
{
    if (m_fd < 0 || m_failed)
        return false;
    if (!FileSystem::writeAll(m_fd, bytes, size)) {
        m_error = errno;
        m_failed = true;
        return false;
    }
    m_size += size;
    return true;
}

bool MCSTempFile::commit(Durability durability)
{
    if (m_fd < 0 || m_failed) {
        discard();
        return false;
    }
    bool ok = durability == Durability::Cached || ::fdatasync(m_fd) == 0;
    if (!ok)
        m_error = errno;
    if (::close(m_fd) != 0 && ok) {
        m_error = errno;
        ok = false;
    }
    m_fd = -1;
    if (ok && std::rename(m_temporary.c_str(), m_target.c_str()) == 0)
        return true;
    if (ok)
        m_error = errno;
    ::unlink(m_temporary.c_str());
    return false;
}

std::string MCSTempFile::failure() const
{
    return m_error == 0 ? std::string() : std::strerror(m_error);
}
