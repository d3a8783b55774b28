#include "tools/testserver/ViewerLists.h"

#include "tools/testserver/JsonText.h"
#include "tools/testserver/SampleAccounts.h"

#include <algorithm>
#include <string_view>

namespace testserver {

namespace {

constexpr const char* kFolder = listsStateFolder;
// The accounts read back at most: more files than any run of the server makes.
constexpr std::size_t kMaxAccountFiles = 100000;

// The lists of each API, for the samples that answer there; an API's entry goes with its lists.
std::mutex g_registryMutex;
std::map<const ApiServer*, std::weak_ptr<ViewerLists>>& registry()
{
    static std::map<const ApiServer*, std::weak_ptr<ViewerLists>> lists;
    return lists;
}

bool fail(std::string* error, std::string message)
{
    if (error)
        *error = std::move(message);
    return false;
}

// The accounts that have lists: those of the server.
constexpr IntegerField kAccountIDs { 1, StateFolder::maxExactInteger, true };

// "301877.json" -> 301877; none for any other name (files of the folder that are not lists, nor
// of an account the server could have).
std::optional<std::int64_t> accountOfFile(const std::string& name)
{
    static const std::string suffix = ".json";
    if (name.size() <= suffix.size() || !name.ends_with(suffix))
        return std::nullopt;
    IntegerRead account = readInteger(name.substr(0, name.size() - suffix.size()), kAccountIDs);
    return account ? std::optional(*account) : std::nullopt;
}

// Every account's lists that the folder holds, read from the folder without following a link.
bool readBack(const StateFolder& folder, std::map<std::int64_t, AccountLists>& accounts, std::string* error)
{
    std::string problem;
    const std::vector<std::string> files = folder.filesIn(kFolder, &problem);
    if (!problem.empty())
        return fail(error, problem);
    const std::size_t prefix = std::string_view(kFolder).size() + 1;
    std::size_t count = 0;
    for (const std::string& name : files) {
        std::optional<std::int64_t> account = accountOfFile(name.substr(prefix));
        if (!account)
            continue;
        if (++count > kMaxAccountFiles)
            return fail(error, "more lists than the server reads back in " + (folder.path() / kFolder).string());
        StateFolder::Read read = folder.readJSON(name);
        if (!read.ok)
            return fail(error, read.error);
        std::string wrong;
        std::optional<AccountLists> lists = read.value ? AccountLists::fromJSON(*read.value, &wrong) : std::nullopt;
        if (!lists)
            return fail(error,
                "the state file " + (folder.path() / name).string() + " is damaged: "
                    + (read.value ? wrong : "it is gone"));
        accounts[*account] = std::move(*lists);
    }
    return true;
}

}

ViewerLists::ViewerLists(std::shared_ptr<const StateFolder> folder, Namer namer)
    : m_folder(std::move(folder))
    , m_namer(std::move(namer))
{ }

std::shared_ptr<ViewerLists> ViewerLists::open(std::shared_ptr<const StateFolder> folder,
    std::int64_t sampleAccount, AccountLists sampleLists, Namer namer, std::string* error)
{
    auto lists = std::make_shared<ViewerLists>(folder, std::move(namer));
    if (folder && !readBack(*folder, lists->m_accounts, error))
        return nullptr;
    // The sample account starts from the sample only the first time.
    lists->m_accounts.try_emplace(sampleAccount, std::move(sampleLists));
    return lists;
}

void ViewerLists::attach(const ApiServer& api, const std::shared_ptr<ViewerLists>& lists)
{
    std::lock_guard lock(g_registryMutex);
    std::erase_if(registry(), [](const auto& entry) { return entry.second.expired(); });
    registry()[&api] = lists;
}

std::shared_ptr<ViewerLists> ViewerLists::of(const ApiServer& api)
{
    std::lock_guard lock(g_registryMutex);
    auto found = registry().find(&api);
    return found == registry().end() ? nullptr : found->second.lock();
}

std::optional<std::int64_t> ViewerLists::accountOf(
    const ApiServer& api, const std::optional<std::string>& token)
{
    std::shared_ptr<SampleAccounts> accounts = token ? SampleAccounts::of(api) : nullptr;
    std::optional<nlohmann::json> profile = accounts ? accounts->profileForToken(*token) : std::nullopt;
    if (!profile || !profile->is_object())
        return std::nullopt;
    IntegerRead id
        = readInteger(profile->value("id", nlohmann::json()), { kAccountIDs.low, kAccountIDs.high });
    return id ? std::optional(*id) : std::nullopt;
}

void ViewerLists::read(std::int64_t account, const std::function<void(const AccountLists&)>& reader) const
{
    static const AccountLists none;
    std::lock_guard lock(m_mutex);
    auto found = m_accounts.find(account);
    reader(found == m_accounts.end() ? none : found->second);
}

ViewerLists::Change ViewerLists::change(
    std::int64_t account, const std::function<bool(AccountLists&)>& change)
{
    std::lock_guard lock(m_mutex);
    auto found = m_accounts.find(account);
    AccountLists changed = found == m_accounts.end() ? AccountLists() : found->second;
    if (!change(changed))
        return Change::unchanged;
    // The folder logs a refused write; the file keeps its last whole version, and so do the lists.
    if (m_folder && !m_folder->writeJSON(fileName(account), changed.toJSON()))
        return Change::notKept;
    m_accounts.insert_or_assign(account, std::move(changed));
    return Change::kept;
}

std::optional<TitleNames> ViewerLists::names(const std::string& movieID) const
{
    return m_namer ? m_namer(movieID) : std::nullopt;
}

ApiReply ViewerLists::noIDLeft()
{
    return ApiReply::error(1104, "编号已用完，无法再添加记录或收藏");
}

std::string ViewerLists::fileName(std::int64_t account)
{
    return std::string(kFolder) + "/" + std::to_string(account) + ".json";
}

}
