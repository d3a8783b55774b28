#include "platform/ui/qmui/QMUIConsole.h"

namespace {

struct ConsoleState {
    bool canShow = true;
    bool showing = false;
};

ConsoleState& state()
{
    static ConsoleState s;
    return s;
}

}

bool QMUIConsole::canShow()
{
    return state().canShow;
}

void QMUIConsole::setCanShow(bool canShow)
{
    state().canShow = canShow;
    if (!canShow)
        state().showing = false;
}

bool QMUIConsole::show()
{
    if (!state().canShow)
        return false;
    state().showing = true;
    return true;
}

void QMUIConsole::hide()
{
    state().showing = false;
}

bool QMUIConsole::isShowing()
{
    return state().showing;
}

void QMUIConsole::resetForTesting()
{
    state() = {};
}
