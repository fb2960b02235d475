#include "services/recording.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "services/key_names.h"

namespace replay {

namespace {

// "KVREPLAY", the format version, then the body; the last 8 bytes are an
// FNV-1a hash of everything before them, so damage anywhere is seen at once.
constexpr char kMagic[8] = {'K', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'};
// Far beyond any real match (a day of play is 2.3 million ticks), small
// enough that a damaged count cannot make us reserve gigabytes.
constexpr uint64_t kMaxReads = 100000000;
constexpr uint64_t kMaxText = 256;

uint64_t fnv1a(const uint8_t* data, size_t size) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
    return h;
}

class Writer {
  public:
    void bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        out.insert(out.end(), p, p + n);
    }
    void u64(uint64_t v) {
        for (int i = 0; i < 8; ++i) out.push_back(uint8_t(v >> (8 * i)));
    }
    void var(uint64_t v) {
        while (v >= 0x80) {
            out.push_back(uint8_t(v | 0x80));
            v >>= 7;
        }
        out.push_back(uint8_t(v));
    }
    void sint(int64_t v) { var((uint64_t(v) << 1) ^ uint64_t(v >> 63)); }
    void text(const std::string& s) {
        var(s.size());
        bytes(s.data(), s.size());
    }
    std::vector<uint8_t> out;
};

class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool failed() const { return failed_; }
    size_t left() const { return size_t(end_ - p_); }
    const char* what = "cut short";

    bool bytes(void* to, size_t n) {
        if (!need(n)) return false;
        if (n == 0) return true;  // `to` may be an empty vector's null data
        std::memcpy(to, p_, n);
        p_ += n;
        return true;
    }
    uint64_t u64() {
        uint8_t b[8] = {};
        bytes(b, 8);
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = (v << 8) | b[i];
        return v;
    }
    uint64_t var() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (!need(1)) return 0;
            const uint8_t b = *p_++;
            v |= uint64_t(b & 0x7F) << shift;
            if ((b & 0x80) == 0) return v;
        }
        return fail("a number runs on too long"), 0;
    }
    // A number that must lie in [lo, hi].
    int64_t sint(int64_t lo, int64_t hi, const char* name) {
        const uint64_t z = var();
        const int64_t v = int64_t(z >> 1) ^ -int64_t(z & 1);
        if (!failed_ && (v < lo || v > hi)) fail(name);
        return failed_ ? 0 : v;
    }
    uint64_t count(uint64_t max, const char* name) {
        const uint64_t v = var();
        if (!failed_ && v > max) fail(name);
        return failed_ ? 0 : v;
    }
    std::string text(const char* name) {
        std::string s(size_t(count(kMaxText, name)), '\0');
        bytes(s.data(), s.size());
        return s;
    }
    bool fail(const char* reason) {
        if (!failed_) what = reason;
        failed_ = true;
        return false;
    }

  private:
    bool need(size_t n) {
        if (failed_ || left() < n) {
            failed_ = true;
            return false;
        }
        return true;
    }
    const uint8_t* p_;
    const uint8_t* end_;
    bool failed_ = false;
};

// Each list is kept in tick order and stored as tick differences.
template <class T, class Put>
void writeList(Writer& w, const std::vector<T>& list, Put put) {
    w.var(list.size());
    int last = 0;
    for (const T& item : list) {
        w.var(uint64_t(item.read - last));
        last = item.read;
        put(item);
    }
}

template <class T, class Get>
void readList(Reader& r, std::vector<T>& list, int reads, const char* name, Get get) {
    const uint64_t n = r.count(r.left(), name);
    int last = 0;
    for (uint64_t i = 0; i < n && !r.failed(); ++i) {
        T item;
        const uint64_t step = r.var();
        if (step > uint64_t(reads - last)) {
            r.fail("an event lies past the recording's end");
            return;
        }
        item.read = last + int(step);
        last = item.read;
        get(item);
        list.push_back(item);
    }
}

}  // namespace

