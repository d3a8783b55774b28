#include "platform/ui/imageloading/ImageLoader.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Bundle.h"
#include "platform/net/HTTPClient.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/gif/GifDecoder.h"
#include "platform/ui/imageloading/ImageDiskCache.h"
#include "platform/ui/imageloading/ImageMemoryCache.h"

#include <algorithm>
#include <any>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The request an image view is waiting for, kept on the view itself.
constexpr const char* viewRequestKey = "imageloading.request";

ImageLoader::RequestID viewRequest(const UIImageView& view)
{
    const std::any* value = view.associatedValue(viewRequestKey);
    const auto* id = value ? std::any_cast<ImageLoader::RequestID>(value) : nullptr;
    return id ? *id : 0;
}

ImageLoadResult failure(const std::string& url, ImageLoadError::Code code, std::string message,
    std::optional<int> statusCode = std::nullopt)
{
    ImageLoadResult result;
    result.url = url;
    result.error = ImageLoadError { code, statusCode, std::move(message) };
    return result;
}

ImageLoadResult success(const std::string& url, UIImage image, ImageCacheType cacheType)
{
    ImageLoadResult result;
    result.url = url;
    result.image = std::move(image);
    result.cacheType = cacheType;
    return result;
}

}

// One address being fetched, and everybody waiting for it.
struct ImageLoaderOperation {
    struct Waiter {
        ImageLoader::RequestID id;
        ImageLoadCompletion completion;
    };
    std::string url;
    std::vector<Waiter> waiters;
    std::shared_ptr<HTTPTask> task;
    bool done = false; // finished or abandoned: late results are dropped
};

struct ImageLoader::Impl : std::enable_shared_from_this<ImageLoader::Impl> {
    using Operation = ImageLoaderOperation;

    explicit Impl(Configuration configuration)
        : config(std::move(configuration))
        , memory(config.memoryCostLimit)
        , disk(std::make_shared<ImageDiskCache>(config.diskCacheFolder, config.diskSizeLimit))
        , diskQueue(DispatchQueue::makeSerial("imageloading.disk"))
    { }

    HTTPClient& client() const { return config.client ? *config.client : HTTPClient::shared(); }

    void enqueue(RequestID id, const std::string& url, ImageLoadCompletion completion)
    {
        auto& operation = operations[url];
        bool fresh = !operation;
        if (fresh) {
            operation = std::make_shared<Operation>();
            operation->url = url;
        }
        operation->waiters.push_back({ id, std::move(completion) });
        requestURLs[id] = url;
        if (fresh)
            readFromDisk(operation);
    }

    void readFromDisk(const std::shared_ptr<Operation>& operation)
    {
        std::weak_ptr<Impl> weakSelf = weak_from_this();
        diskQueue->async([weakSelf, operation, disk = disk] {
            auto bytes = disk->data(operation->url);
            if (!bytes) {
                DispatchQueue::main().async([weakSelf, operation] {
                    if (auto self = weakSelf.lock(); self && !operation->done)
                        self->download(operation);
                });
                return;
            }
            DispatchQueue::global().async([weakSelf, operation, disk, bytes = std::move(*bytes)] {
                auto image = decodeImage(bytes);
                if (!image)
                    disk->remove(operation->url); // damaged: fetch it again
                DispatchQueue::main().async([weakSelf, operation, image = std::move(image)] {
                    auto self = weakSelf.lock();
                    if (!self || operation->done)
                        return;
                    if (!image) {
                        self->download(operation);
                        return;
                    }
                    self->memory.store(operation->url, *image);
                    self->finish(operation, success(operation->url, *image, ImageCacheType::disk));
                });
            });
        });
    }

    void download(const std::shared_ptr<Operation>& operation)
    {
        HTTPRequest request;
        request.url = operation->url;
        request.timeout = config.timeout;
        request.maxBodySize = *config.maxBytes;
        std::weak_ptr<Impl> weakSelf = weak_from_this();
        operation->task = client().send(std::move(request), [weakSelf, operation](HTTPResponse response) {
            auto self = weakSelf.lock();
            if (!self || operation->done)
                return;
            self->downloaded(operation, std::move(response));
        });
    }

