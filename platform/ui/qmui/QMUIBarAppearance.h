#pragma once

class UITabBar;
class UIToolbar;

// How the configuration's tab bar, tool bar and navigation bar values reach the bars. Once the
// configuration's initial templates have applied, every tab bar and tool bar takes the values as
// it comes into a window (when its controller's class is listed in tabBarContainerClasses or
// toolBarContainerClasses, or when none are); after a change of the default theme, whose
// observers rewrite the configuration, the bars in the windows and their navigation controllers
// take the values again. Main thread.
class QMUIBarAppearance {
public:
    // Installs the bars' rules (again after a reset; harmless when repeated).
    static void install();
    static void apply(UITabBar& bar);
    static void apply(UIToolbar& bar);
    // The bars of the visible windows take the configuration again, and each QMUINavigationController
    // there re-applies its bar's look.
    static void updateVisibleBars();
};
