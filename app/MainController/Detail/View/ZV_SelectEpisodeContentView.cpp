#include "app/MainController/Detail/View/ZV_SelectEpisodeContentView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Other/View/PanelParts.h"

ZV_SelectEpisodeContentView::ZV_SelectEpisodeContentView()
    : ZV_SelectEpisodeContentView(CGRect {})
{ }

ZV_SelectEpisodeContentView::ZV_SelectEpisodeContentView(const CGRect& frame)
    : UIView(frame)
{
    setBackgroundColor(UIColor::white());
    setClipsToBounds(true);
}

void ZV_SelectEpisodeContentView::setModel(std::shared_ptr<ZV_DetailModel> model)
{
    m_model = std::move(model);
    if (!m_model || !m_model->playFrom)
        return;
    for (const auto& source : *m_model->playFrom) {
        if (!source || !source->list || source->list->empty())
            continue;
        list = *source->list;
        reloadSegments();
        sourceName()->setTitle(source->name.value_or(source->code.value_or(std::string())));
        return;
    }
}

const std::shared_ptr<QMUIButton>& ZV_SelectEpisodeContentView::sourceName()
{
    if (!m_sourceName) {
        m_sourceName = std::make_shared<QMUIButton>();
        m_sourceName->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
        m_sourceName->setTitleColor(colorWithHex("1D1942"));
        m_sourceName->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::left);
        addSubview(m_sourceName);
    }
    return m_sourceName;
}

const std::shared_ptr<QMUIButton>& ZV_SelectEpisodeContentView::closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = panelparts::makeCloseButton();
        addSubview(m_closeBtn);
    }
    return m_closeBtn;
}

void ZV_SelectEpisodeContentView::reloadSegments()
{
    std::vector<std::shared_ptr<QMUIButton>> chips;
    for (const auto& episode : list) {
        if (!episode)
            continue;
        std::string id = episode->episodeId.value_or(std::string());
        auto chip = panelparts::makeRow(episode->episodeName.value_or(id), !id.empty() && id == episodeId);
        panelparts::onTap(*chip, *this, [id](ZV_SelectEpisodeContentView& self) { self.choose(id); });
        chips.push_back(std::move(chip));
    }
    panelparts::replaceRows(*this, m_chips, std::move(chips));
}

void ZV_SelectEpisodeContentView::choose(const std::string& id)
{
    // The download variant collects its choices itself.
    if (isDownload)
        return;
    if (clickIndexWithEpisodeId)
        clickIndexWithEpisodeId(id);
}

void ZV_SelectEpisodeContentView::layoutSubviews()
{
    UIView::layoutSubviews();
    panelparts::layoutHeader(bounds(), m_sourceName.get(), m_closeBtn.get());
    panelparts::layoutGrid(bounds(), panelparts::headerHeight, m_chips, 2);
}
