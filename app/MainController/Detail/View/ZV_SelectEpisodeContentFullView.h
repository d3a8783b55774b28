#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
class QMUILabel;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// The episodes over the full-screen player, titled "选集", as chips on a dark panel; a chip hands
// its episode id to clickIndexWithEpisodeId.
class ZV_SelectEpisodeContentFullView : public UIView {
public:
    explicit ZV_SelectEpisodeContentFullView(const CGRect& frame);

    std::string className() const override { return "ZV_SelectEpisodeContentFullView"; }

    std::string episodeId;
    std::shared_ptr<ZV_DetailModel> model;
    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>> list;
    std::function<void(const std::string&)> clickIndexWithEpisodeId;

    const std::shared_ptr<QMUILabel>& title() const { return m_title; }
    const std::vector<std::shared_ptr<QMUIButton>>& chips() const { return m_chips; }

    // Fills the panel from the first play source of `model` that has episodes; nothing without.
    void reloadCurrentSource();
    // Fills the panel from the episodes of one source.
    void reloadData(std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>> episodes);

    void layoutSubviews() override;

private:
    std::shared_ptr<QMUILabel> m_title;
    std::vector<std::shared_ptr<QMUIButton>> m_chips;
};
