#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/zef_base.h"
#include "services/archive_format.h"
#include "services/zef_stream.h"

// Finds data files by name, in the selected archive or (in loose-file mode)
// on disk in the current directory.
class ZefFileManager : public ZefBase {
  public:
    explicit ZefFileManager(ZefDX* owner);

    // "0" selects loose-file mode; any other name selects that archive and
    // reads its directory once. A damaged archive is a fatal error.
    void setArchive(const std::string& name);
    bool fileExists(const std::string& name) const;
    // Fatal "Cannot open file <name>" when the file does not exist.
    void checkFile(const std::string& name) const;
    // The named file's bytes; `size`, when given, receives its length. A
    // missing or unreadable file is a fatal error.
    std::unique_ptr<ZefStream> openFile(const std::string& name, int32_t* size = nullptr) const;

    bool archiveSelected = false;
    std::string archiveName;
    std::vector<archive_format::Entry> directory;
};
