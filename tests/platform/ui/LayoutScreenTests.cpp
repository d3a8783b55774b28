#include "platform/ui/Renderer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

UIColor hex(unsigned rgb, CGFloat alpha = 1)
{
    return { ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha };
}

std::shared_ptr<UILabel> label(const std::string& text, CGFloat size, unsigned color)
{
    auto l = UIView::create<UILabel>();
    l->setText(text);
    l->setFont(UIFont::systemFont(size));
    l->setTextColor(hex(color));
    return l;
}

// A sign-in page as the account screens lay it out: a card a fifth of the way down, a title,
// two fields, a wide button with a centred title, a wrapped note and a bar on the safe area.
TEST(LayoutScreen, SignInPageLaysOutAndRenders)
{
    UIScreen::main().resetForTesting();
    auto window = UIView::create<UIWindow>();
    window->setBackgroundColor(hex(0xF3F5F9));

    auto card = UIView::create();
    card->setBackgroundColor(hex(0xFFFFFF));
    window->addSubview(card);
    auto title = label("请输入需要找回的账号", 24, 0x1D1942);
    card->addSubview(title);
    auto account = UIView::create();
    account->setBackgroundColor(hex(0xF8F8F8));
    card->addSubview(account);
    auto placeholder = label("手机号/用户名", 16, 0xA5A3B3);
    account->addSubview(placeholder);
    auto password = UIView::create();
    password->setBackgroundColor(hex(0xF8F8F8));
    card->addSubview(password);
    auto button = UIView::create();
    button->setBackgroundColor(hex(0x03FFE1));
    card->addSubview(button);
    auto buttonTitle = label("立即登录", 14, 0x000000);
    button->addSubview(buttonTitle);
    auto note = label("登录即表示同意用户协议与隐私政策。未注册的手机号将在验证后自动创建账号，"
                      "账号可用于在所有设备上同步收藏与播放记录。",
        12, 0x8E8C99);
    note->setNumberOfLines(0);
    card->addSubview(note);
    auto bar = UIView::create();
    bar->setBackgroundColor(hex(0x1D1942));
    window->addSubview(bar);

    snp(card).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(0.2 * 844);
        make.left().right().equalToSuperview().inset(32);
    });
    snp(title).makeConstraints([&](ConstraintMaker& make) {
        make.top().left().equalToSuperview().inset(24);
        make.right().lessThanOrEqualToSuperview().inset(24);
    });
    snp(account).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(title).bottom()).offset(24);
        make.left().right().equalToSuperview().inset(24);
        make.height().equalTo(58);
    });
    snp(placeholder).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(20);
        make.centerY().equalToSuperview();
    });
    snp(password).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(account).bottom()).offset(16);
        make.left().right().height().equalTo(account);
    });
    snp(button).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(password).bottom()).offset(40);
        make.left().right().equalTo(account);
        make.height().equalTo(44);
    });
    snp(buttonTitle).makeConstraints([&](ConstraintMaker& make) { make.center().equalToSuperview(); });
    snp(note).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(button).bottom()).offset(16);
        make.left().right().equalTo(account);
        make.bottom().equalToSuperview().inset(24);
    });
    snp(bar).makeConstraints([&](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.bottom().equalTo(snp(window).safeAreaLayoutGuide());
        make.height().equalTo(60);
    });

    window->setHidden(false);
    UIImage image = Renderer::render(*window);
    window->setHidden(true);
    EXPECT_NEAR(card->frame().origin.y, 506.0 / 3, 1e-9);
    EXPECT_EQ(card->frame().size.width, 390 - 64);
    EXPECT_EQ(account->frame().size.width, 390 - 64 - 48);
    EXPECT_NEAR(password->frame().origin.y, account->frame().origin.y + 58 + 16, 1e-9);
    EXPECT_EQ(note->frame().size.width, account->frame().size.width);
    EXPECT_GT(note->frame().size.height, 2 * title->frame().size.height / 2);
    // The card ends 24 below the wrapped note.
    EXPECT_NEAR(card->frame().size.height, note->frame().origin.y + note->frame().size.height + 24, 1e-9);
    EXPECT_NEAR(buttonTitle->frame().origin.x + buttonTitle->frame().size.width / 2,
        button->frame().size.width / 2, 0.34);
    EXPECT_EQ(bar->frame(), CGRect(0, 844 - 34 - 60, 390, 60));

    EXPECT_TRUE(Renderer::writePNG(image, zvtest::screenshotPath("sign-in.png")));
}

}
