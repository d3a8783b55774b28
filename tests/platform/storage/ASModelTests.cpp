#include "tests/platform/storage/StoreFixture.h"
#include "tests/platform/storage/StoreTestRecords.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

DownloadRecord makeDownload(std::string vodId, std::string episodeId, std::string state)
{
    DownloadRecord record;
    record.url = "https://cdn.example.com/" + vodId + "/" + episodeId + ".m3u8";
    record.name = "三体 " + vodId;
    record.vod_id = std::move(vodId);
    record.episodeId = std::move(episodeId);
    record.episodeName = "第" + record.episodeId + "集";
    record.state = std::move(state);
    return record;
}

std::vector<std::string> episodeIds(const std::vector<DownloadRecord>& records)
{
    std::vector<std::string> ids;
    for (auto& record : records)
        ids.push_back(record.episodeId);
    return ids;
}

using ASModelTest = StoreTest;

TEST_F(ASModelTest, NewRecordRoundTripsWithDefaultsAndEveryField)
{
    DownloadRecord fresh;
    EXPECT_FALSE(fresh.id());
    ASSERT_TRUE(fresh.save()) << fresh.save().error();
    ASSERT_TRUE(fresh.id());

    auto loaded = DownloadRecord::findFirst({ { "id", *fresh.id() } });
    ASSERT_TRUE(loaded && loaded->has_value()) << loaded.error();
    auto& back = loaded->value();
    EXPECT_EQ(back.state, "waiting");
    EXPECT_EQ(back.watching, "no");
    EXPECT_EQ(back.url, "");
    EXPECT_EQ(back.size, 0.0);
    EXPECT_EQ(back.progress, 0.0);
    EXPECT_EQ(back.createdAt(), 1'700'000'000'000);

    DownloadRecord full = makeDownload("42", "7", "downing");
    full.cover = "https://img.example.com/封面 😀.jpg";
    full.source = "线路一";
    full.typeName = "电视剧";
    full.size = 123456.75;
    full.progress = 0.5f;
    full.watching = "yes";
    ASSERT_TRUE(full.save());
    auto again = DownloadRecord::findFirst({ { "vod_id", "42" }, { "episodeId", "7" } });
    ASSERT_TRUE(again && again->has_value());
    auto& copy = again->value();
    EXPECT_EQ(copy.id(), full.id());
    EXPECT_EQ(copy.url, full.url);
    EXPECT_EQ(copy.name, "三体 42");
    EXPECT_EQ(copy.cover, full.cover);
    EXPECT_EQ(copy.source, "线路一");
    EXPECT_EQ(copy.typeName, "电视剧");
    EXPECT_EQ(copy.episodeName, "第7集");
    EXPECT_EQ(copy.size, 123456.75);
    EXPECT_EQ(copy.progress, 0.5);
    EXPECT_EQ(copy.state, "downing");
    EXPECT_EQ(copy.watching, "yes");
}

TEST_F(ASModelTest, UpdateSaveAndDeleteAffectOnlyTheirOwnRow)
{
    DownloadRecord first = makeDownload("1", "a", "waiting");
    DownloadRecord second = makeDownload("1", "b", "waiting");
    ASSERT_TRUE(first.save());
    ASSERT_TRUE(second.save());
    EXPECT_NE(first.id(), second.id());

    clockSeconds += 5;
    first.state = "finish";
    ASSERT_TRUE(first.update());
    EXPECT_EQ(first.updatedAt(), first.createdAt() + 5000);
    second.progress = 0.25;
    ASSERT_TRUE(second.save()); // a stored record is written in place, not inserted again

    auto all = DownloadRecord::findAll();
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), 2u);
    EXPECT_EQ((*all)[0].state, "finish");
    EXPECT_EQ((*all)[0].updatedAt(), (*all)[0].createdAt() + 5000);
    EXPECT_EQ((*all)[1].state, "waiting");
    EXPECT_EQ((*all)[1].progress, 0.25);

    ASSERT_TRUE(first.deleteRecord());
    EXPECT_FALSE(first.id());
    EXPECT_EQ(episodeIds(DownloadRecord::findAll().value()), std::vector<std::string> { "b" });

    // A stale copy of a deleted row must not write anywhere, and says so.
    DownloadRecord stale = second;
    ASSERT_TRUE(second.deleteRecord());
    stale.state = "pause";
    auto updated = stale.update();
    EXPECT_FALSE(updated);
    EXPECT_NE(updated.error().find("no DownloadRecord row"), std::string::npos);
    EXPECT_TRUE(DownloadRecord::findAll()->empty());

    DownloadRecord unsaved;
    EXPECT_FALSE(unsaved.update());
}

