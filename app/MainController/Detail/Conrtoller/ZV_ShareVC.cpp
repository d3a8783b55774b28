#include "app/MainController/Detail/Conrtoller/ZV_ShareVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewGradient.h"
#include "app/MainController/Detail/Cell/ZV_PlayerInfoCell.h"
#include "platform/net/AbsoluteURL.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/effects/UIVisualEffectView.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIAssetsManager.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"
#include "platform/ui/sharing/UIActivityViewController.h"
#include "platform/ui/sharing/UIPasteboard.h"

namespace {

std::shared_ptr<UILabel> posterLabel(UIFont font, const UIColor& color, int lines = 1)
{
    auto label = UIView::create<UILabel>();
    label->setFont(std::move(font));
    label->setTextColor(color);
    label->setNumberOfLines(lines);
    return label;
}

std::shared_ptr<QMUIButton> makeAction(const std::string& title, const char* image, const std::string& identifier)
{
    auto button = UIView::create<QMUIButton>();
    button->setTitle(title);
    button->setImage(UIImage::named(image));
    button->setImagePosition(QMUIButtonImagePosition::top);
    button->setSpacingBetweenImageAndTitle(4);
    button->setTitleColor(UIColor::white());
    button->setFont(UIFont::systemFont(12));
    button->setAccessibilityIdentifier(identifier);
    return button;
}

// The placeholder for an address that does not parse, else the picture from the address.
void loadImage(UIImageView& view, const std::string& address)
{
    if (!parsesAsURL(address)) {
        view.setImage(placeholderImage());
        return;
    }
    sd_setImage(view, address, placeholderImage());
}

}

ZV_ShareVC::ZV_ShareVC() = default;

// ---- Parts ----

const std::shared_ptr<UIImageView>& ZV_ShareVC::backgroundView()
{
    if (!m_backgroundView) {
        m_backgroundView = UIView::create<UIImageView>();
        m_backgroundView->setContentMode(UIViewContentMode::scaleAspectFill);
        m_backgroundView->setClipsToBounds(true);
    }
    return m_backgroundView;
}

const std::shared_ptr<UIVisualEffectView>& ZV_ShareVC::blurView()
{
    if (!m_blurView) {
        m_blurView = UIView::create<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(20));
        m_blurView->qmui_setForegroundColor(UIColor::black().withAlphaComponent(0.4));
    }
    return m_blurView;
}

const std::shared_ptr<QMUIButton>& ZV_ShareVC::backBtn()
{
    if (!m_backBtn) {
        m_backBtn = UIView::create<QMUIButton>();
        m_backBtn->setImage(UIImage::named("playerback"));
        m_backBtn->setAccessibilityIdentifier("share.back");
    }
    return m_backBtn;
}

const std::shared_ptr<UIView>& ZV_ShareVC::cardView()
{
    if (!m_cardView) {
        m_cardView = UIView::create();
        m_cardView->layer()->setCornerRadius(8);
        m_cardView->setClipsToBounds(true);
        m_cardView->setAccessibilityIdentifier("share.card");
    }
    return m_cardView;
}

const std::shared_ptr<UIImageView>& ZV_ShareVC::coverView()
{
    if (!m_coverView) {
        m_coverView = UIView::create<UIImageView>();
        m_coverView->setContentMode(UIViewContentMode::scaleAspectFill);
        m_coverView->setClipsToBounds(true);
    }
    return m_coverView;
}

const std::shared_ptr<UIView>& ZV_ShareVC::shadowView()
{
    if (!m_shadowView)
        m_shadowView = UIView::create();
    return m_shadowView;
}

const std::shared_ptr<UILabel>& ZV_ShareVC::videoName()
{
    if (!m_videoName)
        m_videoName = posterLabel(UIFont::boldSystemFont(20), UIColor::white());
    return m_videoName;
}

const std::shared_ptr<UILabel>& ZV_ShareVC::videoType()
{
    if (!m_videoType)
        m_videoType = posterLabel(UIFont::systemFont(14), UIColor::white().withAlphaComponent(0.7));
    return m_videoType;
}

const std::shared_ptr<UILabel>& ZV_ShareVC::videoActor()
{
    if (!m_videoActor)
        m_videoActor = posterLabel(UIFont::systemFont(12), UIColor::white());
    return m_videoActor;
}

const std::shared_ptr<UIView>& ZV_ShareVC::videoLine()
{
    if (!m_videoLine) {
        m_videoLine = UIView::create();
        m_videoLine->setBackgroundColor(UIColor::white().withAlphaComponent(0.1));
    }
    return m_videoLine;
}

const std::shared_ptr<UILabel>& ZV_ShareVC::videoDesc()
{
    if (!m_videoDesc)
        m_videoDesc = posterLabel(UIFont::systemFont(12), UIColor::white().withAlphaComponent(0.7), 2);
    return m_videoDesc;
}

