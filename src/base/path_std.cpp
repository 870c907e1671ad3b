#include "base/path.h"

const char kPathSeparator = '/';
