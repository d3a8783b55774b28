#include "tools/kitdemo/KitDemoComponentScreens.h"

#include "platform/foundation/DateFormatter.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIDatePicker.h"
#include "platform/ui/controls/UISlider.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/effects/UIVisualEffectView.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "tools/kitdemo/KitDemoColors.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// ---- The frame of every page ----

KitDemoScreen::KitDemoScreen(std::string title)
    : m_titleText(std::move(title))
{ }

void KitDemoScreen::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(kitdemo::mist());
    buildContent();
    UIColor barInk = onDark ? UIColor::white() : kitdemo::ink();
    m_title = std::make_shared<UILabel>();
    m_title->setText(m_titleText);
    m_title->setFont(UIFont::systemFont(17, UIFont::Weight::semibold));
    m_title->setTextColor(barInk);
    m_title->setTextAlignment(NSTextAlignment::center);
    view()->addSubview(m_title);
    m_close = std::make_shared<UIButton>();
    m_close->setTitle("关闭");
    m_close->setTitleColor(barInk);
    m_close->setFont(UIFont::systemFont(15));
    m_close->setAccessibilityIdentifier("kitdemo.close");
    std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
    m_close->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
        if (auto self = weakSelf.lock())
            self->dismiss(true);
    });
    view()->addSubview(m_close);
}

void KitDemoScreen::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    CGRect bounds = view()->bounds();
    CGFloat top = view()->safeAreaInsets().top;
    m_title->setFrame({ 80, top, bounds.width() - 160, barHeight });
    m_close->setFrame({ 8, top, 64, barHeight });
    layoutContent({ 0, top + barHeight, bounds.width(), bounds.height() - top - barHeight });
}

std::shared_ptr<UIButton> makeKitDemoButton(const std::string& title, const std::string& identifier)
{
    auto button = std::make_shared<UIButton>();
    button->setTitle(title);
    button->setTitleColor(kitdemo::inkOnMint());
    button->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    button->setBackgroundColor(kitdemo::mint());
    button->setContentEdgeInsets({ 12, 28, 12, 28 });
    button->layer()->setCornerRadius(8);
    button->setAccessibilityIdentifier(identifier);
    return button;
}

namespace {

std::shared_ptr<UILabel> makeLabel(const std::string& text, CGFloat size, UIColor color, int lines = 1)
{
    auto label = std::make_shared<UILabel>();
    label->setText(text);
    label->setFont(UIFont::systemFont(size));
    label->setTextColor(std::move(color));
    label->setNumberOfLines(lines);
    return label;
}

// The picture among the server's whose address names the file.
std::string pictureNamed(const KitDemoPictures& pictures, const std::string& file)
{
    auto found = std::find_if(pictures.browser.begin(), pictures.browser.end(),
        [&](const std::string& url) { return url.find(file) != std::string::npos; });
    return found != pictures.browser.end() ? *found : std::string();
}

// ---- Time picker: the skip times of the player's settings ----

// Two rows with a time each; a tap on a time brings the wheels up in the keyboard's place (the
// hour wheel standing for minutes, the minute wheel for seconds) and "完成" stores the picked time.
class DatePickerScreen : public KitDemoScreen {
public:
    DatePickerScreen()
        : KitDemoScreen("时间选择")
    { }

protected:
    void buildContent() override
    {
        m_card = std::make_shared<UIView>();
        m_card->setBackgroundColor(kitdemo::sheet());
        m_card->layer()->setCornerRadius(16);
        view()->addSubview(m_card);
        std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
        for (int i = 0; i < 2; ++i) {
            m_titles[i] = makeLabel(rowTitles[i], 14, kitdemo::ink());
            m_card->addSubview(m_titles[i]);
            m_times[i] = std::make_shared<UIButton>();
            m_times[i]->setFont(UIFont::boldSystemFont(14));
            m_times[i]->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::right);
            m_times[i]->setAccessibilityIdentifier("kitdemo.time." + std::to_string(i));
            m_times[i]->addAction(UIControlEventTouchUpInside, [weakSelf, i](UIControl&) {
                if (auto self = std::static_pointer_cast<DatePickerScreen>(weakSelf.lock()))
                    self->openPicker(i);
            });
            m_card->addSubview(m_times[i]);
        }
        m_hint = makeLabel("时间轮上的“时”代表分钟，“分”代表秒。", 13, kitdemo::muted(), 0);
        view()->addSubview(m_hint);

