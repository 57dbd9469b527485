// The link record readers, built natively (see LinkRecordsNative.h).
#include "LinkRecordsNative.h"

#include "console/LinkRecords.cpp"
