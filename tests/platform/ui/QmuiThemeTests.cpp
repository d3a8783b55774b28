#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/qmui/QMUIThemeManager.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A template that writes two values, the second read back from the first as the app's templates
// do, and counts how often it runs.
class CountingTemplate : public QMUIConfigurationTemplateProtocol {
public:
    static inline int applied = 0;
    static inline bool appearanceAllowedWhileApplying = true;

    void applyConfigurationTemplate() override
    {
        ++applied;
        QMUIConfiguration::sharedInstance().blueColor = UIColor(49 / 255.0, 189 / 255.0, 243 / 255.0, 1);
        QMUIConfiguration::sharedInstance().buttonTintColor = QMUIConfiguration::sharedInstance().blueColor;
        appearanceAllowedWhileApplying = QMUIHelper::canUpdateAppearance();
    }
    bool shouldApplyTemplateAutomatically() override { return true; }
};

// Like a dark template whose theme is not the stored one: it registers itself as a theme but
// does not apply.
class DeclinedTemplate : public QMUIConfigurationTemplateProtocol {
public:
    static inline int asked = 0;
    void applyConfigurationTemplate() override
    {
        QMUIConfiguration::sharedInstance().blueColor = UIColor::red();
    }
    bool shouldApplyTemplateAutomatically() override
    {
        ++asked;
        QMUIThemeManagerCenter::defaultThemeManager().addThemeIdentifier("Dark", shared_from_this());
        return false;
    }
};

// A theme that carries its background colour.
class ColourTheme : public QMUIConfigurationTemplateProtocol {
public:
    explicit ColourTheme(UIColor background)
        : background(background)
    { }
    void applyConfigurationTemplate() override { }
    UIColor background;
};

UIColor themeBackground()
{
    return qmui_colorWithThemeProvider(
        [](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme& theme) {
            auto* colours = dynamic_cast<ColourTheme*>(theme.get());
            return colours ? colours->background : UIColor::gray();
        });
}

class QmuiTheme : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        uitest::ControllerTest::SetUp();
        QMUIConfiguration::resetForTesting();
        QMUIThemeManagerCenter::resetForTesting();
        CountingTemplate::applied = 0;
        DeclinedTemplate::asked = 0;
    }
    void TearDown() override
    {
        QMUIConfiguration::unregisterTemplateClass("CountingTemplate");
        QMUIConfiguration::unregisterTemplateClass("DeclinedTemplate");
        QMUIConfiguration::resetForTesting();
        QMUIThemeManagerCenter::resetForTesting();
        uitest::ControllerTest::TearDown();
    }

    std::vector<QMUIThemeManager*> changes()
    {
        auto out = std::move(m_changes);
        m_changes.clear();
        return out;
    }

    void observeChanges()
    {
        NotificationCenter::defaultCenter().addObserver(
            QMUIThemeDidChangeNotification,
            [this](
                const Notification& n) { m_changes.push_back(std::any_cast<QMUIThemeManager*>(n.object)); },
            this);
    }

    ~QmuiTheme() override { NotificationCenter::defaultCenter().removeObservers(this); }

private:
    std::vector<QMUIThemeManager*> m_changes;
};

}

TEST_F(QmuiTheme, TemplatesApplyOnceOnFirstUseWhenTheyAskFor)
{
    QMUIConfiguration::registerTemplateClass(
        "CountingTemplate", [] { return std::make_shared<CountingTemplate>(); });
    QMUIConfiguration::registerTemplateClass(
        "DeclinedTemplate", [] { return std::make_shared<DeclinedTemplate>(); });
    EXPECT_EQ(CountingTemplate::applied, 0);
    EXPECT_TRUE(QMUIHelper::canUpdateAppearance());

    auto& config = QMUIConfiguration::sharedInstance();
    EXPECT_TRUE(config.hasAppliedInitialTemplate());
    EXPECT_EQ(CountingTemplate::applied, 1);
    EXPECT_EQ(DeclinedTemplate::asked, 1);
    EXPECT_FALSE(CountingTemplate::appearanceAllowedWhileApplying);
    auto& manager = QMUIThemeManagerCenter::defaultThemeManager();
    EXPECT_EQ(manager.themeIdentifiers(), (std::vector<std::string> { "Dark" }));
    EXPECT_TRUE(dynamic_cast<DeclinedTemplate*>(manager.themeForIdentifier("Dark").get()));
    EXPECT_FALSE(manager.currentTheme());
    // The declined template wrote nothing; the value copied from another one is in place.
    EXPECT_EQ(config.blueColor, UIColor(49 / 255.0, 189 / 255.0, 243 / 255.0, 1));
    EXPECT_EQ(config.buttonTintColor, config.blueColor);

    QMUIConfiguration::sharedInstance();
    config.applyInitialTemplate();
    EXPECT_EQ(CountingTemplate::applied, 1);
    EXPECT_EQ(DeclinedTemplate::asked, 1);
    EXPECT_TRUE(QMUIHelper::canUpdateAppearance());

    // Defaults before any template, and nothing applied for classes registered too late.
    QMUIConfiguration::unregisterTemplateClass("CountingTemplate");
    QMUIConfiguration::resetForTesting();
    EXPECT_FALSE(QMUIConfiguration::sharedInstance().blueColor);
    EXPECT_EQ(QMUIConfiguration::sharedInstance().maskDarkColor, UIColor(0, 0, 0, 0.35));
    QMUIConfiguration::registerTemplateClass(
        "CountingTemplate", [] { return std::make_shared<CountingTemplate>(); });
    QMUIConfiguration::sharedInstance();
    EXPECT_EQ(CountingTemplate::applied, 1);
}

