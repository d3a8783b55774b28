#include "app/MainController/Other/View/ZV_HomeVideoCollCell.h"

#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_HomeVideoCollCell::ZV_HomeVideoCollCell()
    : ZV_HomeVideoCollCell(CGRect {})
{ }

ZV_HomeVideoCollCell::ZV_HomeVideoCollCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_titleLb(std::make_shared<UILabel>())
    , m_movieView(ZV_MovieView::make())
    , m_selBtn(std::make_shared<UIButton>())
{
    m_titleLb->setTextAlignment(NSTextAlignment::left);
    m_titleLb->setFont(UIFont::systemFont(14));
    m_titleLb->setTextColor(zvadaptive::textColor(UIColor::black()));
    m_titleLb->setNumberOfLines(1);

    m_selBtn->setImage(UIImage::named("main_nor"), UIControlStateNormal);
    m_selBtn->setImage(UIImage::named("main_sel"), UIControlStateSelected);
    m_selBtn->setUserInteractionEnabled(false);
    m_selBtn->setHidden(true);

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_titleLb);
    content->addSubview(m_movieView);
    content->addSubview(m_selBtn);

    snp(m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(8);
        make.right().equalToSuperview().offset(-8);
        make.bottom().equalToSuperview();
        make.height().equalTo(40);
    });
    snp(m_movieView).makeConstraints([this](ConstraintMaker& make) {
        make.left().top().right().equalToSuperview();
        make.bottom().equalTo(snp(m_titleLb).top());
    });
    snp(m_selBtn).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(8);
        make.right().equalToSuperview().offset(-8);
        make.size().equalTo(CGSize { 20, 20 });
    });
}

void ZV_HomeVideoCollCell::setEdit(bool edit)
{
    m_isEdit = edit;
    m_selBtn->setHidden(!edit);
}

void ZV_HomeVideoCollCell::setModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model)
{
    m_model = std::move(model);
    m_movieView->setModel(m_model);
    m_titleLb->setText(m_model ? m_model->name : std::string {});
    m_selBtn->setSelected(m_model && m_model->isSel);
}

void ZV_HomeVideoCollCell::setCollectModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model)
{
    m_collectModel = std::move(model);
    m_movieView->setCollectModel(m_collectModel);
    m_titleLb->setText(m_collectModel ? m_collectModel->movie_name : std::string {});
    m_selBtn->setSelected(m_collectModel && m_collectModel->isSel);
}
