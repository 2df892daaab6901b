#include "album/writer.h"
