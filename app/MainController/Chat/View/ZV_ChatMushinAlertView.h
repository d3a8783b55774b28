#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class UIButton;
class UICollectionView;
class UILabel;

// The mute-duration picker, titled "选择禁言时间", in a bottom sheet: six chips from one hour to
// seven days, the first chosen when it opens. "确定" hands the chosen length in seconds to
// timeBlock and then calls closeBlock; the close button only calls closeBlock. The sheet
// (ZV_ShowBottomView, type 6) makes it through the factory that registerInBottomSheet() installs.
class ZV_ChatMushinAlertView : public UIView {
public:
    // The picker, built; use this rather than the constructor, which makes only the parts.
    static std::shared_ptr<ZV_ChatMushinAlertView> create(const CGRect& frame);
    explicit ZV_ChatMushinAlertView(const CGRect& frame);
    ~ZV_ChatMushinAlertView() override;

    std::string className() const override { return "ZV_ChatMushinAlertView"; }

    // Makes ZV_ShowBottomView's type 6 show this picker.
    static void registerInBottomSheet();

    std::function<void(int)> timeBlock;
    std::function<void()> closeBlock;

    const std::shared_ptr<UIView>& contentView() const { return m_contentView; }
    const std::shared_ptr<UIButton>& closeBtn() const { return m_closeBtn; }
    const std::shared_ptr<UILabel>& titleLabel() const { return m_titleLabel; }
    const std::shared_ptr<UIButton>& sendBtn() const { return m_sendBtn; }
    const std::vector<std::string>& list() const { return m_list; }
    const std::vector<int>& timelist() const { return m_timelist; }
    int index() const { return m_index; }
    const std::shared_ptr<UICollectionView>& collectionView();

    // Chooses the chip (nothing is sent yet).
    void selectItem(int row);
    void confirm();
    void close();

    void layoutSubviews() override;

private:
    class Grid;

    void setupViews();

    std::shared_ptr<UIView> m_contentView;
    std::shared_ptr<UIButton> m_closeBtn;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UIButton> m_sendBtn;
    const std::vector<std::string> m_list { "1小时", "2小时", "8小时", "1天", "3天", "7天" };
    const std::vector<int> m_timelist { 3600, 7200, 28800, 86400, 259200, 604800 };
    int m_index = 0;
    std::shared_ptr<Grid> m_grid;
    std::shared_ptr<UICollectionView> m_collectionView;
};
