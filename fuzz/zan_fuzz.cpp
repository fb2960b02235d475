// ".zan" animations played through the engine's blocking player on the
// headless backend. The first four bytes place the animation (16-bit x and
// y), the rest is the file. A damaged file is refused with a reason before
// anything is drawn or read outside the frame buffer, the surface or the
// sound list; a long wait is cut short by Space, as a player would. The file
// is packed into an archive with two sounds it may load, as the game reads it.
#include "fuzz_support.h"
#include "services/archive_format.h"
#include "services/dik_codes.h"
#include "services/zef_file_manager.h"
#include "wav_bytes.h"

namespace {

// Key reads allowed per input before Space starts being tapped.
constexpr int kPatientReads = 64;

// An archive of the animation followed by the sounds it may load.
std::vector<uint8_t> archiveOf(const uint8_t* zan, size_t zanSize) {
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"gfx/interaction.zan", std::vector<uint8_t>(zan, zan + zanSize)},
        {"sfx/a.wav", fuzz::wavFile(1, 8, 11025, 64)},
        {"sfx/b.wav", fuzz::wavFile(2, 16, 22050, 32)},
    };
    std::vector<uint8_t> out(archive_format::kCountSize +
                             files.size() * archive_format::kEntrySize);
    archive_format::writeLE32(out.data(), int32_t(files.size()));
    for (size_t i = 0; i < files.size(); ++i) {
        uint8_t* entry = out.data() + archive_format::kCountSize + i * archive_format::kEntrySize;
        std::copy(files[i].first.begin(), files[i].first.end(), entry);
        archive_format::writeLE32(entry + archive_format::kNameField, int32_t(out.size()));
        archive_format::writeLE32(entry + archive_format::kNameField + 4,
                                  int32_t(files[i].second.size()));
        out.insert(out.end(), files[i].second.begin(), files[i].second.end());
    }
    return out;
}

struct Stage {
    Stage() {
        engine.sys.onKeyRead = [this](int read, uint8_t held[256]) {
            if (read - firstRead > kPatientReads && read % 2 == 0) held[DIK_SPACE] = 0x80;
        };
    }
    fuzz::ScratchDir dir;
    fuzz::Engine engine;
    int firstRead = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Stage stage;
    if (size < 4) return 0;
    stage.engine.reset();
    stage.firstRead = stage.engine.sys.keyReads();
    const int x = int16_t(data[0] | data[1] << 8);
    const int y = int16_t(data[2] | data[3] << 8);
    const std::vector<uint8_t> archive = archiveOf(data + 4, size - 4);
    stage.dir.write("anim.dat", archive.data(), archive.size());
    try {
        stage.engine.dx->fileManager->setArchive(stage.dir.file("anim.dat"));
        stage.engine.dx->playAnimation("gfx/interaction.zan", x, y);
    } catch (const fuzz::Refused&) {
    }
    return 0;
}
