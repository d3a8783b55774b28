#pragma once

#include "app/MainController/Detail/Model/ZV_PlayerTimeModel.h"
#include "platform/media/AVURLAsset.h"
#include "platform/ui/UIView.h"
#include "platform/ui/text/NSAttributedString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class SJEdgeControlButtonItem;
class SJEdgeControlButtonItemAdapter;
class SJVideoPlayer;
class Timer;
class ZV_LoadingView;
class ZV_PlayerADView;
class ZV_PlayerErrorView;
struct SJPlaybackRecord;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// The video player of a title: a view around one SJVideoPlayer with the app's own controls (the
// full-screen row of play, next, source, speed and episodes; gravity, AirPlay and settings at the
// top), the loading and error layers, resume, opening and ending skips, the next episode and the
// pause advert.
//
// The owner makes it, sets isOffline when it plays downloads, calls setupUI() once, sets
// clickIndexWithEpisodeId, adds its own actions to zv_sourceItem(), zv_selectItem() and the error
// layer's change button, then sets model and episodeId (offline also episodeList) and calls
// playEpisode(). It reads player() for pause, time and control layers, episodeModel for the
// episode on show. Every block handed to the player and the panels holds this view weakly.
// Main thread only.
class ZV_Player : public UIView {
public:
    using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

    enum ItemTag : int {
        zoomoutTag = 1000,
        airPlayTag = 1001,
        settingTag = 1002,
        playTag = 3000,
        goforwardTag = 2000,
        emptyTag = 404,
        sourceTag = 2001,
        multipleTag = 2002,
        selectTag = 2003,
    };
    static constexpr double slowLoadSeconds = 10;
    static constexpr double slowLoadHintSeconds = 5;
    static constexpr double endingWarningSeconds = 10;
    static constexpr double portraitBottomHeight = 49;
    static constexpr double fullscreenBottomHeight = 120;
    // The error layer's message for an episode whose https address redirects to plain http, which
    // the player does not follow.
    static constexpr const char* insecureRedirectText = "视频地址跳转到了不加密的 http 链接，已拒绝播放";

    ZV_Player();
    explicit ZV_Player(const CGRect& frame);
    ~ZV_Player() override;

    std::string className() const override { return "ZV_Player"; }

    // ---- State ----
    bool isFull = false; // full screen as the rotation handler last saw it
    bool isSeek = false; // the opening skip / resume prompt was considered for this asset
    bool isOffline = false;
    bool isRefresh = false; // set by the error layer's refresh; kept for the view's life
    bool isSeekEnd = false; // the ending prompt was shown for this asset
    bool isClearEnd = false; // the ending skip was cancelled or done
    bool isSeekTime = false; // the resume seek was considered for this asset
    std::optional<std::string> episodeId;
    std::shared_ptr<Timer> waitingTime; // the slow-load timer
    std::optional<std::string> episodeName;
    std::shared_ptr<ZV_DetailModel> model;
    std::shared_ptr<SJPlaybackRecord> zv_record; // history record of offline play
    std::optional<ZV_PlayerTimeModel> zv_timeModel;
    std::shared_ptr<ZV_DetailDataListPlayFromListModel> episodeModel; // the entry whose asset plays
    std::optional<Episodes> episodeList;
    std::function<void(const std::string&)> clickIndexWithEpisodeId;

    // ---- Parts, built on first use ----
    const std::shared_ptr<SJVideoPlayer>& player();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_emptyItem();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_zoomoutItem();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_airPlayItem();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_settingItem();
    const std::shared_ptr<SJEdgeControlButtonItemAdapter>& zv_bottomAdapter();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_playItem();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_goforwardItem();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_sourceItem();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_multipleItem();
    const std::shared_ptr<SJEdgeControlButtonItem>& zv_selectItem();
    const std::shared_ptr<UIView>& zv_airPlayView();
    const std::shared_ptr<ZV_PlayerErrorView>& zv_errorView();
    const std::shared_ptr<ZV_LoadingView>& zv_loadingView();
    // The pause advert on screen, if any.
    std::shared_ptr<ZV_PlayerADView> pauseAdvert() const;

    // ---- Set-up ----
    virtual void setupUI();
    virtual void setupPlayer();
    virtual void setupAirPlay();
    virtual void setupErrorView();
    virtual void setupRotationObserver();
    virtual void setupFinishedHandler();
    virtual void setupTimeHandler();
    virtual void setupStatusHandler();
    virtual void setupAssetStatusHandler();

