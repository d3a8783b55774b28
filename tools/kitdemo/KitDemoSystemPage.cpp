#include "tools/kitdemo/KitDemoSystemPage.h"

#include "platform/foundation/FileSystem.h"
#include "platform/ui/QRCode.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"
#include "platform/ui/sharing/UIActivityViewController.h"
#include "tools/kitdemo/KitDemoColors.h"
#include "tools/kitdemo/KitDemoWebPage.h"

#include <cmath>

namespace {

constexpr CGFloat posterWidth = 240;
constexpr CGFloat coverHeight = 250;
constexpr CGFloat barHeight = 86;
constexpr CGFloat qrSide = 62;

std::shared_ptr<UILabel> makeLabel(const std::string& text, UIFont font, UIColor color, CGRect frame)
{
    auto label = std::make_shared<UILabel>(frame);
    label->setText(text);
    label->setFont(font);
    label->setTextColor(color);
    return label;
}

}

KitDemoSystemPage::KitDemoSystemPage(std::string serverURL, std::filesystem::path coverFile)
    : m_serverURL(std::move(serverURL))
    , m_coverFile(std::move(coverFile))
{ }

std::shared_ptr<UIView> KitDemoSystemPage::makePoster()
{
    auto poster = std::make_shared<UIView>(CGRect { 0, 0, posterWidth, coverHeight + barHeight });
    poster->setBackgroundColor(UIColor::white());
    poster->layer()->setCornerRadius(8);
    poster->setClipsToBounds(true);
    poster->setAccessibilityIdentifier("kitdemo.poster");

    auto cover = std::make_shared<UIImageView>(CGRect { 0, 0, posterWidth, coverHeight });
    cover->setImage(UIImage::fromFile(m_coverFile));
    cover->setContentMode(UIViewContentMode::scaleAspectFill);
    cover->setClipsToBounds(true);
    cover->setBackgroundColor(UIColor::white(0.8));
    poster->addSubview(cover);
    auto shade = std::make_shared<UIView>(CGRect { 0, coverHeight - 64, posterWidth, 64 });
    shade->setBackgroundColor(UIColor(0.13, 0.15, 0.19, 0.75));
    poster->addSubview(shade);
    poster->addSubview(makeLabel("山海", UIFont::boldSystemFont(20), UIColor::white(),
        { 16, coverHeight - 58, posterWidth - 32, 28 }));
    poster->addSubview(makeLabel("剧情 / 2023 / 古装", UIFont::systemFont(13), UIColor::white(1, 0.7),
        { 16, coverHeight - 28, posterWidth - 32, 20 }));

    CGFloat barTop = coverHeight;
    poster->addSubview(makeLabel("你想看的，都在这里", UIFont::systemFont(14, UIFont::Weight::medium),
        UIColor::black(), { 16, barTop + 18, posterWidth - qrSide - 40, 22 }));
    poster->addSubview(makeLabel("扫码右边二维码，立即观看", UIFont::systemFont(11), UIColor::white(0.35),
        { 16, barTop + 48, posterWidth - qrSide - 40, 18 }));

    // The code is made on the device from the share link.
    auto code = std::make_shared<UIImageView>(
        CGRect { posterWidth - 14 - qrSide, barTop + (barHeight - qrSide) / 2, qrSide, qrSide });
    auto made = QRCode::image(m_serverURL + "/help.html", qrSide, 3);
    if (auto* image = std::get_if<UIImage>(&made))
        code->setImage(*image);
    else
        showStatus("二维码生成失败：" + std::get<NSError>(made).localizedDescription());
    poster->addSubview(code);
    return poster;
}

std::shared_ptr<UIButton> KitDemoSystemPage::makeButton(
    const std::string& title, const std::string& identifier, void (KitDemoSystemPage::*action)())
{
    auto button = std::make_shared<UIButton>();
    button->setTitle(title);
    button->setTitleColor(kitdemo::inkOnMint());
    button->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
    button->setBackgroundColor(kitdemo::mint());
    button->layer()->setCornerRadius(8);
    button->setAccessibilityIdentifier(identifier);
    std::weak_ptr<UIViewController> weak = weakFromThis();
    button->addAction(UIControlEventTouchUpInside, [weak, action](UIControl&) {
        if (auto self = std::static_pointer_cast<KitDemoSystemPage>(weak.lock()))
            ((*self).*action)();
    });
    return button;
}

