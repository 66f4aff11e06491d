#pragma once
// Text from files and instruments on its way to a terminal: a control character could move the
// cursor, retitle the window, ring the bell or hide what follows. Each one is shown in caret
// notation instead ("^[" for ESC, "^G" for BEL, "^@" for NUL, "^?" for DEL), and the C1 controls
// in UTF-8 (U+0080..U+009F) as "\u009b". Tabs stay; everything else passes unchanged.
#include <string>
#include <string_view>

namespace zul {

std::string printable(std::string_view text);

} // namespace zul
