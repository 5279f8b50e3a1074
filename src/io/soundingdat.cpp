#include "io/soundingdat.h"
