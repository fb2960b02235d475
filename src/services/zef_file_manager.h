#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/zef_base.h"
#include "platform/mapped_file.h"
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
    // missing or unreadable file is a fatal error. In archive mode the
    // stream reads the mapped archive in place.
    std::unique_ptr<ZefStream> openFile(const std::string& name, int32_t* size = nullptr) const;

    bool archiveSelected = false;
    std::string archiveName;
    std::vector<archive_format::Entry> directory;

  private:
    const archive_format::Entry* find(const std::string& name) const;

    std::shared_ptr<const platform::MappedFile> archive_;
    // The first entry of each name: the loaders ask for hundreds of names.
    std::unordered_map<std::string, size_t> firstEntry_;
};
