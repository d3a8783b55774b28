#include "platform/ui/photos/UIImagePickerController.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/FileSystem.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationBar.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/detail/ImageCodecs.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/photos/PhotoLibrary.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace {

constexpr int columns = 4;
constexpr CGFloat spacing = 2;
constexpr CGFloat thumbnailSide = 96;

NSError pickerError(long code, std::string description)
{
    return { UIImagePickerController::errorDomain, code,
        { { "NSLocalizedDescription", std::move(description) } } };
}

std::string lowercaseExtension(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool isVideoFile(const std::filesystem::path& file)
{
    std::string extension = lowercaseExtension(file);
    return extension == ".mp4" || extension == ".mov" || extension == ".m4v";
}

// A name that stays inside the library folder.
bool isPlainName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

// A small upright copy of the picture for its tile; decoded and drawn off the main thread.
std::optional<UIImage> thumbnailOf(const std::filesystem::path& file)
{
    std::error_code error;
    auto size = std::filesystem::file_size(file, error);
    if (error || size > UIImagePickerController::maxFileBytes)
        return std::nullopt;
    auto bytes = FileSystem::readFile(file);
    if (!bytes)
        return std::nullopt;
    auto image = UIImage::fromData(*bytes);
    if (!image || image->size().width <= 0 || image->size().height <= 0)
        return std::nullopt;
    // Aspect fill into a square tile.
    CGSize natural = image->size();
    CGFloat factor = thumbnailSide / std::min(natural.width, natural.height);
    CGSize drawn { natural.width * factor, natural.height * factor };
    UIGraphicsImageRendererFormat format;
    format.scale = 2;
    format.opaque = true;
    return UIGraphicsImageRenderer({ thumbnailSide, thumbnailSide }, format).image([&](CGContext& context) {
        context.draw(*image,
            { (thumbnailSide - drawn.width) / 2, (thumbnailSide - drawn.height) / 2, drawn.width,
                drawn.height });
    });
}

}

void UIImagePickerControllerDelegate::imagePickerControllerDidCancel(UIImagePickerController& picker)
{
    picker.dismiss(true);
}

bool UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType type)
{
    return type == UIImagePickerControllerSourceType::photoLibrary;
}

UIImagePickerController::UIImagePickerController() = default;

std::vector<std::string> UIImagePickerController::libraryFileNames()
{
    std::filesystem::path folder = PhotoLibrary::directory();
    std::vector<std::string> names;
    for (const auto& name : FileSystem::list(folder)) {
        if (name.empty() || name.front() == '.')
            continue;
        std::error_code error;
        if (!std::filesystem::is_regular_file(folder / name, error))
            continue;
        names.push_back(name);
        if (names.size() == maxListedFiles)
            break;
    }
    return names;
}

std::optional<NSError> UIImagePickerController::pickFile(
    const std::string& fileName, UIImagePickerMediaInfo& info) const
{
    std::filesystem::path file = PhotoLibrary::directory() / fileName;
    std::error_code error;
    if (!isPlainName(fileName) || !std::filesystem::is_regular_file(file, error))
        return pickerError(fileNotFound, "照片库中没有“" + fileName + "”。");
    auto size = std::filesystem::file_size(file, error);
    if (error)
        return pickerError(fileNotFound, "无法读取“" + fileName + "”。");
    if (size > maxFileBytes)
        return pickerError(fileTooLarge, "“" + fileName + "”太大，无法选取。");
    info.fileURL = file;
    if (isVideoFile(file)) {
        info.mediaType = "public.movie";
        return std::nullopt;
    }
    auto bytes = FileSystem::readFile(file);
    if (!bytes)
        return pickerError(fileNotFound, "无法读取“" + fileName + "”。");
    if (!detail::looksLikePng(bytes->data(), bytes->size())
        && !detail::looksLikeJpeg(bytes->data(), bytes->size()))
        return pickerError(notAnImage, "“" + fileName + "”不是图片。");
    auto image = UIImage::fromData(*bytes);
    if (!image)
        return pickerError(damagedImage, "“" + fileName + "”已损坏或尺寸过大。");
    info.mediaType = "public.image";
    info.originalImage = *image;
    if (m_allowsEditing)
        info.editedImage = *image;
    return std::nullopt;
}

