#include "game/mmenu.h"

#include <algorithm>
#include <string>

#include "engine/messenger.h"
#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/surface_chain.h"
#include "engine/zef_dx.h"
#include "engine/zef_font.h"
#include "game/computer_strength.h"
#include "game/game_controller.h"
#include "services/sound.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

namespace {

const char* const kRowLabels[5] = {"left player", "right player", "war days", "palm trees",
                                   "            start!"};

bool anyHit(ZefInput* input, std::initializer_list<int> codes) {
    for (int code : codes) {
        if (input->keyHit(code)) return true;
    }
    return false;
}

}  // namespace

MMenu::MMenu(ZefDX* owner) : ZefBase(owner) {}

void MMenu::playClick() {
    Form1->click->stop();
    Form1->click->rewind();
    Form1->click->play(false);
}

void MMenu::changeSelectedValue(int32_t delta) {
    switch (selectedRow) {
        case 0:
            isComputer[0] += delta;
            break;
        case 1:
            isComputer[1] += delta;
            break;
        case 2:
            warDays += delta;
            break;
        case 3:
            palmTrees += delta;
            break;
        default:
            break;
    }
}

void MMenu::chooseStrength(ZefInput* input) {
    // Digits 1 to 5 on a computer side's row.
    if (selectedRow > 1 || isComputer[selectedRow] != 1) return;
    for (int32_t s = kWeakestStrength; s <= kStrongestStrength; ++s) {
        if (input->keyHit(DIK_1 + s - kWeakestStrength)) {
            playClick();
            strength[selectedRow] = s;
        }
    }
}

void MMenu::process() {
    ZefInput* input = owner->input;
    Form1->click->setFrequency(0);

    if (anyHit(input, {DIK_UP, DIK_W, DIK_NUMPAD8})) {
        playClick();
        selectedRow -= 1;
    }
    if (anyHit(input, {DIK_DOWN, DIK_S, DIK_NUMPAD2})) {
        playClick();
        selectedRow += 1;
    }
    selectedRow = std::clamp(selectedRow, 0, 4);
    if (anyHit(input, {DIK_LEFT, DIK_A, DIK_NUMPAD4})) {
        playClick();
        changeSelectedValue(-1);
    }
    if (anyHit(input, {DIK_RIGHT, DIK_D, DIK_NUMPAD6})) {
        playClick();
        changeSelectedValue(+1);
    }
    chooseStrength(input);
    isComputer[0] = std::clamp(isComputer[0], 0, 1);
    isComputer[1] = std::clamp(isComputer[1], 0, 1);
    for (int32_t& s : strength) s = std::clamp(s, kWeakestStrength, kStrongestStrength);
    warDays = std::max(warDays, 1);
    palmTrees = std::clamp(palmTrees, 1, 10);

    draw();

    if (anyHit(input, {DIK_RETURN, DIK_LSHIFT, DIK_SPACE}) && selectedRow == 4) startMatch();
    if (input->keyHit(DIK_ESCAPE) && Form1->showQuitScreen()) Form1->quitRequested = true;
    if (input->keyHit(DIK_C) && controlsOffered()) Form1->showControlsScreen();
}

// Network play reads both sides with the same keys: no controls screen there,
// and no replay that would leave the other machine behind.
bool MMenu::controlsOffered() const {
    return !Form1->networkPlay;
}

void MMenu::draw() {
    Surface* back = owner->back;
    Form1->smallLogo->blit(back, 320, 100, nullptr, nullptr, 1.0);
    for (int32_t row = 0; row < 5; ++row) {
        Form1->font->draw(back, 160, 204 + 40 * row, kRowLabels[row], 0);
    }
    for (int32_t side = 0; side < 2; ++side) {
        const std::string who =
            isComputer[side] == 0 ? "human" : "computer " + std::to_string(strength[side]);
        Form1->font->draw(back, 350, 204 + 40 * side, who, 0);
    }
    Form1->font->draw(back, 350, 284, std::to_string(warDays), 0);
    Form1->font->draw(back, 350, 324, std::to_string(palmTrees), 0);
    // The keys beyond the five rows, small at the bottom; network play has neither.
    if (controlsOffered()) {
        Form1->textFont->draw(back, 320, 446, "R: replay the last match    C: controls",
                              ZefFont::kOwnColour, 6);
    }

    // Halving toward the target each frame makes the arrows glide.
    arrowX = (arrowX + 140) / 2;
    arrowY = (selectedRow * 40 + arrowY + 224) / 2;
    Form1->arrowChain->getSurf(8)->blit(back, arrowX, arrowY, nullptr, nullptr, 1.0);
    Form1->arrowChain->getSurf(24)->blit(back, 640 - arrowX, arrowY, nullptr, nullptr, 1.0);
}

void MMenu::startMatch() {
    Form1->saveSettings();
    Form1->click->setFrequency(22000);
    playClick();
    Form1->music->stop();
    Form1->closeCurtain();
    owner->children.remove(this);
    delete Form1->match;
    Form1->match = nullptr;
    // The constructor shows the first title card before the match is listed.
    Form1->match = new GameController(owner);
    owner->children.append(Form1->match);
    owner->children.append(Form1->messenger);
    owner->input->waitForNoKeys();
}
