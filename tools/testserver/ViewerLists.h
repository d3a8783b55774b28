#pragma once

#include "tools/testserver/AccountLists.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/StateFolder.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace testserver {

// Every account's own lists on one API (AccountLists by account id): the sample account starts
// with the sample's, every other account with none. The history and favourites endpoints
// (SampleMine), the title pages and play reports (SampleDetail), the search and the home feed
// each ask the lists of the API they answer for (of()) about their caller (accountOf()).
//
// With a state folder, each account's lists are read back from "lists/<account id>.json" when
// they are opened, and every change is written to the account's file, whole, before it is taken
// (so before the reply that tells of it): a change that the disk refuses is not taken at all, so
// that no client is told of a change a restart would lose. A file that cannot be read or is not
// such lists stops the opening with an error that names it, and is never written over.
class ViewerLists {
public:
    // What the lists show of a title, for entries they make; none when the samples do not know it.
    using Namer = std::function<std::optional<TitleNames>(const std::string& movieID)>;

    static std::shared_ptr<ViewerLists> open(std::shared_ptr<const StateFolder> folder,
        std::int64_t sampleAccount, AccountLists sampleLists, Namer namer, std::string* error = nullptr);

    // Makes these the lists of the API, in place of any opened before; they stay its lists as long
    // as something (its routes) holds them.
    static void attach(const ApiServer& api, const std::shared_ptr<ViewerLists>& lists);
    static std::shared_ptr<ViewerLists> of(const ApiServer& api);

    // The account that the token signs in to the API (SampleAccounts); none for another token.
    static std::optional<std::int64_t> accountOf(
        const ApiServer& api, const std::optional<std::string>& token);

    // Reads an account's lists (empty ones for an account without any) under their lock.
    void read(std::int64_t account, const std::function<void(const AccountLists&)>& reader) const;

    enum class Change {
        unchanged, // `change` said it changed nothing
        kept, // changed, and written when there is a state folder
        notKept, // the state folder refused the write: the lists are as they were before the call
    };
    // Changes an account's lists under their lock: `change` works on a copy, which says whether
    // it changed it; a changed copy is written to the account's file and only then becomes the
    // account's lists. The next change starts again from the lists as they are.
    Change change(std::int64_t account, const std::function<bool(AccountLists&)>& change);

    std::optional<TitleNames> names(const std::string& movieID) const;

    // The answer to a call that needs an id for a new entry once the account's lists have given
    // their last (AccountLists::lastID).
    static ApiReply noIDLeft();

    static std::string fileName(std::int64_t account);

    ViewerLists(std::shared_ptr<const StateFolder> folder, Namer namer);

private:
    std::shared_ptr<const StateFolder> m_folder;
    Namer m_namer;
    mutable std::mutex m_mutex;
    std::map<std::int64_t, AccountLists> m_accounts;
};

}
