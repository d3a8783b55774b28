#include "platform/ui/sharing/UIActivityViewController.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/UUID.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/controls/UIButton.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat sideMargin = 8;
constexpr CGFloat buttonHeight = 56;
constexpr CGFloat previewHeight = 140;

std::filesystem::path& configuredOutbox()
{
    static std::filesystem::path directory;
    return directory;
}

NSError activityError(long code, std::string description)
{
    return { UIActivityViewController::errorDomain, code,
        { { "NSLocalizedDescription", std::move(description) } } };
}

bool isShareable(const UIActivityItem& item)
{
    if (const auto* image = std::get_if<UIImage>(&item))
        return image->hasBitmap();
    return true;
}

std::shared_ptr<UIButton> makeButton(std::string title, UIFont font, std::string identifier)
{
    auto button = std::make_shared<UIButton>();
    button->setTitle(std::move(title));
    button->setFont(font);
    button->setTitleColor(UIColor::systemBlue());
    button->setBackgroundColor(UIColor::dynamic(UIColor::white(1), UIColor::white(0.17)));
    button->layer()->setCornerRadius(13);
    button->setAccessibilityIdentifier(std::move(identifier));
    return button;
}

// Writes the items into a new folder of the outbox off the main thread; the completion and the
// sheet's record of the folder follow on the main queue.
void writeShare(const std::vector<UIActivityItem>& items,
    const UIActivityViewController::CompletionWithItemsHandler& completion,
    std::shared_ptr<std::optional<std::filesystem::path>> lastFolder)
{
    std::string type = UIActivityViewController::shareOutboxActivityType;
    auto report = [completion, type](bool completed, std::optional<NSError> error) {
        DispatchQueue::main().async([completion, type, completed, error = std::move(error)] {
            if (completion)
                completion(type, completed, error);
        });
    };
    if (std::none_of(items.begin(), items.end(), isShareable)) {
        report(false, activityError(UIActivityViewController::nothingToShare, "没有可分享的内容。"));
        return;
    }
    // Folders sort by time; the identifier keeps two shares of one millisecond apart.
    auto millis = static_cast<long long>(std::floor(Date::now().timeIntervalSince1970() * 1000));
    std::filesystem::path folder = UIActivityViewController::shareOutboxDirectory()
        / (std::to_string(millis) + "-" + UUID::random().uuidString().substr(0, 8));
    DispatchQueue::global().async([items, folder, report, lastFolder] {
        int number = 0;
        for (const auto& item : items) {
            if (!isShareable(item))
                continue;
            ++number;
            std::optional<Data> bytes;
            std::string name = std::to_string(number);
            if (const auto* image = std::get_if<UIImage>(&item)) {
                bytes = image->pngData();
                name += ".png";
            } else {
                const auto& text = std::get<std::string>(item);
                bytes = Data(text.begin(), text.end());
                name += ".txt";
            }
            if (!bytes || !FileSystem::writeFileAtomically(folder / name, *bytes)) {
                report(false, activityError(UIActivityViewController::writeFailed, "无法写入分享文件夹。"));
                return;
            }
        }
        DispatchQueue::main().async([lastFolder, folder] { *lastFolder = folder; });
        report(true, std::nullopt);
    });
}

}

UIActivityViewController::UIActivityViewController(
    std::vector<UIActivityItem> activityItems, std::vector<std::string>)
    : m_items(std::move(activityItems))
    , m_lastFolder(std::make_shared<std::optional<std::filesystem::path>>())
{
    setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
}

std::filesystem::path UIActivityViewController::shareOutboxDirectory()
{
    const auto& configured = configuredOutbox();
    return configured.empty() ? AppContainer::home() / "ShareOutbox" : configured;
}

void UIActivityViewController::setShareOutboxDirectory(std::filesystem::path directory)
{
    configuredOutbox() = std::move(directory);
}

void UIActivityViewController::finishChoice(std::function<void()> work)
{
    if (m_chosen)
        return;
    m_chosen = true;
    // The sheet goes first, as on the phone; a sheet that is not shown reports at once.
    if (presentingViewController())
        dismiss(true, std::move(work));
    else
        work();
}

void UIActivityViewController::cancel()
{
    finishChoice([completion = m_completion] {
        if (completion)
            completion(std::nullopt, false, std::nullopt);
    });
}