TEST_F(ASModelTest, FiltersJoinWithAndAndOrdersApply)
{
    ASSERT_TRUE(makeDownload("1", "e1", "finish").save());
    ASSERT_TRUE(makeDownload("2", "e2", "pause").save());
    ASSERT_TRUE(makeDownload("1", "e3", "downing").save());
    ASSERT_TRUE(makeDownload("1", "e4", "finish").save());
    ASSERT_TRUE(makeDownload("3", "e5", "frozen").save()); // a state nobody knows is still "not finish"

    auto unfinished = DownloadRecord::findAll(ASQuery().notEqual("state", "finish"));
    ASSERT_TRUE(unfinished);
    EXPECT_EQ(episodeIds(*unfinished), (std::vector<std::string> { "e2", "e3", "e5" }));

    auto finishedOfTitle = DownloadRecord::findAll({ { "vod_id", "1" }, { "state", "finish" } });
    ASSERT_TRUE(finishedOfTitle);
    EXPECT_EQ(episodeIds(*finishedOfTitle), (std::vector<std::string> { "e1", "e4" }));

    auto mixed = DownloadRecord::findAll(ASQuery()
                                             .equal("vod_id", "1")
                                             .notEqual("state", "downing")
                                             .orderBy("episodeId", ASDirection::Descending));
    ASSERT_TRUE(mixed);
    EXPECT_EQ(episodeIds(*mixed), (std::vector<std::string> { "e4", "e1" }));

    // Equal sort keys keep the stored order.
    auto byTitle = DownloadRecord::findAll(ASQuery().orderBy("vod_id", ASDirection::Descending));
    ASSERT_TRUE(byTitle);
    EXPECT_EQ(episodeIds(*byTitle), (std::vector<std::string> { "e5", "e2", "e1", "e3", "e4" }));

    auto none = DownloadRecord::findFirst({ { "episodeId", "missing" } });
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->has_value());

    auto removed = DownloadRecord::deleteWhere({ { "vod_id", "1" } });
    ASSERT_TRUE(removed);
    EXPECT_EQ(*removed, 3);
    EXPECT_EQ(episodeIds(DownloadRecord::findAll().value()), (std::vector<std::string> { "e2", "e5" }));
    EXPECT_EQ(DownloadRecord::deleteAll().valueOr(-1), 2);
}

