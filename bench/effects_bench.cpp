// Drawing a screen with a blurred panel over a busy backdrop (the player's settings panel and the
// share poster's background), against the same panel drawn as a plain tint: what the real blur of
// the visual-effect view costs per frame.
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/effects/UIVisualEffectView.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::shared_ptr<UIView> buildScreen(const UIBlurEffect& effect)
{
    auto screen = UIView::create(CGRect { 0, 0, 390, 844 });
    auto gradient = CAGradientLayer::make();
    gradient->setFrame(screen->bounds());
    gradient->setColors({ UIColor(0.9, 0.3, 0.2, 1), UIColor(0.1, 0.4, 0.9, 1) });
    screen->layer()->addSublayer(gradient);
    for (int i = 0; i < 30; ++i) {
        auto label = UIView::create<UILabel>(CGRect { 10, 10.0 + i * 28, 370, 24 });
        label->setText("第 " + std::to_string(i) + " 集 山海之间 The quick brown fox");
        label->setTextColor(UIColor::white());
        screen->addSubview(label);
    }
    auto panel = UIView::create<UIVisualEffectView>(effect);
    panel->setFrame({ 0, 435, 390, 409 });
    panel->qmui_setForegroundColor(UIColor(0, 0, 0, 0.2));
    screen->addSubview(panel);
    return screen;
}

void drawScreen(benchmark::State& state, const UIBlurEffect& effect)
{
    auto screen = buildScreen(effect);
    for (auto _ : state) {
        UIImage image = Renderer::render(*screen, 3);
        benchmark::DoNotOptimize(image);
    }
}

void BM_ScreenWithBlurredPanel(benchmark::State& state)
{
    drawScreen(state, UIBlurEffect::qmui_effectWithBlurRadius(static_cast<CGFloat>(state.range(0))));
}
BENCHMARK(BM_ScreenWithBlurredPanel)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_ScreenWithTintedPanel(benchmark::State& state)
{
    drawScreen(state, UIBlurEffect::qmui_effectWithBlurRadius(0));
}
BENCHMARK(BM_ScreenWithTintedPanel)->Unit(benchmark::kMillisecond);

}
