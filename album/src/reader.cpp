#include "album/reader.h"
