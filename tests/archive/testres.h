#pragma once
// Resources of the archive tests: ids clear of the program's own resources.
#define IDS_FIRST 200
#define IDS_THIRD 202
#define IDS_UMLAUT 203
#define IDS_LAST 207
#define IDA_TEST 300
#define IDM_TEST 301
#define IDD_CLASSIC 302
#define IDD_EXTENDED 303
#define IDR_RAW13 400
#define IDR_RAW18 401
// A hand-built two-image cursor (32 x 32 at 1 bit, hotspot 5,9; 16 x 16 at 4 bits,
// hotspot 3,12).
#define IDC_POINTER 500
