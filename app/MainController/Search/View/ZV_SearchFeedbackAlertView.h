#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/lists/UICollectionView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QMUIButton;
class QMUILabel;

// The feedback and request form, titled "反馈/求片", in a bottom sheet: the problem types of the
// server configuration as chips, a description of at most 180 characters and "提交", which sends
// both to "v1/user/feedback/submit". The close button and a successful submission call
// closeBlock, which the presenter sets to hide the sheet. Without a configuration there are no
// types, and nothing can be sent.
class ZV_SearchFeedbackAlertView : public UIView,
                                   public UICollectionViewDataSource,
                                   public UICollectionViewDelegateFlowLayout {
public:
    // The form with its actions wired (they hold it weakly, so it must be owned first).
    static std::shared_ptr<ZV_SearchFeedbackAlertView> create(const CGRect& frame);
    explicit ZV_SearchFeedbackAlertView(const CGRect& frame);

    std::string className() const override { return "ZV_SearchFeedbackAlertView"; }

    // `value` of the chosen type; none until one is chosen.
    std::optional<std::int64_t> type_id;
    // The description as last typed; none until something is typed.
    std::optional<std::string> content;
    std::function<void()> closeBlock;

    const std::shared_ptr<UIView>& contentView() const { return m_contentView; }
    const std::shared_ptr<QMUIButton>& closeBtn() const { return m_closeBtn; }
    const std::shared_ptr<QMUILabel>& titleLabel() const { return m_titleLabel; }
    const std::shared_ptr<QMUIButton>& sendBtn() const { return m_sendBtn; }
    const std::shared_ptr<UICollectionView>& collectionView() const { return m_collectionView; }

    // "提交": the type first ("请先选择问题类型"), then the text ("请描述问题"), then the request.
    // A failure shows the server's message and keeps the input; success closes, then says
    // "提交成功".
    void submit();

    void layoutSubviews() override;

    int numberOfSections(UICollectionView&) override { return 2; }
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(
        UICollectionView&, const std::string& kind, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGSize> referenceSizeForHeader(UICollectionView&, UICollectionViewLayout&, int) override;

private:
    void wire();

    std::shared_ptr<UIView> m_contentView;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::shared_ptr<QMUILabel> m_titleLabel;
    std::shared_ptr<QMUIButton> m_sendBtn;
    std::shared_ptr<UICollectionView> m_collectionView;
};
