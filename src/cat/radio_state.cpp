#include "cat/radio_state.h"

namespace kestrel {

int32_t GetMenuItemCount() { return 118; }

int MenuAnswerWidth(int32_t number) {
    if (number < 1 || number > GetMenuItemCount()) {
        return -1;
    }
    return 3;
}

}  // namespace kestrel
