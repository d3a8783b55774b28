#pragma once

// The rows of the personal data page, in their order on the page.
enum class ZV_PersonalDataRowType {
    head,
    nickName,
    userName,
    phone,
    mail,
    pass,
};
