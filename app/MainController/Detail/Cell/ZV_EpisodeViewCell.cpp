#include "app/MainController/Detail/Cell/ZV_EpisodeViewCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

ZV_EpisodeViewCell::ZV_EpisodeViewCell()
{
    setupUI();
}

const std::shared_ptr<QMUILabel>& ZV_EpisodeViewCell::zv_name()
{
    if (!m_name) {
        m_name = UIView::create<QMUILabel>();
        m_name->setFont(UIFont::boldSystemFont(14));
        m_name->setTextColor(colorWithHex("1D1942"));
        m_name->setTextAlignment(NSTextAlignment::center);
    }
    return m_name;
}

const std::shared_ptr<UIImageView>& ZV_EpisodeViewCell::zv_download()
{
    if (!m_download) {
        m_download = std::make_shared<UIImageView>(UIImage::named("selectDownload"));
        m_download->setHidden(true);
    }
    return m_download;
}

void ZV_EpisodeViewCell::setupUI()
{
    layer()->setCornerRadius(8);
    setClipsToBounds(true);
    setBackgroundColor(colorWithHex("F3F5F9"));
    contentView()->addSubview(zv_name());
    contentView()->addSubview(zv_download());
    snp(m_name).makeConstraints([](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.left().right().equalToSuperview().inset(16);
    });
    snp(m_download).makeConstraints([](ConstraintMaker& make) {
        make.right().bottom().equalToSuperview().offset(-5);
    });
}
