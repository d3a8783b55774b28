#pragma once

#include <webkit2/webkit2.h>

namespace webkitengine {

// Told when the page's focus enters or leaves a field that takes text.
class EditingListener {
public:
    virtual ~EditingListener() = default;
    virtual void editingChanged(bool editing) = 0;
};

// The input method of a page: nothing is composed here, since the phone's keyboard types into the
// page through the view. It reports the focus of fields to its listener and commits the keyboard's
// text into the field that has the focus.
class InputMethod {
public:
    // A new context (one reference) reporting to `listener`, which must outlive it or detach().
    static WebKitInputMethodContext* make(EditingListener* listener);
    static void detach(WebKitInputMethodContext* context);
    // The page hears the text as typed input.
    static void commit(WebKitInputMethodContext* context, const char* text);
};

}