    // ---- Playback ----
    // Starts the episode `episodeId` of `model` (offline: of episodeList).
    virtual void playEpisode();
    virtual void parsePlayAddress(const std::shared_ptr<ZV_DetailDataListPlayFromListModel>& entry);
    virtual void loadLocalPlaybackRecord();
    virtual void playAsset(
        const std::string& address, const std::shared_ptr<ZV_DetailDataListPlayFromListModel>& entry);
    virtual void makePlaybackRecord();
    virtual void updateTopItems(bool fullscreen);
    virtual void updateBottomItems(bool fullscreen);

    // ---- Actions ----
    virtual void togglePlay();
    virtual void playNextEpisode();
    virtual void clickSourceItem() { } // the owner's own action on the item does the work
    virtual void clickSelectItem() { } // likewise
    virtual void showRatePicker();
    virtual void toggleVideoGravity();
    virtual void showSettings();
    virtual void clickRefresh();
    virtual void goBack();

    // ---- Reactions ----
    void rotationDidChange(bool isTransitioning);
    void rateDidChange(int index);
    void reloadTimeModel();
    void playbackStatusDidChange();
    void currentTimeDidChange();
    void playbackDidFinish();
    void assetStatusDidChange();
    void showSlowLoadHint();

    // ---- Rules ----
    // An entry plays `episodeId` when both ids are present and equal, or both are absent.
    static bool matches(
        const ZV_DetailDataListPlayFromListModel& entry, const std::optional<std::string>& episodeId);
    // The index after the last entry that matches (0 when none does); none past the end.
    static std::optional<std::size_t> nextEpisodeIndex(
        const Episodes& list, const std::optional<std::string>& episodeId);
    // The entry's header fields: none without a User-Agent; with one, the User-Agent and then every
    // field of `headers` in order (a later one wins).
    static AVURLAsset::HeaderFields headerFields(const ZV_DetailDataListPlayFromListModel& entry);
    // "1.0X", "0.75X", "2.0X": the rate with at least one decimal.
    static std::string rateTitle(double rate);
    // Whether the path of the address ends in an extension containing "m3u8" (case-sensitive).
    static bool isM3u8Address(const std::string& address);

private:
    std::weak_ptr<ZV_Player> weakSelf();
    std::shared_ptr<SJVideoPlayer> makeVideoPlayer();
    static void configureResources();
    std::shared_ptr<SJEdgeControlButtonItem> makeImageItem(
        const char* image, int tag, void (ZV_Player::*action)());
    std::shared_ptr<SJEdgeControlButtonItem> makeTitleItem(
        const std::string& title, int tag, void (ZV_Player::*action)());
    // Moves to the next episode of the list, if there is one; true when it did.
    bool moveToNextEpisode();
    void tellOwner();
    void showLoading();
    void showPrompt(
        const NSAttributedString& text, std::optional<double> duration, std::function<void()> tap);
    void updatePauseAdvert(bool paused);
    // The error layer's message for one asset; the message it replaced comes back with the next.
    void showErrorMessage(const std::string& text);
    void restoreErrorMessage();

    std::shared_ptr<SJVideoPlayer> m_player;
    std::shared_ptr<SJEdgeControlButtonItem> m_emptyItem;
    std::shared_ptr<SJEdgeControlButtonItem> m_zoomoutItem;
    std::shared_ptr<SJEdgeControlButtonItem> m_airPlayItem;
    std::shared_ptr<SJEdgeControlButtonItem> m_settingItem;
    std::shared_ptr<SJEdgeControlButtonItemAdapter> m_bottomAdapter;
    std::shared_ptr<SJEdgeControlButtonItem> m_playItem;
    std::shared_ptr<SJEdgeControlButtonItem> m_goforwardItem;
    std::shared_ptr<SJEdgeControlButtonItem> m_sourceItem;
    std::shared_ptr<SJEdgeControlButtonItem> m_multipleItem;
    std::shared_ptr<SJEdgeControlButtonItem> m_selectItem;
    std::shared_ptr<UIView> m_airPlayView;
    std::shared_ptr<ZV_PlayerErrorView> m_errorView;
    std::shared_ptr<ZV_LoadingView> m_loadingView;

    // Each playEpisode() starts a new request generation: an address resolved for an older one
    // comes too late and is dropped.
    std::uint64_t m_playGeneration = 0;
    // Each show of the loading layer; a fade that a later show overtook leaves it up.
    std::uint64_t m_loadingShows = 0;
    bool m_wasPaused = false;
    std::optional<std::string> m_replacedErrorMessage;
    std::weak_ptr<ZV_PlayerADView> m_pauseAdvert;
};
