#include "shell/net_local_keys.h"

#include "engine/zef_dx.h"
#include "services/dik_codes.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

void NetLocalKeys::readKeys(uint8_t state[256]) {
    inner_.readKeys(state);
    if ((state[DIK_F10] & 0x80) != 0 && onEmergencyExit) onEmergencyExit();
    if (!sending || !sending()) return;
    // Whether a press is new is settled on the keys both machines share;
    // here only what is held counts.
    uint8_t before[256] = {};
    const bool frameRead = Form1 != nullptr && Form1->engine != nullptr &&
                           Form1->engine->input != nullptr && Form1->engine->input->frameRead();
    pads_.press(state, before, frameRead);
}
