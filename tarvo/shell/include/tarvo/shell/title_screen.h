// The title screen: the suite's lines, a picture, and a key to go on.
#pragma once

#include "tarvo/shell/startup_files.h"

namespace tarvo {

void showTitleScreen(const TitleLines& title);

} // namespace tarvo
