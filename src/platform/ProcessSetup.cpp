#include "ProcessSetup.h"

#include <cstdlib>
#include <ctime>
#include <unistd.h>

void prepareProcessEnvironment()
{
    const char *tz = std::getenv("TZ");
    if ((tz == nullptr || *tz == '\0') && access("/etc/localtime", R_OK) == 0) {
        setenv("TZ", ":/etc/localtime", 1);
        tzset();
    }
}
