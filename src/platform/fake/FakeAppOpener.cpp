#include "FakeAppOpener.h"
