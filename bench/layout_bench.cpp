// Constraint layout of a screen of about two hundred views: a header, a grid of title cards
// (cover, title, tag sized by its text) and a bottom bar, as the home and list screens build them.
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

struct Screen {
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<Constraint> headerHeight;
    std::size_t views = 0;
};

Screen buildScreen()
{
    Screen screen;
    screen.window = UIView::create<UIWindow>();
    auto& window = screen.window;
    auto header = UIView::create();
    window->addSubview(header);
    snp(header).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(window).safeAreaLayoutGuide());
        make.left().right().equalToSuperview();
        screen.headerHeight = make.height().equalTo(44).constraint();
    });
    auto title = UIView::create<UILabel>();
    title->setText("相关推荐");
    header->addSubview(title);
    snp(title).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.centerY().equalToSuperview();
    });
    screen.views = 2;

    constexpr int columns = 3;
    constexpr int rows = 16;
    std::shared_ptr<UIView> above = header;
    std::vector<std::shared_ptr<UIView>> previousRow;
    for (int row = 0; row < rows; ++row) {
        std::vector<std::shared_ptr<UIView>> cards;
        for (int column = 0; column < columns; ++column) {
            auto card = UIView::create();
            window->addSubview(card);
            snp(card).makeConstraints([&](ConstraintMaker& make) {
                make.top().equalTo(snp(above).bottom()).offset(16);
                if (column == 0)
                    make.left().equalToSuperview().offset(24);
                else
                    make.left().equalTo(snp(cards.back()).right()).offset(16);
                if (column > 0)
                    make.width().equalTo(cards.front());
                if (column == columns - 1)
                    make.right().equalToSuperview().inset(24);
            });
            auto cover = UIView::create<UIImageView>();
            card->addSubview(cover);
            snp(cover).makeConstraints([&](ConstraintMaker& make) {
                make.top().left().right().equalToSuperview();
                make.height().equalTo(snp(cover).width()).multipliedBy(184.0 / 103);
            });
            auto name = UIView::create<UILabel>();
            name->setText("Title " + std::to_string(row * columns + column));
            card->addSubview(name);
            snp(name).makeConstraints([&](ConstraintMaker& make) {
                make.top().equalTo(snp(cover).bottom()).offset(4);
                make.left().right().bottom().equalToSuperview();
            });
            auto tag = UIView::create();
            cover->addSubview(tag);
            auto tagText = UIView::create<UILabel>();
            tagText->setFont(UIFont::systemFont(10));
            tagText->setText(row % 2 ? "热播" : "独播");
            tag->addSubview(tagText);
            snp(tag).makeConstraints(
                [&](ConstraintMaker& make) { make.left().bottom().equalToSuperview().inset(6); });
            snp(tagText).makeConstraints([&](ConstraintMaker& make) {
                make.edges().equalToSuperview().inset(UIEdgeInsets { 2, 6, 2, 6 });
            });
            cards.push_back(card);
            screen.views += 5;
        }
        above = cards.front();
        previousRow = cards;
    }
    auto bar = UIView::create();
    window->addSubview(bar);
    snp(bar).makeConstraints([&](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.bottom().equalTo(snp(window).safeAreaLayoutGuide());
        make.height().equalTo(60);
    });
    screen.views += 1;
    return screen;
}

// Everything placed from scratch, text measured for the first time.
void BM_LayoutNewScreen(benchmark::State& state)
{
    UIScreen::main().resetForTesting();
    std::size_t views = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Screen screen = buildScreen();
        views = screen.views;
        state.ResumeTiming();
        screen.window->layoutIfNeeded();
        benchmark::DoNotOptimize(screen.window->subviews().back()->frame());
    }
    state.counters["views"] = static_cast<double>(views);
    state.counters["per_view"]
        = benchmark::Counter(static_cast<double>(views) * static_cast<double>(state.iterations()),
            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LayoutNewScreen)->Unit(benchmark::kMillisecond);

// One constant changes (a header that grows) and the whole screen moves.
void BM_RelayoutAfterConstantChange(benchmark::State& state)
{
    UIScreen::main().resetForTesting();
    Screen screen = buildScreen();
    screen.window->layoutIfNeeded();
    CGFloat height = 44;
    for (auto _ : state) {
        height = height == 44 ? 88 : 44;
        screen.headerHeight->updateOffset(height);
        screen.window->layoutIfNeeded();
        benchmark::DoNotOptimize(screen.window->subviews().back()->frame());
    }
    state.counters["per_view"]
        = benchmark::Counter(static_cast<double>(screen.views) * static_cast<double>(state.iterations()),
            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RelayoutAfterConstantChange)->Unit(benchmark::kMillisecond);

}
