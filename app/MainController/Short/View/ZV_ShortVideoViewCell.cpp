#include "app/MainController/Short/View/ZV_ShortVideoViewCell.h"

#include "app/Extensions/ViewCorners.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"

namespace {

// Light text over any picture stays readable with a soft dark edge.
void addTextShadow(UIView& view)
{
    CALayer& layer = *view.layer();
    layer.setShadowOffset({ 0, 1 });
    layer.setShadowColor(UIColor::black().withAlphaComponent(0.2));
    layer.setShadowRadius(2);
    layer.setShadowOpacity(1);
}

}

ZV_ShortVideoViewCell::ZV_ShortVideoViewCell()
    : ZV_ShortVideoViewCell(CGRect {})
{ }

ZV_ShortVideoViewCell::ZV_ShortVideoViewCell(const CGRect& frame)
    : ZV_SVideoCollectionViewCell(frame)
{
    setupUI();
}

const std::shared_ptr<QMUIButton>& ZV_ShortVideoViewCell::allButton()
{
    if (!m_allButton) {
        m_allButton = std::make_shared<QMUIButton>();
        m_allButton->setTitle("播放正片");
        m_allButton->setTitleColor(UIColor::white());
        m_allButton->setFont(UIFont::systemFont(14));
        m_allButton->setImage(UIImage::named("short_right"));
        m_allButton->setImagePosition(QMUIButtonImagePosition::right);
        m_allButton->setSpacingBetweenImageAndTitle(1);
        m_allButton->setBackgroundColor(UIColor::white().withAlphaComponent(0.2));
        m_allButton->setContentEdgeInsets({ 8, 20, 8, 10 });
        addTextShadow(*m_allButton->titleLabel());
    }
    return m_allButton;
}

const std::shared_ptr<QMUIButton>& ZV_ShortVideoViewCell::shareButton()
{
    if (!m_shareButton) {
        m_shareButton = std::make_shared<QMUIButton>();
        m_shareButton->setImage(UIImage::named("short_share"));
    }
    return m_shareButton;
}

const std::shared_ptr<QMUILabel>& ZV_ShortVideoViewCell::nameLabel()
{
    if (!m_nameLabel) {
        m_nameLabel = std::make_shared<QMUILabel>();
        m_nameLabel->setTextColor(UIColor::white());
        m_nameLabel->setFont(UIFont::systemFont(20, UIFont::Weight::medium));
        addTextShadow(*m_nameLabel);
    }
    return m_nameLabel;
}

const std::shared_ptr<QMUILabel>& ZV_ShortVideoViewCell::descLabel()
{
    if (!m_descLabel) {
        m_descLabel = std::make_shared<QMUILabel>();
        m_descLabel->setNumberOfLines(0);
        m_descLabel->setTextColor(UIColor::white().withAlphaComponent(0.7));
        m_descLabel->setFont(UIFont::systemFont(14));
        addTextShadow(*m_descLabel);
    }
    return m_descLabel;
}

void ZV_ShortVideoViewCell::setupUI()
{
    // Above the picture, the cover and the icon, over the whole page.
    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(allButton());
    content->addSubview(shareButton());
    content->addSubview(nameLabel());
    content->addSubview(descLabel());

    snp(shareButton()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(content).safeAreaLayoutGuide().top()).offset(15);
        make.right().equalToSuperview().offset(-20);
        make.size().equalTo(CGSize { 24, 24 });
    });
    snp(descLabel()).makeConstraints([&](ConstraintMaker& make) {
        make.bottom().equalTo(snp(content).safeAreaLayoutGuide().bottom()).offset(-18);
        make.left().equalToSuperview().offset(24);
        make.right().equalToSuperview().offset(-24);
    });
    snp(allButton()).makeConstraints([this](ConstraintMaker& make) {
        make.bottom().equalTo(snp(descLabel()).top()).offset(-12);
        make.right().equalToSuperview().offset(-24);
        make.height().equalTo(36);
    });
    setContentHuggingPriority(*allButton(), 750, UILayoutConstraintAxis::horizontal);
    snp(nameLabel()).makeConstraints([this](ConstraintMaker& make) {
        make.centerY().equalTo(snp(allButton()).centerY());
        make.left().equalToSuperview().offset(24);
        make.right().equalTo(snp(allButton()).left()).offset(-12);
    });
}

void ZV_ShortVideoViewCell::layoutSubviews()
{
    ZV_SVideoCollectionViewCell::layoutSubviews();
    makeCorner(*allButton());
}