std::optional<NSError> UIImagePickerController::pick(const std::string& fileName)
{
    if (m_sourceType == UIImagePickerControllerSourceType::camera)
        return pickerError(noCamera, "此设备没有相机。");
    UIImagePickerMediaInfo info;
    if (auto error = pickFile(fileName, info)) {
        if (m_statusLabel) {
            m_statusLabel->setText(error->localizedDescription());
            m_statusLabel->setHidden(false);
        }
        return error;
    }
    if (m_statusLabel)
        m_statusLabel->setHidden(true);
    // The delegate may dismiss and drop the picker: keep it alive through the call.
    auto keep = sharedFromThis();
    if (auto delegate = m_delegate.lock())
        delegate->imagePickerControllerDidFinishPickingMediaWithInfo(*this, info);
    return std::nullopt;
}

void UIImagePickerController::cancel()
{
    auto keep = sharedFromThis();
    if (auto delegate = m_delegate.lock())
        delegate->imagePickerControllerDidCancel(*this);
    else
        dismiss(true);
}

std::string UIImagePickerController::statusText() const
{
    return m_statusLabel && !m_statusLabel->isHidden() ? m_statusLabel->text() : std::string();
}

void UIImagePickerController::loadView()
{
    UIViewController::loadView();
    const auto& view = viewIfLoaded();
    view->setBackgroundColor(UIColor::systemBackground());

    m_grid = std::make_shared<UIScrollView>();
    m_grid->setAlwaysBounceVertical(true);
    view->addSubview(m_grid);

    m_bar = std::make_shared<UIView>();
    m_bar->setBackgroundColor(UIColor::dynamic(UIColor::white(0.97), UIColor::white(0.12)));
    view->addSubview(m_bar);

    m_titleLabel = std::make_shared<UILabel>();
    bool camera = m_sourceType == UIImagePickerControllerSourceType::camera;
    m_titleLabel->setText(camera ? "相机" : "照片");
    m_titleLabel->setFont(UIFont::systemFont(17, UIFont::Weight::semibold));
    m_titleLabel->setTextAlignment(NSTextAlignment::center);
    m_bar->addSubview(m_titleLabel);

    std::weak_ptr<UIViewController> weak = weakFromThis();
    auto cancelButton = std::make_shared<UINavigationBarButton>("取消", std::nullopt, [weak] {
        if (auto self = std::static_pointer_cast<UIImagePickerController>(weak.lock()))
            self->cancel();
    });
    cancelButton->setFont(UIFont::systemFont(17));
    cancelButton->setAccessibilityIdentifier("imagePicker.cancel");
    m_cancelButton = cancelButton;
    m_bar->addSubview(m_cancelButton);

    m_statusLabel = std::make_shared<UILabel>();
    m_statusLabel->setFont(UIFont::systemFont(14));
    m_statusLabel->setTextColor(UIColor::white());
    m_statusLabel->setBackgroundColor(UIColor(0, 0, 0, 0.75));
    m_statusLabel->setTextAlignment(NSTextAlignment::center);
    m_statusLabel->setNumberOfLines(2);
    m_statusLabel->setHidden(true);
    view->addSubview(m_statusLabel);
}

