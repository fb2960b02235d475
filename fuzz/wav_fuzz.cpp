// WAV sounds as Sound loads them from a file: a damaged header is refused
// with a reason; an accepted sound plays, loops, re-pitches and pans on the
// headless mixer without reading outside its samples.
#include "fuzz_support.h"
#include "services/sound.h"
#include "services/zef_file_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::Engine engine;
    static fuzz::ScratchDir dir;
    engine.reset();
    dir.write("s.wav", data, size);

    std::unique_ptr<Sound> sound;
    try {
        sound = std::make_unique<Sound>(engine.dx.get(), dir.file("s.wav"));
    } catch (const fuzz::Refused&) {
        return 0;
    }
    fuzz::require(sound->loaded(), "an accepted sound has a voice");
    fuzz::require(size >= 44 && sound->dataSize() <= size - 44,
                  "an accepted sound holds no more than the file's samples");

    // Playback rate and pan come from the last bytes, so the fuzzer steers them.
    const uint8_t tail = size > 0 ? data[size - 1] : 0;
    sound->stop();
    sound->rewind();
    sound->play((tail & 1) != 0);
    sound->setFrequency(uint32_t(tail) * 400);
    sound->setPan(int32_t(tail) * 80 - 10000);
    (void)engine.sys.mixAudio(2048);
    uint32_t hz = 0;
    sound->getFrequency(hz);
    sound->setFrequency(0);
    (void)engine.sys.mixAudio(512);
    return 0;
}
