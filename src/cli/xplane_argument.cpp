#include "cli/xplane_argument.h"

#include "base/folder_listing.h"

#include <ostream>

bool namesXPlaneFolder(const std::string& xplane, Console& console, std::string_view consequence) {
    if (isFolder(xplane))
        return true;
    console.err << "quillet: there is no X-Plane folder " << xplane << consequence << "\n";
    return false;
}