std::vector<uint8_t> serialise(const Recording& r) {
    Writer w;
    w.bytes(kMagic, sizeof kMagic);
    w.var(r.netDigests.empty() ? 2 : kFormatVersion);
    w.text(r.gameVersion);
    w.u64(r.dataHash);
    w.var(r.kind == "program" ? 1 : 0);
    w.u64(r.seed);
    for (int v : r.menu) w.sint(v);
    for (int v : r.strength) w.sint(v);
    w.var(r.bindings.size());
    w.bytes(r.bindings.data(), r.bindings.size());
    for (int v :
         {r.arrowX, r.arrowY, r.frameCounter, r.viewX, r.viewY, r.layerSteps[0], r.layerSteps[1]}) {
        w.sint(v);
    }
    w.text(r.banner);
    w.sint(r.bannerFrames);
    w.var(r.heldKeys.size());
    w.bytes(r.heldKeys.data(), r.heldKeys.size());
    w.var(uint64_t(r.firstRead));
    w.var(uint64_t(r.reads));
    writeList(w, r.changes, [&w](const KeyChange& c) { w.var(uint64_t(c.code) << 1 | c.down); });
    writeList(w, r.marks, [&w](const OldKeyMark& m) { w.var(uint64_t(m.code)); });
    writeList(w, r.focus, [&w](const FocusChange& f) { w.var(f.focused ? 1 : 0); });
    writeList(w, r.digests, [&w](const DigestMark& d) { w.u64(d.digest); });
    if (!r.netDigests.empty()) {
        w.var(r.netDigests.size());
        for (const NetDigest& d : r.netDigests) {
            w.var(d.tick);
            w.u64(d.own);
            w.u64(d.partner);
        }
    }
    w.u64(fnv1a(w.out.data(), w.out.size()));
    return std::move(w.out);
}

bool parse(const uint8_t* data, size_t size, Recording& out, std::string& error) {
    out = Recording();
    char magic[8] = {};
    if (size < sizeof magic + 8 || std::memcmp(data, kMagic, sizeof magic) != 0) {
        error = "not a Kestova recording";
        return false;
    }
    Reader r(data, size - 8);
    r.bytes(magic, sizeof magic);
    const uint64_t format = r.var();
    if (!r.failed() && (format < 1 || format > kFormatVersion)) {
        error = "recording format " + std::to_string(format) + ", this game reads format " +
                std::to_string(kFormatVersion);
        return false;
    }
    if (Reader(data + size - 8, 8).u64() != fnv1a(data, size - 8)) {
        error = "damaged: its checksum does not match";
        return false;
    }
    out.gameVersion = r.text("the game version is too long");
    out.dataHash = r.u64();
    const uint64_t kind = r.count(1, "unknown kind of run");
    out.kind = kind == 1 ? "program" : "match";
    out.seed = r.u64();
    const int64_t big = 1 << 30;
    for (int& v : out.menu) v = int(r.sint(-big, big, "a menu value is out of range"));
    if (format >= 2) {
        for (int& v : out.strength) v = int(r.sint(1, 5, "a strength is out of range"));
        const uint64_t n = r.count(Recording::kBindingBytes, "bad key bindings");
        if (!r.failed() && n != 0 && n != Recording::kBindingBytes) r.fail("bad key bindings");
        out.bindings.resize(r.failed() ? 0 : size_t(n));
        r.bytes(out.bindings.data(), out.bindings.size());
    }
    for (int* v : {&out.arrowX, &out.arrowY, &out.frameCounter, &out.viewX, &out.viewY,
                   &out.layerSteps[0], &out.layerSteps[1]}) {
        *v = int(r.sint(INT32_MIN, INT32_MAX, "a start value is out of range"));
    }
    out.banner = r.text("the banner is too long");
    out.bannerFrames = int(r.sint(INT32_MIN, INT32_MAX, "the banner's frames are out of range"));
    out.heldKeys.resize(size_t(r.count(256, "too many held keys")));
    r.bytes(out.heldKeys.data(), out.heldKeys.size());
    out.firstRead = int(r.count(kMaxReads, "the first tick is out of range"));
    out.reads = int(r.count(kMaxReads, "the length is out of range"));
    if (!r.failed() && out.firstRead > out.reads) r.fail("it starts after its end");
    readList(r, out.changes, out.reads, "too many key changes", [&r](KeyChange& c) {
        const uint64_t v = r.count(511, "a key code is out of range");
        c.code = int(v >> 1);
        c.down = (v & 1) != 0;
    });
    readList(r, out.marks, out.reads, "too many key marks",
             [&r](OldKeyMark& m) { m.code = int(r.count(255, "a key code is out of range")); });
    readList(r, out.focus, out.reads, "too many focus changes",
             [&r](FocusChange& f) { f.focused = r.count(1, "a bad focus change") == 1; });
    readList(r, out.digests, out.reads, "too many digests",
             [&r](DigestMark& d) { d.digest = r.u64(); });
    if (format >= 3) {
        const uint64_t n = r.count(Recording::kMaxNetDigests, "too many network digests");
        if (!r.failed() && n == 0) r.fail("a report without network digests");
        for (uint64_t i = 0; i < n && !r.failed(); ++i) {
            NetDigest d;
            d.tick = uint32_t(r.count(UINT32_MAX, "a network tick is out of range"));
            d.own = r.u64();
            d.partner = r.u64();
            out.netDigests.push_back(d);
        }
    }
    if (!r.failed() && r.left() != 0) r.fail("bytes follow its end");
    if (r.failed()) {
        error = std::string("damaged: ") + r.what;
        return false;
    }
    return true;
}

