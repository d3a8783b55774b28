#pragma once

// The items of the personal centre, in declaration order. `setting` and `about` have a tap action
// but no place in the centre's list: settings open from the header's button, and the about page
// from `contact`.
enum class PersonalCenterRowType {
    advert,
    user,
    collect,
    record,
    download,
    message,
    setting,
    contact,
    feedback,
    about,
    share,
    help,
};
