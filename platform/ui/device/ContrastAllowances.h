#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/device/ContrastAudit.h"

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Colours that a program's design fixes for its light style although they fall short of their
// contrast ratio there (faded secondary texts, a brand colour on white): each is accepted down to
// the ratio it reaches, on the screens of one class of view. The dark style's colours are the
// program's own to choose: a rule holds there only when it starts with "both", for what no colour
// can mend (a text over a picture, a logotype). A text file, one rule a line ("#" starts a comment):
//   [both] <class> <colour> <least ratio> <why>
// <colour> is the text's own colour in the light style, "#RRGGBB" or "#RRGGBBAA" (alpha 1 when
// left out), or "icon" for the icons; a finding is accepted when one of its views, from its own
// up, is of <class>, one of its colours is <colour> (within one step of 255 in each channel) and
// its ratio is at least <least ratio>. <why> says what the colour is, for the people who read it.
class ContrastAllowances {
public:
    struct Rule {
        std::string className;
        bool bothStyles = false;
        std::optional<UIColor::RGBA> color; // none: an icon
        double leastRatio = 1;
        std::string why;
        int line = 0;
    };

    // At most this many bytes and rules are read: the file is written by hand.
    static constexpr std::size_t maximumBytes = 256 * 1024;
    static constexpr std::size_t maximumRules = 2000;

    // The rules of a text; the first fault ("<source>:<line>: <what>") when a line is wrong.
    static std::variant<ContrastAllowances, std::string> parse(
        const std::string& text, const std::string& source);
    static std::variant<ContrastAllowances, std::string> load(const std::filesystem::path& file);

    const std::vector<Rule>& rules() const { return m_rules; }
    // The rule that accepts a finding short of its ratio.
    const Rule* allowing(const ContrastFinding& finding) const;

private:
    std::vector<Rule> m_rules;
};