bool readRecording(const std::string& path, Recording& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be opened";
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (!parse(bytes.data(), bytes.size(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool writeRecording(const std::string& path, const Recording& recording, std::string& error) {
    // Whole, under a temporary name, then renamed: a reader never sees half a file.
    const std::string temporary = path + ".part";
    const std::vector<uint8_t> bytes = serialise(recording);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.flush()) {
            std::remove(temporary.c_str());
            error = path + ": cannot be written";
            return false;
        }
    }
    std::error_code code;
    std::filesystem::rename(temporary, path, code);
    if (code) {
        std::remove(temporary.c_str());
        error = path + ": " + code.message();
        return false;
    }
    return true;
}

int keyCodeOf(const std::string& name) {
    for (int code = 0; code < 256; ++code) {
        if (!name.empty() && keyName(code) == name) return code;
    }
    return -1;
}

KeyCursor::KeyCursor(const Recording& recording) : rec_(recording), read_(recording.firstRead) {
    for (uint8_t code : rec_.heldKeys) held_[code] = 0x80;
    // Changes before the first read are the start's; skip what lies before it.
    while (change_ < rec_.changes.size() && rec_.changes[change_].read < read_) ++change_;
    while (mark_ < rec_.marks.size() && rec_.marks[mark_].read < read_) ++mark_;
}

void KeyCursor::next(uint8_t held[256], uint8_t marked[256]) {
    for (; change_ < rec_.changes.size() && rec_.changes[change_].read <= read_; ++change_) {
        const KeyChange& c = rec_.changes[change_];
        held_[c.code & 0xFF] = c.down ? 0x80 : 0;
    }
    for (; focus_ < rec_.focus.size() && rec_.focus[focus_].read <= read_; ++focus_) {
        focused_ = rec_.focus[focus_].focused;
    }
    std::memset(marked, 0, 256);
    for (; mark_ < rec_.marks.size() && rec_.marks[mark_].read <= read_; ++mark_) {
        if (rec_.marks[mark_].read == read_) marked[rec_.marks[mark_].code & 0xFF] = 0x80;
    }
    std::memcpy(held, held_, 256);
    ++read_;
}

}  // namespace replay
