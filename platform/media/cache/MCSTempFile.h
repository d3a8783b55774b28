#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// A file written beside its target under a temporary name and renamed over it only when whole,
// so a reader never finds part of it under the real name. Dropped without commit(), it is removed.
class MCSTempFile {
public:
    explicit MCSTempFile(std::filesystem::path target);
    ~MCSTempFile();
    MCSTempFile(const MCSTempFile&) = delete;
    MCSTempFile& operator=(const MCSTempFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool write(const std::uint8_t* bytes, std::size_t size);
    std::uint64_t size() const { return m_size; }
    enum class Durability {
        Flushed, // on disk before the rename: survives a power cut (exports)
        Cached, // left to the system: fast; a lost write shows as a short file (playback cache)
    };
    // Renames over the target; false (and the temporary file gone) on failure.
    bool commit(Durability durability = Durability::Flushed);
    // Why the file could not be made, written or committed, in words ("No space left on device");
    // empty when nothing failed.
    std::string failure() const;

private:
    void discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    int m_fd = -1;
    std::uint64_t m_size = 0;
    bool m_failed = false;
    int m_error = 0; // errno of the first failure
};
