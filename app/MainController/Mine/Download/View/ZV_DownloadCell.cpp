#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIPieProgressView.h"

#include <initializer_list>

ZV_DownloadCell::ZV_DownloadCell()
    : ZV_DownloadCell(CGRect {})
{ }

ZV_DownloadCell::ZV_DownloadCell(const CGRect& frame)
    : UICollectionViewCell(frame)
    , m_imageBgView(UIView::create())
    , m_imageView(UIView::create<UIImageView>())
    , m_imageTitleView(UIView::create())
    , m_imageTitleLb(UIView::create<UILabel>())
    , m_selBtn(UIView::create<UIButton>())
    , m_lineView(UIView::create())
    , m_titleLb(UIView::create<UILabel>())
    , m_tagLb(UIView::create<UILabel>())
    , m_desLb(UIView::create<UILabel>())
{
    buildLayout();
    awakeFromNib();
}

// What the interface file would hold: the cover 112 × 70 at the left of a row 90 high, the count
// in a capsule at the cover's lower right, the texts beside it, the selection mark at the right.
void ZV_DownloadCell::buildLayout()
{
    const std::shared_ptr<UIView>& content = contentView();
    for (const std::shared_ptr<UIView>& subview : std::initializer_list<std::shared_ptr<UIView>> {
             m_imageBgView, m_selBtn, m_titleLb, m_tagLb, m_desLb, m_lineView })
        content->addSubview(subview);
    m_imageBgView->addSubview(m_imageView);
    m_imageBgView->addSubview(m_imageTitleView);
    m_imageTitleView->addSubview(m_imageTitleLb);
    m_imageBgView->setBackgroundColor(zvadaptive::fillColor(colorWithHex("F5F5F5")));
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_imageTitleLb->setFont(UIFont::systemFont(11, UIFont::Weight::medium));
    m_imageTitleLb->setTextAlignment(NSTextAlignment::center);
    m_titleLb->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
    m_tagLb->setFont(UIFont::systemFont(12));
    m_tagLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.5)));
    m_desLb->setFont(UIFont::systemFont(12));
    m_selBtn->setImage(UIImage::named("main_nor"), UIControlStateNormal);
    // The list decides what a tap selects and which image the mark shows.
    m_selBtn->setUserInteractionEnabled(false);
    m_selBtn->setHidden(true);
    m_selBtn->setAccessibilityIdentifier("download.select");

    snp(m_imageBgView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.top().equalToSuperview().offset(10);
        make.bottom().equalToSuperview().offset(-10);
        make.width().equalTo(112);
    });
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_imageTitleView).makeConstraints([](ConstraintMaker& make) {
        make.right().bottom().equalToSuperview().offset(-6);
        make.height().equalTo(18);
        make.width().greaterThanOrEqualTo(24);
    });
    snp(m_imageTitleLb).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(7);
        make.centerY().equalToSuperview();
    });
    snp(m_selBtn).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalToSuperview();
        make.width().height().equalTo(24);
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_imageBgView).right()).offset(12);
        make.top().equalTo(snp(m_imageBgView).top()).offset(2);
        make.right().equalTo(snp(m_selBtn).left()).offset(-12);
    });
    snp(m_tagLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalTo(m_titleLb);
        make.top().equalTo(snp(m_titleLb).bottom()).offset(6);
    });
    snp(m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalTo(m_titleLb);
        make.bottom().equalTo(snp(m_imageBgView).bottom()).offset(-2);
    });
    snp(m_lineView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.bottom().equalToSuperview();
        make.height().equalTo(0.5);
    });
}

void ZV_DownloadCell::awakeFromNib()
{
    m_imageTitleView->setBackgroundColor(colorWithHex("222222", 0.4));
    m_lineView->setBackgroundColor(zvadaptive::lineColor(colorWithHex("1D1942", 0.08)));
    m_imageTitleLb->setTextColor(UIColor::white());
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    makeCorner(*m_imageBgView, 8);
    m_imageBgView->addSubview(pieProgressView());
    snp(pieProgressView()).makeConstraints([](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.width().height().equalTo(24);
    });
    pieProgressView()->setProgress(0.3, true);
}

const std::shared_ptr<QMUIPieProgressView>& ZV_DownloadCell::pieProgressView()
{
    if (!m_pieProgressView) {
        m_pieProgressView = UIView::create<QMUIPieProgressView>();
        m_pieProgressView->setTintColor(UIColor::white());
        m_pieProgressView->setBorderWidth(1);
        m_pieProgressView->setBorderInset(1);
    }
    return m_pieProgressView;
}

void ZV_DownloadCell::layoutSubviews()
{
    UICollectionViewCell::layoutSubviews();
    contentView()->layoutIfNeeded();
    makeCorner(*m_imageTitleView);
}

void ZV_DownloadCell::showCover(const ZV_DownLoadModel& record)
{
    // The downloading list redraws its rows at every progress report: the same cover again
    // keeps its load going rather than starting it anew each time.
    if (m_coverURL && *m_coverURL == record.cover)
        return;
    m_coverURL = record.cover;
    if (parsesAsURL(record.cover)) {
        sd_setImage(*m_imageView, record.cover, placeholderImage());
        return;
    }
    sd_cancelCurrentImageLoad(*m_imageView);
    m_imageView->setImage(placeholderImage());
}

void ZV_DownloadCell::setDownloadingModel(std::optional<ZV_DownLoadModel> record)
{
    m_downloadingModel = std::move(record);
    if (!m_downloadingModel)
        return;
    const ZV_DownLoadModel& shown = *m_downloadingModel;
    m_imageTitleView->setHidden(true);
    m_tagLb->setText(shown.source);
    showCover(shown);
    m_titleLb->setText(shown.name + " " + shown.episodeName);
}

void ZV_DownloadCell::setDownloadModel(std::optional<ZV_DownLoadModel> record)
{
    m_downloadModel = std::move(record);
    if (!m_downloadModel)
        return;
    const ZV_DownLoadModel& shown = *m_downloadModel;
    m_tagLb->setText(std::string());
    m_titleLb->setText(shown.name);
    pieProgressView()->setHidden(true);
    showCover(shown);

    auto finished = ZV_DownLoadModel::findFinished(shown.vod_id);
    auto all = ZV_DownLoadModel::findByTitle(shown.vod_id);
    if (!finished || !all)
        Log::write("ZV_DownloadCell: the title's records cannot be read");
    m_imageTitleLb->setText(std::to_string(finished ? finished->size() : 0));
    double kilobytes = 0;
    if (all) {
        for (const ZV_DownLoadModel& each : *all)
            kilobytes += each.size;
    }
    m_desLb->setText(titleDescription(kilobytes, shown.typeName));
}

void ZV_DownloadCell::setDownloadListModel(std::optional<ZV_DownLoadModel> record)
{
    m_downloadListModel = std::move(record);
    if (!m_downloadListModel)
        return;
    const ZV_DownLoadModel& shown = *m_downloadListModel;
    m_imageTitleView->setHidden(true);
    m_tagLb->setText(shown.source);
    pieProgressView()->setHidden(true);
    m_titleLb->setText(shown.episodeName);
    showCover(shown);
    m_desLb->setText(episodeDescription(shown));
}

std::string ZV_DownloadCell::titleDescription(double kilobytes, const std::string& typeName)
{
    return ZV_Tools::sizeString(kilobytes) + " / " + typeName;
}

std::string ZV_DownloadCell::episodeDescription(const ZV_DownLoadModel& record)
{
    return ZV_Tools::sizeString(record.size) + " / "
        + (record.watching == ZV_DownLoadModel::watchingNo ? "未观看" : "已观看");
}