const std::shared_ptr<UIView>& ZV_ShareVC::bottomView()
{
    if (!m_bottomView) {
        m_bottomView = UIView::create();
        m_bottomView->setBackgroundColor(UIColor::white());
    }
    return m_bottomView;
}

const std::shared_ptr<UILabel>& ZV_ShareVC::bottomTitle()
{
    if (!m_bottomTitle) {
        m_bottomTitle = posterLabel(UIFont::systemFont(16, UIFont::Weight::medium), UIColor::black());
        m_bottomTitle->setText("你想看的，都在Vexo");
    }
    return m_bottomTitle;
}

const std::shared_ptr<UILabel>& ZV_ShareVC::bottomSubtitle()
{
    if (!m_bottomSubtitle) {
        m_bottomSubtitle = posterLabel(UIFont::systemFont(12), UIColor::black());
        m_bottomSubtitle->setText("扫码右边二维码，立即观看");
    }
    return m_bottomSubtitle;
}

const std::shared_ptr<UIImageView>& ZV_ShareVC::bottomQRCodeView()
{
    if (!m_bottomQRCodeView)
        m_bottomQRCodeView = UIView::create<UIImageView>();
    return m_bottomQRCodeView;
}

const std::shared_ptr<UIStackView>& ZV_ShareVC::stackView()
{
    if (!m_stackView) {
        m_stackView = UIView::create<UIStackView>();
        m_stackView->setAxis(UILayoutConstraintAxis::horizontal);
        m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
        m_stackView->setSpacing(32);
    }
    return m_stackView;
}

const std::shared_ptr<QMUIButton>& ZV_ShareVC::shareBtn()
{
    if (!m_shareBtn)
        m_shareBtn = makeAction("分享", "shareIcon", "share.share");
    return m_shareBtn;
}

const std::shared_ptr<QMUIButton>& ZV_ShareVC::saveBtn()
{
    if (!m_saveBtn)
        m_saveBtn = makeAction("保存海报", "shareSave", "share.save");
    return m_saveBtn;
}

const std::shared_ptr<QMUIButton>& ZV_ShareVC::copyBtn()
{
    if (!m_copyBtn)
        m_copyBtn = makeAction("复制链接", "shareCopy", "share.copy");
    return m_copyBtn;
}

const std::shared_ptr<UIView>& ZV_ShareVC::bottomLine()
{
    if (!m_bottomLine) {
        m_bottomLine = UIView::create();
        m_bottomLine->setBackgroundColor(UIColor::white().withAlphaComponent(0.1));
    }
    return m_bottomLine;
}

const std::shared_ptr<QMUIButton>& ZV_ShareVC::cancelBtn()
{
    if (!m_cancelBtn) {
        m_cancelBtn = UIView::create<QMUIButton>();
        m_cancelBtn->setTitle("取消");
        m_cancelBtn->setTitleColor(UIColor::white());
        m_cancelBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
        m_cancelBtn->setAccessibilityIdentifier("share.cancel");
    }
    return m_cancelBtn;
}

// ---- Screen ----

void ZV_ShareVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
}

void ZV_ShareVC::viewDidLayoutSubviews()
{
    BaseViewController::viewDidLayoutSubviews();
    // The gradient follows the cover's size.
    addVerticalGradient(*shadowView(), { colorWithHex("#212631", 0), colorWithHex("#212631", 0.9) });
}

