#include "shell/note_window.h"

#include <cstring>

#include "platform/pixel_surface.h"

namespace {

void copyPicture(const platform::PixelSurface& from, std::unique_ptr<platform::PixelSurface>& to) {
    if (!to || to->width() != from.width() || to->height() != from.height()) {
        to = std::make_unique<platform::PixelSurface>(from.width(), from.height());
    }
    const size_t rowBytes = size_t(from.width()) * 2;
    for (int y = 0; y < from.height(); ++y) {
        std::memcpy(
            reinterpret_cast<uint8_t*>(to->pixels()) + size_t(y) * size_t(to->pitch()),
            reinterpret_cast<const uint8_t*>(from.pixels()) + size_t(y) * size_t(from.pitch()),
            rowBytes);
    }
}

}  // namespace

int32_t NoteWindow::present(const platform::PixelSurface& back) {
    copyPicture(back, last_);
    return show(back);
}

void NoteWindow::showNote(const std::string& text, uint32_t forMs) {
    note_ = text;
    noteUntilMs_ = clock_.milliseconds() + forMs;
}

void NoteWindow::setWaiting(bool waiting, const std::string& text) {
    waiting_ = waiting;
    waitingText_ = text;
    if (last_) show(*last_);
}

std::string NoteWindow::currentNote() const {
    if (waiting_) {
        const std::string detail = waitingDetail ? waitingDetail() : "";
        return waitingText_ + (detail.empty() ? "" : "\n" + detail);
    }
    if (!note_.empty() && clock_.milliseconds() < noteUntilMs_) return note_;
    return "";
}

int32_t NoteWindow::show(const platform::PixelSurface& picture) {
    const std::string note = currentNote();
    if (!note.empty() && compose) {
        if (const platform::PixelSurface* noted = compose(picture, note))
            return inner_.present(*noted);
    }
    return inner_.present(picture);
}
