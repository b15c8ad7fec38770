#pragma once

// Settles process-wide state before Qt or anything else reads it. Called first in main().
//
// Without TZ, the C library looks at /etc/localtime again on every local-time conversion;
// listing thousands of documents converts each date, so the zone is named once here (a
// change of the system's zone then takes effect at the next start).
void prepareProcessEnvironment();