void UIActivityViewController::chooseShareOutbox()
{
    // The write holds what it needs: the sheet may be gone by the time it runs.
    finishChoice([items = m_items, completion = m_completion, lastFolder = m_lastFolder] {
        writeShare(items, completion, lastFolder);
    });
}

void UIActivityViewController::loadView()
{
    UIViewController::loadView();
    const auto& view = viewIfLoaded();
    view->setBackgroundColor(std::nullopt);

    m_dimming = std::make_shared<UIView>();
    m_dimming->setBackgroundColor(UIColor(0, 0, 0, 0.4));
    view->addSubview(m_dimming);

    m_panel = std::make_shared<UIView>();
    m_panel->setBackgroundColor(UIColor::dynamic(UIColor::white(0.95), UIColor::white(0.11)));
    m_panel->layer()->setCornerRadius(13);
    view->addSubview(m_panel);

    m_titleLabel = std::make_shared<UILabel>();
    std::size_t count = m_items.size();
    m_titleLabel->setText(count == 1 ? "分享 1 项" : "分享 " + std::to_string(count) + " 项");
    m_titleLabel->setFont(UIFont::systemFont(15, UIFont::Weight::semibold));
    m_titleLabel->setTextColor(UIColor::label());
    m_titleLabel->setTextAlignment(NSTextAlignment::center);
    m_panel->addSubview(m_titleLabel);

    // The first picture, else the first text, shows what goes out.
    m_preview = std::make_shared<UIImageView>();
    m_preview->setContentMode(UIViewContentMode::scaleAspectFit);
    m_previewText = std::make_shared<UILabel>();
    m_previewText->setFont(UIFont::systemFont(14));
    m_previewText->setTextColor(UIColor::dynamic(UIColor::white(0.4), UIColor::white(0.65)));
    m_previewText->setTextAlignment(NSTextAlignment::center);
    m_previewText->setNumberOfLines(4);
    for (const auto& item : m_items) {
        if (const auto* image = std::get_if<UIImage>(&item); image && image->hasBitmap()) {
            m_preview->setImage(*image);
            break;
        }
    }
    if (!m_preview->image()) {
        for (const auto& item : m_items) {
            if (const auto* text = std::get_if<std::string>(&item)) {
                m_previewText->setText(*text);
                break;
            }
        }
    }
    if (!m_preview->image() && m_previewText->text().empty())
        m_previewText->setText("没有可分享的内容");
    m_panel->addSubview(m_preview);
    m_panel->addSubview(m_previewText);

    std::weak_ptr<UIViewController> weak = weakFromThis();
    m_outboxButton = makeButton("存到分享文件夹", UIFont::systemFont(17), "activity.shareOutbox");
    m_outboxButton->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = std::static_pointer_cast<UIActivityViewController>(weak.lock()))
            self->chooseShareOutbox();
    });
    m_panel->addSubview(m_outboxButton);

    m_cancelButton = makeButton("取消", UIFont::systemFont(17, UIFont::Weight::semibold), "activity.cancel");
    m_cancelButton->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = std::static_pointer_cast<UIActivityViewController>(weak.lock()))
            self->cancel();
    });
    view->addSubview(m_cancelButton);
}

void UIActivityViewController::layoutChildren()
{
    const auto& view = viewIfLoaded();
    if (!view || !m_panel)
        return;
    CGRect b = view->bounds();
    CGFloat bottom = std::max<CGFloat>(UIScreen::main().safeAreaInsets().bottom, sideMargin);
    CGFloat width = b.width() - 2 * sideMargin;
    m_dimming->setFrame(b);

    CGFloat cancelY = b.height() - bottom - buttonHeight;
    m_cancelButton->setFrame({ sideMargin, cancelY, width, buttonHeight });

    CGFloat panelHeight = 44 + previewHeight + 16 + buttonHeight + 8;
    CGFloat panelY = cancelY - 8 - panelHeight;
    m_panel->setFrame({ sideMargin, panelY, width, panelHeight });
    m_titleLabel->setFrame({ 16, 0, width - 32, 44 });
    m_preview->setFrame({ 16, 44, width - 32, previewHeight });
    m_previewText->setFrame({ 24, 44, width - 48, previewHeight });
    m_outboxButton->setFrame({ 8, 44 + previewHeight + 16, width - 16, buttonHeight });
}