        m_picker = std::make_shared<UIDatePicker>();
        m_picker->setDatePickerMode(UIDatePickerMode::time);
        m_picker->locale = "zh_GB";
        m_picker->preferredDatePickerStyle = UIDatePickerStyle::wheels;
        // Invisible: it only carries the wheels onto the screen and the row's title.
        m_field = std::make_shared<UITextField>();
        m_field->setTextColor(UIColor::clear());
        m_field->setTintColor(UIColor::clear());
        m_field->setInputView(m_picker);
        m_field->addAction(UIControlEventEditingDidEnd, [weakSelf](UIControl&) {
            if (auto self = std::static_pointer_cast<DatePickerScreen>(weakSelf.lock()))
                self->storePickedTime();
        });
        m_card->addSubview(m_field);

        m_done = std::make_shared<UIButton>();
        m_done->setTitle("完成");
        m_done->setTitleColor(kitdemo::ink());
        m_done->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
        m_done->setAccessibilityIdentifier("kitdemo.done");
        m_done->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
            if (auto self = std::static_pointer_cast<DatePickerScreen>(weakSelf.lock()))
                self->m_field->resignFirstResponder();
        });
        view()->addSubview(m_done);
        showTimes();
    }

    void layoutContent(const CGRect& area) override
    {
        m_done->setFrame({ area.maxX() - 72, area.minY() - barHeight, 64, barHeight });
        m_card->setFrame({ 16, area.minY() + 16, area.width() - 32, 2 * rowHeight });
        for (int i = 0; i < 2; ++i) {
            m_titles[i]->setFrame({ 20, i * rowHeight, 160, rowHeight });
            m_times[i]->setFrame({ m_card->bounds().width() - 140, i * rowHeight, 120, rowHeight });
        }
        m_field->setFrame({ 20, rowHeight, 160, rowHeight });
        m_hint->setFrame({ 24, m_card->frame().maxY() + 12, area.width() - 48, 40 });
    }

private:
    static constexpr CGFloat rowHeight = 52;
    static constexpr const char* rowTitles[2] = { "跳过片头时间", "跳过片尾时间" };

    static std::string timeText(int seconds)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
        return text;
    }

    void showTimes()
    {
        for (int i = 0; i < 2; ++i) {
            m_times[i]->setTitle(m_seconds[i] > 0 ? timeText(m_seconds[i]) + "  ›" : "未设置  ›");
            m_times[i]->setTitleColor(m_seconds[i] > 0 ? kitdemo::ink() : kitdemo::muted());
        }
    }

    void openPicker(int row)
    {
        DateFormatter hoursAndMinutes("HH:mm");
        if (auto date = hoursAndMinutes.dateFromString(timeText(m_seconds[row])))
            m_picker->setDate(*date);
        // The title rides in the placeholder, drawn in a clear colour.
        TextRun title;
        title.text = rowTitles[row];
        title.foregroundColor = UIColor::clear();
        StyledText placeholder;
        placeholder.runs = { title };
        m_field->setAttributedPlaceholder(placeholder);
        m_field->becomeFirstResponder();
    }

    void storePickedTime()
    {
        const std::string& placeholder = m_field->placeholder();
        if (placeholder.empty())
            return;
        int seconds = m_picker->selectedRow(0) * 60 + m_picker->selectedRow(1);
        m_seconds[placeholder == rowTitles[0] ? 0 : 1] = seconds;
        showTimes();
    }

    int m_seconds[2] = { 90, 0 };
    std::shared_ptr<UIView> m_card;
    std::shared_ptr<UILabel> m_titles[2];
    std::shared_ptr<UIButton> m_times[2];
    std::shared_ptr<UILabel> m_hint;
    std::shared_ptr<UIDatePicker> m_picker;
    std::shared_ptr<UITextField> m_field;
    std::shared_ptr<UIButton> m_done;
};

