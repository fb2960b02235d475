#include "shell/match_recorder.h"

#include <cstring>

#include "engine/zef_dx.h"
#include "platform/system.h"
#include "shell/main_window.h"
#include "shell/replay_run.h"
#include "shell/state_digest.h"

MatchRecorder::MatchRecorder(TForm1& form, KeyFeed* inner) : form_(form), inner_(inner) {}

bool MatchRecorder::listed(const void* screen) const {
    return screen != nullptr &&
           form_.engine->children.contains(static_cast<const ZefBase*>(screen));
}

void MatchRecorder::press(uint8_t keys[256], uint8_t oldKeys[256], bool frameRead) {
    uint8_t before[256];
    std::memcpy(before, oldKeys, sizeof before);
    if (inner_ != nullptr) inner_->press(keys, oldKeys, frameRead);
    if (state_ == State::Idle) return;
    for (int code = 0; code < 256; ++code) {
        const uint8_t down = keys[code] & 0x80;
        if (down != held_[code]) rec_.changes.push_back({read_, code, down != 0});
        held_[code] = down;
        if ((oldKeys[code] & 0x80) && !(before[code] & 0x80)) rec_.marks.push_back({read_, code});
    }
    const bool focused = form_.system->window().hasFocus();
    if (focused != focused_) rec_.focus.push_back({read_, focused});
    focused_ = focused;
    ++read_;
}

void MatchRecorder::frameStart() {
    const bool inMenu = listed(form_.menu);
    const bool inMatch = listed(form_.match);
    if (state_ == State::Match && !inMatch) end();
    if (inMenu && !inMatch) {
        // Every menu frame may be the one that starts a match: start afresh.
        rec_ = replay::Recording();
        captureStart(form_, rec_);
        std::memset(held_, 0, sizeof held_);
        for (uint8_t code : rec_.heldKeys) held_[code] = 0x80;
        focused_ = true;
        read_ = rec_.firstRead = 0;
        lastDigest_ = -kDigestReads;
        state_ = State::Menu;
        return;
    }
    if (state_ == State::Menu && inMatch) state_ = State::Match;
    if (state_ == State::Match && read_ - lastDigest_ >= kDigestReads) {
        rec_.digests.push_back({read_, stateDigest(false)});
        lastDigest_ = read_;
    }
}

void MatchRecorder::finish() {
    if (state_ == State::Match) end();
    state_ = State::Idle;
}

replay::Recording MatchRecorder::snapshot() const {
    if (state_ == State::Idle) return replay::Recording();
    replay::Recording so = rec_;
    so.reads = read_;
    return so;
}

void MatchRecorder::end() {
    rec_.reads = read_;
    state_ = State::Idle;
    if (onMatchEnd) onMatchEnd(std::move(rec_));
    rec_ = replay::Recording();
}
