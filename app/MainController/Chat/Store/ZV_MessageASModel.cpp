#include "app/MainController/Chat/Store/ZV_MessageASModel.h"

const ASTable<ZV_MessageASModel>& ZV_MessageASModel::table()
{
    static const ASTable<ZV_MessageASModel> table { "ZV_MessageASModel",
        {
            { "seq", &ZV_MessageASModel::seq },
            { "senderID", &ZV_MessageASModel::senderID },
            { "json", &ZV_MessageASModel::json },
        },
        { "seq" } };
    return table;
}