    void downloaded(const std::shared_ptr<Operation>& operation, HTTPResponse response)
    {
        const std::string& url = operation->url;
        if (response.error) {
            auto code = response.error->code == HTTPError::Code::InvalidURL ? ImageLoadError::Code::InvalidURL
                                                                            : ImageLoadError::Code::Network;
            finish(operation,
                failure(url, code,
                    std::string(errorCodeName(response.error->code)) + ": " + response.error->message));
            return;
        }
        int status = response.statusCode.value_or(0);
        if (status < 200 || status > 299) {
            finish(operation,
                failure(
                    url, ImageLoadError::Code::BadStatus, "HTTP status " + std::to_string(status), status));
            return;
        }
        if (!response.body || response.body->empty()) {
            finish(operation, failure(url, ImageLoadError::Code::NotAnImage, "empty body"));
            return;
        }
        std::weak_ptr<Impl> weakSelf = weak_from_this();
        DispatchQueue::global().async([weakSelf, operation, disk = disk, diskQueue = diskQueue,
                                          bytes = std::move(*response.body)]() mutable {
            auto image = decodeImage(bytes);
            if (image) {
                diskQueue->async(
                    [disk, url = operation->url, bytes = std::move(bytes)] { disk->store(url, bytes); });
            }
            DispatchQueue::main().async([weakSelf, operation, image = std::move(image)] {
                auto self = weakSelf.lock();
                if (!self || operation->done)
                    return;
                if (!image) {
                    self->finish(operation,
                        failure(operation->url, ImageLoadError::Code::NotAnImage,
                            "the reply is no PNG, JPEG or GIF"));
                    return;
                }
                self->memory.store(operation->url, *image);
                self->finish(operation, success(operation->url, *image, ImageCacheType::none));
            });
        });
    }

    void finish(const std::shared_ptr<Operation>& operation, const ImageLoadResult& result)
    {
        operation->done = true;
        if (auto found = operations.find(operation->url);
            found != operations.end() && found->second == operation)
            operations.erase(found);
        auto waiters = std::move(operation->waiters);
        for (const auto& waiter : waiters)
            requestURLs.erase(waiter.id);
        // Completions may start new requests; the bookkeeping above is already settled.
        for (const auto& waiter : waiters) {
            if (waiter.completion)
                waiter.completion(result);
        }
    }

    void cancel(RequestID id)
    {
        auto found = requestURLs.find(id);
        if (found == requestURLs.end())
            return;
        std::string url = found->second;
        requestURLs.erase(found);
        auto operationEntry = operations.find(url);
        if (operationEntry == operations.end())
            return;
        auto operation = operationEntry->second;
        auto waiter = std::find_if(operation->waiters.begin(), operation->waiters.end(),
            [id](const Operation::Waiter& w) { return w.id == id; });
        if (waiter == operation->waiters.end())
            return;
        ImageLoadCompletion completion = std::move(waiter->completion);
        operation->waiters.erase(waiter);
        if (operation->waiters.empty()) {
            operation->done = true;
            operations.erase(operationEntry);
            if (operation->task)
                operation->task->cancel();
        }
        if (completion) {
            DispatchQueue::main().async([completion = std::move(completion), url] {
                completion(failure(url, ImageLoadError::Code::Cancelled, "cancelled"));
            });
        }
    }

    Configuration config;
    ImageMemoryCache memory;
    std::shared_ptr<ImageDiskCache> disk;
    std::shared_ptr<DispatchQueue> diskQueue;
    std::unordered_map<std::string, std::shared_ptr<Operation>> operations;
    std::unordered_map<RequestID, std::string> requestURLs;
    RequestID nextID = 1;
};

ImageLoader& ImageLoader::shared()
{
    static ImageLoader loader;
    return loader;
}

ImageLoader::ImageLoader()
    : ImageLoader(Configuration {})
{ }

