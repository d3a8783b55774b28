#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterItemCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <optional>

ZV_PersonalCenterItemCell::ZV_PersonalCenterItemCell()
    : ZV_PersonalCenterItemCell(CGRect {})
{ }

ZV_PersonalCenterItemCell::ZV_PersonalCenterItemCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_imageView(UIView::create<UIImageView>())
    , m_titleLb(UIView::create<UILabel>())
{
    makeCorner(*m_imageView, 28);
    m_titleLb->setTextAlignment(NSTextAlignment::center);
    m_titleLb->setFont(UIFont::systemFont(14));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("222222")));
    contentView()->addSubview(m_imageView);
    contentView()->addSubview(m_titleLb);
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview();
        make.centerX().equalToSuperview();
        make.width().height().equalTo(56);
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_imageView).bottom()).offset(8);
        make.left().right().bottom().equalToSuperview();
    });
}

void ZV_PersonalCenterItemCell::setRowType(PersonalCenterRowType rowType)
{
    m_rowType = rowType;
    struct Look {
        const char* image;
        const char* title;
        const char* identifier;
    };
    std::optional<Look> look;
    switch (rowType) {
    case PersonalCenterRowType::collect:
        look = Look { "mine_collect", "我的收藏", "mine.collect" };
        break;
    case PersonalCenterRowType::record:
        look = Look { "mine_record", "播放记录", "mine.record" };
        break;
    case PersonalCenterRowType::download:
        look = Look { "mine_download", "本地下载", "mine.download" };
        break;
    default:
        break;
    }
    if (!look)
        return;
    m_imageView->setImage(UIImage::named(look->image));
    m_titleLb->setText(look->title);
    setAccessibilityIdentifier(look->identifier);
}
