#include "cli/commands.h"

#include "cli/exit_codes.h"
#include "cli/xplane_argument.h"
#include "merge/backup_restore.h"
#include "scenery/xplane_paths.h"

#include <ostream>

int runRestore(const RestoreRequest& request, Console& console) {
    if (!namesXPlaneFolder(request.xplane, console, "; nothing was changed."))
        return kExitInputError;
    const RestoreResult result =
        restoreBackup(mergeTargetOf(xplaneFolderAt(request.xplane)).earthNavPath);
    switch (result.end) {
    case RestoreEnd::Restored:
        console.out << result.message << "\n";
        return kExitSuccess;
    case RestoreEnd::InputError:
        console.err << "quillet: " << result.message << "\n";
        return kExitInputError;
    case RestoreEnd::Busy:
        console.err << "quillet: " << result.message << "\n";
        return kExitBusy;
    case RestoreEnd::WriteError:
        break;
    }
    console.err << "quillet: " << result.message << "\n";
    return kExitWriteError;
}
