#include "platform/net/HTTPClient.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/net/detail/TransferWorker.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

namespace {

// HTTPS cannot work without its trust anchors: say so once per file, not once per request.
void checkReadable(const std::string& caFile)
{
    static std::mutex mutex;
    static std::map<std::string, bool> checked;
    std::lock_guard lock(mutex);
    if (caFile.empty() || checked.contains(caFile))
        return;
    std::ifstream file(caFile);
    checked.emplace(caFile, file.good());
    if (!file)
        Log::write("HTTPClient: the trusted CA file " + caFile + " cannot be read (" + std::strerror(errno)
            + "); every HTTPS request will fail");
}

}

HTTPTask::HTTPTask(std::weak_ptr<detail::TransferWorker> worker, std::uint64_t id)
    : m_worker(std::move(worker))
    , m_id(id)
{ }

void HTTPTask::cancel()
{
    if (auto worker = m_worker.lock())
        worker->cancel(m_id);
}

HTTPClient& HTTPClient::shared()
{
    static HTTPClient client;
    return client;
}

HTTPClient::HTTPClient()
    : m_worker(std::make_shared<detail::TransferWorker>())
{ }

HTTPClient::~HTTPClient() = default;

std::size_t HTTPClient::requestsUnderWay() const
{
    return m_worker->underWay();
}

std::shared_ptr<HTTPTask> HTTPClient::send(HTTPRequest request, Completion completion)
{
    detail::TransferSettings settings;
    settings.trustedCAFile = trustedCAFile();
    checkReadable(settings.trustedCAFile);
    SendObserver observer;
    {
        std::lock_guard lock(m_mutex);
        settings.dohURL = m_dohURL;
        observer = m_sendObserver;
    }
    // Outside the lock: the observer may well ask the client something.
    if (observer)
        observer(request);
    std::uint64_t id = m_worker->submit(std::move(request), std::move(settings), std::move(completion));
    return std::make_shared<HTTPTask>(m_worker, id);
}

std::shared_ptr<HTTPTask> HTTPClient::upload(std::string url, HTTPHeaders headers,
    const MultipartFormData& form, Completion completion, double timeout, std::size_t maxReplyBytes)
{
    HTTPRequest request;
    request.method = HTTPMethod::POST;
    request.url = std::move(url);
    request.headers = std::move(headers);
    std::erase_if(
        request.headers, [](const auto& field) { return headerNameEquals(field.first, "Content-Type"); });
    request.headers.emplace_back("Content-Type", form.contentType());
    request.body = form.encode();
    request.timeout = timeout;
    request.maxBodySize = maxReplyBytes;
    request.emptyBody = EmptyBodyRule::Accept;
    return send(std::move(request), std::move(completion));
}

void HTTPClient::setTrustedCAFile(std::string path)
{
    std::lock_guard lock(m_mutex);
    m_trustedCAFile = std::move(path);
}

void HTTPClient::setSendObserver(SendObserver observer)
{
    std::lock_guard lock(m_mutex);
    m_sendObserver = std::move(observer);
}

void HTTPClient::setDoHURL(std::string url)
{
    std::lock_guard lock(m_mutex);
    m_dohURL = std::move(url);
}

std::string HTTPClient::trustedCAFile() const
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_trustedCAFile.empty())
            return m_trustedCAFile;
    }
    return Bundle::main().infoString(InfoKey::TrustedCAFile).value_or("");
}
