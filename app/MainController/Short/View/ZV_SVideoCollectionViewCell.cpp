#include "app/MainController/Short/View/ZV_SVideoCollectionViewCell.h"

#include "app/Extensions/ParsableURL.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_SVideoCollectionViewCell::ZV_SVideoCollectionViewCell()
    : ZV_SVideoCollectionViewCell(CGRect {})
{ }

ZV_SVideoCollectionViewCell::ZV_SVideoCollectionViewCell(const CGRect& frame)
    : UICollectionViewCell(frame)
    , m_self(std::make_shared<ZV_SVideoCollectionViewCell*>(this))
{
    setupViews();
}

ZV_SVideoCollectionViewCell::~ZV_SVideoCollectionViewCell()
{
    m_self.reset();
}

void ZV_SVideoCollectionViewCell::setupViews()
{
    setBackgroundColor(UIColor::black());
    m_player = ZV_SVideoPlayer::player();
    setupPlayer();

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_player->view());
    mas(m_player->view()).makeConstraints([](ConstraintMaker& make) {
        make.edges().equalToSuperview().offset(0);
    });

    m_playImageView = std::make_shared<UIImageView>(UIImage::named("play"));
    m_playImageView->setAlpha(playIconAlpha);
    m_playImageView->setHidden(true);
    content->addSubview(m_playImageView);

    m_coverImageView = std::make_shared<UIImageView>();
    m_coverImageView->setContentMode(UIViewContentMode::scaleAspectFit);
    content->addSubview(m_coverImageView);

    mas(m_playImageView).makeConstraints([](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.size().equalTo(CGSize { playIconSize, playIconSize });
    });
    mas(m_coverImageView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
}

void ZV_SVideoCollectionViewCell::setupPlayer()
{
    SJPlaybackObservation& observer = m_player->playbackObserver();
    observer.setPlaybackDidFinishExeBlock([](SJBaseVideoPlayer& player) { player.replay(); });

    SJPlayerGestureController& gestures = m_player->gestureController();
    gestures.supportedGestureTypes = SJPlayerGestureTypeMask_SingleTap;
    gestures.singleTapHandler = [](SJBaseVideoPlayer& player, CGPoint) {
        if (player.isPaused())
            player.play();
        else
            player.pauseForUser();
    };

    std::weak_ptr<ZV_SVideoCollectionViewCell*> weakCell = m_self;
    auto changed = [weakCell](SJBaseVideoPlayer&) {
        if (auto cell = weakCell.lock())
            (*cell)->playbackStatusDidChange();
    };
    observer.setPlaybackStatusDidChangeExeBlock(changed);
    observer.setAssetStatusDidChangeExeBlock(changed);
}

void ZV_SVideoCollectionViewCell::playbackStatusDidChange()
{
    m_playImageView->setHidden(!(m_player->isPlayed() && m_player->isPaused()));
    m_coverImageView->setHidden(m_player->assetStatus() == SJAssetStatus::readyToPlay);
}

void ZV_SVideoCollectionViewCell::setCoverUrl(const std::string& url)
{
    if (!parsesAsURL(url)) {
        sd_cancelCurrentImageLoad(*m_coverImageView);
        m_coverImageView->setImage(std::nullopt);
        return;
    }
    sd_setImage(*m_coverImageView, url);
}
