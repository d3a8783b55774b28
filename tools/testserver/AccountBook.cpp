#include "tools/testserver/AccountBook.h"

#include "tools/testserver/StoredAddresses.h"

#include <algorithm>

namespace testserver {

namespace {

// Only names this server makes ("avatar-7-1.png"): a file of its own in uploads/, nothing else.
bool isUploadName(const std::string& name)
{
    return !name.empty() && name.size() <= 128 && name[0] != '.'
        && name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
}

bool isPictureType(const std::string& type)
{
    return type == "image/jpeg" || type == "image/png";
}

// Reads the book out of its file's JSON; the first thing wrong is a message, nothing else.
std::optional<std::string> parseBook(const nlohmann::json& file, AccountBook& book)
{
    auto integer = [](const nlohmann::json& object, const char* key) -> std::optional<std::int64_t> {
        auto it = object.find(key);
        if (it == object.end() || !it->is_number_integer())
            return std::nullopt;
        return it->get<std::int64_t>();
    };
    auto text = [](const nlohmann::json& object, const char* key) -> std::optional<std::string> {
        auto it = object.find(key);
        if (it == object.end() || !it->is_string())
            return std::nullopt;
        return it->get<std::string>();
    };

    std::optional<std::int64_t> nextId = integer(file, "next_id");
    if (!nextId || *nextId <= 0)
        return "next_id is not a positive whole number";
    std::optional<std::int64_t> serial = integer(file, "upload_serial");
    if (!serial || *serial < 0)
        return "upload_serial is not a whole number of at least 0";
    book.nextId = *nextId;
    book.serial = static_cast<std::uint64_t>(*serial);

    auto accounts = file.find("accounts");
    if (accounts == file.end() || !accounts->is_array())
        return "accounts is not a list";
    for (const nlohmann::json& entry : *accounts) {
        if (!entry.is_object())
            return "an account is not an object";
        Account account;
        std::optional<std::int64_t> id = integer(entry, "id");
        if (!id || *id <= 0)
            return "an account has no positive id";
        std::string which = "account " + std::to_string(*id);
        account.id = *id;
        std::optional<std::string> username = text(entry, "username");
        std::optional<std::string> password = text(entry, "password");
        std::optional<std::string> phone = text(entry, "phone");
        std::optional<std::string> email = text(entry, "email");
        if (!username || username->empty() || !password || !phone || !email)
            return which + " lacks its user name, password, phone or e-mail text";
        auto profile = entry.find("profile");
        if (profile == entry.end() || !profile->is_object())
            return which + " has no profile object";
        if (book.accounts.contains(*id))
            return which + " is there twice";
        if (*id >= book.nextId)
            return which + " is not below next_id";
        account.username = std::move(*username);
        account.password = std::move(*password);
        account.phone = std::move(*phone);
        account.email = std::move(*email);
        account.profile = *profile;
        book.accounts[*id] = std::move(account);
    }

    auto tokens = file.find("tokens");
    if (tokens == file.end() || !tokens->is_object())
        return "tokens is not an object";
    for (const auto& [token, id] : tokens->items()) {
        if (token.empty() || !id.is_number_integer() || !book.accounts.contains(id.get<std::int64_t>()))
            return "a token names no account of the file";
        book.tokens[token] = id.get<std::int64_t>();
    }

    auto uploads = file.find("uploads");
    if (uploads == file.end() || !uploads->is_array())
        return "uploads is not a list";
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

}

std::string uploadFile(const std::string& name)
{
    return "uploads/" + name;
}

nlohmann::json accountBookJSON(const AccountBook& book, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    nlohmann::json accounts = nlohmann::json::array();
    for (const auto& [id, account] : book.accounts) {
        accounts.push_back({ { "id", id }, { "username", account.username }, { "password", account.password },
            { "phone", account.phone }, { "email", account.email },
            { "profile", account.profile.is_object() ? account.profile : nlohmann::json::object() } });
    }
    nlohmann::json tokens = nlohmann::json::object();
    for (const auto& [token, id] : book.tokens)
        tokens[token] = id;
    nlohmann::json uploads = nlohmann::json::array();
    for (const std::string& name : book.uploadOrder) {
        auto it = book.uploads.find(name);
        if (it != book.uploads.end())
            uploads.push_back({ { "name", name }, { "content_type", it->second.contentType } });
    }
    nlohmann::json file
        = { { "next_id", book.nextId }, { "upload_serial", book.serial }, { "accounts", std::move(accounts) },
              { "tokens", std::move(tokens) }, { "uploads", std::move(uploads) } };
    keepAddresses(file, httpPort, httpsPort);
    return file;
}

AccountBookRead readAccountBook(
    const StateFolder& folder, std::uint16_t httpPort, std::uint16_t httpsPort, std::size_t maxUploadBytes)
{
    AccountBookRead result;
    StateFolder::Read read = folder.readJSON(accountBookFile);
    if (!read.ok) {
        result.ok = false;
        result.error = std::move(read.error);
        return result;
    }
    if (!read.value)
        return result;
    std::string file = (folder.path() / accountBookFile).string();
    restoreAddresses(*read.value, httpPort, httpsPort);
    AccountBook book;
    if (std::optional<std::string> wrong = parseBook(*read.value, book)) {
        result.ok = false;
        result.error = "the state file " + file + " is damaged: " + *wrong;
        return result;
    }
    for (auto& [name, upload] : book.uploads) {
        StateFolder::Bytes bytes = folder.readBytes(uploadFile(name), maxUploadBytes);
        if (!bytes.ok || !bytes.value) {
            result.ok = false;
            result.error = bytes.ok ? "the state file " + (folder.path() / uploadFile(name)).string()
                    + " is missing, and " + file + " lists it"
                                    : std::move(bytes.error);
            return result;
        }
        upload.bytes = std::move(*bytes.value);
    }
    result.book = std::move(book);
    return result;
}

}