TEST_F(ASModelTest, IntegerAndBoolColumnsCompareAndOrderAsNumbers)
{
    for (std::int64_t seq : std::vector<std::int64_t> { 10, 9, 100, -1, 9'007'199'254'740'993 }) {
        MessageRecord message;
        message.seq = seq;
        message.json = "{\"seq\":\"" + std::to_string(seq) + "\"}";
        message.revoked = seq == 100;
        ASSERT_TRUE(message.save());
    }
    auto ordered = MessageRecord::findAll(ASQuery().orderBy("seq"));
    ASSERT_TRUE(ordered);
    std::vector<std::int64_t> seqs;
    for (auto& message : *ordered)
        seqs.push_back(message.seq);
    EXPECT_EQ(seqs, (std::vector<std::int64_t> { -1, 9, 10, 100, 9'007'199'254'740'993 }));

    auto revoked = MessageRecord::findAll({ { "revoked", true } });
    ASSERT_TRUE(revoked);
    ASSERT_EQ(revoked->size(), 1u);
    EXPECT_EQ(revoked->front().seq, 100);
    EXPECT_TRUE(revoked->front().revoked);

    auto big = MessageRecord::findFirst({ { "seq", std::int64_t { 9'007'199'254'740'993 } } });
    ASSERT_TRUE(big && big->has_value());
}

TEST_F(ASModelTest, RecordsSurviveClosingAndReopeningTheDatabase)
{
    DownloadRecord record = makeDownload("9", "e9", "finish");
    ASSERT_TRUE(record.save());
    MessageRecord message;
    message.seq = 5;
    ASSERT_TRUE(message.save());

    ASConfigration::closeDefaultDB();
    ASConfigration::setDefaultDB(databasePath(), "zvlist.db");

    auto loaded = DownloadRecord::findAll();
    ASSERT_TRUE(loaded) << loaded.error();
    ASSERT_EQ(loaded->size(), 1u);
    EXPECT_EQ(loaded->front().id(), record.id());
    EXPECT_EQ(loaded->front().name, "三体 9");
    EXPECT_EQ(MessageRecord::findAll()->size(), 1u);

    // Ids are not handed out again after a delete, so a stale record cannot hit a new row.
    ASSERT_TRUE(loaded->front().deleteRecord());
    DownloadRecord next = makeDownload("9", "e10", "waiting");
    ASSERT_TRUE(next.save());
    EXPECT_GT(*next.id(), *record.id());
}

TEST_F(ASModelTest, TransactionKeepsAllWritesOrNone)
{
    auto failed = DownloadRecord::transaction([] {
        for (int i = 0; i < 3; ++i) {
            if (auto saved = makeDownload("1", std::to_string(i), "waiting").save(); !saved)
                return saved;
        }
        return ASStatus(ASError { "cancelled" });
    });
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.error(), "cancelled");
    EXPECT_TRUE(DownloadRecord::findAll()->empty());

    auto done = DownloadRecord::transaction([] {
        if (auto saved = makeDownload("1", "outer", "waiting").save(); !saved)
            return saved;
        // An inner failure undoes only the inner part.
        auto inner = DownloadRecord::transaction([] {
            makeDownload("1", "inner", "waiting").save();
            return ASStatus(ASError { "inner failed" });
        });
        EXPECT_FALSE(inner);
        return ASStatus::success();
    });
    EXPECT_TRUE(done) << done.error();
    EXPECT_EQ(episodeIds(DownloadRecord::findAll().value()), std::vector<std::string> { "outer" });
}

TEST_F(ASModelTest, WritesFromTwoThreadsShareTheConnectionSafely)
{
    auto writer = [](std::string vodId) {
        for (int i = 0; i < 50; ++i) {
            auto record = makeDownload(vodId, std::to_string(i), "waiting");
            EXPECT_TRUE(record.save());
            record.progress = 1.0;
            EXPECT_TRUE(record.update());
        }
    };
    std::thread first(writer, "1");
    std::thread second(writer, "2");
    first.join();
    second.join();
    EXPECT_EQ(DownloadRecord::findAll({ { "progress", 1.0 } })->size(), 100u);
}

// Two versions of one record class: the second gained a column and an index.
struct NoteV1 : ASModel<NoteV1> {
    std::string text;
    static const ASTable<NoteV1>& table()
    {
        static const ASTable<NoteV1> table { "Note", { { "text", &NoteV1::text } } };
        return table;
    }
};

struct NoteV2 : ASModel<NoteV2> {
    std::string text;
    double weight = 2.5;
    std::string tag = "new";
    static const ASTable<NoteV2>& table()
    {
        static const ASTable<NoteV2> table { "Note",
            { { "text", &NoteV2::text }, { "weight", &NoteV2::weight }, { "tag", &NoteV2::tag } }, { "tag" } };
        return table;
    }
};

TEST_F(ASModelTest, AddedColumnsAppearWithTheirDefaultsOnOldRows)
{
    NoteV1 old;
    old.text = "before";
    ASSERT_TRUE(old.save());
    ASConfigration::closeDefaultDB();

    auto notes = NoteV2::findAll();
    ASSERT_TRUE(notes) << notes.error();
    ASSERT_EQ(notes->size(), 1u);
    EXPECT_EQ(notes->front().text, "before");
    EXPECT_EQ(notes->front().weight, 2.5);
    EXPECT_EQ(notes->front().tag, "new");
    EXPECT_TRUE(logLines.empty()) << logLines.front();

    NoteV2 next;
    next.tag = "after";
    ASSERT_TRUE(next.save());
    EXPECT_EQ(NoteV2::findAll({ { "tag", "after" } })->size(), 1u);

    // The old table got the index of the new declaration; lookups by tag use it.
    auto database = ASConfigration::defaultDB();
    ASSERT_TRUE(database);
    auto plan = (*database)->select("sqlite_master", { "name" }, ASQuery().equal("type", "index"));
    ASSERT_TRUE(plan) << plan.error();
    ASSERT_EQ(plan->size(), 1u);
    EXPECT_EQ((*plan)[0][0].text(), "Note_tag");
}

TEST_F(ASModelTest, WithoutDefaultDatabaseEveryOperationFails)
{
    ASConfigration::closeDefaultDB();
    ASConfigration::setDefaultDB("", "");
    DownloadRecord record;
    EXPECT_FALSE(record.save());
    auto found = DownloadRecord::findAll();
    EXPECT_FALSE(found);
    EXPECT_NE(found.error().find("no default database"), std::string::npos);
    EXPECT_FALSE(DownloadRecord::transaction([] { return ASStatus::success(); }));
}

struct BadlyDeclared : ASModel<BadlyDeclared> {
    std::string a;
    std::string b;
    static const ASTable<BadlyDeclared>& table()
    {
        static const ASTable<BadlyDeclared> table { "Bad",
            { { "a", &BadlyDeclared::a }, { "A", &BadlyDeclared::b } } };
        return table;
    }
};

struct IndexOfNothing : ASModel<IndexOfNothing> {
    std::string a;
    static const ASTable<IndexOfNothing>& table()
    {
        static const ASTable<IndexOfNothing> table { "IndexOfNothing", { { "a", &IndexOfNothing::a } }, { "b" } };
        return table;
    }
};

struct ReservedColumn : ASModel<ReservedColumn> {
    std::int64_t id = 0;
    static const ASTable<ReservedColumn>& table()
    {
        static const ASTable<ReservedColumn> table { "Reserved", { { "id", &ReservedColumn::id } } };
        return table;
    }
};

TEST_F(ASModelTest, FaultyDeclarationsAreRefusedNotCrashed)
{
    BadlyDeclared bad;
    auto saved = bad.save();
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.error().find("declared twice"), std::string::npos);
    EXPECT_FALSE(ReservedColumn::findAll());
    auto unindexable = IndexOfNothing::findAll();
    ASSERT_FALSE(unindexable);
    EXPECT_NE(unindexable.error().find("index on unknown column"), std::string::npos);
}

}
