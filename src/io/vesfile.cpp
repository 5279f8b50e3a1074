#include "io/vesfile.h"
