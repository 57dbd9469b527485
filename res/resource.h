// Fixed resource ids of the console (the XML resources and images are numbered by file
// name under res/xml, res/png, res/bmp and res/ico).
#pragma once
#define IDR_QV_MANIFEST 1