void UIImagePickerController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    if (m_sourceType == UIImagePickerControllerSourceType::camera) {
        m_statusLabel->setText("此设备没有相机。");
        m_statusLabel->setHidden(false);
        return;
    }
    m_files = libraryFileNames();
    std::weak_ptr<UIViewController> weak = weakFromThis();
    for (const auto& name : m_files) {
        auto tile = std::make_shared<UIImageView>();
        tile->setBackgroundColor(UIColor::white(0.85));
        tile->setContentMode(UIViewContentMode::scaleAspectFill);
        tile->setClipsToBounds(true);
        tile->setUserInteractionEnabled(true);
        tile->setAccessibilityIdentifier(name);
        // The name shows until a thumbnail replaces it, and stays for files that are no pictures.
        auto label = std::make_shared<UILabel>();
        label->setText(name);
        label->setFont(UIFont::systemFont(11));
        label->setTextColor(UIColor::white(0.3));
        label->setTextAlignment(NSTextAlignment::center);
        label->setNumberOfLines(3);
        label->setLineBreakMode(NSLineBreakMode::byCharWrapping);
        tile->addSubview(label);
        tile->addGestureRecognizer(
            std::make_shared<UITapGestureRecognizer>([weak, name](UIGestureRecognizer&) {
                if (auto self = std::static_pointer_cast<UIImagePickerController>(weak.lock()))
                    self->pick(name);
            }));
        m_grid->addSubview(tile);
        m_tiles.push_back(tile);
    }
    loadThumbnails();
}

void UIImagePickerController::loadThumbnails()
{
    std::filesystem::path folder = PhotoLibrary::directory();
    std::weak_ptr<UIViewController> weak = weakFromThis();
    // One picture at a time: a full-size decode can be large, and a closed picker stops the rest.
    auto queue = DispatchQueue::makeSerial("UIImagePickerController.thumbnails");
    for (std::size_t index = 0; index < m_files.size(); ++index) {
        if (isVideoFile(m_files[index]))
            continue;
        queue->async([weak, index, file = folder / m_files[index]] {
            if (weak.expired())
                return;
            auto thumbnail = thumbnailOf(file);
            if (!thumbnail)
                return;
            DispatchQueue::main().async([weak, index, thumbnail = std::move(*thumbnail)] {
                auto self = std::static_pointer_cast<UIImagePickerController>(weak.lock());
                if (!self || index >= self->m_tiles.size())
                    return;
                auto tile = std::static_pointer_cast<UIImageView>(self->m_tiles[index]);
                tile->setImage(thumbnail);
                for (const auto& subview : tile->subviews())
                    subview->setHidden(true);
            });
        });
    }
}

void UIImagePickerController::layoutChildren()
{
    const auto& view = viewIfLoaded();
    if (!view || !m_bar)
        return;
    CGRect b = view->bounds();
    CGFloat top = UIScreen::main().safeAreaInsets().top;
    CGFloat bottom = UIScreen::main().safeAreaInsets().bottom;
    CGFloat barHeight = UINavigationBar::barHeight;
    m_bar->setFrame({ 0, 0, b.width(), top + barHeight });
    m_titleLabel->setFrame({ 80, top, std::max<CGFloat>(0, b.width() - 160), barHeight });
    CGSize cancel = m_cancelButton->sizeThatFits({});
    m_cancelButton->setFrame({ b.width() - 16 - cancel.width, top, cancel.width, barHeight });

    CGFloat gridTop = top + barHeight;
    m_grid->setFrame({ 0, gridTop, b.width(), std::max<CGFloat>(0, b.height() - gridTop) });
    CGFloat side = std::floor((b.width() - spacing * (columns - 1)) / columns);
    for (std::size_t i = 0; i < m_tiles.size(); ++i) {
        auto column = static_cast<CGFloat>(i % columns);
        auto row = static_cast<CGFloat>(i / columns);
        m_tiles[i]->setFrame({ column * (side + spacing), spacing + row * (side + spacing), side, side });
        for (const auto& label : m_tiles[i]->subviews())
            label->setFrame({ 4, 4, side - 8, side - 8 });
    }
    auto rows = static_cast<CGFloat>((m_tiles.size() + columns - 1) / columns);
    m_grid->setContentSize({ b.width(), spacing + rows * (side + spacing) + bottom });

    CGFloat statusWidth = std::max<CGFloat>(0, b.width() - 48);
    CGFloat statusHeight = std::ceil(m_statusLabel->sizeThatFits({ statusWidth - 24, 0 }).height) + 20;
    m_statusLabel->setFrame({ 24, b.height() - bottom - 24 - statusHeight, statusWidth, statusHeight });
    m_statusLabel->layer()->setCornerRadius(8);
    m_statusLabel->setClipsToBounds(true);
}
