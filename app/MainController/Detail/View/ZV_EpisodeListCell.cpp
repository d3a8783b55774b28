#include "app/MainController/Detail/View/ZV_EpisodeListCell.h"

#include "app/Extensions/UIImageGif.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

ZV_EpisodeListCell::ZV_EpisodeListCell()
{
    setupUI();
}

const std::shared_ptr<QMUILabel>& ZV_EpisodeListCell::name()
{
    if (!m_name) {
        m_name = std::make_shared<QMUILabel>();
        m_name->setNumberOfLines(2);
        m_name->setTextAlignment(NSTextAlignment::center);
        m_name->setTextColor(UIColor::white());
        m_name->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    }
    return m_name;
}

const std::shared_ptr<UIImageView>& ZV_EpisodeListCell::checkView()
{
    if (!m_checkView) {
        m_checkView = std::make_shared<UIImageView>(UIImage::named("selectDownload"));
        m_checkView->setHidden(true);
    }
    return m_checkView;
}

const std::shared_ptr<UIImageView>& ZV_EpisodeListCell::playingView()
{
    if (!m_playingView) {
        m_playingView = std::make_shared<UIImageView>();
        m_playingView->setHidden(true);
        // The mark's frames play in turn; whoever shows the mark starts them.
        if (std::optional<UIImage> gif = UIImageGif::gifImageNamed("playing_selected")) {
            m_playingView->setImage(gif->images().empty() ? *gif : gif->images().front());
            m_playingView->setAnimationImages(gif->images());
            m_playingView->animationDuration = gif->duration();
        }
    }
    return m_playingView;
}

void ZV_EpisodeListCell::setupUI()
{
    layer()->setCornerRadius(8);
    setClipsToBounds(true);
    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(name());
    content->addSubview(checkView());
    content->addSubview(playingView());
    snp(m_name).makeConstraints([](ConstraintMaker& make) {
        make.centerY().equalToSuperview();
        make.left().right().equalToSuperview().inset(8);
    });
    snp(m_checkView).makeConstraints([](ConstraintMaker& make) {
        make.right().bottom().equalToSuperview().inset(5);
    });
    snp(m_playingView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(6);
        make.bottom().equalToSuperview().offset(-6);
        make.size().equalTo(CGSize { 10, 10 });
    });
}
