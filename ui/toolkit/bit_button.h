// Button with a picture area beside its caption. The program's buttons of this kind carry no
// picture, so it is drawn as a push button with the same behaviour.
#pragma once
#include "button.h"

namespace vemo::ui {

class BitButton : public Button {};

}  // namespace vemo::ui