// ---- Blur: the settings panel over a picture ----

class BlurScreen : public KitDemoScreen {
public:
    BlurScreen(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
        : KitDemoScreen("毛玻璃面板")
        , m_loader(std::move(loader))
        , m_pictures(std::move(pictures))
    {
        onDark = true;
    }

protected:
    void buildContent() override
    {
        view()->setBackgroundColor(UIColor(0.1, 0.1, 0.12, 1));
        m_backdrop = std::make_shared<UIImageView>();
        m_backdrop->setContentMode(UIViewContentMode::scaleAspectFill);
        m_backdrop->setClipsToBounds(true);
        m_loader->setImage(*m_backdrop, pictureNamed(m_pictures, "advert-start"), std::nullopt);
        view()->addSubview(m_backdrop);

        // A small cover with a blurred title bar, as the strip of titles being watched shows.
        m_cover = std::make_shared<UIImageView>();
        m_cover->setContentMode(UIViewContentMode::scaleAspectFill);
        m_cover->setClipsToBounds(true);
        m_cover->layer()->setCornerRadius(8);
        m_loader->setImage(*m_cover, pictureNamed(m_pictures, "cover-40311"), std::nullopt);
        m_coverBar = std::make_shared<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(10));
        m_coverBar->contentView()->addSubview(makeLabel("  ▶ 第 3 集", 14, UIColor::white()));
        m_cover->addSubview(m_coverBar);
        view()->addSubview(m_cover);

        m_panel = std::make_shared<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(20));
        m_panel->qmui_setForegroundColor(UIColor(0, 0, 0, 0.2));
        m_panel->layer()->setCornerRadius(24);
        m_panel->layer()->setMaskedCorners(kCALayerMinXMinYCorner | kCALayerMaxXMinYCorner);
        m_panel->setClipsToBounds(true);
        auto content = m_panel->contentView();
        m_panelTitle = makeLabel("播放设置", 16, UIColor::white());
        m_panelTitle->setTextAlignment(NSTextAlignment::center);
        content->addSubview(m_panelTitle);
        auto addRow = [&](const char* title, std::shared_ptr<UIView> control) {
            auto label = makeLabel(title, 14, UIColor::white());
            content->addSubview(label);
            content->addSubview(control);
            m_rows.push_back({ label, control });
        };
        for (float value : { 0.5f, 0.8f }) {
            auto slider = std::make_shared<UISlider>();
            slider->minimumTrackTintColor = UIColor(0.01, 1, 0.88, 1);
            slider->maximumTrackTintColor = UIColor(1, 1, 1, 0.3);
            slider->setValue(value);
            addRow(value < 0.6f ? "声音 50" : "亮度 80", slider);
        }
        addRow("跳过片头时间", makeLabel("01:30", 14, UIColor::white()));
        view()->addSubview(m_panel);
    }

    void layoutContent(const CGRect& area) override
    {
        CGRect bounds = view()->bounds();
        m_backdrop->setFrame(bounds);
        m_cover->setFrame({ 24, area.minY() + 24, 164, 120 });
        m_coverBar->setFrame({ 0, 120 - 38, 164, 38 });
        m_coverBar->contentView()->subviews().front()->setFrame({ 0, 0, 164, 38 });
        CGFloat height = 340;
        m_panel->setFrame({ 0, bounds.height() - height, bounds.width(), height });
        m_panelTitle->setFrame({ 0, 24, bounds.width(), 24 });
        CGFloat y = 72;
        for (const auto& [label, control] : m_rows) {
            label->setFrame({ 32, y, 100, 52 });
            control->setFrame({ 132, y, bounds.width() - 164, 52 });
            y += 60;
        }
    }

