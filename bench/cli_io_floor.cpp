// The file work of a whole command-line merge and nothing else, as a process of its own: lists
// Custom Scenery, reads every add-on nav.dat and the database, copies the database to its
// backup and writes a file of the merged database's size in its place, both flushed to disk and
// swapped in as a merge does. scripts/cli-merge-bench.py times it against `quillet merge`.
//
//   quillet_cli_io_floor <X-Plane folder> <merged size in bytes>

#include "base/atomic_file_writer.h"
#include "base/file_ops.h"
#include "base/folder_listing.h"
#include "base/path.h"
#include "base/text_file.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillet_cli_io_floor <X-Plane folder> <merged size>\n");
        return 2;
    }
    const std::string xplane = argv[1];
    const std::string scenery = joinPath(xplane, "Custom Scenery");
    const std::string database =
        joinPath(joinPath(joinPath(xplane, "Resources"), "default data"), "earth_nav.dat");
    std::string bytes;
    std::size_t read = 0;
    if (const auto entries = folderEntries(scenery)) {
        for (const std::string& entry : *entries) {
            const std::string navDat =
                joinPath(joinPath(joinPath(scenery, entry), "Earth nav data"), "nav.dat");
            if (readFileBytes(navDat, bytes))
                read += bytes.size();
        }
    }
    if (!readFileBytes(database, bytes) || !copyFile(database, database + ".bak")) {
        std::fprintf(stderr, "cannot read or back up %s\n", database.c_str());
        return 3;
    }
    AtomicFileWriter file(database, AtomicFileWriter::LineFeeds::AsGiven);
    file.write(std::string(std::strtoull(argv[2], nullptr, 10), 'x'));
    if (!file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", database.c_str());
        return 3;
    }
    return read > 0 ? 0 : 1;
}
