#include "FakeUserNotifications.h"
