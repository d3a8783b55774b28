// The components pages of the discovery screens: the explore swipe cards and the home banners.

#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/banner/FSPagerView.h"
#include "platform/ui/banner/JXBanner.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/effects/UIVisualEffectView.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "platform/ui/swipe/ZLSwipeableView.h"
#include "tools/kitdemo/KitDemoColors.h"
#include "tools/kitdemo/KitDemoComponentScreens.h"

#include <algorithm>

namespace {

struct Title {
    const char* name;
    const char* line;
    const char* cast;
    const char* blurb;
};

const Title titles[] = {
    { "山海", "电影 / 2023 / 冒险 / 奇幻", "主演：林远 / 苏禾",
        "少年离开海边小城，踏上寻找传说中山海之门的旅程。" },
    { "夜航", "电影 / 2022 / 悬疑", "主演：周岚 / 陈默",
        "一班深夜航班上，乘客接连失踪，机长必须在落地前找出真相。" },
    { "长河", "电影 / 2021 / 剧情 / 历史", "主演：许知远", "三代人守护一条大河的故事。" },
    { "雾城", "电影 / 2024 / 犯罪", "主演：韩青 / 白露", "浓雾笼罩的城市里，一名警探追查一桩旧案。" },
};

std::shared_ptr<UILabel> makeLabel(const std::string& text, UIFont font, UIColor color, int lines = 1)
{
    auto label = std::make_shared<UILabel>();
    label->setText(text);
    label->setFont(std::move(font));
    label->setTextColor(std::move(color));
    label->setNumberOfLines(lines);
    return label;
}

// Covers first, so that every card and item shows a picture of the right shape.
std::vector<std::string> covers(const KitDemoPictures& pictures)
{
    std::vector<std::string> found;
    for (const auto& url : pictures.browser) {
        if (url.find("cover") != std::string::npos)
            found.push_back(url);
    }
    return found.empty() ? pictures.browser : found;
}

// ---- Swipe cards ----

// One title as the explore page shows it: the cover, darkened towards the bottom, and the texts.
class TitleCard : public UIView {
public:
    TitleCard(const Title& title, const std::string& cover, ImageLoader& loader)
    {
        setBackgroundColor(UIColor::white());
        layer()->setCornerRadius(24);
        setClipsToBounds(true);
        m_picture->setContentMode(UIViewContentMode::scaleAspectFill);
        m_picture->setClipsToBounds(true);
        loader.setImage(*m_picture, cover, std::nullopt);
        m_shade->setColors(
            { UIColor(0, 0x31 / 255.0, 0x42 / 255.0, 0), UIColor(0, 0x39 / 255.0, 0x4E / 255.0, 1) });
        UIColor text(1, 1, 1, 0.7);
        m_name = makeLabel(title.name, UIFont::systemFont(24, UIFont::Weight::semibold), UIColor::white());
        m_line = makeLabel(title.line, UIFont::systemFont(13), text);
        m_cast = makeLabel(title.cast, UIFont::systemFont(13), text);
        m_blurb = makeLabel(title.blurb, UIFont::systemFont(13), text, 2);
        m_rule->setBackgroundColor(UIColor(1, 1, 1, 0.1));
    }

    std::string className() const override { return "KitDemoTitleCard"; }
    const std::string& name() const { return m_name->text(); }