private:
    std::shared_ptr<ImageLoader> m_loader;
    KitDemoPictures m_pictures;
    std::shared_ptr<UIImageView> m_backdrop;
    std::shared_ptr<UIImageView> m_cover;
    std::shared_ptr<UIVisualEffectView> m_coverBar;
    std::shared_ptr<UIVisualEffectView> m_panel;
    std::shared_ptr<UILabel> m_panelTitle;
    std::vector<std::pair<std::shared_ptr<UILabel>, std::shared_ptr<UIView>>> m_rows;
};

// ---- Marquee: the chat's notice and reply bars ----

class MarqueeScreen : public KitDemoScreen {
public:
    MarqueeScreen()
        : KitDemoScreen("跑马灯公告")
    { }

protected:
    void buildContent() override
    {
        struct Bar {
            const char* text;
            UIColor background;
            UIColor ink;
        };
        const Bar bars[] = {
            { "公告：本聊天室禁止发布广告和外部链接，违者封禁；请文明发言，友善讨论剧情，谢谢合作！",
                UIColor(0xDA / 255.0, 0xFD / 255.0, 1, 1), UIColor(0, 0x11 / 255.0, 0x6A / 255.0, 1) },
            { "回复：这一集的结尾太意外了，有没有人知道下一集什么时候更新？", UIColor(1, 1, 1, 0.9),
                UIColor(0x1D / 255.0, 0x19 / 255.0, 0x42 / 255.0, 0.75) },
            { "短公告不滚动", UIColor(0xDA / 255.0, 0xFD / 255.0, 1, 1),
                UIColor(0, 0x11 / 255.0, 0x6A / 255.0, 1) },
        };
        for (const auto& bar : bars) {
            auto background = std::make_shared<UIView>();
            background->setBackgroundColor(bar.background);
            background->layer()->setCornerRadius(8);
            background->setClipsToBounds(true);
            auto label = std::make_shared<MarqueeLabel>();
            label->setText(bar.text);
            label->setTextColor(bar.ink);
            label->setFont(UIFont::systemFont(12));
            label->type = MarqueeLabel::MarqueeType::continuous;
            label->animationCurve = UIViewAnimationCurve::linear;
            label->speed = MarqueeLabel::SpeedLimit::rate(30);
            label->animationDelay = 0;
            label->trailingBuffer = 40;
            background->addSubview(label);
            view()->addSubview(background);
            m_bars.push_back(background);
        }
        m_hint
            = makeLabel("长公告每秒移动 30 点，首尾相接地循环；放得下的公告不动。", 13, kitdemo::muted(), 0);
        view()->addSubview(m_hint);
    }

    void layoutContent(const CGRect& area) override
    {
        CGFloat y = area.minY() + 16;
        for (const auto& bar : m_bars) {
            bar->setFrame({ 16, y, area.width() - 32, 36 });
            bar->subviews().front()->setFrame({ 12, 0, area.width() - 56, 36 });
            y += 52;
        }
        m_hint->setFrame({ 24, y + 4, area.width() - 48, 40 });
    }

private:
    std::vector<std::shared_ptr<UIView>> m_bars;
    std::shared_ptr<UILabel> m_hint;
};

}

std::shared_ptr<KitDemoScreen> makeDatePickerScreen()
{
    return std::make_shared<DatePickerScreen>();
}

std::shared_ptr<KitDemoScreen> makeBlurScreen(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
{
    return std::make_shared<BlurScreen>(std::move(loader), std::move(pictures));
}

std::shared_ptr<KitDemoScreen> makeMarqueeScreen()
{
    return std::make_shared<MarqueeScreen>();
}
