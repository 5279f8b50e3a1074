#include "io/profiledat.h"
