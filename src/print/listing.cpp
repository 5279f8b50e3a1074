#include "print/listing.h"
