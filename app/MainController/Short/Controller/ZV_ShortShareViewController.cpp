#include "app/MainController/Short/Controller/ZV_ShortShareViewController.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Short/Model/ZV_ShortModel.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIAssetsManager.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"

ZV_ShortShareViewController::ZV_ShortShareViewController() = default;

const std::shared_ptr<UIButton>& ZV_ShortShareViewController::closeButton()
{
    if (!m_closeButton) {
        m_closeButton = std::make_shared<UIButton>();
        m_closeButton->setImage(UIImage::named("close"));
    }
    return m_closeButton;
}

const std::shared_ptr<QMUIButton>& ZV_ShortShareViewController::saveButton()
{
    if (!m_saveButton) {
        m_saveButton = std::make_shared<QMUIButton>();
        m_saveButton->setImage(UIImage::named("saveImage"));
        m_saveButton->setTitle("保存到相册");
        m_saveButton->setImagePosition(QMUIButtonImagePosition::top);
        m_saveButton->setSpacingBetweenImageAndTitle(6);
        // Under the card, on the page: white on the dark page that the short-video pages keep.
        m_saveButton->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942", 1.0)));
        m_saveButton->setFont(UIFont::systemFont(15));
    }
    return m_saveButton;
}

const std::shared_ptr<UIView>& ZV_ShortShareViewController::zv_cardView()
{
    if (!m_cardView) {
        m_cardView = std::make_shared<UIView>();
        makeCorner(*m_cardView, 10);
        m_cardView->setBackgroundColor(colorWithHex("1D1942", 1.0));
    }
    return m_cardView;
}

const std::shared_ptr<UIView>& ZV_ShortShareViewController::infoView()
{
    if (!m_infoView) {
        m_infoView = std::make_shared<UIView>();
        m_infoView->setBackgroundColor(UIColor::label());
    }
    return m_infoView;
}

const std::shared_ptr<UIImageView>& ZV_ShortShareViewController::coverView()
{
    if (!m_coverView) {
        m_coverView = std::make_shared<UIImageView>(placeholderImage());
        m_coverView->setClipsToBounds(true);
        m_coverView->setContentMode(UIViewContentMode::scaleAspectFill);
    }
    return m_coverView;
}

const std::shared_ptr<UILabel>& ZV_ShortShareViewController::titleLabel()
{
    if (!m_titleLabel) {
        m_titleLabel = std::make_shared<UILabel>();
        m_titleLabel->setTextColor(colorWithHex("28272C", 1.0));
        m_titleLabel->setFont(UIFont::systemFont(18));
    }
    return m_titleLabel;
}

const std::shared_ptr<UIImageView>& ZV_ShortShareViewController::logoView()
{
    if (!m_logoView) {
        m_logoView = std::make_shared<UIImageView>(UIImage::named("logo"));
        makeCorner(*m_logoView, 10);
        CALayer& layer = *m_logoView->layer();
        layer.setShadowColor(UIColor::black().withAlphaComponent(0.25));
        layer.setShadowOffset({ 0, 2 });
        layer.setShadowRadius(4);
        layer.setShadowOpacity(1);
    }
    return m_logoView;
}

const std::shared_ptr<UILabel>& ZV_ShortShareViewController::appName()
{
    if (!m_appName) {
        m_appName = std::make_shared<UILabel>();
        std::optional<PropertyList> name = Bundle::main().infoObject("CFBundleDisplayName");
        const std::string* text = name ? name->asString() : nullptr;
        m_appName->setText(text ? *text : std::string {});
        m_appName->setTextColor(colorWithHex("28272C", 1.0));
        m_appName->setFont(UIFont::systemFont(10));
    }
    return m_appName;
}

const std::shared_ptr<UILabel>& ZV_ShortShareViewController::infoLabel()
{
    if (!m_infoLabel) {
        m_infoLabel = std::make_shared<UILabel>();
        m_infoLabel->setNumberOfLines(2);
        m_infoLabel->setTextAlignment(NSTextAlignment::right);
        // On the card's band, white in the dark style: the faded navy darkens until it reads there.
        m_infoLabel->setTextColor(
            UIColor::dynamic(colorWithHex("1D1942", 0.3), colorWithHex("1D1942", 0.75)));
        m_infoLabel->setFont(UIFont::systemFont(12));
        m_infoLabel->setText("长按识别二维码\n海量视频等你来看");
    }
    return m_infoLabel;
}

