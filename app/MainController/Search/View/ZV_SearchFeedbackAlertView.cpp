#include "app/MainController/Search/View/ZV_SearchFeedbackAlertView.h"

#include "app/BaseController/BaseCollectionReusableView.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/BaseCollectionViewLeftAlignedLayout.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackCell.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackExtraCell.h"
#include "app/MainController/Search/View/ZV_SearchHeaderReusableView.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewLayoutAttributes.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <vector>

namespace {

constexpr int kTypesSection = 0;
constexpr unsigned kTopCorners = 1 | 2;

const std::vector<ZV_ConfigDataFeedback>& feedbackTypes()
{
    static const std::vector<ZV_ConfigDataFeedback> none;
    const auto& config = ConfigSingleton::shared().zv_configData;
    return config ? config->feedback : none;
}

}

std::shared_ptr<ZV_SearchFeedbackAlertView> ZV_SearchFeedbackAlertView::create(const CGRect& frame)
{
    auto form = std::make_shared<ZV_SearchFeedbackAlertView>(frame);
    form->wire();
    return form;
}

ZV_SearchFeedbackAlertView::ZV_SearchFeedbackAlertView(const CGRect& frame)
    : UIView(frame)
    , m_contentView(std::make_shared<UIView>())
    , m_closeBtn(std::make_shared<QMUIButton>())
    , m_titleLabel(std::make_shared<QMUILabel>())
    , m_sendBtn(std::make_shared<QMUIButton>())
{
    m_contentView->setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));

    m_closeBtn->setImage(zvadaptive::iconImage(UIImage::named("login_close")), UIControlStateNormal);

    m_titleLabel->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_titleLabel->setTextColor(zvadaptive::textColor(UIColor::black()));
    m_titleLabel->setTextAlignment(NSTextAlignment::center);
    m_titleLabel->setText("反馈/求片");

    auto layout = std::make_shared<BaseCollectionViewLeftAlignedLayout>();
    m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
    m_collectionView->setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
    m_collectionView->setContentInset({});
    registerCell<ZV_SearchFeedbackCell>(*m_collectionView);
    m_collectionView->registerClass(
        UICollectionView::CellFactory([] { return ZV_SearchFeedbackExtraCell::create(); }),
        reuseIdentifier<ZV_SearchFeedbackExtraCell>());
    m_collectionView->registerClass(
        UICollectionView::SupplementaryFactory([] { return ZV_SearchHeaderReusableView::create(); }),
        UICollectionElementKindSectionHeader, reuseIdentifier<ZV_SearchHeaderReusableView>());
    registerSupplementaryView<BaseCollectionReusableView>(
        *m_collectionView, UICollectionElementKindSectionFooter);

    m_sendBtn->setTitle(std::string("提交"), UIControlStateNormal);
    m_sendBtn->setTitleColor(colorWithHex("1D1942"), UIControlStateNormal);
    m_sendBtn->setBackgroundColor(colorWithHex("03FFE1"));
    makeCorner(*m_sendBtn, 8);
}

void ZV_SearchFeedbackAlertView::wire()
{
    addSubview(m_contentView);
    m_contentView->addSubview(m_closeBtn);
    m_contentView->addSubview(m_titleLabel);
    m_contentView->addSubview(m_collectionView);
    m_contentView->addSubview(m_sendBtn);

    snp(m_contentView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_closeBtn).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(15);
        make.right().equalToSuperview().offset(-15);
        make.size().equalTo(CGSize { 24, 24 });
    });
    snp(m_titleLabel).makeConstraints([this](ConstraintMaker& make) {
        make.centerX().equalToSuperview();
        make.centerY().equalTo(snp(m_closeBtn).centerY());
        make.right().lessThanOrEqualTo(snp(m_closeBtn).left()).offset(-10);
    });
    snp(m_collectionView).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.top().equalTo(snp(m_titleLabel).bottom()).offset(15);
    });
    snp(m_sendBtn).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_collectionView).bottom()).offset(12);
        make.left().equalToSuperview().offset(24);
        make.right().equalToSuperview().offset(-24);
        make.height().equalTo(44);
        make.bottom().equalToSuperview().offset(-(keyWindowSafeAreaInsets().bottom + 12));
    });

    std::weak_ptr<ZV_SearchFeedbackAlertView> weak
        = std::static_pointer_cast<ZV_SearchFeedbackAlertView>(sharedFromThis());
    m_collectionView->setDataSource(weak);
    m_collectionView->setDelegate(weak);
    m_closeBtn->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = weak.lock(); self && self->closeBlock)
            self->closeBlock();
    });
    m_sendBtn->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = weak.lock())
            self->submit();
    });
}

