#pragma once

#include "platform/ui/UIActivityIndicatorView.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/refresh/MJRefreshStateHeader.h"

// A state header with an arrow left of its texts (pointing down; up once letting go would
// refresh) and a spinner in its place while refreshing.
class MJRefreshNormalHeader : public MJRefreshStateHeader {
public:
    explicit MJRefreshNormalHeader(RefreshingBlock refreshingBlock = {});

    std::string className() const override { return "MJRefreshNormalHeader"; }

    const std::shared_ptr<UIImageView>& arrowView() const { return m_arrowView; }
    const std::shared_ptr<UIActivityIndicatorView>& loadingView() const { return m_loadingView; }

    void setState(MJRefreshState state) override;

protected:
    void placeSubviews() override;

private:
    std::shared_ptr<UIImageView> m_arrowView;
    std::shared_ptr<UIActivityIndicatorView> m_loadingView;
};