void ZV_ShareVC::setupUI()
{
    const std::shared_ptr<UIView>& root = view();
    root->setBackgroundColor(UIColor::black());
    root->addSubview(backgroundView());
    backgroundView()->addSubview(blurView());
    root->addSubview(backBtn());
    root->addSubview(cardView());
    root->addSubview(stackView());
    root->addSubview(bottomLine());
    root->addSubview(cancelBtn());
    cardView()->addSubview(coverView());
    cardView()->addSubview(bottomView());
    for (const auto& part : { shadowView(), std::static_pointer_cast<UIView>(videoName()),
             std::static_pointer_cast<UIView>(videoType()), std::static_pointer_cast<UIView>(videoActor()),
             videoLine(), std::static_pointer_cast<UIView>(videoDesc()) })
        coverView()->addSubview(part);
    bottomView()->addSubview(bottomTitle());
    bottomView()->addSubview(bottomSubtitle());
    bottomView()->addSubview(bottomQRCodeView());
    for (const auto& button : { shareBtn(), saveBtn(), copyBtn() })
        stackView()->addArrangedSubview(button);

    CGFloat width = screenWidth();
    snp(backgroundView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(blurView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(backBtn()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top()).offset(15);
        make.left().equalToSuperview().offset(24);
    });
    snp(cardView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top()).offset(68);
        make.left().right().equalToSuperview().inset(32);
        make.height().equalTo((width - 64) * 1.585);
    });
    snp(bottomView()).makeConstraints([](ConstraintMaker& make) {
        make.left().right().bottom().equalToSuperview();
        make.height().equalTo(86);
    });
    snp(coverView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
        make.bottom().equalTo(snp(bottomView()).top());
    });
    snp(shadowView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(videoDesc()).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(18);
        make.bottom().equalToSuperview().offset(-16);
    });
    snp(videoLine()).makeConstraints([this](ConstraintMaker& make) {
        make.height().equalTo(1);
        make.left().right().equalToSuperview().inset(18);
        make.bottom().equalTo(snp(videoDesc()).top()).offset(-8);
    });
    snp(videoActor()).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(18);
        make.bottom().equalTo(snp(videoLine()).top()).offset(-8);
    });
    snp(videoType()).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(18);
        make.bottom().equalTo(snp(videoActor()).top()).offset(-2);
    });
    snp(videoName()).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(18);
        make.bottom().equalTo(snp(videoType()).top()).offset(-12);
    });
    snp(bottomTitle()).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(22);
        make.left().equalToSuperview().offset(26);
    });
    snp(bottomSubtitle()).makeConstraints([](ConstraintMaker& make) {
        make.bottom().equalToSuperview().offset(-21);
        make.left().equalToSuperview().offset(26);
    });
    snp(bottomQRCodeView()).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 63, 63 });
    });
    snp(stackView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(cardView()).bottom()).offset(32);
        make.centerX().equalToSuperview();
    });
    snp(bottomLine()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(stackView()).bottom()).offset(16);
        make.left().right().equalToSuperview().inset(36);
        make.height().equalTo(1);
    });
    snp(cancelBtn()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(bottomLine()).bottom()).offset(16);
        make.left().right().equalToSuperview().inset(36);
        make.height().equalTo(44);
    });

    std::weak_ptr<UIViewController> weak = weakFromThis();
    auto on = [weak](void (ZV_ShareVC::*action)()) {
        return [weak, action](UIControl&) {
            if (auto self = std::static_pointer_cast<ZV_ShareVC>(weak.lock()))
                ((*self).*action)();
        };
    };
    auto pop = [weak](UIControl&) {
        if (auto self = weak.lock(); self && self->navigationController())
            self->navigationController()->popViewController(true);
    };
    shareBtn()->addAction(UIControlEventTouchUpInside, on(&ZV_ShareVC::zv_clickShare));
    saveBtn()->addAction(UIControlEventTouchUpInside, on(&ZV_ShareVC::zv_clickSave));
    copyBtn()->addAction(UIControlEventTouchUpInside, on(&ZV_ShareVC::copyLink));
    backBtn()->addAction(UIControlEventTouchUpInside, pop);
    cancelBtn()->addAction(UIControlEventTouchUpInside, pop);
}

std::string ZV_ShareVC::typeLine(const ZV_DetailModel& model)
{
    return ZV_PlayerInfoCell::infoText(model, " / ");
}

std::string ZV_ShareVC::actorLine(const ZV_DetailModel& model)
{
    std::string line;
    if (!model.members)
        return line;
    for (const auto& member : *model.members) {
        if (!member || member->type != ZV_DetailDataListMembersModel::membersType::actor)
            continue;
        if (!line.empty())
            line += " | ";
        line += member->name;
    }
    return line;
}

void ZV_ShareVC::fillContent()
{
    if (const auto& config = ConfigSingleton::shared().zv_configData)
        loadImage(*bottomQRCodeView(), config->share_qrcode);
    std::string cover = model ? model->cover.value_or("") : std::string();
    loadImage(*backgroundView(), cover);
    loadImage(*coverView(), cover);
    videoName()->setText(model ? model->name.value_or("") : std::string());
    videoType()->setText(model ? typeLine(*model) : std::string());
    videoActor()->setText(model ? actorLine(*model) : std::string());
    videoDesc()->setText(model ? model->content.value_or("") : std::string());
}

void ZV_ShareVC::sharePoster()
{
    UIImage poster = qmui_snapshotLayerImage(*cardView());
    present(std::make_shared<UIActivityViewController>(std::vector<UIActivityItem> { poster }), true);
}

void ZV_ShareVC::savePoster()
{
    UIImage poster = qmui_snapshotLayerImage(*cardView());
    QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(poster, std::make_shared<QMUIAssetsGroup>(),
        [](std::optional<QMUIAsset>, std::optional<NSError> error) {
            if (!error)
                QMUITips::showSucceed(savedTip);
        });
}

void ZV_ShareVC::copyLink()
{
    const auto& config = ConfigSingleton::shared().zv_configData;
    // Only a web address goes on the pasteboard.
    if (!config || !isAbsoluteURL(config->share_link, { "http", "https" }))
        return;
    UIPasteboard::general().setString(config->share_link);
    QMUITips::showWithText(copiedTip);
}
