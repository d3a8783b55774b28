#include "platform/webkit/InputMethod.h"

namespace {

struct ZvInputMethod {
    WebKitInputMethodContext parent;
    webkitengine::EditingListener* listener; // not owned
};

struct ZvInputMethodClass {
    WebKitInputMethodContextClass parentClass;
};

G_DEFINE_TYPE(ZvInputMethod, zv_input_method, WEBKIT_TYPE_INPUT_METHOD_CONTEXT)

ZvInputMethod* self(WebKitInputMethodContext* context)
{
    return reinterpret_cast<ZvInputMethod*>(context);
}

void tell(WebKitInputMethodContext* context, bool editing)
{
    if (auto* listener = self(context)->listener)
        listener->editingChanged(editing);
}

void focusIn(WebKitInputMethodContext* context)
{
    tell(context, true);
}

void focusOut(WebKitInputMethodContext* context)
{
    tell(context, false);
}

// Keys reach the page as they are: nothing is composed here.
gboolean filterKeyEvent(WebKitInputMethodContext*, GdkEventKey*)
{
    return FALSE;
}

void noPreedit(WebKitInputMethodContext*, gchar** text, GList** underlines, guint* cursorOffset)
{
    if (text)
        *text = g_strdup("");
    if (underlines)
        *underlines = nullptr;
    if (cursorOffset)
        *cursorOffset = 0;
}

void zv_input_method_class_init(ZvInputMethodClass* klass)
{
    auto* context = WEBKIT_INPUT_METHOD_CONTEXT_CLASS(klass);
    context->notify_focus_in = focusIn;
    context->notify_focus_out = focusOut;
    context->filter_key_event = filterKeyEvent;
    context->get_preedit = noPreedit;
}

void zv_input_method_init(ZvInputMethod* method)
{
    method->listener = nullptr;
}

}

namespace webkitengine {

WebKitInputMethodContext* InputMethod::make(EditingListener* listener)
{
    auto* context = WEBKIT_INPUT_METHOD_CONTEXT(g_object_new(zv_input_method_get_type(), nullptr));
    self(context)->listener = listener;
    return context;
}

void InputMethod::detach(WebKitInputMethodContext* context)
{
    self(context)->listener = nullptr;
}

void InputMethod::commit(WebKitInputMethodContext* context, const char* text)
{
    g_signal_emit_by_name(context, "committed", text);
}

}