    void layoutSubviews() override
    {
        UIView::layoutSubviews();
        // Attached here: a view can only become a superview once it is owned.
        if (m_picture->superview().get() != this) {
            addSubview(m_picture);
            layer()->addSublayer(m_shade);
            for (const auto& part : { m_name, m_line, m_cast, m_blurb })
                addSubview(part);
            addSubview(m_rule);
        }
        CGRect b = bounds();
        m_picture->setFrame(b);
        m_shade->setFrame({ 0, b.height() * 0.4, b.width(), b.height() * 0.6 });
        CGFloat inset = 24, width = b.width() - 2 * inset;
        m_blurb->setFrame({ inset, b.height() - 24 - 40, width, 40 });
        m_rule->setFrame({ inset, m_blurb->frame().minY() - 12, width, 1 });
        m_cast->setFrame({ inset, m_rule->frame().minY() - 30, width, 18 });
        m_line->setFrame({ inset, m_cast->frame().minY() - 22, width, 18 });
        m_name->setFrame({ inset, m_line->frame().minY() - 36, width, 32 });
    }

private:
    std::shared_ptr<UIImageView> m_picture = std::make_shared<UIImageView>();
    std::shared_ptr<CAGradientLayer> m_shade = CAGradientLayer::make();
    std::shared_ptr<UILabel> m_name, m_line, m_cast, m_blurb;
    std::shared_ptr<UIView> m_rule = std::make_shared<UIView>();
};

class SwipeCardsScreen : public KitDemoScreen {
public:
    SwipeCardsScreen(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
        : KitDemoScreen("探剧卡片")
        , m_loader(std::move(loader))
        , m_covers(covers(pictures))
    {
        onDark = true;
    }

protected:
    void buildContent() override
    {
        auto background = CAGradientLayer::make();
        background->setColors({ UIColor(0.02, 0.16, 0.22, 1), UIColor(0.05, 0.06, 0.14, 1) });
        view()->layer()->insertSublayer(background, 0);
        m_background = background;

        std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
        m_stack = std::make_shared<ZLSwipeableView>();
        m_stack->numberOfActiveView = 3;
        m_stack->setAccessibilityIdentifier("kitdemo.cards.stack");
        m_stack->nextView = [weakSelf]() -> std::shared_ptr<UIView> {
            auto self = std::static_pointer_cast<SwipeCardsScreen>(weakSelf.lock());
            if (!self)
                return nullptr;
            std::size_t i = self->m_dealt++;
            std::string cover
                = self->m_covers.empty() ? std::string() : self->m_covers[i % self->m_covers.size()];
            auto card = std::make_shared<TitleCard>(titles[i % std::size(titles)], cover, *self->m_loader);
            card->setFrame(self->m_stack->bounds());
            return card;
        };
        m_stack->didSwipe
            = [weakSelf](const std::shared_ptr<UIView>& view, ZLSwipeableViewDirection direction, CGVector) {
                  auto self = std::static_pointer_cast<SwipeCardsScreen>(weakSelf.lock());
                  auto card = std::dynamic_pointer_cast<TitleCard>(view);
                  if (!self || !card)
                      return;
                  bool liked = direction == ZLSwipeableViewDirection::right;
                  self->m_status->setText((liked ? "右滑喜欢：" : "左滑跳过：") + card->name());
              };
        view()->addSubview(m_stack);

        m_status = makeLabel("左滑跳过，右滑喜欢", UIFont::systemFont(14), UIColor(1, 1, 1, 0.8));
        m_status->setTextAlignment(NSTextAlignment::center);
        view()->addSubview(m_status);
        for (int i = 0; i < 2; ++i) {
            auto button = std::make_shared<UIButton>();
            button->setTitle(i == 0 ? "跳过" : "喜欢");
            button->setTitleColor(i == 0 ? UIColor::white() : kitdemo::inkOnMint());
            button->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
            button->setBackgroundColor(i == 0 ? UIColor(1, 1, 1, 0.15) : kitdemo::mint());
            button->layer()->setCornerRadius(36);
            button->setAccessibilityIdentifier(i == 0 ? "kitdemo.cards.skip" : "kitdemo.cards.like");
            button->addAction(UIControlEventTouchUpInside, [weakSelf, i](UIControl&) {
                if (auto self = std::static_pointer_cast<SwipeCardsScreen>(weakSelf.lock()))
                    self->m_stack->swipeTopView(
                        i == 0 ? ZLSwipeableViewDirection::left : ZLSwipeableViewDirection::right);
            });
            view()->addSubview(button);
            m_buttons[i] = button;
        }
    }

    void layoutContent(const CGRect& area) override
    {
        m_background->setFrame(view()->bounds());
        // Cards keep the explore page's shape: 354 wide to 500 high.
        CGFloat width = area.width() - 36;
        m_stack->setFrame({ 18, area.minY() + 8, width, width * 500 / 354 });
        CGFloat y = m_stack->frame().maxY() + 16;
        m_status->setFrame({ 24, y, area.width() - 48, 20 });
        for (int i = 0; i < 2; ++i)
            m_buttons[i]->setFrame({ area.midX() + (i == 0 ? -104 : 32), y + 28, 72, 72 });
        if (m_stack->activeViews().empty())
            m_stack->loadViews();
    }

private:
    std::shared_ptr<ImageLoader> m_loader;
    std::vector<std::string> m_covers;
    std::shared_ptr<CAGradientLayer> m_background;
    std::shared_ptr<ZLSwipeableView> m_stack;
    std::shared_ptr<UILabel> m_status;
    std::shared_ptr<UIButton> m_buttons[2];
    std::size_t m_dealt = 0;
};

// ---- Banners ----

// A picture with a title, as both banners show their items.
class BannerPictureCell : public FSPagerViewCell {
public:
    BannerPictureCell()
    {
        picture->setContentMode(UIViewContentMode::scaleAspectFill);
        picture->setClipsToBounds(true);
        picture->layer()->setCornerRadius(8);
        bar->contentView()->addSubview(caption);
        picture->addSubview(bar);
        contentView()->addSubview(picture);
        // Pages that fill their place cast no shadow.
        contentView()->layer()->setShadowOpacity(0);
    }

