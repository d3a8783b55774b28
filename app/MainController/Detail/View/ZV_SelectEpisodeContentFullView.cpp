#include "app/MainController/Detail/View/ZV_SelectEpisodeContentFullView.h"

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Other/View/PanelParts.h"

ZV_SelectEpisodeContentFullView::ZV_SelectEpisodeContentFullView(const CGRect& frame)
    : UIView(frame)
    , m_title(panelparts::makeTitle("选集", true))
{
    setBackgroundColor(UIColor(0, 0, 0, 0.85));
    setClipsToBounds(true);
    addSubview(m_title);
}

void ZV_SelectEpisodeContentFullView::reloadCurrentSource()
{
    if (!model || !model->playFrom)
        return;
    for (const auto& source : *model->playFrom) {
        if (source && source->list && !source->list->empty()) {
            reloadData(*source->list);
            return;
        }
    }
}

void ZV_SelectEpisodeContentFullView::reloadData(
    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>> episodes)
{
    list = std::move(episodes);
    std::vector<std::shared_ptr<QMUIButton>> chips;
    for (const auto& episode : list) {
        if (!episode)
            continue;
        std::string id = episode->episodeId.value_or(std::string());
        auto chip
            = panelparts::makeRow(episode->episodeName.value_or(id), !id.empty() && id == episodeId, true);
        panelparts::onTap(*chip, *this, [id](ZV_SelectEpisodeContentFullView& self) {
            if (self.clickIndexWithEpisodeId)
                self.clickIndexWithEpisodeId(id);
        });
        chips.push_back(std::move(chip));
    }
    panelparts::replaceRows(*this, m_chips, std::move(chips));
}

void ZV_SelectEpisodeContentFullView::layoutSubviews()
{
    UIView::layoutSubviews();
    panelparts::layoutHeader(bounds(), m_title.get(), nullptr);
    panelparts::layoutGrid(bounds(), panelparts::headerHeight, m_chips, 2);
}
