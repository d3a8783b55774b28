#pragma once

#include "platform/ui/UIActivityIndicatorView.h"
#include "platform/ui/refresh/MJRefreshAutoStateFooter.h"

// An automatic state footer with a spinner left of its text while loading.
class MJRefreshAutoNormalFooter : public MJRefreshAutoStateFooter {
public:
    explicit MJRefreshAutoNormalFooter(RefreshingBlock refreshingBlock = {});

    std::string className() const override { return "MJRefreshAutoNormalFooter"; }

    const std::shared_ptr<UIActivityIndicatorView>& loadingView() const { return m_loadingView; }

    void setState(MJRefreshState state) override;

protected:
    void placeSubviews() override;

private:
    std::shared_ptr<UIActivityIndicatorView> m_loadingView;
};
