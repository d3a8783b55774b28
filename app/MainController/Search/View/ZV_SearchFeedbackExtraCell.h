#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "platform/ui/qmui/QMUITextView.h"

#include <functional>
#include <memory>
#include <string>

// The free-text box of the request form: at most 180 characters (longer typing or pasting keeps
// what fits); every change hands the whole text to stringBlock.
class ZV_SearchFeedbackExtraCell : public BaseCollectionViewCell, public QMUITextViewDelegate {
public:
    static constexpr std::size_t maximumTextLength = 180;

    // A cell that is its text view's delegate (it must be owned first).
    static std::shared_ptr<ZV_SearchFeedbackExtraCell> create();
    ZV_SearchFeedbackExtraCell();

    std::string className() const override { return "ZV_SearchFeedbackExtraCell"; }

    std::function<void(const std::string&)> stringBlock;

    const std::shared_ptr<QMUITextView>& zv_contentView() const { return m_contentView; }

    void textViewDidChange(UITextView& textView) override;

private:
    std::shared_ptr<QMUITextView> m_contentView;
};
