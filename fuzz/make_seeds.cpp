// Writes the fuzzers' seed corpora: small valid archives, pictures, sounds
// and animations made with our own writers, one folder per harness.
//
//   kv_make_seeds <out-dir>   # makes <out-dir>/{archive,bmp,wav,zan}/
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "services/net_packet.h"
#include "wav_bytes.h"
#include "zan_encoder.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

bool save(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A BMP of the given depth with a palette where it needs one; `core` writes
// the old 12-byte header, `topDown` a negative height.
Bytes bmpFile(int w, int h, int bits, bool topDown, bool core) {
    const uint32_t infoSize = core ? 12 : 40;
    const uint32_t paletteEntries = bits <= 8 ? (1u << bits) : 0;
    const uint32_t paletteSize = paletteEntries * (core ? 3 : 4);
    const uint32_t rowBytes = ((uint32_t(w) * bits + 31) / 32) * 4;
    const uint32_t offset = 14 + infoSize + paletteSize;
    Bytes out{'B', 'M'};
    fuzz::put32(out, offset + rowBytes * h);
    fuzz::put32(out, 0);
    fuzz::put32(out, offset);
    fuzz::put32(out, infoSize);
    if (core) {
        fuzz::put16(out, w);
        fuzz::put16(out, h);
        fuzz::put16(out, 1);
        fuzz::put16(out, bits);
    } else {
        fuzz::put32(out, w);
        fuzz::put32(out, uint32_t(topDown ? -h : h));
        fuzz::put16(out, 1);
        fuzz::put16(out, bits);
        fuzz::put32(out, 0);  // no compression
        fuzz::put32(out, rowBytes * h);
        fuzz::put32(out, 2835);
        fuzz::put32(out, 2835);
        fuzz::put32(out, paletteEntries);
        fuzz::put32(out, 0);
    }
    for (uint32_t i = 0; i < paletteEntries; ++i) {
        out.push_back(uint8_t(i * 37));
        out.push_back(uint8_t(i * 91));
        out.push_back(uint8_t(255 - i * 13));
        if (!core) out.push_back(0);
    }
    for (int row = 0; row < h; ++row) {
        for (uint32_t b = 0; b < rowBytes; ++b) out.push_back(uint8_t(row * 31 + b * 7));
    }
    return out;
}

// A bit-field picture: the masks after a 40-byte header, or inside a
// 108-byte one.
Bytes bitFieldBmp(int w, int h, int bits, const std::vector<uint32_t>& masks, bool v4) {
    const uint32_t infoSize = v4 ? 108 : 40;
    const uint32_t rowBytes = ((uint32_t(w) * bits + 31) / 32) * 4;
    const uint32_t offset = 14 + infoSize + (v4 ? 0 : 4 * uint32_t(masks.size()));
    Bytes out{'B', 'M'};
    fuzz::put32(out, offset + rowBytes * h);
    fuzz::put32(out, 0);
    fuzz::put32(out, offset);
    fuzz::put32(out, infoSize);
    fuzz::put32(out, w);
    fuzz::put32(out, h);
    fuzz::put16(out, 1);
    fuzz::put16(out, bits);
    fuzz::put32(out, 3);
    fuzz::put32(out, rowBytes * h);
    out.resize(14 + 40, 0);
    for (uint32_t m : masks) fuzz::put32(out, m);
    out.resize(offset, 0);
    for (uint32_t b = 0; b < rowBytes * h; ++b) out.push_back(uint8_t(b * 29 + 3));
    return out;
}

// A 4x3 RLE8 picture stored top-down, with a delta and an end of line.
Bytes rleTopDown() {
    Bytes out = bmpFile(4, 3, 8, true, false);
    const size_t offset = 14 + 40 + 256 * 4;
    out[30] = 1;  // RLE8
    out.resize(offset);
    out.insert(out.end(), {4, 7, 0, 0, 0, 2, 1, 1, 2, 9, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1});
    return out;
}

// Animation seeds carry the 16-bit x and y the harness reads first.
Bytes placed(int16_t x, int16_t y, const Bytes& file) {
    Bytes out;
    fuzz::put16(out, uint16_t(x));
    fuzz::put16(out, uint16_t(y));
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

std::vector<uint16_t> picture(int w, int h, int phase) {
    std::vector<uint16_t> p(size_t(w) * h);
    for (int i = 0; i < w * h; ++i) p[size_t(i)] = uint16_t(((i + phase) % 7) * 0x0841 + phase);
    return p;
}

bool makeArchives(const fs::path& dir, std::string& error) {
    const kv_archive::FileList files = {
        {"gfx/sky.bmp", bmpFile(4, 2, 24, false, false)},
        {"sfx/splash.wav", fuzz::wavFile(1, 8, 11025, 16)},
        {"a", Bytes{}},
        {std::string(79, 'n'), Bytes{1, 2, 3}},
    };
    if (!kv_archive::writeArchive((dir / "four.dat").string(), files, error)) return false;
    if (!kv_archive::writeArchive((dir / "one.dat").string(), {files[1]}, error)) return false;
    if (!kv_archive::writeArchive((dir / "empty.dat").string(), {}, error)) return false;
    // The writer refuses equal names; the reader must still take the first.
    Bytes twice = readAll(dir / "four.dat");
    std::copy(twice.begin() + 4, twice.begin() + 4 + 12, twice.begin() + 4 + 88);
    return save(dir / "twice.dat", twice);
}

bool makePictures(const fs::path& dir) {
    bool ok = true;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        ok &= save(dir / ("d" + std::to_string(bits) + ".bmp"), bmpFile(5, 3, bits, false, false));
    }
    ok &= save(dir / "topdown.bmp", bmpFile(3, 4, 24, true, false));
    ok &= save(dir / "core8.bmp", bmpFile(6, 2, 8, false, true));
    ok &= save(dir / "core24.bmp", bmpFile(2, 2, 24, false, true));
    ok &= save(dir / "fields565.bmp", bitFieldBmp(3, 2, 16, {0xF800, 0x07E0, 0x001F}, false));
    ok &= save(dir / "fields32.bmp",
               bitFieldBmp(2, 3, 32, {0xFF000000, 0x00FF0000, 0x0000FF00}, false));
    ok &= save(dir / "fieldsv4.bmp",
               bitFieldBmp(2, 2, 32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, true));
    ok &= save(dir / "rle8topdown.bmp", rleTopDown());
    return ok;
}

// A canonical file with a LIST chunk of odd length (and its pad byte) put
// before "data", as ffmpeg writes it, and its data size as streamed output
// leaves it.
Bytes withList(Bytes wav, uint32_t dataSize) {
    const Bytes list{'L', 'I', 'S', 'T', 5, 0, 0, 0, 'I', 'N', 'F', 'O', 'x', 0};
    wav.insert(wav.begin() + 36, list.begin(), list.end());
    const size_t sizeField = 36 + list.size() + 4;
    for (int i = 0; i < 4; ++i) wav[sizeField + size_t(i)] = uint8_t(dataSize >> (8 * i));
    return wav;
}

// The 40-byte extensible "fmt " chunk with the PCM sub-format.
Bytes extensible(const Bytes& wav) {
    Bytes out(wav.begin(), wav.begin() + 16);
    fuzz::put32(out, 40);
    out.push_back(0xFE);
    out.push_back(0xFF);
    out.insert(out.end(), wav.begin() + 22, wav.begin() + 36);
    fuzz::put16(out, 22);
    fuzz::put16(out, 16);
    fuzz::put32(out, 4);
    out.insert(out.end(), {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA,
                           0x00, 0x38, 0x9B, 0x71});
    out.insert(out.end(), wav.begin() + 36, wav.end());
    return out;
}

bool makeSounds(const fs::path& dir) {
    const Bytes mono16 = fuzz::wavFile(1, 16, 44100, 25);
    return save(dir / "list.wav", withList(mono16, 50)) &&
           save(dir / "streamed.wav", withList(mono16, 0xFFFFFFFF)) &&
           save(dir / "extensible.wav", extensible(mono16)) &&
           save(dir / "mono8.wav", fuzz::wavFile(1, 8, 11025, 40)) &&
           save(dir / "stereo16.wav", fuzz::wavFile(2, 16, 22050, 30)) &&
           save(dir / "mono16.wav", mono16) &&
           save(dir / "stereo8.wav", fuzz::wavFile(2, 8, 8000, 9));
}

bool makeAnimations(const fs::path& dir) {
    zan::Encoder plain(6, 4, 0);
    plain.addFrame(picture(6, 4, 0));
    plain.addFrame(picture(6, 4, 3));

    zan::Encoder sounds(5, 5, 76);
    const int a = sounds.loadSound("sfx/a.wav");
    const int b = sounds.loadSound("sfx/b.wav");
    sounds.addFrame(picture(5, 5, 1));
    sounds.playSound(a, false);
    sounds.addWait(120);
    sounds.playSound(b, true);
    sounds.addFrame(picture(5, 5, 2));
    sounds.stopSound(b);
    sounds.addWait(40);
    sounds.addFrame(picture(5, 5, 2));

    zan::Encoder sparse(16, 12, 50);
    std::vector<uint16_t> base(16 * 12, 0x1234);
    sparse.setBackground(base);
    base[5 * 16 + 3] = 0x7BEF;
    base[9 * 16 + 14] = 0x0010;
    sparse.addFrame(base);

    return save(dir / "plain.zan", placed(0, 0, plain.finish())) &&
           save(dir / "sounds.zan", placed(300, 200, sounds.finish())) &&
           save(dir / "sparse.zan", placed(620, 460, sparse.finish()));
}

}  // namespace

