#pragma once

#include <string>

class UIView;

// A tab page's name in a plain label centred in its view, until the page has content of its own.
void addTabPageTitle(UIView& view, const std::string& title);
