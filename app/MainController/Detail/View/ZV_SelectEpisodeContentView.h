#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// The episodes of one play source in a bottom sheet, as chips under a header with the source's
// name (sourceName) and a close button. In choice mode a chip hands its episode id to
// clickIndexWithEpisodeId; the download variant (isDownload) keeps a choice to itself.
class ZV_SelectEpisodeContentView : public UIView {
public:
    ZV_SelectEpisodeContentView();
    explicit ZV_SelectEpisodeContentView(const CGRect& frame);

    std::string className() const override { return "ZV_SelectEpisodeContentView"; }

    bool isDownload = false;
    std::string episodeId;
    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>> list;
    std::function<void(const std::string&)> clickIndexWithEpisodeId;

    const std::shared_ptr<ZV_DetailModel>& model() const { return m_model; }
    // Takes the first play source that has episodes: its episodes become `list`, its name the
    // title of sourceName, and the chips are rebuilt. A title without such a source changes
    // nothing.
    void setModel(std::shared_ptr<ZV_DetailModel> model);

    const std::shared_ptr<QMUIButton>& sourceName();
    const std::shared_ptr<QMUIButton>& closeBtn();
    const std::vector<std::shared_ptr<QMUIButton>>& chips() const { return m_chips; }

    // Builds the chips from `list`, the playing episode marked.
    void reloadSegments();

    void layoutSubviews() override;

private:
    void choose(const std::string& id);

    std::shared_ptr<ZV_DetailModel> m_model;
    std::shared_ptr<QMUIButton> m_sourceName;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::vector<std::shared_ptr<QMUIButton>> m_chips;
};
