#pragma once

// The look of a bar when nothing else (an image, a bar tint) decides it: the light system
// background, or black with light content.
enum class UIBarStyle { defaultStyle = 0, black = 1 };
