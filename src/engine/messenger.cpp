#include "engine/messenger.h"

#include "engine/sprite_font.h"
#include "engine/zef_dx.h"
#include "shell/main_window.h"

Messenger::Messenger(ZefDX* owner) : ZefBase(owner) {}

void Messenger::show(const std::string& text, int32_t frames) {
    this->text = text;
    framesLeft = frames;
}

void Messenger::process() {
    if (framesLeft <= 0) return;
    --framesLeft;
    if (Form1 != nullptr && Form1->font != nullptr) {
        Form1->font->draw(owner->back, 320, 150, text, 6);
    }
}
