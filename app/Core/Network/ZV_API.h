#pragma once

#include <cstddef>
#include <string_view>

// The API's endpoints. Each case stands for a path joined to a base URL by plain concatenation:
// case 0 (the short-video list) is the empty path on the short-video base, every other case a
// "v1/..." path on the API base, which ends in "/api/". The order is fixed.
enum class ZV_API {
    shortVideoList, // ""
    registerEmail, // v1/user/register/email
    userInfo, // v1/user/info
    forgetGetToken, // v1/user/forget/get_token
    forgetSendCode, // v1/user/forget/send_code
    forgetSetPassword, // v1/user/forget/set_pass
    refreshToken, // v1/user/refresh_token
    collectList, // v1/user/movie_collect/list
    collectDelete, // v1/user/movie_collect/delete
    playbackList, // v1/user/playback/list
    playbackDelete, // v1/user/playback/delete
    noticeList, // v1/notice/list
    getCode, // v1/user/get_code
    changePhone, // v1/user/change/phone
    changeEmail, // v1/user/change/email
    changePassword, // v1/user/change/password
    changeNickname, // v1/user/change/nickname
    changeUsername, // v1/user/change/username
    changeAvatar, // v1/user/change/avatar (multipart upload)
    uploadImage, // v1/user/upload_image (multipart upload)
    movieDetail, // v1/movie/detail
    movieAddressList, // v1/movie_addr/list
    movieAddressParse, // v1/movie_addr/parse
    movieScreenList, // v1/movie/screen/list
    movieExploreList, // v1/movie/explore/list
    movieCollectAction, // v1/movie/collect/action
    moviePlayReport, // v1/movie_play/report
    rankingList, // v1/movie/ranking/list
    rankingData, // v1/movie/ranking/data
    searchLatelyWords, // v1/movie/search_lately_words
    searchRanking, // v1/movie/search_ranking
    searchComplete, // v1/movie/search_complete
    search, // v1/movie/search
    feedbackSubmit, // v1/user/feedback/submit
    advertConfig, // v1/advert/config
    roomLastMessage, // v1/room/lastmsg
    roomCurrent, // v1/room/current
    roomBlockUser, // v1/room/blockuser
    roomSendMessage, // v1/room/sendmsg
    roomRevokeMessage, // v1/room/revokemsg
    roomUser, // v1/room/user
    roomMaxSeq, // v1/room/maxseq
    checkUpdate, // v1/app/check_update
};

inline constexpr std::size_t ZV_APICaseCount = 43;

// The path of the endpoint under its base URL; "" for shortVideoList.
std::string_view path(ZV_API api);
