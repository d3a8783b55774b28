// Fills the record store with rows of any content, as a damaged database, an older or newer
// version or another program could leave them, and reads them back as the app does: the download
// records (with the start-up's resumable query) and the stored chat messages.
//
// Input: rows, each a table byte then, for every column of that table, a kind byte and its value
// (integer or real: 8 bytes; text or blob: a length byte and as many bytes).

#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "platform/foundation/Log.h"
#include "platform/storage/ASConfigration.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    { }
    bool atEnd() const { return m_offset >= m_size; }
    std::uint8_t byte() { return atEnd() ? 0 : m_data[m_offset++]; }
    std::string bytes(std::size_t count)
    {
        count = std::min(count, m_size - std::min(m_offset, m_size));
        std::string out(reinterpret_cast<const char*>(m_data + m_offset), count);
        m_offset += count;
        return out;
    }
    ASValue cell()
    {
        switch (byte() % 5) {
        case 0:
            return ASValue();
        case 1: {
            long long value = 0;
            std::string raw = bytes(sizeof value);
            std::memcpy(&value, raw.data(), raw.size());
            return ASValue(value);
        }
        case 2: {
            double value = 0;
            std::string raw = bytes(sizeof value);
            std::memcpy(&value, raw.data(), raw.size());
            return ASValue(value);
        }
        case 3:
            return ASValue(bytes(byte()));
        default: {
            std::string raw = bytes(byte());
            return ASValue(Data(raw.begin(), raw.end()));
        }
        }
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

template<class Record> void insertRow(ASDatabase& database, Reader& input)
{
    ASValues cells;
    for (const ASColumn& column : Record::table().schema().columns)
        cells[column.name] = input.cell();
    database.insert(Record::table().name(), cells);
}

fs::path& scratch()
{
    static fs::path folder;
    return folder;
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Log::setSink([](std::string_view) {});
    scratch() = fs::path("/dev/shm") / ("zv-record-rows-fuzz-" + std::to_string(::getpid()));
    std::error_code ignored;
    fs::remove_all(scratch(), ignored);
    fs::create_directories(scratch(), ignored);
    ASConfigration::setDefaultDB((scratch() / "zvlist.db").string(), "zvlist.db");
    // Makes both tables.
    ZV_DownLoadModel::deleteAll();
    ZV_MessageASModel::deleteAll();
    std::atexit([] {
        ASConfigration::closeDefaultDB();
        std::error_code ignored;
        fs::remove_all(scratch(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto database = ASConfigration::defaultDB();
    check(database.ok());
    ZV_DownLoadModel::deleteAll();
    ZV_MessageASModel::deleteAll();

    Reader input(data, size);
    for (int rows = 0; rows < 16 && !input.atEnd(); ++rows) {
        if (input.byte() % 2)
            insertRow<ZV_MessageASModel>(**database, input);
        else
            insertRow<ZV_DownLoadModel>(**database, input);
    }

    auto all = ZV_DownLoadModel::findAll();
    check(all.ok());
    auto resumable = ZV_DownLoadModel::findResumable();
    check(resumable.ok() && resumable->size() <= all->size());
    std::vector<ZV_DownLoadModel> list = *all;
    for (const ZV_DownLoadModel& record : *all)
        removeEpisode(list, record);
    check(list.empty());

    std::vector<Message> messages = ActiveSQLiteTool::loadMessages();
    auto rows = ZV_MessageASModel::findAll();
    check(rows.ok() && messages.size() <= rows->size());
    return 0;
}
