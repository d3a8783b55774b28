#include "app/MainController/Chat/View/ChatSenderName.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"

namespace {

const UIFont& nicknameFont()
{
    static const UIFont font = UIFont::systemFont(14);
    return font;
}

ASAttributedString withBadge(ASAttributedString line, const UIImage& badge)
{
    // Centred on the nickname's letters rather than standing on their baseline.
    const UIFont& font = nicknameFont();
    CGFloat middle = (font.ascender() + font.descender()) / 2;
    CGFloat offset = middle - badge.size().height / 2;
    return line + ASAttributedString(" ") + ASAttributedString::image(badge, offset);
}

}

ASAttributedString nicknameWithAdminBadge(const Message& message)
{
    const Sender& sender = message.sender();
    NSAttributes attributes;
    attributes.font = nicknameFont();
    attributes.foregroundColor = zvadaptive::textColor(colorWithHex("1D1942", 0.6));
    ASAttributedString line(sender.nickname(), attributes);
    if (sender.member_type() == 1)
        return withBadge(line, badgeImage("管理员", "FFE7A9", "653B13"));
    if (sender.rank_name().empty())
        return line;
    return withBadge(line, badgeImage(sender.rank_name(), sender.rank_color(), "FFFFFF"));
}

UIImage badgeImage(const std::string& text, const std::string& backgroundHex, const std::string& textHex)
{
    auto label = UIView::create<UILabel>();
    label->setFont(UIFont::systemFont(10, UIFont::Weight::semibold));
    label->setBackgroundColor(backgroundHex.empty() ? UIColor::clear() : colorWithHex(backgroundHex, 1.0));
    label->setTextAlignment(NSTextAlignment::center);
    label->setText(text);
    label->setTextColor(colorWithHex(textHex, 1.0));
    label->sizeToFit();
    CGSize fitted = label->frame().size;
    label->setFrame({ 0, 0, fitted.width + 8, fitted.height + 6 });
    makeCorner(*label, 4);

    UIGraphicsImageRendererFormat format;
    format.scale = UIScreen::main().scale();
    format.opaque = false;
    return UIGraphicsImageRenderer(label->bounds().size, format).image([&](CGContext& context) {
        label->layer()->render(context);
    });
}

bool isCurrentUser(std::int64_t id)
{
    const auto& profile = ConfigSingleton::shared().zv_userInfoModel;
    return profile && std::to_string(id) == profile->id;
}