// Network messages: each seed is a run of messages, each after one byte of
// its length, as the net harness splits them.
bool makeMessages(const fs::path& dir) {
    net::Settings settings;
    settings.seed = 1733660000;
    settings.warDays = 3;
    settings.palmTrees = 5;
    std::vector<uint8_t> ticks(3 * net::kTickBytes);
    ticks[0] = 0x12;
    ticks[net::kTickBytes + 5] = 0x80;
    const std::vector<std::vector<std::vector<uint8_t>>> runs = {
        {net::encodeHello({"Kestova 1.0", 0x0123456789abcdefull})},
        {net::encodeStart(settings)},
        {net::encodeTicks(0, 0, ticks), net::encodeTicks(1, 2, ticks), net::encodeDigest(1, 99)},
        {net::encodeReady(), net::encodeTicks(0, 0, ticks), net::encodeTicks(0, 4, ticks)},
        {net::encodePing(7), net::encodePong(7), net::encodeTicks(2, 0, {})},
        {net::encodeTicks(0, 0, ticks), net::encodeGoodbye(1, 1, ticks)},
    };
    int n = 0;
    for (const auto& run : runs) {
        std::vector<uint8_t> bytes;
        for (const auto& message : run) {
            bytes.push_back(uint8_t(message.size()));
            bytes.insert(bytes.end(), message.begin(), message.end());
        }
        if (!save(dir / ("run" + std::to_string(n++)), bytes)) return false;
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kv_make_seeds <out-dir>\n");
        return 2;
    }
    const fs::path out = argv[1];
    std::error_code ec;
    for (const char* sub : {"archive", "bmp", "wav", "zan", "net"})
        fs::create_directories(out / sub, ec);
    std::string error;
    if (ec || !makeArchives(out / "archive", error) || !makePictures(out / "bmp") ||
        !makeSounds(out / "wav") || !makeAnimations(out / "zan") || !makeMessages(out / "net")) {
        std::fprintf(stderr, "kv_make_seeds: cannot write the seeds under %s %s\n",
                     out.string().c_str(), error.c_str());
        return 1;
    }
    return 0;
}