void KitDemoSystemPage::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(kitdemo::mist());

    m_status = std::make_shared<UILabel>();
    m_status->setFont(UIFont::systemFont(13));
    m_status->setTextColor(kitdemo::ink());
    m_status->setTextAlignment(NSTextAlignment::center);
    m_status->setNumberOfLines(3);
    m_status->setLineBreakMode(NSLineBreakMode::byCharWrapping);
    m_status->setText("海报上的二维码由设备生成");
    view()->addSubview(m_status);

    m_poster = makePoster();
    view()->addSubview(m_poster);

    m_buttons = { makeButton("网页", "kitdemo.web", &KitDemoSystemPage::openWebPage),
        makeButton("相册", "kitdemo.album", &KitDemoSystemPage::openPicker),
        makeButton("分享海报", "kitdemo.share", &KitDemoSystemPage::sharePoster) };
    for (const auto& button : m_buttons)
        view()->addSubview(button);

    m_picked = std::make_shared<UIImageView>();
    m_picked->setContentMode(UIViewContentMode::scaleAspectFit);
    view()->addSubview(m_picked);
}

void KitDemoSystemPage::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    CGRect b = view()->bounds();
    CGSize poster = m_poster->bounds().size;
    m_poster->setFrame({ std::round((b.width() - poster.width) / 2), 16, poster.width, poster.height });
    CGFloat y = 16 + poster.height + 20;
    CGFloat buttonWidth = 100;
    CGFloat gap = 12;
    CGFloat x = std::round((b.width() - 3 * buttonWidth - 2 * gap) / 2);
    for (const auto& button : m_buttons) {
        button->setFrame({ x, y, buttonWidth, 40 });
        x += buttonWidth + gap;
    }
    m_status->setFrame({ 24, y + 52, b.width() - 48, 54 });
    m_picked->setFrame(
        { std::round((b.width() - 150) / 2), y + 112, 150, std::max<CGFloat>(0, b.height() - y - 120) });
}

void KitDemoSystemPage::showStatus(const std::string& text)
{
    if (m_status)
        m_status->setText(text);
}

void KitDemoSystemPage::openWebPage()
{
    present(std::make_shared<KitDemoWebPage>(m_serverURL + "/captcha.html"), true);
}

void KitDemoSystemPage::openPicker()
{
    auto picker = std::make_shared<UIImagePickerController>();
    picker->setSourceType(UIImagePickerControllerSourceType::photoLibrary);
    picker->setAllowsEditing(true);
    picker->setDelegate(std::static_pointer_cast<KitDemoSystemPage>(sharedFromThis()));
    present(picker, true);
}

void KitDemoSystemPage::imagePickerControllerDidFinishPickingMediaWithInfo(
    UIImagePickerController& picker, const UIImagePickerMediaInfo& info)
{
    std::string name = info.fileURL.filename().string();
    if (info.mediaType == "public.image" && info.originalImage) {
        CGSize size = info.originalImage->size();
        m_picked->setImage(info.originalImage);
        showStatus("已选照片：" + name + "（" + std::to_string(static_cast<int>(size.width)) + "×"
            + std::to_string(static_cast<int>(size.height)) + "）");
    } else {
        showStatus("选中的不是图片：" + name);
    }
    picker.dismiss(true);
}

void KitDemoSystemPage::sharePoster()
{
    UIImage card = qmui_snapshotLayerImage(*m_poster);
    auto sheet = std::make_shared<UIActivityViewController>(
        std::vector<UIActivityItem> { card, m_serverURL + "/help.html" });
    std::weak_ptr<UIViewController> weak = weakFromThis();
    sheet->setCompletionWithItemsHandler(
        [weak](std::optional<std::string>, bool completed, std::optional<NSError> error) {
            auto self = std::static_pointer_cast<KitDemoSystemPage>(weak.lock());
            if (!self)
                return;
            if (error)
                return self->showStatus("分享失败：" + error->localizedDescription());
            if (!completed)
                return self->showStatus("已取消分享");
            // Share folders are named by time: the last one is this share.
            auto folders = FileSystem::list(UIActivityViewController::shareOutboxDirectory());
            self->showStatus(
                "海报与链接已写入分享文件夹\nshare-outbox/" + (folders.empty() ? "" : folders.back()));
        });
    present(sheet, true);
}