    std::string className() const override { return "KitDemoPictureCell"; }

    void layoutSubviews() override
    {
        FSPagerViewCell::layoutSubviews();
        CGRect b = contentView()->bounds();
        picture->setFrame(b);
        bar->setFrame({ 0, b.height() - 38, b.width(), 38 });
        caption->setFrame({ 12, 0, b.width() - 24, 38 });
    }

    std::shared_ptr<UIImageView> picture = std::make_shared<UIImageView>();
    // The strip of titles being watched lays a blurred bar over the bottom of each cover.
    std::shared_ptr<UIVisualEffectView> bar
        = std::make_shared<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(10));
    std::shared_ptr<UILabel> caption = makeLabel("", UIFont::systemFont(14), UIColor::white());
};

class BannerScreen : public KitDemoScreen,
                     public FSPagerViewDataSource,
                     public FSPagerViewDelegate,
                     public JXBannerDataSource,
                     public JXBannerDelegate {
public:
    BannerScreen(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
        : KitDemoScreen("轮播")
        , m_loader(std::move(loader))
        , m_banners(pictures.banners.empty() ? pictures.browser : pictures.banners)
        , m_covers(covers(pictures))
    { }

    // Pager: the wide pictures, endless, sliding every 3 s.
    int numberOfItemsInPagerView(FSPagerView&) override { return static_cast<int>(m_banners.size()); }
    std::shared_ptr<FSPagerViewCell> cellForItemAtIndex(FSPagerView& pager, int index) override
    {
        auto cell = pager.dequeueReusableCell<BannerPictureCell>("KitDemoPictureCell", index);
        if (!cell)
            return nullptr;
        m_loader->setImage(*cell->picture, m_banners[index], std::nullopt);
        cell->bar->setHidden(true);
        return cell;
    }
    void didSelectItemAtIndex(FSPagerView&, int index) override
    {
        m_status->setText("点按了大图第 " + std::to_string(index + 1) + " 张");
    }

    // Strip: the covers with their blurred title bars, moved by hand.
    JXBannerCellRegister registerCell(JXBanner&) override
    {
        return JXBannerCellRegister::make<BannerPictureCell>("KitDemoPictureCell");
    }
    int numberOfItems(JXBanner&) override { return static_cast<int>(std::size(titles)) * 2; }
    std::shared_ptr<UICollectionViewCell> cellForItemAt(
        JXBanner&, int index, std::shared_ptr<UICollectionViewCell> cell) override
    {
        if (auto picture = std::dynamic_pointer_cast<BannerPictureCell>(cell)) {
            if (!m_covers.empty())
                m_loader->setImage(*picture->picture, m_covers[index % m_covers.size()], std::nullopt);
            picture->caption->setText(std::string("▶ ") + titles[index % std::size(titles)].name);
        }
        return cell;
    }
    JXBannerParams params(JXBanner&, JXBannerParams params) override
    {
        params.isAutoPlay = false;
        params.isShowPageControl = false;
        params.isPagingEnabled = false;
        params.cycleWay = JXBannerCycleWay::rollingBack;
        params.contentInset = { 0, 16, 0, 16 };
        return params;
    }
    JXBannerLayoutParams layoutParams(JXBanner&, JXBannerLayoutParams params) override
    {
        params.itemSize = { 164, 120 };
        params.itemSpacing = 16;
        return params;
    }
    void didSelectItemAt(JXBanner&, int index) override
    {
        m_status->setText(std::string("点按了：") + titles[index % std::size(titles)].name);
    }

protected:
    void buildContent() override
    {
        view()->setBackgroundColor(kitdemo::paper());
        auto self = std::static_pointer_cast<BannerScreen>(sharedFromThis());
        m_pager = std::make_shared<FSPagerView>();
        m_pager->registerClass<BannerPictureCell>("KitDemoPictureCell");
        m_pager->isInfinite = true;
        m_pager->automaticSlidingInterval = 3;
        m_pager->transformer = std::make_shared<FSPagerViewTransformer>(FSPagerViewTransformerType::overlap);
        m_pager->setDataSource(self);
        m_pager->setDelegate(self);
        m_pager->setAccessibilityIdentifier("kitdemo.pager");
        view()->addSubview(m_pager);

        m_header = makeLabel("继续观看", UIFont::systemFont(16, UIFont::Weight::medium), kitdemo::ink());
        view()->addSubview(m_header);
        m_strip = std::make_shared<JXBanner>();
        m_strip->setDataSource(self);
        m_strip->setDelegate(self);
        m_strip->setAccessibilityIdentifier("kitdemo.strip");
        view()->addSubview(m_strip);

        m_status = makeLabel("大图每 3 秒自动翻页", UIFont::systemFont(14), kitdemo::muted());
        m_status->setTextAlignment(NSTextAlignment::center);
        view()->addSubview(m_status);
        m_pager->reloadData();
        m_strip->reloadView();
    }

    void layoutContent(const CGRect& area) override
    {
        // Pages narrower than the pager, so that the neighbours show beside the current one.
        m_pager->itemSize = { area.width() - 96, 170 };
        m_pager->setFrame({ 0, area.minY() + 8, area.width(), 190 });
        m_header->setFrame({ 16, m_pager->frame().maxY() + 16, area.width() - 32, 24 });
        m_strip->setFrame({ 0, m_header->frame().maxY() + 8, area.width(), 120 });
        m_status->setFrame({ 24, m_strip->frame().maxY() + 24, area.width() - 48, 20 });
        if (!m_laidOut) {
            m_laidOut = true;
            m_pager->reloadData();
        }
    }

private:
    std::shared_ptr<ImageLoader> m_loader;
    std::vector<std::string> m_banners;
    std::vector<std::string> m_covers;
    std::shared_ptr<FSPagerView> m_pager;
    std::shared_ptr<UILabel> m_header;
    std::shared_ptr<JXBanner> m_strip;
    std::shared_ptr<UILabel> m_status;
    bool m_laidOut = false;
};

}

std::shared_ptr<KitDemoScreen> makeSwipeCardsScreen(
    std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
{
    return std::make_shared<SwipeCardsScreen>(std::move(loader), std::move(pictures));
}

std::shared_ptr<KitDemoScreen> makeBannerScreen(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
{
    return std::make_shared<BannerScreen>(std::move(loader), std::move(pictures));
}
