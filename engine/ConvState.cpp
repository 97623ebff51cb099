#include "engine/ConvState.h"

namespace plotalon {

void ResetModalState(TModalState& state) {
    state = TModalState{};
}

TConvSettings& ConvSettings() {
    static TConvSettings settings;
    return settings;
}

TModalState& ModalState() {
    static TModalState state;
    return state;
}

} // namespace plotalon
