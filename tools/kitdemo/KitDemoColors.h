#pragma once

#include "platform/ui/UIColor.h"

// The demo's colours, each with a light and a dark variant so that a run with --dark shows the
// dark style.
namespace kitdemo {

inline UIColor ink()
{
    return UIColor::dynamic(UIColor(0.11, 0.10, 0.26, 1), UIColor(0.93, 0.93, 0.96, 1));
}

inline UIColor paper()
{
    return UIColor::dynamic(UIColor::white(), UIColor(0.07, 0.07, 0.09, 1));
}

// Behind the pages that hold a line of text and a button.
inline UIColor mist()
{
    return UIColor::dynamic(UIColor(0.96, 0.96, 0.98, 1), UIColor(0.12, 0.12, 0.14, 1));
}

// A sheet over the page, and the rows on it: lighter than the page in the dark, as raised
// surfaces are.
inline UIColor sheet()
{
    return UIColor::dynamic(UIColor::white(), UIColor(0.19, 0.19, 0.22, 1));
}

inline UIColor sheetRow()
{
    return UIColor::dynamic(UIColor(0.96, 0.96, 0.98, 1), UIColor(0.27, 0.27, 0.31, 1));
}

// Secondary texts: as faint as they may be and still read (4.5:1) on the page, the mist and, in
// the dark, the sheet.
inline UIColor muted()
{
    return UIColor::dynamic(UIColor(0.41, 0.41, 0.47, 1), UIColor(0.6, 0.6, 0.65, 1));
}

// The accent stays the same in both styles; text on it stays dark.
inline UIColor mint()
{
    return UIColor(0.01, 1, 0.88, 1);
}

inline UIColor inkOnMint()
{
    return UIColor(0.11, 0.10, 0.26, 1);
}

}