ImageLoader::ImageLoader(Configuration configuration)
{
    if (configuration.diskCacheFolder.empty())
        configuration.diskCacheFolder = AppContainer::cachesDirectory() / "ImageCache";
    if (!configuration.maxBytes)
        configuration.maxBytes
            = Bundle::main().infoByteCount(InfoKey::MaxImageReplyBytes).value_or(defaultMaxImageBytes);
    m_impl = std::make_shared<Impl>(std::move(configuration));
}

ImageLoader::~ImageLoader() = default;

void ImageLoader::setImage(UIImageView& view, const std::string& url, std::optional<UIImage> placeholder,
    ImageLoadCompletion completion)
{
    cancel(view);
    if (!url.empty()) {
        if (auto image = m_impl->memory.image(url)) {
            view.setImage(image);
            if (completion)
                completion(success(url, *image, ImageCacheType::memory));
            return;
        }
    }
    view.setImage(std::move(placeholder));
    if (url.empty()) {
        if (completion)
            completion(failure(url, ImageLoadError::Code::InvalidURL, "empty address"));
        return;
    }
    RequestID id = m_impl->nextID++;
    std::weak_ptr<UIView> weakView = view.weakFromThis();
    view.setAssociatedValue(viewRequestKey, id);
    m_impl->enqueue(
        id, url, [weakView, id, completion = std::move(completion)](const ImageLoadResult& result) {
            auto locked = weakView.lock();
            auto* target = static_cast<UIImageView*>(locked.get());
            if (!target || viewRequest(*target) != id) {
                if (completion)
                    completion(failure(
                        result.url, ImageLoadError::Code::Cancelled, "the view no longer wants this image"));
                return;
            }
            target->setAssociatedValue(viewRequestKey, std::any {});
            if (result.image)
                target->setImage(result.image);
            if (completion)
                completion(result);
        });
}

void ImageLoader::cancel(UIImageView& view)
{
    RequestID id = viewRequest(view);
    if (id == 0)
        return;
    view.setAssociatedValue(viewRequestKey, std::any {});
    m_impl->cancel(id);
}

ImageLoader::RequestID ImageLoader::load(const std::string& url, ImageLoadCompletion completion)
{
    if (url.empty()) {
        if (completion)
            completion(failure(url, ImageLoadError::Code::InvalidURL, "empty address"));
        return 0;
    }
    if (auto image = m_impl->memory.image(url)) {
        if (completion)
            completion(success(url, *image, ImageCacheType::memory));
        return 0;
    }
    RequestID id = m_impl->nextID++;
    m_impl->enqueue(id, url, std::move(completion));
    return id;
}

void ImageLoader::cancel(RequestID request)
{
    m_impl->cancel(request);
}

std::optional<UIImage> ImageLoader::cachedImage(const std::string& url)
{
    if (auto image = m_impl->memory.image(url))
        return image;
    auto bytes = m_impl->disk->data(url);
    if (!bytes)
        return std::nullopt;
    auto image = decodeImage(*bytes);
    if (image)
        m_impl->memory.store(url, *image);
    return image;
}

std::uint64_t ImageLoader::diskCacheSize()
{
    return m_impl->disk->totalSize();
}

void ImageLoader::clearDisk(std::function<void()> completion)
{
    m_impl->diskQueue->async([disk = m_impl->disk, completion = std::move(completion)] {
        disk->removeAll();
        if (completion)
            DispatchQueue::main().async(completion);
    });
}

void ImageLoader::clearMemory()
{
    m_impl->memory.removeAll();
}

const std::filesystem::path& ImageLoader::diskCacheFolder() const
{
    return m_impl->disk->folder();
}

std::optional<UIImage> ImageLoader::decodeImage(const Data& bytes)
{
    if (!GifDecoder::looksLikeGif(bytes))
        return UIImage::fromData(bytes);
    auto gif = GifDecoder::decode(bytes);
    if (!gif || gif->frames.empty())
        return std::nullopt;
    if (gif->frames.size() == 1)
        return gif->frames.front().image;
    std::vector<UIImage> frames;
    double duration = 0;
    for (auto& frame : gif->frames) {
        duration += frame.delaySeconds();
        frames.push_back(std::move(frame.image));
    }
    return UIImage::animated(std::move(frames), duration);
}
