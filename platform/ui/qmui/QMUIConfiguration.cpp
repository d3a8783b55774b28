#include "platform/ui/qmui/QMUIConfiguration.h"

#include "platform/ui/lists/UITableView.h"
#include "platform/ui/qmui/QMUIBarAppearance.h"

#include <algorithm>
#include <utility>

namespace {

struct TemplateClass {
    std::string name;
    QMUIConfiguration::TemplateFactory factory;
};

std::vector<TemplateClass>& templateClasses()
{
    static std::vector<TemplateClass> classes;
    return classes;
}

QMUIConfiguration*& instancePointer()
{
    static QMUIConfiguration* instance = nullptr;
    return instance;
}

}

QMUIConfiguration& QMUIConfiguration::sharedInstance()
{
    auto*& instance = instancePointer();
    if (!instance)
        instance = new QMUIConfiguration; // lives for the whole process, like the phone's singleton
    instance->applyInitialTemplate();
    return *instance;
}

void QMUIConfiguration::registerTemplateClass(const std::string& name, TemplateFactory factory)
{
    if (!factory)
        return;
    auto& classes = templateClasses();
    auto it = std::find_if(classes.begin(), classes.end(), [&](const auto& c) { return c.name == name; });
    if (it != classes.end())
        it->factory = std::move(factory);
    else
        classes.push_back({ name, std::move(factory) });
}

void QMUIConfiguration::unregisterTemplateClass(const std::string& name)
{
    std::erase_if(templateClasses(), [&](const auto& c) { return c.name == name; });
}

void QMUIConfiguration::applyInitialTemplate()
{
    if (m_appliedInitialTemplate)
        return;
    // Set before the templates run: their own writes come back through sharedInstance().
    m_appliedInitialTemplate = true;
    m_applyingInitialTemplate = true;
    // A copy: a template may register further classes while it runs.
    auto classes = templateClasses();
    for (const auto& c : classes) {
        auto object = c.factory();
        if (object && object->shouldApplyTemplateAutomatically())
            object->applyConfigurationTemplate();
    }
    m_applyingInitialTemplate = false;
    // From now on bars take the values as they come into a window.
    QMUIBarAppearance::install();
}

bool QMUIConfiguration::isApplyingInitialTemplateNow()
{
    auto* instance = instancePointer();
    return instance && instance->m_applyingInitialTemplate;
}

void QMUIConfiguration::resetForTesting()
{
    auto*& instance = instancePointer();
    if (!instance)
        return;
    *instance = QMUIConfiguration();
}

QMUIConfiguration::TableStyleValues QMUIConfiguration::tableStyleValues(UITableViewStyle style) const
{
    TableStyleValues v;
    v.sectionIndexColor = tableSectionIndexColor;
    v.sectionIndexBackgroundColor = tableSectionIndexBackgroundColor;
    v.sectionIndexTrackingBackgroundColor = tableSectionIndexTrackingBackgroundColor;
    if (style == UITableViewStyle::grouped) {
        v.backgroundColor = tableViewGroupedBackgroundColor;
        v.separatorColor = tableViewGroupedSeparatorColor;
        v.cell = { tableViewGroupedCellTitleLabelColor, tableViewGroupedCellDetailLabelColor,
            tableViewGroupedCellBackgroundColor, tableViewGroupedCellSelectedBackgroundColor };
        // Grouped sections show the table's background behind their titles.
        v.sectionHeader = { std::nullopt, tableViewGroupedSectionHeaderFont,
            tableViewGroupedSectionHeaderTextColor, tableViewGroupedSectionHeaderContentInset,
            tableViewGroupedSectionHeaderDefaultHeight, tableViewGroupedSectionHeaderAccessoryMargins };
        v.sectionFooter = { std::nullopt, tableViewGroupedSectionFooterFont,
            tableViewGroupedSectionFooterTextColor, tableViewGroupedSectionFooterContentInset,
            tableViewGroupedSectionFooterDefaultHeight, tableViewGroupedSectionFooterAccessoryMargins };
        v.sectionHeaderTopPadding = tableViewGroupedSectionHeaderTopPadding;
        return v;
    }
    v.backgroundColor = tableViewBackgroundColor;
    v.separatorColor = tableViewSeparatorColor;
    v.cell = { tableViewCellTitleLabelColor, tableViewCellDetailLabelColor, tableViewCellBackgroundColor,
        tableViewCellSelectedBackgroundColor };
    v.sectionHeader = { tableViewSectionHeaderBackgroundColor, tableViewSectionHeaderFont,
        tableViewSectionHeaderTextColor, tableViewSectionHeaderContentInset, automaticDimension,
        tableViewSectionHeaderAccessoryMargins };
    v.sectionFooter = { tableViewSectionFooterBackgroundColor, tableViewSectionFooterFont,
        tableViewSectionFooterTextColor, tableViewSectionFooterContentInset, automaticDimension,
        tableViewSectionFooterAccessoryMargins };
    v.sectionHeaderTopPadding = tableViewSectionHeaderTopPadding;
    return v;
}
