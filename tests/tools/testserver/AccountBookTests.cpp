// The accounts' file: the fullest book the server can write is one its next start reads back.

#include "tools/testserver/AccountBook.h"

#include <gtest/gtest.h>

using namespace testserver;

namespace {

// A text of the length, of the byte that JSON writes longest ("\u0001", six bytes for one), ended
// by `last` so that texts of one book differ.
std::string longest(std::size_t bytes, char last)
{
    std::string text(bytes, '\x01');
    text.back() = last;
    return text;
}

// An account with every field at its bound.
Account fullest(std::int64_t id)
{
    Account account;
    account.id = id;
    account.username = longest(maxAccountTextBytes, '\x02');
    account.phone = longest(maxAccountTextBytes, '\x03');
    account.email = longest(maxAccountTextBytes, '\x04');
    account.password.rounds = PasswordHash::maxRounds;
    account.password.salt.assign(PasswordHash::saltBytes, '\xff');
    account.password.hash.assign(PasswordHash::hashBytes, '\xff');
    account.profile = nlohmann::json::object();
    for (std::size_t i = 0; i < maxProfileMembers; ++i)
        account.profile[longest(maxProfileKeyBytes, static_cast<char>(1 + i))] = longest(maxAccountTextBytes, '\x05');
    for (std::size_t i = 0; i < maxSignIns; ++i)
        account.signIns.push_back(longest(maxAccountTextBytes, static_cast<char>(1 + i)));
    return account;
}

TEST(AccountBook, TheFullestBookStaysWithinWhatTheNextStartReads)
{
    // The fullest account is one the book keeps, and one with anything more is not.
    const std::int64_t lastId = StateFolder::maxExactInteger - 1;
    EXPECT_EQ(accountProblem(fullest(lastId)), std::nullopt);
    for (auto grow : std::initializer_list<void (*)(Account&)> { [](Account& a) { a.username += 'x'; },
             [](Account& a) { a.signIns.push_back("ninth"); }, [](Account& a) { a.profile["one more"] = 1; },
             [](Account& a) { a.profile.begin()->get_ref<std::string&>() += 'x'; },
             [](Account& a) { a.profile.begin().value() = nlohmann::json::array(); },
             [](Account& a) {
                 a.profile.erase(a.profile.begin());
                 a.profile[std::string(maxProfileKeyBytes + 1, 'k')] = 1;
             } }) {
        Account grown = fullest(lastId);
        grow(grown);
        EXPECT_NE(accountProblem(grown), std::nullopt);
    }

    AccountBook book;
    book.nextId = StateFolder::maxExactInteger;
    book.serial = StateFolder::maxExactInteger;
    for (std::size_t i = 0; i < maxUploads; ++i) {
        std::string name = longest(maxAccountTextBytes, static_cast<char>(1 + i % 30));
        name[0] = static_cast<char>(1 + i / 30);
        book.uploads[name] = { "image/jpeg", nullptr };
        book.uploadOrder.push_back(name);
    }
    // Each account adds as much as the last: the fullest file is computed, not written.
    book.accounts[lastId] = fullest(lastId);
    const std::size_t one = accountBookText(book, 65535, 65535).size();
    book.accounts[lastId - 1] = fullest(lastId - 1);
    const std::size_t perAccount = accountBookText(book, 65535, 65535).size() - one;
    const std::size_t full = one + (maxAccounts - 1) * perAccount;
    EXPECT_LE(full, StateFolder::maxJSONBytes) << full << " bytes, " << perAccount << " per account";
}

}
