#pragma once

#include "platform/storage/ASDatabase.h"
#include "platform/storage/ASResult.h"

#include <memory>
#include <string>

// Process-wide settings of the record store: the default database that every record class
// lives in.
class ASConfigration {
public:
    // Names the default database file. It is opened on first use, not here; naming another
    // path closes the connection to the previous one.
    static void setDefaultDB(const std::string& path, const std::string& name);
    static std::string defaultDBPath();
    static std::string defaultDBName();

    // The connection to the default database, opened now if needed; its files are narrowed to
    // the owner. A file that is there but is no database, or fails SQLite's integrity check (cut
    // short, broken pages), is damaged: it is renamed aside with its journals, reported in one
    // log line, and a new database takes its place. One that cannot be
    // opened otherwise (permissions, I/O) is left as it is and reported once. A failed open is not
    // remembered: the next call tries again.
    static ASResult<std::shared_ptr<ASDatabase>> defaultDB();
    // Drops the default connection; the next use opens the file again.
    static void closeDefaultDB();
};
