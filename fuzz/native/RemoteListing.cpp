// The remote pickers' answer reader, built natively (see LinkRecordsNative.h).
#include "LinkRecordsNative.h"

#include "console/RemoteListing.cpp"