const std::shared_ptr<UIImageView>& ZV_ShortShareViewController::qrcodeView()
{
    if (!m_qrcodeView)
        m_qrcodeView = std::make_shared<UIImageView>();
    return m_qrcodeView;
}

void ZV_ShortShareViewController::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    fill();
}

void ZV_ShortShareViewController::setupUI()
{
    const std::shared_ptr<UIView>& root = view();
    root->addSubview(closeButton());
    root->addSubview(saveButton());
    root->addSubview(zv_cardView());
    for (const auto& part : { infoView(), std::static_pointer_cast<UIView>(coverView()),
             std::static_pointer_cast<UIView>(titleLabel()), std::static_pointer_cast<UIView>(logoView()),
             std::static_pointer_cast<UIView>(appName()), std::static_pointer_cast<UIView>(infoLabel()),
             std::static_pointer_cast<UIView>(qrcodeView()) })
        zv_cardView()->addSubview(part);

    snp(saveButton()).makeConstraints([](ConstraintMaker& make) {
        make.bottom().equalToSuperview().offset(-77);
        make.centerX().equalToSuperview();
    });
    snp(zv_cardView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top()).offset(90);
        make.bottom().equalTo(snp(saveButton()).top()).offset(-30);
        make.left().right().equalToSuperview().inset(34);
    });
    snp(closeButton()).makeConstraints([this](ConstraintMaker& make) {
        make.bottom().equalTo(snp(zv_cardView()).top()).offset(-13);
        make.right().equalTo(snp(zv_cardView()).right()).offset(-10);
    });
    snp(infoView()).makeConstraints([](ConstraintMaker& make) {
        make.left().bottom().right().equalToSuperview();
        make.height().equalTo(123);
    });
    snp(coverView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
        make.bottom().equalTo(snp(infoView()).top());
    });
    snp(titleLabel()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(coverView()).bottom()).offset(8);
        make.left().right().equalToSuperview().inset(20);
    });
    snp(logoView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(titleLabel()).bottom()).offset(20);
        make.left().equalToSuperview().offset(20);
        make.size().equalTo(CGSize { 36, 36 });
    });
    snp(appName()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(logoView()).bottom()).offset(2);
        make.centerX().equalTo(snp(logoView()).centerX());
    });
    snp(qrcodeView()).makeConstraints([](ConstraintMaker& make) {
        make.right().bottom().equalToSuperview().inset(18);
        make.size().equalTo(CGSize { 53, 53 });
    });
    snp(infoLabel()).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalTo(snp(qrcodeView()).left()).offset(-6);
        make.bottom().equalTo(snp(qrcodeView()).bottom());
    });

    std::weak_ptr<UIViewController> weak = weakFromThis();
    closeButton()->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = weak.lock())
            self->dismiss(true);
    });
    saveButton()->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = std::static_pointer_cast<ZV_ShortShareViewController>(weak.lock()))
            self->save();
    });
}

void ZV_ShortShareViewController::fill()
{
    std::string cover = model ? model->cover.value_or("") : std::string {};
    if (parsesAsURL(cover))
        sd_setImage(*coverView(), cover, placeholderImage());
    titleLabel()->setText(std::string(slogan) + (model ? model->title.value_or("") : std::string {}));
    std::string qrcode = BaseURLs::main_url() + "down/qrcode.png";
    if (parsesAsURL(qrcode))
        sd_setImage(*qrcodeView(), qrcode);
}

void ZV_ShortShareViewController::save()
{
    UIImage poster = qmui_snapshotLayerImage(*zv_cardView());
    QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(poster, std::make_shared<QMUIAssetsGroup>(),
        [](std::optional<QMUIAsset>, std::optional<NSError> error) {
            if (!error)
                QMUITips::showSucceed(savedTip);
        });
}