void ZV_SearchFeedbackAlertView::submit()
{
    if (!type_id) {
        QMUITips::showWithText("请先选择问题类型");
        return;
    }
    if (!content || content->empty()) {
        QMUITips::showWithText("请描述问题");
        return;
    }
    JSON parameters = JSON::object({ { "type_id", *type_id }, { "content", *content }, { "extra", "" } });
    std::weak_ptr<ZV_SearchFeedbackAlertView> weak
        = std::static_pointer_cast<ZV_SearchFeedbackAlertView>(sharedFromThis());
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), "v1/user/feedback/submit",
        parameters, [weak](std::optional<JSON>, std::optional<NSError> error) {
            auto self = weak.lock();
            if (!self)
                return;
            if (error) {
                QMUITips::showWithText(error->domain);
                return;
            }
            if (self->closeBlock)
                self->closeBlock();
            QMUITips::showWithText("提交成功");
        });
}

void ZV_SearchFeedbackAlertView::layoutSubviews()
{
    UIView::layoutSubviews();
    makeCornerByRoundingCorners(*m_contentView, kTopCorners, 24);
}

int ZV_SearchFeedbackAlertView::numberOfItems(UICollectionView&, int section)
{
    return section == kTypesSection ? static_cast<int>(feedbackTypes().size()) : 1;
}

std::shared_ptr<UICollectionViewCell> ZV_SearchFeedbackAlertView::cellForItem(
    UICollectionView& collectionView, const IndexPath& indexPath)
{
    if (indexPath.section == kTypesSection) {
        auto cell = dequeueCell<ZV_SearchFeedbackCell>(collectionView, indexPath);
        const auto& types = feedbackTypes();
        cell->model.reset();
        if (indexPath.item < static_cast<int>(types.size()))
            cell->model = types[indexPath.item];
        cell->titleLb()->setText(cell->model ? cell->model->name : std::string {});
        bool chosen = cell->model && type_id && cell->model->value == *type_id;
        // The chosen teal stays bright in the dark style: its navy title stays with it.
        cell->contentView()->setBackgroundColor(
            chosen ? colorWithHex("03FFE1") : zvadaptive::raisedColor(colorWithHex("F3F5F9")));
        cell->titleLb()->setTextColor(
            chosen ? colorWithHex("1D1942") : zvadaptive::textColor(colorWithHex("1D1942")));
        return cell;
    }
    auto cell = dequeueCell<ZV_SearchFeedbackExtraCell>(collectionView, indexPath);
    std::weak_ptr<ZV_SearchFeedbackAlertView> weak
        = std::static_pointer_cast<ZV_SearchFeedbackAlertView>(sharedFromThis());
    // A reload may hand back another cell: it shows the text typed so far.
    if (cell->zv_contentView()->text() != content.value_or(""))
        cell->zv_contentView()->setText(content.value_or(""));
    cell->stringBlock = [weak](const std::string& text) {
        if (auto self = weak.lock())
            self->content = text;
    };
    return cell;
}

std::shared_ptr<UICollectionReusableView> ZV_SearchFeedbackAlertView::viewForSupplementaryElement(
    UICollectionView& collectionView, const std::string& kind, const IndexPath& indexPath)
{
    if (kind != UICollectionElementKindSectionHeader)
        return dequeueSupplementaryView<BaseCollectionReusableView>(collectionView, kind, indexPath);
    auto header = dequeueSupplementaryView<ZV_SearchHeaderReusableView>(collectionView, kind, indexPath);
    header->zv_iconView()->setHidden(true);
    header->zv_title()->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    header->zv_title()->setText(
        indexPath.section == kTypesSection ? "选择遇到的问题" : "详细描述问题（必填）");
    return header;
}

void ZV_SearchFeedbackAlertView::didSelectItem(UICollectionView& collectionView, const IndexPath& indexPath)
{
    const auto& types = feedbackTypes();
    if (indexPath.section != kTypesSection || indexPath.item >= static_cast<int>(types.size()))
        return;
    type_id = types[indexPath.item].value;
    collectionView.reloadData();
}

std::optional<CGSize> ZV_SearchFeedbackAlertView::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    CGFloat width = screenWidth();
    if (indexPath.section == kTypesSection)
        return CGSize { (width - 48 - 16) / 3, 44 };
    return CGSize { width - 48, 180 };
}

std::optional<UIEdgeInsets> ZV_SearchFeedbackAlertView::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets { 0, 24, 4, 24 };
}

std::optional<CGFloat> ZV_SearchFeedbackAlertView::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 8;
}

std::optional<CGFloat> ZV_SearchFeedbackAlertView::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 8;
}

std::optional<CGSize> ZV_SearchFeedbackAlertView::referenceSizeForHeader(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return CGSize { screenWidth(), 44 };
}
