#include "app/MainController/Search/Model/ZV_WordsModel.h"

#include "platform/json/JSON.h"

ZV_WordsModel::ZV_WordsModel(const JSON& json)
    : hot(json["hot"].intValue())
    , word(json["word"].stringValue())
{ }
