#pragma once

#include "platform/storage/ASModel.h"

#include <cstdint>
#include <string>

// A record shaped like the app's download record: twelve columns, texts and numbers.
struct DownloadRecord : ASModel<DownloadRecord> {
    std::string url;
    std::string name;
    std::string cover;
    std::string vod_id;
    std::string source;
    std::string typeName;
    std::string episodeId;
    std::string episodeName;
    double size = 0.0;
    double progress = 0.0;
    std::string state = "waiting";
    std::string watching = "no";

    static const ASTable<DownloadRecord>& table()
    {
        static const ASTable<DownloadRecord> table { "DownloadRecord",
            {
                { "url", &DownloadRecord::url },
                { "name", &DownloadRecord::name },
                { "cover", &DownloadRecord::cover },
                { "vod_id", &DownloadRecord::vod_id },
                { "source", &DownloadRecord::source },
                { "typeName", &DownloadRecord::typeName },
                { "episodeId", &DownloadRecord::episodeId },
                { "episodeName", &DownloadRecord::episodeName },
                { "size", &DownloadRecord::size },
                { "progress", &DownloadRecord::progress },
                { "state", &DownloadRecord::state },
                { "watching", &DownloadRecord::watching },
            } };
        return table;
    }
};

// Integer and bool columns.
struct MessageRecord : ASModel<MessageRecord> {
    std::int64_t seq = 0;
    std::string json;
    bool revoked = false;

    static const ASTable<MessageRecord>& table()
    {
        static const ASTable<MessageRecord> table { "MessageRecord",
            {
                { "seq", &MessageRecord::seq },
                { "json", &MessageRecord::json },
                { "revoked", &MessageRecord::revoked },
            } };
        return table;
    }
};
