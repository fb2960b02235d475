// The archive's directory check and the file manager's reads: whatever the
// bytes, an archive is either refused with a reason or every entry it
// accepts reads back exactly its own bytes from inside the file.
#include <cstring>
#include <sstream>

#include "fuzz_support.h"
#include "services/archive_format.h"
#include "services/zef_file_manager.h"

namespace {

// Opening every entry of a huge directory would only slow the run down.
constexpr size_t kEntriesOpened = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::Engine engine;
    static fuzz::ScratchDir dir;
    engine.reset();

    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<archive_format::Entry> entries;
    std::string error;
    const bool accepted = archive_format::readDirectory(in, size, entries, error);
    if (!accepted) fuzz::require(!error.empty(), "a refused archive says why");
    for (const archive_format::Entry& e : entries) {
        fuzz::require(e.offset >= 0 && e.size >= 0 && uint64_t(e.offset) + e.size <= size,
                      "accepted entries lie inside the archive");
        fuzz::require(e.name.size() <= archive_format::kMaxNameLength, "names fit their field");
    }

    dir.write("a.dat", data, size);
    ZefFileManager manager(engine.dx.get());
    bool selected = true;
    try {
        manager.setArchive(dir.file("a.dat"));
    } catch (const fuzz::Refused&) {
        selected = false;
    }
    fuzz::require(selected == accepted, "the game and the checker agree on an archive");
    if (!selected) return 0;

    for (size_t i = 0; i < manager.directory.size() && i < kEntriesOpened; ++i) {
        const std::string& name = manager.directory[i].name;
        const archive_format::Entry* first = archive_format::findEntry(manager.directory, name);
        fuzz::require(first != nullptr && manager.fileExists(name), "a listed name is found");
        int32_t length = -1;
        std::unique_ptr<ZefStream> stream = manager.openFile(name, &length);
        fuzz::require(length == first->size && stream->size() == size_t(first->size),
                      "an entry opens with its own size");
        fuzz::require(first->size == 0 || std::memcmp(stream->data(), data + first->offset,
                                                      size_t(first->size)) == 0,
                      "an entry reads its own bytes");
        // Reads stop at the entry's end, never in a neighbour's data.
        uint8_t probe[8];
        stream->seek(stream->size());
        fuzz::require(stream->read(probe, sizeof probe) == 0, "no read past an entry");
    }
    return 0;
}
