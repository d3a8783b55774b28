#include "app/MainController/Chat/View/ZV_ChatMushinAlertView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Extensions/BaseCollectionViewLeftAlignedLayout.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackCell.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"

// The chip grid's data source and layout answers, for the picker it belongs to.
class ZV_ChatMushinAlertView::Grid final : public UICollectionViewDataSource,
                                           public UICollectionViewDelegateFlowLayout {
public:
    explicit Grid(ZV_ChatMushinAlertView& picker)
        : m_picker(picker)
    { }

    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_picker.list().size()); }

    std::shared_ptr<UICollectionViewCell> cellForItem(
        UICollectionView& view, const IndexPath& indexPath) override
    {
        auto cell = dequeueCell<ZV_SearchFeedbackCell>(view, indexPath);
        cell->titleLb()->setText(m_picker.list()[static_cast<std::size_t>(indexPath.item)]);
        bool chosen = indexPath.item == m_picker.index();
        // The chosen teal stays bright in the dark style: its navy title stays with it.
        cell->contentView()->setBackgroundColor(
            chosen ? colorWithHex("03FFE1") : zvadaptive::raisedColor(colorWithHex("F3F5F9")));
        cell->titleLb()->setTextColor(
            chosen ? colorWithHex("1D1942") : zvadaptive::textColor(colorWithHex("1D1942")));
        return cell;
    }

    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override
    {
        return CGSize { (screenWidth() - 48 - 16) / 3, 44 };
    }
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override
    {
        return UIEdgeInsets { 24, 24, 4, 24 };
    }
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override
    {
        return 8;
    }
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override
    {
        return 8;
    }
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override
    {
        m_picker.selectItem(indexPath.item);
    }

private:
    ZV_ChatMushinAlertView& m_picker;
};

void ZV_ChatMushinAlertView::registerInBottomSheet()
{
    ZV_ShowBottomView::setMutePickerFactory(
        [](const CGRect& frame, std::function<void(int)> timeBlock, std::function<void()> closeBlock) {
            auto picker = create(frame);
            picker->closeBlock = std::move(closeBlock);
            picker->timeBlock = std::move(timeBlock);
            return std::static_pointer_cast<UIView>(picker);
        });
}

ZV_ChatMushinAlertView::ZV_ChatMushinAlertView(const CGRect& frame)
    : UIView(frame)
    , m_contentView(std::make_shared<UIView>())
    , m_closeBtn(std::make_shared<UIButton>())
    , m_titleLabel(std::make_shared<UILabel>())
    , m_sendBtn(std::make_shared<UIButton>())
    , m_grid(std::make_shared<Grid>(*this))
{ }

std::shared_ptr<ZV_ChatMushinAlertView> ZV_ChatMushinAlertView::create(const CGRect& frame)
{
    auto picker = std::make_shared<ZV_ChatMushinAlertView>(frame);
    picker->setupViews();
    return picker;
}

void ZV_ChatMushinAlertView::setupViews()
{
    m_contentView->setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
    addSubview(m_contentView);
    snp(*m_contentView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });

    m_closeBtn->setImage(zvadaptive::iconImage(UIImage::named("login_close")));
    m_contentView->addSubview(m_closeBtn);
    snp(*m_closeBtn).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(15);
        make.right().equalToSuperview().offset(-15);
        make.size().equalTo(CGSize { 24, 24 });
    });

    m_titleLabel->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_titleLabel->setTextColor(zvadaptive::textColor(UIColor::black()));
    m_titleLabel->setTextAlignment(NSTextAlignment::center);
    m_titleLabel->setText("选择禁言时间");
    m_contentView->addSubview(m_titleLabel);
    snp(*m_titleLabel).makeConstraints([this](ConstraintMaker& make) {
        make.centerX().equalToSuperview();
        make.centerY().equalTo(snp(*m_closeBtn).centerY());
        make.right().equalTo(snp(*m_closeBtn).left()).offset(-10);
    });

    const auto& grid = collectionView();
    m_contentView->addSubview(grid);
    snp(*grid).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.top().equalTo(snp(*m_titleLabel).bottom()).offset(15);
    });

    m_sendBtn->setTitle("确定");
    m_sendBtn->setTitleColor(colorWithHex("1D1942"));
    m_sendBtn->setBackgroundColor(colorWithHex("03FFE1"));
    setCornerRadius(*m_sendBtn, 8);
    m_contentView->addSubview(m_sendBtn);
    CGFloat bottom = 12 + keyWindowSafeAreaInsets().bottom;
    snp(*m_sendBtn).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(*grid).bottom()).offset(12);
        make.left().right().equalToSuperview().inset(24);
        make.height().equalTo(44);
        make.bottom().equalToSuperview().offset(-bottom);
    });

    // The buttons live inside the picker: their actions may refer to it without owning it.
    m_sendBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) { confirm(); });
    m_closeBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) { close(); });
}

ZV_ChatMushinAlertView::~ZV_ChatMushinAlertView() = default;

const std::shared_ptr<UICollectionView>& ZV_ChatMushinAlertView::collectionView()
{
    if (!m_collectionView) {
        m_collectionView = std::make_shared<UICollectionView>(
            CGRect {}, std::make_shared<BaseCollectionViewLeftAlignedLayout>());
        m_collectionView->setContentInset({});
        m_collectionView->setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
        m_collectionView->setDelegate(m_grid);
        m_collectionView->setDataSource(m_grid);
        registerCell<ZV_SearchFeedbackCell>(*m_collectionView);
    }
    return m_collectionView;
}

void ZV_ChatMushinAlertView::selectItem(int row)
{
    if (row < 0 || row >= static_cast<int>(m_list.size()))
        return;
    m_index = row;
    collectionView()->reloadData();
}

void ZV_ChatMushinAlertView::confirm()
{
    if (timeBlock)
        timeBlock(m_timelist[static_cast<std::size_t>(m_index)]);
    if (closeBlock)
        closeBlock();
}

void ZV_ChatMushinAlertView::close()
{
    if (closeBlock)
        closeBlock();
}

void ZV_ChatMushinAlertView::layoutSubviews()
{
    UIView::layoutSubviews();
    makeCornerByRoundingCorners(*m_contentView, UIRectCornerTopLeft | UIRectCornerTopRight, 24);
}
