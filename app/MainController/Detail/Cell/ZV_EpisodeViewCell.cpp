#include "app/MainController/Detail/Cell/ZV_EpisodeViewCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

ZV_EpisodeViewCell::ZV_EpisodeViewCell()
    : m_name(UIView::create<QMUILabel>())
    , m_download(UIView::create<UIImageView>(UIImage::named("selectDownload")))
{
    setupUI();
}

void ZV_EpisodeViewCell::setupUI()
{
    layer()->setCornerRadius(8);
    setClipsToBounds(true);
    contentView()->setBackgroundColor(zvadaptive::fillColor(colorWithHex("F3F5F9")));
    m_name->setFont(UIFont::boldSystemFont(14));
    m_name->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_name->setTextAlignment(NSTextAlignment::center);
    m_download->setHidden(true);
    contentView()->addSubview(m_name);
    contentView()->addSubview(m_download);
    snp(m_name).makeConstraints([](ConstraintMaker& make) {
        make.centerY().equalToSuperview();
        make.left().right().equalToSuperview().inset(16);
    });
    snp(m_download).makeConstraints([](ConstraintMaker& make) {
        make.right().bottom().equalToSuperview().offset(-5);
    });
}
