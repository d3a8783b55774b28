#include "platform/ui/device/ContrastAllowances.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::optional<UIColor::RGBA> hexColor(const std::string& word)
{
    if (word.size() != 7 && word.size() != 9)
        return std::nullopt;
    if (word[0] != '#'
        || !std::all_of(word.begin() + 1, word.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return std::nullopt;
    auto channel = [&](std::size_t at) { return std::stoi(word.substr(at, 2), nullptr, 16) / 255.0; };
    return UIColor::RGBA { channel(1), channel(3), channel(5), word.size() == 9 ? channel(7) : 1.0 };
}

bool sameColor(const UIColor::RGBA& a, const UIColor::RGBA& b)
{
    constexpr double step = 1.0 / 255 + 1e-9;
    return std::abs(a.red - b.red) <= step && std::abs(a.green - b.green) <= step
        && std::abs(a.blue - b.blue) <= step && std::abs(a.alpha - b.alpha) <= step;
}

}

std::variant<ContrastAllowances, std::string> ContrastAllowances::parse(
    const std::string& text, const std::string& source)
{
    if (text.size() > maximumBytes)
        return source + ": larger than " + std::to_string(maximumBytes) + " bytes";
    ContrastAllowances allowances;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::string where = source + ":" + std::to_string(number) + ": ";
        std::istringstream words(line);
        std::string className, color, least;
        if (!(words >> className) || className.front() == '#')
            continue;
        bool bothStyles = className == "both";
        if (bothStyles)
            words >> className;
        std::string why;
        words >> color >> least;
        std::getline(words >> std::ws, why);
        if (least.empty() || why.empty())
            return where + "usage: [both] <class> <#RRGGBB[AA] | icon> <least ratio> <why>";
        Rule rule;
        rule.className = className;
        rule.bothStyles = bothStyles;
        rule.line = number;
        rule.why = why;
        if (color != "icon") {
            rule.color = hexColor(color);
            if (!rule.color)
                return where + "\"" + color + "\" is no colour (#RRGGBB or #RRGGBBAA) and not \"icon\"";
        }
        char* end = nullptr;
        rule.leastRatio = std::strtod(least.c_str(), &end);
        if (end != least.c_str() + least.size() || !(rule.leastRatio >= 1 && rule.leastRatio <= 21))
            return where + "the least ratio is a number from 1 to 21, not \"" + least + "\"";
        if (allowances.m_rules.size() >= maximumRules)
            return where + "more than " + std::to_string(maximumRules) + " rules";
        allowances.m_rules.push_back(std::move(rule));
    }
    return allowances;
}

std::variant<ContrastAllowances, std::string> ContrastAllowances::load(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return file.string() + ": cannot be read";
    std::string text;
    text.resize(maximumBytes + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return parse(text, file.string());
}

const ContrastAllowances::Rule* ContrastAllowances::allowing(const ContrastFinding& finding) const
{
    bool icon = finding.kind == ContrastFinding::Kind::icon;
    bool dark = finding.style == UIUserInterfaceStyle::dark;
    for (const Rule& rule : m_rules) {
        if (rule.color.has_value() == icon || finding.ratio + 0.005 < rule.leastRatio
            || (dark && !rule.bothStyles))
            continue;
        if (std::find(finding.ancestry.begin(), finding.ancestry.end(), rule.className)
            == finding.ancestry.end())
            continue;
        if (rule.color
            && std::none_of(finding.colors.begin(), finding.colors.end(),
                [&](const UIColor::RGBA& c) { return sameColor(c, *rule.color); }))
            continue;
        return &rule;
    }
    return nullptr;
}
