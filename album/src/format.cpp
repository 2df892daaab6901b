#include "album/format.h"