TEST_F(QmuiTheme, SwitchingThemesReResolvesThemeColoursAndTellsObservers)
{
    observeChanges();
    auto& manager = QMUIThemeManagerCenter::defaultThemeManager();
    EXPECT_EQ(manager.name(), QMUIThemeManagerNameDefault);
    auto light = std::make_shared<ColourTheme>(UIColor::white());
    auto dark = std::make_shared<ColourTheme>(UIColor(28 / 255.0, 28 / 255.0, 30 / 255.0, 1));
    manager.addThemeIdentifier("Default", light);
    manager.addThemeIdentifier("Dark", dark);

    UIColor background = themeBackground();
    UIColor dimmed = background.withAlphaComponent(0.5);
    // Before any theme is current the provider still answers.
    EXPECT_EQ(background.rgba(), UIColor::gray().rgba());
    EXPECT_TRUE(changes().empty());

    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Default"));
    EXPECT_EQ(changes(), (std::vector<QMUIThemeManager*> { &manager }));
    EXPECT_EQ(background.rgba(), UIColor::white().rgba());

    auto view = UIView::create(CGRect { 0, 0, 10, 10 });
    view->setBackgroundColor(background);
    EXPECT_EQ(Renderer::render(*view, 1).pixel(5, 5), UIColor::white().rgba());

    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Dark"));
    EXPECT_EQ(manager.currentTheme(), dark);
    EXPECT_EQ(changes().size(), 1u);
    // The same colour objects now give the dark values, also where they are drawn.
    EXPECT_EQ(background.rgba(), dark->background.rgba());
    EXPECT_EQ(dimmed.rgba(), dark->background.withAlphaComponent(0.5).rgba());
    UIColor::RGBA drawn = Renderer::render(*view, 1).pixel(5, 5);
    EXPECT_NEAR(drawn.red, 28 / 255.0, 0.01);
    EXPECT_EQ(background, background);
    EXPECT_FALSE(background == dark->background);

    // Same theme again, unknown identifiers and unregistered themes change nothing.
    EXPECT_TRUE(manager.setCurrentThemeIdentifier("Dark"));
    EXPECT_FALSE(manager.setCurrentThemeIdentifier("Blue"));
    EXPECT_FALSE(manager.setCurrentTheme(std::make_shared<ColourTheme>(UIColor::red())));
    EXPECT_TRUE(changes().empty());
    EXPECT_EQ(manager.currentThemeIdentifier(), "Dark");

    // By theme object.
    ASSERT_TRUE(manager.setCurrentTheme(light));
    EXPECT_EQ(manager.currentThemeIdentifier(), "Default");
    EXPECT_EQ(changes().size(), 1u);

    // Another manager's changes name that manager.
    auto& other = QMUIThemeManagerCenter::themeManagerWithName("other");
    other.addThemeIdentifier("Dark", dark);
    other.setCurrentThemeIdentifier("Dark");
    EXPECT_EQ(changes(), (std::vector<QMUIThemeManager*> { &other }));
    EXPECT_EQ(background.rgba(), UIColor::white().rgba());
}

TEST_F(QmuiTheme, GeneratorMakesMissingThemesAndTheStyleRuleFollowsTheMainWindow)
{
    observeChanges();
    auto& manager = QMUIThemeManagerCenter::defaultThemeManager();
    int generated = 0;
    manager.themeGenerator = [&generated](const std::string& id) -> QMUITheme {
        ++generated;
        if (id == "Default")
            return std::make_shared<ColourTheme>(UIColor::white());
        if (id == "Dark")
            return std::make_shared<ColourTheme>(UIColor::black());
        return nullptr;
    };
    EXPECT_FALSE(manager.setCurrentThemeIdentifier("Pink"));
    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Dark"));
    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Default"));
    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Dark"));
    // Generated once per identifier, then kept.
    EXPECT_EQ(generated, 3);
    EXPECT_EQ(manager.themeIdentifiers(), (std::vector<std::string> { "Dark", "Default" }));
    changes();

    manager.identifierForTrait = [](const UITraitCollection& traits) {
        return traits.userInterfaceStyle == UIUserInterfaceStyle::dark ? "Dark" : "Default";
    };
    // The key window is light: turning the rule on switches at once.
    manager.setRespondsSystemStyleAutomatically(true);
    EXPECT_EQ(manager.currentThemeIdentifier(), "Default");
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    manager.userInterfaceStyleDidChange(window->traitCollection());
    EXPECT_EQ(manager.currentThemeIdentifier(), "Dark");
    EXPECT_EQ(changes().size(), 2u);

    manager.setRespondsSystemStyleAutomatically(false);
    manager.userInterfaceStyleDidChange(UITraitCollection {});
    EXPECT_EQ(manager.currentThemeIdentifier(), "Dark");
}
