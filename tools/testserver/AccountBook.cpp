#include "tools/testserver/AccountBook.h"

#include "tools/testserver/JsonText.h"
#include "tools/testserver/PictureCheck.h"
#include "tools/testserver/StoredAddresses.h"

#include <algorithm>
#include <cstdio>

namespace testserver {

namespace {

// Only names this server makes ("avatar-7-1.png"): a file of its own in uploads/, nothing else.
bool isUploadName(const std::string& name)
{
    return !name.empty() && name.size() <= maxAccountTextBytes && name[0] != '.'
        && name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
}

bool isPictureType(const std::string& type)
{
    return type == "image/jpeg" || type == "image/png";
}

bool sniffs(const std::string& bytes, std::string_view signature)
{
    return bytes.size() >= signature.size() && std::string_view(bytes).substr(0, signature.size()) == signature;
}

// A number of the book as it writes them (a JSON number); one past what a state file holds is
// none, however far past, never a wrapped one.
std::optional<std::int64_t> integer(const nlohmann::json& object, const char* key)
{
    auto it = object.find(key);
    IntegerRead read = it == object.end()
        ? IntegerRead()
        : readInteger(*it, { anyInteger.low, StateFolder::maxExactInteger });
    return read ? std::optional(*read) : std::nullopt;
}

std::optional<std::string> text(const nlohmann::json& object, const char* key)
{
    auto it = object.find(key);
    if (it == object.end() || !it->is_string())
        return std::nullopt;
    return it->get<std::string>();
}

bool within(std::optional<std::int64_t> value, std::int64_t low)
{
    return value && *value >= low && *value <= StateFolder::maxExactInteger;
}

std::string range(std::int64_t low)
{
    return "a whole number from " + std::to_string(low) + " to " + std::to_string(StateFolder::maxExactInteger);
}

// The account's picture: the profile's field that an upload sets, and only an upload (or the
// sample data); no client writes a text of its own there.
constexpr const char* pictureKey = "avatar";

// The profile with its picture changed by `change` when it is a text.
template<typename Change> nlohmann::json withPicture(nlohmann::json profile, Change&& change)
{
    if (!profile.is_object())
        return profile;
    auto picture = profile.find(pictureKey);
    if (picture != profile.end() && picture->is_string())
        *picture = change(picture->get<std::string>());
    return profile;
}

nlohmann::json keptProfile(const nlohmann::json& profile, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    return withPicture(profile, [&](std::string address) {
        return keptAddress(address, httpPort, httpsPort).value_or(std::move(address));
    });
}

// A later account that signs in by a name an earlier one signs in by gives way (see readAccountBook).
void renameSharedUserNames(AccountBook& book)
{
    for (auto later = book.accounts.begin(); later != book.accounts.end(); ++later) {
        Account& account = later->second;
        auto earlier = std::find_if(book.accounts.begin(), later,
            [&](const auto& entry) { return signsInAs(entry.second, account.username); });
        if (earlier == later)
            continue;
        std::string shared = std::move(account.username);
        account.username = freeUserName(book, account.id);
        if (account.profile.is_object())
            account.profile["username"] = account.username;
        std::fprintf(stderr,
            "testserver: state: account %lld shared the user name %s with account %lld, which keeps it; "
            "it is named %s now\n",
            static_cast<long long>(account.id), shared.c_str(), static_cast<long long>(earlier->first),
            account.username.c_str());
    }
}

std::optional<std::string> parseAccount(const nlohmann::json& entry, std::int64_t nextId, Account& account)
{
    if (!entry.is_object())
        return "an account is not an object";
    std::optional<std::int64_t> id = integer(entry, "id");
    if (!within(id, 1))
        return "an account's id is not " + range(1);
    std::string which = "account " + std::to_string(*id);
    if (*id >= nextId)
        return which + " is not below next_id";
    account.id = *id;
    std::optional<std::string> username = text(entry, "username");
    std::optional<std::string> phone = text(entry, "phone");
    std::optional<std::string> email = text(entry, "email");
    if (!username || !phone || !email)
        return which + " lacks its user name, phone or e-mail text";
    account.username = std::move(*username);
    account.phone = std::move(*phone);
    account.email = std::move(*email);

    if (auto hash = entry.find("password_hash"); hash != entry.end()) {
        std::string problem;
        std::optional<PasswordHash> read = PasswordHash::fromJSON(*hash, &problem);
        if (!read)
            return which + "'s password hash " + problem;
        account.password = std::move(*read);
    } else if (std::optional<std::string> typed = text(entry, "password")) {
        // The earlier form kept the password as typed: hashed now, written in the new form next.
        std::optional<PasswordHash> hashed = PasswordHash::make(*typed);
        if (!hashed)
            return "cannot hash the password of " + which;
        account.password = std::move(*hashed);
    } else {
        return which + " has no password";
    }

    auto profile = entry.find("profile");
    if (profile == entry.end() || !profile->is_object())
        return which + " has no profile object";
    account.profile = *profile;

    if (auto tokens = entry.find("tokens"); tokens != entry.end()) {
        if (!tokens->is_array())
            return which + "'s tokens are not a list";
        for (const nlohmann::json& token : *tokens) {
            if (!token.is_string())
                return which + " has a token that is not a text";
            account.signIns.push_back(token.get<std::string>());
        }
    }
    return std::nullopt;
}

// Reads the book out of its file's JSON; the first thing wrong is a message, nothing else.
std::optional<std::string> parseBook(
    const nlohmann::json& file, AccountBook& book, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    std::optional<std::int64_t> nextId = integer(file, "next_id");
    if (!within(nextId, 1))
        return "next_id is not " + range(1);
    std::optional<std::int64_t> serial = integer(file, "upload_serial");
    if (!within(serial, 0))
        return "upload_serial is not " + range(0);
    book.nextId = *nextId;
    book.serial = static_cast<std::uint64_t>(*serial);

    auto accounts = file.find("accounts");
    if (accounts == file.end() || !accounts->is_array())
        return "accounts is not a list";
    if (accounts->size() > maxAccounts)
        return "it holds more than " + std::to_string(maxAccounts) + " accounts";
    for (const nlohmann::json& entry : *accounts) {
        Account account;
        if (std::optional<std::string> wrong = parseAccount(entry, book.nextId, account))
            return wrong;
        if (book.accounts.contains(account.id))
            return "account " + std::to_string(account.id) + " is there twice";
        book.accounts[account.id] = std::move(account);
    }

    // The earlier form kept every sign-in in one object of token -> account.
    if (auto tokens = file.find("tokens"); tokens != file.end()) {
        if (!tokens->is_object())
            return "tokens is not an object";
        for (const auto& [token, id] : tokens->items()) {
            IntegerRead owned = readInteger(id, { 1, StateFolder::maxExactInteger });
            auto owner = owned ? book.accounts.find(*owned) : book.accounts.end();
            if (owner == book.accounts.end())
                return "a token names no account of the file";
            owner->second.signIns.push_back(token);
        }
    }
    for (auto& [id, account] : book.accounts) {
        // More sign-ins than kept are no damage: the oldest of them end here, as a new one would end them.
        while (account.signIns.size() > maxSignIns)
            account.signIns.pop_front();
        for (const std::string& token : account.signIns) {
            if (!book.tokens.emplace(token, id).second)
                return "the token " + token + " is there twice";
        }
        // Checked as the file keeps it, on port 0: the form whose bounds the server writes within.
        if (std::optional<std::string> wrong = accountProblem(account))
            return "account " + std::to_string(id) + " " + *wrong;
        account.profile = withPicture(std::move(account.profile),
            [&](std::string kept) { return restoredAddress(std::move(kept), httpPort, httpsPort); });
    }
    renameSharedUserNames(book);

    auto uploads = file.find("uploads");
    if (uploads == file.end() || !uploads->is_array())
        return "uploads is not a list";
    if (uploads->size() > maxUploads)
        return "it lists more than " + std::to_string(maxUploads) + " uploads";
    for (const nlohmann::json& entry : *uploads) {
        std::optional<std::string> name = entry.is_object() ? text(entry, "name") : std::nullopt;
        std::optional<std::string> type = entry.is_object() ? text(entry, "content_type") : std::nullopt;
        if (!name || !isUploadName(*name) || !type || !isPictureType(*type))
            return "an upload has no plain name or no picture type";
        if (book.uploads.contains(*name))
            return "the upload " + *name + " is there twice";
        book.uploads[*name] = StoredUpload { *type, {} };
        book.uploadOrder.push_back(*name);
    }
    return std::nullopt;
}

nlohmann::json accountBookJSON(const AccountBook& book, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    nlohmann::json accounts = nlohmann::json::array();
    for (const auto& [id, account] : book.accounts) {
        accounts.push_back(
            { { "id", id }, { "username", account.username }, { "password_hash", account.password.toJSON() },
                { "phone", account.phone }, { "email", account.email },
                { "profile",
                    account.profile.is_object() ? keptProfile(account.profile, httpPort, httpsPort)
                                                : nlohmann::json::object() },
                { "tokens", account.signIns } });
    }
    nlohmann::json uploads = nlohmann::json::array();
    for (const std::string& name : book.uploadOrder) {
        auto it = book.uploads.find(name);
        if (it != book.uploads.end())
            uploads.push_back({ { "name", name }, { "content_type", it->second.contentType } });
    }
    return { { "next_id", book.nextId }, { "upload_serial", book.serial }, { "accounts", std::move(accounts) },
        { "uploads", std::move(uploads) } };
}

}

std::string uploadFile(const std::string& name)
{
    return std::string(uploadsFolder) + "/" + name;
}

std::optional<std::string> accountProblem(const Account& account)
{
    if (account.id < 1 || account.id > StateFolder::maxExactInteger)
        return "has an id that is not " + range(1);
    auto tooLong = [](const std::string& value) { return value.size() > maxAccountTextBytes; };
    if (account.username.empty() || tooLong(account.username) || tooLong(account.phone) || tooLong(account.email))
        return "has a user name, phone or e-mail that is empty or longer than "
            + std::to_string(maxAccountTextBytes) + " bytes";
    if (account.password.rounds == 0 || account.password.rounds > PasswordHash::maxRounds
        || account.password.salt.size() != PasswordHash::saltBytes
        || account.password.hash.size() != PasswordHash::hashBytes)
        return "has no password hash";
    if (account.signIns.size() > maxSignIns
        || std::any_of(account.signIns.begin(), account.signIns.end(),
            [&](const std::string& token) { return token.empty() || tooLong(token); }))
        return "has more than " + std::to_string(maxSignIns) + " tokens, or one empty or longer than "
            + std::to_string(maxAccountTextBytes) + " bytes";
    if (!account.profile.is_object() || account.profile.size() > maxProfileMembers)
        return "has no profile object of at most " + std::to_string(maxProfileMembers) + " members";
    for (const auto& [key, value] : account.profile.items()) {
        if (key.size() > maxProfileKeyBytes || value.is_structured() || value.is_binary()
            || (value.is_string() && tooLong(value.get<std::string>())))
            return "has a profile member that is not a name of at most " + std::to_string(maxProfileKeyBytes)
                + " bytes with a number, a flag or a text of at most " + std::to_string(maxAccountTextBytes)
                + " bytes";
    }
    return std::nullopt;
}

std::optional<std::string> pictureExtension(const std::string& contentType, const std::string& bytes)
{
    if (contentType == "image/jpeg" && sniffs(bytes, "\xFF\xD8\xFF"))
        return "jpg";
    if (contentType == "image/png" && sniffs(bytes, "\x89PNG\r\n\x1A\n"))
        return "png";
    return std::nullopt;
}

bool signsInAs(const Account& account, const std::string& name)
{
    return !name.empty() && (account.username == name || account.phone == name || account.email == name);
}

std::string freeUserName(const AccountBook& book, std::int64_t id)
{
    const std::string base = "zv" + std::to_string(id);
    std::string name = base;
    for (int n = 2; std::any_of(book.accounts.begin(), book.accounts.end(),
             [&](const auto& entry) { return signsInAs(entry.second, name); });
         ++n)
        name = base + "_" + std::to_string(n);
    return name;
}

Account keptAccount(Account account, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    account.profile = keptProfile(account.profile, httpPort, httpsPort);
    return account;
}

std::string accountBookText(const AccountBook& book, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    nlohmann::json file = accountBookJSON(book, httpPort, httpsPort);
    return file.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

AccountBookRead readAccountBook(const StateFolder& folder, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    AccountBookRead result;
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        return result;
    };
    StateFolder::Read read = folder.readJSON(accountBookFile);
    if (!read.ok)
        return fail(std::move(read.error));
    if (!read.value)
        return result;
    std::string file = (folder.path() / accountBookFile).string();
    AccountBook book;
    if (std::optional<std::string> wrong = parseBook(*read.value, book, httpPort, httpsPort))
        return fail("the state file " + file + " is damaged: " + *wrong);
    for (auto& [name, upload] : book.uploads) {
        std::string uploaded = (folder.path() / uploadFile(name)).string();
        StateFolder::Bytes bytes = folder.readBytes(uploadFile(name), maxUploadBytes);
        if (!bytes.ok)
            return fail(std::move(bytes.error));
        if (!bytes.value)
            return fail("the state file " + uploaded + " is missing, and " + file + " lists it");
        if (!pictureExtension(upload.contentType, *bytes.value))
            return fail("the state file " + uploaded + " is damaged: it is not a picture of the type "
                + upload.contentType + " that " + file + " lists it with");
        if (std::optional<PictureFault> fault = checkPicture(upload.contentType, *bytes.value))
            return fail("the state file " + uploaded + " is damaged: it is not a whole picture of the type "
                + upload.contentType + " that " + file + " lists it with: " + fault->reason);
        upload.bytes = std::make_shared<const std::string>(std::move(*bytes.value));
    }
    result.book = std::move(book);
    return result;
}

void removeStrayUploads(const StateFolder& folder, const AccountBook& book)
{
    const std::string prefix = uploadFile("");
    std::string problem;
    const std::vector<std::string> files = folder.filesIn(uploadsFolder, &problem);
    if (!problem.empty())
        std::fprintf(stderr, "testserver: state: %s\n", problem.c_str());
    for (const std::string& name : files) {
        if (book.uploads.contains(name.substr(prefix.size())))
            continue;
        std::string error;
        if (folder.remove(name, &error))
            std::fprintf(stderr,
                "testserver: state: removed %s, which no account lists (its change was not kept)\n",
                (folder.path() / name).c_str());
        else
            std::fprintf(stderr, "testserver: state: %s\n", error.c_str());
    }
}

}
