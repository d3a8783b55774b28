#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// One export as the catalogue keeps it.
struct MCSCatalogEntry {
    std::string URLString; // the address the export was asked for
    std::string name; // its folder, relative to the cache root
    unsigned status = 0;
    double progress = 0;
};

// The catalogue of exports, "mcs.db" in the cache root: table "MCSAssetExporter" with the columns
// "URLString" and "name" that the download pages read directly, plus "status" and "progress".
// SQLite in WAL mode, so other read-only connections can read it while exports run; its files are
// the owner's only. Main thread only. A file that is damaged is moved aside (and logged) and a new
// catalogue is started; a file that merely cannot be opened is left alone and the catalogue is
// unavailable.
class MCSCatalog {
public:
    static std::unique_ptr<MCSCatalog> open(const std::filesystem::path& file);
    ~MCSCatalog();
    MCSCatalog(const MCSCatalog&) = delete;
    MCSCatalog& operator=(const MCSCatalog&) = delete;

    // Every row, in the order they were added.
    std::vector<MCSCatalogEntry> entries();
    bool insert(const MCSCatalogEntry& entry);
    bool update(const std::string& URLString, unsigned status, double progress);
    bool remove(const std::string& URLString);
    // Why the last statement failed, in SQLite's words ("database or disk is full").
    std::string lastError() const;

private:
    explicit MCSCatalog(sqlite3* handle);

    sqlite3* m_handle = nullptr;
};
